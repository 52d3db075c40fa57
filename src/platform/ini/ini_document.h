#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quill {

// The text of an INI file as lines, so that a change touches only the line it
// changes and keeps every other line, comment and blank line as it was.
// Section and key names compare without regard to ASCII case and to blanks
// around them; the first matching section and key win.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(const std::string& text);

  // The value of key in section; nothing when either is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;

  // The section names in file order, each once.
  std::vector<std::string> SectionNames() const;
  // The keys of the first section of that name with their values, in file
  // order, each key once (its first line); empty when the section is missing.
  std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

  // Sets key in section: the first matching key line is replaced in place; a
  // new key goes after the last line of its section, a new section at the end.
  // A section, key or value holding CR or LF is refused with
  // std::invalid_argument, the document unchanged.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  std::string Text() const;

 private:
  struct Line {
    std::string text;  // without its line end
    enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed, surrounding quotes removed
  };

  static Line ParseLine(const std::string& text);
  // Index of the first header line of section, or nothing.
  std::optional<size_t> FindSection(const std::string& section) const;
  // One past the last line that belongs to the section whose header is at header.
  size_t SectionEnd(size_t header) const;

  std::vector<Line> lines_;
  std::string line_end_ = "\n";
  bool ends_with_line_end_ = true;
};

}  // namespace quill
