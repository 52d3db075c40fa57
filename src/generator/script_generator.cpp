#include "generator/script_generator.h"

#include <exception>
#include <utility>

#include "generator/dialect_names.h"
#include "generator/dialect_values.h"
#include "generator/log_stamp.h"
#include "generator/script_header.h"
#include "generator/table_names.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

const std::string kDashes(56, '-');

}  // namespace

ScriptGenerator::ScriptGenerator(Settings& settings, SourceSession& session, UserInterface& ui, Clock clock)
    : settings_(settings), session_(session), ui_(ui), clock_(std::move(clock)) {}

void ScriptGenerator::GenerateScript(const std::string& source_name, const std::string& table_name) {
  run_ = ScriptRunState{};
  table_.reset();
  primary_keys_.reset();
  run_.source_name = source_name;
  run_.listed_table_name = table_name;
  run_.tab_caption = settings_.underscore ? ReplaceAll(table_name, ' ', '_') : table_name;
  run_.tab_image = 2;
  ui_.SetProgressPosition(0);
  ui_.SetProgressMinimum(0);

  run_.dialect_name = DialectName(settings_.format);
  // The session statements follow the header lines, before any literal.
  run_.script_lines.AppendItem(ScriptHeader(settings_, clock_) + ScriptSessionStart(settings_.format));

  if (!SelectTablesForScript(table_name)) return;

  for (run_.table_index = 0; run_.table_index < static_cast<int>(run_.tables_to_process.size());
       ++run_.table_index) {
    if (ui_.EscapePressed()) {
      run_.escape_pressed = true;
      break;
    }
    ProcessTable();
    // A stop during the rows of a table ends the run as well.
    if (run_.escape_pressed) break;
  }
  ShowScriptResult();
}

bool ScriptGenerator::SelectTablesForScript(const std::string& table_name) {
  session_.ConnectToSource(run_.source_name);
  run_.tables_to_process.clear();

  if (!table_name.empty()) {
    run_.tables_to_process.push_back(table_name);
    ui_.AddLogLine("Type of SQL : " + run_.dialect_name + " - Source : " + run_.source_name +
                   " - Table : " + table_name);
    return true;
  }

  std::vector<std::string> listed;
  session_.GetTableNames(listed);
  if (listed.empty() && ui_.ShowMessageBox(messages_.msg_no_tables_found, MessageIcon::Question,
                                           MessageButtons::YesNo) == MessageAnswer::Yes) {
    settings_.extr_from_system = true;
    session_.GetTableNames(listed);
  }

  std::vector<std::string> chosen;
  if (!ui_.SelectTables(listed, messages_.select_window_caption + run_.source_name, chosen)) return false;
  run_.tables_to_process = std::move(chosen);

  if (HasDuplicateTableNames(run_.tables_to_process) &&
      ui_.ShowMessageBox(messages_.msg_dupl_tbl_nm_found, MessageIcon::Warning, MessageButtons::YesNo,
                         /*default_is_no=*/true) != MessageAnswer::Yes) {
    return false;
  }

  if (SeveralTables() && settings_.content != ContentMode::DataOnly &&
      ui_.ShowMessageBox(messages_.msg_do_you_want, MessageIcon::Question, MessageButtons::YesNo) ==
          MessageAnswer::Yes &&
      !ui_.RunForeignKeyDesigner(run_.tables_to_process, foreign_key_scripts_)) {
    return false;
  }

  ui_.AddLogLine(kDashes);
  ui_.AddLogLine(LogStamp(clock_) + " Start of script.");
  run_.tab_caption = run_.source_name + "_Sel_Tables";
  run_.tab_image = 16;
  ui_.AddLogLine("Type of SQL : " + run_.dialect_name + " - Source : " + run_.source_name +
                 " - Table : Selected Tables (" + std::to_string(run_.tables_to_process.size()) + ")");

  ui_.SetProgressMaximum(static_cast<int>(run_.tables_to_process.size()) + 1);
  if (settings_.content != ContentMode::DataOnly && foreign_key_scripts_.drop_existing) {
    run_.script_lines.AppendItem(foreign_key_scripts_.drop_constraint_script);
  }
  foreign_key_scripts_.drop_constraint_script.clear();
  return true;
}

void ScriptGenerator::Warn(const std::string& message, int dx, const std::string& log_text) {
  if (!SeveralTables() || !settings_.disable_warn) ui_.ShowPlacedMessage(message, dx, 60);
  ui_.AddColoredLine(log_text, kLogRed);
}

void ScriptGenerator::ProcessTable() {
  run_.empty_table = false;
  run_.table_failed = false;
  run_.select_row_mode = false;
  run_.primary_key_marked = false;
  run_.table_text.clear();

  const std::string& listed_name = run_.tables_to_process[run_.table_index];
  std::string status = messages_.status_generate + listed_name;
  if (SeveralTables()) {
    status += " (" + std::to_string(run_.table_index + 1) + "/" + std::to_string(run_.tables_to_process.size()) +
              ")";
  }
  ui_.SetStatusText(status + messages_.status_abort);

  try {
    PrepareTable();
    WriteTable();
  } catch (const std::exception& error) {
    const std::string message = messages_.msg_error_w_tabl + listed_name + " : " + error.what();
    Warn(message, 200,
         LogStamp(clock_) + " Error with table : " + listed_name + " : " + error.what());
    run_.table_failed = true;
  }
  // A table whose rows were stopped with Escape is not complete.
  if (!run_.table_failed && !run_.escape_pressed) ui_.AddLogLine(LogStamp(clock_) + " Table : " + listed_name + " - OK");
}

void ScriptGenerator::PrepareTable() {
  const std::string listed_name = run_.tables_to_process[run_.table_index];
  run_.text_file_table = IsTextFileTable(listed_name);

  table_.reset();
  primary_keys_.reset();
  const bool bracketed = settings_.extr_from_system || run_.text_file_table;
  session_.RefreshLogin(run_.source_name);
  session_.connection().Open(session_.CurrentLogin().user_name, session_.CurrentLogin().password);
  run_.listed_table_name = listed_name;

  if (!bracketed) {
    primary_keys_ = session_.connection().OpenSchema(SchemaKind::PrimaryKeys, ListedTableRestrictions(listed_name));
    for (const std::string& note : primary_keys_->ReadingNotes()) {
      ui_.AddColoredLine(LogStamp(clock_) + " Table : " + listed_name + " - " + note, kLogRed);
    }
  }
  table_ = session_.connection().OpenTable(bracketed ? "[" + listed_name + "]" : listed_name);
  for (const std::string& note : table_->ReadingNotes()) {
    ui_.AddColoredLine(LogStamp(clock_) + " Table : " + listed_name + " - " + note, kLogRed);
  }

  if (table_->Eof()) {
    run_.empty_table = true;
    run_.table_failed = true;
    const std::string message = messages_.msg_cant_get_data + listed_name + ".";
    Warn(message, 100, LogStamp(clock_) + " " + message);
  }

  OutputTableNameParts parts = OutputTableNameFor(settings_, listed_name, run_.text_file_table);
  if (run_.distinct_output_names.size() != run_.tables_to_process.size()) {
    run_.distinct_output_names = DistinctTableNames(settings_, run_.tables_to_process);
  }
  if (const std::string& distinct = run_.distinct_output_names[run_.table_index]; distinct != parts.name) {
    ui_.AddLogLine(LogStamp(clock_) + " Table : " + listed_name + " is written " + distinct +
                   (distinct == DialectTableForm(settings_, parts.name)
                        ? ", the longest name this dialect takes."
                        : ", as this dialect would give it the name of another table."));
    parts.name = distinct;
  }
  run_.output_schema = parts.schema;
  run_.output_name = parts.name;
  run_.output_table_name = JoinOutputTableName(settings_.format, parts);
  run_.row_limit = settings_.debug_mode ? kDebugRowLimit : kNoRowLimit;
}

void ScriptGenerator::WriteTable() {
  TableWriter writer{settings_, ui_, run_, *table_, primary_keys_.get()};
  SayRenamedColumns(settings_, *table_, ui_, run_.listed_table_name);
  // The values written NULL or left out are said also when the table fails
  // part way.
  const auto say_values = [&] {
    writer.lost_values.Report();
    writer.left_out_blobs.Report();
    for (const std::string& folder : run_.blob_file_names.TakeSuffixedPaths()) {
      ui_.AddLogLine(LogStamp(clock_) + " BLOB files written in : " + folder);
    }
  };
  try {
    switch (settings_.format) {
      case TargetDialect::MsSql: EmitMsSqlTable(writer); break;
      case TargetDialect::Oracle: EmitOracleTable(writer); break;
      case TargetDialect::Pervasive: EmitPervasiveTable(writer); break;
      case TargetDialect::MySql: EmitMySqlTable(writer); break;
      case TargetDialect::PostgreSql: EmitPostgresTable(writer); break;
    }
  } catch (...) {
    say_values();
    throw;
  }
  say_values();
}

}  // namespace quill
