#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sources/settings.h"

namespace quill {

// Names that a dialect's rules make equal kept apart. PostgreSQL lower-cases
// names, Oracle cuts column names to 30 characters and Pervasive to 20, and
// most engines compare names without case, so two names of a source can come
// out as one: the later one then gets "_2", "_3", ... within the dialect's
// length, so the CREATE TABLE holds every column and every table of a script
// keeps a name of its own. The table writers and the foreign-key scripts take
// their names from here, so both name the same columns and tables.

// A column name as the dialect writes it, before quoting: Underscore applied,
// lower case for PostgreSQL, cut for Oracle and Pervasive, and to the longest
// name the server takes for PostgreSQL (63 bytes) and MySql (64 characters).
std::string DialectColumnForm(const Settings& settings, std::string_view field_name);

// An output table name (OutputTableNameFor's name part) cut to the longest
// name the server takes: 63 bytes for PostgreSQL, 64 characters for MySql.
std::string DialectTableForm(const Settings& settings, std::string_view output_name);

// The column names of one table (in field order) in their dialect form, kept
// distinct, and apart from the names the engine keeps for columns of its own
// (PostgreSQL's system columns xmin, ctid, ...), which get a suffix as well.
std::vector<std::string> DistinctColumnNames(const Settings& settings, const std::vector<std::string>& field_names);

// Whether a column name in its dialect form is one the engine keeps for a
// column of its own.
bool IsEngineColumnName(const Settings& settings, std::string_view form);

// The output names (OutputTableNameFor's name part) of a run's tables, in the
// order listed, kept distinct. Tables whose output names are equal before the
// dialect's rules keep them: that is the duplicate the run asks about first.
std::vector<std::string> DistinctTableNames(const Settings& settings, const std::vector<std::string>& listed_names);

}  // namespace quill
