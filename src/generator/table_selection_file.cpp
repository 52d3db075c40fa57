#include "generator/table_selection_file.h"

#include <cerrno>
#include <filesystem>

#include "common/one_line_name.h"
#include "common/split_string.h"
#include "common/text_lines.h"
#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"
#include "platform/files/read_file.h"
#include "platform/text/text_encoding.h"

namespace quill {

void WriteTableSelectionFile(const std::string& path, const std::string& date_and_time,
                             const std::string& source_caption, const std::vector<std::string>& table_names) {
  std::string text = "//Table Selection File created on " + date_and_time + "\r\n";
  // One line each, so that no part of a name or the caption reads as a name.
  text += "//From source : " + OneLineName(source_caption) + "\r\n";
  for (const std::string& name : table_names) text += OneLineName(name) + "\r\n";
  WriteFileAtomically(path, text);
}

SelectionFileKind SelectionFileKindOf(const std::string& path) {
  const std::string file_name = std::filesystem::path(path).filename().string();
  const size_t point = file_name.rfind('.');
  const std::string extension = point == std::string::npos ? file_name : file_name.substr(point + 1);
  if (extension == "tbs") return SelectionFileKind::Tables;
  if (extension == "fks") return SelectionFileKind::ForeignKeySet;
  return SelectionFileKind::Unsupported;
}

std::vector<std::string> ReadSelectionFileNames(const std::string& path, SelectionFileKind kind) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) throw InOutErrorFromErrno(errno != 0 ? errno : ENOENT);
  std::vector<std::string> names;
  const std::string decoded = TextFileToUtf8(*text);
  for (const std::string& line : TextLines(decoded)) {
    if (kind == SelectionFileKind::Tables) {
      names.push_back(line);
      continue;
    }
    const std::vector<std::string> fields = SplitString(line, ";");
    if (fields.empty() || fields[0].find("//") != std::string::npos) continue;
    names.push_back(fields[0]);
    // A row of fewer than three fields names its first table only.
    if (fields.size() >= 3) names.push_back(fields[2]);
  }
  return names;
}

}  // namespace quill
