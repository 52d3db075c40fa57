#include "shell/welcome_panel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "shell/main_window.h"
#include "shell_test_support.h"

namespace quill {
namespace {

using testing::TemporaryFolder;

class WelcomePanelTest : public ::testing::Test {
 protected:
  WelcomePanelTest() {
    testing::TestApplication();
    panel_ = std::make_unique<WelcomePanel>(nullptr, [this](WelcomeCommandCode code) { commands_.push_back(code); });
    panel_->resize(378, 358);
  }

  std::string WritePage(const std::string& xml) {
    const std::string path = (folder_.path() / "page.xml").string();
    std::ofstream(path) << xml;
    return path;
  }
  QLabel* Label(int row) { return panel_->Contents()->findChild<QLabel*>(QString("MyLabel%1").arg(row)); }
  QPushButton* Button(int row) {
    return panel_->Contents()->findChild<QPushButton*>(QString("MyButton%1").arg(row));
  }
  int RowControls() {
    int count = 0;
    for (QObject* child : panel_->Contents()->children()) {
      if (child->objectName().startsWith("MyLabel") || child->objectName().startsWith("MyButton")) ++count;
    }
    return count;
  }

  testing::ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  std::unique_ptr<WelcomePanel> panel_;
  std::vector<WelcomeCommandCode> commands_;
};

// Elements belong to rows by their order in each list, however they nest.
constexpr const char* kThreeRows =
    "<page><INFO>First</INFO><block><INFO>Second <b>bold</b> end</INFO><CAPTION>Login</CAPTION></block>"
    "<CODE>1</CODE><CAPTION></CAPTION><CODE>2</CODE><deep><x><INFO>Third</INFO></x></deep>"
    "<CAPTION>Other</CAPTION><CODE>9</CODE></page>";

TEST_F(WelcomePanelTest, RowsFollowTheOrderOfEachElementList) {
  panel_->Build(WritePage(kThreeRows));
  ASSERT_NE(Label(0), nullptr);
  ASSERT_NE(Label(1), nullptr);
  ASSERT_NE(Label(2), nullptr);
  EXPECT_EQ(Label(0)->geometry().topLeft(), QPoint(50, 40));
  EXPECT_EQ(Label(1)->geometry().topLeft(), QPoint(50, 150));
  EXPECT_EQ(Label(2)->geometry().topLeft(), QPoint(50, 260));
  EXPECT_EQ(Label(1)->text(), "Second bold end") << "the element's whole text";
  EXPECT_TRUE(Label(0)->wordWrap());
  EXPECT_EQ(Label(0)->height(), 59) << "the text fits; the label ends above its button";
  EXPECT_EQ(Label(0)->width(), 400);

  ASSERT_NE(Button(0), nullptr);
  EXPECT_EQ(Button(1), nullptr) << "empty caption";
  EXPECT_EQ(Button(2), nullptr) << "unknown code";
  EXPECT_EQ(Button(0)->text(), "Login");
  EXPECT_EQ(Button(0)->geometry(), QRect(50, 100, 240, 30));
  Button(0)->click();
  EXPECT_EQ(commands_, std::vector<WelcomeCommandCode>{WelcomeCommandCode::ShowOptionsPage1});

  ASSERT_NE(Label(3), nullptr);
  EXPECT_EQ(Label(3)->text(), " ");
  EXPECT_EQ(Label(3)->geometry().topLeft(), QPoint(50, 370));
  EXPECT_FALSE(Label(3)->wordWrap());
  EXPECT_EQ(RowControls(), 5);
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(WelcomePanelTest, PagesWithoutRowsOrWithoutAFileLeaveOnlyWhatTheySay) {
  panel_->Build(WritePage("<page><CAPTION>x</CAPTION><CODE>1</CODE></page>"));
  ASSERT_NE(Label(0), nullptr);
  EXPECT_EQ(Label(0)->text(), " ");
  EXPECT_EQ(Label(0)->geometry().topLeft(), QPoint(50, 40));
  EXPECT_EQ(RowControls(), 1);

  panel_->Build((folder_.path() / "missing.xml").string());
  EXPECT_EQ(RowControls(), 0);
  panel_->Build(WritePage("<page><INFO>not closed</page>"));
  EXPECT_EQ(RowControls(), 0);
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(WelcomePanelTest, RebuildingLeavesNothingOfTheFirstBuild) {
  const std::string page = WritePage(kThreeRows);
  panel_->Build(page);
  panel_->Build(page);
  EXPECT_EQ(RowControls(), 5);
  EXPECT_EQ(panel_->Contents()->findChildren<QLabel*>("MyLabel0").size(), 1);
  panel_->Build(WritePage("<p><INFO>only</INFO><CAPTION>go</CAPTION><CODE>4</CODE></p>"));
  EXPECT_EQ(RowControls(), 3);
  EXPECT_EQ(Label(2), nullptr);
  Button(0)->click();
  EXPECT_EQ(commands_, std::vector<WelcomeCommandCode>{WelcomeCommandCode::ShowOdbcSources});
}

TEST_F(WelcomePanelTest, RowsBeyondTheCaptionsOrCodesGetNoButton) {
  panel_->Build(WritePage("<p><INFO>a</INFO><INFO>b</INFO><CAPTION>one</CAPTION><CODE>3</CODE></p>"));
  ASSERT_NE(Button(0), nullptr);
  EXPECT_EQ(Button(1), nullptr);
  EXPECT_NE(Label(2), nullptr);
}

TEST_F(WelcomePanelTest, CodeThatIsNoNumberStopsTheBuildKeepingItsRows) {
  const std::string page = WritePage(
      "<p><INFO>a</INFO><CAPTION>one</CAPTION><CODE>2</CODE>"
      "<INFO>b</INFO><CAPTION>two</CAPTION><CODE>x1</CODE><INFO>c</INFO></p>");
  EXPECT_THROW(panel_->Build(page), std::runtime_error);
  EXPECT_NE(Button(0), nullptr);
  EXPECT_NE(Label(1), nullptr);
  EXPECT_EQ(Button(1), nullptr);
  EXPECT_EQ(Label(2), nullptr) << "neither the next row nor the closing label";
}

struct PlacementCase {
  const char* name;
  int client_width, client_height, bitmap_width, bitmap_height, scroll_x, scroll_y;
  QRect source;
  QPoint target;
};

class BackgroundPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(BackgroundPlacementTest, OneCopyMovingWithTheScrollPosition) {
  const PlacementCase& c = GetParam();
  const WelcomeBackground placement = WelcomeBackgroundPlacement(c.client_width, c.client_height, c.bitmap_width,
                                                                 c.bitmap_height, c.scroll_x, c.scroll_y);
  EXPECT_EQ(placement.source, c.source);
  EXPECT_EQ(placement.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackgroundPlacementTest,
    ::testing::Values(PlacementCase{"Unscrolled", 378, 358, 164, 314, 0, 0, QRect(0, 0, 164, 314), QPoint(0, 0)},
                      // 400 mod 314 = 86: the lower 228 rows show at the top.
                      PlacementCase{"ScrolledDown400", 378, 358, 164, 314, 0, 400, QRect(0, 0, 164, 314), QPoint(0, -86)},
                      PlacementCase{"SmallClient", 100, 50, 164, 314, 10, 20, QRect(0, 0, 110, 70), QPoint(-10, -20)},
                      PlacementCase{"ZeroWidthBitmap", 378, 358, 0, 314, 0, 0, QRect(), QPoint()},
                      PlacementCase{"ZeroHeightBitmap", 378, 358, 164, 0, 0, 0, QRect(), QPoint()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WelcomePanelInstall, FillsTheMainWindowsPlaceholderWithThePicture) {
  testing::TestApplication();
  TemporaryFolder folder;
  Settings settings;
  MainWindow window(folder.ProgramFolder(), settings);
  auto* placeholder = window.findChild<QWidget*>("Bevel2");
  ASSERT_NE(placeholder, nullptr);
  WelcomePanel* panel = InstallWelcomePanel(placeholder, nullptr);
  EXPECT_EQ(panel->parentWidget(), placeholder);
  EXPECT_EQ(panel->BackBitmap().size(), QSize(164, 314));

  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder.path().string()));
  std::ofstream(folder.path() / "welcome.xml") << "<w><INFO>Hello</INFO></w>";
  panel->Build("welcome.xml");  // relative to the current folder
  QDir::setCurrent(previous);
  auto* label = placeholder->findChild<QLabel*>("MyLabel0");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Hello");
}

}  // namespace
}  // namespace quill
