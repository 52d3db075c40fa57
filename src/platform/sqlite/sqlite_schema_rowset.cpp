#include "platform/sqlite/sqlite_schema_rowset.h"

#include <utility>

namespace quill {

SqliteSchemaRowset::SqliteSchemaRowset(SchemaKind kind) {
  AddColumn("TABLE_CATALOG", true);
  AddColumn("TABLE_SCHEMA", true);
  AddColumn("TABLE_NAME", true);
  switch (kind) {
    case SchemaKind::Tables:
      AddColumn("TABLE_TYPE", true);
      AddColumn("REMARKS", true);
      break;
    case SchemaKind::Columns:
      AddColumn("COLUMN_NAME", true);
      AddColumn("DATA_TYPE", false);
      AddColumn("TYPE_NAME", true);
      AddColumn("COLUMN_SIZE", false);
      AddColumn("NULLABLE", false);
      AddColumn("COLUMN_DEF", true);
      AddColumn("ORDINAL_POSITION", false);
      break;
    case SchemaKind::PrimaryKeys:
      AddColumn("COLUMN_NAME", true);
      AddColumn("KEY_SEQ", false);
      AddColumn("PK_NAME", true);
      break;
  }
}

void SqliteSchemaRowset::AddColumn(const std::string& name, bool text) {
  if (text) {
    fields_.push_back(std::make_unique<Field>(name, "TWideStringField", FieldKind::ftWideString, 255, FieldCount()));
  } else {
    fields_.push_back(std::make_unique<Field>(name, "TIntegerField", FieldKind::ftInteger, 0, FieldCount()));
  }
}

void SqliteSchemaRowset::AddRow(std::vector<Cell> cells) {
  cells.resize(fields_.size());
  rows_.push_back(std::move(cells));
  if (rows_.size() == 1) First();
}

void SqliteSchemaRowset::Next() {
  if (position_ < rows_.size()) ++position_;
  LoadRow();
}

void SqliteSchemaRowset::First() {
  position_ = 0;
  LoadRow();
}

void SqliteSchemaRowset::LoadRow() {
  if (position_ >= rows_.size()) return;
  const std::vector<Cell>& row = rows_[position_];
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = *fields_[i];
    if (const auto* text = std::get_if<std::string>(&row[i])) {
      field.SetText(*text);
    } else if (const auto* number = std::get_if<int64_t>(&row[i])) {
      field.SetInteger(*number);
    } else {
      field.SetNull();
    }
  }
}

}  // namespace quill
