#include "bench_script_run.h"

#include "common/clock.h"
#include "generator/script_generator.h"
#include "sources/dsn_login_store.h"
#include "sources/source_session.h"

namespace quill::bench {

void RunScript(const std::filesystem::path& folder, TargetDialect dialect, const std::string& dsn,
               const std::string& table, UserInterface& ui) {
  Settings settings;
  settings.format = dialect;
  settings.debug_mode = false;
  DsnLoginStore logins(folder.string(), ui);
  SourceSession session(settings, logins, ui);
  ScriptGenerator generator(settings, session, ui, &SystemNow);
  generator.GenerateScript(dsn, table);
}

}  // namespace quill::bench
