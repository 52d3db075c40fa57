#include "platform/odbc/declared_column.h"

namespace quill {
namespace {

// Character types, and the types a driver gives as text without a class of
// their own (PostgreSQL's interval may come as an SQL interval type).
bool IsTextual(SQLLEN concise_type) {
  switch (concise_type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_UNKNOWN_TYPE: return true;
    default: return concise_type >= SQL_INTERVAL_YEAR && concise_type <= SQL_INTERVAL_MINUTE_TO_SECOND;
  }
}

bool IsBinary(SQLLEN concise_type) {
  return concise_type == SQL_BINARY || concise_type == SQL_VARBINARY || concise_type == SQL_LONGVARBINARY;
}

bool IsDecimal(SQLLEN concise_type) { return concise_type == SQL_DECIMAL || concise_type == SQL_NUMERIC; }

}  // namespace

OdbcColumnDescription WithDeclaration(const OdbcColumnDescription& column, const DeclaredColumn& declared) {
  OdbcColumnDescription corrected = column;
  switch (declared.kind) {
    case DeclaredColumn::Kind::kMemo:
      if (!IsTextual(column.concise_type)) break;
      corrected.concise_type = SQL_WLONGVARCHAR;
      corrected.length = 0;
      break;
    case DeclaredColumn::Kind::kText: {
      if (!IsTextual(column.concise_type)) break;
      // Text of the wide calls, as psqlodbc gives its character types there
      // (it gives types it does not know as narrow VARCHAR).
      const bool fixed = column.concise_type == SQL_CHAR || column.concise_type == SQL_WCHAR;
      corrected.concise_type = fixed ? SQL_WCHAR : SQL_WVARCHAR;
      corrected.length = declared.size;
      break;
    }
    case DeclaredColumn::Kind::kBlob:
      if (!IsBinary(column.concise_type)) break;
      corrected.concise_type = SQL_LONGVARBINARY;
      corrected.length = 0;
      break;
    case DeclaredColumn::Kind::kKeyBytes:
      if (column.concise_type != SQL_LONGVARBINARY) break;
      corrected.concise_type = SQL_VARBINARY;
      corrected.length = 0;
      break;
    case DeclaredColumn::Kind::kDecimal:
      if (!IsDecimal(column.concise_type)) break;
      corrected.precision = declared.size;
      corrected.scale = declared.scale;
      corrected.holds_infinities = declared.holds_infinities;
      break;
    case DeclaredColumn::Kind::kUnsizedDecimal:
      // The driver's precision and scale are made up: both unknown.
      if (!IsDecimal(column.concise_type)) break;
      corrected.precision = 0;
      corrected.scale = -1;
      break;
    case DeclaredColumn::Kind::kDateAsText:
      corrected.concise_type = SQL_TYPE_DATE;
      break;
    case DeclaredColumn::Kind::kDateTimeAsText:
      corrected.concise_type = SQL_TYPE_TIMESTAMP;
      corrected.precision = declared.scale;
      corrected.scale = 0;
      break;
    case DeclaredColumn::Kind::kScaledDouble:
      break;  // read as text; the description stands
    case DeclaredColumn::Kind::kCurrency:
      corrected.concise_type = SQL_DECIMAL;
      corrected.type_name = "money";
      corrected.precision = declared.size;
      corrected.scale = declared.scale;
      break;
  }
  return corrected;
}

}  // namespace quill
