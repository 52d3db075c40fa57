#include "export/access_data_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <optional>

#include "common/progress_steps.h"
#include "common/utf8_steps.h"
#include "export/access_export.h"
#include "export/access_names.h"
#include "export/export_table_name.h"
#include "generator/blob_files.h"
#include "generator/blob_type.h"
#include "generator/left_out_blobs.h"
#include "generator/lost_value_counts.h"
#include "platform/formatting/format_float.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/text_encoding.h"
#include "platform/text/text_encoding.h"

namespace quill {

namespace {

// Opened without following a link planted at its name, and emptied only
// when that name is a plain file of no other name (a hard link's other
// file keeps its bytes).
void WriteTemporaryFile(const std::string& path, std::string_view bytes) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  struct stat entry {};
  bool written = descriptor >= 0 && ::fstat(descriptor, &entry) == 0 && S_ISREG(entry.st_mode) &&
                 entry.st_nlink == 1 && ::ftruncate(descriptor, 0) == 0;
  while (written && !bytes.empty()) {
    const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    written = count > 0;
    if (written) bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  if (descriptor >= 0 && ::close(descriptor) != 0) written = false;
  if (!written) throw jet::JetWriteError("Cannot write the temporary file " + path + ".");
}

// What the copy of one table keeps besides the rows: the Access name, the
// file format, and what the log says once the rows are copied.
struct TableCopy {
  std::string listed_name;
  std::string access_name;
  bool access_97;
  LeftOutBlobs left_out_blobs;
  LostValueCounts changed_text;
};

constexpr std::string_view kNotUtf8 = "values that are not valid UTF-8: each bad byte stored as U+FFFD";
constexpr std::string_view kZeroDateLost = "zero dates, which no Access date holds: stored NULL";
constexpr std::string_view kBeyondCalendarDateLost =
    "dates that are infinite or beyond the years 1 to 9999, which no Access date holds: stored NULL";
constexpr std::string_view kOutsideCodePage =
    "values with characters outside the code page of an Access 97 file (Windows-1252): each stored as \"?\"";

// The text as the column stores it: bytes that start no UTF-8 sequence as
// U+FFFD, and in an Access 97 file every character Windows-1252 lacks as
// "?"; each change counted for the column.
std::string StoredText(TableCopy& copy, const Field& field, std::string text) {
  if (!IsValidUtf8(text)) {
    text = ValidUtf8(text);
    copy.changed_text.Count(field.Name(), kNotUtf8);
  }
  if (!copy.access_97) return text;
  std::string fitted;
  bool replaced = false;
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint character = DecodeAt(text, at);
    if (jet::InWindows1252(character.value)) {
      fitted.append(text, at, character.length);
    } else {
      fitted += '?';
      replaced = true;
    }
    at += character.length;
  }
  if (replaced) copy.changed_text.Count(field.Name(), kOutsideCodePage);
  return fitted;
}

// A BLOB value: the file's bytes (saveasraw) or the path of the file written
// for it; nothing when the options extract no files or no known type starts
// in it (counted as left out).
std::optional<jet::Variant> BlobValue(const AccessDataCopyContext& context, TableCopy& copy, const Field& field,
                                      int64_t row_number) {
  const Settings& settings = context.settings;
  if (!settings.extract_files) {
    copy.left_out_blobs.CountNotExtracted(field);
    return std::nullopt;
  }
  if (settings.save_as_raw) {
    const BlobDetection detection = DetectBlobType(field, settings);
    if (detection.offset < 0) {
      copy.left_out_blobs.CountWithoutFileType(field);
      return std::nullopt;
    }
    WriteTemporaryFile(context.temporary_file, std::string_view(field.RawText()).substr(detection.offset));
    jet::Stream stream;
    stream.SetType(jet::kAdTypeBinary);
    stream.Open();
    stream.LoadFromFile(context.temporary_file);
    jet::Variant content = stream.Read();
    stream.Close();
    return content;
  }
  const std::string folder = BlobFileLayout(context.file_names, settings.blob_path, context.ui.SelectedNodeCaption(),
                                            copy.listed_name, copy.access_name, field);
  const std::optional<std::string> extension =
      SaveBlobToFile(field, folder, static_cast<uint32_t>(row_number), settings);
  if (!extension) {
    copy.left_out_blobs.CountWithoutFileType(field);
    return std::nullopt;
  }
  return StoredText(copy, field, folder + "/" + std::to_string(row_number) + "." + *extension);
}

// The value a source field gives its column, or nothing when the column
// keeps the new row's default.
std::optional<jet::Variant> CopiedValue(const AccessDataCopyContext& context, TableCopy& copy, const Field& field,
                                        int64_t row_number) {
  const FieldKind kind = field.Kind();
  if (kind == FieldKind::ftBlob) {
    // A null BLOB has no value to lose.
    if (field.IsNull()) return std::nullopt;
    return BlobValue(context, copy, field, row_number);
  }
  // A date no Access date holds is NULL, and said.
  if (field.IsZeroDate() || field.IsBeyondCalendar()) {
    copy.changed_text.Count(field.Name(), field.IsZeroDate() ? kZeroDateLost : kBeyondCalendarDateLost);
    return std::nullopt;
  }
  std::string text = field.AsString();
  if (text.empty()) {
    if (kind == FieldKind::ftBoolean) return false;
    if (kind == FieldKind::ftCurrency || kind == FieldKind::ftAutoInc) return std::string("0");
    return std::nullopt;
  }
  switch (kind) {
    case FieldKind::ftBoolean: return field.AsBoolean();
    case FieldKind::ftFloat:
    case FieldKind::ftCurrency:
    case FieldKind::ftBCD: return FormatFloat(context.settings.float_format, field.AsFloat());
    case FieldKind::ftBytes:
    case FieldKind::ftVarBytes: {
      const std::string& bytes = field.RawText();
      return jet::Bytes(bytes.begin(), bytes.end());
    }
    default: return StoredText(copy, field, std::move(text));
  }
}

}  // namespace

bool CopyTableData(const AccessDataCopyContext& context, const std::string& listed_name,
                   const std::string& mdb_file, Dataset& source, int64_t row_limit, const std::string& table_in_file,
                   std::string* failure_reason) {
  jet::Connection connection;
  connection.Open(AccessConnectionString(mdb_file, context.settings));
  TableCopy copy{listed_name, table_in_file,
                 IsAccess97File(context.settings), LeftOutBlobs(context.ui, listed_name),
                 LostValueCounts(context.ui, listed_name)};
  jet::Recordset recordset;
  recordset.Open(copy.access_name, connection, jet::kAdOpenKeyset, jet::kAdLockOptimistic, jet::kAdCmdTableDirect);

  bool completed = true;
  try {
    source.First();
    for (int64_t row_number = 1; !source.Eof(); ++row_number) {
      if (row_number > 1 && context.stop.Poll()) {
        completed = false;
        break;
      }
      recordset.AddNew();
      for (int k = 0; k < source.FieldCount(); ++k) {
        const std::optional<jet::Variant> value = CopiedValue(context, copy, source.FieldAt(k), row_number);
        if (value) recordset.Fields().Item(static_cast<std::size_t>(k)).SetValue(*value);
      }
      recordset.Update();
      if (row_number == row_limit) {
        source.Last();
      } else {
        source.Next();
      }
      AdvanceProgress(context.ui);
    }
  } catch (const std::exception& error) {
    completed = false;
    if (failure_reason != nullptr) *failure_reason = error.what();
  }
  recordset.Close();
  connection.Close();
  // What the rows stored so far lost or changed.
  copy.left_out_blobs.Report();
  copy.changed_text.Report();
  return completed;
}

}  // namespace quill
