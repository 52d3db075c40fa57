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
  if (!owner.new_row_) throw JetWriteError("No new row is being added: call AddNew first.");
  (*owner.new_row_)[index_] = ConvertValue(value, owner.table_->columns[index_], owner.database_->format());
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
  new_row_.reset();
}

void Recordset::CheckOpen() const {
  if (!database_ || database_->closed()) throw JetWriteError("The recordset is not open.");
}

void Recordset::AddNew() {
  CheckOpen();
  std::vector<CellValue> row;
  for (const ColumnDefinition& column : table_->columns) row.push_back(ConvertValue(Variant(), column, database_->format()));
  new_row_ = std::move(row);
}

FieldCollection& Recordset::Fields() { return fields_; }

void Recordset::Update() {
  CheckOpen();
  if (!new_row_) throw JetWriteError("No new row is being added: call AddNew first.");
  std::vector<CellValue> row = std::move(*new_row_);
  new_row_.reset();
  database_->AddRow(*table_, std::move(row));
}

void Recordset::Close() {
  database_.reset();
  table_ = nullptr;
  fields_.fields_.clear();
  new_row_.reset();
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
