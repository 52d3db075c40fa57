#include "export/export_run.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <utility>

#include "common/progress_steps.h"
#include "common/safe_file_name.h"
#include "common/silent_abort.h"
#include "export/access_data_copy.h"
#include "export/access_export.h"
#include "export/csv_export.h"
#include "export/export_table_name.h"
#include "export/xml_export.h"
#include "generator/log_stamp.h"
#include "generator/lost_value_counts.h"
#include "generator/table_names.h"

namespace quill {

namespace {

const std::string kDashes(56, '-');
constexpr int kDebugRowLimit = 5;

}  // namespace

ExportRun::ExportRun(Settings& settings, SourceSession& session, UserInterface& ui, std::string program_folder,
                     Clock clock)
    : settings_(settings),
      session_(session),
      ui_(ui),
      program_folder_(std::move(program_folder)),
      clock_(std::move(clock)) {}

ExportRun::~ExportRun() = default;

void ExportRun::AccessExportRun(const std::string& source_name, const ChooseAccessFile& choose_file) {
  Run(Kind::Access, source_name, std::string(), choose_file);
}

void ExportRun::CsvExportRun(const std::string& source_name, const std::string& folder) {
  Run(Kind::Csv, source_name, folder, ChooseAccessFile());
}

void ExportRun::XmlExportRun(const std::string& source_name, const std::string& folder) {
  Run(Kind::Xml, source_name, folder, ChooseAccessFile());
}

void ExportRun::Run(Kind kind, const std::string& source_name, const std::string& folder,
                    const ChooseAccessFile& choose_file) {
  if (kind != Kind::Access && folder.empty()) return;
  if (!ChooseTables(source_name)) return;
  keep_schema_ = DecideKeepSchema(kind);
  file_names_ = RunFileNames();
  blob_folders_ = RunFileNames();

  if (kind == Kind::Access) {
    mdb_file_ = choose_file();
    if (mdb_file_.empty()) return;
    // The new file replaces an earlier one only when it is complete.
    access_ = std::make_unique<AccessExport>(settings_, ui_);
    access_->CreateAccessDatabase(mdb_file_);
  }
  stop_ = std::make_unique<RunStop>(ui_);

  const char* what = kind == Kind::Access ? "Access file" : kind == Kind::Csv ? "Excel csv file" : "xml file";
  ui_.SetStatusText(kind == Kind::Access ? messages_.status_gen_access
                    : kind == Kind::Csv  ? messages_.status_gen_csv
                                         : messages_.status_gen_xml);
  ui_.AddLogLine(kDashes);
  ui_.AddLogLine(LogStamp(clock_) + " Start of generating " + what + "... " + std::to_string(TableCount()) +
                 " tables to export.");
  ui_.SetProgressPosition(0);
  ui_.SetProgressMaximum(TableCount());

  try {
    for (int i = 0; i < TableCount() && !stop_->Poll(); ++i) {
      const std::string& listed_name = tables_[i];
      switch (kind) {
        case Kind::Access: ExportAccessTable(source_name, listed_name, i); break;
        case Kind::Csv:
          try {
            OpenTable(kind, source_name, listed_name);
            if (HasRows(listed_name)) ExportCsvTable(listed_name, folder);
          } catch (const SilentAbort&) {
            throw;
          } catch (const std::exception& error) {
            LogFailure(LogStamp(clock_) + " Table " + listed_name + " not exported.", error.what());
          }
          ui_.SetProgressPosition(i + 1);
          break;
        case Kind::Xml:
          try {
            OpenTable(kind, source_name, listed_name);
            if (HasRows(listed_name)) ExportXmlTable(listed_name, folder, i);
          } catch (const SilentAbort&) {
            throw;
          } catch (const std::exception& error) {
            LogFailure(LogStamp(clock_) + " Table " + listed_name + " not exported.", error.what());
          }
          AdvanceProgress(ui_);
          break;
      }
    }
  } catch (...) {
    // Leaving early (a silent abort) still keeps the tables written so far.
    CloseAccessFile();
    throw;
  }

  CloseAccessFile();
  ui_.AddLogLine(LogStamp(clock_) + (kind == Kind::Access ? " End of generating Access file."
                                     : kind == Kind::Csv  ? " End of generating Excel csv file(s)."
                                                          : " End of generating xml file(s)."));
  ui_.AddLogLine(kDashes);
  if (settings_.debug_mode) ui_.ShowPlacedMessage(messages_.msg_debug_mode_on, 150, 60);
  ui_.SetProgressPosition(ui_.ProgressMaximum());
  ui_.SetStatusText(messages_.status_ready);
}

void ExportRun::CloseAccessFile() {
  if (!access_) return;
  std::unique_ptr<AccessExport> access = std::move(access_);
  std::error_code ignored;
  if (access->TablesCreated() == 0 && std::filesystem::exists(mdb_file_, ignored)) {
    // Nothing was written: the earlier file stays rather than an empty one.
    access->AbandonAccessDatabase();
    ui_.AddColoredLine(LogStamp(clock_) + " No table was exported; " + mdb_file_ + " is left as it was.", kLogRed);
    return;
  }
  try {
    access->CloseAccessDatabase();
  } catch (const std::exception& error) {
    ui_.AddColoredLine(LogStamp(clock_) + " " + error.what(), kLogRed);
  }
}

bool ExportRun::ChooseTables(const std::string& source_name) {
  session_.ConnectToSource(source_name);
  std::vector<std::string> listed;
  session_.GetTableNames(listed);
  tables_.clear();
  return ui_.SelectTables(listed, messages_.select_window_caption + source_name, tables_);
}

bool ExportRun::DecideKeepSchema(Kind kind) {
  if (kind != Kind::Access && ShouldAskToRemoveSchema(tables_)) {
    return ui_.ShowMessageBox(messages_.msg_same_schema, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::No;
  }
  return SchemasDiffer(tables_);
}

void ExportRun::OpenTable(Kind kind, const std::string& source_name, const std::string& listed_name) {
  table_.reset();
  const bool bracketed = settings_.extr_from_system || (kind == Kind::Access && IsTextFileTable(listed_name));
  session_.RefreshLogin(source_name);
  session_.connection().Open(session_.CurrentLogin().user_name, session_.CurrentLogin().password);
  table_ = session_.connection().OpenTable(bracketed ? "[" + listed_name + "]" : listed_name);
}

void ExportRun::SetTableStatus(const std::string& listed_name) {
  ui_.SetStatusText(messages_.status_generate + listed_name + messages_.status_abort);
}

bool ExportRun::HasRows(const std::string& listed_name) {
  const bool has_rows = !table_->Eof();
  if (!has_rows) ui_.AddColoredLine(LogStamp(clock_) + " " + messages_.msg_cant_get_data + listed_name + ".", kLogRed);
  SetTableStatus(listed_name);
  return has_rows;
}

int64_t ExportRun::RowLimit() {
  if (settings_.debug_mode) return kDebugRowLimit;
  return table_->RecordCount().value_or(kAllRows);
}

void ExportRun::LogFailure(const std::string& line, const std::string& reason) {
  ui_.AddColoredLine(line, kLogRed);
  if (!reason.empty()) ui_.AddColoredLine(LogStamp(clock_) + " " + reason, kLogRed);
}

void ExportRun::LogSuffixedBlobFolders() {
  for (const std::string& folder : blob_folders_.TakeSuffixedPaths()) {
    ui_.AddLogLine(LogStamp(clock_) + " BLOB files written in : " + folder);
  }
}

void ExportRun::SetRowProgress(int index, int64_t rows) {
  if (rows <= 0) {
    ui_.SetProgressMaximum(TableCount());
    ui_.SetProgressPosition(index + 1);
  } else {
    ui_.SetProgressMaximum(ProgressProduct(TableCount(), rows));
    ui_.SetProgressPosition(ProgressProduct(index, rows));
  }
}

void ExportRun::LogChangedFileName(const std::string& folder, const std::string& name, const std::string& extension,
                                   const std::string& path) {
  if (path != folder + "/" + name + extension) {
    ui_.AddLogLine(LogStamp(clock_) + " File written : " + path);
  }
}

std::vector<std::string> ExportRun::KeyColumnNames(const std::string& listed_name) {
  std::unique_ptr<Dataset> keys =
      session_.connection().OpenSchema(SchemaKind::PrimaryKeys, ListedTableRestrictions(listed_name));
  for (const std::string& note : keys->ReadingNotes()) {
    ui_.AddColoredLine(LogStamp(clock_) + " Table " + listed_name + " - " + note, kLogRed);
  }
  Field* column_name = keys->FindField("COLUMN_NAME");
  if (column_name == nullptr) return {};
  // The position in the key: KEY_SEQ from ODBC, ORDINAL from the file sources;
  // without either the rowset's order.
  Field* position = keys->FindField("KEY_SEQ");
  if (position == nullptr) position = keys->FindField("ORDINAL");
  std::vector<std::pair<int64_t, std::string>> columns;
  for (; !keys->Eof(); keys->Next()) {
    const int64_t at = position != nullptr ? position->AsInteger() : static_cast<int64_t>(columns.size());
    columns.emplace_back(at, column_name->AsString());
  }
  std::stable_sort(columns.begin(), columns.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (auto& column : columns) names.push_back(std::move(column.second));
  return names;
}

void ExportRun::ExportAccessTable(const std::string& source_name, const std::string& listed_name, int index) {
  const bool text_file_table = IsTextFileTable(listed_name);
  std::vector<std::string> key_columns;
  bool created = false;
  std::string reason;
  try {
    OpenTable(Kind::Access, source_name, listed_name);
    if (!settings_.extr_from_system && !text_file_table) key_columns = KeyColumnNames(listed_name);
    SetTableStatus(listed_name);
    created = access_->CreateAccessTable(listed_name, mdb_file_, *table_, keep_schema_, key_columns);
  } catch (const SilentAbort&) {
    throw;
  } catch (const std::exception& error) {
    reason = error.what();
  }
  if (created) {
    ui_.AddLogLine(LogStamp(clock_) + " Structure of table " + listed_name + " created.");
    // Beyond the "." that always becomes "_": characters an Access name cannot hold.
    const std::string table_in_file = access_->TableNameInFile(listed_name, keep_schema_);
    if (table_in_file != ReplaceAll(ExportTableName(listed_name, keep_schema_, settings_), '.', '_')) {
      ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " is named " + table_in_file +
                     " in the Access file.");
    }
    for (const auto& [source_name, access_name] : access_->RenamedColumns()) {
      ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " : column " + source_name + " is named " +
                     access_name + " in the Access file.");
    }
    try {
      CopyAccessRows(listed_name, index);
    } catch (const SilentAbort&) {
      throw;
    } catch (const std::exception& error) {
      LogFailure(LogStamp(clock_) + " Problems during data transfer of table " + listed_name + ", table skipped.",
                 error.what());
    }
  } else {
    LogFailure(LogStamp(clock_) + " " + " Structure of table " + listed_name + " could not be created... skipping",
               reason);
  }

  if (!key_columns.empty() && !text_file_table &&
      !access_->SetAccessPrimaryKey(listed_name, key_columns, keep_schema_)) {
    std::string names;
    for (const std::string& column : key_columns) names += (names.empty() ? "" : ", ") + column;
    const std::string text = "Primary key : " + names + " could not be set on table : " + listed_name;
    ui_.AddColoredLine(LogStamp(clock_) + " " + text, kLogRed);
    if (!settings_.disable_warn) ui_.ShowMessageBox(text, MessageIcon::Warning, MessageButtons::Ok);
  }
  AdvanceProgress(ui_);
}

void ExportRun::CopyAccessRows(const std::string& listed_name, int index) {
  if (table_->Eof()) {
    ui_.AddColoredLine(LogStamp(clock_) + " " + messages_.msg_cant_get_data + listed_name + ".", kLogRed);
    return;
  }
  int64_t row_limit = kAllRows;
  try {
    row_limit = RowLimit();
  } catch (const std::exception&) {
    row_limit = kAllRows;  // a count that cannot be read limits nothing
  }
  SetRowProgress(index, row_limit);
  const AccessDataCopyContext context{settings_, ui_,
                                      (std::filesystem::path(program_folder_) / "tmp" / "file.tmp").string(), *stop_,
                                      blob_folders_};
  std::string reason;
  const bool copied = CopyTableData(context, listed_name, mdb_file_, *table_, row_limit,
                                    access_->TableNameInFile(listed_name, keep_schema_), &reason);
  LogSuffixedBlobFolders();
  if (copied) {
    ui_.AddLogLine(LogStamp(clock_) + " Content of table " + listed_name + " exported.");
  } else {
    // Red like every other table that fails, with what ended it; the rows
    // copied before stay.
    LogFailure(LogStamp(clock_) + " Problems during data transfer of table " + listed_name + ", table skipped.",
               reason);
  }
}

void ExportRun::ExportCsvTable(const std::string& listed_name, const std::string& folder) {
  const int64_t row_limit = RowLimit();
  const std::string name = ExportTableName(listed_name, keep_schema_, settings_);
  const std::string path = folder + "/" + file_names_.NameIn(folder, listed_name, name, ".csv");
  LostValueCounts changed_text(ui_, listed_name);
  if (WriteCsvFile(*table_, path, row_limit, *stop_, changed_text)) {
    ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " exported.");
    LogChangedFileName(folder, name, ".csv", path);
    changed_text.Report();
  } else {
    ui_.AddColoredLine(LogStamp(clock_) + " Table " + listed_name + " not exported.", kLogRed);
  }
}

void ExportRun::ExportXmlTable(const std::string& listed_name, const std::string& folder, int index) {
  std::optional<int64_t> count;
  try {
    count = table_->RecordCount();
  } catch (const std::exception&) {
    count.reset();
  }
  SetRowProgress(index, count.value_or(0));
  const std::string name = ExportTableName(listed_name, keep_schema_, settings_);
  const std::string path = folder + "/" + file_names_.NameIn(folder, listed_name, name, ".xml");
  const XmlExportContext context{settings_, ui_, clock_, *stop_, blob_folders_, listed_name};
  std::string reason;
  const bool exported = ExportTableToXml(context, *table_, path, name, &reason);
  LogSuffixedBlobFolders();
  if (exported) {
    ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " exported.");
    LogChangedFileName(folder, name, ".xml", path);
  } else {
    LogFailure(LogStamp(clock_) + " Table " + listed_name + " not exported.", reason);
  }
}

}  // namespace quill
