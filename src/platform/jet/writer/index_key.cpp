#include "platform/jet/writer/index_key.h"

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/text_encoding.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill::jet {
namespace {

constexpr std::uint8_t kValueFlag = 0x7F;
constexpr std::uint8_t kNullFlag = 0x00;

void AppendWholeNumber(Bytes& key, const Bytes& stored) {
  for (std::size_t k = stored.size(); k-- > 0;) key.push_back(stored[k]);
  key[1] ^= 0x80;
}

void AppendFloatingPoint(Bytes& key, const Bytes& stored) {
  const bool negative = (stored.back() & 0x80) != 0;
  for (std::size_t k = stored.size(); k-- > 0;) key.push_back(negative ? static_cast<std::uint8_t>(~stored[k]) : stored[k]);
  if (!negative) key[1] ^= 0x80;
}

std::uint8_t OtherAsciiByte(char32_t c) {
  // Rank among the code points 0x01..0x7F that are neither digits nor letters.
  std::uint8_t rank = 0;
  for (char32_t k = 1; k < c; ++k) {
    const bool alnum = (k >= U'0' && k <= U'9') || (k >= U'A' && k <= U'Z') || (k >= U'a' && k <= U'z');
    if (!alnum) ++rank;
  }
  return static_cast<std::uint8_t>(0x01 + rank);
}

void AppendText(Bytes& key, const std::u32string& text) {
  for (char32_t c : text) {
    if (c >= U'0' && c <= U'9') {
      key.push_back(static_cast<std::uint8_t>(0x56 + (c - U'0')));
    } else if (c >= U'A' && c <= U'Z') {
      key.push_back(static_cast<std::uint8_t>(0x60 + (c - U'A')));
    } else if (c >= U'a' && c <= U'z') {
      key.push_back(static_cast<std::uint8_t>(0x60 + (c - U'a')));
    } else if (c < 0x80) {
      key.push_back(OtherAsciiByte(c));
    } else {
      key.push_back(0x7A);
      key.push_back(static_cast<std::uint8_t>(c >> 16));
      key.push_back(static_cast<std::uint8_t>(c >> 8));
      key.push_back(static_cast<std::uint8_t>(c));
    }
  }
  key.push_back(0x00);
}

}  // namespace

bool IsIndexable(JetType type) {
  return type != JetType::kMemo && type != JetType::kOle && type != JetType::kBinary;
}

Bytes IndexKey(const ColumnDefinition& column, const CellValue& cell, const JetFormat& format) {
  Bytes key;
  key.reserve(2 + 4 * cell.bytes.size());
  if (!cell.present) {
    key.push_back(kNullFlag);
    return key;
  }
  key.push_back(kValueFlag);
  switch (column.type) {
    case JetType::kByte:
      key.push_back(cell.bytes[0]);
      break;
    case JetType::kInteger:
    case JetType::kLongInteger:
    case JetType::kCurrency:
      AppendWholeNumber(key, cell.bytes);
      break;
    case JetType::kNumeric: {
      Bytes whole(8, 0);
      PutU64(whole.data(), static_cast<std::uint64_t>(NumericToInt64(cell.bytes)));
      AppendWholeNumber(key, whole);
      break;
    }
    case JetType::kSingle:
    case JetType::kDouble:
    case JetType::kDateTime:
      AppendFloatingPoint(key, cell.bytes);
      break;
    case JetType::kText:
      AppendText(key, format.IsJet4() ? DecodeJet4Text(cell.bytes.data(), cell.bytes.size())
                                      : DecodeJet3Text(cell.bytes.data(), cell.bytes.size()));
      break;
    case JetType::kBoolean:
      key.push_back(cell.boolean ? 0x00 : 0xFF);
      break;
    default:
      key.insert(key.end(), cell.bytes.begin(), cell.bytes.end());
      break;
  }
  return key;
}

}  // namespace quill::jet
