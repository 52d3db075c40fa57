#include "platform/jet/writer/value_conversion.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/text_encoding.h"
#include "platform/jet/writer/value_text.h"

namespace quill::jet {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool IsValidDate(const DateTime& d) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 100 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  if (d.day > kDays[d.month - 1] || (d.month == 2 && d.day == 29 && !leap)) return false;
  return d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 && d.second >= 0 && d.second < 60 &&
         d.nanosecond >= 0 && d.nanosecond < 1'000'000'000;
}

std::optional<Bytes> ParseGuid(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return std::nullopt;
  std::uint8_t raw[16];
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); i += (text[i] == '-' ? 1 : 2)) {
    if (text[i] == '-') continue;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (error != std::errc() || end != text.data() + i + 2) return std::nullopt;
    raw[n++] = static_cast<std::uint8_t>(value);
  }
  // The first three groups are stored little endian, as the GUID structure holds them.
  Bytes out(raw, raw + 16);
  std::swap(out[0], out[3]);
  std::swap(out[1], out[2]);
  std::swap(out[4], out[5]);
  std::swap(out[6], out[7]);
  return out;
}

std::string DateText(const DateTime& d) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                d.second);
  return buffer;
}

std::string DoubleText(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

[[noreturn]] void Refuse(const Variant& value, const ColumnDefinition& column, const std::string& why) {
  throw JetWriteError("The value " + DescribeValue(value) + " cannot be stored in column '" + column.name + "': " +
                      why + ".");
}

std::int64_t WholeNumberOf(const Variant& value, const ColumnDefinition& column) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
  if (const auto* d = std::get_if<double>(&value)) {
    if (!std::isfinite(*d) || std::fabs(*d) >= 9.2e18) Refuse(value, column, "the number is out of range");
    return static_cast<std::int64_t>(RoundHalfEven(*d));
  }
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (const auto parsed = ParseWholeNumberText(*s)) return *parsed;
    Refuse(value, column, "it is not a number");
  }
  Refuse(value, column, "the column holds numbers");
}

double FloatingPointOf(const Variant& value, const ColumnDefinition& column) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    if (!std::isfinite(*d)) Refuse(value, column, "the number is not finite");
    return *d;
  }
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (const auto parsed = ParseNumberText(*s)) return *parsed;
    Refuse(value, column, "it is not a number");
  }
  Refuse(value, column, "the column holds numbers");
}

void SetLittleEndian(Bytes& out, std::uint64_t value, std::size_t size) {
  out.resize(size);
  for (std::size_t k = 0; k < size; ++k) out[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

bool IsPlainAscii(std::string_view text) {
  for (char c : text) {
    if (c <= 0 || static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The common case of text, printable ASCII without NUL, without the detour
// through code points: every encoding holds it byte for byte.
void EncodePlainAscii(const std::string& text, const Variant& value, const ColumnDefinition& column,
                      const JetFormat& format, Bytes& out) {
  if (text.empty() && !column.allow_zero_length) {
    throw JetWriteError("Column '" + column.name + "' cannot hold a zero-length string.");
  }
  if (column.type == JetType::kText && text.size() > column.max_characters) {
    throw JetWriteError("The value " + DescribeValue(value) + " is too long for column '" + column.name + "' (" +
                        std::to_string(text.size()) + " characters, at most " + std::to_string(column.max_characters) +
                        ").");
  }
  out.clear();
  if (!format.IsJet4()) {
    out.assign(text.begin(), text.end());
    return;
  }
  const bool compress =
      column.compressed_unicode && text.size() > 2 && (column.type == JetType::kText || text.size() <= 1024);
  if (compress) {
    out.reserve(text.size() + 2);
    out.push_back(0xFF);
    out.push_back(0xFE);
    out.insert(out.end(), text.begin(), text.end());
    return;
  }
  out.resize(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<std::uint8_t>(text[i]);
    out[2 * i + 1] = 0;
  }
}

std::u32string TextOf(const Variant& value, const ColumnDefinition& column) {
  if (const auto* s = std::get_if<std::string>(&value)) return DecodeUtf8(*s);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? U"True" : U"False";
  if (const auto* i = std::get_if<std::int64_t>(&value)) return DecodeUtf8(std::to_string(*i));
  if (const auto* d = std::get_if<double>(&value)) return DecodeUtf8(DoubleText(*d));
  if (const auto* t = std::get_if<DateTime>(&value)) return DecodeUtf8(DateText(*t));
  Refuse(value, column, "the column holds text");
}

std::size_t Utf16Length(const std::u32string& text) {
  std::size_t units = 0;
  for (char32_t c : text) units += c >= 0x10000 ? 2 : 1;
  return units;
}

}  // namespace

Bytes NumericFromInt64(std::int64_t value) {
  Bytes out(17, 0);
  const std::uint64_t magnitude = value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  out[0] = value < 0 ? 0x80 : 0x00;
  PutU32(&out[9], static_cast<std::uint32_t>(magnitude >> 32));
  PutU32(&out[13], static_cast<std::uint32_t>(magnitude));
  return out;
}

std::int64_t NumericToInt64(const Bytes& stored) {
  const std::uint64_t magnitude = (static_cast<std::uint64_t>(GetU32(&stored[9])) << 32) | GetU32(&stored[13]);
  return (stored[0] & 0x80) != 0 ? static_cast<std::int64_t>(~magnitude + 1) : static_cast<std::int64_t>(magnitude);
}

std::string DescribeValue(const Variant& value) {
  if (const auto* s = std::get_if<std::string>(&value)) {
    return "'" + (s->size() > 40 ? s->substr(0, 40) + "..." : *s) + "'";
  }
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) return DoubleText(*d);
  if (const auto* t = std::get_if<DateTime>(&value)) return DateText(*t);
  if (const auto* bytes = std::get_if<Bytes>(&value)) return "of " + std::to_string(bytes->size()) + " bytes";
  return "Null";
}

void ConvertValueInto(const Variant& value, const ColumnDefinition& column, const JetFormat& format, CellValue& cell) {
  cell.present = false;
  cell.boolean = false;
  cell.bytes.clear();
  const bool empty = std::holds_alternative<std::monostate>(value) || std::holds_alternative<Null>(value);
  if (column.type == JetType::kBoolean) {
    // A Boolean column has no Null: the engine stores No.
    cell.present = true;
    if (empty) return;
    if (const auto* s = std::get_if<std::string>(&value)) {
      const std::string_view text = TrimBlanks(*s);
      for (const char* yes : {"true", "yes", "on"}) {
        if (EqualsIgnoringCase(text, yes)) cell.boolean = true;
      }
      bool known = cell.boolean;
      for (const char* no : {"false", "no", "off"}) {
        if (EqualsIgnoringCase(text, no)) known = true;
      }
      if (!known) {
        const std::optional<double> number = ParseNumberText(text);
        if (!number) Refuse(value, column, "it is not a Yes/No value");
        cell.boolean = *number != 0;
      }
      return;
    }
    if (std::holds_alternative<DateTime>(value) || std::holds_alternative<Bytes>(value)) {
      Refuse(value, column, "the column holds Yes/No values");
    }
    cell.boolean = FloatingPointOf(value, column) != 0;
    return;
  }
  if (empty) return;
  cell.present = true;
  switch (column.type) {
    case JetType::kByte:
    case JetType::kInteger:
    case JetType::kLongInteger: {
      const std::int64_t number = WholeNumberOf(value, column);
      const std::int64_t low = column.type == JetType::kByte ? 0 : column.type == JetType::kInteger ? -32768 : INT32_MIN;
      const std::int64_t high = column.type == JetType::kByte ? 255 : column.type == JetType::kInteger ? 32767 : INT32_MAX;
      if (number < low || number > high) {
        Refuse(value, column, "it lies outside " + std::to_string(low) + " to " + std::to_string(high));
      }
      SetLittleEndian(cell.bytes, static_cast<std::uint64_t>(number), FixedSize(column.type));
      return;
    }
    case JetType::kNumeric:
      cell.bytes = NumericFromInt64(WholeNumberOf(value, column));
      return;
    case JetType::kCurrency: {
      std::int64_t scaled = 0;
      if (const auto* s = std::get_if<std::string>(&value)) {
        const auto parsed = ParseCurrencyText(*s);
        if (!parsed) Refuse(value, column, "it is not a number");
        scaled = *parsed;
      } else {
        const double number = FloatingPointOf(value, column);
        if (std::fabs(number) > 922337203685477.0) Refuse(value, column, "the number is out of range");
        scaled = static_cast<std::int64_t>(RoundHalfEven(number * 10000.0));
      }
      SetLittleEndian(cell.bytes, static_cast<std::uint64_t>(scaled), 8);
      return;
    }
    case JetType::kSingle: {
      const double number = FloatingPointOf(value, column);
      if (std::fabs(number) > std::numeric_limits<float>::max()) Refuse(value, column, "the number is out of range");
      const float single = static_cast<float>(number);
      std::uint32_t bits;
      std::memcpy(&bits, &single, sizeof bits);
      SetLittleEndian(cell.bytes, bits, 4);
      return;
    }
    case JetType::kDouble: {
      cell.bytes.resize(8);
      PutDouble(cell.bytes.data(), FloatingPointOf(value, column));
      return;
    }
    case JetType::kDateTime: {
      double serial = 0;
      std::optional<DateTime> date;
      if (const auto* t = std::get_if<DateTime>(&value)) date = *t;
      if (const auto* s = std::get_if<std::string>(&value)) {
        date = ParseDateText(*s);
        if (!date) Refuse(value, column, "it is not a date");
      }
      if (date) {
        if (!IsValidDate(*date)) Refuse(value, column, "the date lies outside the years 100 to 9999 or does not exist");
        serial = ToSerial(*date);
      } else if (std::holds_alternative<double>(value) || std::holds_alternative<std::int64_t>(value)) {
        serial = FloatingPointOf(value, column);
      } else {
        Refuse(value, column, "the column holds dates");
      }
      cell.bytes.resize(8);
      PutDouble(cell.bytes.data(), serial);
      return;
    }
    case JetType::kGuid: {
      if (const auto* bytes = std::get_if<Bytes>(&value); bytes && bytes->size() == 16) {
        cell.bytes = *bytes;
        return;
      }
      const auto* s = std::get_if<std::string>(&value);
      const std::optional<Bytes> guid = s ? ParseGuid(*s) : std::nullopt;
      if (!guid) Refuse(value, column, "it is not a GUID");
      cell.bytes = *guid;
      return;
    }
    case JetType::kText:
    case JetType::kMemo: {
      if (const auto* s = std::get_if<std::string>(&value); s != nullptr && IsPlainAscii(*s)) {
        EncodePlainAscii(*s, value, column, format, cell.bytes);
        return;
      }
      const std::u32string text = TextOf(value, column);
      if (text.empty() && !column.allow_zero_length) {
        throw JetWriteError("Column '" + column.name + "' cannot hold a zero-length string.");
      }
      if (column.type == JetType::kText && Utf16Length(text) > column.max_characters) {
        throw JetWriteError("The value " + DescribeValue(value) + " is too long for column '" + column.name + "' (" +
                            std::to_string(Utf16Length(text)) + " characters, at most " +
                            std::to_string(column.max_characters) + ").");
      }
      // Long texts are never compressed: the format compresses memo values
      // of at most 1024 characters only.
      const bool compress = column.compressed_unicode && (column.type == JetType::kText || text.size() <= 1024);
      cell.bytes = format.IsJet4() ? EncodeJet4Text(text, compress) : EncodeJet3Text(text, column.name);
      return;
    }
    case JetType::kOle:
    case JetType::kBinary: {
      const auto* bytes = std::get_if<Bytes>(&value);
      if (bytes == nullptr) Refuse(value, column, "the column holds binary data");
      if (column.type == JetType::kBinary && bytes->size() > 255) Refuse(value, column, "it is longer than 255 bytes");
      cell.bytes = *bytes;
      return;
    }
    case JetType::kBoolean:
      break;
  }
}

CellValue ConvertValue(const Variant& value, const ColumnDefinition& column, const JetFormat& format) {
  CellValue cell;
  ConvertValueInto(value, column, format, cell);
  return cell;
}

}  // namespace quill::jet
