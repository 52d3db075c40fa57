#include "shell/languages.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "platform/files/read_file.h"
#include "shell/data_source_dialog.h"
#include "shell/date_format_dialog.h"
#include "shell/dialog_presenter.h"
#include "shell/foreign_key_designer.h"
#include "shell/language_file.h"
#include "shell/main_window.h"
#include "shell/options_dialog.h"
#include "shell/radio_group.h"
#include "shell/replace_dialog.h"
#include "shell/shell_resources.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"
#include "shell/welcome_panel.h"
#include "sources/settings_file.h"

namespace quill {

namespace {

enum class Window { Main, Options, DateFormat, TableSelection, Designer, Replace, Update, AddSource };

// What a key sets in a window: a control's caption, its hint, a tab page's
// caption, an item of a combo box or radio group, the window's caption, or
// a message field.
enum class Kind { Caption, Hint, TabPage, ComboItem, RadioItem, WindowCaption, Message };

using MessageSetter = void (*)(const LanguageWindows&, const QString&);

struct Target {
  Kind kind;
  Window window = Window::Main;
  const char* name = nullptr;
  int index = 0;
  MessageSetter message = nullptr;
};

struct KeyTargets {
  const char* key;
  std::vector<Target> targets;
};

Target Caption(Window window, const char* name) { return {Kind::Caption, window, name}; }
Target Hint(Window window, const char* name) { return {Kind::Hint, window, name}; }
Target TabPage(Window window, const char* name, int index) { return {Kind::TabPage, window, name, index}; }
Target ComboItem(Window window, const char* name, int index) { return {Kind::ComboItem, window, name, index}; }
Target RadioItem(Window window, const char* name, int index) { return {Kind::RadioItem, window, name, index}; }
Target WindowCaption(Window window) { return {Kind::WindowCaption, window}; }
Target Message(MessageSetter setter) { return {Kind::Message, Window::Main, nullptr, 0, setter}; }

#define MAIN_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.main_window) w.main_window->messages().field = t; })
#define OPTIONS_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.options) w.options->messages().field = t; })
#define LOGIN_MESSAGE(field)                                                         \
  Message([](const LanguageWindows& w, const QString& t) {                           \
    if (w.options) w.options->messages().login.field = t.toStdString();              \
  })
#define SELECTION_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.table_selection) w.table_selection->messages().field = t; })
#define DESIGNER_MESSAGE(field)                                                  \
  Message([](const LanguageWindows& w, const QString& t) {                       \
    if (w.designer) w.designer->messages().field = t.toStdString();              \
  })

#define REPLACE_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.replace) w.replace->messages().field = t; })
#define UPDATE_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.update) w.update->messages().field = t; })
#define ADD_SOURCE_MESSAGE(field) \
  Message([](const LanguageWindows& w, const QString& t) { if (w.add_source) w.add_source->messages().field = t; })
#define SETUP_MESSAGE(field)                                                          \
  Message([](const LanguageWindows& w, const QString& t) {                            \
    if (w.add_source) w.add_source->setup_window().messages().field = t;              \
  })

constexpr Window M = Window::Main;
constexpr Window P = Window::Options;
constexpr Window F4 = Window::DateFormat;
constexpr Window F5 = Window::Replace;
constexpr Window F8 = Window::Update;
constexpr Window F9 = Window::TableSelection;
constexpr Window F11 = Window::AddSource;
constexpr Window F12 = Window::Designer;

const std::vector<KeyTargets>& KeyTable() {
  static const std::vector<KeyTargets> table = {
      // Main menu.
      {"MenuFile", {Caption(M, "File1")}},
      {"MenuSaveAs", {Caption(M, "Save1")}},
      {"MenuExit", {Caption(M, "Exit1")}},
      {"MenuEdit", {Caption(M, "Edit1")}},
      {"MenuReplace", {Caption(M, "Replace1")}},
      {"MenuSelectAll", {Caption(M, "SelectAll1")}},
      {"MenuCopy", {Caption(M, "CopytoClipboard1")}},
      {"MenuConnection", {Caption(M, "Connection1")}},
      {"MenuRefresh", {Caption(M, "Reconnect1")}},
      {"MenuAddSystemSources", {Caption(M, "ODBC1")}},
      {"MenuAdministration", {Caption(M, "ODBCAdministration1")}},
      {"MenuOptions", {Caption(M, "Options1")}},
      {"MenuDropTableOn", {Caption(M, "On1")}},
      {"MenuDropTableOff", {Caption(M, "Off1")}},
      {"MenuFont", {Caption(M, "Font1")}},
      {"MenuMoreOptions", {Caption(M, "Options2")}},
      {"MenuAbout", {Caption(M, "About1")}},
      {"MenuCheck", {Caption(M, "Checkforupdate1")}},
      {"MenuSqlOutput", {Hint(M, "ComboBox1"), Caption(M, "Ouput1")}},
      {"MenuSqlContent", {Hint(M, "ComboBox2"), Caption(M, "Content1")}},
      {"MenuTableAndData", {Caption(M, "TableandData1"), ComboItem(M, "ComboBox2", 0)}},
      {"MenuTableOnly", {Caption(M, "Tableonly1"), ComboItem(M, "ComboBox2", 1)}},
      {"MenuDataOnly", {Caption(M, "DataOnly1"), ComboItem(M, "ComboBox2", 2)}},
      {"MenuLogin", {Caption(M, "Login1"), Caption(M, "Password1")}},
      {"MenuHelp", {Caption(M, "Help1"), Caption(M, "Help2")}},
      // Toolbar hints.
      {"HintSaveAs", {Hint(M, "ToolButton1")}},
      {"HintAddSource", {Hint(M, "ToolButton3")}},
      {"HintConfigSource", {Hint(M, "ToolButton4")}},
      {"HintDeleteSource", {Hint(M, "ToolButton5")}},
      {"HintGenerateSQL", {Hint(M, "ToolButton7"), Caption(M, "BatchConversion1")}},
      {"HintDestSchema", {Hint(M, "Edit2")}},
      {"HintDroTable", {Hint(M, "CheckBox3")}},
      // Pop-up menus of the root and of a source.
      {"Popup1Refresh", {Caption(M, "Refresh1")}},
      {"Popup1AddSource", {Caption(M, "AddRemSystemSources1")}},
      {"Popup2List", {Caption(M, "ListTables1")}},
      {"Popup2ExportToFile", {Caption(M, "Exportto1")}},
      {"Popup2Access", {Caption(M, "AccessFile2")}},
      {"Popup2CSV", {Caption(M, "CSVFile1")}},
      {"Popup2XML", {Caption(M, "XMLFile1")}},
      {"Popup2Config", {Caption(M, "Configure1")}},
      {"Popup2Delete", {Caption(M, "DeleteSource1")}},
      // Buttons shared by several windows.
      {"BtnDone", {Caption(F11, "Button3"), Caption(F9, "Button2"), Caption(F12, "Done"), Caption(F4, "Button1")}},
      {"BtnSelAll", {Caption(F9, "Button3"), Caption(F12, "SelAll")}},
      {"BtnDesAll", {Caption(F9, "Button4"), Caption(F12, "DesAll")}},
      {"BtnLoad", {Caption(F9, "Button7"), Caption(F12, "Load")}},
      {"BtnSave", {Caption(F9, "Button8")}},
      {"BtnCancel", {Caption(F9, "Button6"), Caption(F12, "Cancel"), Caption(P, "Button5")}},
      // Main window.
      {"MainWindowDebugCheck", {Caption(M, "CheckBox1")}},
      {"IntroText", {Message([](const LanguageWindows& w, const QString& t) {
         if (!w.main_window) return;
         w.main_window->messages().intro_text = t;
         // The summary view shows the welcome text while no script is open.
         if (w.main_window->TabCount() == 0) {
           if (auto* summary = w.main_window->findChild<QPlainTextEdit*>("Memo2")) summary->setPlainText(t);
         }
       })}},
      {"StatusReady", {Message([](const LanguageWindows& w, const QString& t) {
         if (!w.main_window) return;
         w.main_window->messages().status_ready = t;
         w.main_window->SetStatusText(t.toStdString());
       })}},
      {"StatusList", {MAIN_MESSAGE(status_list)}},
      {"StatusRefresh", {MAIN_MESSAGE(status_refresh)}},
      {"StatusGenerate", {MAIN_MESSAGE(status_generate)}},
      {"StatusAbort", {MAIN_MESSAGE(status_abort)}},
      {"StatusSaving", {MAIN_MESSAGE(status_saving)}},
      {"StatusGenAccess", {MAIN_MESSAGE(status_gen_access)}},
      {"StatusGenCsv", {MAIN_MESSAGE(status_gen_csv)}},
      {"StatusGenXml", {MAIN_MESSAGE(status_gen_xml)}},
      {"MsgAreYouSure", {MAIN_MESSAGE(msg_are_you_sure)}},
      {"MsgCannotDelete", {MAIN_MESSAGE(msg_cannot_delete)}},
      {"MsgDeleted", {MAIN_MESSAGE(msg_deleted)}},
      {"MsgDoYouWant", {MAIN_MESSAGE(msg_do_you_want)}},
      {"MsgCannotAccess", {MAIN_MESSAGE(msg_cannot_access)}},
      {"MsgConnPrbl", {MAIN_MESSAGE(msg_conn_prbl)}},
      {"MsgNoTablesFound", {MAIN_MESSAGE(msg_no_tables_found)}},
      {"MsgDebugModeON", {MAIN_MESSAGE(msg_debug_mode_on)}},
      {"MsgNoODBC", {MAIN_MESSAGE(msg_no_odbc)}},
      {"MsgDuplTblNmFound", {MAIN_MESSAGE(msg_dupl_tbl_nm_found)}},
      {"MsgCantGetData", {MAIN_MESSAGE(msg_cant_get_data)}},
      {"MsgErrorWTabl", {MAIN_MESSAGE(msg_error_w_tabl)}},
      {"MsgNoAvailSrcF", {MAIN_MESSAGE(msg_no_avail_src_f)}},
      {"MsgInclSelTbl", {MAIN_MESSAGE(msg_incl_sel_tbl)}},
      {"MsgSameSchema", {MAIN_MESSAGE(msg_same_schema)}},
      {"SelectWindowCaption", {MAIN_MESSAGE(select_window_caption)}},
      // Options dialog.
      {"OptionWindowCaption", {WindowCaption(P)}},
      {"OptionWindowOK", {Caption(P, "OKBtn")}},
      {"OptionWindowDatesTabCaption", {TabPage(P, "PageControl1", 0), Caption(P, "GroupBox3")}},
      {"OptionWindowLoginTabCaption", {TabPage(P, "PageControl1", 1)}},
      {"OptionWindowBLOBTabCaption", {TabPage(P, "PageControl1", 2)}},
      {"OptionWindowAutoTabCaption", {TabPage(P, "PageControl1", 3)}},
      {"OptionWindowFormatTabCaption", {TabPage(P, "PageControl1", 4)}},
      {"OptionWindowMiscTabCaption", {TabPage(P, "PageControl1", 5)}},
      {"OptionWindowDatesTabOption1", {Caption(P, "RadioButton1")}},
      {"OptionWindowDatesTabOption2", {Caption(P, "RadioButton3")}},
      {"OptionWindowDatesTabOption3", {Caption(P, "RadioButton2")}},
      {"OptionWindowDatesSize", {Caption(P, "Label1")}},
      {"OptionWindowDatesButton", {Caption(P, "Button1")}},
      {"OptionWindowLoginUsername", {Caption(P, "Label7")}},
      {"OptionWindowLoginPassword", {Caption(P, "Label8")}},
      {"OptionWindowLoginAdd", {Caption(P, "Button4")}},
      {"OptionWindowBLOBExtract", {Caption(P, "CheckBox12")}},
      {"OptionWindowBLOBStore", {Caption(P, "CheckBox13")}},
      {"OptionWindowBLOBPath", {Caption(P, "Label3")}},
      {"OptionWindowBLOBErase", {Caption(P, "Button3")}},
      {"OptionWindowBLOBLookFor", {Caption(P, "GroupBox2")}},
      {"OptionWindowBLOBMethod", {Caption(P, "RadioGroup2")}},
      {"OptionWindowBLOBMethodRestrict", {RadioItem(P, "RadioGroup2", 0)}},
      {"OptionWindowBLOBMethodFilter", {RadioItem(P, "RadioGroup2", 1)}},
      {"OptionWindowAutoSQL", {Caption(P, "CheckBox2")}},
      {"OptionWindowDisWarnings", {Caption(P, "CheckBox4")}},
      {"OptionWindowFormatUnderscrore", {Caption(P, "CheckBox3")}},
      {"OptionWindowFormatExtract", {Caption(P, "CheckBox5")}},
      {"OptionWindowFormatFloat", {Caption(P, "Label12")}},
      {"OptionWindowFormatMSSQLGO1", {Caption(P, "CheckBox11")}},
      {"OptionWindowFormatMSSQLGO2", {Caption(P, "Label2")}},
      {"OptionWindowFormatQuotes", {Caption(P, "CheckBox1")}},
      {"OptionWindowFormatInclude", {Caption(P, "Label5")}},
      {"OptionNullQuoted", {Caption(P, "CheckBox10")}},
      {"OptionWindowMiscJet", {Caption(P, "CheckBox7"), Caption(M, "CheckBox2")}},
      {"OptionWindowMiscSystemTbl", {Caption(P, "CheckBox6")}},
      {"OptionWindowMiscAlpha", {Caption(P, "CheckBox9")}},
      {"MsgPsswAdded", {LOGIN_MESSAGE(msg_pssw_added)}},
      {"MsgPsswNotAdded", {OPTIONS_MESSAGE(msg_pssw_not_added)}},
      {"MsgPsswOnDisk", {LOGIN_MESSAGE(msg_pssw_on_disk)}},
      {"MsgAreYouSureFolder", {OPTIONS_MESSAGE(msg_sure_delete)}},
      // Replace dialog.
      {"SearchWindowCaption", {WindowCaption(F5)}},
      {"SearchWindowBtnReplace", {Caption(F5, "Button1")}},
      {"SearchWindowBtnOK", {Caption(F5, "Button2")}},
      {"SearchWindowTextFind", {Caption(F5, "Label1")}},
      {"SearchWindowTextRepl", {Caption(F5, "Label2")}},
      {"SearchWindowCase", {Caption(F5, "CheckBox1")}},
      {"SearchWindowAlloccrepl", {REPLACE_MESSAGE(all_occurrences_replaced)}},
      {"SearchWindownooccfound", {REPLACE_MESSAGE(no_occurrences_found)}},
      // Add-data-source dialog.
      {"ODBCWindowCaption", {WindowCaption(F11)}},
      {"ODBCWindowDriver", {Caption(F11, "Label1")}},
      {"ODBCWindowDSN", {Caption(F11, "Label2")}},
      {"ODBCWindowCreate", {Caption(F11, "Button2")}},
      {"ODBCinfo", {Caption(F11, "Label5")}},
      {"MsgDSNCreated", {ADD_SOURCE_MESSAGE(data_source_created)}},
      // The driver's setup dialog, a window of the add-data-source dialog.
      {"SetupWindowCaption", {SETUP_MESSAGE(caption)}},
      {"SetupWindowName", {Caption(F11, "LabelName")}},
      {"SetupWindowServer", {Caption(F11, "LabelServer")}},
      {"SetupWindowPort", {Caption(F11, "LabelPort")}},
      {"SetupWindowDatabase", {Caption(F11, "LabelDatabase")}},
      {"SetupWindowUser", {Caption(F11, "LabelUser")}},
      {"SetupWindowPassword", {Caption(F11, "LabelPassword")}},
      {"SetupWindowFolder", {Caption(F11, "ButtonBrowseFolder")}},
      {"SetupWindowAttributes", {Caption(F11, "LabelAttributes")}},
      {"SetupWindowTest", {Caption(F11, "ButtonTest")}},
      {"SetupWindowCancel", {Caption(F11, "ButtonCancel")}},
      {"MsgSetupTestOK", {SETUP_MESSAGE(test_succeeded)}},
      {"MsgSetupNoEquals", {SETUP_MESSAGE(row_without_equals)}},
      {"MsgSetupChooseFile", {SETUP_MESSAGE(choose_file)}},
      {"MsgSetupChooseFolder", {SETUP_MESSAGE(choose_folder)}},
      // Table-selection dialog.
      {"SelectWindowAvailTbl", {Caption(F9, "Label1")}},
      {"SelectWindowTablToProc", {Caption(F9, "Label2")}},
      {"SelectWindowClear", {Caption(F9, "Button5")}},
      {"MsgAtLeastOne", {SELECTION_MESSAGE(msg_at_least_one)}},
      {"MsgNoTblSel", {SELECTION_MESSAGE(msg_no_tbl_sel)}},
      {"MsgFileNotSupp", {SELECTION_MESSAGE(msg_file_not_supp)}},
      {"MsgNoTblInFile", {SELECTION_MESSAGE(msg_no_tbl_in_file)}},
      {"MsgDesTbl", {SELECTION_MESSAGE(msg_des_tbl)}},
      {"MsgTblRej1", {SELECTION_MESSAGE(msg_tbl_rej1)}},
      {"MsgTblRej2", {SELECTION_MESSAGE(msg_tbl_rej2)}},
      // Foreign-key designer.
      {"FKWindowCaption", {WindowCaption(F12)}},
      {"FKWindowAdd", {Caption(F12, "Add")}},
      {"FKWindowDelLast", {Caption(F12, "Clear")}},
      {"FKWindowSaveSel", {Caption(F12, "Save")}},
      {"FKWindowSaveAll", {Caption(F12, "SaveAll")}},
      {"FKWindowAnalyse", {Caption(F12, "Analyse")}},
      {"FKWindowEncrypt", {Caption(F12, "CheckBox2")}},
      {"FKWindowDrop", {Caption(F12, "CheckBox1")}},
      {"FKWindowWarning1", {Caption(F12, "Label4")}},
      {"FKWindowWarning2", {Caption(F12, "Label5")}},
      {"FKWindowWarning3", {Caption(F12, "Label6")}},
      {"MsgLastNotCorr", {DESIGNER_MESSAGE(msg_last_not_corr)}},
      {"MsgNoPrimFound", {DESIGNER_MESSAGE(msg_no_prim_found)}},
      {"MsgNoFKSel", {DESIGNER_MESSAGE(msg_no_fk_sel)}},
      {"MsgSelFKNotSet", {DESIGNER_MESSAGE(msg_sel_fk_not_set)}},
      {"MsgNoSavContAnyway", {DESIGNER_MESSAGE(msg_no_sav_cont_anyway)}},
      {"MsgNoFKToSave", {DESIGNER_MESSAGE(msg_no_fk_to_save)}},
      {"MsgAmntFKLoaded", {DESIGNER_MESSAGE(msg_amnt_fk_loaded)}},
      {"MsgNoFKToSel", {DESIGNER_MESSAGE(msg_no_fk_to_sel)}},
      {"MsgNoFKToDes", {DESIGNER_MESSAGE(msg_no_fk_to_des)}},
      {"MsgNoFKToDel", {DESIGNER_MESSAGE(msg_no_fk_to_del)}},
      {"MsgBrokContAnyway", {DESIGNER_MESSAGE(msg_brok_cont_anyway)}},
      {"MsgAmtFKDupl", {DESIGNER_MESSAGE(msg_amt_fk_dupl)}},
      {"MsgNoDuplFound", {DESIGNER_MESSAGE(msg_no_dupl_found)}},
      {"MsgNoProblFound", {DESIGNER_MESSAGE(msg_no_probl_found)}},
      {"MsgLoadSrcInfo", {DESIGNER_MESSAGE(msg_load_src_info)}},
      {"MsgErrLoadSrcInfo", {DESIGNER_MESSAGE(msg_err_load_src_info)}},
      {"MsgFailGetInfo", {DESIGNER_MESSAGE(msg_fail_get_info)}},
      {"MsgInfoRetr", {DESIGNER_MESSAGE(msg_info_retr)}},
      // Date-format dialog.
      {"FormatWindowCaption", {WindowCaption(F4)}},
      {"FormatWindowIntro1", {Caption(F4, "Label1")}},
      {"FormatWindowIntro2", {Caption(F4, "Label2")}},
      {"FormatWindowPG101", {Caption(F4, "Label3")}},
      {"FormatWindowPG102", {Caption(F4, "Label5")}},
      {"FormatWindowPG103", {Caption(F4, "Label6")}},
      {"FormatWindowPG104", {Caption(F4, "Label9")}},
      {"FormatWindowPG201", {Caption(F4, "Label10")}},
      {"FormatWindowPG202", {Caption(F4, "GroupBox1")}},
      {"FormatWindowPG203", {Caption(F4, "RadioGroup1")}},
      {"FormatWindowPG301", {Caption(F4, "Label15")}},
      {"FormatWindowPG302", {Caption(F4, "Label19")}},
      {"FormatWindowPG303", {Caption(F4, "Label21")}},
      {"FormatWindowPG401", {Caption(F4, "Label22")}},
      {"FormatWindowPG402", {Caption(F4, "Label14")}},
      {"FormatWindowPG4Tab1", {TabPage(F4, "PageControl2", 0)}},
      {"FormatWindowPG4Tab2", {TabPage(F4, "PageControl2", 1)}},
      {"FormatWindowPG4Button", {Caption(F4, "Button2")}},
      {"MsgVarUpdated", {Message([](const LanguageWindows& w, const QString& t) {
         if (w.date_format) w.date_format->messages().msg_variables_updated = t;
       })}},
      {"FormatWindowPG501", {Caption(F4, "Label34")}},
      {"FormatWindowPG502", {Caption(F4, "Label37")}},
      {"FormatWindowPG503", {Caption(F4, "GroupBox2")}},
      {"FormatWindowPG5Opt1", {RadioItem(F4, "RadioGroup2", 0)}},
      {"FormatWindowPG5Opt2", {RadioItem(F4, "RadioGroup2", 1)}},
      // Update window.
      {"UpdateWindowCaption", {WindowCaption(F8)}},
      {"UpdateWindowButton", {Caption(F8, "Button1")}},
      {"MsgUpdateGetInfo", {UPDATE_MESSAGE(getting)}},
      {"MsgUpdateNoInfo", {UPDATE_MESSAGE(failed_status)}},
      {"MsgUpdateNoInfoDlg", {UPDATE_MESSAGE(failed_box)}},
      {"MsgUpdateRetr", {UPDATE_MESSAGE(retrieved)}},
      {"MsgUpdateNewVer", {UPDATE_MESSAGE(new_version_1)}},
      {"MsgUpdateAvail", {UPDATE_MESSAGE(new_version_2)}},
      {"MsgUpdateVisit", {UPDATE_MESSAGE(new_version_3)}},
      {"MsgUpdateUpToDate", {UPDATE_MESSAGE(up_to_date)}},
  };
  return table;
}

QWidget* WindowOf(const LanguageWindows& windows, Window window) {
  switch (window) {
    case Window::Main: return windows.main_window;
    case Window::Options: return windows.options;
    case Window::DateFormat: return windows.date_format;
    case Window::TableSelection: return windows.table_selection;
    case Window::Designer: return windows.designer;
    case Window::Replace: return windows.replace;
    case Window::Update: return windows.update;
    case Window::AddSource: return windows.add_source;
  }
  return nullptr;
}

void SetCaption(QObject* target, const QString& text) {
  if (auto* menu = qobject_cast<QMenu*>(target)) {
    menu->setTitle(text);
  } else if (auto* action = qobject_cast<QAction*>(target)) {
    action->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(target)) {
    label->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
    group->setTitle(text);
  }
}

void SetHint(QObject* target, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(target)) {
    action->setToolTip(text);
  } else if (auto* widget = qobject_cast<QWidget*>(target)) {
    widget->setToolTip(text);
  }
}

void Apply(const LanguageWindows& windows, const Target& target, const QString& text) {
  if (target.kind == Kind::Message) {
    target.message(windows, text);
    return;
  }
  QWidget* window = WindowOf(windows, target.window);
  if (window == nullptr) return;
  if (target.kind == Kind::WindowCaption) {
    window->setWindowTitle(text);
    return;
  }
  QObject* control = window->findChild<QObject*>(target.name);
  if (control == nullptr) return;
  switch (target.kind) {
    case Kind::Caption: SetCaption(control, text); break;
    case Kind::Hint: SetHint(control, text); break;
    case Kind::TabPage:
      if (auto* pages = qobject_cast<QTabWidget*>(control)) pages->setTabText(target.index, text);
      break;
    case Kind::ComboItem:
      if (auto* combo = qobject_cast<QComboBox*>(control); combo && target.index < combo->count()) {
        // The choice stays while its text changes.
        const int selected = combo->currentIndex();
        combo->setItemText(target.index, text);
        combo->setCurrentIndex(selected);
      }
      break;
    case Kind::RadioItem:
      if (auto* group = qobject_cast<RadioGroup*>(control)) group->Item(target.index)->setText(text);
      break;
    case Kind::WindowCaption:
    case Kind::Message: break;
  }
}

bool restart_requested = false;

}  // namespace

std::vector<std::string> ListLanguageFiles(const std::string& program_folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(program_folder + "languages", error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->is_directory(error)) continue;
    std::string extension = entry->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (extension == ".lng") names.push_back(entry->path().filename().string());
  }
  return names;
}

bool IsLanguageKey(const std::string& key) {
  return std::any_of(KeyTable().begin(), KeyTable().end(), [&](const KeyTargets& entry) { return key == entry.key; });
}

std::string BuiltInLanguageList() {
  EnsureShellResources();
  QFile resource(":/languages/FRANCAIS");
  if (!resource.open(QIODevice::ReadOnly)) return {};
  return resource.readAll().toStdString();
}

void ApplyLanguageList(const LanguageWindows& windows, const std::string& bytes) {
  const std::vector<KeyTargets>& table = KeyTable();
  for (const LanguageLine& line : ParseLanguageList(bytes)) {
    for (const KeyTargets& entry : table) {
      if (line.key != entry.key) continue;
      if (!line.text) throw std::runtime_error("The line \"" + line.key + "\" of the language file has no text.");
      const QString text = QString::fromStdString(*line.text);
      for (const Target& target : entry.targets) Apply(windows, target, text);
    }
  }
}

void LoadLanguage(const LanguageWindows& windows, const std::string& program_folder, const std::string& file_name) {
  std::string bytes;
  if (file_name == kBuiltInLanguage) {
    if (windows.welcome_panel) windows.welcome_panel->Build("languages/francais.xml");
    bytes = BuiltInLanguageList();
  } else {
    bytes = ReadWholeFile(program_folder + "languages/" + file_name).value_or(std::string());
    if (windows.welcome_panel) windows.welcome_panel->Build(WelcomePageOfLanguage(file_name));
  }
  ApplyLanguageList(windows, bytes);
  if (windows.main_window) {
    // The tool buttons' new texts reach no layout of the window's own.
    windows.main_window->FitNewTexts();
    Settings& settings = windows.main_window->settings();
    settings.lang = file_name;
    SaveLanguageOption(settings, program_folder + "options.ini");
  }
}

void InstallLanguageMenu(const LanguageWindows& windows, const std::string& program_folder) {
  MainWindow* main_window = windows.main_window;
  auto* menu = main_window->findChild<QMenu*>("Language1");
  auto load = [windows, program_folder](const std::string& file_name) {
    try {
      LoadLanguage(windows, program_folder, file_name);
    } catch (const std::exception& error) {
      windows.main_window->ShowApplicationError(error.what());
    }
  };
  if (QAction* english = main_window->findChild<QAction*>("Engilshdefault1")) {
    english->setEnabled(true);
    QObject::connect(english, &QAction::triggered, main_window,
                     [main_window, program_folder] { SwitchToEnglish(*main_window, program_folder); });
  }
  if (QAction* french = main_window->findChild<QAction*>("Franais1")) {
    french->setEnabled(true);
    QObject::connect(french, &QAction::triggered, main_window, [load] { load(kBuiltInLanguage); });
  }
  for (const std::string& file_name : ListLanguageFiles(program_folder)) {
    if (file_name == kBuiltInLanguage) continue;
    QAction* item = menu->addAction(QString::fromStdString(LanguageMenuCaption(file_name)));
    item->setToolTip(QString::fromStdString(file_name));
    QObject::connect(item, &QAction::triggered, main_window,
                     [load, item] { load(item->toolTip().toStdString()); });
  }
}

void SwitchToEnglish(MainWindow& main_window, const std::string& program_folder) {
  Settings& settings = main_window.settings();
  settings.lang.clear();
  SaveLanguageOption(settings, program_folder + "options.ini");
  const MessageAnswer answer = DialogPresenter::Current().ShowMessage(
      &main_window, kProductName, "You must restart Quillmarsh for changes to take effect. Restart Now ?",
      MessageIcon::Question, MessageButtons::YesNo, false, std::nullopt);
  if (answer != MessageAnswer::Yes) return;
  main_window.close();  // its close handler saves the window's settings
  restart_requested = true;
  QCoreApplication::exit(0);
}

bool RestartRequested() { return restart_requested; }

void StartProgramAgain() { QProcess::startDetached(QCoreApplication::applicationFilePath(), {}); }

}  // namespace quill
