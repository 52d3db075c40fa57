#include "sources/settings_file.h"

#include <cctype>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "platform/ini/profile_strings.h"

namespace quill {
namespace {

constexpr char kData[] = "Data";
constexpr char kMisc[] = "Misc";
constexpr char kOutput[] = "Output";

// An integer as the settings file holds it: decimal, or hexadecimal after
// "0x" or "$", with an optional sign; anything else is no integer.
std::optional<int> ParseInteger(const std::string& text) {
  size_t position = 0;
  bool negative = false;
  if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
    negative = text[position] == '-';
    ++position;
  }
  int base = 10;
  if (text.compare(position, 1, "$") == 0) {
    base = 16;
    position += 1;
  } else if (text.size() > position + 1 && text[position] == '0' && (text[position + 1] == 'x' || text[position + 1] == 'X')) {
    base = 16;
    position += 2;
  }
  if (position == text.size()) return std::nullopt;
  uint64_t magnitude = 0;
  for (; position < text.size(); ++position) {
    const unsigned char c = static_cast<unsigned char>(text[position]);
    int digit;
    if (std::isdigit(c)) {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(c)) {
      digit = std::tolower(c) - 'a' + 10;
    } else {
      return std::nullopt;
    }
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFu) return std::nullopt;
  }
  if (base == 10) {
    // Decimal values must fit a 32-bit integer.
    if (negative ? magnitude > 0x80000000u : magnitude > 0x7FFFFFFFu) return std::nullopt;
    return negative ? static_cast<int>(-static_cast<int64_t>(magnitude)) : static_cast<int>(magnitude);
  }
  // Hexadecimal text spells the 32 bits ("$FFFFFFFF" is -1).
  const int64_t bits = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
  return static_cast<int>(static_cast<uint32_t>(negative ? -bits : bits));
}

using Field = std::variant<bool Settings::*, int Settings::*, std::string Settings::*>;

struct Key {
  const char* section;
  const char* name;
  Field field;
};

// The options dialog's keys, in the order they are read and written.
const std::vector<Key>& PagesKeys() {
  static const std::vector<Key> keys = {
      {kData, "Convert", &Settings::convert},
      {kData, "Formatting", &Settings::formatting},
      {kData, "Leave", &Settings::leave},
      {kData, "Size", &Settings::size},
      {kData, "Access", &Settings::access},
      {kMisc, "GOLines", &Settings::go_lines},
      {kMisc, "FloatFormat", &Settings::float_format},
      {kMisc, "blobpath", &Settings::blob_path},
      {kMisc, "Quoted", &Settings::quoted},
      {kMisc, "Batch", &Settings::batch},
      {kMisc, "Underscore", &Settings::underscore},
      {kMisc, "DisableWarn", &Settings::disable_warn},
      {kMisc, "TextFromBlob", &Settings::text_from_blob},
      {kMisc, "ExtrFromSystem", &Settings::extr_from_system},
      {kMisc, "JetEng", &Settings::jet_eng},
      {kMisc, "Alpha", &Settings::alpha},
      {kMisc, "NullQuoted", &Settings::null_quoted},
      {kMisc, "GO", &Settings::go},
      {kMisc, "extractfiles", &Settings::extract_files},
      {kMisc, "saveasraw", &Settings::save_as_raw},
      {kMisc, "findbmp", &Settings::find_bmp},
      {kMisc, "findjpg", &Settings::find_jpg},
      {kMisc, "findtif", &Settings::find_tif},
      {kMisc, "findgif", &Settings::find_gif},
      {kMisc, "findwmf", &Settings::find_wmf},
      {kMisc, "findpdf", &Settings::find_pdf},
      {kMisc, "finddoc", &Settings::find_doc},
      {kMisc, "findzip", &Settings::find_zip},
      {kMisc, "findwav", &Settings::find_wav},
      {kMisc, "findmp3", &Settings::find_mp3},
      {kMisc, "findpng", &Settings::find_png},
      {kMisc, "FilesMethod", &Settings::files_method},
  };
  return keys;
}

const std::vector<Key>& DateFormatKeys() {
  static const std::vector<Key> keys = {
      {kOutput, "MyFormat", &Settings::my_format},
      {kOutput, "PeFormat", &Settings::pe_format},
      {kOutput, "OrFormat", &Settings::or_format},
      {kOutput, "PoTimeFormat", &Settings::po_time_format},
      {kOutput, "PoDateFormat", &Settings::po_date_format},
      {kOutput, "MSFormat", &Settings::ms_format},
      {kOutput, "PoFormat", &Settings::po_format},
      {kOutput, "MSType", &Settings::ms_type},
      {kOutput, "PostFormType", &Settings::post_form_type},
  };
  return keys;
}

const std::vector<Key>& FontKeys() {
  static const std::vector<Key> keys = {
      {kOutput, "Font", &Settings::font},
      {kOutput, "FontSize", &Settings::font_size},
      {kOutput, "FontColor", &Settings::font_color},
      {kOutput, "FontStyle", &Settings::font_style},
  };
  return keys;
}

class OptionsReader {
 public:
  explicit OptionsReader(const std::string& path) : document_(LoadIniFile(path)) {}

  std::optional<int> Integer(const char* section, const char* key) const {
    const std::optional<std::string> text = document_.Find(section, key);
    return text ? ParseInteger(*text) : std::nullopt;
  }
  std::optional<std::string> Text(const char* section, const char* key) const { return document_.Find(section, key); }

  // Reads the key into its field; a missing key or a value of the wrong form
  // leaves the field as it is.
  void Read(const Key& key, Settings& settings) const {
    std::visit(
        [&](auto member) {
          auto& field = settings.*member;
          using Value = std::decay_t<decltype(field)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            field = Text(key.section, key.name).value_or(field);
          } else if constexpr (std::is_same_v<Value, bool>) {
            if (const std::optional<int> number = Integer(key.section, key.name)) field = *number != 0;
          } else {
            field = Integer(key.section, key.name).value_or(field);
          }
        },
        key.field);
  }

  void Read(const std::vector<Key>& keys, Settings& settings) const {
    for (const Key& key : keys) Read(key, settings);
  }

 private:
  IniDocument document_;
};

class OptionsWriter {
 public:
  explicit OptionsWriter(std::string path) : path_(std::move(path)), document_(LoadIniFile(path_)) {}

  void Write(const char* section, const char* key, const std::string& text) { document_.Set(section, key, text); }
  void Write(const char* section, const char* key, bool value) { document_.Set(section, key, value ? "1" : "0"); }
  void Write(const char* section, const char* key, int value) { document_.Set(section, key, std::to_string(value)); }

  void Write(const std::vector<Key>& keys, const Settings& settings) {
    for (const Key& key : keys) {
      std::visit([&](auto member) { Write(key.section, key.name, settings.*member); }, key.field);
    }
  }

  void Save() const { SaveIniFile(document_, path_); }

 private:
  std::string path_;
  IniDocument document_;
};

}  // namespace

bool IsLanguageFileName(const std::string& lang) {
  if (lang.empty() || lang == "." || lang == "..") return false;
  return lang.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string OptionsFilePath(const std::string& program_folder) { return program_folder + "options.ini"; }

void SetPagesOptions(Settings& settings, const std::string& options_path) {
  OptionsReader(options_path).Read(PagesKeys(), settings);
}

void SetFileOptions(const Settings& settings, const std::string& options_path) {
  OptionsWriter writer(options_path);
  writer.Write(PagesKeys(), settings);
  writer.Save();
}

void LoadDateFormatOptions(Settings& settings, const std::string& options_path) {
  OptionsReader(options_path).Read(DateFormatKeys(), settings);
}

void SaveDateFormatOptions(const Settings& settings, const std::string& options_path) {
  OptionsWriter writer(options_path);
  writer.Write(DateFormatKeys(), settings);
  writer.Save();
}

void LoadMainWindowOptions(Settings& settings, const std::string& options_path) {
  const OptionsReader reader(options_path);

  const int content = reader.Integer(kOutput, "Content").value_or(static_cast<int>(settings.content));
  if (content >= 0 && content <= 2) settings.content = static_cast<ContentMode>(content);

  const int format = reader.Integer(kOutput, "Format").value_or(static_cast<int>(settings.format));
  if (format >= 0 && format <= 4) settings.format = static_cast<TargetDialect>(format);

  settings.drop = reader.Integer(kMisc, "Drop").value_or(0) == 1;

  reader.Read({kOutput, "Font", &Settings::font}, settings);
  reader.Read({kOutput, "FontSize", &Settings::font_size}, settings);
  reader.Read({kOutput, "FontColor", &Settings::font_color}, settings);
  reader.Read({kMisc, "Width", &Settings::width}, settings);
  reader.Read({kMisc, "Height", &Settings::height}, settings);
  reader.Read({kMisc, "Top", &Settings::top}, settings);
  reader.Read({kMisc, "Left", &Settings::left}, settings);
  reader.Read({kMisc, "Maximized", &Settings::maximized}, settings);
  reader.Read({kMisc, "BarPos", &Settings::bar_pos}, settings);

  const std::string schema = reader.Text(kMisc, "MSSchema").value_or("");
  if (!schema.empty()) settings.ms_schema = schema;

  // Only bold and italic come back; underline and strike-out do not.
  const int style = reader.Integer(kOutput, "FontStyle").value_or(0);
  if (style >= 0 && style <= 3) settings.font_style = style;
}

void SaveMainWindowOptions(const Settings& settings, const std::string& options_path) {
  OptionsWriter writer(options_path);
  writer.Write(kOutput, "Content", static_cast<int>(settings.content));
  writer.Write(kOutput, "Format", static_cast<int>(settings.format));
  writer.Write(kMisc, "Drop", settings.drop);
  writer.Write(kMisc, "Quoted", settings.quoted);
  writer.Write(kMisc, "JetEng", settings.jet_eng);
  writer.Write(kMisc, "ExtrFromSystem", settings.extr_from_system);
  writer.Write(kMisc, "MSSchema", settings.ms_schema);
  writer.Write(kMisc, "BarPos", settings.bar_pos);
  if (settings.maximized) {
    writer.Write(kMisc, "Maximized", true);
  } else {
    writer.Write(kMisc, "Width", settings.width);
    writer.Write(kMisc, "Height", settings.height);
    writer.Write(kMisc, "Top", settings.top);
    writer.Write(kMisc, "Left", settings.left);
    writer.Write(kMisc, "Maximized", false);
  }
  writer.Save();
}

void SaveFontOptions(const Settings& settings, const std::string& options_path) {
  OptionsWriter writer(options_path);
  writer.Write(FontKeys(), settings);
  writer.Save();
}

void LoadLanguageOption(Settings& settings, const std::string& options_path) {
  const std::string lang = OptionsReader(options_path).Text(kMisc, "lang").value_or("");
  settings.lang = IsLanguageFileName(lang) ? lang : std::string();
}

void SaveLanguageOption(const Settings& settings, const std::string& options_path) {
  OptionsWriter writer(options_path);
  writer.Write(kMisc, "lang", settings.lang);
  writer.Save();
}

}  // namespace quill
