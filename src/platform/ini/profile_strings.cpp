#include "platform/ini/profile_strings.h"

#include "platform/files/atomic_file.h"
#include "platform/files/read_file.h"
#include "platform/ini/ini_document.h"

namespace quill {

IniDocument LoadIniFile(const std::string& path) {
  const std::optional<std::string> text = ReadWholeFile(path);
  return text ? IniDocument(*text) : IniDocument();
}

void SaveIniFile(const IniDocument& document, const std::string& path) { WriteFileAtomically(path, document.Text()); }

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& path) {
  return LoadIniFile(path).Find(section, key).value_or(default_value);
}

void WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& path) {
  IniDocument document = LoadIniFile(path);
  document.Set(section, key, value);
  SaveIniFile(document, path);
}

}  // namespace quill
