#include "shell/replace_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include "options_dialogs_fixture.h"
#include "shell/script_view.h"

namespace quill {
namespace {

class ReplaceDialogTest : public testing::OptionsDialogsTest {
 protected:
  ReplaceDialog& Dialog() {
    if (!dialog_) dialog_ = std::make_unique<ReplaceDialog>(Window());
    return *dialog_;
  }

  // A script of one item (the editor shows its CR LF as a last line break).
  ScriptView* AddScript(const QString& text) {
    ScriptDocument document;
    document.tab_caption = "script";
    document.script = ScriptBuffer::FromItems({text.toStdString()});
    Window().AddScriptTab(std::move(document));
    return Window().ScriptEditor(Window().TabCount() - 1);
  }
  static std::string Shown(const ScriptView* editor) { return editor->PlainText().chopped(1).toStdString(); }

  void Replace(const QString& find, const QString& with, bool case_sensitive) {
    FindIn<QLineEdit>(Dialog(), "Edit1")->setText(find);
    FindIn<QLineEdit>(Dialog(), "Edit2")->setText(with);
    FindIn<QCheckBox>(Dialog(), "CheckBox1")->setChecked(case_sensitive);
    FindIn<QPushButton>(Dialog(), "Button1")->click();
  }

  std::unique_ptr<ReplaceDialog> dialog_;
};

TEST_F(ReplaceDialogTest, ReplacesEveryOccurrenceOfTheWholeScriptAndSaysWhetherAnyWasFound) {
  const QString script = "select a from People;\nSELECT b from people;";
  struct Case {
    const char* find;
    const char* with;
    bool case_sensitive;
    QString result;
    QString message;
  };
  const Case cases[] = {
      {"select", "INSERT", false, "INSERT a from People;\nINSERT b from people;", "All occurrences replaced."},
      {"select", "INSERT", true, "INSERT a from People;\nSELECT b from people;", "All occurrences replaced."},
      {"select", "SELECT", false, "SELECT a from People;\nSELECT b from people;", "All occurrences replaced."},
      {"from", "from", false, script, "No occurrences found."},
      {"People", "People", true, script, "No occurrences found."},
      // Ignoring case, a text replaced by itself still rewrites "people".
      {"People", "People", false, "select a from People;\nSELECT b from People;", "All occurrences replaced."},
      {"PEOPLE", "x", true, script, "No occurrences found."},
      {"from", "", false, "select a  People;\nSELECT b  people;", "All occurrences replaced."},
  };
  for (const Case& test : cases) {
    ScriptView* editor = AddScript(script);
    const size_t before = dialogs_.messages().size();
    Replace(test.find, test.with, test.case_sensitive);
    EXPECT_EQ(Shown(editor), test.result.toStdString()) << test.find << " -> " << test.with;
    // A changed script is saved as shown, not as it was generated.
    EXPECT_EQ(editor->IsModified(), test.result != script) << test.find;
    ASSERT_EQ(dialogs_.messages().size(), before + 1);
    const testing::ShownMessage& shown = dialogs_.messages().back();
    EXPECT_EQ(shown.text.toStdString(), test.message.toStdString()) << test.find;
    EXPECT_EQ(shown.title, "Quillmarsh");
    EXPECT_EQ(shown.icon, MessageIcon::None);
    const QRect main = Window().frameGeometry();
    EXPECT_EQ(shown.top_left, QPoint(main.left() + main.width() / 2 - 100, main.top() + main.height() / 2 - 60));
  }
}

TEST_F(ReplaceDialogTest, WorksOnTheCurrentTabOnly) {
  ScriptView* first = AddScript("one two");
  ScriptView* second = AddScript("one two");
  FindIn<QTabBar>(Window(), "TabControl1")->setCurrentIndex(0);
  Replace("one", "1", false);
  EXPECT_EQ(Shown(first), "1 two");
  EXPECT_EQ(Shown(second), "one two");
}

TEST_F(ReplaceDialogTest, TheReplacedScriptIsWhatIsSaved) {
  AddScript("INSERT INTO people VALUES (1);");
  Replace("people", "persons", false);
  const std::filesystem::path saved = folder_.path() / "saved.sql";
  dialogs_.AnswerSaveFile(QString::fromStdString(saved.string()));
  Window().SaveCurrentScript();
  EXPECT_EQ(testing::ReadFileBytes(saved), "INSERT INTO persons VALUES (1);\r\n");
}

TEST_F(ReplaceDialogTest, WithNothingToFindNothingHappens) {
  ScriptView* editor = AddScript("one two");
  Replace("", "x", false);
  EXPECT_EQ(Shown(editor), "one two");
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(ReplaceDialogTest, OpensOverTheMainWindowWithItsDesignedControls) {
  ReplaceDialog& dialog = Dialog();
  EXPECT_EQ(dialog.objectName(), "Form5");
  EXPECT_EQ(dialog.windowTitle(), "Replace all in selected document");
  EXPECT_EQ(FindIn<QCheckBox>(dialog, "CheckBox1")->text(), "Case sensitive search");
  dialog.show();
  const QRect main = Window().frameGeometry();
  EXPECT_EQ(dialog.pos(), QPoint(main.left() + main.width() / 2 - 220, main.top() + main.height() / 2 - 193));
  FindIn<QPushButton>(dialog, "Button2")->click();
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace quill
