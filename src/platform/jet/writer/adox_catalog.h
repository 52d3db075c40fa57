#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/jet/writer/ado_constants.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

class JetDatabase;
struct JetTable;
class Catalog;

// A named property of a column ("Description", "Nullable",
// "Jet OLEDB:Allow Zero Length", "Jet OLEDB:Compressed UNICODE Strings").
class Property {
 public:
  Property(std::string name, Variant value) : name_(std::move(name)), value_(std::move(value)) {}
  const std::string& Name() const { return name_; }
  const Variant& Value() const { return value_; }
  void SetValue(Variant value) { value_ = std::move(value); }

 private:
  std::string name_;
  Variant value_;
};

class PropertyCollection {
 public:
  PropertyCollection();
  // Throws JetWriteError for a name the provider does not know.
  Property& Item(const std::string& name);
  const Property& Item(const std::string& name) const;
  std::size_t Count() const { return items_.size(); }

 private:
  std::vector<Property> items_;
};

// A column of a table or of a key. Copies share one column, as object
// references do.
class Column {
 public:
  Column();
  void SetName(const std::string& name);
  const std::string& Name() const;
  void SetType(int type);
  int Type() const;
  void SetDefinedSize(int size);
  int DefinedSize() const;
  void SetParentCatalog(Catalog& catalog);
  void SetRelatedColumn(const std::string& name);
  PropertyCollection& Properties();
  const PropertyCollection& Properties() const;

 private:
  struct Data;
  std::shared_ptr<Data> data_;
};

class ColumnCollection {
 public:
  // Appends a column, giving it type and size; throws JetWriteError for a
  // name, type or size the file format cannot hold or for a second column of
  // the same name.
  void Append(const Column& column, int type, int defined_size);
  void Append(const std::string& name, int type, int defined_size);
  Column& Item(const std::string& name);
  Column& Item(std::size_t index);
  std::size_t Count() const { return items_.size(); }

 private:
  friend class Table;
  friend class TableCollection;
  friend class Key;
  friend class KeyCollection;
  std::vector<Column> items_;
  bool frozen_ = false;   // the table is in the catalog
  bool for_key_ = false;  // key columns only name table columns
  const Catalog* catalog_ = nullptr;  // set with the table's parent catalog
};

class Key {
 public:
  Key();
  void SetName(const std::string& name);
  const std::string& Name() const;
  void SetType(int type);
  int Type() const;
  void SetRelatedTable(const std::string& name);
  ColumnCollection& Columns();

 private:
  friend class KeyCollection;
  struct Data;
  std::shared_ptr<Data> data_;
};

class KeyCollection {
 public:
  // Appends the primary key over its columns in their order; with the table
  // in the catalog already, the rows it holds are checked at once. Throws
  // JetWriteError for a second primary key, a key without columns or with
  // more than the format allows, or rows with Null or repeated keys.
  void Append(const Key& key, int type = kAdKeyPrimary, const std::string& column = "",
              const std::string& related_table = "", const std::string& related_column = "");
  std::size_t Count() const { return items_.size(); }

 private:
  friend class Table;
  friend class TableCollection;
  void Apply(const Key& key);
  std::vector<Key> items_;
  std::shared_ptr<JetDatabase> database_;
  JetTable* table_ = nullptr;
  std::string table_name_;
};

class Table {
 public:
  Table();
  void SetName(const std::string& name);
  const std::string& Name() const;
  void SetParentCatalog(Catalog& catalog);
  ColumnCollection& Columns();
  KeyCollection& Keys();

 private:
  friend class TableCollection;
  struct Data;
  std::shared_ptr<Data> data_;
};

class TableCollection {
 public:
  // Creates the table in the database with its columns (and a key appended
  // before). Throws JetWriteError for a bad or repeated name.
  void Append(const Table& table);
  // Throws JetWriteError when no table has that name.
  Table& Item(const std::string& name);
  std::size_t Count() const { return items_.size(); }
  void Refresh() {}

 private:
  friend class Catalog;
  std::vector<Table> items_;
  std::shared_ptr<JetDatabase> database_;
};

// The catalog of a new database file.
class Catalog {
 public:
  Catalog();
  ~Catalog();
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;

  // Creates the file the connection string names and stays connected to it.
  // Throws JetWriteError (bad provider or engine type, folder missing or not
  // writable, a folder or a file under that name).
  void Create(const std::string& connection_string);
  TableCollection& Tables();
  // Setting the active connection to nothing completes the file and closes it.
  void SetActiveConnection(std::nullptr_t);
  bool IsJet3() const;

 private:
  std::shared_ptr<JetDatabase> database_;
  TableCollection tables_;
};

}  // namespace quill::jet
