#include "platform/sqlite/sqlite_schema_rowset.h"

namespace quill {

SqliteSchemaRowset::SqliteSchemaRowset(SchemaKind kind) {
  AddTextColumn("TABLE_CATALOG");
  AddTextColumn("TABLE_SCHEMA");
  AddTextColumn("TABLE_NAME");
  switch (kind) {
    case SchemaKind::Tables:
      AddTextColumn("TABLE_TYPE");
      AddTextColumn("REMARKS");
      break;
    case SchemaKind::Columns:
      AddTextColumn("COLUMN_NAME");
      AddIntegerColumn("DATA_TYPE");
      AddTextColumn("TYPE_NAME");
      AddIntegerColumn("COLUMN_SIZE");
      AddIntegerColumn("NULLABLE");
      AddTextColumn("COLUMN_DEF");
      AddIntegerColumn("ORDINAL_POSITION");
      break;
    case SchemaKind::PrimaryKeys:
      AddTextColumn("COLUMN_NAME");
      AddIntegerColumn("KEY_SEQ");
      AddTextColumn("PK_NAME");
      break;
  }
}

}  // namespace quill
