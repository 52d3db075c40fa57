#include "platform/odbc/column_type.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace quill {
namespace {

// Character and binary columns up to this size are bound to row arrays;
// longer ones are read in chunks.
constexpr SQLLEN kMaxBoundLength = 4000;
constexpr SQLLEN kMinimumTextChars = 32;
constexpr SQLLEN kMinimumDecimalBytes = 48;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

bool Holds(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

int ClampToInt(SQLLEN value) { return static_cast<int>(std::clamp<SQLLEN>(value, 0, INT_MAX)); }

bool IsCurrencyName(const std::string& type_name) {
  const std::string name = Upper(type_name);
  return Holds(name, "MONEY") || Holds(name, "CURRENCY");
}

OdbcFieldType Make(const char* class_name, FieldKind kind, ValueForm form, int size, int data_size,
                   SQLLEN bound_bytes) {
  OdbcFieldType type;
  type.class_name = class_name;
  type.kind = kind;
  type.form = form;
  type.size = size;
  type.data_size = data_size;
  type.bound_bytes = bound_bytes;
  return type;
}

OdbcFieldType TextType(const char* class_name, FieldKind kind, const OdbcColumnDescription& column, bool wide) {
  const int size = ClampToInt(column.length);
  OdbcFieldType type = Make(class_name, kind, ValueForm::Text, size, wide ? (size + 1) * 2 : size + 1, 0);
  if (column.length <= 0 || column.length > kMaxBoundLength) {
    type.long_data = true;
  } else {
    type.bound_bytes = (std::max(column.length, kMinimumTextChars) + 1) * static_cast<SQLLEN>(sizeof(SQLWCHAR));
  }
  return type;
}

OdbcFieldType BytesType(const char* class_name, FieldKind kind, const OdbcColumnDescription& column,
                        int extra_data_size) {
  const int size = ClampToInt(column.length);
  OdbcFieldType type = Make(class_name, kind, ValueForm::Bytes, size, size + extra_data_size, 0);
  if (column.length <= 0 || column.length > kMaxBoundLength) {
    type.long_data = true;
  } else {
    type.bound_bytes = column.length;
  }
  return type;
}

OdbcFieldType LongType(const char* class_name, FieldKind kind, ValueForm form, const OdbcColumnDescription& column) {
  OdbcFieldType type = Make(class_name, kind, form, ClampToInt(column.length), 0, 0);
  type.long_data = true;
  return type;
}

OdbcFieldType DecimalType(const OdbcColumnDescription& column) {
  const FieldKind kind = IsCurrencyName(column.type_name) ? FieldKind::ftCurrency : FieldKind::ftBCD;
  // Sign, point and terminator beside the digits.
  const SQLLEN bytes = std::max(column.precision + 3, kMinimumDecimalBytes);
  return Make("TBCDField", kind, ValueForm::Decimal, ClampToInt(column.precision), 8, bytes);
}

}  // namespace

OdbcColumnDescription CorrectSqliteColumn(const OdbcColumnDescription& column) {
  OdbcColumnDescription corrected = column;
  const std::string name = Upper(column.type_name);
  if (name.empty()) return corrected;
  if (Holds(name, "BIGINT")) {
    corrected.concise_type = SQL_BIGINT;
  } else if (Holds(name, "SMALLINT")) {
    corrected.concise_type = SQL_SMALLINT;
  } else if (Holds(name, "TINYINT")) {
    corrected.concise_type = SQL_TINYINT;
  } else if (Holds(name, "INT")) {
    corrected.concise_type = SQL_INTEGER;
  } else if (Holds(name, "BOOL") || name == "BIT") {
    corrected.concise_type = SQL_BIT;
  } else if (Holds(name, "TEXT") || Holds(name, "CLOB") || Holds(name, "MEMO")) {
    corrected.concise_type = SQL_LONGVARCHAR;
  } else if (Holds(name, "BLOB") || Holds(name, "IMAGE")) {
    corrected.concise_type = SQL_LONGVARBINARY;
  } else if (Holds(name, "VARBINARY")) {
    corrected.concise_type = SQL_VARBINARY;
  } else if (Holds(name, "BINARY")) {
    corrected.concise_type = SQL_BINARY;
  } else if (Holds(name, "CHAR")) {
    corrected.concise_type = SQL_VARCHAR;
  } else if (Holds(name, "DECIMAL") || Holds(name, "NUMERIC") || IsCurrencyName(name)) {
    // Reported as VARCHAR or DOUBLE, with size and scale swapped.
    corrected.concise_type = SQL_DECIMAL;
    corrected.precision = column.length;
    corrected.scale = column.concise_type == SQL_DOUBLE ? 0 : column.precision;
  } else if (Holds(name, "REAL") || Holds(name, "FLOA") || Holds(name, "DOUB")) {
    corrected.concise_type = SQL_DOUBLE;
  }
  return corrected;
}

OdbcFieldType MapColumnType(const OdbcColumnDescription& column) {
  switch (column.concise_type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
      return TextType("TStringField", FieldKind::ftString, column, false);
    case SQL_WCHAR:
    case SQL_WVARCHAR:
      return TextType("TWideStringField", FieldKind::ftWideString, column, true);
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
      return LongType("TMemoField", FieldKind::ftMemo, ValueForm::Text, column);
    case SQL_TINYINT:
    case SQL_SMALLINT:
      if (column.is_unsigned) return Make("TWordField", FieldKind::ftWord, ValueForm::Integer, 0, 2, 8);
      return Make("TSmallintField", FieldKind::ftSmallint, ValueForm::Integer, 0, 2, 8);
    case SQL_INTEGER:
      if (column.auto_increment) return Make("TAutoIncField", FieldKind::ftAutoInc, ValueForm::Integer, 0, 4, 8);
      return Make("TIntegerField", FieldKind::ftInteger, ValueForm::Integer, 0, 4, 8);
    case SQL_BIGINT:
      return Make("TLargeintField", FieldKind::ftLargeint,
                  column.is_unsigned ? ValueForm::UnsignedInteger : ValueForm::Integer, 0, 8, 8);
    case SQL_BIT:
      return Make("TBooleanField", FieldKind::ftBoolean, ValueForm::Boolean, 0, 2, 1);
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      // A money type reported as floating point (PostgreSQL) comes as its
      // number: its text is formatted for the server's locale ("-$1,234.50").
      if (IsCurrencyName(column.type_name)) {
        return Make("TBCDField", FieldKind::ftCurrency, ValueForm::Float, ClampToInt(column.precision), 8, 8);
      }
      return Make("TFloatField", FieldKind::ftFloat, ValueForm::Float, 0, 8, 8);
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return DecimalType(column);
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return Make("TDateField", FieldKind::ftDate, ValueForm::DateTime, 0, 4, sizeof(SQL_TIMESTAMP_STRUCT));
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return Make("TTimeField", FieldKind::ftTime, ValueForm::DateTime, 0, 4, sizeof(SQL_TIMESTAMP_STRUCT));
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return Make("TDateTimeField", FieldKind::ftDateTime, ValueForm::DateTime, 0, 8, sizeof(SQL_TIMESTAMP_STRUCT));
    case SQL_BINARY:
      return BytesType("TBytesField", FieldKind::ftBytes, column, 0);
    case SQL_VARBINARY:
      return BytesType("TVarBytesField", FieldKind::ftVarBytes, column, 2);
    case SQL_LONGVARBINARY:
      return LongType("TBlobField", FieldKind::ftBlob, ValueForm::Bytes, column);
    case SQL_GUID:
      return Make("TGuidField", FieldKind::ftGuid, ValueForm::Guid, 38, 39, sizeof(SQLGUID));
    default:
      // Types without a field class of their own arrive as their text.
      return LongType("TField", FieldKind::ftUnknown, ValueForm::Text, column);
  }
}

}  // namespace quill
