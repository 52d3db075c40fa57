#pragma once

// The catalog calls of the Access export, step by step, for the writer tests.

#include <string>
#include <vector>

#include "platform/jet/writer/adox_catalog.h"

namespace quill::jet::writer_testing {

struct ColumnSpec {
  std::string name;
  int type;
  int size = 0;
  bool nullable = true;
};

std::string ConnectionString(const std::string& file, const std::string& engine);

// A new table object with its columns set as the export sets them
// (Description, Nullable, Allow Zero Length, Compressed UNICODE Strings),
// appended to the catalog.
void AppendTable(Catalog& catalog, const std::string& name, const std::vector<ColumnSpec>& columns);

// The export's primary key: "PrimaryKey", adKeyPrimary, over one column.
void AppendPrimaryKey(Catalog& catalog, const std::string& table, const std::string& column);

}  // namespace quill::jet::writer_testing
