// Showing a generated script in a script tab, for a script of a million
// INSERT statements as the MS SQL writer gives them:
// - the time from AddScriptTab to the first screen painted, side by side
//   with the toolkit's plain text editor given the same script;
// - the time to scroll to far lines, and of edits until they are painted;
// - Replace All over the whole script;
// - peak memory, and what is left after five closed 200,000-row tabs.
//
// Usage: bench_script_tab [rows]     (default 1000000)
// Each measurement runs in a child process of its own, on Qt's offscreen
// platform unless QT_QPA_PLATFORM says otherwise.

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "common/script_document.h"
#include "platform/files/atomic_file.h"
#include "shell/main_window.h"
#include "shell/script_view.h"
#include "sources/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

quill::ScriptDocument BenchDocument(long rows) {
  quill::ScriptDocument document;
  document.tab_caption = "bench";
  document.script.AppendItem("CREATE TABLE [bench] (\r\n[id] [int] PRIMARY KEY,\r\n[label] [nvarchar](40)\r\n)");
  for (long row = 1; row <= rows; ++row) {
    document.script.AppendItem("INSERT INTO [bench] ([id],[label],[price],[moment])\r\n   VALUES (" +
                               std::to_string(row) + ",N'row ''" + std::to_string(row) +
                               "'' with a quote',12.5,'2024-03-05 06:07:08')");
  }
  return document;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Lets the event loop run until the widget has painted once more.
void WaitForPaint(QWidget* widget) {
  PaintCounter counter;
  widget->installEventFilter(&counter);
  const auto start = Clock::now();
  while (counter.paints == 0 && Since(start) < 60) QApplication::processEvents(QEventLoop::AllEvents, 5);
  widget->removeEventFilter(&counter);
}

long ResidentKib() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Results {
  double first_paint = 0;
  double scroll = 0;
  double edit = 0;
  double replace_all = 0;
  double save = 0;
  long left_kib = 0;
  double long_line_first_paint = 0;
  double long_line_repaint = 0;
  long shown_peak_kib = 0;  // before Replace All, which holds the old and the new script for a moment
};

// The results come back from the child through a file.
void WriteResults(const std::filesystem::path& file, const Results& results) {
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(&results), sizeof results);
}

Results ReadResults(const std::filesystem::path& file) {
  Results results;
  std::ifstream(file, std::ios::binary).read(reinterpret_cast<char*>(&results), sizeof results);
  return results;
}

struct Window {
  explicit Window(const std::filesystem::path& folder) : window(folder.string() + "/", settings) {
    window.resize(1200, 900);
    window.show();
    WaitForPaint(&window);
  }
  quill::Settings settings;
  quill::MainWindow window;
};

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

// Our script tab: first screen, far scrolls, edits, Replace All, Save.
void RunView(long rows, const std::filesystem::path& folder, const std::filesystem::path& out) {
  int argc = 1;
  char name[] = "bench_script_tab";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  Window shown(folder);
  quill::ScriptDocument document = BenchDocument(rows);
  Results results;

  auto start = Clock::now();
  shown.window.AddScriptTab(std::move(document));
  quill::ScriptView* view = shown.window.ScriptEditor(0);
  WaitForPaint(view->viewport());
  results.first_paint = Since(start);

  const int lines = static_cast<int>(view->text().LineCount());
  for (const int target : {lines - 1, lines / 2, lines / 7, lines * 9 / 10, 0}) {
    start = Clock::now();
    view->verticalScrollBar()->setValue(target);
    view->viewport()->repaint();
    results.scroll = std::max(results.scroll, Since(start));
  }

  // Edits far down the script, each until it is painted.
  const std::size_t far = view->text().LineStart(static_cast<std::size_t>(lines) * 9 / 10);
  view->setFocus();
  view->SetSelection(far, far);
  const auto timed = [&](auto edit) {
    start = Clock::now();
    edit();
    view->viewport()->repaint();
    results.edit = std::max(results.edit, Since(start));
  };
  timed([&] { SendKey(view, Qt::Key_X, Qt::NoModifier, "x"); });
  timed([&] { SendKey(view, Qt::Key_Return, Qt::NoModifier, "\r"); });
  timed([&] { SendKey(view, Qt::Key_Backspace); });
  timed([&] { SendKey(view, Qt::Key_Z, Qt::ControlModifier); });
  timed([&] { SendKey(view, Qt::Key_End, Qt::ControlModifier); SendKey(view, Qt::Key_Y, Qt::NoModifier, "y"); });

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  results.shown_peak_kib = usage.ru_maxrss;
  start = Clock::now();
  view->ReplaceEvery("with a quote", "WITH A QUOTE", Qt::CaseInsensitive);
  view->viewport()->repaint();
  results.replace_all = Since(start);

  start = Clock::now();
  quill::WriteFileAtomically((folder / "bench.sql").string(), view->text().Spans());
  results.save = Since(start);
  WriteResults(out, results);
}

// The toolkit's plain text editor given the same script, as the tab had it.
void RunPlainEditor(long rows, const std::filesystem::path& out) {
  int argc = 1;
  char name[] = "bench_script_tab";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  const std::string text = BenchDocument(rows).script.Text();
  QPlainTextEdit editor;
  editor.setLineWrapMode(QPlainTextEdit::NoWrap);
  editor.resize(950, 600);
  editor.show();
  WaitForPaint(&editor);
  Results results;
  const auto start = Clock::now();
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    shown += text[i];
  }
  editor.setPlainText(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
  WaitForPaint(editor.viewport());
  results.first_paint = Since(start);
  WriteResults(out, results);
}

// A script whose one value fills a line of 4 MB: first screen, then a
// repaint (the caret's blink, a scroll by one line).
void RunLongLine(const std::filesystem::path& folder, const std::filesystem::path& out) {
  int argc = 1;
  char name[] = "bench_script_tab";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  Window shown(folder);
  quill::ScriptDocument document;
  document.tab_caption = "long";
  document.script.AppendItem("INSERT INTO [bench] ([label]) VALUES (N'" + std::string(std::size_t{4} << 20, 'x') + "')");
  for (int row = 0; row < 100; ++row) document.script.AppendItem("INSERT INTO [bench] ([label]) VALUES (N'short')");
  Results results;
  auto start = Clock::now();
  shown.window.AddScriptTab(std::move(document));
  quill::ScriptView* view = shown.window.ScriptEditor(0);
  WaitForPaint(view->viewport());
  results.long_line_first_paint = Since(start);
  start = Clock::now();
  view->viewport()->repaint();
  view->verticalScrollBar()->setValue(1);
  view->viewport()->repaint();
  view->verticalScrollBar()->setValue(0);
  view->viewport()->repaint();
  results.long_line_repaint = Since(start) / 3;
  WriteResults(out, results);
}

// Five 200,000-row tabs opened and closed: what the process keeps.
void RunClosedTabs(const std::filesystem::path& folder, const std::filesystem::path& out) {
  int argc = 1;
  char name[] = "bench_script_tab";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  Window shown(folder);
  for (int tab = 0; tab < 5; ++tab) {
    shown.window.AddScriptTab(BenchDocument(200000));
    WaitForPaint(shown.window.ScriptEditor(tab)->viewport());
  }
  while (shown.window.TabCount() > 0) shown.window.CloseCurrentTab();
  QApplication::processEvents();
  Results results;
  results.left_kib = ResidentKib();
  WriteResults(out, results);
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const quill::bench::RunFolder run_folder("quill-bench-script-tab");
  if (run_folder.empty()) return 2;
  const std::filesystem::path& folder = run_folder.path();
  const std::filesystem::path out = folder / "results";
  const std::size_t bytes = BenchDocument(std::min(rows, 1000L)).script.size() * (rows / std::min(rows, 1000L));

  using quill::bench::MeasureOnce;
  const quill::bench::Measurement view_run = MeasureOnce([&] { RunView(rows, folder, out); });
  const Results view = ReadResults(out);
  const quill::bench::Measurement plain_run = MeasureOnce([&] { RunPlainEditor(rows, out); });
  const Results plain = ReadResults(out);
  MeasureOnce([&] { RunClosedTabs(folder, out); });
  const Results closed = ReadResults(out);
  MeasureOnce([&] { RunLongLine(folder, out); });
  const Results long_line = ReadResults(out);

  std::printf("script tab, %ld rows, about %.0f MB of script\n", rows, bytes / 1048576.0);
  std::printf("  first screen painted : %8.3f s   plain text editor %7.3f s   ratio %.3f\n", view.first_paint,
              plain.first_paint, view.first_paint / plain.first_paint);
  std::printf("  scroll to a far line : %8.1f ms  (worst of 5)\n", view.scroll * 1000);
  std::printf("  edit until painted   : %8.1f ms  (worst of typing, Enter, Backspace, undo, typing at the end)\n",
              view.edit * 1000);
  std::printf("  Replace All          : %8.3f s\n", view.replace_all);
  std::printf("  Save                 : %8.3f s\n", view.save);
  std::printf("  peak memory          : %8.1f MB  plain text editor %7.1f MB   ratio %.3f\n",
              view_run.peak_kib / 1024.0, plain_run.peak_kib / 1024.0,
              static_cast<double>(view_run.peak_kib) / plain_run.peak_kib);
  std::printf("  peak memory before Replace All (script shown, scrolled and edited): %.1f MB\n",
              view.shown_peak_kib / 1024.0);
  std::printf("a line of 4 MB: first screen %.3f s, a repaint %.1f ms\n", long_line.long_line_first_paint,
              long_line.long_line_repaint * 1000);
  std::printf("five closed 200,000-row tabs leave the process at %.1f MB\n", closed.left_kib / 1024.0);
  return 0;
}
