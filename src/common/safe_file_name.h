#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/unique_names.h"

namespace quill {

// The longest name SafeFileName gives, in bytes: the file systems here take
// 255, and a file is first written beside its target under a temporary name
// made of "." + its name + a suffix of a few characters.
constexpr std::size_t kMaxFileNameBytes = 240;

// One file or folder name made from source data (a table, field or source
// name), so that it names an entry inside its folder and nothing else:
// "/", "\", NUL and the other control characters become "_"; a name of dots
// only ("." and ".." among them) becomes as many "_"; an empty name becomes
// "_". The extension (".csv", or empty) is appended after the rule, and the
// name is cut at a character boundary so that the whole stays within
// kMaxFileNameBytes. A name that needs none of this comes back unchanged.
std::string SafeFileName(std::string_view name, std::string_view extension = {});

// The file and folder names one run makes from source data (CSV and XML
// files, BLOB folders): each passes SafeFileName and is unique in its folder
// within the run, letter case aside (a case-insensitive file system would
// make "T" and "t" one file), so no table or column of the run overwrites
// the file of another. What was in the folder before the run is replaced as
// ever.
class RunFileNames {
 public:
  // The name in `folder` of the entry that `owner` (a listed table, a field's
  // position) makes of name + extension: SafeFileName(name, extension), or,
  // when the run gave that name in the folder to another owner, the same
  // with "_2", "_3", ... before the extension. The same owner gets the same
  // name again.
  std::string NameIn(const std::string& folder, const std::string& owner, std::string_view name,
                     std::string_view extension = {});
  // The paths (folder + "/" + name) given a suffix since the last call, in
  // the order given, so the log can say where those files went.
  std::vector<std::string> TakeSuffixedPaths();

 private:
  std::map<std::string, UniqueNames> folders_;
  std::map<std::pair<std::string, std::string>, std::string> given_;  // (folder, owner) -> name
  std::vector<std::string> suffixed_;
};

}  // namespace quill
