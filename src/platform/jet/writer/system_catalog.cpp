#include "platform/jet/writer/system_catalog.h"

namespace quill::jet {
namespace {

ColumnDefinition Column(const char* name, JetType type, std::size_t characters = 0) {
  ColumnDefinition column;
  column.name = name;
  column.type = type;
  column.max_characters = characters;
  return column;
}

std::vector<ColumnDefinition> LaidOut(std::vector<ColumnDefinition> columns) {
  LayOutColumns(columns);
  return columns;
}

constexpr std::uint32_t kSystemObject = 0x80000000;
constexpr std::uint32_t kHiddenObject = 0x00000002;

}  // namespace

SystemTable CatalogTable() {
  return {"MSysObjects", kSystemObject,
          LaidOut({Column("Connect", JetType::kMemo), Column("Database", JetType::kMemo),
                   Column("DateCreate", JetType::kDateTime), Column("DateUpdate", JetType::kDateTime),
                   Column("Flags", JetType::kLongInteger), Column("ForeignName", JetType::kText, 128),
                   Column("Id", JetType::kLongInteger), Column("Lv", JetType::kOle), Column("LvExtra", JetType::kOle),
                   Column("LvModule", JetType::kOle), Column("LvProp", JetType::kOle),
                   Column("Name", JetType::kText, 128), Column("Owner", JetType::kBinary),
                   Column("ParentId", JetType::kLongInteger), Column("RmtInfoLong", JetType::kOle),
                   Column("RmtInfoShort", JetType::kBinary), Column("Type", JetType::kInteger)})};
}

std::vector<SystemTable> OtherSystemTables() {
  return {
      {"MSysACEs", kSystemObject,
       LaidOut({Column("ACM", JetType::kLongInteger), Column("FInheritable", JetType::kBoolean),
                Column("ObjectId", JetType::kLongInteger), Column("SID", JetType::kBinary)})},
      {"MSysQueries", kSystemObject,
       LaidOut({Column("Attribute", JetType::kByte), Column("Expression", JetType::kMemo),
                Column("Flag", JetType::kInteger), Column("LvExtra", JetType::kOle), Column("Name1", JetType::kMemo),
                Column("Name2", JetType::kMemo), Column("ObjectId", JetType::kLongInteger),
                Column("Order", JetType::kBinary)})},
      {"MSysRelationships", kSystemObject,
       LaidOut({Column("ccolumn", JetType::kLongInteger), Column("grbit", JetType::kLongInteger),
                Column("icolumn", JetType::kLongInteger), Column("szColumn", JetType::kText, 64),
                Column("szObject", JetType::kText, 64), Column("szReferencedColumn", JetType::kText, 64),
                Column("szReferencedObject", JetType::kText, 64), Column("szRelationship", JetType::kText, 64)})},
      {"MSysAccessObjects", kHiddenObject,
       LaidOut({Column("Data", JetType::kBinary), Column("ID", JetType::kLongInteger)})},
  };
}

std::vector<Variant> CatalogRow(const std::vector<ColumnDefinition>& columns,
                                const std::vector<std::pair<std::string, Variant>>& values) {
  std::vector<Variant> row(columns.size());
  for (const auto& [name, value] : values) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == name) row[i] = value;
    }
  }
  return row;
}

}  // namespace quill::jet
