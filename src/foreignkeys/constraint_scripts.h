#pragma once

#include <string>
#include <vector>

#include "common/foreign_key_scripts.h"
#include "sources/settings.h"

namespace quill {

// One foreign key as the designer's row holds it: the tables as listed (schema
// prefix kept) and bare column names.
struct ForeignKeyValues {
  std::string fk_table;
  std::string fk_field;
  std::string pk_table;
  std::string pk_field;

  friend bool operator==(const ForeignKeyValues&, const ForeignKeyValues&) = default;
};

// The constraint's name: "FK_QMV_" and the tables and columns (with the
// destination schema first for MS SQL, PostgreSQL and MySql), or its MD5 text
// for Oracle and Pervasive (cut to 20 characters) and when encrypt is set.
// The options are read from settings at the moment of the call.
std::string ConstraintName(const Settings& settings, bool encrypt, const ForeignKeyValues& key);

// The run's tables and their columns (parallel lists: a column's table as
// listed, the column), so that the constraint scripts give a table or column
// the same distinct name as the table writers do.
struct ScriptTables {
  std::vector<std::string> tables;
  std::vector<std::string> column_tables;
  std::vector<std::string> columns;
};

// Appends the key's ALTER TABLE statements in the settings' dialect: the DROP
// to scripts.drop_constraint_script, the ADD to scripts.add_constraint_script.
// Table and column names take the same quoted form as the table writers give
// them in CREATE TABLE, so the statements name the tables of the script.
void AppendConstraintScripts(const Settings& settings, bool encrypt, const ForeignKeyValues& key,
                             ForeignKeyScripts& scripts, const ScriptTables& run_tables = {});

}  // namespace quill
