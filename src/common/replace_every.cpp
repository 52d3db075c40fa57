#include "common/replace_every.h"

#include <string>
#include <vector>

#include "common/utf8_steps.h"

namespace quill {
namespace {

constexpr std::size_t kBuiltChunkSize = std::size_t{4} << 20;

char32_t Folded(char32_t value, CaseFold fold) {
  if (value < 0x80) return (value >= 'A' && value <= 'Z') ? value + ('a' - 'A') : value;
  return fold(value);
}

// Finds the occurrences of the needle in one stretch of text.
class Matcher {
 public:
  Matcher(std::string_view find, CaseFold fold) : find_(find), fold_(fold) {
    if (fold_ == nullptr) return;
    for (std::size_t at = 0; at < find.size();) {
      const CodePoint point = DecodeAt(find, at);
      folded_.push_back(Folded(point.value, fold_));
      at += point.length;
    }
  }

  // The first occurrence at or after `from`: its start, and its end in `end`;
  // npos when there is none.
  std::size_t Next(std::string_view text, std::size_t from, std::size_t& end) const {
    if (fold_ == nullptr) {
      const std::size_t at = text.find(find_, from);
      end = at == std::string_view::npos ? at : at + find_.size();
      return at;
    }
    for (std::size_t at = from; at < text.size();) {
      const CodePoint first = DecodeAt(text, at);
      if (Folded(first.value, fold_) == folded_[0] && MatchesAt(text, at + first.length, end)) return at;
      at += first.length;
    }
    return std::string_view::npos;
  }

 private:
  bool MatchesAt(std::string_view text, std::size_t at, std::size_t& end) const {
    for (std::size_t i = 1; i < folded_.size(); ++i) {
      if (at >= text.size()) return false;
      const CodePoint point = DecodeAt(text, at);
      if (Folded(point.value, fold_) != folded_[i]) return false;
      at += point.length;
    }
    end = at;
    return true;
  }

  std::string_view find_;
  CaseFold fold_;
  std::vector<char32_t> folded_;
};

}  // namespace

bool ReplaceEvery(ScriptText& text, std::string_view find, std::string_view with, CaseFold fold) {
  if (find.empty()) return false;
  const Matcher matcher(find, fold);
  AddBuffer built(kBuiltChunkSize);
  bool changed = false;
  const auto replace_in = [&](std::string_view stretch) {
    std::size_t start = 0;
    std::size_t end = 0;
    for (std::size_t at = matcher.Next(stretch, 0, end); at != std::string_view::npos;
         at = matcher.Next(stretch, start, end)) {
      built.AppendStream(stretch.substr(start, at - start));
      built.AppendStream(with);
      if (stretch.substr(at, end - at) != with) changed = true;
      start = end;
    }
    built.AppendStream(stretch.substr(start));
  };
  if (find.find_first_of("\r\n") != std::string_view::npos) {
    // A text to find with a line break in it is searched in the whole text.
    replace_in(text.Text());
  } else {
    text.ForEachLine([&](std::string_view line, std::string_view line_break) {
      replace_in(line);
      built.AppendStream(line_break);
    });
  }
  if (!changed) return false;
  text.TakeOver(std::move(built));
  return true;
}

}  // namespace quill
