#include "platform/jet/reader/rowset_dataset.h"

namespace quill {

std::unique_ptr<MemoryRowset> MakeSchemaRowset(SchemaKind kind) {
  auto rowset = std::make_unique<MemoryRowset>();
  rowset->AddTextColumn("TABLE_CATALOG");
  rowset->AddTextColumn("TABLE_SCHEMA");
  rowset->AddTextColumn("TABLE_NAME");
  switch (kind) {
    case SchemaKind::Tables:
      rowset->AddTextColumn("TABLE_TYPE");
      break;
    case SchemaKind::Columns:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL_POSITION");
      rowset->AddIntegerColumn("CHARACTER_MAXIMUM_LENGTH");
      break;
    case SchemaKind::PrimaryKeys:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL");
      rowset->AddTextColumn("PK_NAME");
      break;
  }
  return rowset;
}

}  // namespace quill
