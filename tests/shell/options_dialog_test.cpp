#include "shell/options_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "shell/date_format_dialog.h"
#include "shell/main_window.h"
#include "shell/radio_group.h"
#include "shell/script_view.h"
#include "shell/source_item_delegate.h"
#include "shell/up_down.h"
#include "options_dialogs_fixture.h"
#include "sources/dsn_key_file.h"
#include "sources/settings_file.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TemporaryFolder;

const char* const kCheckBoxes[] = {"CheckBox1",  "CheckBox2",  "CheckBox3",  "CheckBox4",  "CheckBox5",
                                   "CheckBox6",  "CheckBox7",  "CheckBox9",  "CheckBox10", "CheckBox11",
                                   "CheckBox12", "CheckBox13", "CheckBox14", "CheckBox15", "CheckBox16",
                                   "CheckBox17", "CheckBox18", "CheckBox19", "CheckBox20", "CheckBox21",
                                   "CheckBox22", "CheckBox23", "CheckBox24"};

class OptionsDialogTest : public testing::OptionsDialogsTest {
 protected:
  OptionsDialog& Dialog() { return Options(); }

  template <typename T>
  T* Find(const char* object_name) {
    return FindIn<T>(Dialog(), object_name);
  }

  template <typename T>
  T* FindInWindow(const char* object_name) {
    return FindIn<T>(Window(), object_name);
  }

  static void RegisterSource(const std::string& name) {
    testing::RegisterSystemDsn(name, testing::kSqliteDriver, {{"Database", "/nonexistent/quill.db"}});
  }

  QTreeWidgetItem* SourceNode(const std::string& dsn) {
    QTreeWidgetItem* root = Window().tree()->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0).toStdString() == dsn) return root->child(i);
    ADD_FAILURE() << "no source node " << dsn;
    return nullptr;
  }
};

TEST_F(OptionsDialogTest, FirstStartShowsEveryDesignedState) {
  OptionsDialog& dialog = Dialog();
  EXPECT_EQ(dialog.objectName(), "PagesDlg");
  EXPECT_EQ(dialog.windowTitle(), "Quillmarsh Options");
  QTabWidget* pages = Find<QTabWidget>("PageControl1");
  QStringList captions;
  for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
  EXPECT_EQ(captions, QStringList({"Dates", "Login", "BLOB", "Automation", "Format", "Misc"}));

  for (const char* name : kCheckBoxes) EXPECT_FALSE(Find<QCheckBox>(name)->isChecked()) << name;
  for (const char* name : {"RadioButton1", "RadioButton2", "RadioButton3"})
    EXPECT_FALSE(Find<QRadioButton>(name)->isChecked()) << name;
  EXPECT_EQ(Find<RadioGroup>("RadioGroup1")->ItemIndex(), -1);
  EXPECT_TRUE(Find<RadioGroup>("RadioGroup1")->isHidden());
  EXPECT_EQ(Find<RadioGroup>("RadioGroup2")->ItemIndex(), -1);
  EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "30");
  EXPECT_TRUE(Find<QLineEdit>("Edit1")->isReadOnly());
  for (const char* name : {"Edit2", "Edit5", "Edit6"}) EXPECT_TRUE(Find<QLineEdit>(name)->text().isEmpty()) << name;
  EXPECT_EQ(Find<QLineEdit>("Edit3")->maxLength(), 20);
  EXPECT_EQ(Find<QLineEdit>("Edit4")->maxLength(), 20);
  EXPECT_EQ(Find<QLineEdit>("Edit4")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Find<QCheckBox>("CheckBox13")->toolTip(), "Not included : Pervasive, MS XML, CSV.");
  EXPECT_EQ(Find<QCheckBox>("CheckBox6")->toolTip(),
            "Use this option to force extraction of hidden tables, like excel sheets.");
  EXPECT_EQ(Find<QPushButton>("Button4")->text(), "Assign Password for this DSN");
  EXPECT_EQ(settings_.size, "30");
  EXPECT_EQ(settings_.files_method, kNoChoice);

  // The date-format dialog: only the Pervasive format is set; closing writes "nothing chosen".
  DateFormatDialog& date_dialog = *date_dialog_;
  EXPECT_EQ(date_dialog.objectName(), "Form4");
  EXPECT_EQ(date_dialog.findChild<QLineEdit*>("Edit2")->text(), "YYYY-MM-DD");
  for (const char* name : {"Edit1", "Edit3", "Edit11", "Edit12"})
    EXPECT_TRUE(date_dialog.findChild<QLineEdit*>(name)->text().isEmpty()) << name;
  EXPECT_EQ(date_dialog.findChild<QComboBox*>("ComboBox1")->currentIndex(), -1);
  EXPECT_EQ(date_dialog.findChild<QComboBox*>("ComboBox2")->currentIndex(), -1);
  EXPECT_EQ(date_dialog.findChild<RadioGroup*>("RadioGroup1")->ItemIndex(), -1);
  EXPECT_EQ(date_dialog.findChild<RadioGroup*>("RadioGroup2")->ItemIndex(), -1);
  date_dialog.accept();
  const std::string saved = OptionsText();
  for (const char* line : {"MSFormat=-1", "PoFormat=-1", "MSType=-1", "PostFormType=-1", "PeFormat=YYYY-MM-DD"})
    EXPECT_NE(saved.find(line), std::string::npos) << line << " in " << saved;
}

TEST_F(OptionsDialogTest, OkWritesTheOptionsAndCancelEscapeAndCloseBoxReadThemBack) {
  RegisterSource("Alpha Source");
  OptionsDialog& dialog = Dialog();
  dialog.show();
  Find<QCheckBox>("CheckBox3")->setChecked(true);
  Find<QCheckBox>("CheckBox15")->setChecked(true);
  Find<QRadioButton>("RadioButton2")->setChecked(true);
  Find<RadioGroup>("RadioGroup2")->Item(1)->setChecked(true);
  Find<QLineEdit>("Edit5")->setText("0.00");
  EXPECT_TRUE(settings_.underscore);  // live at once, before any OK
  dialog.accept();

  Settings read_back;
  SetPagesOptions(read_back, OptionsPath());
  EXPECT_TRUE(read_back.underscore);
  EXPECT_TRUE(read_back.find_jpg);
  EXPECT_TRUE(read_back.formatting);
  EXPECT_FALSE(read_back.convert);
  EXPECT_EQ(read_back.files_method, 1);
  EXPECT_EQ(read_back.float_format, "0.00");
  EXPECT_NE(OptionsText().find("Underscore=1"), std::string::npos);

  auto change_everything = [this] {
    Find<QCheckBox>("CheckBox3")->setChecked(false);
    Find<QCheckBox>("CheckBox12")->setChecked(true);
    Find<QRadioButton>("RadioButton1")->setChecked(true);
    Find<RadioGroup>("RadioGroup2")->Item(0)->setChecked(true);
    Find<QLineEdit>("Edit5")->setText("#");
  };
  const std::function<void()> closes[] = {
      [&] { dialog.reject(); },
      [&] { QTest::keyClick(&dialog, Qt::Key_Escape); },
      [&] { dialog.close(); },
  };
  for (const auto& close : closes) {
    dialog.show();
    change_everything();
    close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(Find<QCheckBox>("CheckBox3")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("CheckBox12")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_EQ(Find<RadioGroup>("RadioGroup2")->ItemIndex(), 1);
    EXPECT_EQ(Find<QLineEdit>("Edit5")->text(), "0.00");
    EXPECT_TRUE(settings_.underscore);
    EXPECT_FALSE(settings_.extract_files);
    EXPECT_TRUE(settings_.formatting);
    EXPECT_FALSE(settings_.convert);
    EXPECT_EQ(settings_.float_format, "0.00");
  }
}

TEST_F(OptionsDialogTest, DateModeKeysReadIntoOneGroupWhereTheLastSetWins) {
  OptionsDialog& dialog = Dialog();
  const struct {
    const char* keys;
    const char* checked;  // nullptr: none
  } cases[] = {
      {"Convert=1\r\nFormatting=0\r\nLeave=0", "RadioButton1"},
      {"Convert=1\r\nFormatting=1\r\nLeave=0", "RadioButton2"},
      {"Convert=1\r\nFormatting=0\r\nLeave=1", "RadioButton3"},
      {"Convert=1\r\nFormatting=1\r\nLeave=1", "RadioButton3"},
      {"Convert=0\r\nFormatting=0\r\nLeave=0", nullptr},
  };
  for (const auto& test : cases) {
    WriteOptions(std::string("[Data]\r\n") + test.keys + "\r\n");
    dialog.reject();  // reads the keys back
    for (const char* name : {"RadioButton1", "RadioButton2", "RadioButton3"}) {
      const bool expected = test.checked != nullptr && std::string(name) == test.checked;
      EXPECT_EQ(Find<QRadioButton>(name)->isChecked(), expected) << test.keys << " " << name;
    }
    EXPECT_EQ(settings_.convert + settings_.formatting + settings_.leave, test.checked != nullptr ? 1 : 0);
  }
}

TEST_F(OptionsDialogTest, JetProviderBoxesMirrorEachOtherAlsoAcrossACancel) {
  RegisterSource("Alpha Source");
  OptionsDialog& dialog = Dialog();
  QCheckBox* main_box = FindInWindow<QCheckBox>("CheckBox2");
  QCheckBox* dialog_box = Find<QCheckBox>("CheckBox7");
  dialog.show();
  dialog_box->click();
  EXPECT_TRUE(main_box->isChecked());
  EXPECT_TRUE(settings_.jet_eng);
  dialog.reject();
  EXPECT_FALSE(dialog_box->isChecked());
  EXPECT_FALSE(main_box->isChecked());
  EXPECT_FALSE(settings_.jet_eng);

  main_box->click();
  EXPECT_TRUE(settings_.jet_eng);
  dialog.show();
  EXPECT_TRUE(dialog_box->isChecked());
  dialog.accept();
  EXPECT_NE(OptionsText().find("JetEng=1"), std::string::npos);
  EXPECT_TRUE(main_box->isChecked());
}

TEST_F(OptionsDialogTest, LoginPagePreselectsTheSourceSelectedInTheTreeOrElseTheFirst) {
  auto first = testing::TestDatabase::Sqlite();
  auto second = testing::TestDatabase::Sqlite();
  second.CreateTable({"people", {{"id", "INTEGER"}}, {"id"}, {}});
  MainWindow& window = Window();
  logins_->AssignLogin(second.Dsn(), DsnLogin{"bob", "secret"}, false);
  window.QuietRebuildSources();
  QTreeWidgetItem* second_node = SourceNode(second.Dsn());
  ASSERT_NE(second_node, nullptr);
  // The tree's caption is matched ignoring letter case.
  second_node->setText(0, second_node->text(0).toUpper());
  window.tree()->setCurrentItem(second_node);

  OptionsDialog& dialog = Dialog();
  QComboBox* sources = Find<QComboBox>("ComboBox1");
  dialog.show();
  EXPECT_EQ(sources->currentText().toStdString(), second.Dsn());
  EXPECT_EQ(Find<QLineEdit>("Edit3")->text(), "bob");
  EXPECT_EQ(Find<QLineEdit>("Edit4")->text(), "secret");
  EXPECT_TRUE(Find<QPushButton>("Button4")->isEnabled());
  EXPECT_EQ(window.StatusText(), " Ready ");
  dialog.reject();

  window.QuietRebuildSources();
  second_node = SourceNode(second.Dsn());
  window.ActivateNode(second_node);
  ASSERT_EQ(second_node->childCount(), 1);
  window.tree()->setCurrentItem(second_node->child(0));
  dialog.show();
  EXPECT_EQ(sources->currentIndex(), 0);
  EXPECT_EQ(sources->currentText().toStdString(), first.Dsn());
  EXPECT_TRUE(Find<QLineEdit>("Edit3")->text().isEmpty());
  // Choosing a source shows its login.
  sources->setCurrentIndex(sources->findText(QString::fromStdString(second.Dsn())));
  EXPECT_EQ(Find<QLineEdit>("Edit3")->text(), "bob");
  dialog.reject();
}

TEST_F(OptionsDialogTest, NoSourcesGiveTheNoDsnItemAndDisableTheLogin) {
  dialogs_.AnswerQuestion(MessageAnswer::No);
  OptionsDialog& dialog = Dialog();
  dialog.show();
  EXPECT_EQ(dialogs_.messages().back().text, "No available sources found. Define System DSN now ?");
  QComboBox* sources = Find<QComboBox>("ComboBox1");
  ASSERT_EQ(sources->count(), 1);
  EXPECT_EQ(sources->currentText(), "-- No DSN Found --");
  for (const char* name : {"Edit3", "Edit4"}) EXPECT_FALSE(Find<QLineEdit>(name)->isEnabled()) << name;
  EXPECT_FALSE(Find<QPushButton>("Button4")->isEnabled());
  dialog.reject();
}

TEST_F(OptionsDialogTest, AssigningALoginWritesTheKeyFileOnYesAndDeletesItOnNo) {
  RegisterSource("Alpha Source");
  OptionsDialog& dialog = Dialog();
  const std::string key_file = *DsnKeyFilePath(folder_.ProgramFolder(), "Alpha Source");
  const struct {
    MessageAnswer answer;
    const char* user;
    bool key_file_kept;
  } cases[] = {{MessageAnswer::Yes, "ann", true}, {MessageAnswer::No, "max", false}};
  for (const auto& test : cases) {
    dialog.show();
    Find<QLineEdit>("Edit3")->setText(test.user);
    Find<QLineEdit>("Edit4")->setText("pw");
    dialogs_.AnswerQuestion(test.answer);
    Find<QPushButton>("Button4")->click();
    const auto& messages = dialogs_.messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2].text, "Store password in computer ?");
    EXPECT_EQ(messages.back().text, "Username/Password Assigned to this DSN.");
    EXPECT_EQ(fs::exists(key_file), test.key_file_kept) << test.user;
    if (test.key_file_kept) {
      struct stat status {};
      ASSERT_EQ(stat(key_file.c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 0777, 0600u);
    }
    EXPECT_EQ(logins_->GetPssw("Alpha Source").user_name, test.user);
    dialog.reject();  // closing leaves assigned logins alone
    EXPECT_EQ(logins_->GetPssw("Alpha Source").user_name, test.user);
  }
}

// Asked while the dialog is open, the questions belong to it: owned by the
// main window, they would open behind it.
TEST_F(OptionsDialogTest, LoginQuestionsBelongToTheDialogInFront) {
  RegisterSource("Alpha Source");
  OptionsDialog& dialog = Dialog();
  QTimer::singleShot(0, &dialog, [&] {
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    Find<QLineEdit>("Edit3")->setText("ann");
    Find<QLineEdit>("Edit4")->setText("pw");
    dialogs_.AnswerQuestion(MessageAnswer::Yes);
    Find<QPushButton>("Button4")->click();
    dialog.reject();
  });
  Window().ShowOptionsDialog(static_cast<int>(OptionsPage::Login));
  ASSERT_EQ(dialogs_.messages().size(), 2u);
  for (const testing::ShownMessage& message : dialogs_.messages()) {
    EXPECT_EQ(message.parent, &dialog) << message.text.toStdString();
  }
  EXPECT_EQ(dialogs_.messages()[0].text, "Store password in computer ?");
  // With no dialog open, a message belongs to the main window.
  Window().ShowMessageBox("plain", MessageIcon::Information, MessageButtons::Ok);
  EXPECT_EQ(dialogs_.messages().back().parent, &Window());
}

TEST_F(OptionsDialogTest, FieldSizeArrowsRunFromOneToOneHundredTwentyFive) {
  Dialog();
  auto* up_down = Find<UpDown>("UpDown1");
  QLineEdit* size = Find<QLineEdit>("Edit1");
  up_down->Click(true);
  EXPECT_EQ(size->text(), "31");
  EXPECT_EQ(settings_.size, "31");
  up_down->Click(false);
  up_down->Click(false);
  EXPECT_EQ(size->text(), "29");
  for (int i = 0; i < 200; ++i) up_down->Click(true);
  EXPECT_EQ(size->text(), "125");
  for (int i = 0; i < 300; ++i) up_down->Click(false);
  EXPECT_EQ(size->text(), "1");
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(OptionsDialogTest, NonNumericFieldSizeReportsAnErrorAndKeepsTheText) {
  WriteOptions("[Data]\r\nSize=abc\r\n");
  Dialog();
  QLineEdit* size = Find<QLineEdit>("Edit1");
  EXPECT_EQ(size->text(), "abc");
  for (const char* text : {"abc", "12x", ""}) {
    size->setText(text);
    Find<UpDown>("UpDown1")->Click(true);
    EXPECT_EQ(size->text(), text);
    EXPECT_EQ(LastMessage(), QString("'%1' is not a valid integer value").arg(text));
    EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Error);
  }
}

TEST_F(OptionsDialogTest, FolderPickerFillsTheBlobRoot) {
  Dialog();
  dialogs_.AnswerFolder("/srv/blobs");
  Find<QAbstractButton>("Button2")->click();
  EXPECT_EQ(Find<QLineEdit>("Edit6")->text(), "/srv/blobs");
  EXPECT_EQ(settings_.blob_path, "/srv/blobs");
  Find<QAbstractButton>("Button2")->click();  // cancelled: the root stays
  EXPECT_EQ(settings_.blob_path, "/srv/blobs");
}

TEST_F(OptionsDialogTest, EmptyingTheBlobRootKeepsTheStartupFolderAndDeletesTheStartupFile) {
  TemporaryFolder blobs;
  fs::create_directories(blobs.path() / "Startup");
  std::ofstream(blobs.path() / "Startup" / "inside.jpg") << "jpg";
  std::ofstream(blobs.path() / "startup") << "file";
  std::ofstream(blobs.path() / "picture.bmp") << "bmp";
  fs::create_directories(blobs.path() / "sub" / "deeper");
  Dialog();
  Find<QLineEdit>("Edit6")->setText(QString::fromStdString(blobs.path().string()));

  dialogs_.AnswerQuestion(MessageAnswer::Cancel);
  Find<QPushButton>("Button3")->click();
  EXPECT_EQ(LastMessage(), "Are you sure you want to delete all files and folders ?");
  EXPECT_EQ(dialogs_.messages().back().buttons, MessageButtons::OkCancel);
  EXPECT_TRUE(fs::exists(blobs.path() / "picture.bmp"));

  dialogs_.AnswerQuestion(MessageAnswer::Ok);
  Find<QPushButton>("Button3")->click();
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(blobs.path())) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>({"Startup"}));
  EXPECT_TRUE(fs::exists(blobs.path() / "Startup" / "inside.jpg"));
}

TEST_F(OptionsDialogTest, EmptyRootFileSystemRootAndHomeAreRefusedBeforeAnyQuestion) {
  TemporaryFolder home;
  std::ofstream(home.path() / "notes.txt") << "mine";
  setenv("HOME", home.path().c_str(), 1);
  Dialog();
  const struct {
    std::string root;
    QString message;
  } cases[] = {
      {"", "No root path is given: nothing was deleted."},
      {"/", "The root of the file system cannot be emptied: nothing was deleted."},
      {"/tmp/..", "The root of the file system cannot be emptied: nothing was deleted."},
      {home.path().string(), "This folder is or holds your home folder: nothing was deleted."},
      {home.path().parent_path().string(), "This folder is or holds your home folder: nothing was deleted."},
  };
  for (const auto& test : cases) {
    Find<QLineEdit>("Edit6")->setText(QString::fromStdString(test.root));
    Find<QPushButton>("Button3")->click();  // an unscripted question would fail the test
    EXPECT_EQ(LastMessage(), test.message) << test.root;
    EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Warning);
  }
  EXPECT_TRUE(fs::exists(home.path() / "notes.txt"));
}

TEST_F(OptionsDialogTest, SourceRowsAlternateAndTheSelectedRowTakesTheSelectionColour) {
  QStringListModel model({"one", "two", "three"});
  SourceItemDelegate delegate;
  constexpr int kWidth = 200;
  QImage image(kWidth, 3 * SourceItemDelegate::kItemHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    for (int row = 0; row < 3; ++row) {
      QStyleOptionViewItem option;
      option.rect = QRect(0, row * SourceItemDelegate::kItemHeight, kWidth, SourceItemDelegate::kItemHeight);
      option.palette = QApplication::palette();
      if (row == 2) option.state |= QStyle::State_Selected;
      delegate.paint(&painter, option, model.index(row, 0));
    }
  }
  auto background = [&](int row) { return image.pixelColor(kWidth - 2, row * SourceItemDelegate::kItemHeight + 9); };
  EXPECT_EQ(background(0), QColor(Qt::white));
  EXPECT_EQ(background(1), SourceItemDelegate::OddRowColor());
  EXPECT_EQ(background(2), SourceItemDelegate::SelectedRowColor());
  // The selected row's text is black; the image sits left of the text.
  bool dark_text = false;
  for (int x = 30; x < 80; ++x)
    for (int y = 2 * SourceItemDelegate::kItemHeight; y < image.height(); ++y)
      if (image.pixelColor(x, y).lightness() < 60) dark_text = true;
  EXPECT_TRUE(dark_text);
  EXPECT_NE(image.pixelColor(12, 9), QColor(Qt::white));
  EXPECT_EQ(delegate.sizeHint(QStyleOptionViewItem(), model.index(0, 0)).height(), 18);
}

TEST_F(OptionsDialogTest, PlacedByOffsetsFromTheMainWindow) {
  RegisterSource("Alpha Source");
  MainWindow& window = Window();
  window.setGeometry(101, 121, 700, 561);
  OptionsDialog& dialog = Dialog();
  dialog.show();
  const QRect owner = window.frameGeometry();
  EXPECT_EQ(dialog.frameGeometry().topLeft(),
            QPoint(owner.left() + owner.width() / 2 - 142, owner.top() + owner.height() / 2 - 165));
  dialog.reject();
}

TEST_F(OptionsDialogTest, MenuCommandsOpenTheDialogOnTheirPage) {
  RegisterSource("Alpha Source");
  OptionsDialog& dialog = Dialog();
  MainWindow& window = Window();
  auto page_shown_by = [&](const char* command) {
    int page = -1;
    QTimer::singleShot(0, &dialog, [&] {
      page = static_cast<int>(dialog.CurrentPage());
      dialog.reject();
    });
    QAction* action = FindInWindow<QAction>(command);
    EXPECT_TRUE(action->isEnabled()) << command;
    action->trigger();
    return page;
  };
  dialog.SetPage(OptionsPage::Format);
  EXPECT_EQ(page_shown_by("Options2"), static_cast<int>(OptionsPage::Format));
  EXPECT_EQ(page_shown_by("Login1"), static_cast<int>(OptionsPage::Login));
  dialog.SetPage(OptionsPage::Blob);
  EXPECT_EQ(page_shown_by("Password1"), static_cast<int>(OptionsPage::Login));
  EXPECT_EQ(page_shown_by("Options2"), static_cast<int>(OptionsPage::Login));
  (void)window;
}

TEST_F(OptionsDialogTest, ScriptFollowsOptionsChangedInTheDialogWithoutARestart) {
  auto database = testing::TestDatabase::Sqlite();
  database.CreateTable({"order lines", {{"id", "INTEGER"}, {"first name", "VARCHAR(20)"}}, {"id"}, {{"1", "'Ann'"}}});
  RegisterSource("Alpha Source");
  MainWindow& window = Window();
  OptionsDialog& dialog = Dialog();
  window.QuietRebuildSources();
  const QString source = QString::fromStdString(database.Dsn());

  window.RunGenerateScript(source, "order lines");
  ASSERT_EQ(window.TabCount(), 1);
  EXPECT_FALSE(window.ScriptEditor(0)->PlainText().contains("order_lines"));

  dialog.show();
  Find<QCheckBox>("CheckBox3")->click();
  dialog.accept();
  window.RunGenerateScript(source, "order lines");
  ASSERT_EQ(window.TabCount(), 2);
  const QString script = window.ScriptEditor(1)->PlainText();
  EXPECT_TRUE(script.contains("order_lines")) << script.toStdString();
  EXPECT_TRUE(script.contains("first_name")) << script.toStdString();
}

TEST_F(OptionsDialogTest, DateFormattingWithNothingChosenInTheDateDialogTakesTheFallbacks) {
  auto database = testing::TestDatabase::Sqlite();
  database.CreateTable({"events", {{"id", "INTEGER"}, {"day", "DATE"}}, {"id"}, {{"1", "'2004-12-31'"}}});
  MainWindow& window = Window();
  OptionsDialog& dialog = Dialog();
  window.QuietRebuildSources();
  dialog.show();
  Find<QRadioButton>("RadioButton2")->click();  // "Use date formatting"
  dialog.accept();
  // The date dialog still shows nothing chosen.
  EXPECT_EQ(date_dialog_->findChild<QComboBox*>("ComboBox1")->currentIndex(), -1);
  EXPECT_EQ(date_dialog_->findChild<RadioGroup*>("RadioGroup2")->ItemIndex(), -1);

  const struct {
    TargetDialect dialect;
    std::vector<QString> expected;
  } cases[] = {
      {TargetDialect::MsSql, {"SET DATEFORMAT mdy", "DATETIME]"}},
      {TargetDialect::PostgreSql, {"SET datestyle TO ISO, YMD;"}},
  };
  for (const auto& test : cases) {
    window.SelectDialect(static_cast<int>(test.dialect));
    window.RunGenerateScript(QString::fromStdString(database.Dsn()), "events");
    const QString script = window.ScriptEditor(window.TabCount() - 1)->PlainText();
    for (const QString& text : test.expected) EXPECT_TRUE(script.contains(text)) << script.toStdString();
  }
}

}  // namespace
}  // namespace quill
