#include "platform/dataset/dataset.h"

#include <algorithm>
#include <cctype>

namespace quill {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

Field* Dataset::FindField(const std::string& name) {
  for (auto& field : fields_) {
    if (field->Name() == name) return field.get();
  }
  for (auto& field : fields_) {
    if (EqualIgnoringCase(field->Name(), name)) return field.get();
  }
  return nullptr;
}

}  // namespace quill
