#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <fstream>

#include "shell/main_window.h"
#include "shell_test_support.h"

namespace quill {
namespace {

using testing::ScriptedDialogs;
using testing::TemporaryFolder;

// Takes the URLs the desktop would open, so no browser starts in a test.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

class HelpPageTest : public ::testing::Test {
 protected:
  HelpPageTest() { testing::TestApplication(); }
  void TriggerHelp(MainWindow& window) { window.findChild<QAction*>("Help2")->trigger(); }

  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
};

TEST_F(HelpPageTest, HelpOpensThePageBesideTheProgram) {
  std::ofstream(folder_.path() / "tarnwick.html") << "<html></html>";
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  MainWindow window(folder_.ProgramFolder(), settings_);
  TriggerHelp(window);
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(catcher.urls.size(), 1u);
  EXPECT_EQ(catcher.urls[0].toLocalFile().toStdString(), (folder_.path() / "tarnwick.html").string());
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(HelpPageTest, WithoutABrowserAMessageSaysWhereThePageIs) {
  std::ofstream(folder_.path() / "tarnwick.html") << "<html></html>";
  // No program on the path can open a page.
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", folder_.path().string().c_str());
  MainWindow window(folder_.ProgramFolder(), settings_);
  TriggerHelp(window);
  qputenv("PATH", path);
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_NE(dialogs_.messages()[0].text.toStdString().find((folder_.path() / "tarnwick.html").string()),
            std::string::npos);
}

}  // namespace
}  // namespace quill

#include "help_page_test.moc"
