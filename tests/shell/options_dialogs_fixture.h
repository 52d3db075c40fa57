#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "shell/date_format_dialog.h"
#include "shell/main_window.h"
#include "shell/options_dialog.h"
#include "shell_test_support.h"
#include "sources/dsn_login_store.h"
#include "sources/settings_file.h"

namespace quill::testing {

// The main window with its login store, the options dialog and the
// date-format dialog, made as at start in a temporary program folder.
class OptionsDialogsTest : public ::testing::Test {
 protected:
  OptionsDialogsTest() { TestApplication(); }

  MainWindow& Window() {
    if (!window_) {
      window_ = std::make_unique<MainWindow>(folder_.ProgramFolder(), settings_);
      window_->LoadWindowSettings(0);
      logins_ = std::make_unique<DsnLoginStore>(folder_.ProgramFolder(), *window_);
      window_->SetLoginStore(logins_.get());
    }
    return *window_;
  }

  OptionsDialog& Options() {
    if (!options_dialog_) {
      MainWindow& window = Window();
      options_dialog_ = std::make_unique<OptionsDialog>(window, settings_, *logins_, folder_.ProgramFolder());
      window.SetOptionsDialog(options_dialog_.get());
      date_dialog_ = std::make_unique<DateFormatDialog>(settings_, folder_.ProgramFolder(), options_dialog_.get());
      options_dialog_->SetDateFormatDialog(date_dialog_.get());
    }
    return *options_dialog_;
  }

  DateFormatDialog& DateDialog() {
    Options();
    return *date_dialog_;
  }

  template <typename T>
  static T* FindIn(QObject& window, const char* object_name) {
    T* found = window.findChild<T*>(object_name);
    EXPECT_NE(found, nullptr) << object_name;
    return found;
  }

  void WriteOptions(const std::string& text) { std::ofstream(folder_.path() / "options.ini") << text; }
  std::string OptionsText() const { return ReadFileBytes(folder_.path() / "options.ini"); }
  std::string OptionsPath() const { return OptionsFilePath(folder_.ProgramFolder()); }
  QString LastMessage() const { return dialogs_.messages().empty() ? QString() : dialogs_.messages().back().text; }

  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<DsnLoginStore> logins_;
  std::unique_ptr<OptionsDialog> options_dialog_;
  std::unique_ptr<DateFormatDialog> date_dialog_;
};

}  // namespace quill::testing
