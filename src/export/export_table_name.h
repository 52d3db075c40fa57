#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sources/settings.h"

namespace quill {

// Whether the schema prefix of dotted names is kept: true when the chosen
// tables come from more than one schema (the part before the first ".", or
// the whole name, differs from one entry to the next).
bool SchemasDiffer(const std::vector<std::string>& listed_names);

// Whether the run asks the user to drop the schema prefixes: one schema,
// dotted names (the last one decides) and at least two tables.
bool ShouldAskToRemoveSchema(const std::vector<std::string>& listed_names);

// The table's name in a CSV or XML export: blanks to "_" with Underscore on;
// a text file's extension cut, else the schema dropped unless kept.
std::string ExportTableName(std::string_view listed_name, bool keep_schema, const Settings& settings);

// The table's name in the Access file: the extension cut, else the schema
// dropped unless kept; every remaining "." as "_"; then blanks to "_" with
// Underscore on; then what else AccessObjectName changes.
std::string AccessTableName(std::string_view listed_name, bool keep_schema, const Settings& settings);

}  // namespace quill
