#include "platform/jet/reader/mdb_backend.h"

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/mdb_table_dataset.h"
#include "platform/jet/reader/rowset_dataset.h"
#include "platform/jet/reader/schema_restrictions.h"

namespace quill {
MdbBackend::MdbBackend(const std::string& path) : path_(path), file_(path) {}

std::unique_ptr<Dataset> MdbBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  auto rowset = MakeSchemaRowset(kind);
  for (const MdbFile::TableEntry& entry : file_.Tables()) {
    if (!MatchesJetRestrictions(restrictions, entry.name)) continue;
    if (kind == SchemaKind::Tables) {
      rowset->AddRow({{}, {}, entry.name, std::string(entry.system ? "SYSTEM TABLE" : "TABLE")});
      continue;
    }
    MdbTable table(entry);
    if (kind == SchemaKind::Columns) {
      for (int i = 0; i < table.ColumnCount(); ++i) {
        const MdbColumn& column = table.Column(i);
        MemoryRowset::Cell length;
        if (column.col_type == MDB_TEXT) length = static_cast<int64_t>(DescribeMdbColumn(column, file_.IsJet3()).size);
        rowset->AddRow({{}, {}, entry.name, std::string(column.name), int64_t{i + 1}, length});
      }
    } else {
      std::string index_name;
      const std::vector<std::string> key = table.PrimaryKeyColumns(index_name);
      for (size_t i = 0; i < key.size(); ++i) {
        rowset->AddRow({{}, {}, entry.name, key[i], static_cast<int64_t>(i + 1), index_name});
      }
    }
  }
  return rowset;
}

std::unique_ptr<Dataset> MdbBackend::OpenTable(const std::string& table_name) {
  const std::string name = file_.FindTable(table_name) != nullptr ? table_name : StripBrackets(table_name);
  return std::make_unique<MdbTableDataset>(path_, name);
}

}  // namespace quill
