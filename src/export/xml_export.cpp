#include "export/xml_export.h"

#include <array>
#include <exception>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <pugixml.hpp>

#include "common/progress_steps.h"
#include "export/replacing_file.h"
#include "generator/blob_files.h"
#include "generator/log_stamp.h"
#include "generator/lost_value_counts.h"
#include "generator/script_header.h"
#include "generator/table_names.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill {

namespace {

constexpr int kDebugRows = 5;
constexpr std::size_t kFlushBytes = 64 * 1024;

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

// The characters of a UTF-8 text; nothing when it is not well-formed.
std::optional<std::u32string> Characters(std::string_view text) {
  try {
    return jet::DecodeUtf8(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The bytes written as they stand: printable ASCII other than & < >.
constexpr auto kPlainXmlByte = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '&' && c != '<' && c != '>';
  return plain;
}();

// Appends text as the content of an element: "&", "<" and ">" as entity
// references and CR as a character reference, since a parser turns a raw CR
// (and CR LF) into LF. False when the text is not well-formed UTF-8 or holds
// a character XML cannot carry at all (control characters other than tab and
// line ends, U+FFFE, U+FFFF).
bool AppendXmlText(std::string& out, std::string_view text) {
  std::size_t run = 0;  // start of the bytes not yet appended
  std::size_t i = 0;
  const auto flush = [&](std::size_t end) { out.append(text.data() + run, end - run); };
  while (i < text.size()) {
    // Runs of bytes that need nothing go at table speed.
    while (i < text.size() && kPlainXmlByte[static_cast<unsigned char>(text[i])]) ++i;
    if (i == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      const char* reference = nullptr;
      switch (byte) {
        case '&': reference = "&amp;"; break;
        case '<': reference = "&lt;"; break;
        case '>': reference = "&gt;"; break;
        case '\r': reference = "&#13;"; break;
        case '\t':
        case '\n': break;
        default: return false;
      }
      if (reference != nullptr) {
        flush(i);
        out += reference;
        run = i + 1;
      }
      ++i;
      continue;
    }
    // A multi-byte sequence: well-formed, shortest form, a character XML allows.
    std::size_t length = 0;
    char32_t c = 0;
    if (byte >= 0xC2 && byte < 0xE0) {
      length = 2;
      c = byte & 0x1F;
    } else if (byte >= 0xE0 && byte < 0xF0) {
      length = 3;
      c = byte & 0x0F;
    } else if (byte >= 0xF0 && byte < 0xF5) {
      length = 4;
      c = byte & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF))) return false;
    if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) return false;
    i += length;
  }
  flush(i);
  return true;
}

void AppendValueElement(std::string& out, const std::string& name, std::string_view text) {
  out += '<';
  out += name;
  out += '>';
  if (!AppendXmlText(out, text)) throw std::runtime_error("Field " + name + " holds characters XML cannot hold.");
  out += "</";
  out += name;
  out += '>';
}

void CheckXmlName(const std::string& name) {
  if (!IsXmlName(name)) throw std::runtime_error("'" + name + "' is not a valid element name.");
}

std::string TextOrNull(const Field& field) {
  std::string text = field.AsString();
  return text.empty() ? "null" : text;
}

std::string BlobText(const XmlExportContext& context, const Field& field, const std::string& table_name,
                     int row_number, LeftOutBlobs& left_out_blobs) {
  const Settings& settings = context.settings;
  if (field.IsNull()) return "null";
  if (settings.text_from_blob) return field.AsString();
  if (!settings.extract_files) {
    left_out_blobs.CountNotExtracted(field);
    return "null";
  }
  const std::string folder = BlobFileLayout(context.file_names, settings.blob_path, context.ui.SelectedNodeCaption(),
                                            context.listed_name, table_name, field);
  const std::optional<std::string> extension =
      SaveBlobToFile(field, folder, static_cast<uint32_t>(row_number), settings);
  if (!extension) {
    left_out_blobs.CountWithoutFileType(field);
    return "null";
  }
  return folder + "/" + std::to_string(row_number) + "." + *extension;
}

// Zero dates and dates that are infinite or beyond the years 1 to 9999 have
// no text in the file's date pattern.
constexpr std::string_view kDateWrittenAsNull =
    "dates that are zero, infinite or beyond the years 1 to 9999, which the date pattern cannot show: written "
    "as the null date";

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
                         int row_number, LeftOutBlobs& left_out_blobs) {
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
    case FieldKind::ftBlob: return BlobText(context, field, table_name, row_number, left_out_blobs);
    default: return TextOrNull(field);
  }
}

bool ExportTableToXml(const XmlExportContext& context, Dataset& source, const std::string& file_name,
                      const std::string& table_name, std::string* failure_reason) {
  try {
    source.First();
    const std::string root_name = context.settings.underscore ? ReplaceAll(table_name, ' ', '_') : table_name;
    CheckXmlName(root_name);
    std::vector<std::string> names;
    for (int k = 0; k < source.FieldCount(); ++k) {
      names.push_back(source.FieldAt(k).Name());
      CheckXmlName(names.back());
    }

    ReplacingFile file(file_name);
    std::string text = "<" + root_name + ">";
    pugi::xml_document head;
    head.append_child(pugi::node_comment).set_value((std::string("Created with Quillmarsh v.") + kProgramVersion).c_str());
    const std::string stamp = HeaderStamp(context.clock);
    std::string checked;
    if (!AppendXmlText(checked, stamp)) throw std::runtime_error("The date holds characters XML cannot hold.");
    head.append_child(pugi::node_comment).set_value(stamp.c_str());
    if (context.settings.debug_mode) head.append_child(pugi::node_comment).set_value("Debug Mode");
    std::ostringstream comments;
    for (const pugi::xml_node& comment : head.children()) comment.print(comments, "", pugi::format_raw);
    text += comments.str();

    LeftOutBlobs left_out_blobs(context.ui, context.listed_name);
    LostValueCounts lost_dates(context.ui, context.listed_name);
    for (int row_number = 1; !source.Eof(); ++row_number) {
      if (row_number > 1 && context.stop.Poll()) return false;
      text += "<Records>";
      for (int k = 0; k < source.FieldCount(); ++k) {
        const Field& field = source.FieldAt(k);
        // Such a date reads as NULL, which the file writes as the null date.
        if (field.IsZeroDate() || field.IsBeyondCalendar()) lost_dates.Count(field.Name(), kDateWrittenAsNull);
        AppendValueElement(text, names[k], XmlValueText(context, field, table_name, row_number, left_out_blobs));
      }
      text += "</Records>";
      if (text.size() >= kFlushBytes) {
        if (!file.Write(text)) return false;
        text.clear();
      }
      if (context.settings.debug_mode && row_number >= kDebugRows) {
        source.Last();
      } else {
        source.Next();
      }
      AdvanceProgress(context.ui);
    }
    text += "</" + root_name + ">";
    if (!file.Write(text) || !file.Commit()) return false;
    left_out_blobs.Report();
    lost_dates.Report();
    return true;
  } catch (const std::exception& error) {
    if (failure_reason != nullptr) *failure_reason = error.what();
    return false;
  }
}

}  // namespace quill
