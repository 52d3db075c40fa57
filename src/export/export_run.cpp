#include "export/export_run.h"

#include <exception>
#include <filesystem>
#include <utility>

#include "export/access_data_copy.h"
#include "export/access_export.h"
#include "export/csv_export.h"
#include "export/export_table_name.h"
#include "export/xml_export.h"
#include "generator/log_stamp.h"
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

  if (kind == Kind::Access) {
    mdb_file_ = choose_file();
    if (mdb_file_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(mdb_file_, ignored);
    access_ = std::make_unique<AccessExport>(settings_, ui_);
    access_->CreateAccessDatabase(mdb_file_);
  }

  const char* what = kind == Kind::Access ? "Access file" : kind == Kind::Csv ? "Excel csv file" : "xml file";
  ui_.SetStatusText(kind == Kind::Access ? messages_.status_gen_access
                    : kind == Kind::Csv  ? messages_.status_gen_csv
                                         : messages_.status_gen_xml);
  ui_.AddLogLine(kDashes);
  ui_.AddLogLine(LogStamp(clock_) + " Start of generating " + what + "... " + std::to_string(TableCount()) +
                 " tables to export.");
  ui_.SetProgressPosition(0);
  ui_.SetProgressMaximum(TableCount());

  for (int i = 0; i < TableCount() && !ui_.EscapePressed(); ++i) {
    const std::string& listed_name = tables_[i];
    switch (kind) {
      case Kind::Access: ExportAccessTable(source_name, listed_name, i); break;
      case Kind::Csv:
        OpenTable(kind, source_name, listed_name);
        if (HasRows(listed_name)) ExportCsvTable(listed_name, folder);
        ui_.SetProgressPosition(i + 1);
        break;
      case Kind::Xml:
        OpenTable(kind, source_name, listed_name);
        if (HasRows(listed_name)) ExportXmlTable(listed_name, folder, i);
        ui_.SetProgressPosition(ui_.ProgressPosition() + 1);
        break;
    }
  }

  if (access_) {
    access_->CloseAccessDatabase();
    access_.reset();
  }
  ui_.AddLogLine(LogStamp(clock_) + (kind == Kind::Access ? " End of generating Access file."
                                     : kind == Kind::Csv  ? " End of generating Excel csv file(s)."
                                                          : " End of generating xml file(s)."));
  ui_.AddLogLine(kDashes);
  if (settings_.debug_mode) ui_.ShowPlacedMessage(messages_.msg_debug_mode_on, 150, 60);
  ui_.SetProgressPosition(ui_.ProgressMaximum());
  ui_.SetStatusText(messages_.status_ready);
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

std::string ExportRun::KeyColumnName(const std::string& listed_name) {
  SchemaRestrictions restrictions;
  const std::size_t point = listed_name.find('.');
  if (point != std::string::npos) {
    restrictions.schema = listed_name.substr(0, point);
    restrictions.table = listed_name.substr(point + 1);
  } else {
    restrictions.table = listed_name;
  }
  std::unique_ptr<Dataset> keys = session_.connection().OpenSchema(SchemaKind::PrimaryKeys, restrictions);
  Field* column_name = keys->FindField("COLUMN_NAME");
  if (keys->Eof() || column_name == nullptr) return {};
  return column_name->AsString();
}

void ExportRun::ExportAccessTable(const std::string& source_name, const std::string& listed_name, int index) {
  OpenTable(Kind::Access, source_name, listed_name);
  const bool text_file_table = IsTextFileTable(listed_name);
  const std::string key_column =
      !settings_.extr_from_system && !text_file_table ? KeyColumnName(listed_name) : std::string();
  SetTableStatus(listed_name);

  const bool created = access_->CreateAccessTable(listed_name, mdb_file_, *table_, keep_schema_, key_column);
  if (created) {
    ui_.AddLogLine(LogStamp(clock_) + " Structure of table " + listed_name + " created.");
  } else {
    ui_.AddColoredLine(LogStamp(clock_) + " " + " Structure of table " + listed_name + " could not be created... skipping",
                       kLogRed);
  }

  if (created && table_->Eof()) {
    ui_.AddColoredLine(LogStamp(clock_) + " " + messages_.msg_cant_get_data + listed_name + ".", kLogRed);
  } else if (created) {
    int64_t row_limit = kAllRows;
    try {
      row_limit = RowLimit();
    } catch (const std::exception&) {
      row_limit = kAllRows;  // a count that cannot be read limits nothing
    }
    if (row_limit <= 0) {
      ui_.SetProgressMaximum(TableCount());
      ui_.SetProgressPosition(index + 1);
    } else {
      ui_.SetProgressMaximum(static_cast<int>(TableCount() * row_limit));
      ui_.SetProgressPosition(static_cast<int>(index * row_limit));
    }
    const AccessDataCopyContext context{settings_, ui_,
                                        (std::filesystem::path(program_folder_) / "tmp" / "file.tmp").string()};
    if (CopyTableData(context, listed_name, mdb_file_, *table_, row_limit, keep_schema_)) {
      ui_.AddLogLine(LogStamp(clock_) + " Content of table " + listed_name + " exported.");
    } else {
      ui_.AddLogLine(LogStamp(clock_) + " Problems during data transfer of table " + listed_name +
                     ", table skipped.");
    }
  }

  if (!key_column.empty() && !text_file_table &&
      !access_->SetAccessPrimaryKey(listed_name, key_column, keep_schema_)) {
    const std::string text = "Primary key : " + key_column + " could not be set on table : " + listed_name;
    ui_.AddColoredLine(LogStamp(clock_) + " " + text, kLogRed);
    if (!settings_.disable_warn) ui_.ShowMessageBox(text, MessageIcon::Warning, MessageButtons::Ok);
  }
  ui_.SetProgressPosition(ui_.ProgressPosition() + 1);
}

void ExportRun::ExportCsvTable(const std::string& listed_name, const std::string& folder) {
  const int64_t row_limit = RowLimit();
  const std::string path = folder + "/" + ExportTableName(listed_name, keep_schema_, settings_) + ".csv";
  if (WriteCsvFile(*table_, path, row_limit)) {
    ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " exported.");
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
  if (!count || *count <= 0) {
    ui_.SetProgressMaximum(TableCount());
    ui_.SetProgressPosition(index + 1);
  } else {
    ui_.SetProgressMaximum(static_cast<int>(TableCount() * *count));
    ui_.SetProgressPosition(static_cast<int>(*count * index));
  }
  const std::string name = ExportTableName(listed_name, keep_schema_, settings_);
  const XmlExportContext context{settings_, ui_, clock_};
  if (ExportTableToXml(context, *table_, folder + "/" + name + ".xml", name)) {
    ui_.AddLogLine(LogStamp(clock_) + " Table " + listed_name + " exported.");
  } else {
    ui_.AddColoredLine(LogStamp(clock_) + " Table " + listed_name + " not exported.", kLogRed);
  }
}

}  // namespace quill
