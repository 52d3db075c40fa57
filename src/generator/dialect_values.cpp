#include "generator/dialect_values.h"

#include <locale.h>

#include <clocale>
#include <cwctype>
#include <algorithm>
#include <utility>
#include <vector>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "generator/blob_files.h"
#include "generator/dialect_names.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/field_text.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence at text[i]; an invalid byte stands for itself.
char32_t DecodeAt(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFFFFFF;  // not a character: copied as the byte it is
  }
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if (!IsUtf8Continuation(text[i + k])) {
      ++i;
      return 0xFFFFFFFF;
    }
    code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  i += length;
  return code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The case mappings of the UTF-8 locale, whatever the process's own locale.
locale_t Utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l != static_cast<locale_t>(0) ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

// The time format with ".fraction" as a literal after its seconds (at its
// end when it shows none): the digits of a fraction that is not zero, without
// trailing zeros.
std::string TimeFormatWithFraction(std::string_view time_format, int nanosecond) {
  std::string digits(9, '0');
  for (int i = 8, rest = nanosecond; i >= 0; --i, rest /= 10) digits[static_cast<size_t>(i)] = static_cast<char>('0' + rest % 10);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  // After the last run of "s" outside quotes.
  size_t insert_at = time_format.size();
  char quote = '\0';
  for (size_t i = 0; i < time_format.size(); ++i) {
    const char c = time_format[i];
    if (quote != '\0') {
      if (c == quote) quote = '\0';
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 's' || c == 'S') {
      insert_at = i + 1;
    }
  }
  std::string format(time_format.substr(0, insert_at));
  format += "\".";
  format += digits;
  format += '"';
  format += time_format.substr(insert_at);
  return format;
}

}  // namespace

ColumnClass ClassOf(const Field& field) {
  static const std::vector<std::pair<std::string_view, ColumnClass>> kClasses = {
      {"TStringField", ColumnClass::kString},     {"TWideStringField", ColumnClass::kWideString},
      {"TMemoField", ColumnClass::kMemo},         {"TSmallintField", ColumnClass::kSmallint},
      {"TWordField", ColumnClass::kWord},         {"TIntegerField", ColumnClass::kInteger},
      {"TAutoIncField", ColumnClass::kAutoInc},   {"TLargeintField", ColumnClass::kLargeint},
      {"TBooleanField", ColumnClass::kBoolean},   {"TFloatField", ColumnClass::kFloat},
      {"TBCDField", ColumnClass::kBCD},           {"TDateField", ColumnClass::kDate},
      {"TTimeField", ColumnClass::kTime},         {"TDateTimeField", ColumnClass::kDateTime},
      {"TBytesField", ColumnClass::kBytes},       {"TVarBytesField", ColumnClass::kVarBytes},
      {"TBlobField", ColumnClass::kBlob},         {"TGuidField", ColumnClass::kGuid},
  };
  for (const auto& [name, c] : kClasses) {
    if (field.ClassName() == name) return c;
  }
  return ColumnClass::kUnknown;
}

ColumnClass TypeClassOf(const Field& field) {
  const ColumnClass c = ClassOf(field);
  const bool sized_text = c == ColumnClass::kString || c == ColumnClass::kWideString;
  return sized_text && field.Size() <= 0 ? ColumnClass::kMemo : c;
}

std::vector<ColumnClass> ClassesOf(const Dataset& table) {
  std::vector<ColumnClass> classes;
  classes.reserve(static_cast<size_t>(table.FieldCount()));
  for (int i = 0; i < table.FieldCount(); ++i) classes.push_back(ClassOf(table.FieldAt(i)));
  return classes;
}

bool IsTextClass(ColumnClass c) {
  return c == ColumnClass::kString || c == ColumnClass::kWideString || c == ColumnClass::kMemo;
}

void AppendValueText(std::string& out, const Field& field, ColumnClass c, int fraction_digits) {
  if (c != ColumnClass::kTime && c != ColumnClass::kDateTime) {
    field.AppendString(out);
    return;
  }
  if (field.IsNull()) return;
  AppendDateTimeText(out, field.AsDateTime(), c, fraction_digits);
}

void AppendDateTimeText(std::string& out, DateTime value, ColumnClass c, int fraction_digits) {
  for (int digits = 9; digits > fraction_digits; --digits) value.nanosecond /= 10;
  for (int digits = fraction_digits; digits < 9; ++digits) value.nanosecond *= 10;
  if (value.negative) out += '-';
  const DateTextKind kind = c == ColumnClass::kDate   ? DateTextKind::kDate
                            : c == ColumnClass::kTime ? DateTextKind::kTime
                                                      : DateTextKind::kDateTime;
  if (value.nanosecond == 0 || kind == DateTextKind::kDate) {
    AppendDateTimeFieldText(out, kind, value);
    return;
  }
  const FormatSettings& settings = GlobalFormatSettings();
  if (kind == DateTextKind::kDateTime) {
    AppendFormatDateTime(out, settings.short_date_format, value, settings);
    out += ' ';
  }
  AppendFormatDateTime(out, TimeFormatWithFraction(settings.long_time_format, value.nanosecond), value, settings);
}

std::string ValueTextOf(const Field& field, ColumnClass c) {
  std::string text;
  AppendValueText(text, field, c);
  return text;
}

int MicrosecondsOf(const Field& field, ColumnClass c) {
  if (c != ColumnClass::kDateTime || field.IsNull()) return 0;
  return field.AsDateTime().nanosecond / 1000;
}

bool IsNonFinite(const Field& field, ColumnClass c) {
  // Other classes are ruled out first: every value of a row passes here.
  if ((c != ColumnClass::kFloat && c != ColumnClass::kBCD) || field.IsNull()) return false;
  if (c == ColumnClass::kFloat) return !std::isfinite(field.AsFloat());
  // Decimal sources give these as words (NaN, Infinity, -Infinity); a
  // decimal held as a double gives its own text for them.
  const std::string value = field.AsString();
  std::string_view text = value;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  // A digit or a point first: a number (most values end here).
  if (text.empty() || text.size() > 8 || (text[0] >= '0' && text[0] <= '9') || text[0] == '.') return false;
  const auto is = [text](std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
      if (c != word[i]) return false;
    }
    return true;
  };
  return is("nan") || is("inf") || is("infinity");
}

ValuesWrittenNull::ValuesWrittenNull(TableWriter& writer, const std::vector<ColumnClass>& classes,
                                     bool holds_non_finite, bool holds_beyond_calendar)
    : writer_(writer),
      classes_(classes),
      holds_non_finite_(holds_non_finite),
      holds_beyond_calendar_(holds_beyond_calendar) {}

bool ValuesWrittenNull::Refuse(const Field& field) {
  if (field.IsZeroDate()) {
    writer_.lost_values.Count(field.Name(), kZeroDateLost);
    return true;
  }
  if (field.IsBeyondCalendar() && !holds_beyond_calendar_) {
    writer_.lost_values.Count(field.Name(), kBeyondCalendarLost);
    return true;
  }
  if (holds_non_finite_ || !IsNonFinite(field, classes_[static_cast<size_t>(field.Index())])) return false;
  writer_.lost_values.Count(field.Name(), kNonFiniteLost);
  return true;
}

bool IsBinaryClass(ColumnClass c) { return c == ColumnClass::kBytes || c == ColumnClass::kVarBytes; }

bool IsTextBytes(std::string_view bytes) {
  return bytes.find('\0') == std::string_view::npos && IsValidUtf8(bytes);
}

DecimalType DecimalTypeFor(const Field& field, const DecimalLimits& limits) {
  const int precision = field.Size();
  const int scale = field.Scale();
  if (scale < 0) return {limits.max_precision, limits.unknown_scale};
  if (precision > 0 && scale <= precision && precision <= limits.max_precision && scale <= limits.max_scale) {
    return {precision, scale};
  }
  const int integer_digits = precision > scale ? precision - scale : limits.max_precision;
  const int room = std::max(limits.max_precision - integer_digits, limits.max_precision / 2);
  return {limits.max_precision, std::min({scale, limits.max_scale, room})};
}

bool FitsDecimal(std::string_view text, const DecimalType& type) {
  size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  std::string digits;  // every digit, the point left out
  long point = -1;     // digits before the point
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if ((c == '.' || c == ',') && point < 0) {
      point = static_cast<long>(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty()) return true;
  if (point < 0) point = static_cast<long>(digits.size());
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return true;
    long exponent = 0;
    const auto result = std::from_chars(text.data() + i + 1 + (i + 1 < text.size() && text[i + 1] == '+'),
                                        text.data() + text.size(), exponent);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return true;
    point += exponent;
  }
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return true;  // zero fits every type
  const size_t last = digits.find_last_not_of('0');
  const long integer_digits = std::max(0L, point - static_cast<long>(first));
  const long fraction_digits = std::max(0L, static_cast<long>(last) + 1 - point);
  if (type.precision == 0) {
    const long first_power = point - static_cast<long>(first) - 1;
    if (type.max_integer_digits > 0 && integer_digits > type.max_integer_digits) return false;
    if (first_power < type.lowest_power) return false;
    return type.significant == 0 || static_cast<long>(last - first + 1) <= type.significant;
  }
  return integer_digits <= type.precision - type.scale && fraction_digits <= type.scale;
}

std::string DecimalLostReason(std::string_view type_text) {
  return "values wider than " + std::string(type_text) +
         ", the widest exact type this dialect has for them: written NULL";
}

void AppendDurationText(std::string& out, const Field& field) {
  if (field.IsNull()) return;
  const DateTime value = field.AsDateTime();
  if (value.negative) out += '-';
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%02d:%02d:%02d", value.hour, value.minute, value.second);
  out.append(text, static_cast<size_t>(std::max(length, 0)));
  if (value.nanosecond == 0) return;
  std::snprintf(text, sizeof text, ".%09d", value.nanosecond);
  std::string_view fraction(text);
  while (fraction.back() == '0') fraction.remove_suffix(1);
  out += fraction;
}

std::string FirstCharacters(std::string_view text, int limit) {
  std::string cut(text);
  KeepFirstCharacters(cut, limit);
  return cut;
}

void KeepFirstCharacters(std::string& text, int limit) {
  // No more bytes than the limit: no more characters either.
  if (limit >= 0 && text.size() <= static_cast<size_t>(limit)) return;
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsUtf8Continuation(text[i])) {
      if (count == limit) {
        text.resize(i);
        return;
      }
      ++count;
    }
  }
}

void CommasToPoints(std::string& text) {
  for (size_t i = text.find(','); i != std::string::npos; i = text.find(',', i + 1)) text[i] = '.';
}

std::string DoubleEach(std::string_view text, char mark) {
  std::string result;
  result.reserve(text.size() + 2);
  for (const char c : text) {
    result += c;
    if (c == mark) result += c;
  }
  return result;
}

std::string SqlLiteral(std::string_view text, const LiteralForm* form) {
  std::string literal;
  AppendTextLiteral(literal, text, form);
  return literal;
}

std::string LowerCase(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t code = DecodeAt(text, i);
    if (code == 0xFFFFFFFF) {
      result += text[start];
    } else if (code < 0x80) {
      result += static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code);
    } else {
      AppendUtf8(result, static_cast<char32_t>(towlower_l(static_cast<wint_t>(code), Utf8Locale())));
    }
  }
  return result;
}

std::string BooleanDigits(const Field& field) {
  if (field.IsNull()) return {};
  return field.AsBoolean() ? "1" : "0";
}

std::string FloatText(const Field& field, const Settings& settings) {
  if (field.IsNull()) return {};
  return FormatFloat(settings.float_format, field.AsFloat());
}

std::vector<bool> EmptyTextKeptColumns(TableWriter& writer) {
  std::vector<bool> kept(static_cast<size_t>(writer.table.FieldCount()), false);
  for (const std::string& name : PrimaryKeyColumns(writer)) {
    const Field* field = writer.table.FindField(name);
    if (field != nullptr && IsTextClass(ClassOf(*field))) kept[static_cast<size_t>(field->Index())] = true;
  }
  return kept;
}

bool WritesEmptyQuoted(const Settings& settings, const std::vector<bool>& kept_columns, const Field& field) {
  return settings.null_quoted || (kept_columns[static_cast<size_t>(field.Index())] && !field.IsNull());
}

std::vector<std::string> WrittenColumnNames(const Settings& settings, const Dataset& table) {
  std::vector<std::string> field_names;
  field_names.reserve(static_cast<size_t>(table.FieldCount()));
  for (int i = 0; i < table.FieldCount(); ++i) field_names.push_back(table.FieldAt(i).Name());
  return DistinctColumnNames(settings, field_names);
}

void SayRenamedColumns(const Settings& settings, const Dataset& table, UserInterface& ui,
                       const std::string& table_name) {
  const std::vector<std::string> names = WrittenColumnNames(settings, table);
  for (int i = 0; i < table.FieldCount(); ++i) {
    const std::string& field_name = table.FieldAt(i).Name();
    const std::string form = DialectColumnForm(settings, field_name);
    if (names[static_cast<size_t>(i)] == form) continue;
    ui.AddLogLine("Table : " + table_name + " : column " + field_name + " is written " + names[static_cast<size_t>(i)] +
                  (IsEngineColumnName(settings, form) ? ", as this dialect keeps its name for a column of its own."
                                                      : ", as this dialect would give it the name of another column."));
  }
}

std::string ColumnDefinitions(TableWriter& writer, const ColumnDefinitionRules& rules) {
  ScriptRunState& run = writer.run;
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const std::vector<std::string> names = WrittenColumnNames(writer.settings, writer.table);
  const bool inline_key = rules.key_form == KeyForm::kInlineUnlessComposite && key.size() == 1;
  std::string text;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    if (i > 0) text += ",\r\n";
    const bool in_key = std::find(key.begin(), key.end(), field.Name()) != key.end();
    const std::string type = rules.type_text(field, in_key);
    text += rules.column_name(names[static_cast<size_t>(i)]) + " " +
            (type.empty() ? std::string(rules.unknown_type) : type);
    if (inline_key && !run.primary_key_marked && field.Name() == key.front()) {
      text += " PRIMARY KEY";
      run.primary_key_marked = true;
    }
  }
  if (!key.empty() && !inline_key) {
    text += ",\r\n";
    text += rules.key_clause;
    for (size_t k = 0; k < key.size(); ++k) {
      if (k > 0) text += ",";
      text += rules.column_name(names[static_cast<size_t>(writer.table.FindField(key[k])->Index())]);
    }
    text += ")";
    run.primary_key_marked = true;
  }
  return text;
}

std::optional<RowBlobFile> WriteRowBlobFile(TableWriter& writer, const Field& field) {
  const Settings& settings = writer.settings;
  if (field.IsNull()) return std::nullopt;
  if (!settings.extract_files) {
    writer.left_out_blobs.CountNotExtracted(field);
    return std::nullopt;
  }
  const std::string folder =
      BlobFileLayout(writer.run.blob_file_names, settings.blob_path, writer.ui.SelectedNodeCaption(),
                     writer.run.listed_table_name, writer.run.listed_table_name, field);
  const std::optional<std::string> extension = SaveBlobToFile(field, folder, writer.run.row_counter, settings);
  if (!extension) {
    writer.left_out_blobs.CountWithoutFileType(field);
    return std::nullopt;
  }
  return RowBlobFile{folder, std::to_string(writer.run.row_counter) + "." + *extension};
}

ValueText BlobValue(TableWriter& writer, const Field& field,
                    const std::function<std::string(const RowBlobFile& file)>& raw_reference) {
  if (writer.settings.text_from_blob) return {field.AsString(), false};
  const std::optional<RowBlobFile> file = WriteRowBlobFile(writer, field);
  if (!file) return {};
  if (!writer.settings.save_as_raw) return {file->Path(), false};
  std::string reference = raw_reference(*file);
  const bool expression = !reference.empty();
  return {std::move(reference), expression};
}

}  // namespace quill
