#pragma once

#include <cstdint>
#include <string>

namespace quill {

// The start key of both fields of a login key file, in both directions.
constexpr uint16_t kPasswordStartKey = 38461;

// A byte-wise scrambling (not encryption): each byte is XORed with the high
// byte of a running key that advances with the scrambled byte. The result has
// the same length; UnscrambleString with the same key reverses it.
std::string ScrambleString(const std::string& text, uint16_t key);
std::string UnscrambleString(const std::string& text, uint16_t key);

}  // namespace quill
