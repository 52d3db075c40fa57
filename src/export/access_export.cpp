#include "export/access_export.h"

#include <algorithm>
#include <exception>

#include "export/access_names.h"
#include "export/export_table_name.h"
#include "platform/jet/writer/ado_constants.h"
#include "platform/text/connection_string.h"

namespace quill {

namespace {

constexpr int kMaxAccessTextSize = 255;

}  // namespace

std::string AccessEngineType(const Settings& settings) {
  switch (settings.access) {
    case 0: return "4";
    case 1: return "5";
    default: return "";
  }
}

std::string AccessConnectionString(const std::string& mdb_file, const Settings& settings) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + ConnectionStringQuoted(mdb_file) +
         ";Jet OLEDB:Engine Type=" + AccessEngineType(settings);
}

AccessColumnType AccessColumnTypeFor(const Field& field, const Settings& settings) {
  switch (field.Kind()) {
    case FieldKind::ftString:
    case FieldKind::ftWideString:
      // A text column holds at most 255 characters; wider text goes to a memo.
      if (field.Size() > kMaxAccessTextSize) return {jet::kAdLongVarWChar, 0, true};
      return {jet::kAdWChar, field.Size(), true};
    case FieldKind::ftSmallint: return {jet::kAdSmallInt, 0, true};
    case FieldKind::ftInteger: return {jet::kAdInteger, 0, true};
    case FieldKind::ftAutoInc: return {jet::kAdInteger, 0, false};
    // Unsigned small integers reach 65535: a byte column would refuse most
    // of them, so they get a long integer column.
    case FieldKind::ftWord: return {jet::kAdInteger, 0, true};
    case FieldKind::ftLargeint: return {jet::kAdBigInt, 0, true};
    case FieldKind::ftBoolean: return {jet::kAdBoolean, 0, false};
    case FieldKind::ftFloat: return {jet::kAdDouble, 0, true};
    case FieldKind::ftCurrency: return {jet::kAdCurrency, 0, false};
    // A single keeps about seven digits and would change decimal values.
    case FieldKind::ftBCD: return {jet::kAdDouble, 0, true};
    case FieldKind::ftDate:
    case FieldKind::ftTime:
    case FieldKind::ftDateTime: return {jet::kAdDate, 0, true};
    case FieldKind::ftMemo: return {jet::kAdLongVarWChar, 0, true};
    case FieldKind::ftBlob:
      // Extracted files without raw storage leave only their path here.
      if (settings.extract_files && !settings.save_as_raw) return {jet::kAdWChar, 255, true};
      return {jet::kAdLongVarBinary, 0, true};
    case FieldKind::ftGuid: return {jet::kAdGuid, 0, true};
    // Binary values keep their bytes in an OLE column, rather than leave a
    // text column empty.
    case FieldKind::ftBytes:
    case FieldKind::ftVarBytes: return {jet::kAdLongVarBinary, 0, true};
    case FieldKind::ftUnknown: break;
  }
  return {jet::kAdWChar, 50, true};
}

AccessExport::AccessExport(const Settings& settings, UserInterface& ui) : settings_(settings), ui_(ui) {}

void AccessExport::CreateAccessDatabase(const std::string& mdb_file) {
  export_catalog_ = std::make_unique<jet::Catalog>();
  export_catalog_->Create(AccessConnectionString(mdb_file, settings_));
}

void AccessExport::MapAccessColumn(Dataset& source, jet::Table& table, const std::vector<std::string>& key_columns,
                                   const std::vector<std::string>& column_names) {
  for (int k = 0; k < source.FieldCount(); ++k) {
    const Field& field = source.FieldAt(k);
    AccessColumnType mapped = AccessColumnTypeFor(field, settings_);
    const bool key = std::find(key_columns.begin(), key_columns.end(), field.Name()) != key_columns.end();
    // A memo column cannot carry the key; key values are short, so a key
    // column of unbounded text becomes a text column of the most characters.
    if (key && mapped.type == jet::kAdLongVarWChar) mapped = {jet::kAdWChar, kMaxAccessTextSize, mapped.nullable};
    jet::Column column;
    column.SetParentCatalog(*export_catalog_);
    column.SetName(column_names[static_cast<std::size_t>(k)]);
    column.SetType(mapped.type);
    column.SetDefinedSize(mapped.defined_size);
    column.Properties().Item("Description").SetValue(std::string());
    // Key columns stay nullable here: a source whose key holds Null (SQLite
    // allows it) keeps all its rows, and only the key, which the format
    // cannot set over Null, fails. Setting the key makes them required.
    column.Properties().Item("Nullable").SetValue(mapped.nullable);
    column.Properties().Item("Jet OLEDB:Allow Zero Length").SetValue(false);
    column.Properties().Item("Jet OLEDB:Compressed UNICODE Strings").SetValue(true);
    table.Columns().Append(column, mapped.type, mapped.defined_size);
  }
}

std::string AccessExport::TableNameInFile(const std::string& listed_name, bool keep_schema) {
  const auto given = table_in_file_.find(listed_name);
  if (given != table_in_file_.end()) return given->second;
  const std::string plain = AccessTableName(listed_name, keep_schema, settings_);
  const std::string name = table_names_.Claim([&](std::string_view suffix) {
    return suffix.empty() ? plain : AccessObjectName(plain, IsAccess97File(settings_), suffix);
  });
  table_in_file_.emplace(listed_name, name);
  return name;
}

bool AccessExport::CreateAccessTable(const std::string& listed_name, const std::string& /*mdb_file*/,
                                     Dataset& source, bool keep_schema,
                                     const std::vector<std::string>& key_columns) {
  const std::string access_name = TableNameInFile(listed_name, keep_schema);
  renamed_columns_.clear();
  try {
    std::vector<std::string> field_names;
    for (int k = 0; k < source.FieldCount(); ++k) field_names.push_back(source.FieldAt(k).Name());
    const std::vector<std::string> column_names = AccessColumnNames(field_names, IsAccess97File(settings_));
    std::map<std::string, std::string>& names = column_names_[access_name];
    names.clear();
    for (std::size_t k = 0; k < field_names.size(); ++k) {
      names.emplace(field_names[k], column_names[k]);
      if (column_names[k] != field_names[k]) renamed_columns_.emplace_back(field_names[k], column_names[k]);
    }
    jet::Table table;
    table.SetParentCatalog(*export_catalog_);
    table.SetName(access_name);
    MapAccessColumn(source, table, key_columns, column_names);
    export_catalog_->Tables().Append(table);
    ++tables_created_;
    return true;
  } catch (const std::exception& error) {
    if (!settings_.disable_warn) {
      ui_.ShowMessageBox("Error with table : " + access_name + " : " + error.what(), MessageIcon::Error,
                         MessageButtons::Ok);
    }
    return false;
  }
}

bool AccessExport::SetAccessPrimaryKey(const std::string& listed_name, const std::vector<std::string>& key_columns,
                                       bool keep_schema) {
  try {
    const std::string access_name = TableNameInFile(listed_name, keep_schema);
    jet::Table& table = export_catalog_->Tables().Item(access_name);
    const std::map<std::string, std::string>& names = column_names_.at(access_name);
    jet::Key key;
    key.SetName("PrimaryKey");
    key.SetType(jet::kAdKeyPrimary);
    key.SetRelatedTable("");
    for (const std::string& key_column : key_columns) {
      const auto named = names.find(key_column);
      jet::Column& column = table.Columns().Item(named != names.end() ? named->second : key_column);
      key.Columns().Append(column.Name(), column.Type(), column.DefinedSize());
      key.Columns().Item(column.Name()).SetRelatedColumn("");
    }
    table.Keys().Append(key, jet::kAdKeyPrimary, "", "", "");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void AccessExport::AbandonAccessDatabase() { export_catalog_.reset(); }

void AccessExport::CloseAccessDatabase() {
  if (!export_catalog_) return;
  if (settings_.access == 0) ui_.Pause(1000);
  export_catalog_->Tables().Refresh();
  export_catalog_->SetActiveConnection(nullptr);
  export_catalog_.reset();
}

}  // namespace quill
