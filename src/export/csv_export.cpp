#include "export/csv_export.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "export/ansi_text.h"

namespace quill {

namespace {

// Writes the rows to `partial_path`; false when writing fails. Errors name
// the file the user chose.
bool WriteRows(Dataset& source, const std::string& partial_path, const std::string& path, int64_t row_limit) {
  std::ofstream file(partial_path, std::ios::binary | std::ios::trunc);
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

}  // namespace

bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit) {
  // The rows go to a partial file that replaces the old one only when whole,
  // so a failed write leaves neither a cut file nor a lost one.
  const std::string partial_path = path + ".part";
  std::error_code ignored;
  try {
    if (!WriteRows(source, partial_path, path, row_limit)) {
      std::filesystem::remove(partial_path, ignored);
      return false;
    }
  } catch (...) {
    std::filesystem::remove(partial_path, ignored);
    throw;
  }
  std::error_code renamed;
  std::filesystem::rename(partial_path, path, renamed);
  if (renamed) std::filesystem::remove(partial_path, ignored);
  return !renamed;
}

}  // namespace quill
