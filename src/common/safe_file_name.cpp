#include "common/safe_file_name.h"

#include <utility>

namespace quill {

std::string SafeFileName(std::string_view name, std::string_view extension) {
  std::string safe(name);
  bool dots_only = true;
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) c = '_';
    if (c != '.') dots_only = false;
  }
  if (dots_only) safe.assign(safe.empty() ? 1 : safe.size(), '_');
  const std::size_t room = extension.size() < kMaxFileNameBytes ? kMaxFileNameBytes - extension.size() : 1;
  if (safe.size() > room) {
    std::size_t cut = room;
    // Back to the first byte of a UTF-8 sequence, so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut == 0 ? 1 : cut);
  }
  return safe + std::string(extension);
}

std::string RunFileNames::NameIn(const std::string& folder, const std::string& owner, std::string_view name,
                                 std::string_view extension) {
  const auto given = given_.find({folder, owner});
  if (given != given_.end()) return given->second;
  std::string unique = folders_[folder].Claim(
      [&](std::string_view suffix) { return SafeFileName(name, std::string(suffix) + std::string(extension)); });
  given_.emplace(std::make_pair(folder, owner), unique);
  if (unique != SafeFileName(name, extension)) suffixed_.push_back(folder + "/" + unique);
  return unique;
}

std::vector<std::string> RunFileNames::TakeSuffixedPaths() { return std::exchange(suffixed_, {}); }

}  // namespace quill
