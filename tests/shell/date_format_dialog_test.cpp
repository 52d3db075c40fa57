#include "shell/date_format_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <fstream>

#include "generator/log_stamp.h"
#include "platform/formatting/format_settings.h"
#include "shell/main_window.h"
#include "shell/options_dialog.h"
#include "shell/radio_group.h"
#include "options_dialogs_fixture.h"
#include "sources/settings_file.h"

namespace quill {
namespace {

using testing::ReadFileBytes;

class DateFormatDialogTest : public testing::OptionsDialogsTest {
 protected:
  DateFormatDialogTest() { GlobalFormatSettings() = CLocaleFormatSettings(); }

  DateFormatDialog& Dialog() { return DateDialog(); }

  template <typename T>
  T* Find(const char* object_name) {
    return FindIn<T>(Dialog(), object_name);
  }

  void UpdateVariables() { Find<QPushButton>("Button2")->click(); }
};

TEST_F(DateFormatDialogTest, OpensFromTheOptionsDialogOnThePageOfTheCurrentDialect) {
  DateFormatDialog& dialog = Dialog();
  QTabWidget* pages = Find<QTabWidget>("PageControl1");
  QStringList captions;
  for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
  EXPECT_EQ(captions, QStringList({"MySql", "MS SQL", "Oracle", "Pervasive", "PostgreSQL"}));
  EXPECT_EQ(dialog.windowTitle(), "Quillmarsh - Date Field Formatting");

  for (const TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::Pervasive, TargetDialect::MySql}) {
    Window().SelectDialect(static_cast<int>(dialect));
    int page = -1;
    QRect frame;
    QTimer::singleShot(0, &dialog, [&] {
      page = dialog.CurrentPage();
      frame = dialog.frameGeometry();
      dialog.close();  // the close box saves as OK does
    });
    Options().OpenDateFormats();
    EXPECT_EQ(page, static_cast<int>(dialect));
    EXPECT_EQ(pages->tabText(page), captions[static_cast<int>(dialect)]);
    const QRect owner = Options().frameGeometry();
    // At its offsets, or moved onto the screen where they would put a part of it off it.
    const QPoint offsets(owner.left() + owner.width() / 2 - 257, owner.top() + owner.height() / 2 - 265);
    EXPECT_EQ(frame.topLeft(), testing::PlaceOnArea(offsets, frame.size(), dialog.screen()->availableGeometry()));
  }
  EXPECT_NE(ReadFileBytes(folder_.path() / "options.ini").find("PeFormat=YYYY-MM-DD"), std::string::npos);
}

TEST_F(DateFormatDialogTest, ChoicesAreLiveAndWrittenOnClose) {
  DateFormatDialog& dialog = Dialog();
  Find<QComboBox>("ComboBox1")->setCurrentIndex(2);
  Find<RadioGroup>("RadioGroup1")->Item(1)->setChecked(true);
  Find<RadioGroup>("RadioGroup2")->Item(0)->setChecked(true);
  Find<QComboBox>("ComboBox2")->setCurrentIndex(5);
  Find<QLineEdit>("Edit1")->setText("%d/%m/%Y");
  Find<QLineEdit>("Edit12")->setText("DD.MM.YYYY");
  EXPECT_EQ(settings_.ms_format, 2);
  EXPECT_EQ(settings_.ms_type, 1);
  EXPECT_EQ(settings_.my_format, "%d/%m/%Y");
  dialog.accept();

  Settings read_back;
  LoadDateFormatOptions(read_back, OptionsFilePath(folder_.ProgramFolder()));
  EXPECT_EQ(read_back.ms_format, 2);
  EXPECT_EQ(read_back.ms_type, 1);
  EXPECT_EQ(read_back.post_form_type, 0);
  EXPECT_EQ(read_back.po_format, 5);
  EXPECT_EQ(read_back.my_format, "%d/%m/%Y");
  EXPECT_EQ(read_back.po_date_format, "DD.MM.YYYY");
  EXPECT_EQ(read_back.pe_format, "YYYY-MM-DD");
}

TEST_F(DateFormatDialogTest, ChoicesOutsideTheListsFromTheFileChooseNothing) {
  std::ofstream(folder_.path() / "options.ini") << "[Output]\r\nMSFormat=9\r\nPoFormat=12\r\nMSType=2\r\n";
  Dialog();
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentIndex(), -1);
  EXPECT_EQ(Find<QComboBox>("ComboBox2")->currentIndex(), -1);
  EXPECT_EQ(Find<RadioGroup>("RadioGroup1")->ItemIndex(), -1);
  EXPECT_EQ(settings_.ms_format, kNoChoice);
  EXPECT_EQ(settings_.po_format, kNoChoice);
  EXPECT_EQ(settings_.ms_type, kNoChoice);
}

TEST_F(DateFormatDialogTest, GlobalVariablesPageShowsTheVariablesAndAChangedShortDateChangesTheNextLogStamp) {
  Dialog();
  EXPECT_EQ(Find<QLineEdit>("Edit5")->text(), "yyyy-mm-dd");
  EXPECT_EQ(Find<QLineEdit>("Edit8")->text(), "hh:nn:ss");
  EXPECT_EQ(Find<QPlainTextEdit>("Memo6")->toPlainText().split('\n').size(), 12);
  EXPECT_EQ(Find<QPlainTextEdit>("Memo8")->toPlainText().split('\n').first(), "Sunday");

  const Clock clock = [] { return DateTime{2004, 12, 31, 13, 5, 9}; };
  EXPECT_EQ(LogStamp(clock), "2004-12-31 - 13:05:09");
  Find<QLineEdit>("Edit4")->setText(".");
  Find<QLineEdit>("Edit5")->setText("dd/mm/yyyy");
  Find<QLineEdit>("Edit8")->setText("hh.nn");
  UpdateVariables();
  EXPECT_EQ(LastMessage(), "Variables have been updated");
  EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Information);
  EXPECT_EQ(LogStamp(clock), "31.12.2004 - 13.05");

  Find<QPlainTextEdit>("Memo6")->setPlainText("Ene\nFeb\nMar\nAbr\nMay\nJun\nJul\nAgo\nSep\nOct\nNov\nDic");
  UpdateVariables();
  EXPECT_EQ(GlobalFormatSettings().long_month_names[11], "Dic");
}

TEST_F(DateFormatDialogTest, EmptyDateSeparatorKeepsTheOldOneAndSaysSo) {
  Dialog();
  Find<QLineEdit>("Edit4")->clear();
  Find<QLineEdit>("Edit5")->setText("dd/mm/yy");
  UpdateVariables();
  const auto& messages = dialogs_.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "No date separator was entered: the separator \"-\" is kept.");
  EXPECT_EQ(messages[1].text, "Variables have been updated");
  EXPECT_EQ(GlobalFormatSettings().date_separator, "-");
  EXPECT_EQ(GlobalFormatSettings().short_date_format, "dd/mm/yy");
}

TEST_F(DateFormatDialogTest, ListWithTooFewNamesStopsTheUpdateWithoutTheConfirmation) {
  Dialog();
  Find<QLineEdit>("Edit5")->setText("dd mmm yyyy");
  Find<QPlainTextEdit>("Memo5")->setPlainText("J\nF\nM\nA\nM\nJ\nJ\nA\nS\nO\nN\nD");
  Find<QPlainTextEdit>("Memo6")->setPlainText("Uno\nDos\nTres");
  Find<QLineEdit>("Edit9")->setText("vorm.");
  UpdateVariables();
  EXPECT_EQ(LastMessage(), "List index out of bounds (3)");
  EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Error);
  const FormatSettings& variables = GlobalFormatSettings();
  // What came before the short list is set; what comes after is not.
  EXPECT_EQ(variables.short_date_format, "dd mmm yyyy");
  EXPECT_EQ(variables.short_month_names[0], "J");
  EXPECT_EQ(variables.long_month_names[2], "Tres");
  EXPECT_EQ(variables.long_month_names[3], "April");
  EXPECT_EQ(variables.time_am_string, "AM");
}

}  // namespace
}  // namespace quill
