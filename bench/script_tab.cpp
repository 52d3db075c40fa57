// Showing a generated script in the main window: the time from the finished
// script lines to the tab with its editor, and peak memory, for a script of
// a million INSERT statements as the MS SQL writer gives them.
//
// Usage: bench_script_tab [rows]     (default 1000000)
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <sys/resource.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/script_document.h"
#include "shell/main_window.h"
#include "sources/settings.h"

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  quill::ScriptDocument document;
  document.tab_caption = "bench";
  document.script.AppendItem("CREATE TABLE [bench] (\r\n[id] [int] PRIMARY KEY,\r\n[label] [nvarchar](40)\r\n)");
  for (long row = 1; row <= rows; ++row) {
    document.script.AppendItem("INSERT INTO [bench] ([id],[label],[price],[moment])\r\n   VALUES (" +
                               std::to_string(row) + ",N'row ''" + std::to_string(row) +
                               "'' with a quote',12.5,'2024-03-05 06:07:08')");
  }
  const std::size_t bytes = document.script.size();

  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quill-bench-script-tab";
  std::filesystem::create_directories(folder);
  quill::Settings settings;
  quill::MainWindow window(folder.string(), settings);
  const auto start = std::chrono::steady_clock::now();
  window.AddScriptTab(std::move(document));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("script tab         : %ld rows, %.1f MB of script, shown in %.2f s\n", rows, bytes / 1048576.0,
              seconds);
  std::printf("peak memory        : %.1f MB\n", usage.ru_maxrss / 1024.0);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
