#include "bench_window_run.h"

#include <QApplication>
#include <QTabBar>
#include <QTreeWidget>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "bench_script_run.h"
#include "bench_user_interface.h"
#include "platform/cpu/vector_state.h"
#include "shell/main_window.h"
#include "shell/script_view.h"
#include "sources/dsn_login_store.h"

namespace quill::bench {
namespace {

namespace fs = std::filesystem;

// The program's main window as a user has it after its start, on the
// bench's settings.
struct OpenWindow {
  OpenWindow(const fs::path& folder, TargetDialect dialect)
      : application(argc, argv), window(folder.string(), settings), logins(folder.string(), window) {
    window.LoadWindowSettings(0);
    window.SetLoginStore(&logins);
    settings.format = dialect;
    settings.debug_mode = false;
    window.show();
    QApplication::processEvents();
  }

  static inline int argc = 1;
  static inline char name[] = "bench";
  static inline char* argv[] = {name, nullptr};
  QApplication application;
  Settings settings;
  MainWindow window;
  DsnLoginStore logins;
};

// The table's node in the source tree, its source's tables listed as the
// user lists them before the double-click.
QTreeWidgetItem* TableNode(MainWindow& window, const std::string& dsn, const std::string& table_name) {
  window.QuietRebuildSources();
  QTreeWidgetItem* root = window.tree()->topLevelItem(0);
  QTreeWidgetItem* source_node = nullptr;
  for (int i = 0; root != nullptr && i < root->childCount(); ++i)
    if (root->child(i)->text(0).toStdString() == dsn) source_node = root->child(i);
  if (source_node == nullptr) throw std::runtime_error("no source node " + dsn);
  window.ActivateNode(source_node);
  for (int i = 0; i < source_node->childCount(); ++i) {
    QTreeWidgetItem* child = source_node->child(i);
    if (child->text(0).toStdString() == table_name) return child;
    if (child->childCount() == 0) window.ActivateNode(child);  // a schema: its tables
    for (int j = 0; j < child->childCount(); ++j) {
      QTreeWidgetItem* table = child->child(j);
      if ((child->text(0) + "." + table->text(0)).toStdString() == table_name) return table;
    }
  }
  throw std::runtime_error("no table node " + table_name);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The windows as the run sees them, but the finished script is saved to a
// file instead of shown: the same run without the script tab.
class SavingWindow : public ForwardingUserInterface {
 public:
  SavingWindow(UserInterface& window, fs::path file) : ForwardingUserInterface(window), file_(std::move(file)) {}
  void AddScriptTab(ScriptDocument document) override {
    std::ofstream out(file_, std::ios::binary);
    for (std::size_t i = 0; i < document.script.ChunkCount(); ++i) {
      const std::string_view chunk = document.script.Chunk(i);
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    bytes = document.script.size();
    seconds = SecondsSince(start);
  }
  std::chrono::steady_clock::time_point start;
  std::size_t bytes = 0;
  double seconds = 0;  // the start of the run to the saved file

 private:
  fs::path file_;
};

}  // namespace

ShownScript ShowInWindow(const fs::path& folder, TargetDialect dialect, const std::string& dsn,
                         const std::string& table) {
  OpenWindow open(folder, dialect);
  QTreeWidgetItem* node = TableNode(open.window, dsn, table);
  auto* tabs = open.window.findChild<QTabBar*>("TabControl1");
  if (tabs == nullptr) throw std::runtime_error("no tab bar");
  // The wait ends when the new tab is current and painted; the run's closing
  // pause and log lines come after what the user waits for.
  double seconds = 0;
  std::chrono::steady_clock::time_point start;
  QObject::connect(tabs, &QTabBar::currentChanged, &open.window, [&] {
    open.window.repaint();
    seconds = SecondsSince(start);
  });
  ClearUpperVectorState();  // as the window's Escape poll does when a run starts
  start = std::chrono::steady_clock::now();
  emit open.window.tree()->itemDoubleClicked(node, 0);
  if (open.window.TabCount() != 1 || seconds == 0) throw std::runtime_error("the run gave no tab");
  return {open.window.ScriptEditor(0)->text().size(), seconds};
}

ShownScript SaveThroughWindow(const fs::path& folder, TargetDialect dialect, const std::string& dsn,
                              const std::string& table, const fs::path& file) {
  OpenWindow open(folder, dialect);
  open.window.tree()->setCurrentItem(TableNode(open.window, dsn, table));  // as the double-click does
  SavingWindow ui(open.window, file);
  ClearUpperVectorState();
  ui.start = std::chrono::steady_clock::now();
  RunScript(folder, dialect, dsn, table, ui);
  if (ui.bytes == 0) throw std::runtime_error("the run gave no script");
  return {ui.bytes, ui.seconds};
}

ShownScript ShowThroughDouble(const fs::path& folder, TargetDialect dialect, const std::string& dsn,
                              const std::string& table) {
  OpenWindow open(folder, dialect);
  ClearUpperVectorState();
  const auto start = std::chrono::steady_clock::now();
  BenchUserInterface ui("bench", &open.window);
  RunScript(folder, dialect, dsn, table, ui);
  open.window.repaint();
  const double seconds = SecondsSince(start);
  if (ui.bytes == 0) throw std::runtime_error("the run gave no script");
  return {ui.bytes, seconds};
}

}  // namespace quill::bench
