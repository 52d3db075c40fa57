#pragma once

#include <memory>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/memory_rowset.h"

namespace quill {

// An empty schema rowset of the Jet stand-in with the columns of its kind:
// TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, then TABLE_TYPE (tables);
// COLUMN_NAME, ORDINAL_POSITION, CHARACTER_MAXIMUM_LENGTH (columns);
// COLUMN_NAME, ORDINAL, PK_NAME (primary keys). Catalog and schema stay NULL.
std::unique_ptr<MemoryRowset> MakeSchemaRowset(SchemaKind kind);

}  // namespace quill
