#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// The system tables a new database holds, with the columns a reader expects.
struct SystemTable {
  std::string name;
  std::uint32_t catalog_flags;
  std::vector<ColumnDefinition> columns;
};

// MSysObjects: the catalog of every object, read first by every reader.
SystemTable CatalogTable();
// MSysACEs, MSysQueries, MSysRelationships, MSysAccessObjects (empty).
std::vector<SystemTable> OtherSystemTables();

// Object types and fixed ids of the catalog.
constexpr std::int64_t kTableObject = 1;
constexpr std::int64_t kDatabaseObject = 2;
constexpr std::int64_t kContainerObject = 3;
constexpr std::int64_t kRootId = 0x0F000000;
constexpr std::int64_t kTablesContainerId = 0x0F000001;
constexpr std::int64_t kDatabasesContainerId = 0x0F000002;
constexpr std::int64_t kRelationshipsContainerId = 0x0F000003;
constexpr std::int64_t kDatabaseObjectId = 0x0F000004;

// A catalog row for the columns of CatalogTable(): the named values, the rest Null.
std::vector<Variant> CatalogRow(const std::vector<ColumnDefinition>& columns,
                                const std::vector<std::pair<std::string, Variant>>& values);

}  // namespace quill::jet
