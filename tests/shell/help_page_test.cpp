#include <gtest/gtest.h>

#include <QAction>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <optional>

#include "shell/main_window.h"
#include "shell_test_support.h"

namespace quill {
namespace {

using testing::ScriptedDialogs;
using testing::TemporaryFolder;

class HelpPageTest : public ::testing::Test {
 protected:
  HelpPageTest() : path_(qgetenv("PATH")) { testing::TestApplication(); }
  ~HelpPageTest() override { qputenv("PATH", path_); }
  void TriggerHelp(MainWindow& window) { window.findChild<QAction*>("Help2")->trigger(); }

  // The only programs on the path: an xdg-open that notes what it was asked
  // to open and ends with exit_code, when there is one.
  std::filesystem::path UseOpener(std::optional<int> exit_code) {
    const std::filesystem::path bin = folder_.path() / "bin";
    std::filesystem::create_directories(bin);
    const std::filesystem::path asked = folder_.path() / "asked";
    const std::filesystem::path opener = bin / "xdg-open";
    std::filesystem::remove(opener);
    if (exit_code) {
      std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << asked.string() << "'\nexit "
                            << *exit_code << "\n";
      std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    }
    // The opener is a shell script: the shell stays on the path.
    qputenv("PATH", QByteArray::fromStdString(bin.string()) + (exit_code ? ":/usr/bin:/bin" : ""));
    return asked;
  }

  QByteArray path_;
  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
};

// The page beside the program goes to xdg-open; when there is none, or it
// finds no browser (it ends with an error), a message says where the page is.
TEST_F(HelpPageTest, HelpOpensThePageOrSaysWhereItIs) {
  std::ofstream(folder_.path() / "tarnwick.html") << "<html></html>";
  const std::string page = (folder_.path() / "tarnwick.html").string();
  struct Case {
    const char* what;
    std::optional<int> exit_code;  // nothing: no xdg-open
    bool opened;
  };
  const Case cases[] = {
      {"a browser was started", 0, true},
      {"no browser", 3, false},
      {"the browser failed", 4, false},
      {"no xdg-open", std::nullopt, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    ScriptedDialogs dialogs;
    const std::filesystem::path asked = UseOpener(test.exit_code);
    std::filesystem::remove(asked);
    MainWindow window(folder_.ProgramFolder(), settings_);
    TriggerHelp(window);
    if (test.exit_code) {
      const QString url = QUrl::fromLocalFile(QString::fromStdString(page)).toString();
      EXPECT_EQ(testing::ReadFileBytes(asked), url.toStdString());
    }
    if (test.opened) {
      EXPECT_TRUE(dialogs.messages().empty());
    } else {
      ASSERT_EQ(dialogs.messages().size(), 1u);
      EXPECT_NE(dialogs.messages()[0].text.toStdString().find(page), std::string::npos)
          << dialogs.messages()[0].text.toStdString();
    }
  }
}

}  // namespace
}  // namespace quill

