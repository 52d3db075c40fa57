#pragma once

#include <string>
#include <string_view>
#include <vector>

// glib's C++ parts must come before mdbtools.h, which includes glib inside
// its C linkage block.
#include <glib.h>
#include <mdbtools.h>

#include "platform/dataset/field.h"

namespace quill {

// An .mdb or .accdb file opened read-only through libmdb, its catalog read
// once. Table definitions read from it stay valid as long as the file is open.
class MdbFile {
 public:
  struct TableEntry {
    std::string name;
    bool system = false;  // MSys* and the other tables Access keeps for itself
    MdbCatalogEntry* entry = nullptr;
  };

  // Throws DataAccessError when the file cannot be read as a database.
  explicit MdbFile(const std::string& path);
  ~MdbFile();
  MdbFile(const MdbFile&) = delete;
  MdbFile& operator=(const MdbFile&) = delete;

  MdbHandle* handle() { return handle_; }
  bool IsJet3() const;
  const std::vector<TableEntry>& Tables() const { return tables_; }
  // By name, exactly, else ignoring case as the engine does; nullptr when absent.
  const TableEntry* FindTable(std::string_view name) const;

 private:
  MdbHandle* handle_ = nullptr;
  std::vector<TableEntry> tables_;
};

// A table definition with its columns, freed on destruction.
class MdbTable {
 public:
  // Throws DataAccessError when the definition cannot be read.
  explicit MdbTable(const MdbFile::TableEntry& entry);
  ~MdbTable();
  MdbTable(const MdbTable&) = delete;
  MdbTable& operator=(const MdbTable&) = delete;

  MdbTableDef* def() { return table_; }
  int ColumnCount() const { return static_cast<int>(table_->num_cols); }
  MdbColumn& Column(int index) const;
  // Names of the primary-key columns in key order, and the key's index name;
  // empty when there is no key.
  std::vector<std::string> PrimaryKeyColumns(std::string& index_name);

 private:
  MdbTableDef* table_ = nullptr;
  bool indexes_read_ = false;
};

// Field class, data kind and size in characters of a column, as the
// data-access layer reports them.
struct JetFieldType {
  std::string class_name;
  FieldKind kind;
  int size;
};
JetFieldType DescribeMdbColumn(const MdbColumn& column, bool jet3);

}  // namespace quill
