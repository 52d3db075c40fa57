#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/unique_names.h"
#include "common/user_interface.h"
#include "platform/dataset/dataset.h"
#include "platform/jet/writer/adox_catalog.h"
#include "sources/settings.h"

namespace quill {

// The engine type of the new file from the "Generated Access File Format"
// item: "4" for Access 97, "5" for Access 2000, empty otherwise.
std::string AccessEngineType(const Settings& settings);
// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>;Jet OLEDB:Engine Type=<type>".
std::string AccessConnectionString(const std::string& mdb_file, const Settings& settings);

// The column type, defined size and "Nullable" of a source field in the
// Access file, before the primary-key rule. Text wider than the 255
// characters a text column holds becomes a memo column.
struct AccessColumnType {
  int type;
  int defined_size;
  bool nullable;
};
AccessColumnType AccessColumnTypeFor(const Field& field, const Settings& settings);

// The structure side of an Access export: the new database's catalog, each
// table with its columns, its primary key, and the closing of the file.
class AccessExport {
 public:
  AccessExport(const Settings& settings, UserInterface& ui);

  // Creates the file and stays connected to it; errors propagate.
  void CreateAccessDatabase(const std::string& mdb_file);
  // Appends the table with one column per source field (a key column of
  // memo text as text of 255 characters), named as AccessColumnNames says;
  // false (after a message box unless warnings are disabled) when the
  // catalog refuses it.
  bool CreateAccessTable(const std::string& listed_name, const std::string& mdb_file, Dataset& source,
                         bool keep_schema, const std::vector<std::string>& key_columns);
  // The columns of the table last created whose name the file could not
  // hold as it stands: (source name, name in the file), in field order.
  const std::vector<std::pair<std::string, std::string>>& RenamedColumns() const { return renamed_columns_; }
  // Sets the primary key over the key columns (source names) in their order;
  // false when it cannot be set.
  bool SetAccessPrimaryKey(const std::string& listed_name, const std::vector<std::string>& key_columns,
                           bool keep_schema);
  // Completes and closes the file.
  void CloseAccessDatabase();
  // Drops the file being written; an earlier file at its path stays.
  void AbandonAccessDatabase();
  // How many tables the file holds so far.
  int TablesCreated() const { return tables_created_; }
  // The table's name in the file: AccessTableName, or, when the file gave
  // that name (letter case aside, as Access compares names) to another
  // listed table, the same cut to fit "_2", "_3", ... The same listed table
  // gets the same name again.
  std::string TableNameInFile(const std::string& listed_name, bool keep_schema);

 private:
  void MapAccessColumn(Dataset& source, jet::Table& table, const std::vector<std::string>& key_columns,
                       const std::vector<std::string>& column_names);

  const Settings& settings_;
  UserInterface& ui_;
  std::unique_ptr<jet::Catalog> export_catalog_;
  int tables_created_ = 0;
  // Access table name -> (source column name -> name in the file).
  std::map<std::string, std::map<std::string, std::string>> column_names_;
  std::vector<std::pair<std::string, std::string>> renamed_columns_;
  UniqueNames table_names_;
  std::map<std::string, std::string> table_in_file_;  // listed name -> name in the file
};

}  // namespace quill
