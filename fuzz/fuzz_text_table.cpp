// A text file of the text-file source: its layout scanned, every row read.
#include "fuzz_support.h"
#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "table.csv");
  try {
    quill::TextTableDataset table(path);
    int64_t rows = 0;
    for (; !table.Eof(); table.Next(), ++rows) {
      for (int i = 0; i < table.FieldCount(); ++i) table.FieldAt(i).AsString();
    }
    if (rows != table.RecordCount()) __builtin_trap();  // the scan counts what the read finds
  } catch (const quill::DataAccessError&) {
  }
  return 0;
}
