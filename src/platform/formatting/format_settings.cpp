#include "platform/formatting/format_settings.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace quill {
namespace {

constexpr std::string_view kDefaultAmPmPattern = "%I:%M:%S %p";

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// One piece of a translated pattern: a specifier of the class library, or
// literal text to be written as it stands.
struct PatternPiece {
  enum class Kind { kDay, kMonth, kYear, kHour, kMinute, kSecond, kAmPm, kOther, kLiteral } kind;
  std::string text;
};

void AppendPieces(std::string_view pattern, std::string_view am_pm_pattern, int depth, std::vector<PatternPiece>& out) {
  using Kind = PatternPiece::Kind;
  auto literal = [&out](std::string_view text) {
    if (!out.empty() && out.back().kind == Kind::kLiteral) {
      out.back().text += text;
    } else {
      out.push_back({Kind::kLiteral, std::string(text)});
    }
  };
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      literal(pattern.substr(i, 1));
      continue;
    }
    char conversion = pattern[++i];
    // GNU flags ("%-d", "%Ey", "%Om"); only "-", no padding, shows here.
    bool unpadded = false;
    while ((conversion == '-' || conversion == '_' || conversion == '0' || conversion == '^' || conversion == '#' ||
            conversion == 'E' || conversion == 'O') &&
           i + 1 < pattern.size()) {
      unpadded = unpadded || conversion == '-';
      conversion = pattern[++i];
    }
    switch (conversion) {
      case 'd': out.push_back({Kind::kDay, unpadded ? "d" : "dd"}); break;
      case 'e': out.push_back({Kind::kDay, "d"}); break;
      case 'm': out.push_back({Kind::kMonth, unpadded ? "m" : "mm"}); break;
      case 'b':
      case 'h': out.push_back({Kind::kMonth, "mmm"}); break;
      case 'B': out.push_back({Kind::kMonth, "mmmm"}); break;
      case 'y':  // two-digit years are widened: a dump must not lose the century
      case 'Y':
      case 'G': out.push_back({Kind::kYear, "yyyy"}); break;
      case 'a': out.push_back({Kind::kOther, "ddd"}); break;
      case 'A': out.push_back({Kind::kOther, "dddd"}); break;
      case 'H':
      case 'I': out.push_back({Kind::kHour, unpadded ? "h" : "hh"}); break;
      case 'k':
      case 'l': out.push_back({Kind::kHour, "h"}); break;
      case 'M': out.push_back({Kind::kMinute, unpadded ? "n" : "nn"}); break;
      case 'S': out.push_back({Kind::kSecond, unpadded ? "s" : "ss"}); break;
      case 'p':
      case 'P': out.push_back({Kind::kAmPm, "ampm"}); break;
      case 'n':
      case 't': literal(" "); break;
      case '%': literal("%"); break;
      case 'D':
      case 'x':
        if (depth < 2) AppendPieces("%m/%d/%y", am_pm_pattern, depth + 1, out);
        break;
      case 'F':
        if (depth < 2) AppendPieces("%Y-%m-%d", am_pm_pattern, depth + 1, out);
        break;
      case 'T':
      case 'X':
        if (depth < 2) AppendPieces("%H:%M:%S", am_pm_pattern, depth + 1, out);
        break;
      case 'R':
        if (depth < 2) AppendPieces("%H:%M", am_pm_pattern, depth + 1, out);
        break;
      case 'r':
        // Locales without a 12-hour clock leave T_FMT_AMPM empty.
        if (depth < 2) AppendPieces(am_pm_pattern.empty() ? kDefaultAmPmPattern : am_pm_pattern, am_pm_pattern, depth + 1, out);
        break;
      default:
        break;  // time zones, week numbers and the like have no specifier: left out
    }
  }
}

// Literal text goes into the format as it stands, except what the class
// library would read as a specifier: runs of letters go into double quotes,
// a quote character into the other kind of quotes.
std::string LiteralForFormat(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsAsciiLetter(text[i])) {
      size_t end = i;
      while (end < text.size() && IsAsciiLetter(text[end])) ++end;
      result += '"';
      result += text.substr(i, end - i);
      result += '"';
      i = end - 1;
    } else if (text[i] == '"') {
      result += "'\"'";
    } else if (text[i] == '\'') {
      result += "\"'\"";
    } else {
      result += text[i];
    }
  }
  return result;
}

std::string JoinPieces(const std::vector<PatternPiece>& pieces) {
  std::string result;
  for (const PatternPiece& piece : pieces) {
    result += piece.kind == PatternPiece::Kind::kLiteral ? LiteralForFormat(piece.text) : piece.text;
  }
  return result;
}

std::vector<PatternPiece> Pieces(std::string_view pattern, std::string_view am_pm_pattern) {
  std::vector<PatternPiece> pieces;
  AppendPieces(pattern, am_pm_pattern, 0, pieces);
  return pieces;
}

// The first character of literal text between two specifiers, e.g. "." in
// "%d.%m.%Y"; fallback when the pattern has none.
std::string SeparatorOf(const std::vector<PatternPiece>& pieces, std::string_view fallback) {
  for (size_t i = 1; i + 1 < pieces.size(); ++i) {
    if (pieces[i].kind != PatternPiece::Kind::kLiteral || pieces[i].text.empty()) continue;
    const std::string& text = pieces[i].text;
    size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    std::string separator = text.substr(0, length);
    if (separator != " ") return separator;
  }
  return std::string(fallback);
}

// The short time is the long one without its seconds (and the separator or
// text just before them).
std::string ShortTimeFrom(std::vector<PatternPiece> pieces) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].kind != PatternPiece::Kind::kSecond) continue;
    size_t first = i;
    if (first > 0 && pieces[first - 1].kind == PatternPiece::Kind::kLiteral) --first;
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first), pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    break;
  }
  return JoinPieces(pieces);
}

// No C library item holds a long date; it is the day name followed by the
// short date's day, long month name and year in the short date's order.
std::string LongDateFrom(const std::vector<PatternPiece>& pieces) {
  std::string result = "dddd";
  for (const PatternPiece& piece : pieces) {
    switch (piece.kind) {
      case PatternPiece::Kind::kDay: result += " d"; break;
      case PatternPiece::Kind::kMonth: result += " mmmm"; break;
      case PatternPiece::Kind::kYear: result += " yyyy"; break;
      default: break;
    }
  }
  return result;
}

// The name of the locale the environment chooses for one category, in the C
// library's order of precedence.
std::string EnvironmentLocaleName(const char* category_variable) {
  for (const char* variable : {"LC_ALL", category_variable, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool IsCLocaleName(std::string_view name) {
  return name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("C@");
}

// Converts a locale's item from its character set into UTF-8.
class LocaleText {
 public:
  explicit LocaleText(locale_t locale) : locale_(locale) {
    const char* codeset = nl_langinfo_l(CODESET, locale);
    if (codeset != nullptr && std::strcmp(codeset, "UTF-8") != 0 && std::strcmp(codeset, "ANSI_X3.4-1968") != 0) {
      converter_ = iconv_open("UTF-8", codeset);
    }
  }
  ~LocaleText() {
    if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
  }
  LocaleText(const LocaleText&) = delete;
  LocaleText& operator=(const LocaleText&) = delete;

  std::string operator()(nl_item item) const {
    const char* raw = nl_langinfo_l(item, locale_);
    std::string text = raw == nullptr ? std::string() : std::string(raw);
    if (converter_ == reinterpret_cast<iconv_t>(-1) || text.empty()) return text;
    std::string result(text.size() * 4, '\0');
    char* in = text.data();
    size_t in_left = text.size();
    char* out = result.data();
    size_t out_left = result.size();
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter_, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1)) return text;
    result.resize(result.size() - out_left);
    return result;
  }

 private:
  locale_t locale_;
  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
};

// Applies the date and time items of a locale (LC_TIME).
void ApplyTimeLocale(locale_t locale, FormatSettings& settings) {
  const LocaleText text(locale);
  const std::string am_pm_pattern = text(T_FMT_AMPM);
  const std::vector<PatternPiece> date = Pieces(text(D_FMT), am_pm_pattern);
  const std::vector<PatternPiece> time = Pieces(text(T_FMT), am_pm_pattern);
  if (!date.empty()) {
    settings.short_date_format = JoinPieces(date);
    settings.long_date_format = LongDateFrom(date);
    settings.date_separator = SeparatorOf(date, settings.date_separator);
  }
  if (!time.empty()) {
    settings.long_time_format = JoinPieces(time);
    settings.short_time_format = ShortTimeFrom(time);
    settings.time_separator = SeparatorOf(time, settings.time_separator);
  }
  for (int i = 0; i < 12; ++i) {
    settings.short_month_names[i] = text(ABMON_1 + i);
    settings.long_month_names[i] = text(MON_1 + i);
  }
  for (int i = 0; i < 7; ++i) {
    settings.short_day_names[i] = text(ABDAY_1 + i);
    settings.long_day_names[i] = text(DAY_1 + i);
  }
  settings.time_am_string = text(AM_STR);
  settings.time_pm_string = text(PM_STR);
}

// Applies the number items of a locale (LC_NUMERIC).
void ApplyNumericLocale(locale_t locale, FormatSettings& settings) {
  const LocaleText text(locale);
  const std::string decimal = text(RADIXCHAR);
  if (!decimal.empty()) settings.decimal_separator = decimal;
  settings.thousand_separator = text(THOUSEP);
}

template <typename Apply>
void ApplyLocale(int category_mask, const std::string& name, FormatSettings& settings, Apply apply) {
  if (IsCLocaleName(name)) return;
  // The character set of the texts belongs to LC_CTYPE: take it from the same locale.
  locale_t locale = newlocale(category_mask | LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return;  // not installed: keep the C values
  apply(locale, settings);
  freelocale(locale);
}

}  // namespace

std::string TranslateLocalePattern(std::string_view pattern, std::string_view am_pm_pattern) {
  return JoinPieces(Pieces(pattern, am_pm_pattern));
}

FormatSettings CLocaleFormatSettings() {
  FormatSettings settings;
  settings.date_separator = "-";
  settings.time_separator = ":";
  settings.short_date_format = "yyyy-mm-dd";
  settings.long_date_format = "dddd, mmmm d, yyyy";
  settings.short_time_format = "hh:nn";
  settings.long_time_format = "hh:nn:ss";
  settings.short_month_names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  settings.long_month_names = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
  settings.short_day_names = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  settings.long_day_names = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  settings.time_am_string = "AM";
  settings.time_pm_string = "PM";
  settings.decimal_separator = ".";
  // The C locale groups nothing; a mask that asks for grouping still gets ",".
  settings.thousand_separator = ",";
  return settings;
}

FormatSettings FormatSettingsFromEnvironment() {
  FormatSettings settings = CLocaleFormatSettings();
  ApplyLocale(LC_TIME_MASK, EnvironmentLocaleName("LC_TIME"), settings, ApplyTimeLocale);
  ApplyLocale(LC_NUMERIC_MASK, EnvironmentLocaleName("LC_NUMERIC"), settings, ApplyNumericLocale);
  return settings;
}

FormatSettings& GlobalFormatSettings() {
  static FormatSettings settings = CLocaleFormatSettings();
  return settings;
}

void InitialiseFormatSettingsFromLocale() { GlobalFormatSettings() = FormatSettingsFromEnvironment(); }

}  // namespace quill
