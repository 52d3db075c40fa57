#include "common/unique_names.h"

namespace quill {

namespace {

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

std::string UniqueNames::Claim(const Fit& fit) {
  std::string name = fit("");
  for (int number = 2; !TryClaim(name); ++number) name = fit("_" + std::to_string(number));
  return name;
}

bool UniqueNames::TryClaim(std::string_view name) { return folded_.insert(Folded(name)).second; }

bool UniqueNames::Taken(std::string_view name) const { return folded_.count(Folded(name)) > 0; }

}  // namespace quill
