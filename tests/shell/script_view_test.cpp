#include "shell/script_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include "options_dialogs_fixture.h"

namespace quill {
namespace {

// A key press: a key with its modifiers, or text typed.
struct Key {
  Qt::Key key = Qt::Key_unknown;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  const char* typed = nullptr;
};

Key Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { return {key, modifiers, nullptr}; }
Key Type(const char* text) { return {Qt::Key_unknown, Qt::NoModifier, text}; }

class ScriptViewTest : public testing::OptionsDialogsTest {
 protected:
  ScriptView* AddScript(const std::vector<std::string>& items) {
    ScriptDocument document;
    document.tab_caption = "script";
    document.script = ScriptBuffer::FromItems(items);
    Window().resize(900, 700);
    Window().AddScriptTab(std::move(document));
    return Window().ScriptEditor(Window().TabCount() - 1);
  }

  static void Send(ScriptView* view, const std::vector<Key>& keys) {
    for (const Key& key : keys) {
      if (key.typed != nullptr) QTest::keyClicks(view, QString::fromUtf8(key.typed));
      else QTest::keyClick(view, key.key, key.modifiers);
    }
  }

  std::string SavedBytes() {
    const std::filesystem::path saved = folder_.path() / "saved.sql";
    dialogs_.AnswerSaveFile(QString::fromStdString(saved.string()));
    Window().SaveCurrentScript();
    return testing::ReadFileBytes(saved);
  }
};

TEST_F(ScriptViewTest, KeysMoveSelectAndEditAsThePlainEditControlDoes) {
  const auto ctrl = Qt::ControlModifier;
  const auto shift = Qt::ShiftModifier;
  const struct {
    const char* what;
    std::vector<std::string> items;
    std::vector<Key> keys;
    std::string text;
    QString selected;
  } cases[] = {
      {"typing at the start", {"one", "two"}, {Type("ab")}, "abone\r\ntwo\r\n", ""},
      {"Enter breaks the line with CR LF", {"one", "two"}, {Press(Qt::Key_End), Press(Qt::Key_Return)},
       "one\r\n\r\ntwo\r\n", ""},
      {"Backspace at a line start joins the lines", {"one", "two"}, {Press(Qt::Key_Down), Press(Qt::Key_Backspace)},
       "onetwo\r\n", ""},
      {"Delete at a line end joins the lines", {"one", "two"}, {Press(Qt::Key_End), Press(Qt::Key_Delete)},
       "onetwo\r\n", ""},
      {"Right at a line end steps over the CR LF", {"ab", "cd"}, {Press(Qt::Key_End), Press(Qt::Key_Right), Type("X")},
       "ab\r\nXcd\r\n", ""},
      {"Shift+End selects to the line end and typing replaces it", {"one", "two"},
       {Press(Qt::Key_Right), Press(Qt::Key_End, shift), Type("X")}, "oX\r\ntwo\r\n", ""},
      {"Shift+Down selects a line with its break", {"one", "two"}, {Press(Qt::Key_Down, shift)}, "one\r\ntwo\r\n",
       "one\n"},
      {"Shift+Ctrl+Home from the end selects everything", {"one", "two"},
       {Press(Qt::Key_End, ctrl), Press(Qt::Key_Home, ctrl | shift)}, "one\r\ntwo\r\n", "one\ntwo\n"},
      {"Left without Shift ends a selection at its start", {"one"},
       {Press(Qt::Key_End, shift), Press(Qt::Key_Left), Type("X")}, "Xone\r\n", ""},
      {"Up keeps the column", {"abcd", "ab", "abcd"},
       {Press(Qt::Key_Down), Press(Qt::Key_Down), Press(Qt::Key_End), Press(Qt::Key_Up), Press(Qt::Key_Up), Type("X")},
       "abcdX\r\nab\r\nabcd\r\n", ""},
      {"a lone CR or LF in a value is a line of its own", {"a\rb\nc"},
       {Press(Qt::Key_Down), Press(Qt::Key_Down), Type("X")}, "a\rb\nXc\r\n", ""},
      {"characters beyond ASCII are one step", {"éa"}, {Press(Qt::Key_Right), Type("X"), Press(Qt::Key_Left, shift)},
       "éXa\r\n", "X"},
      {"Ctrl+Z takes the typing back", {"one"}, {Type("abc"), Press(Qt::Key_Z, ctrl)}, "one\r\n", ""},
      {"Ctrl+Z twice puts it again, selected", {"one"},
       {Type("abc"), Press(Qt::Key_Z, ctrl), Press(Qt::Key_Z, ctrl)}, "abcone\r\n", "abc"},
      {"Ctrl+Z brings deleted text back selected", {"one"},
       {Press(Qt::Key_End, shift), Press(Qt::Key_Delete), Press(Qt::Key_Z, ctrl)}, "one\r\n", "one"},
      {"Ctrl+A selects everything", {"one", "two"}, {Press(Qt::Key_A, ctrl)}, "one\r\ntwo\r\n", "one\ntwo\n"},
  };
  for (const auto& test : cases) {
    ScriptView* view = AddScript(test.items);
    Send(view, test.keys);
    EXPECT_EQ(view->text().Text(), test.text) << test.what;
    EXPECT_EQ(view->SelectedText().toStdString(), test.selected.toStdString()) << test.what;
  }
}

TEST_F(ScriptViewTest, CopyCutAndPasteGoThroughTheClipboard) {
  ScriptView* view = AddScript({"one", "two"});
  QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "one\n");
  QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(view->text().Text(), "two\r\n");
  // Pasted line breaks become CR LF.
  QApplication::clipboard()->setText("a\nb\rc");
  QTest::keyClick(view, Qt::Key_End);
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(view->text().Text(), "twoa\r\nb\r\nc\r\n");
}

TEST_F(ScriptViewTest, MenuSelectAllAndCopyWorkOnTheCurrentTab) {
  AddScript({"first"});
  ScriptView* second = AddScript({"/* head */\r\n", "INSERT 1"});
  Window().findChild<QAction*>("SelectAll1")->trigger();
  Window().findChild<QAction*>("CopytoClipboard1")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "/* head */\n\nINSERT 1\n");
  EXPECT_EQ(second->SelectedText(), second->PlainText());
}

TEST_F(ScriptViewTest, TheMouseSetsTheCaretAndDragsASelection) {
  ScriptView* view = AddScript({"alpha beta", "gamma"});
  Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window(), testing::kWindowWaitMilliseconds));
  const int line_height = view->fontMetrics().lineSpacing();
  const QPoint first_line_end(view->viewport()->width() - 10, 4 + line_height / 2);
  const QPoint second_line_start(1, 4 + line_height + line_height / 2);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, first_line_end);
  EXPECT_EQ(view->caret(), 10u);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, second_line_start);
  EXPECT_EQ(view->SelectedText(), "\n");
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second_line_start);
  EXPECT_EQ(view->SelectedText(), "gamma");
  QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 4 + line_height / 2));
  QTest::mouseMove(view->viewport(), second_line_start + QPoint(view->fontMetrics().horizontalAdvance("gam"), 0));
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      second_line_start + QPoint(view->fontMetrics().horizontalAdvance("gam"), 0));
  EXPECT_EQ(view->SelectedText(), "alpha beta\ngam");
}

TEST_F(ScriptViewTest, CtrlEndShowsTheLastLineOfALongScript) {
  ScriptView* view = AddScript(std::vector<std::string>(5000, "INSERT INTO t VALUES (1)"));
  EXPECT_EQ(view->FirstVisibleLine(), 0);
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(view->caret(), view->text().size());
  EXPECT_GT(view->FirstVisibleLine(), 4900);
  EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
  QTest::keyClick(view, Qt::Key_PageUp);
  EXPECT_LT(view->text().LineOf(view->caret()), 5000u);
}

TEST_F(ScriptViewTest, SaveWritesTheScriptAsEditedWithALastLineBreak) {
  const struct {
    const char* what;
    std::vector<std::string> items;
    std::vector<Key> keys;
    std::string saved;
  } cases[] = {
      {"unedited, a lone CR kept", {"/* h */\r\n", "INSERT ('a\rb')"}, {}, "/* h */\r\n\r\nINSERT ('a\rb')\r\n"},
      {"typed into", {"one", "two"}, {Press(Qt::Key_Down), Type("2"), Press(Qt::Key_Return)}, "one\r\n2\r\ntwo\r\n"},
      {"its last break deleted", {"one"}, {Press(Qt::Key_End, Qt::ControlModifier), Press(Qt::Key_Backspace)},
       "one\r\n"},
      {"emptied", {"one"}, {Press(Qt::Key_A, Qt::ControlModifier), Press(Qt::Key_Delete)}, ""},
  };
  for (const auto& test : cases) {
    ScriptView* view = AddScript(test.items);
    Send(view, test.keys);
    EXPECT_EQ(SavedBytes(), test.saved) << test.what;
  }
}

TEST_F(ScriptViewTest, ClosingATabFreesItsEditor) {
  QPointer<ScriptView> view = AddScript({"one"});
  Window().CloseCurrentTab();
  EXPECT_TRUE(view.isNull());
}

}  // namespace
}  // namespace quill
