#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace quill
