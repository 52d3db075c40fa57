#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/foreign_key_scripts.h"
#include "common/script_document.h"

namespace quill {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

constexpr uint32_t kLogRed = 255;  // the colour value of warning lines

// What the core asks of the windows while it works. The main window implements
// it; tests use a scripted double. Every call happens on the user-interface
// thread, inside the event handler that started the work.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A plain message (OK, no icon, the application's title) whose top-left
  // corner is at the main window's centre less (dx, dy).
  virtual void ShowPlacedMessage(const std::string& text, int dx, int dy) = 0;
  // The system message box titled "Quillmarsh"; default_is_no makes No the
  // default button of a Yes/No question.
  virtual MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                       bool default_is_no = false) = 0;
  // An error message dialog with the single button OK.
  virtual void ShowErrorDialog(const std::string& text) = 0;

  // The log view: a plain line, or a line in a colour (kLogRed for warnings).
  virtual void AddLogLine(const std::string& text) = 0;
  virtual void AddColoredLine(const std::string& text, uint32_t color) = 0;

  // Status bar panel 0, repainted at once.
  virtual void SetStatusText(const std::string& text) = 0;

  // The progress bar drawn in the status bar.
  virtual void SetProgressMinimum(int minimum) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual int ProgressMaximum() const = 0;
  virtual int ProgressPosition() const = 0;

  // True when Escape is down or was pressed since the previous poll. Lets
  // pending paint events through.
  virtual bool EscapePressed() = 0;

  // The caption of the node selected in the source tree; empty when none.
  virtual std::string SelectedNodeCaption() const = 0;

  // The table-selection dialog: shows the listed names under the caption;
  // false on Cancel, else true with the chosen names in order.
  virtual bool SelectTables(const std::vector<std::string>& listed_tables, const std::string& caption,
                            std::vector<std::string>& chosen_tables) = 0;

  // The foreign-key designer shown modally over the chosen tables; false on
  // Cancel, else true with its scripts.
  virtual bool RunForeignKeyDesigner(const std::vector<std::string>& tables, ForeignKeyScripts& scripts) = 0;

  // A new script tab, made current.
  // The tab takes the document over.
  virtual void AddScriptTab(ScriptDocument document) = 0;

  // The short pauses of the run (300 ms before the last log lines).
  virtual void Pause(int milliseconds) = 0;
};

}  // namespace quill
