#include "platform/odbc/key_paging.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/odbc/table_reference.h"
#include "platform/text/hex_digits.h"

namespace quill {
namespace {

// Only the characters `allowed` may stand in the literal, so a value can
// never end it early.
bool MadeOf(const unsigned char* value, std::size_t length, const char* allowed) {
  if (length == 0) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (value[i] == 0 || std::strchr(allowed, value[i]) == nullptr) return false;
  }
  return true;
}

std::string Text(const unsigned char* value, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(value), length);
}

}  // namespace

std::string PageStatement(const KeyPaging& paging, const std::vector<std::string>& after, SQLULEN rows) {
  std::vector<std::string> keys;
  for (const std::string& column : paging.key_columns) keys.push_back(QuoteIdentifier(column, paging.quote));
  std::string statement = "SELECT * FROM " + paging.table;
  if (!after.empty()) {
    // (k1 > v1) OR (k1 = v1 AND k2 > v2) OR ...: the rows after the key in
    // key order, as a range of the key's index.
    statement += " WHERE ";
    for (std::size_t last = 0; last < keys.size(); ++last) {
      if (last > 0) statement += " OR ";
      statement += "(";
      for (std::size_t i = 0; i < last; ++i) statement += keys[i] + " = " + after[i] + " AND ";
      statement += keys[last] + " > " + after[last] + ")";
    }
  }
  statement += " ORDER BY ";
  for (std::size_t i = 0; i < keys.size(); ++i) statement += (i > 0 ? ", " : "") + keys[i];
  return statement + " LIMIT " + std::to_string(rows);
}

std::string TextLiteral(std::string_view text) {
  return "_utf8mb4 X'" + HexDigits(text) + "'";
}

bool KeyLiteralForm(ValueForm form) {
  switch (form) {
    case ValueForm::Integer:
    case ValueForm::UnsignedInteger:
    case ValueForm::Decimal:
    case ValueForm::Text:
    case ValueForm::Bytes:
    case ValueForm::DateTime:
    case ValueForm::Time:
    case ValueForm::DateText: return true;
    default: return false;
  }
}

std::optional<std::string> KeyLiteral(ValueForm form, FieldKind kind, const unsigned char* value, SQLLEN length) {
  if (length < 0) return std::nullopt;
  const auto bytes = static_cast<std::size_t>(length);
  switch (form) {
    case ValueForm::Integer: {
      int64_t number;
      std::memcpy(&number, value, sizeof(number));
      return std::to_string(number);
    }
    case ValueForm::UnsignedInteger: {
      uint64_t number;
      std::memcpy(&number, value, sizeof(number));
      return std::to_string(number);
    }
    case ValueForm::Decimal:
      if (!MadeOf(value, bytes, "0123456789+-.eE")) return std::nullopt;
      return Text(value, bytes);
    case ValueForm::Time:
      if (!MadeOf(value, bytes, "0123456789-:.")) return std::nullopt;
      return "'" + Text(value, bytes) + "'";
    case ValueForm::DateText:
      if (!MadeOf(value, bytes, "0123456789-:. ")) return std::nullopt;
      return "'" + Text(value, bytes) + "'";
    case ValueForm::Text: return TextLiteral(Text(value, bytes));
    // Bytes as hexadecimal digits too, compared byte for byte.
    case ValueForm::Bytes: return "X'" + HexDigits({reinterpret_cast<const char*>(value), bytes}) + "'";
    case ValueForm::DateTime: {
      SQL_TIMESTAMP_STRUCT stamp;
      std::memcpy(&stamp, value, sizeof(stamp));
      char text[48];
      if (kind == FieldKind::ftDate) {
        std::snprintf(text, sizeof(text), "'%04d-%02u-%02u'", stamp.year, stamp.month, stamp.day);
      } else {
        std::snprintf(text, sizeof(text), "'%04d-%02u-%02u %02u:%02u:%02u.%06lu'", stamp.year, stamp.month, stamp.day,
                      stamp.hour, stamp.minute, stamp.second, static_cast<unsigned long>(stamp.fraction / 1000));
      }
      return std::string(text);
    }
    default: return std::nullopt;
  }
}

std::optional<PageEnd> ReadPageEnd(SQLHSTMT statement, const std::vector<PageKeyColumn>& key) {
  // One row into nothing the caller binds: the bound arrays may be in use.
  SQLULEN array_size = 1;
  SQLPOINTER rows_fetched = nullptr;
  SQLPOINTER row_status = nullptr;
  SQLGetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, &array_size, 0, nullptr);
  SQLGetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, &rows_fetched, 0, nullptr);
  SQLGetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, &row_status, 0, nullptr);
  SQLULEN fetched = 0;
  SQLFreeStmt(statement, SQL_UNBIND);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(1)), 0);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);

  std::optional<PageEnd> end;
  const SQLRETURN last = SQLFetchScroll(statement, SQL_FETCH_LAST, 0);
  if (last == SQL_NO_DATA) {
    end = PageEnd{0, {}};
  } else if (SQL_SUCCEEDED(last)) {
    end = PageEnd{};
    SQLULEN number = 0;
    if (SQL_SUCCEEDED(SQLGetStmtAttrW(statement, SQL_ATTR_ROW_NUMBER, &number, 0, nullptr)) && number > 0) {
      end->rows = number;
    }
    std::vector<unsigned char> value;
    for (const PageKeyColumn& column : key) {
      value.assign(static_cast<std::size_t>(std::max<SQLLEN>(column.bytes, 1)), 0);
      SQLLEN indicator = 0;
      // A value cut short (SQL_SUCCESS_WITH_INFO) gives no literal either.
      const SQLRETURN got = SQLGetData(statement, column.number, column.c_type, value.data(),
                                       static_cast<SQLLEN>(value.size()), &indicator);
      std::optional<std::string> literal;
      if (got == SQL_SUCCESS) literal = KeyLiteral(column.form, column.kind, value.data(), indicator);
      if (!literal) {
        end->last_key.clear();
        break;
      }
      end->last_key.push_back(*literal);
    }
  }
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(array_size), 0);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, rows_fetched, 0);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, row_status, 0);
  return end;
}

std::vector<std::string> KeyAfterPage(const std::optional<PageEnd>& end, SQLULEN rows_asked) {
  if (!end || (end->rows && *end->rows < rows_asked)) return {};
  return end->last_key;
}

}  // namespace quill
