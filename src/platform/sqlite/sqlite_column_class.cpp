#include "platform/sqlite/sqlite_column_class.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace quill {
namespace {

constexpr int kDefaultTextSize = 255;
constexpr int kMemoSize = 65536;
// The longest text of a 64-bit integer or of a double in its shortest form.
constexpr int kLongestNumberText = 24;
// Integers up to this size pass through a double unchanged.
constexpr int64_t kLargestExactInteger = int64_t{1} << 53;

std::string Upper(const std::string& text) {
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return upper;
}

bool Holds(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
bool StartsWith(const std::string& text, const char* part) { return text.rfind(part, 0) == 0; }

// The first number between parentheses: n of VARCHAR(n), p of DECIMAL(p,s).
int FirstParameter(const std::string& type_name, int fallback) {
  const std::size_t open = type_name.find('(');
  if (open == std::string::npos) return fallback;
  const char* start = type_name.c_str() + open + 1;
  char* end = nullptr;
  const long value = std::strtol(start, &end, 10);
  if (end == start || value <= 0 || value > INT_MAX) return fallback;
  return static_cast<int>(value);
}

SqliteColumnClass Class(const char* class_name, FieldKind kind, int size = 0) { return {class_name, kind, size}; }

SqliteColumnClass Memo() { return Class("TMemoField", FieldKind::ftMemo, kMemoSize); }
SqliteColumnClass Blob() { return Class("TBlobField", FieldKind::ftBlob, kDefaultTextSize); }
SqliteColumnClass Float() { return Class("TFloatField", FieldKind::ftFloat); }

bool IsTextKind(FieldKind kind) {
  return kind == FieldKind::ftString || kind == FieldKind::ftWideString || kind == FieldKind::ftMemo;
}
bool IsBytesKind(FieldKind kind) {
  return kind == FieldKind::ftBlob || kind == FieldKind::ftBytes || kind == FieldKind::ftVarBytes;
}
bool IsDateKind(FieldKind kind) {
  return kind == FieldKind::ftDate || kind == FieldKind::ftTime || kind == FieldKind::ftDateTime;
}
bool IsIntegerKind(FieldKind kind) {
  return kind == FieldKind::ftSmallint || kind == FieldKind::ftWord || kind == FieldKind::ftInteger ||
         kind == FieldKind::ftAutoInc || kind == FieldKind::ftLargeint || kind == FieldKind::ftBoolean;
}

bool Within(const SqliteColumnProfile& profile, int64_t smallest, int64_t largest) {
  return profile.integers == 0 || (profile.smallest_integer >= smallest && profile.largest_integer <= largest);
}

// The narrowest integer class at least as wide as the declared one that holds
// every integer of the column.
SqliteColumnClass IntegerClass(const SqliteColumnClass& declared, const SqliteColumnProfile& profile) {
  switch (declared.kind) {
    case FieldKind::ftBoolean:
      if (Within(profile, 0, 1)) return declared;
      break;
    case FieldKind::ftSmallint:
      if (Within(profile, INT16_MIN, INT16_MAX)) return declared;
      break;
    case FieldKind::ftWord:
      if (Within(profile, 0, UINT16_MAX)) return declared;
      break;
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc:
      if (Within(profile, INT32_MIN, INT32_MAX)) return declared;
      return Class("TLargeintField", FieldKind::ftLargeint);
    default:
      return declared;
  }
  if (Within(profile, INT16_MIN, INT16_MAX)) {
    return Class("TSmallintField", FieldKind::ftSmallint);
  }
  if (Within(profile, INT32_MIN, INT32_MAX)) return Class("TIntegerField", FieldKind::ftInteger);
  return Class("TLargeintField", FieldKind::ftLargeint);
}

int DigitsOf(int64_t value) {
  int digits = value < 0 ? 2 : 1;
  for (; value <= -10 || value >= 10; value /= 10) ++digits;
  return digits;
}

// The characters of the column's longest value as text.
int64_t LongestText(const SqliteColumnProfile& profile) {
  int64_t longest = profile.longest_text;
  if (profile.integers > 0) {
    longest = std::max<int64_t>(longest, std::max(DigitsOf(profile.smallest_integer), DigitsOf(profile.largest_integer)));
  }
  if (profile.reals > 0) longest = std::max<int64_t>(longest, kLongestNumberText);
  return longest;
}

// A column of another class that holds text: a string as wide as its longest
// value, so that it stays usable in a key, or a memo when that is long.
SqliteColumnClass TextClass(const SqliteColumnProfile& profile) {
  const int64_t longest = LongestText(profile);
  if (longest > kDefaultTextSize) return Memo();
  return Class("TStringField", FieldKind::ftString, static_cast<int>(std::max<int64_t>(longest, 1)));
}

bool IntegersPassThroughDouble(const SqliteColumnProfile& profile) {
  return Within(profile, -kLargestExactInteger, kLargestExactInteger);
}

}  // namespace

SqliteColumnClass DeclaredColumnClass(const std::string& declared_type, bool auto_increment) {
  const std::string name = Upper(declared_type);
  if (name.empty()) return Class("TStringField", FieldKind::ftString, kDefaultTextSize);
  if (Holds(name, "BIGINT")) return Class("TLargeintField", FieldKind::ftLargeint);
  if (Holds(name, "SMALLINT") || Holds(name, "TINYINT")) return Class("TSmallintField", FieldKind::ftSmallint);
  if (Holds(name, "INT")) {
    return auto_increment ? Class("TAutoIncField", FieldKind::ftAutoInc) : Class("TIntegerField", FieldKind::ftInteger);
  }
  if (Holds(name, "BOOL") || name == "BIT") return Class("TBooleanField", FieldKind::ftBoolean);
  if (Holds(name, "TEXT") || Holds(name, "MEMO")) return Memo();
  if (Holds(name, "CLOB")) return Class("TMemoField", FieldKind::ftMemo, kDefaultTextSize);
  if (Holds(name, "BLOB") || Holds(name, "IMAGE")) return Blob();
  if (Holds(name, "VARBINARY")) return Class("TVarBytesField", FieldKind::ftVarBytes, FirstParameter(name, kDefaultTextSize));
  if (Holds(name, "BINARY")) return Class("TBytesField", FieldKind::ftBytes, FirstParameter(name, kDefaultTextSize));
  if (Holds(name, "CHAR")) {
    return Class("TStringField", FieldKind::ftString,
                 FirstParameter(name, Holds(name, "LONGVARCHAR") ? kMemoSize : kDefaultTextSize));
  }
  if (Holds(name, "MONEY") || Holds(name, "CURRENCY")) {
    return Class("TBCDField", FieldKind::ftCurrency, FirstParameter(name, kDefaultTextSize));
  }
  if (Holds(name, "DECIMAL") || Holds(name, "NUMERIC")) {
    return Class("TBCDField", FieldKind::ftBCD, FirstParameter(name, kDefaultTextSize));
  }
  if (Holds(name, "REAL") || Holds(name, "FLOA") || Holds(name, "DOUB")) return Float();
  if (StartsWith(name, "DATETIME") || StartsWith(name, "TIMESTAMP")) return Class("TDateTimeField", FieldKind::ftDateTime);
  if (StartsWith(name, "DATE")) return Class("TDateField", FieldKind::ftDate);
  if (StartsWith(name, "TIME")) return Class("TTimeField", FieldKind::ftTime);
  return Class("TStringField", FieldKind::ftString, kDefaultTextSize);
}

bool NeedsTextLengths(const SqliteColumnClass& column) {
  // Memos and BLOBs hold any text; every other class may become a string.
  return column.kind != FieldKind::ftMemo && column.kind != FieldKind::ftBlob;
}

bool NeedsDateShapes(const SqliteColumnClass& column) { return IsDateKind(column.kind); }

SqliteColumnClass FittedColumnClass(const SqliteColumnClass& declared, const SqliteColumnProfile& profile) {
  const int64_t values = profile.integers + profile.reals + profile.texts + profile.blobs;
  const FieldKind kind = declared.kind;
  if (IsBytesKind(kind)) {
    // Fixed and bounded binary columns take only BLOBs up to their size.
    if (kind == FieldKind::ftBlob || (profile.blobs == values && profile.longest_blob <= declared.size)) return declared;
    return Blob();
  }
  if (profile.blobs > 0) return Blob();
  if (IsTextKind(kind)) {
    if (kind == FieldKind::ftMemo) return declared;
    const int64_t longest = LongestText(profile);
    if (longest <= declared.size) return declared;
    // Writers cut long strings (MS SQL at 8000, Oracle near 4000 characters)
    // but never memos: a string outgrowing its size becomes a memo unless it
    // stays short.
    if (longest > kDefaultTextSize) return Memo();
    SqliteColumnClass widened = declared;
    widened.size = static_cast<int>(longest);
    return widened;
  }
  if (IsDateKind(kind)) {
    if (profile.texts == 0) {
      if (profile.reals > 0) return IntegersPassThroughDouble(profile) ? Float() : TextClass(profile);
      if (profile.integers > 0) return IntegerClass(Class("TIntegerField", FieldKind::ftInteger), profile);
      return declared;
    }
    if (profile.other_texts || profile.integers + profile.reals > 0) return TextClass(profile);
    switch (kind) {
      case FieldKind::ftDate:
        if (profile.time_texts) return TextClass(profile);
        return profile.date_time_texts ? Class("TDateTimeField", FieldKind::ftDateTime) : declared;
      case FieldKind::ftDateTime:
        return profile.time_texts ? TextClass(profile) : declared;
      default:
        return profile.date_texts || profile.date_time_texts ? TextClass(profile) : declared;
    }
  }
  if (profile.texts > 0) return TextClass(profile);
  if (IsIntegerKind(kind)) {
    if (profile.reals > 0) return IntegersPassThroughDouble(profile) ? Float() : TextClass(profile);
    return IntegerClass(declared, profile);
  }
  if (kind == FieldKind::ftFloat && !IntegersPassThroughDouble(profile)) return TextClass(profile);
  if ((kind == FieldKind::ftBCD || kind == FieldKind::ftCurrency) && profile.infinite_reals) {
    return IntegersPassThroughDouble(profile) ? Float() : TextClass(profile);
  }
  return declared;
}

int FieldDataSize(FieldKind kind, int size) {
  switch (kind) {
    case FieldKind::ftString: return size + 1;
    case FieldKind::ftWideString: return (size + 1) * 2;
    case FieldKind::ftSmallint:
    case FieldKind::ftWord:
    case FieldKind::ftBoolean: return 2;
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc:
    case FieldKind::ftDate:
    case FieldKind::ftTime: return 4;
    case FieldKind::ftLargeint:
    case FieldKind::ftFloat:
    case FieldKind::ftBCD:
    case FieldKind::ftCurrency:
    case FieldKind::ftDateTime: return 8;
    case FieldKind::ftBytes: return size;
    case FieldKind::ftVarBytes: return size + 2;
    default: return 0;  // memos and BLOBs keep their values outside the record
  }
}

}  // namespace quill
