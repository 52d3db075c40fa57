#pragma once

#include <string>

#include "sources/settings.h"

namespace quill {

// "options.ini" in the program's folder (which ends with "/").
std::string OptionsFilePath(const std::string& program_folder);

// Each loader reads its keys with the current field values as defaults, each
// saver writes its keys in one go; the file is opened for the one operation.
// Savers throw InOutError when the file cannot be written, and
// std::invalid_argument, writing nothing, when a value holds a line break.

// The options dialog's keys: all of [Data] and its part of [Misc]. Read when
// the dialog is created and when it closes without OK; written on OK.
void SetPagesOptions(Settings& settings, const std::string& options_path);
void SetFileOptions(const Settings& settings, const std::string& options_path);

// The date-format dialog's nine keys of [Output].
void LoadDateFormatOptions(Settings& settings, const std::string& options_path);
void SaveDateFormatOptions(const Settings& settings, const std::string& options_path);

// The main window's keys, read when it is created. Content or Format values
// outside their range keep the current choice; Drop is on for 1 only; a
// FontStyle other than 0-3 keeps the current style; an empty MSSchema keeps
// the current schema.
void LoadMainWindowOptions(Settings& settings, const std::string& options_path);
// Written when the main window closes, with the options dialog's Quoted,
// JetEng and ExtrFromSystem. A maximized window writes Maximized=1 alone, so
// the normal bounds saved before stay in the file.
void SaveMainWindowOptions(const Settings& settings, const std::string& options_path);

// The script font, written after the font command.
void SaveFontOptions(const Settings& settings, const std::string& options_path);

// The user-interface language, read with an empty default when the main window
// is shown, and written when a language is chosen (empty for English). A
// value that is not a plain file name of the "languages" folder reads as empty.
void LoadLanguageOption(Settings& settings, const std::string& options_path);
void SaveLanguageOption(const Settings& settings, const std::string& options_path);

// Whether lang names a file directly inside the "languages" folder: not empty,
// not "." or "..", without "/", "\\" or NUL.
bool IsLanguageFileName(const std::string& lang);

}  // namespace quill
