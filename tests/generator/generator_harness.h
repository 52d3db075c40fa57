#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "fixtures/scripted_user_interface.h"
#include "generator/script_generator.h"
#include "sources/dsn_login_store.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace quill::testing {

// 2026-03-04 05:06:07, as every generator test's clock gives it; the C
// locale's formats write it "2026-03-04" and "05:06:07".
inline DateTime FixedNow() { return DateTime{2026, 3, 4, 5, 6, 7, 0}; }
inline constexpr const char* kStamp = "2026-03-04 - 05:06:07";

// A whole generator as the main window holds it: the live settings, a
// scripted user interface, the login store and the source session, and a
// fixed clock. The settings start as a test wants most of the time: MS SQL,
// debug mode off.
struct GeneratorHarness {
  GeneratorHarness()
      : program_folder(MakeProgramFolder()),
        logins(program_folder.string(), ui),
        session(settings, logins, ui),
        generator(settings, session, ui, &FixedNow) {
    settings.format = TargetDialect::MsSql;
    settings.debug_mode = false;
  }
  ~GeneratorHarness() {
    std::error_code ignored;
    std::filesystem::remove_all(program_folder, ignored);
  }

  // The lines of the one tab the run added.
  std::vector<std::string> Script() const { return ui.tabs().at(0).script.Items(); }
  // The script as the editor shows it: every item followed by CR LF.
  std::string ScriptText() const {
    std::string text;
    for (const std::string& item : Script()) text += item + "\r\n";
    return text;
  }

  // A new folder of its own: a name made of the process id may be one that an
  // ended process left behind, with its settings in it.
  static std::filesystem::path MakeProgramFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quill_generator_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder like " + pattern);
    return pattern;
  }

  Settings settings;
  ScriptedUserInterface ui;
  std::filesystem::path program_folder;
  DsnLoginStore logins;
  SourceSession session;
  ScriptGenerator generator;
};

}  // namespace quill::testing
