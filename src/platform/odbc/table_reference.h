#pragma once

#include <string>

namespace quill {

// A table as the dataset opens it: an optional schema and the table's name.
struct TableReference {
  std::string schema;  // empty: none
  std::string table;
};

// A listed table name: "table", "[table]" (the brackets of system and
// text-file tables are dropped) or "schema.table", split at the first point
// only when the source has schemas, so that names holding points open whole
// on sources without them.
TableReference ParseListedTableName(const std::string& listed_name, bool source_has_schemas);

// The name between the quote characters, each quote inside doubled; bare
// when the source has no quote character. Throws DataAccessError for a name
// holding NUL, and for one that is not a plain name of letters, digits and
// "_" when the source has no quote character.
std::string QuoteIdentifier(const std::string& name, const std::string& quote);

// The table's name for a statement: quoted schema, a point, quoted table.
std::string QualifiedTableName(const TableReference& table, const std::string& quote);

}  // namespace quill
