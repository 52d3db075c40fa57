#include "generator/dialect_values.h"

#include <locale.h>

#include <clocale>
#include <cwctype>
#include <vector>

#include "generator/blob_files.h"
#include "platform/formatting/format_float.h"

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

}  // namespace

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
  for (char& c : text) {
    if (c == ',') c = '.';
  }
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

std::string SqlLiteral(std::string_view text) { return "'" + DoubleEach(text, '\'') + "'"; }

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

std::string ColumnDefinitions(TableWriter& writer, const ColumnDefinitionRules& rules) {
  ScriptRunState& run = writer.run;
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const bool inline_key = rules.key_form == KeyForm::kInlineUnlessComposite && key.size() == 1;
  std::string text;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    if (i > 0) text += ",\r\n";
    const std::string type = rules.type_text(field);
    text += rules.column_name(field.Name()) + " " + (type.empty() ? std::string(rules.unknown_type) : type);
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
      text += rules.column_name(key[k]);
    }
    text += ")";
    run.primary_key_marked = true;
  }
  return text;
}

std::optional<RowBlobFile> WriteRowBlobFile(TableWriter& writer, const Field& field) {
  const Settings& settings = writer.settings;
  if (field.IsNull() || !settings.extract_files) return std::nullopt;
  const std::string folder =
      BlobFileLayout(settings.blob_path, writer.ui.SelectedNodeCaption(), writer.run.listed_table_name, field);
  const std::optional<std::string> extension = SaveBlobToFile(field, folder, writer.run.row_counter, settings);
  if (!extension) return std::nullopt;
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
