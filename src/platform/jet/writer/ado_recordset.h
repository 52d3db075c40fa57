#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/jet/writer/ado_constants.h"
#include "platform/jet/writer/row_format.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

class JetDatabase;
struct JetTable;
class Recordset;

// A connection to a database file that a catalog of this process is writing.
class Connection {
 public:
  // Throws JetWriteError for a bad connection string or a file no open
  // catalog is writing.
  void Open(const std::string& connection_string);
  void Close();
  bool IsOpen() const { return database_ != nullptr; }

 private:
  friend class Recordset;
  std::shared_ptr<JetDatabase> database_;
};

// One field of the row being added.
class Field {
 public:
  const std::string& Name() const;
  // Converts the value for the column at once; throws JetWriteError when the
  // column cannot hold it (the row keeps its former value for this field).
  void SetValue(const Variant& value);

 private:
  friend class Recordset;
  Field(Recordset& owner, std::size_t index) : owner_(&owner), index_(index) {}
  Recordset* owner_;
  std::size_t index_;
};

class FieldCollection {
 public:
  Field& Item(std::size_t index);
  std::size_t Count() const { return fields_.size(); }

 private:
  friend class Recordset;
  std::vector<Field> fields_;
};

// A table opened for adding rows (keyset cursor, optimistic locking, table
// direct: the only way the exports open one).
class Recordset {
 public:
  Recordset() = default;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Throws JetWriteError when the connection is not open or has no such table.
  void Open(const std::string& table_name, Connection& connection, int cursor_type = kAdOpenKeyset,
            int lock_type = kAdLockOptimistic, int options = kAdCmdTableDirect);
  void AddNew();
  FieldCollection& Fields();
  // Stores the new row; throws JetWriteError when the row breaks a rule of
  // the table (Null in a required column, a repeated primary key, too large).
  void Update();
  void Close();

 private:
  friend class Field;
  void CheckOpen() const;
  std::shared_ptr<JetDatabase> database_;
  JetTable* table_ = nullptr;
  FieldCollection fields_;
  std::vector<CellValue> new_row_;  // kept from row to row for its buffers
  bool adding_ = false;
  CellValue scratch_;
};

// A binary stream loaded from a file, whose content becomes a field value.
class Stream {
 public:
  void SetType(int type);
  void Open();
  // Throws JetWriteError when the file cannot be read.
  void LoadFromFile(const std::string& path);
  // The whole content as bytes.
  Variant Read() const;
  void Close();

 private:
  int type_ = kAdTypeBinary;
  bool open_ = false;
  Bytes content_;
};

}  // namespace quill::jet
