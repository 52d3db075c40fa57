#include "export/xml_export.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include <pugixml.hpp>

#include "generator/blob_files.h"
#include "generator/log_stamp.h"
#include "generator/script_header.h"
#include "generator/table_names.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill {

namespace {

constexpr int kDebugRows = 5;

bool IsNameStartChar(char32_t c) {
  return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The characters of a UTF-8 text; nothing when it is not well-formed.
std::optional<std::u32string> Characters(std::string_view text) {
  try {
    return jet::DecodeUtf8(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Text an XML file can carry: control characters other than tab and line
// ends have no form in it, not even as references.
void CheckXmlText(const std::string& text, const std::string& field_name) {
  const std::optional<std::u32string> characters = Characters(text);
  bool valid = characters.has_value();
  if (valid) {
    for (const char32_t c : *characters) valid = valid && IsXmlChar(c);
  }
  if (!valid) throw std::runtime_error("Field " + field_name + " holds characters XML cannot hold.");
}

void CheckXmlName(const std::string& name) {
  if (!IsXmlName(name)) throw std::runtime_error("'" + name + "' is not a valid element name.");
}

std::string TextOrNull(const Field& field) {
  std::string text = field.AsString();
  return text.empty() ? "null" : text;
}

std::string BlobText(const XmlExportContext& context, const Field& field, const std::string& table_name,
                     int row_number) {
  const Settings& settings = context.settings;
  if (field.IsNull()) return "null";
  if (settings.text_from_blob) return field.AsString();
  if (!settings.extract_files) return "null";
  const std::string folder = BlobFileLayout(settings.blob_path, context.ui.SelectedNodeCaption(), table_name, field);
  const std::optional<std::string> extension =
      SaveBlobToFile(field, folder, static_cast<uint32_t>(row_number), settings);
  if (!extension) return "null";
  return folder + "/" + std::to_string(row_number) + "." + *extension;
}

void PrintNode(std::ostream& out, const pugi::xml_node& node) { node.print(out, "", pugi::format_raw); }

}  // namespace

bool IsXmlName(std::string_view name) {
  const std::optional<std::u32string> characters = Characters(name);
  if (!characters || characters->empty() || !IsNameStartChar(characters->front())) return false;
  for (const char32_t c : *characters) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

std::string XmlValueText(const XmlExportContext& context, const Field& field, const std::string& table_name,
                         int row_number) {
  switch (field.Kind()) {
    case FieldKind::ftSmallint:
    case FieldKind::ftInteger:
    case FieldKind::ftWord: return std::to_string(field.AsInteger());
    case FieldKind::ftFloat:
    case FieldKind::ftCurrency:
    case FieldKind::ftBCD: {
      const double value = field.AsFloat();
      return value == 0 ? "0" : FormatFloat(context.settings.float_format, value);
    }
    case FieldKind::ftBoolean: return field.AsBoolean() ? "True" : "False";
    case FieldKind::ftDate:
      return field.IsNull() ? "01/01/2000" : FormatDateTime("mm/dd/yyyy", field.AsDateTime());
    case FieldKind::ftDateTime:
      return field.IsNull() ? "01/01/2000 00:00:00" : FormatDateTime("mm/dd/yyyy hh:nn:ss", field.AsDateTime());
    case FieldKind::ftTime: return field.IsNull() ? "00:00:00" : FormatDateTime("hh:nn:ss", field.AsDateTime());
    case FieldKind::ftBlob: return BlobText(context, field, table_name, row_number);
    default: return TextOrNull(field);
  }
}

bool ExportTableToXml(const XmlExportContext& context, Dataset& source, const std::string& file_name,
                      const std::string& table_name) {
  const std::string partial_name = file_name + ".part";
  try {
    source.First();
    const std::string root_name = context.settings.underscore ? ReplaceAll(table_name, ' ', '_') : table_name;
    CheckXmlName(root_name);
    for (int k = 0; k < source.FieldCount(); ++k) CheckXmlName(source.FieldAt(k).Name());

    std::ofstream file(partial_name, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) throw std::runtime_error("Cannot create file " + partial_name + ".");
    file << '<' << root_name << '>';

    pugi::xml_document head;
    head.append_child(pugi::node_comment).set_value((std::string("Created with Quillmarsh v.") + kProgramVersion).c_str());
    const std::string stamp = HeaderStamp(context.clock);
    CheckXmlText(stamp, "date");
    head.append_child(pugi::node_comment).set_value(stamp.c_str());
    if (context.settings.debug_mode) head.append_child(pugi::node_comment).set_value("Debug Mode");
    for (const pugi::xml_node& comment : head.children()) PrintNode(file, comment);

    // One small document per row keeps memory flat whatever the table's size.
    pugi::xml_document row;
    for (int row_number = 1; !source.Eof(); ++row_number) {
      row.reset();
      pugi::xml_node records = row.append_child("Records");
      for (int k = 0; k < source.FieldCount(); ++k) {
        const Field& field = source.FieldAt(k);
        const std::string text = XmlValueText(context, field, table_name, row_number);
        CheckXmlText(text, field.Name());
        records.append_child(field.Name().c_str()).append_child(pugi::node_pcdata).set_value(text.c_str());
      }
      PrintNode(file, records);
      if (!file) throw std::runtime_error("Cannot write file " + partial_name + ".");
      if (context.settings.debug_mode && row_number >= kDebugRows) {
        source.Last();
      } else {
        source.Next();
      }
      context.ui.SetProgressPosition(context.ui.ProgressPosition() + 1);
    }
    file << "</" << root_name << '>';
    file.close();
    if (file.fail()) throw std::runtime_error("Cannot write file " + partial_name + ".");
    std::filesystem::rename(partial_name, file_name);
    return true;
  } catch (const std::exception&) {
    std::error_code ignored;
    std::filesystem::remove(partial_name, ignored);
    return false;
  }
}

}  // namespace quill
