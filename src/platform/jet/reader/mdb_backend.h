#pragma once

#include <memory>
#include <string>

#include "platform/dataset/connection_backend.h"
#include "platform/jet/reader/mdb_file.h"

namespace quill {

// An .mdb/.accdb file as a data source. Jet has no catalogs or schemas: both
// columns of the schema rowsets are NULL.
class MdbBackend : public ConnectionBackend {
 public:
  explicit MdbBackend(const std::string& path);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  std::string path_;
  MdbFile file_;
};

}  // namespace quill
