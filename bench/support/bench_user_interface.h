#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/user_interface.h"

namespace quill::bench {

// The windows, silent: messages and red lines go to stderr, the message boxes
// give one fixed answer, and of a finished script only its size is kept
// (and the script handed on to `show` when that is set).
class BenchUserInterface : public UserInterface {
 public:
  explicit BenchUserInterface(std::string selected_caption, UserInterface* show = nullptr);

  void ShowPlacedMessage(const std::string& text, int dx, int dy) override;
  MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               bool default_is_no) override;
  void ShowErrorDialog(const std::string& text) override;
  void AddLogLine(const std::string& text) override;
  void AddColoredLine(const std::string& text, uint32_t color) override;
  void SetStatusText(const std::string& text) override;
  void SetProgressMinimum(int minimum) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  int ProgressMaximum() const override;
  int ProgressPosition() const override;
  bool EscapePressed() override;
  std::string SelectedNodeCaption() const override;
  // Chooses `chosen_tables`; with none set the choice is cancelled.
  bool SelectTables(const std::vector<std::string>& listed_tables, const std::string& caption,
                    std::vector<std::string>& chosen) override;
  bool RunForeignKeyDesigner(const std::vector<std::string>& tables, ForeignKeyScripts& scripts) override;
  void AddScriptTab(ScriptDocument document) override;
  void Pause(int milliseconds) override;

  MessageAnswer answer = MessageAnswer::No;  // what every message box answers
  std::vector<std::string> chosen_tables;

  std::size_t items = 0;  // of the last script
  std::size_t bytes = 0;
  bool failed = false;  // a red line was written

 private:
  std::string selected_caption_;
  UserInterface* show_;
  int maximum_ = 100;
  int position_ = 0;
};

// Every call handed to another user interface: a base for benches that
// change one call of the real windows.
class ForwardingUserInterface : public UserInterface {
 public:
  explicit ForwardingUserInterface(UserInterface& to) : to_(to) {}

  void ShowPlacedMessage(const std::string& text, int dx, int dy) override { to_.ShowPlacedMessage(text, dx, dy); }
  MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               bool default_is_no) override {
    return to_.ShowMessageBox(text, icon, buttons, default_is_no);
  }
  void ShowErrorDialog(const std::string& text) override { to_.ShowErrorDialog(text); }
  void AddLogLine(const std::string& text) override { to_.AddLogLine(text); }
  void AddColoredLine(const std::string& text, uint32_t color) override { to_.AddColoredLine(text, color); }
  void SetStatusText(const std::string& text) override { to_.SetStatusText(text); }
  void SetProgressMinimum(int minimum) override { to_.SetProgressMinimum(minimum); }
  void SetProgressMaximum(int maximum) override { to_.SetProgressMaximum(maximum); }
  void SetProgressPosition(int position) override { to_.SetProgressPosition(position); }
  int ProgressMaximum() const override { return to_.ProgressMaximum(); }
  int ProgressPosition() const override { return to_.ProgressPosition(); }
  bool EscapePressed() override { return to_.EscapePressed(); }
  std::string SelectedNodeCaption() const override { return to_.SelectedNodeCaption(); }
  bool SelectTables(const std::vector<std::string>& listed_tables, const std::string& caption,
                    std::vector<std::string>& chosen) override {
    return to_.SelectTables(listed_tables, caption, chosen);
  }
  bool RunForeignKeyDesigner(const std::vector<std::string>& tables, ForeignKeyScripts& scripts) override {
    return to_.RunForeignKeyDesigner(tables, scripts);
  }
  void AddScriptTab(ScriptDocument document) override { to_.AddScriptTab(std::move(document)); }
  void Pause(int milliseconds) override { to_.Pause(milliseconds); }

 private:
  UserInterface& to_;
};

}  // namespace quill::bench
