#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/dataset/connection_backend.h"

namespace quill {

// A folder as a data source: each .csv, .txt, .tab and .asc file in it is a
// table, named with its extension ("clients.csv"). No keys.
class TextFolderBackend : public ConnectionBackend {
 public:
  explicit TextFolderBackend(const std::string& folder);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  // "clients.csv" or "[clients.csv]"; only files of the listing open.
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  std::vector<std::string> TableFiles() const;  // file names, sorted

  std::string folder_;
};

}  // namespace quill
