// The end of a script run: the foreign-key tail, the new tab with its summary,
// the end lines of the log, or the abort report.

#include <exception>
#include <string>
#include <utility>

#include "common/script_document.h"
#include "generator/log_stamp.h"
#include "generator/script_generator.h"
#include "generator/script_header.h"

namespace quill {

namespace {

std::string ScriptTabName(std::string caption) {
  for (char& c : caption) {
    if (c == '.' || c == ' ' || c == '$') c = '_';
  }
  return caption;
}

std::string DatesLine(const Settings& settings) {
  if (settings.convert) return "Dates : Convert";
  if (settings.formatting) return "Dates : Format";
  if (settings.leave) return "Dates : As they are";
  return {};
}

std::string ColumnsLine(Dataset* table) {
  if (table == nullptr) return "Columns : Unknown";
  return "Columns : " + std::to_string(table->FieldCount());
}

std::string RecordsLine(Dataset* table) {
  if (table == nullptr) return "Records : Unknown";
  try {
    const auto count = table->RecordCount();
    if (count) return "Records : " + std::to_string(*count);
  } catch (const std::exception&) {
    // an unreadable count is reported as unknown
  }
  return "Records : Unknown";
}

}  // namespace

void ScriptGenerator::ShowScriptResult() {
  if (settings_.content != ContentMode::DataOnly) {
    run_.script_lines.AppendItem(foreign_key_scripts_.add_constraint_script);
  }
  foreign_key_scripts_.add_constraint_script.clear();
  if (const std::string end = ScriptSessionEnd(settings_.format); !end.empty()) run_.script_lines.AppendItem(end);

  ScriptDocument document;
  document.tab_caption = ScriptTabName(run_.tab_caption);
  document.tab_image = run_.tab_image;

  // Stopped by the user: the loop did not reach the last table, or an Escape
  // poll said so during the rows. A table that failed mid-rows is no stop.
  const bool stopped = run_.table_index < static_cast<int>(run_.tables_to_process.size()) || run_.escape_pressed;
  if (stopped) {
    document.script.AppendItem("Aborted by user.");
    document.summary = "Aborted by user.";
    ui_.AddScriptTab(std::move(document));
    ui_.Pause(300);
    ui_.AddLogLine(LogStamp(clock_) + " - Aborted by user.");
  } else {
    document.script = std::move(run_.script_lines);  // a script can be large: no second copy
    std::string summary = "Source : " + run_.source_name;
    if (SeveralTables()) {
      summary += "\nTable : Selected tables (" + std::to_string(run_.tables_to_process.size()) + ")";
    } else {
      summary += "\nTable : " + run_.listed_table_name;
      summary += "\n" + ColumnsLine(table_.get());
      summary += "\n" + RecordsLine(table_.get());
    }
    summary += "\nLanguage : " + run_.dialect_name;
    if (const std::string dates = DatesLine(settings_); !dates.empty()) summary += "\n" + dates;
    document.summary = summary;
    ui_.AddScriptTab(std::move(document));
  }

  run_.tables_to_process.clear();
  table_.reset();
  primary_keys_.reset();
  session_.connection().Close();

  if (!stopped) {
    ui_.Pause(300);
    ui_.AddLogLine(LogStamp(clock_) + " End of script.");
  }
  ui_.AddLogLine(std::string(56, '-'));
  ui_.SetStatusText(messages_.status_ready);
  ui_.SetProgressPosition(ui_.ProgressMaximum());
  if (settings_.debug_mode && settings_.content != ContentMode::TableOnly) {
    ui_.ShowPlacedMessage(messages_.msg_debug_mode_on, 150, 60);
  }
}

}  // namespace quill
