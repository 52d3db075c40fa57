#include "platform/jet/writer/column_properties.h"

#include <string>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill::jet {
namespace {

constexpr std::uint16_t kNamesChunk = 0x0080;
constexpr std::uint16_t kColumnChunk = 0x0001;
constexpr std::uint8_t kBooleanProperty = 0x01;
constexpr std::uint8_t kMemoProperty = 0x0C;

Bytes EncodedName(const std::string& name, const JetFormat& format) {
  const std::u32string characters = DecodeUtf8(name);
  return format.IsJet4() ? EncodeJet4Text(characters, false) : EncodeJet3Text(characters, name);
}

void AppendChunk(Bytes& out, std::uint16_t type, const Bytes& body) {
  AppendU32(out, static_cast<std::uint32_t>(6 + body.size()));
  AppendU16(out, type);
  out.insert(out.end(), body.begin(), body.end());
}

void AppendProperty(Bytes& out, std::uint8_t type, std::uint16_t name_index, const Bytes& value) {
  AppendU16(out, static_cast<std::uint32_t>(8 + value.size()));
  AppendU8(out, 0);  // not a DDL property
  AppendU8(out, type);
  AppendU16(out, name_index);
  AppendU16(out, static_cast<std::uint32_t>(value.size()));
  out.insert(out.end(), value.begin(), value.end());
}

}  // namespace

std::optional<Bytes> BuildColumnProperties(const std::vector<ColumnDefinition>& columns, const JetFormat& format) {
  // Property names are numbered by their place in the names chunk.
  const std::uint16_t kRequired = 0;
  const std::uint16_t kDescription = 1;
  Bytes names;
  for (const char* name : {"Required", "Description"}) {
    const Bytes encoded = EncodedName(name, format);
    AppendU16(names, static_cast<std::uint32_t>(encoded.size()));
    names.insert(names.end(), encoded.begin(), encoded.end());
  }
  Bytes chunks;
  for (const ColumnDefinition& column : columns) {
    const bool required = !column.nullable && column.type != JetType::kBoolean;
    if (!required && column.description.empty()) continue;
    const Bytes column_name = EncodedName(column.name, format);
    Bytes body;
    AppendU32(body, static_cast<std::uint32_t>(6 + column_name.size()));
    AppendU16(body, static_cast<std::uint32_t>(column_name.size()));
    body.insert(body.end(), column_name.begin(), column_name.end());
    if (required) AppendProperty(body, kBooleanProperty, kRequired, Bytes{0xFF});
    if (!column.description.empty()) {
      AppendProperty(body, kMemoProperty, kDescription, EncodedName(column.description, format));
    }
    AppendChunk(chunks, kColumnChunk, body);
  }
  if (chunks.empty()) return std::nullopt;
  Bytes out = format.IsJet4() ? Bytes{'M', 'R', '2', 0} : Bytes{'K', 'K', 'D', 0};
  AppendChunk(out, kNamesChunk, names);
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

}  // namespace quill::jet
