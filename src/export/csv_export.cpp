#include "export/csv_export.h"

#include "export/replacing_file.h"

namespace quill {

namespace {

constexpr std::size_t kFlushBytes = 64 * 1024;

bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ';' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

}  // namespace

void AppendCsvValue(std::string& line, std::string_view text) {
  if (!NeedsQuotes(text)) {
    line += text;
    return;
  }
  line += '"';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit, RunStop& stop) {
  ReplacingFile file(path);
  std::string rows_text;
  rows_text.reserve(kFlushBytes + 4096);
  for (int64_t rows = 0; !source.Eof() && (row_limit <= 0 || rows < row_limit); ++rows) {
    if (rows > 0 && stop.Poll()) return false;
    for (int k = 0; k < source.FieldCount(); ++k) {
      if (k > 0) rows_text += ';';
      const Field& field = source.FieldAt(k);
      if (!field.IsNull()) AppendCsvValue(rows_text, field.AsString());
    }
    rows_text += "\r\n";
    if (rows_text.size() >= kFlushBytes) {
      if (!file.Write(rows_text)) return false;
      rows_text.clear();
    }
    source.Next();
  }
  return file.Write(rows_text) && file.Commit();
}

}  // namespace quill
