#include "foreignkeys/foreign_key_set_file.h"

#include <cerrno>

#include "common/split_string.h"
#include "common/text_lines.h"
#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"
#include "platform/files/read_file.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

constexpr size_t kRowFields = 6;

}  // namespace

std::string ForeignKeySetText(const std::string& date_and_time, const std::string& source_caption,
                              const std::vector<ForeignKeySetRow>& rows) {
  std::string text = "//Foreign Key Set File created on " + date_and_time + "\r\n";
  text += "//From source : " + source_caption + "\r\n";
  for (const ForeignKeySetRow& row : rows) {
    text += row.key.fk_table + ";" + row.key.fk_field + ";" + row.key.pk_table + ";" + row.key.pk_field + ";" +
            (row.selected ? "1" : "0") + ";" + row.stamp + ";\r\n";
  }
  return text;
}

void WriteForeignKeySetFile(const std::string& path, const std::string& text) { WriteFileAtomically(path, text); }

std::vector<std::string> ReadForeignKeySetLines(const std::string& path) {
  errno = 0;
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) throw InOutErrorFromErrno(errno != 0 ? errno : ENOENT);
  const std::string text = TextFileToUtf8(*bytes);
  return TextLines(text);
}

bool ParseForeignKeySetLine(const std::string& line, ForeignKeySetRow& row) {
  const std::vector<std::string> fields = SplitString(line, ";");
  if (fields[0].find("//") != std::string::npos) return false;
  if (fields.size() < kRowFields) return false;
  row.key = {fields[0], fields[1], fields[2], fields[3]};
  row.selected = fields[4] == "1";
  row.stamp = fields[5];
  return true;
}

}  // namespace quill
