#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/odbc_configuration.h"
#include "platform/dataset/dataset.h"

namespace quill::testing {

// The texts of one column over all rows of a rowset, from its first row.
inline std::vector<std::string> ColumnValues(Dataset& rowset, const std::string& name) {
  Field* field = rowset.FindField(name);
  if (field == nullptr) return {"no column " + name};
  std::vector<std::string> values;
  for (rowset.First(); !rowset.Eof(); rowset.Next()) values.push_back(field->AsString());
  return values;
}

// A path in this test process's own folder, removed when the process ends.
inline std::filesystem::path ProcessPath(const std::string& name) {
  return std::filesystem::path(OdbcConfigurationFolder()) / name;
}

}  // namespace quill::testing
