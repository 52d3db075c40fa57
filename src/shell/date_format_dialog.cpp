#include "shell/date_format_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>
#include <array>

#include "platform/formatting/format_settings.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/radio_group.h"
#include "shell/scrolling_page.h"
#include "shell/settings_bindings.h"
#include "sources/settings_file.h"

namespace quill {
namespace {

constexpr int kClientWidth = 507;
constexpr int kClientHeight = 497;
constexpr int kPlacementDx = 257;
constexpr int kPlacementDy = 265;
const QString kTypeYourFormat = "Type your format string here (without quotes) :";

// An example statement with its format string in red.
QLabel* AddExample(QVBoxLayout* column, const QString& before, const QString& red, const QString& after) {
  auto* label = new QLabel(before.toHtmlEscaped() + "<span style=\"color:red\">" + red.toHtmlEscaped() + "</span>" +
                           after.toHtmlEscaped());
  label->setTextFormat(Qt::RichText);
  label->setWordWrap(true);
  column->addWidget(label);
  return label;
}

// A list box that asks for little room and takes what the page leaves: the
// dialog keeps its designed height and the lists scroll.
class CompactList : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  QSize sizeHint() const override { return QSize(QPlainTextEdit::sizeHint().width(), kCompactListHeight); }
  QSize minimumSizeHint() const override { return QSize(QPlainTextEdit::minimumSizeHint().width(), kCompactListHeight); }

 private:
  static constexpr int kCompactListHeight = 48;
};

QPlainTextEdit* AddReadOnlyList(QVBoxLayout* column, const QString& object_name, const QString& text) {
  auto* list = new CompactList(text);
  list->setObjectName(object_name);
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  column->addWidget(list, 1);
  return list;
}

const char* const kMySqlSpecifiers =
    "Specifier  Description  \n"
    "%a  Weekday name, abbreviated (Sun..Sat)\n"
    "%b  Month name, abbreviated (Jan..Dec)\n"
    "%c  Month as a number (0..12)\n"
    "%D  Day of the month with an English suffix (1st, 2nd, 3rd...)\n"
    "%d  Day of the month, two digits (00..31)\n"
    "%e  Day of the month (0..31)\n"
    "%f  Microseconds (000000..999999)\n"
    "%H  Hour, two digits (00..23)\n"
    "%h  Hour (01..12)\n"
    "%I  Hour (01..12)\n"
    "%i  Minutes, two digits (00..59)\n"
    "%j  Day of the year (001..366)\n"
    "%k  Hour (0..23)\n"
    "%l  Hour (1..12)\n"
    "%M  Month name (January..December)\n"
    "%m  Month, two digits (00..12)\n"
    "%p  AM or PM\n"
    "%r  Time, 12-hour (hh:mm:ss followed by AM or PM)\n"
    "%S  Seconds (00..59)\n"
    "%s  Seconds (00..59)\n"
    "%T  Time, 24-hour (hh:mm:ss)\n"
    "%U  Week (00..53), Sunday first day of the week\n"
    "%u  Week (00..53), Monday first day of the week\n"
    "%V  Week (01..53), Sunday first day of the week; used with %X\n"
    "%v  Week (01..53), Monday first day of the week; used with %x\n"
    "%W  Weekday name (Sunday..Saturday)\n"
    "%w  Day of the week (0=Sunday..6=Saturday)\n"
    "%X  Year of the week (Sunday first), four digits; used with %V\n"
    "%x  Year of the week (Monday first), four digits; used with %v\n"
    "%Y  Year, four digits\n"
    "%y  Year, two digits\n"
    "%%  A literal %";

const char* const kMsSqlValues =
    "Example of accepted values :\n"
    "mdy  12/31/2004  or  12-31-2004\n"
    "myd  12/2004/31\n"
    "dmy  31/12/2004  or  31.12.2004\n"
    "dym  31/2004/12\n"
    "ymd  2004/12/31  or  2004-12-31\n"
    "ydm  2004/31/12\n"
    "Dates with hour is also accepted.";

const char* const kOracleSpecifiers =
    "AD, BC  Era indicator\n"
    "AM, PM  Meridian indicator\n"
    "CC  Century\n"
    "D  Day of the week (1-7)\n"
    "DAY  Name of the day\n"
    "DD  Day of the month (1-31)\n"
    "DDD  Day of the year (1-366)\n"
    "DY  Name of the day, abbreviated\n"
    "HH, HH12  Hour of the day (1-12)\n"
    "HH24  Hour of the day (0-23)\n"
    "J  Julian day (days since January 1, 4712 BC)\n"
    "MI  Minutes (0-59)\n"
    "MM  Month (01-12)\n"
    "MON  Name of the month, abbreviated\n"
    "MONTH  Name of the month\n"
    "RM  Month in Roman numerals (I-XII)\n"
    "RR  Two-digit year, century chosen by closeness\n"
    "RRRR  Year, two or four digits\n"
    "SS  Seconds (0-59)\n"
    "SSSSS  Seconds past midnight (0-86399)\n"
    "WW  Week of the year (1-53)\n"
    "W  Week of the month (1-5)\n"
    "Y,YYY  Year with a comma\n"
    "YYYY  Year, four digits\n"
    "YYY, YY, Y  Last three, two or one digits of the year";

const char* const kBuiltInSpecifiers =
    "Specifier  Displays\n"
    "c  The date in the short date format, then the time in the long time format\n"
    "d  Day without a leading zero (1-31)\n"
    "dd  Day with a leading zero (01-31)\n"
    "ddd  Day name, abbreviated (Sun-Sat)\n"
    "dddd  Day name (Sunday-Saturday)\n"
    "ddddd  The date in the short date format\n"
    "dddddd  The date in the long date format\n"
    "m  Month without a leading zero (1-12); minutes after h or hh\n"
    "mm  Month with a leading zero (01-12); minutes after h or hh\n"
    "mmm  Month name, abbreviated (Jan-Dec)\n"
    "mmmm  Month name (January-December)\n"
    "yy  Year, two digits (00-99)\n"
    "yyyy  Year, four digits (0000-9999)\n"
    "h  Hour without a leading zero (0-23)\n"
    "hh  Hour with a leading zero (00-23)\n"
    "n  Minutes without a leading zero (0-59)\n"
    "nn  Minutes with a leading zero (00-59)\n"
    "s  Seconds without a leading zero (0-59)\n"
    "ss  Seconds with a leading zero (00-59)\n"
    "z  Milliseconds without leading zeros (0-999)\n"
    "zzz  Milliseconds with leading zeros (000-999)\n"
    "t  The time in the short time format\n"
    "tt  The time in the long time format\n"
    "am/pm  12-hour clock, followed by am or pm\n"
    "a/p  12-hour clock, followed by a or p\n"
    "ampm  12-hour clock, followed by the before-noon or after-noon text\n"
    "/  The date separator\n"
    ":  The time separator\n"
    "'xx' or \"xx\"  Text written as it stands";

const char* const kPostgreSqlSpecifiers =
    "HH, HH12  Hour of the day (01-12)\n"
    "HH24  Hour of the day (00-23)\n"
    "MI  Minute (00-59)\n"
    "SS  Second (00-59)\n"
    "MS  Millisecond (000-999)\n"
    "US  Microsecond (000000-999999)\n"
    "AM, PM  Meridian indicator\n"
    "Y,YYY  Year with a comma\n"
    "YYYY  Year, four or more digits\n"
    "YYY, YY, Y  Last three, two or one digits of the year\n"
    "MONTH, Month, month  Name of the month\n"
    "MON, Mon, mon  Name of the month, abbreviated\n"
    "MM  Month (01-12)\n"
    "DAY, Day, day  Name of the day\n"
    "DY, Dy, dy  Name of the day, abbreviated\n"
    "DDD  Day of the year (001-366)\n"
    "DD  Day of the month (01-31)\n"
    "D  Day of the week (1-7, Sunday is 1)\n"
    "WW  Week of the year (1-53)\n"
    "IW  ISO week of the year (01-53)\n"
    "CC  Century\n"
    "J  Julian day\n"
    "Q  Quarter\n"
    "RM  Month in Roman numerals (I-XII)\n"
    "TZ  Time zone name";

QString NamesText(const auto& names) {
  QStringList lines;
  for (const std::string& name : names) lines << QString::fromStdString(name);
  return lines.join('\n');
}

// Copies the first names.size() lines of memo into names, in order; a memo
// with fewer lines stops at the first missing one with the list's error.
void TakeNames(const QPlainTextEdit* memo, auto& names) {
  const QTextDocument* lines = memo->document();
  for (size_t i = 0; i < names.size(); ++i) {
    const int line = static_cast<int>(i);
    if (line >= lines->blockCount()) throw std::out_of_range("List index out of bounds (" + std::to_string(line) + ")");
    names[i] = lines->findBlockByNumber(line).text().toStdString();
  }
}

}  // namespace

DateFormatDialog::DateFormatDialog(Settings& settings, std::string program_folder, QWidget* placement_owner)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint),
      settings_(settings),
      program_folder_(std::move(program_folder)),
      placement_owner_(placement_owner) {
  setObjectName("Form4");
  setWindowTitle("Quillmarsh - Date Field Formatting");
  setModal(true);

  auto* column = new QVBoxLayout(this);
  AddWrappedLabel(column,
                  "In order to handle date fields correctly sometimes SQL engines need to know the format of input "
                  "date fields. ")
      ->setObjectName("Label1");
  AddWrappedLabel(column,
                  "To do so they use a format string wich indicate in wich order day month and year  are appearing so "
                  "they can convert it to fit the way they read them.")
      ->setObjectName("Label2");
  pages_ = new QTabWidget;
  pages_->setObjectName("PageControl1");
  pages_->addTab(new ScrollingPage(BuildMySqlPage()), "MySql");
  pages_->addTab(new ScrollingPage(BuildMsSqlPage()), "MS SQL");
  pages_->addTab(new ScrollingPage(BuildOraclePage()), "Oracle");
  pages_->addTab(new ScrollingPage(BuildPervasivePage()), "Pervasive");
  pages_->addTab(new ScrollingPage(BuildPostgreSqlPage()), "PostgreSQL");
  column->addWidget(pages_, 1);
  auto* ok = new QPushButton("OK");
  ok->setObjectName("Button1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  column->addWidget(ok, 0, Qt::AlignHCenter);
  FitDesignedSize(this, QSize(kClientWidth, kClientHeight), false);

  LoadDateFormatOptions(settings_, OptionsFilePath(program_folder_));
  ShowSettings();
  ShowVariables();
}

DateFormatDialog::~DateFormatDialog() = default;

// --- bound controls ----------------------------------------------------------

QLineEdit* DateFormatDialog::AddFormatEdit(const QString& object_name, std::string Settings::*field) {
  auto* edit = new QLineEdit;
  edit->setObjectName(object_name);
  show_settings_.push_back(BindLineEdit(edit, settings_, field));
  return edit;
}

QComboBox* DateFormatDialog::AddChoiceCombo(const QString& object_name, const QStringList& items,
                                            int Settings::*field) {
  auto* combo = new QComboBox;
  combo->setObjectName(object_name);
  combo->addItems(items);
  combo->setCurrentIndex(-1);
  show_settings_.push_back(BindComboBox(combo, settings_, field));
  return combo;
}

RadioGroup* DateFormatDialog::AddRadioGroup(const QString& object_name, const QString& caption,
                                            const QStringList& items, int Settings::*field) {
  auto* group = new RadioGroup(object_name, caption, items, nullptr);
  show_settings_.push_back(BindRadioGroup(group, settings_, field));
  return group;
}

void DateFormatDialog::ShowSettings() {
  for (const std::function<void()>& show : show_settings_) show();
}

// --- pages -------------------------------------------------------------------

QWidget* DateFormatDialog::BuildFormatStringPage(const FormatStringPage& text) {
  auto* page = new QWidget;
  page->setObjectName(text.page_name);
  auto* column = new QVBoxLayout(page);
  AddWrappedLabel(column, text.intro)->setObjectName(text.label_names[0]);
  AddExample(column, text.example_before, text.example_format, text.example_after)->setObjectName(text.label_names[1]);
  AddWrappedLabel(column, text.list_heading)->setObjectName(text.label_names[2]);
  AddReadOnlyList(column, text.list_name, text.specifiers);
  AddWrappedLabel(column, kTypeYourFormat)->setObjectName(text.label_names[3]);
  column->addWidget(AddFormatEdit(text.edit_name, text.field));
  return page;
}

QWidget* DateFormatDialog::BuildMySqlPage() {
  QWidget* page = BuildFormatStringPage(
      {"MySqlPage", "With MySql we will use STR_TO_DATE to insert date fields, example (format string in red) :",
       "INSERT INTO dates VALUES (STR_TO_DATE('12/31/2004','", "%m/%d/%Y", "'));",
       "Use the following format specifiers :", "Memo1", kMySqlSpecifiers, "Edit1", &Settings::my_format,
       {"Label3", "Label4", "Label5", "Label6"}});
  AddWrappedLabel(static_cast<QVBoxLayout*>(page->layout()),
                  "Warning : Date formating is working with MySql 4.1.1 and up.")
      ->setObjectName("Label9");
  return page;
}

QWidget* DateFormatDialog::BuildMsSqlPage() {
  auto* page = new QWidget;
  page->setObjectName("MsSqlPage");
  auto* column = new QVBoxLayout(page);
  AddWrappedLabel(column, "With MS SQL we use SET DATEFORMAT to specify in wich order day month and year will appear.")
      ->setObjectName("Label10");
  AddExample(column, "Example : SET DATEFORMAT ", "dmy", "")->setObjectName("Label11");
  column->addWidget(AddRadioGroup("RadioGroup1", "Convert DATE and DATETIME fields to", {"TIMESTAMP", "DATETIME"},
                                  &Settings::ms_type));
  auto* formats = new QGroupBox("Select from the formats available below :");
  formats->setObjectName("GroupBox1");
  auto* format_column = new QVBoxLayout(formats);
  format_column->addWidget(
      AddChoiceCombo("ComboBox1", {"mdy", "myd", "dmy", "dym", "ymd", "ydm"}, &Settings::ms_format));
  column->addWidget(formats);
  AddReadOnlyList(column, "Memo2", kMsSqlValues);
  return page;
}

QWidget* DateFormatDialog::BuildOraclePage() {
  return BuildFormatStringPage(
      {"OraclePage", "With Oracle we will use TO_DATE to insert date fields, example (format string in red) :",
       "INSERT INTO dates VALUES (to_date('29/05/2003','", "DD/MM/YYYY'", "'));",
       "Use the following format specifiers", "Memo3", kOracleSpecifiers, "Edit3", &Settings::or_format,
       {"Label15", "Label16", "Label19", "Label21"}});
}

QWidget* DateFormatDialog::BuildPervasivePage() {
  auto* page = new QWidget;
  page->setObjectName("PervasivePage");
  auto* column = new QVBoxLayout(page);
  AddWrappedLabel(column, "With Pervasive we will format date with Quillmarsh built-in function.")
      ->setObjectName("Label22");
  auto* inner = new QTabWidget;
  inner->setObjectName("PageControl2");

  auto* format_page = new QWidget;
  format_page->setObjectName("FormatStringPage");
  auto* format_column = new QVBoxLayout(format_page);
  AddWrappedLabel(format_column, "Use the following format specifiers :")->setObjectName("Label14");
  AddReadOnlyList(format_column, "Memo4", kBuiltInSpecifiers);
  AddWrappedLabel(format_column, kTypeYourFormat)->setObjectName("Label23");
  format_column->addWidget(AddFormatEdit("Edit2", &Settings::pe_format));
  inner->addTab(format_page, "Format string");
  inner->addTab(BuildGlobalVariablesPage(), "Global variables");
  column->addWidget(inner, 1);
  return page;
}

// The variables in two columns: the edit boxes at the left, the four lists
// of names at the right, so the page stays low.
QWidget* DateFormatDialog::BuildGlobalVariablesPage() {
  auto* page = new QWidget;
  page->setObjectName("GlobalVariablesPage");
  auto* grid = new QGridLayout(page);
  int edit_row = 0;
  int memo_row = 0;
  auto add_edit = [&](const QString& label, const QString& object_name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(object_name);
    grid->addWidget(new QLabel(label), edit_row, 0);
    grid->addWidget(edit, edit_row, 1);
    ++edit_row;
    return edit;
  };
  auto add_memo = [&](const QString& label, const QString& object_name) {
    auto* memo = new CompactList;
    memo->setObjectName(object_name);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    grid->addWidget(new QLabel(label), 2 * memo_row, 2);
    grid->addWidget(memo, 2 * memo_row + 1, 2, 1, 1);
    ++memo_row;
    return memo;
  };
  separator_edit_ = add_edit("DateSeparator", "Edit4");
  separator_edit_->setMaxLength(1);
  short_date_edit_ = add_edit("ShortDateFormat", "Edit5");
  const QString stored_hint = "This is the way dates are stored on your system";
  short_date_edit_->setToolTip(stored_hint);
  grid->itemAtPosition(edit_row - 1, 0)->widget()->setToolTip(stored_hint);
  long_date_edit_ = add_edit("LongDateFormat", "Edit6");
  short_time_edit_ = add_edit("ShortTimeFormat", "Edit7");
  long_time_edit_ = add_edit("LongTimeFormat", "Edit8");
  am_edit_ = add_edit("TimeAMString", "Edit9");
  pm_edit_ = add_edit("TimePMString", "Edit10");
  short_months_memo_ = add_memo("ShortMonthNames", "Memo5");
  long_months_memo_ = add_memo("LongMonthNames", "Memo6");
  short_days_memo_ = add_memo("ShortDayNames", "Memo7");
  long_days_memo_ = add_memo("LongDayNames", "Memo8");
  grid->setRowStretch(edit_row, 1);
  auto* update = new QPushButton("Update with entered values");
  update->setObjectName("Button2");
  connect(update, &QPushButton::clicked, this, [this] { UpdateVariables(); });
  grid->addWidget(update, 2 * memo_row, 0, 1, 3);
  return page;
}

QWidget* DateFormatDialog::BuildPostgreSqlPage() {
  auto* page = new QWidget;
  page->setObjectName("PostgreSqlPage");
  auto* column = new QVBoxLayout(page);
  AddWrappedLabel(column, "With PostgreSQL we can use datestyle or format string")->setObjectName("Label34");
  column->addWidget(AddRadioGroup("RadioGroup2", QString(), {"Use datestyle", "Use format string"},
                                  &Settings::post_form_type));

  auto* format = new QGroupBox("Format string");
  format->setObjectName("GroupBox2");
  auto* format_grid = new QGridLayout(format);
  auto named_label = [](const char* object_name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(object_name);
    return label;
  };
  format_grid->addWidget(named_label("Label35", "to_timestamp :"), 0, 0);
  format_grid->addWidget(AddFormatEdit("Edit11", &Settings::po_time_format), 0, 1);
  format_grid->addWidget(named_label("Label36", "to_date :"), 1, 0);
  format_grid->addWidget(AddFormatEdit("Edit12", &Settings::po_date_format), 1, 1);
  QLabel* type_format = named_label("Label37", kTypeYourFormat);
  type_format->setWordWrap(true);
  format_grid->addWidget(type_format, 2, 0, 1, 2);
  auto* list_column = new QVBoxLayout;
  AddReadOnlyList(list_column, "Memo9", kPostgreSqlSpecifiers);
  format_grid->addLayout(list_column, 3, 0, 1, 2);
  column->addWidget(format, 1);

  auto* datestyle = new QGroupBox("Datestyle");
  datestyle->setObjectName("GroupBox3");
  auto* datestyle_column = new QVBoxLayout(datestyle);
  datestyle_column->addWidget(AddChoiceCombo(
      "ComboBox2",
      {"ISO, YMD", "ISO, MDY", "ISO, DMY", "SQL, YMD", "SQL, MDY", "SQL, DMY", "Postgres, YMD", "Postgres, MDY",
       "Postgres, DMY", "German, YMD", "German, MDY", "German, DMY"},
      &Settings::po_format));
  column->addWidget(datestyle);
  return page;
}

// --- the global variables ----------------------------------------------------

void DateFormatDialog::ShowVariables() {
  const FormatSettings& variables = GlobalFormatSettings();
  separator_edit_->setText(QString::fromStdString(variables.date_separator));
  short_date_edit_->setText(QString::fromStdString(variables.short_date_format));
  long_date_edit_->setText(QString::fromStdString(variables.long_date_format));
  short_time_edit_->setText(QString::fromStdString(variables.short_time_format));
  long_time_edit_->setText(QString::fromStdString(variables.long_time_format));
  short_months_memo_->setPlainText(NamesText(variables.short_month_names));
  long_months_memo_->setPlainText(NamesText(variables.long_month_names));
  short_days_memo_->setPlainText(NamesText(variables.short_day_names));
  long_days_memo_->setPlainText(NamesText(variables.long_day_names));
  am_edit_->setText(QString::fromStdString(variables.time_am_string));
  pm_edit_->setText(QString::fromStdString(variables.time_pm_string));
}

void DateFormatDialog::UpdateVariables() {
  FormatSettings& variables = GlobalFormatSettings();
  const QString separator = separator_edit_->text();
  if (separator.isEmpty()) {
    // The formatter needs one character: the old one stays.
    DialogPresenter::Current().ShowMessage(
        this, kProductName, messages_.msg_separator_kept.arg(QString::fromStdString(variables.date_separator)),
        MessageIcon::Information, MessageButtons::Ok, false, std::nullopt);
  } else {
    const int length = separator.at(0).isHighSurrogate() && separator.size() > 1 ? 2 : 1;
    variables.date_separator = separator.left(length).toStdString();
  }
  variables.short_date_format = short_date_edit_->text().toStdString();
  variables.long_date_format = long_date_edit_->text().toStdString();
  variables.short_time_format = short_time_edit_->text().toStdString();
  variables.long_time_format = long_time_edit_->text().toStdString();
  try {
    TakeNames(short_months_memo_, variables.short_month_names);
    TakeNames(long_months_memo_, variables.long_month_names);
    TakeNames(short_days_memo_, variables.short_day_names);
    TakeNames(long_days_memo_, variables.long_day_names);
  } catch (const std::out_of_range& error) {
    DialogPresenter::Current().ShowMessage(this, "Error", QString::fromStdString(error.what()), MessageIcon::Error,
                                           MessageButtons::Ok, false, std::nullopt);
    return;
  }
  variables.time_am_string = am_edit_->text().toStdString();
  variables.time_pm_string = pm_edit_->text().toStdString();
  DialogPresenter::Current().ShowMessage(this, kProductName, messages_.msg_variables_updated,
                                         MessageIcon::Information, MessageButtons::Ok, false, std::nullopt);
}

// --- opening and closing -----------------------------------------------------

void DateFormatDialog::SetPage(int page) {
  if (page >= 0 && page < pages_->count()) pages_->setCurrentIndex(page);
}

int DateFormatDialog::CurrentPage() const { return pages_->currentIndex(); }

int DateFormatDialog::Open(int page) {
  SetPage(page);
  return exec();
}

void DateFormatDialog::showEvent(QShowEvent* event) {
  FitDesignedSize(this, QSize(kClientWidth, kClientHeight), false, placement_owner_);
  if (placement_owner_ != nullptr) {
    const QRect owner = placement_owner_->frameGeometry();
    PlaceWindowFrame(
        this,
        QPoint(owner.left() + owner.width() / 2 - kPlacementDx, owner.top() + owner.height() / 2 - kPlacementDy));
  }
  QDialog::showEvent(event);
}

// OK, the close box and Escape alike: the settings are saved, there is no Cancel.
void DateFormatDialog::done(int result) {
  try {
    SaveDateFormatOptions(settings_, OptionsFilePath(program_folder_));
  } catch (const std::exception& error) {
    DialogPresenter::Current().ShowMessage(this, "Error", QString::fromStdString(error.what()), MessageIcon::Error,
                                           MessageButtons::Ok, false, std::nullopt);
  }
  QDialog::done(result);
}

}  // namespace quill
