#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/odbc/declared_column.h"
#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"

namespace quill {

// One column of a PostgreSQL table as its catalog declares it.
struct PostgresCatalogColumn {
  std::string name;
  // The type's name when it is one of the system's own (a domain is read as
  // its base type); empty for types a user or an extension made.
  std::string type_name;
  char type_kind = 'b';    // pg_type.typtype: 'b' base, 'e' enum, 'r' range, 'c' composite ...
  int type_modifier = -1;  // atttypmod (of the domain when the column has none)
  int longest_label = 0;   // an enum's longest label, in characters
  int money_scale = 2;     // the digits after the point of money in this session
  bool in_primary_key = false;
};

// What the driver must be corrected with for such a column, or none where
// psqlodbc describes it rightly. psqlodbc gives bit(n) and varbit(n) the
// wrong size (4 for bit(8)); types it does not know as text of 255
// characters (json, arrays, enums, geometry, tsvector, ranges ...) or of 32
// (interval); varchar and numeric without a size made-up sizes; bytea and
// text fixed sizes under some DSN options (ByteaAsLongVarBinary=0,
// TextAsLongVarchar=0); money as a double of text formatted for the
// server's locale ("-$1,234.50"); and dates it cannot convert as other
// dates (infinity as 9999-12-31 23:59:59, years past 9999 as today, years
// BC as years AD), in its text as well.
std::optional<DeclaredColumn> PostgresDeclaration(const PostgresCatalogColumn& column);

// What a table's catalog says beyond the driver's description: the
// corrections by result column name, and the select list that reads money
// exactly (as numeric, whatever the server's lc_monetary) and dates as the
// server's own text; "*" when no column needs a cast.
struct PostgresTableDeclarations {
  std::map<std::string, DeclaredColumn> columns;
  std::string select_list = "*";
};

// Reads the catalog of the table. The names travel as hexadecimal digits,
// never inside a literal, so no name can end one under any setting of
// standard_conforming_strings. Empty when the table is not found. A numeric
// column declared without a precision is sized by one pass over its values
// (as the SQLite reader sizes its columns); its precision stays unknown
// (scale -1) when it holds no number.
PostgresTableDeclarations PostgresDeclarations(const OdbcSession& session, const TableReference& table);

}  // namespace quill
