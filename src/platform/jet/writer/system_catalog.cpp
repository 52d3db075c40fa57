#include "platform/jet/writer/system_catalog.h"

namespace quill::jet {
namespace {

std::vector<ColumnDefinition> LaidOut(std::vector<ColumnDefinition> columns) {
  LayOutColumns(columns);
  return columns;
}

constexpr std::uint32_t kSystemObject = 0x80000000;
constexpr std::uint32_t kHiddenObject = 0x00000002;

}  // namespace

SystemTable CatalogTable() {
  return {"MSysObjects", kSystemObject,
          LaidOut({MakeColumn("Connect", JetType::kMemo), MakeColumn("Database", JetType::kMemo),
                   MakeColumn("DateCreate", JetType::kDateTime), MakeColumn("DateUpdate", JetType::kDateTime),
                   MakeColumn("Flags", JetType::kLongInteger), MakeColumn("ForeignName", JetType::kText, 128),
                   MakeColumn("Id", JetType::kLongInteger), MakeColumn("Lv", JetType::kOle),
                   MakeColumn("LvExtra", JetType::kOle), MakeColumn("LvModule", JetType::kOle),
                   MakeColumn("LvProp", JetType::kOle),
                   MakeColumn("Name", JetType::kText, 128), MakeColumn("Owner", JetType::kBinary),
                   MakeColumn("ParentId", JetType::kLongInteger), MakeColumn("RmtInfoLong", JetType::kOle),
                   MakeColumn("RmtInfoShort", JetType::kBinary), MakeColumn("Type", JetType::kInteger)})};
}

std::vector<SystemTable> OtherSystemTables() {
  return {
      {"MSysACEs", kSystemObject,
       LaidOut({MakeColumn("ACM", JetType::kLongInteger), MakeColumn("FInheritable", JetType::kBoolean),
                MakeColumn("ObjectId", JetType::kLongInteger), MakeColumn("SID", JetType::kBinary)})},
      {"MSysQueries", kSystemObject,
       LaidOut({MakeColumn("Attribute", JetType::kByte), MakeColumn("Expression", JetType::kMemo),
                MakeColumn("Flag", JetType::kInteger), MakeColumn("LvExtra", JetType::kOle),
                MakeColumn("Name1", JetType::kMemo),
                MakeColumn("Name2", JetType::kMemo), MakeColumn("ObjectId", JetType::kLongInteger),
                MakeColumn("Order", JetType::kBinary)})},
      {"MSysRelationships", kSystemObject,
       LaidOut({MakeColumn("ccolumn", JetType::kLongInteger), MakeColumn("grbit", JetType::kLongInteger),
                MakeColumn("icolumn", JetType::kLongInteger), MakeColumn("szColumn", JetType::kText, 64),
                MakeColumn("szObject", JetType::kText, 64), MakeColumn("szReferencedColumn", JetType::kText, 64),
                MakeColumn("szReferencedObject", JetType::kText, 64),
                MakeColumn("szRelationship", JetType::kText, 64)})},
      {"MSysAccessObjects", kHiddenObject,
       LaidOut({MakeColumn("Data", JetType::kBinary), MakeColumn("ID", JetType::kLongInteger)})},
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
