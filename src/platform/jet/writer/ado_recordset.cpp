#include "platform/jet/writer/ado_recordset.h"

#include "platform/files/read_file.h"
#include "platform/jet/writer/connection_string.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/open_databases.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill::jet {

void Connection::Open(const std::string& connection_string) {
  const JetConnectionTarget target = ParseConnectionString(connection_string);
  std::shared_ptr<JetDatabase> database = FindOpenDatabase(target.data_source);
  if (!database || database->closed()) {
    throw JetWriteError("Cannot open the database '" + target.data_source +
                        "': only a database being created here can be written.");
  }
  database_ = std::move(database);
}

void Connection::Close() { database_.reset(); }

const std::string& Field::Name() const { return owner_->table_->columns[index_].name; }

void Field::SetValue(const Variant& value) {
  Recordset& owner = *owner_;
  owner.CheckOpen();
  if (!owner.adding_) throw JetWriteError("No new row is being added: call AddNew first.");
  // Converted into a scratch cell first, so that a refused value leaves the field as it was.
  CellValue& cell = owner.scratch_;
  ConvertValueInto(value, owner.table_->columns[index_], owner.database_->format(), cell);
  std::swap(cell, owner.new_row_[index_]);
}

Field& FieldCollection::Item(std::size_t index) {
  if (index >= fields_.size()) {
    throw JetWriteError("There is no field number " + std::to_string(index) + " (the table has " +
                        std::to_string(fields_.size()) + ").");
  }
  return fields_[index];
}

void Recordset::Open(const std::string& table_name, Connection& connection, int, int, int) {
  if (!connection.database_ || connection.database_->closed()) {
    throw JetWriteError("The connection is not open.");
  }
  JetTable* table = connection.database_->FindTable(table_name);
  if (table == nullptr || table->system) {
    throw JetWriteError("The table '" + table_name + "' does not exist in the database.");
  }
  database_ = connection.database_;
  table_ = table;
  fields_.fields_.clear();
  for (std::size_t i = 0; i < table->columns.size(); ++i) fields_.fields_.push_back(Field(*this, i));
  new_row_.assign(table->columns.size(), CellValue());
  adding_ = false;
}

void Recordset::CheckOpen() const {
  if (!database_ || database_->closed()) throw JetWriteError("The recordset is not open.");
}

void Recordset::AddNew() {
  CheckOpen();
  for (std::size_t i = 0; i < table_->columns.size(); ++i) {
    ConvertValueInto(Variant(), table_->columns[i], database_->format(), new_row_[i]);
  }
  adding_ = true;
}

FieldCollection& Recordset::Fields() { return fields_; }

void Recordset::Update() {
  CheckOpen();
  if (!adding_) throw JetWriteError("No new row is being added: call AddNew first.");
  adding_ = false;
  database_->AddRow(*table_, new_row_);
}

void Recordset::Close() {
  database_.reset();
  table_ = nullptr;
  fields_.fields_.clear();
  new_row_.clear();
  adding_ = false;
}

void Stream::SetType(int type) { type_ = type; }

void Stream::Open() {
  open_ = true;
  content_.clear();
}

void Stream::LoadFromFile(const std::string& path) {
  if (!open_) throw JetWriteError("The stream is not open.");
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) throw JetWriteError("Cannot read the file '" + path + "'.");
  content_.assign(bytes->begin(), bytes->end());
}

Variant Stream::Read() const {
  if (!open_) throw JetWriteError("The stream is not open.");
  return content_;
}

void Stream::Close() {
  open_ = false;
  content_.clear();
}

}  // namespace quill::jet
