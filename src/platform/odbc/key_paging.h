#pragma once

#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dataset/field.h"
#include "platform/odbc/column_type.h"

namespace quill {

// How to read a table in pages along its primary key, each page a statement
// of its own that starts after the last key of the page before. For a driver
// that keeps a whole result in memory, so that reading a table takes the
// memory of one page whatever the table's size. Rows come in key order.
struct KeyPaging {
  std::string table;                     // the table's name as a statement gives it
  std::vector<std::string> key_columns;  // the key's columns in key order, as the result names them
  std::string quote;                     // the source's identifier quote
};

// The statement that reads at most `rows` rows of the table in key order,
// after the key whose literals `after` holds (one per key column), or from
// the first row when `after` is empty.
std::string PageStatement(const KeyPaging& paging, const std::vector<std::string>& after, SQLULEN rows);

// A UTF-8 text as a statement's string: hexadecimal digits, so that no
// character of it can end the literal and no escaping rule of the session's
// SQL mode applies; the character set introducer makes it compare by the
// collation of what it is compared with.
std::string TextLiteral(std::string_view text);

// Whether a key column read in this form can give the literal of its value.
bool KeyLiteralForm(ValueForm form);

// The literal a page statement compares a key column with, made from the
// value as the dataset bound it (`length` bytes at `value`; text as UTF-8);
// none for a value the form cannot hold as a literal.
std::optional<std::string> KeyLiteral(ValueForm form, FieldKind kind, const unsigned char* value, SQLLEN length);

// A key column of a page's result, read as the dataset binds it.
struct PageKeyColumn {
  SQLUSMALLINT number;  // in the result, from 1
  ValueForm form;
  FieldKind kind;
  SQLSMALLINT c_type;
  SQLLEN bytes;  // room of one value, its terminator included
};

// What a page holds at its end, read before its rows are fetched.
struct PageEnd {
  std::optional<SQLULEN> rows;        // how many rows it holds, when the driver says
  std::vector<std::string> last_key;  // literals of its last row's key; empty: no rows, or no literal
};

// Reads the end of a page that the driver holds whole behind a scrollable
// cursor: its last row, alone, so that the next page's statement can run
// while this page's rows are fetched. The bound arrays, which may be in use,
// are left alone: the statement's columns are unbound, its row array size
// and row pointers are as they were. None when the driver cannot go to the
// last row.
std::optional<PageEnd> ReadPageEnd(SQLHSTMT statement, const std::vector<PageKeyColumn>& key);

// The key literals the page after a page of `rows_asked` rows starts after;
// empty when the page is short of rows (the table's last), or when its end
// could not be read.
std::vector<std::string> KeyAfterPage(const std::optional<PageEnd>& end, SQLULEN rows_asked);

}  // namespace quill
