#include "shell_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "shell/data_source_dialog.h"
#include "shell/foreign_key_designer.h"
#include "shell/main_window.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"
#include "shell/welcome_panel.h"

namespace quill::testing {

QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "test_shell";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  return *application;
}

ScriptedDialogs::ScriptedDialogs() {
  TestApplication();
  DialogPresenter::SetCurrent(this);
}

ScriptedDialogs::~ScriptedDialogs() {
  DialogPresenter::SetCurrent(nullptr);
  EXPECT_TRUE(answers_.empty()) << "scripted answers left unused";
}

MessageAnswer ScriptedDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                           MessageIcon icon, MessageButtons buttons, bool,
                                           std::optional<QPoint> top_left) {
  messages_.push_back({title, text, icon, buttons, top_left, parent});
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return MessageAnswer::No;
  }
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

QString ScriptedDialogs::ChooseSaveFile(QWidget*, const QString&, const QString& suggested_name, const QString&,
                                        const QString&, const QString& start_folder) {
  suggested_file_names_.push_back(suggested_name);
  start_folders_.push_back(start_folder);
  if (save_files_.empty()) return {};
  const QString path = save_files_.front();
  save_files_.pop_front();
  return path;
}

QString ScriptedDialogs::ChooseOpenFile(QWidget*, const QString&, const QString&, const QString& start_folder) {
  start_folders_.push_back(start_folder);
  if (open_files_.empty()) return {};
  const QString path = open_files_.front();
  open_files_.pop_front();
  return path;
}

QString ScriptedDialogs::ChooseFolder(QWidget*, const QString&, const QString& start_folder) {
  start_folders_.push_back(start_folder);
  if (folders_.empty()) return {};
  const QString path = folders_.front();
  folders_.pop_front();
  return path;
}

bool ScriptedDialogs::ChooseFont(QWidget*, QFont& font, QColor& color) {
  if (fonts_.empty()) return false;
  std::tie(font, color) = fonts_.front();
  fonts_.pop_front();
  return true;
}

TemporaryFolder::TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quill-shell-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

namespace {

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

}  // namespace

QPoint PlaceOnArea(const QPoint& wanted, const QSize& frame_size, const QRect& area) {
  const auto on_axis = [](int start, int length, int area_start, int area_length) {
    if (length > area_length) return area_start;
    return std::clamp(start, area_start, area_start + area_length - length);
  };
  return {on_axis(wanted.x(), frame_size.width(), area.left(), area.width()),
          on_axis(wanted.y(), frame_size.height(), area.top(), area.height())};
}

QRect FrameOnScreen(QWidget* window) {
  if (QGuiApplication::platformName() != "xcb" || !window->isVisible()) return window->frameGeometry();
  const QString id = QString::number(window->winId());
  const QString info = Run("xwininfo", {"-id", id});
  const auto number = [&](const char* label) {
    const QRegularExpressionMatch match = QRegularExpression(QString(label) + R"(:\s*(-?\d+))").match(info);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
  };
  QRect inside(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"), number("Height"));
  // left, right, top, bottom; none without a window manager
  const QRegularExpressionMatch extents =
      QRegularExpression(R"(=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))").match(Run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
  if (!extents.hasMatch()) return inside;
  return inside.adjusted(-extents.captured(1).toInt(), -extents.captured(3).toInt(), extents.captured(2).toInt(),
                         extents.captured(4).toInt());
}

LanguageSideWindows::LanguageSideWindows() = default;
LanguageSideWindows::~LanguageSideWindows() = default;

LanguageWindows LanguageSideWindows::All(MainWindow& window, OptionsDialog& options, DateFormatDialog& date_format,
                                         const Settings& settings) {
  if (!selection) {
    selection = std::make_unique<TableSelectionDialog>(window);
    designer = std::make_unique<ForeignKeyDesigner>(window, settings);
    welcome = InstallWelcomePanel(window.findChild<QWidget*>("Bevel2"), nullptr);
    replace = std::make_unique<ReplaceDialog>(window);
    update = std::make_unique<UpdateCheckDialog>(window, "http://127.0.0.1:9");
    add_source = std::make_unique<DataSourceDialog>(window);
  }
  return LanguageWindows{&window,         &options,      &date_format,      selection.get(), designer.get(),
                         replace.get(),   update.get(),  add_source.get(),  welcome};
}

}  // namespace quill::testing
