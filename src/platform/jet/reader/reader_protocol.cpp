#include "platform/jet/reader/reader_protocol.h"

#include <optional>
#include <string>

namespace quill::jet_reader {
namespace {

enum Tag : uint8_t { kNull = 0, kText = 1, kInteger = 2, kFalse = 3, kTrue = 4, kFloat = 5, kDateTime = 6 };

enum class Form { Integer, Boolean, Float, DateTime, Text };

Form FormOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::ftSmallint:
    case FieldKind::ftWord:
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc:
    case FieldKind::ftLargeint:
      return Form::Integer;
    case FieldKind::ftBoolean:
      return Form::Boolean;
    case FieldKind::ftFloat:
      return Form::Float;
    case FieldKind::ftDate:
    case FieldKind::ftTime:
    case FieldKind::ftDateTime:
      return Form::DateTime;
    default:
      return Form::Text;
  }
}

void WriteOptional(ChannelWriter& out, const std::optional<std::string>& text) {
  out.Byte(text ? 1 : 0);
  if (text) out.String(*text);
}

std::optional<std::string> ReadOptional(ChannelReader& in) {
  if (in.Byte() == 0) return std::nullopt;
  return in.String();
}

}  // namespace

void WriteRestrictions(ChannelWriter& out, SchemaKind kind, const SchemaRestrictions& restrictions) {
  out.Byte(static_cast<uint8_t>(kind));
  WriteOptional(out, restrictions.catalog);
  WriteOptional(out, restrictions.schema);
  WriteOptional(out, restrictions.table);
}

SchemaKind ReadRestrictions(ChannelReader& in, SchemaRestrictions& restrictions) {
  const uint8_t kind = in.Byte();
  if (kind > static_cast<uint8_t>(SchemaKind::PrimaryKeys)) throw ChannelBroken("unknown schema kind");
  restrictions.catalog = ReadOptional(in);
  restrictions.schema = ReadOptional(in);
  restrictions.table = ReadOptional(in);
  return static_cast<SchemaKind>(kind);
}

void ReadRowsetRow(ChannelReader& in, MemoryRowset& rowset, int column_count) {
  std::vector<MemoryRowset::Cell> cells;
  for (int i = 0; i < column_count; ++i) {
    switch (in.Byte()) {
      case kNull:
        cells.emplace_back();
        break;
      case kInteger:
        cells.emplace_back(in.Signed());
        break;
      case kText:
        cells.emplace_back(in.String());
        break;
      default:
        throw ChannelBroken("unknown cell tag");
    }
  }
  rowset.AddRow(std::move(cells));
}

void WriteFields(ChannelWriter& out, const Dataset& dataset) {
  out.Unsigned(static_cast<uint64_t>(dataset.FieldCount()));
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    const Field& field = dataset.FieldAt(i);
    out.String(field.Name());
    out.String(field.ClassName());
    out.Byte(static_cast<uint8_t>(field.Kind()));
    out.Signed(field.Size());
    out.Signed(field.DataSize());
  }
}

std::vector<std::unique_ptr<Field>> ReadFields(ChannelReader& in) {
  const uint64_t count = in.Unsigned();
  if (count > 65536) throw ChannelBroken("too many fields");
  std::vector<std::unique_ptr<Field>> fields;
  for (uint64_t i = 0; i < count; ++i) {
    std::string name = in.String();
    std::string class_name = in.String();
    const uint8_t kind = in.Byte();
    if (kind > static_cast<uint8_t>(FieldKind::ftGuid)) throw ChannelBroken("unknown field kind");
    const int size = static_cast<int>(in.Signed());
    const int data_size = static_cast<int>(in.Signed());
    fields.push_back(std::make_unique<Field>(std::move(name), std::move(class_name), static_cast<FieldKind>(kind), size,
                                             static_cast<int>(i)));
    fields.back()->SetDataSize(data_size);
  }
  return fields;
}

void WriteValues(ChannelWriter& out, const Dataset& dataset) {
  out.Byte(kRow);
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    const Field& field = dataset.FieldAt(i);
    if (field.IsNull()) {
      out.Byte(kNull);
      continue;
    }
    switch (FormOf(field.Kind())) {
      case Form::Integer:
        out.Byte(kInteger);
        out.Signed(field.AsInteger());
        break;
      case Form::Boolean:
        out.Byte(field.AsBoolean() ? kTrue : kFalse);
        break;
      case Form::Float:
        out.Byte(kFloat);
        out.Double(field.AsFloat());
        break;
      case Form::DateTime: {
        const DateTime value = field.AsDateTime();
        out.Byte(kDateTime);
        for (int part : {value.year, value.month, value.day, value.hour, value.minute, value.second, value.nanosecond}) {
          out.Signed(part);
        }
        out.Byte(value.negative ? 1 : 0);
        break;
      }
      case Form::Text:
        out.Byte(kText);
        out.String(field.RawText());
        break;
    }
  }
}

void ReadValues(ChannelReader& in, Dataset& dataset) {
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    Field& field = dataset.FieldAt(i);
    switch (in.Byte()) {
      case kNull:
        field.SetNull();
        break;
      case kInteger:
        field.SetInteger(in.Signed());
        break;
      case kFalse:
        field.SetBoolean(false);
        break;
      case kTrue:
        field.SetBoolean(true);
        break;
      case kFloat:
        field.SetFloat(in.Double());
        break;
      case kDateTime: {
        DateTime value;
        for (int* part : {&value.year, &value.month, &value.day, &value.hour, &value.minute, &value.second,
                          &value.nanosecond}) {
          *part = static_cast<int>(in.Signed());
        }
        value.negative = in.Byte() != 0;
        field.SetDateTime(value);
        break;
      }
      case kText:
        in.String(field.MutableText());
        field.MarkNotNull();
        break;
      default:
        throw ChannelBroken("unknown value tag");
    }
  }
}

}  // namespace quill::jet_reader
