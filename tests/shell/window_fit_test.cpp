// The main window on its screen: a saved size and place that fit come back
// exactly, others are moved and shrunk onto the screen; the splitter comes
// back where it was; the script font keeps its colour; failed saves, tab
// captions and the folder browser as the user sees them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include "layout_faults.h"
#include "options_dialogs_fixture.h"
#include "shell/script_font.h"
#include "shell/script_font_dialog.h"

namespace quill {
namespace {

class WindowFitTest : public testing::OptionsDialogsTest {
 protected:
  // The window made anew on the given options, as at a start.
  MainWindow& StartWith(const std::string& options) {
    WriteOptions(options);
    window_.reset();
    return Window();
  }

  // Shown, and framed and placed where a window manager frames it.
  static void ShowAndSettle(MainWindow& window) {
    window.show();
    testing::SettledFrameOnScreen(&window);
  }

  ScriptDocument Document(const std::string& caption) {
    ScriptDocument document;
    document.tab_caption = caption;
    document.script = ScriptBuffer::FromItems({"INSERT 1"});
    return document;
  }
};

TEST_F(WindowFitTest, ASavedPlaceThatFitsComesBackExactlyAndOneThatDoesNotIsMovedOntoTheScreen) {
  const QRect room = testing::TestApplication().primaryScreen()->availableGeometry();
  struct Case {
    const char* name;
    std::string options;
    std::optional<QRect> exactly;  // client size at the frame's place
  };
  const Case cases[] = {
      {"fits", "[Misc]\nWidth=600\nHeight=450\nTop=20\nLeft=30\n", QRect(30, 20, 600, 450)},
      // Frames are narrower than 40 pixels.
      {"at the corner", "[Misc]\nWidth=" + std::to_string(room.width() - 40) + "\nHeight=" +
                            std::to_string(room.height() - 40) + "\nTop=0\nLeft=0\n",
       QRect(0, 0, room.width() - 40, room.height() - 40)},
      {"negative", "[Misc]\nWidth=600\nHeight=450\nTop=-300\nLeft=-500\n", std::nullopt},
      {"off to the right", "[Misc]\nWidth=600\nHeight=450\nTop=100\nLeft=5000\n", std::nullopt},
      {"zero size", "[Misc]\nWidth=0\nHeight=0\nTop=10\nLeft=10\n", std::nullopt},
      {"huge", "[Misc]\nWidth=100000\nHeight=100000\nTop=10\nLeft=10\n", std::nullopt},
      {"not numbers", "[Misc]\nWidth=wide\nHeight=-\nTop=x\nLeft=\n", std::nullopt},
      {"a larger screen's", "[Misc]\nWidth=1800\nHeight=1100\nTop=40\nLeft=900\n", std::nullopt},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    MainWindow& window = StartWith(test.options + "lang=\n[Custom]\nkept=yes\n");
    ShowAndSettle(window);
    const QRect frame = testing::FrameOnScreen(&window);
    EXPECT_TRUE(room.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_GE(window.width(), window.minimumWidth());
    EXPECT_GE(window.height(), 404);
    EXPECT_GE(window.minimumWidth(), 570);
    if (test.exactly) {
      EXPECT_EQ(QRect(frame.topLeft(), window.size()), *test.exactly);
    }
    window.close();
    // The other keys of the file stay; the saved place is the one shown.
    const std::string saved = OptionsText();
    EXPECT_NE(saved.find("kept=yes"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Width=" + std::to_string(window.width())), std::string::npos) << saved;
    EXPECT_NE(saved.find("Left=" + std::to_string(frame.left())), std::string::npos) << saved;
  }
}

// A window that starts maximized and is then restored lies on the screen,
// its frame included, whatever normal size was saved.
TEST_F(WindowFitTest, ASavedMaximizedWindowIsRestoredOntoTheScreen) {
  const QRect room = testing::TestApplication().primaryScreen()->availableGeometry();
  const struct {
    const char* name;
    std::string options;
  } cases[] = {
      {"no normal place", "[Misc]\nMaximized=1\n"},
      {"a larger screen's", "[Misc]\nMaximized=1\nWidth=100000\nHeight=100000\nTop=-50\nLeft=-50\n"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    MainWindow& window = StartWith(test.options);
    ASSERT_TRUE(window.maximized_flag());
    window.showMaximized();
    testing::SettledFrameOnScreen(&window);
    // Maximized for a while, as a user works, past the looks for the frame
    // that follow the first showing.
    QTest::qWait(5000);
    window.showNormal();
    QRect frame = testing::SettledFrameOnScreen(&window);
    // The window fits itself at its looks after the restore (the platform
    // may give back the normal size after the state has changed).
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(frame = testing::FrameOnScreen(&window)); }, 10000))
        << testing::Rect(frame).toStdString() << " on " << testing::Rect(room).toStdString();
    EXPECT_FALSE(window.isMaximized());
    EXPECT_GE(window.height(), 404);
  }
}

// The tool buttons show their texts where the window holds them, their
// pictures with the texts as hints where it does not; a narrow saved width
// is kept.
TEST_F(WindowFitTest, ANarrowSavedWidthIsKeptAndTheToolBarShowsPicturesThen) {
  for (const int width : {600, 780}) {
    SCOPED_TRACE(width);
    MainWindow& window = StartWith("[Misc]\nWidth=" + std::to_string(width) + "\nHeight=500\nTop=0\nLeft=0\n");
    ShowAndSettle(window);
    EXPECT_EQ(window.width(), width);
    auto* tool_bar = window.findChild<QWidget*>("ToolBar1");
    for (const QToolButton* button : tool_bar->findChildren<QToolButton*>()) {
      EXPECT_FALSE(button->toolTip().isEmpty());
      if (button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon) {
        EXPECT_LE(tool_bar->sizeHint().width(), window.width());
      }
    }
    EXPECT_LE(tool_bar->sizeHint().width(), window.width());
  }
}

TEST_F(WindowFitTest, TheSplitterComesBackWhereItWas) {
  for (const int bar_pos : {100, 180, 240}) {
    SCOPED_TRACE(bar_pos);
    MainWindow& window =
        StartWith("[Misc]\nWidth=700\nHeight=560\nTop=0\nLeft=0\nBarPos=" + std::to_string(bar_pos) + "\n");
    EXPECT_EQ(window.bar_pos(), bar_pos);
    ShowAndSettle(window);
    const QWidget* client = window.centralWidget();
    EXPECT_EQ(window.findChild<QWidget*>("Panel1")->y(), client->height() - bar_pos);
    window.close();
    EXPECT_NE(OptionsText().find("BarPos=" + std::to_string(bar_pos)), std::string::npos) << OptionsText();
  }
}

// Without a saved bar, the first one lies within the drag's limits however
// short the window (a small screen, a large scale factor): the log and both
// its buttons stay whole above the status bar.
TEST_F(WindowFitTest, AFirstSplitterLeavesTheLogAndItsButtonsTheirRoom) {
  for (const int height : {420, 460, 500, 540, 700}) {
    SCOPED_TRACE(height);
    MainWindow& window = StartWith("[Misc]\nWidth=700\nHeight=" + std::to_string(height) + "\nTop=0\nLeft=0\n");
    ShowAndSettle(window);
    const int client_height = window.centralWidget()->height();
    const int bar_top = window.findChild<QWidget*>("Panel1")->y();
    EXPECT_GE(bar_top, 250);
    EXPECT_LE(bar_top, std::max(250, client_height - 100));
    const int status_top = window.findChild<QWidget*>("StatusBar1")->y();
    for (const char* name : {"Memo1", "Button1", "Button2"}) {
      const QRect control = window.findChild<QWidget*>(name)->geometry();
      EXPECT_GT(control.height(), 0) << name;
      EXPECT_LE(control.bottom(), status_top - 1) << name << " ends at " << control.bottom();
    }
    window.close();
  }
}

TEST_F(WindowFitTest, TheFontCommandSavesTheChosenColour) {
  struct Case {
    QColor chosen;
    int saved;
  };
  const Case cases[] = {{QColor(255, 0, 0), 0x0000FF}, {QColor(0, 0, 128), 0x800000}, {QColor(0, 128, 128), 0x808000}};
  for (const Case& test : cases) {
    MainWindow& window = StartWith("");
    QFont font = window.script_font();
    font.setBold(true);
    dialogs_.AnswerFont(font, test.chosen);
    window.findChild<QAction*>("Font1")->trigger();
    EXPECT_NE(OptionsText().find("FontColor=" + std::to_string(test.saved)), std::string::npos) << OptionsText();
    EXPECT_NE(OptionsText().find("FontStyle=1"), std::string::npos) << OptionsText();
    // The next start gives the log that colour.
    MainWindow& again = StartWith(OptionsText());
    EXPECT_EQ(again.findChild<QTextEdit*>("Memo1")->palette().color(QPalette::Text), test.chosen);
  }
}

TEST_F(WindowFitTest, TheFontDialogOffersTheBasicColoursAndGivesTheOneChosen) {
  ScriptFontDialog dialog(nullptr, QFont(), QColor(0, 0, 0));
  auto* colors = dialog.findChild<QComboBox*>("ColorBox");
  ASSERT_NE(colors, nullptr);
  EXPECT_EQ(colors->count(), 16);
  EXPECT_EQ(colors->currentText(), "Black");
  colors->setCurrentIndex(colors->findText("Maroon"));
  EXPECT_EQ(dialog.chosen_color(), QColor(128, 0, 0));
  // A colour that is none of them is offered as it is.
  ScriptFontDialog custom(nullptr, QFont(), QColor(1, 2, 3));
  EXPECT_EQ(custom.findChild<QComboBox*>("ColorBox")->currentText(), "Custom");
  EXPECT_EQ(custom.chosen_color(), QColor(1, 2, 3));
}

// Escape and Enter pressed in the font's lists and fields answer the whole
// window, as its Cancel and OK buttons do; the font chooser inside never
// closes alone and leaves the window empty.
TEST_F(WindowFitTest, EscapeAndEnterInTheFontChooserAnswerTheFontWindow) {
  const struct {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int result;
  } keys[] = {
      {"Escape", Qt::Key_Escape, Qt::NoModifier, QDialog::Rejected},
      {"Return", Qt::Key_Return, Qt::NoModifier, QDialog::Accepted},
      {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, QDialog::Accepted},
  };
  for (const auto& test : keys) {
    for (const bool in_list : {true, false}) {
      SCOPED_TRACE(std::string(test.name) + (in_list ? " in a list" : " in a field"));
      ScriptFontDialog dialog(nullptr, QFont(), QColor(0, 0, 0));
      dialog.setResult(-1);
      dialog.show();
      auto* chooser = dialog.findChild<QWidget*>("FontChoice");
      ASSERT_NE(chooser, nullptr);
      QWidget* target = in_list ? static_cast<QWidget*>(chooser->findChild<QListView*>())
                                : static_cast<QWidget*>(chooser->findChild<QLineEdit*>());
      ASSERT_NE(target, nullptr);
      QTest::keyClick(target, test.key, test.modifiers);
      EXPECT_EQ(dialog.result(), test.result);
      EXPECT_FALSE(dialog.isVisible());
      EXPECT_TRUE(chooser->isVisibleTo(&dialog));
    }
  }
}

TEST_F(WindowFitTest, AFailedSaveNamesItsFileInTheApplicationsErrorBox) {
  MainWindow& window = Window();
  window.AddScriptTab(Document("people"));
  const std::string cases[] = {"/no-such-folder-here/people.sql", folder_.path().string()};
  for (const std::string& path : cases) {
    dialogs_.AnswerSaveFile(QString::fromStdString(path));
    window.findChild<QAction*>("Save1")->trigger();
    ASSERT_FALSE(dialogs_.messages().empty());
    const testing::ShownMessage& shown = dialogs_.messages().back();
    EXPECT_EQ(shown.title, "Quillmarsh");
    EXPECT_EQ(shown.icon, MessageIcon::Error);
    EXPECT_TRUE(shown.text.startsWith(QString::fromStdString("Cannot create file \"" + path + "\". ")))
        << shown.text.toStdString();
    EXPECT_EQ(window.StatusText(), " Writing File... ");
  }
}

TEST_F(WindowFitTest, AnAmpersandInATableNameShowsInItsTabCaption) {
  MainWindow& window = Window();
  const char* names[] = {"R&D", "a&&b", "&start", "end&"};
  for (const char* name : names) {
    window.AddScriptTab(Document(name));
    auto* tabs = window.findChild<QTabBar*>("TabControl1");
    // The strip reads "&&" as one "&": the caption reads as the name.
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QString(name).replace("&", "&&"));
    dialogs_.AnswerSaveFile(QString());
    window.SaveCurrentScript();
    EXPECT_EQ(dialogs_.suggested_file_names().back().toStdString(), name);
  }
}

TEST_F(WindowFitTest, TheFolderBrowserOpensCentredInTheWorkArea) {
  MainWindow& window = Window();
  ShowAndSettle(window);
  WidgetDialogPresenter real_dialogs;
  QRect shown;
  testing::WhenSettled(
      &window, [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
      [&](QWidget* browser, const QRect& frame) {
        shown = frame;
        if (auto* dialog = qobject_cast<QDialog*>(browser)) dialog->reject();
      });
  EXPECT_TRUE(real_dialogs.ChooseFolder(&window, "Where to save CSV Files", QString()).isEmpty());
  const QRect work_area = window.screen()->availableGeometry();
  EXPECT_EQ(shown.topLeft(), window.screen()->geometry().topLeft() +
                                 QPoint(work_area.width() / 2 - shown.width() / 2,
                                        work_area.height() / 2 - shown.height() / 2));
}

}  // namespace
}  // namespace quill
