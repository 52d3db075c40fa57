#include "platform/formatting/format_float.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/formatting/decimal_digits.h"

namespace quill {
namespace {

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// Index just after the quoted text that opens at `at` (or the end of the text
// when the quote is never closed).
size_t SkipQuoted(std::string_view text, size_t at) {
  const size_t close = text.find(text[at], at + 1);
  return close == std::string_view::npos ? text.size() : close + 1;
}

bool IsExponentAt(std::string_view text, size_t at) {
  return (text[at] == 'E' || text[at] == 'e') && at + 1 < text.size() && (text[at + 1] == '+' || text[at + 1] == '-');
}

// "positive;negative;zero": the sections of a mask, split at ";" outside quotes.
std::vector<std::string_view> SplitSections(std::string_view mask) {
  std::vector<std::string_view> sections;
  size_t begin = 0;
  size_t i = 0;
  while (i < mask.size() && sections.size() < 2) {
    if (IsQuote(mask[i])) {
      i = SkipQuoted(mask, i);
    } else if (mask[i] == ';') {
      sections.push_back(mask.substr(begin, i - begin));
      begin = ++i;
    } else {
      ++i;
    }
  }
  // The third section ends at a further ";", if any; what follows is ignored.
  size_t end = begin;
  while (end < mask.size() && mask[end] != ';') end = IsQuote(mask[end]) ? SkipQuoted(mask, end) : end + 1;
  sections.push_back(mask.substr(begin, end - begin));
  return sections;
}

// What one section asks for, counted over its digit placeholders.
struct MaskLayout {
  int digit_count = 0;           // placeholders "0" and "#" (not those of the exponent)
  int decimal_index = -1;        // placeholders before the decimal point
  int first_zero = INT_MAX;      // index of the first "0"
  int after_last_zero = 0;       // index just after the last "0"
  bool thousands = false;
  bool scientific = false;

  int MinIntegerDigits() const { return std::max(0, decimal_index - first_zero); }
  int MaxDecimals() const { return digit_count - decimal_index; }
  int MinDecimals() const { return std::max(0, after_last_zero - decimal_index); }
};

MaskLayout ScanSection(std::string_view section) {
  MaskLayout layout;
  size_t i = 0;
  while (i < section.size()) {
    const char c = section[i];
    if (IsQuote(c)) {
      i = SkipQuoted(section, i);
      continue;
    }
    if (c == '#') {
      ++layout.digit_count;
    } else if (c == '0') {
      layout.first_zero = std::min(layout.first_zero, layout.digit_count);
      layout.after_last_zero = ++layout.digit_count;
    } else if (c == '.') {
      if (layout.decimal_index < 0) layout.decimal_index = layout.digit_count;
    } else if (c == ',') {
      layout.thousands = true;
    } else if (IsExponentAt(section, i)) {
      layout.scientific = true;
      i += 2;
      while (i < section.size() && section[i] == '0') ++i;  // the exponent's own digits
      continue;
    }
    ++i;
  }
  if (layout.decimal_index < 0) layout.decimal_index = layout.digit_count;
  return layout;
}

// The digits a section shows: integer part, fraction part and, in scientific
// form, the exponent.
struct SectionDigits {
  std::string integer;
  std::string fraction;
  int exponent = 0;
  bool is_zero = false;  // nothing but zeros after rounding
};

SectionDigits FixedDigits(const MaskLayout& layout, DecimalDigits number) {
  RoundToDecimals(number, layout.MaxDecimals());
  SectionDigits shown;
  shown.is_zero = number.digits.empty();
  const int point = number.exponent;
  if (point > 0) {
    shown.integer = number.digits.substr(0, static_cast<size_t>(std::min<int>(point, static_cast<int>(number.digits.size()))));
    shown.integer.append(static_cast<size_t>(point) - shown.integer.size(), '0');
    if (static_cast<size_t>(point) < number.digits.size()) shown.fraction = number.digits.substr(static_cast<size_t>(point));
  } else if (!number.digits.empty()) {
    shown.fraction = std::string(static_cast<size_t>(-point), '0') + number.digits;
  }
  const size_t min_integer = static_cast<size_t>(layout.MinIntegerDigits());
  if (shown.integer.size() < min_integer) shown.integer.insert(0, min_integer - shown.integer.size(), '0');
  const size_t min_decimals = static_cast<size_t>(layout.MinDecimals());
  if (shown.fraction.size() < min_decimals) shown.fraction.append(min_decimals - shown.fraction.size(), '0');
  return shown;
}

SectionDigits ScientificDigits(const MaskLayout& layout, DecimalDigits number) {
  const int precision = std::max(layout.digit_count, 1);
  RoundToSignificant(number, precision);
  SectionDigits shown;
  shown.is_zero = number.digits.empty();
  std::string significant = number.digits;
  significant.append(static_cast<size_t>(precision) - significant.size(), '0');
  const size_t integer_count = static_cast<size_t>(layout.decimal_index);
  shown.integer = significant.substr(0, integer_count);
  shown.fraction = significant.substr(std::min(integer_count, significant.size()));
  shown.fraction.resize(static_cast<size_t>(std::max(layout.MaxDecimals(), 0)));
  const size_t keep = std::max(shown.fraction.find_last_not_of('0') + 1, static_cast<size_t>(layout.MinDecimals()));
  if (keep < shown.fraction.size()) shown.fraction.resize(keep);
  shown.exponent = shown.is_zero ? 0 : number.exponent - layout.decimal_index;
  return shown;
}

// Writes one section over the digits: placeholders take digits (the first
// integer placeholder also takes every digit the mask has no place for),
// quoted text and other characters are written as they stand.
class SectionWriter {
 public:
  SectionWriter(const MaskLayout& layout, const SectionDigits& digits, const FormatSettings& settings)
      : layout_(layout), digits_(digits), settings_(settings) {}

  std::string Write(std::string_view section, bool minus) {
    if (minus) out_ += '-';
    int placeholder = 0;
    bool point_written = false;
    size_t i = 0;
    while (i < section.size()) {
      const char c = section[i];
      if (IsQuote(c)) {
        const size_t end = SkipQuoted(section, i);
        const size_t text_end = end > i + 1 && end <= section.size() && section[end - 1] == c ? end - 1 : end;
        out_ += section.substr(i + 1, text_end - i - 1);
        i = end;
        continue;
      }
      if (c == '0' || c == '#') {
        if (placeholder < layout_.decimal_index) {
          WriteIntegerPlace(layout_.decimal_index - 1 - placeholder);
        } else {
          WriteRemainingInteger();
          const size_t index = static_cast<size_t>(placeholder - layout_.decimal_index);
          if (index < digits_.fraction.size()) out_ += digits_.fraction[index];
        }
        ++placeholder;
      } else if (c == '.') {
        WriteRemainingInteger();
        if (!point_written && !digits_.fraction.empty()) out_ += settings_.decimal_separator;
        point_written = true;
      } else if (c == ',') {
        // Grouping follows from the digits; the comma itself writes nothing.
      } else if (layout_.scientific && IsExponentAt(section, i)) {
        WriteRemainingInteger();
        i = WriteExponent(section, i);
        continue;
      } else {
        out_ += c;
      }
      ++i;
    }
    return std::move(out_);
  }

 private:
  // Writes the integer digits that belong to the place `position` (0 is the
  // units); the leftmost place takes all higher digits too.
  void WriteIntegerPlace(int position) {
    const int count = static_cast<int>(digits_.integer.size());
    const int highest = integer_written_ ? position : count - 1;
    for (int p = highest; p >= position; --p) {
      if (p < count) WriteIntegerDigit(p);
    }
    integer_written_ = true;
  }

  void WriteRemainingInteger() {
    if (integer_written_) return;
    WriteIntegerPlace(0);
  }

  void WriteIntegerDigit(int position) {
    const int count = static_cast<int>(digits_.integer.size());
    out_ += digits_.integer[static_cast<size_t>(count - 1 - position)];
    if (layout_.thousands && !layout_.scientific && position > 0 && position % 3 == 0) {
      out_ += settings_.thousand_separator;
    }
  }

  size_t WriteExponent(std::string_view section, size_t at) {
    out_ += section[at];
    const bool negative = digits_.exponent < 0;
    if (section[at + 1] == '+') {
      out_ += negative ? '-' : '+';
    } else if (negative) {
      out_ += '-';
    }
    size_t i = at + 2;
    size_t zeros = 0;
    while (i < section.size() && section[i] == '0') {
      ++zeros;
      ++i;
    }
    std::string number = std::to_string(std::abs(digits_.exponent));
    if (number.size() < zeros) number.insert(0, zeros - number.size(), '0');
    out_ += number;
    return i;
  }

  const MaskLayout& layout_;
  const SectionDigits& digits_;
  const FormatSettings& settings_;
  bool integer_written_ = false;
  std::string out_;
};

std::string FormatSection(std::string_view section, const DecimalDigits& number, bool minus,
                          const FormatSettings& settings, bool& is_zero) {
  const MaskLayout layout = ScanSection(section);
  const SectionDigits digits = layout.scientific ? ScientificDigits(layout, number) : FixedDigits(layout, number);
  is_zero = digits.is_zero;
  return SectionWriter(layout, digits, settings).Write(section, minus);
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value > 0 ? "INF" : "-INF";
}

}  // namespace

std::string FormatFloat(std::string_view mask, double value, const FormatSettings& settings) {
  if (mask.empty()) return FormatFloatGeneral(value, settings);
  if (!std::isfinite(value)) return NonFiniteText(value);
  const std::vector<std::string_view> sections = SplitSections(mask);
  auto section_for = [&sections](size_t index) {
    return index < sections.size() && !sections[index].empty() ? index : 0;
  };
  const size_t chosen = section_for(value == 0 ? 2 : value < 0 ? 1 : 0);
  bool is_zero = false;
  std::string text = FormatSection(sections[chosen], ExactDigits(value), value < 0 && chosen == 0, settings, is_zero);
  if (is_zero && value != 0) {
    // A value that rounds to nothing but zeros is shown as zero, never as
    // "-0.00": the zero section, else the first one without a sign.
    text = FormatSection(sections[section_for(2)], DecimalDigits(), false, settings, is_zero);
  }
  return text;
}

std::string FormatFloat(std::string_view mask, double value) { return FormatFloat(mask, value, GlobalFormatSettings()); }

std::string FormatFloatGeneral(double value, const FormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  // The sign of a negative zero is kept: "-0" reads back as the same double.
  std::string text = std::signbit(value) ? "-" : "";
  const DecimalDigits number = ShortestDigits(value);
  if (number.digits.empty()) return text + "0";
  const std::string& digits = number.digits;
  const int point = number.exponent;  // value = 0.digits x 10^point
  if (point > 15 || point < -3) {
    // Over 15 integer digits, or below 0.0001: one digit before the point and
    // an exponent with no "+" and no leading zeros, "1.5E-20", "1E20".
    text += digits[0];
    if (digits.size() > 1) text += settings.decimal_separator + digits.substr(1);
    text += 'E';
    text += std::to_string(point - 1);
    return text;
  }
  if (point <= 0) {
    return text + "0" + settings.decimal_separator + std::string(static_cast<size_t>(-point), '0') + digits;
  }
  const size_t integer_count = static_cast<size_t>(point);
  if (digits.size() <= integer_count) return text + digits + std::string(integer_count - digits.size(), '0');
  return text + digits.substr(0, integer_count) + settings.decimal_separator + digits.substr(integer_count);
}

std::string FormatFloatGeneral(double value) { return FormatFloatGeneral(value, GlobalFormatSettings()); }

double ShortestSingleValue(double value) {
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return value;
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, static_cast<float>(value));
  double shortest = value;
  std::from_chars(text, written.ptr, shortest);
  return shortest;
}

}  // namespace quill
