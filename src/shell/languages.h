#pragma once

#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace quill {

class DataSourceDialog;
class DateFormatDialog;
class ForeignKeyDesigner;
class MainWindow;
class OptionsDialog;
class ReplaceDialog;
class TableSelectionDialog;
class UpdateCheckDialog;
class WelcomePanel;

// The language list built in for "francais.lng".
inline const std::string kBuiltInLanguage = "francais.lng";

// The windows whose texts a language list replaces; any of them may be
// missing (its keys then change nothing).
struct LanguageWindows {
  MainWindow* main_window = nullptr;
  OptionsDialog* options = nullptr;
  DateFormatDialog* date_format = nullptr;
  TableSelectionDialog* table_selection = nullptr;
  ForeignKeyDesigner* designer = nullptr;
  ReplaceDialog* replace = nullptr;        // Form5
  UpdateCheckDialog* update = nullptr;     // Form8
  DataSourceDialog* add_source = nullptr;  // Form11
  WelcomePanel* welcome_panel = nullptr;
};

// The names of the "*.lng" files in the program's "languages" folder, in
// the file system's order; folders are left out.
std::vector<std::string> ListLanguageFiles(const std::string& program_folder);

// Loads a language: rebuilds the welcome panel from the language's page,
// applies the list's lines in order and records file_name in [Misc] lang of
// "options.ini". "francais.lng" is the built-in list; a missing file changes
// no text. A known key without "=" throws std::runtime_error after the lines
// before it were applied, and lang is then not recorded; so does an error
// of the welcome page, before any line.
void LoadLanguage(const LanguageWindows& windows, const std::string& program_folder, const std::string& file_name);

// Applies the lines of a language list (the bytes of a .lng file).
void ApplyLanguageList(const LanguageWindows& windows, const std::string& bytes);

// True for the keys a language list can set.
bool IsLanguageKey(const std::string& key);

// The built-in French list's bytes (Windows-1252).
std::string BuiltInLanguageList();

// Makes the Language menu work: "English (default)", "Français", and one item
// per listed file other than "francais.lng" (caption up to the first ".",
// the file name as hint), appended in list order. Errors of a load are
// shown in the main window's error box.
void InstallLanguageMenu(const LanguageWindows& windows, const std::string& program_folder);

// "English (default)": empties lang in "options.ini" and asks to restart;
// Yes closes the main window and asks for a restart (see below).
void SwitchToEnglish(MainWindow& main_window, const std::string& program_folder);

// The restart after going back to English: made by the program's entry when
// the event loop has ended, while the application object still exists and
// after the single-instance lock is released, so the new instance does not
// find the old one still running.
bool RestartRequested();
void StartProgramAgain();

}  // namespace quill
