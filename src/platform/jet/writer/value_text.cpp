#include "platform/jet/writer/value_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "platform/formatting/format_settings.h"

namespace quill::jet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (prefix.empty() || text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

// The number in the C form: the locale's decimal separator becomes ".",
// thousand separators between groups of three digits go.
std::string Normalized(std::string_view text) {
  text = TrimBlanks(text);
  const FormatSettings& settings = GlobalFormatSettings();
  const std::string& decimal = settings.decimal_separator.empty() ? std::string(".") : settings.decimal_separator;
  const std::string& thousand = settings.thousand_separator;
  std::size_t point = text.find(decimal);
  std::string_view whole = text.substr(0, point);
  std::string_view rest = point == std::string_view::npos ? std::string_view() : text.substr(point + decimal.size());
  std::string sign;
  if (!whole.empty() && (whole.front() == '-' || whole.front() == '+')) {
    sign = whole.substr(0, 1);
    whole.remove_prefix(1);
  }
  std::string digits(whole);
  if (!thousand.empty() && thousand != decimal && whole.find(thousand) != std::string_view::npos) {
    std::vector<std::string_view> groups;
    for (std::size_t start = 0;;) {
      const std::size_t at = whole.find(thousand, start);
      groups.push_back(whole.substr(start, at - start));
      if (at == std::string_view::npos) break;
      start = at + thousand.size();
    }
    bool grouped = !groups.front().empty() && groups.front().size() <= 3 && AllDigits(groups.front());
    for (std::size_t i = 1; grouped && i < groups.size(); ++i) grouped = groups[i].size() == 3 && AllDigits(groups[i]);
    if (grouped) {
      digits.clear();
      for (std::string_view group : groups) digits += group;
    }
  }
  if (point == std::string_view::npos) return sign + digits;
  return sign + digits + "." + std::string(rest);
}

std::optional<double> ParseCNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

struct DateOrder {
  int year = 0;  // positions 0..2 of year, month and day in the short date
  int month = 1;
  int day = 2;
};

DateOrder OrderOfShortDate() {
  const std::string& format = GlobalFormatSettings().short_date_format;
  int found[3] = {-1, -1, -1};  // y, m, d
  int position = 0;
  for (char c : format) {
    const int kind = c == 'y' || c == 'Y' ? 0 : c == 'm' || c == 'M' ? 1 : c == 'd' || c == 'D' ? 2 : -1;
    if (kind >= 0 && found[kind] < 0) found[kind] = position++;
  }
  if (found[0] < 0 || found[1] < 0 || found[2] < 0) return DateOrder{};
  return DateOrder{found[0], found[1], found[2]};
}

// The runs of digits of a date, at most three of them (false for more, or
// for a letter); the parts live in a fixed array, as this runs for every
// date value copied.
struct DateGroups {
  std::string_view parts[3];
  std::size_t count = 0;
};

bool DigitGroups(std::string_view text, DateGroups& groups) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsDigit(text[i])) {
      const std::size_t start = i;
      while (i < text.size() && IsDigit(text[i])) ++i;
      if (groups.count == 3) return false;
      groups.parts[groups.count++] = text.substr(start, i - start);
    } else {
      const auto c = static_cast<unsigned char>(text[i]);
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return false;
      ++i;
    }
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits.substr(0, 9)) value = value * 10 + (c - '0');
  return value;
}

bool ParseTime(std::string_view text, DateTime& out) {
  const FormatSettings& settings = GlobalFormatSettings();
  text = TrimBlanks(text);
  int add_hours = -1;  // -1: 24-hour clock
  const std::pair<std::string_view, int> markers[] = {
      {settings.time_pm_string, 12}, {settings.time_am_string, 0}, {"PM", 12}, {"AM", 0}};
  for (const auto& [marker, hours] : markers) {
    if (marker.empty() || text.size() < marker.size()) continue;
    if (StartsWithIgnoringCase(text.substr(text.size() - marker.size()), marker)) {
      add_hours = hours;
      text = TrimBlanks(text.substr(0, text.size() - marker.size()));
      break;
    }
  }
  // hh:nn[:ss[.fff]] with the locale's or the ISO separator.
  std::string_view parts[3];
  std::size_t part_count = 0;
  std::string_view rest = text;
  const std::string_view separator =
      settings.time_separator.empty() ? std::string_view(":") : std::string_view(settings.time_separator);
  while (true) {
    std::size_t at = rest.find(separator);
    std::size_t size = separator.size();
    const std::size_t colon = rest.find(':');
    if (colon < at) {
      at = colon;
      size = 1;
    }
    if (part_count == 3) return false;
    parts[part_count++] = rest.substr(0, at);
    if (at == std::string_view::npos) break;
    rest = rest.substr(at + size);
  }
  if (part_count < 2) return false;
  std::string_view seconds = part_count == 3 ? parts[2] : std::string_view("0");
  std::string_view fraction;
  const std::size_t point = seconds.find_first_of(".,");
  if (point != std::string_view::npos) {
    fraction = seconds.substr(point + 1);
    seconds = seconds.substr(0, point);
  }
  for (std::string_view part : {parts[0], parts[1], seconds}) {
    if (part.empty() || part.size() > 2 || !AllDigits(part)) return false;
  }
  if (!AllDigits(fraction) || fraction.size() > 9 || (point != std::string_view::npos && fraction.empty())) return false;
  out.hour = Number(parts[0]);
  out.minute = Number(parts[1]);
  out.second = Number(seconds);
  int nanoseconds = Number(fraction);
  for (std::size_t k = fraction.size(); k < 9; ++k) nanoseconds *= 10;
  out.nanosecond = fraction.empty() ? 0 : nanoseconds;
  if (add_hours >= 0) {
    if (out.hour < 1 || out.hour > 12) return false;
    out.hour = out.hour % 12 + add_hours;
  }
  return true;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::optional<double> ParseNumberText(std::string_view text) {
  const std::string trimmed(TrimBlanks(text));
  if (const auto value = ParseCNumber(trimmed)) return value;
  return ParseCNumber(Normalized(trimmed));
}

std::optional<std::int64_t> ParseWholeNumberText(std::string_view text) {
  std::string_view digits = TrimBlanks(text);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size()) return value;
  const std::optional<double> number = ParseNumberText(text);
  if (!number || std::fabs(*number) >= 9.2e18) return std::nullopt;
  return static_cast<std::int64_t>(RoundHalfEven(*number));
}

std::optional<std::int64_t> ParseCurrencyText(std::string_view text) {
  std::string normal(TrimBlanks(text));
  if (!ParseCNumber(normal)) normal = Normalized(normal);
  std::string_view rest = normal;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  const std::size_t point = rest.find('.');
  const std::string_view whole = rest.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
  if ((whole.empty() && fraction.empty()) || !AllDigits(whole) || !AllDigits(fraction) || whole.size() > 15) {
    // Exponents and the like: through a double.
    const std::optional<double> number = ParseCNumber(normal);
    if (!number || std::fabs(*number) > 922337203685477.0) return std::nullopt;
    return static_cast<std::int64_t>(RoundHalfEven(*number * 10000.0));
  }
  // Fifteen digits and four decimals can pass the 64-bit range: count wider.
  unsigned __int128 value = 0;
  for (char c : whole) value = value * 10 + static_cast<unsigned>(c - '0');
  for (std::size_t k = 0; k < 4; ++k) value = value * 10 + (k < fraction.size() ? static_cast<unsigned>(fraction[k] - '0') : 0u);
  if (fraction.size() > 4) {
    const char next = fraction[4];
    const bool more = fraction.find_first_not_of('0', 5) != std::string_view::npos;
    if (next > '5' || (next == '5' && (more || value % 2 == 1))) ++value;
  }
  const unsigned __int128 limit = static_cast<unsigned __int128>(INT64_MAX) + (negative ? 1 : 0);
  if (value > limit) return std::nullopt;
  return negative ? static_cast<std::int64_t>(-static_cast<__int128>(value)) : static_cast<std::int64_t>(value);
}

std::optional<DateTime> ParseDateText(std::string_view text) {
  text = TrimBlanks(text);
  DateTime result;
  // The ISO form "yyyy-mm-dd" or "yyyy-mm-dd hh:nn:ss", which the field text
  // of the C locale is: read at fixed places, as the general path would.
  const auto digits_at = [&](std::size_t at, std::size_t count) {
    for (std::size_t k = at; k < at + count; ++k) {
      if (!IsDigit(text[k])) return false;
    }
    return true;
  };
  const bool iso_date = (text.size() == 10 || text.size() == 19) && digits_at(0, 4) && text[4] == '-' &&
                        digits_at(5, 2) && text[7] == '-' && digits_at(8, 2);
  if (iso_date && text.size() == 10) {
    result.year = Number(text.substr(0, 4));
    result.month = Number(text.substr(5, 2));
    result.day = Number(text.substr(8, 2));
    return result;
  }
  if (iso_date && text[10] == ' ' && digits_at(11, 2) && text[13] == ':' && digits_at(14, 2) && text[16] == ':' &&
      digits_at(17, 2)) {
    result.year = Number(text.substr(0, 4));
    result.month = Number(text.substr(5, 2));
    result.day = Number(text.substr(8, 2));
    result.hour = Number(text.substr(11, 2));
    result.minute = Number(text.substr(14, 2));
    result.second = Number(text.substr(17, 2));
    return result;
  }
  // A time alone: its first separator comes before any date separator would.
  const std::size_t first_break = text.find_first_of(" T");
  std::string_view date_part = text.substr(0, first_break);
  std::string_view time_part = first_break == std::string_view::npos ? std::string_view() : text.substr(first_break + 1);
  if (ParseTime(text, result)) return result;
  DateGroups date_groups;
  if (!DigitGroups(date_part, date_groups) || date_groups.count != 3) return std::nullopt;
  const std::string_view* groups = date_groups.parts;
  int values[3];
  if (groups[0].size() == 4) {
    // ISO order whatever the locale says.
    values[0] = Number(groups[0]);
    values[1] = Number(groups[1]);
    values[2] = Number(groups[2]);
  } else {
    const DateOrder order = OrderOfShortDate();
    values[0] = Number(groups[static_cast<std::size_t>(order.year)]);
    values[1] = Number(groups[static_cast<std::size_t>(order.month)]);
    values[2] = Number(groups[static_cast<std::size_t>(order.day)]);
    if (groups[static_cast<std::size_t>(order.year)].size() <= 2) values[0] += values[0] < 50 ? 2000 : 1900;
  }
  for (std::string_view group : date_groups.parts) {
    if (group.size() > 4) return std::nullopt;
  }
  result.year = values[0];
  result.month = values[1];
  result.day = values[2];
  if (!TrimBlanks(time_part).empty() && !ParseTime(time_part, result)) return std::nullopt;
  return result;
}

}  // namespace quill::jet
