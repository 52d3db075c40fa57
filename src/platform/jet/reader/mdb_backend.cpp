#include "platform/jet/reader/mdb_backend.h"

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/mdb_table_dataset.h"
#include "platform/jet/reader/rowset_dataset.h"
#include "platform/jet/reader/schema_restrictions.h"

namespace quill {
namespace {

void AddTableColumns(RowsetDataset& rowset) {
  rowset.AddTextColumn("TABLE_CATALOG");
  rowset.AddTextColumn("TABLE_SCHEMA");
  rowset.AddTextColumn("TABLE_NAME");
}

}  // namespace

MdbBackend::MdbBackend(const std::string& path) : path_(path), file_(path) {}

std::unique_ptr<Dataset> MdbBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  auto rowset = std::make_unique<RowsetDataset>();
  AddTableColumns(*rowset);
  switch (kind) {
    case SchemaKind::Tables:
      rowset->AddTextColumn("TABLE_TYPE");
      for (const MdbFile::TableEntry& table : file_.Tables()) {
        if (!MatchesJetRestrictions(restrictions, table.name)) continue;
        rowset->AddRow({{}, {}, table.name, std::string(table.system ? "SYSTEM TABLE" : "TABLE")});
      }
      break;
    case SchemaKind::Columns:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL_POSITION");
      rowset->AddIntegerColumn("CHARACTER_MAXIMUM_LENGTH");
      for (const MdbFile::TableEntry& entry : file_.Tables()) {
        if (!MatchesJetRestrictions(restrictions, entry.name)) continue;
        MdbTable table(entry);
        for (int i = 0; i < table.ColumnCount(); ++i) {
          const MdbColumn& column = table.Column(i);
          RowsetDataset::Cell length;
          if (column.col_type == MDB_TEXT) length = static_cast<int64_t>(DescribeMdbColumn(column, file_.IsJet3()).size);
          rowset->AddRow({{}, {}, entry.name, std::string(column.name), int64_t{i + 1}, length});
        }
      }
      break;
    case SchemaKind::PrimaryKeys:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL");
      rowset->AddTextColumn("PK_NAME");
      for (const MdbFile::TableEntry& entry : file_.Tables()) {
        if (!MatchesJetRestrictions(restrictions, entry.name)) continue;
        MdbTable table(entry);
        std::string index_name;
        const std::vector<std::string> key = table.PrimaryKeyColumns(index_name);
        for (size_t i = 0; i < key.size(); ++i) {
          rowset->AddRow({{}, {}, entry.name, key[i], static_cast<int64_t>(i + 1), index_name});
        }
      }
      break;
  }
  return rowset;
}

std::unique_ptr<Dataset> MdbBackend::OpenTable(const std::string& table_name) {
  const std::string name = file_.FindTable(table_name) != nullptr ? table_name : StripBrackets(table_name);
  return std::make_unique<MdbTableDataset>(path_, name);
}

}  // namespace quill
