#include "platform/jet/reader/text_folder_backend.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/rowset_dataset.h"
#include "platform/jet/reader/schema_restrictions.h"
#include "platform/jet/reader/text_table.h"

namespace quill {
namespace {

bool IsTextTableFile(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  for (const char* known : {".csv", ".txt", ".tab", ".asc"}) {
    if (strcasecmp(extension.c_str(), known) == 0) return true;
  }
  return false;
}

}  // namespace

TextFolderBackend::TextFolderBackend(const std::string& folder) : folder_(folder) {}

std::vector<std::string> TextFolderBackend::TableFiles() const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    std::error_code ignored;
    if (entry.is_regular_file(ignored) && IsTextTableFile(entry.path())) names.push_back(entry.path().filename());
  }
  if (error) throw DataAccessError("The folder '" + folder_ + "' cannot be read.");
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_ptr<Dataset> TextFolderBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  auto rowset = MakeSchemaRowset(kind);
  if (kind == SchemaKind::PrimaryKeys) return rowset;  // text files have no keys
  for (const std::string& name : TableFiles()) {
    if (!MatchesJetRestrictions(restrictions, name)) continue;
    if (kind == SchemaKind::Tables) {
      rowset->AddRow({{}, {}, name, std::string("TABLE")});
      continue;
    }
    const TextTableLayout layout = ScanTextTable((std::filesystem::path(folder_) / name).string());
    for (size_t i = 0; i < layout.column_names.size(); ++i) {
      MemoryRowset::Cell length;
      if (!layout.memo_columns[i]) length = int64_t{kTextColumnSize};
      rowset->AddRow({{}, {}, name, layout.column_names[i], static_cast<int64_t>(i + 1), length});
    }
  }
  return rowset;
}

std::unique_ptr<Dataset> TextFolderBackend::OpenTable(const std::string& table_name) {
  const std::vector<std::string> files = TableFiles();
  for (const std::string& wanted : {table_name, StripBrackets(table_name)}) {
    for (const bool exact : {true, false}) {
      for (const std::string& file : files) {
        if (exact ? file == wanted : strcasecmp(file.c_str(), wanted.c_str()) == 0) {
          return std::make_unique<TextTableDataset>((std::filesystem::path(folder_) / file).string());
        }
      }
    }
  }
  throw DataAccessError("The table '" + table_name + "' does not exist.");
}

}  // namespace quill
