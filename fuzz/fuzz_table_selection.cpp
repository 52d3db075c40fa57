// A table-selection file (".tbs") and the table names of a foreign-key set
// read as one.
#include "fuzz_support.h"
#include "generator/table_selection_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "selection.tbs");
  quill::ReadSelectionFileNames(path, quill::SelectionFileKind::Tables);
  quill::ReadSelectionFileNames(path, quill::SelectionFileKind::ForeignKeySet);
  return 0;
}
