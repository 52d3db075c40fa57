#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "fixtures/scripted_user_interface.h"
#include "fixtures/test_database.h"
#include "sources/dsn_login_store.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace quill::testing {

// 2026-03-04 05:06:07; the C locale's formats write it "2026-03-04" and
// "05:06:07".
inline DateTime ExportNow() { return DateTime{2026, 3, 4, 5, 6, 7, 0}; }
inline const std::string kExportStamp = "2026-03-04 - 05:06:07";
inline const std::string kDashLine(56, '-');

// A table of one integer key column "n" holding 1 to rows.
inline TableDescription NumberTable(const std::string& name, int rows) {
  TableDescription table{name, {{"n", "INTEGER"}}, {"n"}, {}};
  for (int i = 1; i <= rows; ++i) table.rows.push_back({std::to_string(i)});
  return table;
}

// The scripted windows, with something to do at an Escape poll (a poll is
// where a run stands between tables or rows): on_poll gets the poll's number.
class PollingUserInterface : public ScriptedUserInterface {
 public:
  bool EscapePressed() override {
    const bool pressed = ScriptedUserInterface::EscapePressed();
    if (on_poll) on_poll(escape_polls());
    return pressed;
  }
  std::function<void(int)> on_poll;
};

// An export as the main window holds it: the live settings (debug mode off),
// a scripted user interface, the login store, the source session, a fixed
// clock, and a program folder with its "tmp" folder; out is a fresh folder
// for the exported files.
struct ExportHarness {
  ExportHarness()
      : program_folder(NewFolder("program")),
        out(NewFolder("out")),
        logins(program_folder.string(), ui),
        session(settings, logins, ui),
        run(settings, session, ui, program_folder.string() + "/", &ExportNow) {
    settings.debug_mode = false;
    std::filesystem::create_directories(program_folder / "tmp");
  }
  ~ExportHarness() {
    std::error_code ignored;
    std::filesystem::remove_all(program_folder, ignored);
    std::filesystem::remove_all(out, ignored);
  }

  std::string OutFile(const std::string& name) const { return (out / name).string(); }
  std::string Contents(const std::string& name) const {
    std::ifstream file(OutFile(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  // The names of the files in out, sorted.
  std::vector<std::string> OutFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
      if (entry.is_regular_file()) names.push_back(std::filesystem::relative(entry.path(), out).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The Access export into out/name.
  void ExportAccess(const std::string& source, const std::string& name = "NewDatabase.mdb") {
    const std::string file = OutFile(name);
    run.AccessExportRun(source, [file] { return file; });
  }

  // A new folder of its own: a name made of the process id may be one that an
  // ended process left behind.
  static std::filesystem::path NewFolder(const std::string& what) {
    std::string pattern = (std::filesystem::temp_directory_path() / ("quill_export_" + what + "_XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder like " + pattern);
    return pattern;
  }

  Settings settings;
  PollingUserInterface ui;
  std::filesystem::path program_folder;
  std::filesystem::path out;
  DsnLoginStore logins;
  SourceSession session;
  ExportRun run;
};

}  // namespace quill::testing
