#pragma once

#include <memory>
#include <string>

#include "common/clock.h"
#include "common/foreign_key_scripts.h"
#include "common/user_interface.h"
#include "generator/script_messages.h"
#include "generator/script_run_state.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace quill {

// The script engine: one run per call of GenerateScript, on the caller's
// thread, talking to the windows only through the UserInterface.
class ScriptGenerator {
 public:
  ScriptGenerator(Settings& settings, SourceSession& session, UserInterface& ui, Clock clock);

  // Scripts one listed table, or, with an empty table name, the tables the
  // user chooses. Returns when the script tab is shown or the user cancelled.
  void GenerateScript(const std::string& source_name, const std::string& table_name);

  ScriptRunMessages& messages() { return messages_; }
  // The designer's scripts, pending until the next run takes them.
  ForeignKeyScripts& foreign_key_scripts() { return foreign_key_scripts_; }
  // The state of the latest run (its finished script has moved into the tab).
  const ScriptRunState& run() const { return run_; }

 private:
  // False when the user cancelled: the run ends without a tab.
  bool SelectTablesForScript(const std::string& table_name);
  void ProcessTable();
  void PrepareTable();
  void WriteTable();
  void ShowScriptResult();

  bool SeveralTables() const { return run_.tables_to_process.size() > 1; }
  // A warning of the run: shown unless several tables are scripted with the
  // warnings disabled; always logged in red.
  void Warn(const std::string& message, int dx, const std::string& log_text);

  Settings& settings_;
  SourceSession& session_;
  UserInterface& ui_;
  Clock clock_;
  ScriptRunMessages messages_;
  ForeignKeyScripts foreign_key_scripts_;

  ScriptRunState run_;
  std::unique_ptr<Dataset> table_;         // the current (at the end: the last) table
  std::unique_ptr<Dataset> primary_keys_;  // its primary-key rowset, when read
};

}  // namespace quill
