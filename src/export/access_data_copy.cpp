#include "export/access_data_copy.h"

#include <exception>
#include <fstream>
#include <optional>

#include "export/access_export.h"
#include "export/export_table_name.h"
#include "generator/blob_files.h"
#include "generator/blob_type.h"
#include "platform/formatting/format_float.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill {

namespace {

void WriteTemporaryFile(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw jet::JetWriteError("Cannot write the temporary file " + path + ".");
}

// A BLOB value: the file's bytes (saveasraw) or the path of the file written
// for it; nothing when the options extract no files or no known type starts
// in it.
std::optional<jet::Variant> BlobValue(const AccessDataCopyContext& context, const Field& field,
                                      const std::string& access_name, int64_t row_number) {
  const Settings& settings = context.settings;
  if (field.IsNull() || !settings.extract_files) return std::nullopt;
  if (settings.save_as_raw) {
    const BlobDetection detection = DetectBlobType(field, settings);
    if (detection.offset < 0) return std::nullopt;
    WriteTemporaryFile(context.temporary_file, std::string_view(field.RawText()).substr(detection.offset));
    jet::Stream stream;
    stream.SetType(jet::kAdTypeBinary);
    stream.Open();
    stream.LoadFromFile(context.temporary_file);
    jet::Variant content = stream.Read();
    stream.Close();
    return content;
  }
  const std::string folder =
      BlobFileLayout(settings.blob_path, context.ui.SelectedNodeCaption(), access_name, field);
  const std::optional<std::string> extension =
      SaveBlobToFile(field, folder, static_cast<uint32_t>(row_number), settings);
  if (!extension) return std::nullopt;
  return folder + "/" + std::to_string(row_number) + "." + *extension;
}

// The value a source field gives its column, or nothing when the column
// keeps the new row's default.
std::optional<jet::Variant> CopiedValue(const AccessDataCopyContext& context, const Field& field,
                                        const std::string& access_name, int64_t row_number) {
  const FieldKind kind = field.Kind();
  if (kind == FieldKind::ftBlob) {
    // A null BLOB has no text; an empty one has nothing to extract.
    if (field.IsNull() || field.RawText().empty()) return std::nullopt;
    return BlobValue(context, field, access_name, row_number);
  }
  const std::string text = field.AsString();
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
    case FieldKind::ftVarBytes: return std::nullopt;
    default: return text;
  }
}

}  // namespace

bool CopyTableData(const AccessDataCopyContext& context, const std::string& listed_name,
                   const std::string& mdb_file, Dataset& source, int64_t row_limit, bool keep_schema) {
  jet::Connection connection;
  connection.Open(AccessConnectionString(mdb_file, context.settings));
  const std::string access_name = AccessTableName(listed_name, keep_schema, context.settings);
  jet::Recordset recordset;
  recordset.Open(access_name, connection, jet::kAdOpenKeyset, jet::kAdLockOptimistic, jet::kAdCmdTableDirect);

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
        const std::optional<jet::Variant> value = CopiedValue(context, source.FieldAt(k), access_name, row_number);
        if (value) recordset.Fields().Item(static_cast<std::size_t>(k)).SetValue(*value);
      }
      recordset.Update();
      if (row_number == row_limit) {
        source.Last();
      } else {
        source.Next();
      }
      context.ui.SetProgressPosition(context.ui.ProgressPosition() + 1);
    }
  } catch (const std::exception&) {
    completed = false;
  }
  recordset.Close();
  connection.Close();
  return completed;
}

}  // namespace quill
