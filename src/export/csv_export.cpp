#include "export/csv_export.h"

#include <fstream>
#include <stdexcept>

#include "export/ansi_text.h"

namespace quill {

bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) throw std::runtime_error("Cannot create file " + path + ".");
  std::string line;
  for (int64_t rows = 0; !source.Eof() && (row_limit <= 0 || rows < row_limit); ++rows) {
    line.clear();
    for (int k = 0; k < source.FieldCount(); ++k) {
      if (k > 0) line += ';';
      line += source.FieldAt(k).AsString();
    }
    line += "\r\n";
    file << Utf8ToWindows1252(line);
    if (!file) return false;
    source.Next();
  }
  file.close();
  return !file.fail();
}

}  // namespace quill
