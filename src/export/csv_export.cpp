#include "export/csv_export.h"

#include "common/utf8_steps.h"
#include "export/replacing_file.h"
#include "platform/text/text_encoding.h"
#include "platform/text/hex_digits.h"

namespace quill {

namespace {

constexpr std::size_t kFlushBytes = 64 * 1024;

bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ';' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

constexpr std::string_view kNulDropped = "values holding NUL characters, which a text file cannot carry: the NULs dropped";
constexpr std::string_view kNotUtf8 = "values that are not valid UTF-8: each bad byte written as U+FFFD";
constexpr std::string_view kZeroDateEmpty = "zero dates, which are no dates: written empty";

bool IsBinary(FieldKind kind) {
  return kind == FieldKind::ftBytes || kind == FieldKind::ftVarBytes || kind == FieldKind::ftBlob;
}

}  // namespace

std::string CsvValueText(const Field& field, LostValueCounts& changed) {
  if (IsBinary(field.Kind())) return HexDigits(field.RawText());
  std::string text = field.AsString();
  if (text.find('\0') != std::string::npos) {
    std::erase(text, '\0');
    changed.Count(field.Name(), kNulDropped);
  }
  if (!IsValidUtf8(text)) {
    text = ValidUtf8(text);
    changed.Count(field.Name(), kNotUtf8);
  }
  return text;
}

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

bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit, RunStop& stop,
                  LostValueCounts& changed) {
  ReplacingFile file(path);
  std::string rows_text;
  rows_text.reserve(kFlushBytes + 4096);
  for (int64_t rows = 0; !source.Eof() && (row_limit <= 0 || rows < row_limit); ++rows) {
    if (rows > 0 && stop.Poll()) return false;
    for (int k = 0; k < source.FieldCount(); ++k) {
      if (k > 0) rows_text += ';';
      const Field& field = source.FieldAt(k);
      if (field.IsBeyondCalendar()) {
        AppendCsvValue(rows_text, field.RawText());  // 'infinity' or a year BC: text as the source wrote it
      } else if (field.IsZeroDate()) {
        changed.Count(field.Name(), kZeroDateEmpty);
      } else if (!field.IsNull()) {
        AppendCsvValue(rows_text, CsvValueText(field, changed));
      }
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
