#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace quill {

// The names given out in one place (a folder, a table's columns), kept
// distinct without regard to letter case, as the places that compare
// names that way (Access, case-insensitive file systems) need.
class UniqueNames {
 public:
  // Makes a name of `suffix` ("", then "_2", "_3", ...) and the name it comes
  // from, within the place's length limit.
  using Fit = std::function<std::string(std::string_view suffix)>;

  // fit("") when no name given out here equals it, else the first of
  // fit("_2"), fit("_3"), ... that none equals; the name is then taken.
  std::string Claim(const Fit& fit);
  // Takes `name` as it stands; false when an equal name was taken before.
  bool TryClaim(std::string_view name);
  bool Taken(std::string_view name) const;

 private:
  std::set<std::string> folded_;  // the names given out, letters in lower case
};

}  // namespace quill
