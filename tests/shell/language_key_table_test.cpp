// Every key a language list can hold, with the controls and messages it must
// reach: a list whose texts are marked with their keys is applied, and each
// target must then show its key's mark.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <functional>
#include <set>

#include "fixtures/odbc_data_sources.h"
#include "options_dialogs_fixture.h"
#include "shell/data_source_dialog.h"
#include "shell/foreign_key_designer.h"
#include "shell/language_file.h"
#include "shell/languages.h"
#include "shell/radio_group.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"
#include "sources/source_session.h"

namespace quill {
namespace {

enum class W { Main, Options, Dates, Selection, Designer, Replace, Update, AddSource };

QWidget* WindowOf(const LanguageWindows& windows, W window) {
  switch (window) {
    case W::Main: return windows.main_window;
    case W::Options: return windows.options;
    case W::Dates: return windows.date_format;
    case W::Selection: return windows.table_selection;
    case W::Designer: return windows.designer;
    case W::Replace: return windows.replace;
    case W::Update: return windows.update;
    case W::AddSource: return windows.add_source;
  }
  return nullptr;
}

QString TextOf(const QObject* control) {
  if (auto* menu = qobject_cast<const QMenu*>(control)) return menu->title();
  if (auto* action = qobject_cast<const QAction*>(control)) return action->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  return "<no text of a " + QString(control->metaObject()->className()) + ">";
}

// What a target shows, read back from the windows.
using Shown = std::function<QString(const LanguageWindows&)>;

QObject* Control(const LanguageWindows& windows, W window, const char* name) {
  QWidget* owner = WindowOf(windows, window);
  QObject* control = owner ? owner->findChild<QObject*>(name) : nullptr;
  EXPECT_NE(control, nullptr) << name;
  return control;
}

Shown Caption(W window, const char* name) {
  return [=](const LanguageWindows& w) {
    QObject* control = Control(w, window, name);
    return control ? TextOf(control) : QString();
  };
}
Shown Hint(W window, const char* name) {
  return [=](const LanguageWindows& w) {
    QObject* control = Control(w, window, name);
    if (auto* action = qobject_cast<QAction*>(control)) return action->toolTip();
    if (auto* widget = qobject_cast<QWidget*>(control)) return widget->toolTip();
    return QString();
  };
}
Shown Page(W window, const char* name, int index) {
  return [=](const LanguageWindows& w) {
    auto* pages = qobject_cast<QTabWidget*>(Control(w, window, name));
    return pages ? pages->tabText(index) : QString();
  };
}
Shown ComboItem(const char* name, int index) {
  return [=](const LanguageWindows& w) {
    auto* combo = qobject_cast<QComboBox*>(Control(w, W::Main, name));
    return combo ? combo->itemText(index) : QString();
  };
}
Shown RadioItem(W window, const char* name, int index) {
  return [=](const LanguageWindows& w) {
    auto* group = qobject_cast<RadioGroup*>(Control(w, window, name));
    return group ? group->Item(index)->text() : QString();
  };
}
Shown Title(W window) {
  return [=](const LanguageWindows& w) { return WindowOf(w, window)->windowTitle(); };
}
Shown Text(std::function<QString(const LanguageWindows&)> read) { return read; }
Shown Std(std::function<std::string(const LanguageWindows&)> read) {
  return [=](const LanguageWindows& w) { return QString::fromStdString(read(w)); };
}

#define MAIN(field) Text([](const LanguageWindows& w) { return w.main_window->messages().field; })
#define OPTIONS(field) Text([](const LanguageWindows& w) { return w.options->messages().field; })
#define LOGIN(field) Std([](const LanguageWindows& w) { return w.options->messages().login.field; })
#define SELECTION(field) Text([](const LanguageWindows& w) { return w.table_selection->messages().field; })
#define DESIGNER(field) Std([](const LanguageWindows& w) { return w.designer->messages().field; })
#define REPLACE(field) Text([](const LanguageWindows& w) { return w.replace->messages().field; })
#define UPDATE(field) Text([](const LanguageWindows& w) { return w.update->messages().field; })
#define SETUP(field) Text([](const LanguageWindows& w) { return w.add_source->setup_window().messages().field; })

struct KeyCase {
  const char* key;
  std::vector<Shown> shown;
};

constexpr W M = W::Main;
constexpr W P = W::Options;
constexpr W F4 = W::Dates;
constexpr W F5 = W::Replace;
constexpr W F8 = W::Update;
constexpr W F9 = W::Selection;
constexpr W F11 = W::AddSource;
constexpr W F12 = W::Designer;

const std::vector<KeyCase>& KeyCases() {
  static const std::vector<KeyCase> cases = {
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
      {"MenuTableAndData", {Caption(M, "TableandData1"), ComboItem("ComboBox2", 0)}},
      {"MenuTableOnly", {Caption(M, "Tableonly1"), ComboItem("ComboBox2", 1)}},
      {"MenuDataOnly", {Caption(M, "DataOnly1"), ComboItem("ComboBox2", 2)}},
      {"MenuLogin", {Caption(M, "Login1"), Caption(M, "Password1")}},
      {"MenuHelp", {Caption(M, "Help1"), Caption(M, "Help2")}},
      {"HintSaveAs", {Hint(M, "ToolButton1")}},
      {"HintAddSource", {Hint(M, "ToolButton3")}},
      {"HintConfigSource", {Hint(M, "ToolButton4")}},
      {"HintDeleteSource", {Hint(M, "ToolButton5")}},
      {"HintGenerateSQL", {Hint(M, "ToolButton7"), Caption(M, "BatchConversion1")}},
      {"HintDestSchema", {Hint(M, "Edit2")}},
      {"HintDroTable", {Hint(M, "CheckBox3")}},
      {"Popup1Refresh", {Caption(M, "Refresh1")}},
      {"Popup1AddSource", {Caption(M, "AddRemSystemSources1")}},
      {"Popup2List", {Caption(M, "ListTables1")}},
      {"Popup2ExportToFile", {Caption(M, "Exportto1")}},
      {"Popup2Access", {Caption(M, "AccessFile2")}},
      {"Popup2CSV", {Caption(M, "CSVFile1")}},
      {"Popup2XML", {Caption(M, "XMLFile1")}},
      {"Popup2Config", {Caption(M, "Configure1")}},
      {"Popup2Delete", {Caption(M, "DeleteSource1")}},
      {"BtnDone", {Caption(F11, "Button3"), Caption(F9, "Button2"), Caption(F12, "Done"), Caption(F4, "Button1")}},
      {"BtnSelAll", {Caption(F9, "Button3"), Caption(F12, "SelAll")}},
      {"BtnDesAll", {Caption(F9, "Button4"), Caption(F12, "DesAll")}},
      {"BtnLoad", {Caption(F9, "Button7"), Caption(F12, "Load")}},
      {"BtnSave", {Caption(F9, "Button8")}},
      {"BtnCancel", {Caption(F9, "Button6"), Caption(F12, "Cancel"), Caption(P, "Button5")}},
      {"MainWindowDebugCheck", {Caption(M, "CheckBox1")}},
      {"IntroText", {MAIN(intro_text), Text([](const LanguageWindows& w) { return w.main_window->SummaryText(); })}},
      {"StatusReady", {MAIN(status_ready), Text([](const LanguageWindows& w) { return w.main_window->StatusText(); })}},
      {"StatusList", {MAIN(status_list)}},
      {"StatusRefresh", {MAIN(status_refresh)}},
      {"StatusGenerate", {MAIN(status_generate)}},
      {"StatusAbort", {MAIN(status_abort)}},
      {"StatusSaving", {MAIN(status_saving)}},
      {"StatusGenAccess", {MAIN(status_gen_access)}},
      {"StatusGenCsv", {MAIN(status_gen_csv)}},
      {"StatusGenXml", {MAIN(status_gen_xml)}},
      {"MsgAreYouSure", {MAIN(msg_are_you_sure)}},
      {"MsgCannotDelete", {MAIN(msg_cannot_delete)}},
      {"MsgDeleted", {MAIN(msg_deleted)}},
      {"MsgDoYouWant", {MAIN(msg_do_you_want)}},
      {"MsgCannotAccess", {MAIN(msg_cannot_access)}},
      // The question the connection asks after a failed open.
      {"MsgConnPrbl", {Std([](const LanguageWindows& w) { return w.main_window->session().messages().msg_conn_prbl; })}},
      {"MsgNoTablesFound", {MAIN(msg_no_tables_found)}},
      {"MsgDebugModeON", {MAIN(msg_debug_mode_on)}},
      {"MsgNoODBC", {MAIN(msg_no_odbc)}},
      {"MsgDuplTblNmFound", {MAIN(msg_dupl_tbl_nm_found)}},
      {"MsgCantGetData", {MAIN(msg_cant_get_data)}},
      {"MsgErrorWTabl", {MAIN(msg_error_w_tabl)}},
      {"MsgNoAvailSrcF", {MAIN(msg_no_avail_src_f)}},
      {"MsgInclSelTbl", {MAIN(msg_incl_sel_tbl)}},
      {"MsgSameSchema", {MAIN(msg_same_schema)}},
      {"SelectWindowCaption", {MAIN(select_window_caption)}},
      {"OptionWindowCaption", {Title(P)}},
      {"OptionWindowOK", {Caption(P, "OKBtn")}},
      {"OptionWindowDatesTabCaption", {Page(P, "PageControl1", 0), Caption(P, "GroupBox3")}},
      {"OptionWindowLoginTabCaption", {Page(P, "PageControl1", 1)}},
      {"OptionWindowBLOBTabCaption", {Page(P, "PageControl1", 2)}},
      {"OptionWindowAutoTabCaption", {Page(P, "PageControl1", 3)}},
      {"OptionWindowFormatTabCaption", {Page(P, "PageControl1", 4)}},
      {"OptionWindowMiscTabCaption", {Page(P, "PageControl1", 5)}},
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
      {"MsgPsswAdded", {LOGIN(msg_pssw_added)}},
      {"MsgPsswNotAdded", {OPTIONS(msg_pssw_not_added)}},
      {"MsgPsswOnDisk", {LOGIN(msg_pssw_on_disk)}},
      {"MsgAreYouSureFolder", {OPTIONS(msg_sure_delete)}},
      {"SearchWindowCaption", {Title(F5)}},
      {"SearchWindowBtnReplace", {Caption(F5, "Button1")}},
      {"SearchWindowBtnOK", {Caption(F5, "Button2")}},
      {"SearchWindowTextFind", {Caption(F5, "Label1")}},
      {"SearchWindowTextRepl", {Caption(F5, "Label2")}},
      {"SearchWindowCase", {Caption(F5, "CheckBox1")}},
      {"SearchWindowAlloccrepl", {REPLACE(all_occurrences_replaced)}},
      {"SearchWindownooccfound", {REPLACE(no_occurrences_found)}},
      {"ODBCWindowCaption", {Title(F11)}},
      {"ODBCWindowDriver", {Caption(F11, "Label1")}},
      {"ODBCWindowDSN", {Caption(F11, "Label2")}},
      {"ODBCWindowCreate", {Caption(F11, "Button2")}},
      {"ODBCinfo", {Caption(F11, "Label5")}},
      {"MsgDSNCreated", {Text([](const LanguageWindows& w) { return w.add_source->messages().data_source_created; })}},
      {"SetupWindowCaption", {SETUP(caption)}},
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
      {"MsgSetupTestOK", {SETUP(test_succeeded)}},
      {"MsgSetupNoEquals", {SETUP(row_without_equals)}},
      {"MsgSetupChooseFile", {SETUP(choose_file)}},
      {"MsgSetupChooseFolder", {SETUP(choose_folder)}},
      {"SelectWindowAvailTbl", {Caption(F9, "Label1")}},
      {"SelectWindowTablToProc", {Caption(F9, "Label2")}},
      {"SelectWindowClear", {Caption(F9, "Button5")}},
      {"MsgAtLeastOne", {SELECTION(msg_at_least_one)}},
      {"MsgNoTblSel", {SELECTION(msg_no_tbl_sel)}},
      {"MsgFileNotSupp", {SELECTION(msg_file_not_supp)}},
      {"MsgNoTblInFile", {SELECTION(msg_no_tbl_in_file)}},
      {"MsgDesTbl", {SELECTION(msg_des_tbl)}},
      {"MsgTblRej1", {SELECTION(msg_tbl_rej1)}},
      {"MsgTblRej2", {SELECTION(msg_tbl_rej2)}},
      {"FKWindowCaption", {Title(F12)}},
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
      {"MsgLastNotCorr", {DESIGNER(msg_last_not_corr)}},
      {"MsgNoPrimFound", {DESIGNER(msg_no_prim_found)}},
      {"MsgNoFKSel", {DESIGNER(msg_no_fk_sel)}},
      {"MsgSelFKNotSet", {DESIGNER(msg_sel_fk_not_set)}},
      {"MsgNoSavContAnyway", {DESIGNER(msg_no_sav_cont_anyway)}},
      {"MsgNoFKToSave", {DESIGNER(msg_no_fk_to_save)}},
      {"MsgAmntFKLoaded", {DESIGNER(msg_amnt_fk_loaded)}},
      {"MsgNoFKToSel", {DESIGNER(msg_no_fk_to_sel)}},
      {"MsgNoFKToDes", {DESIGNER(msg_no_fk_to_des)}},
      {"MsgNoFKToDel", {DESIGNER(msg_no_fk_to_del)}},
      {"MsgBrokContAnyway", {DESIGNER(msg_brok_cont_anyway)}},
      {"MsgAmtFKDupl", {DESIGNER(msg_amt_fk_dupl)}},
      {"MsgNoDuplFound", {DESIGNER(msg_no_dupl_found)}},
      {"MsgNoProblFound", {DESIGNER(msg_no_probl_found)}},
      {"MsgLoadSrcInfo", {DESIGNER(msg_load_src_info)}},
      {"MsgErrLoadSrcInfo", {DESIGNER(msg_err_load_src_info)}},
      {"MsgFailGetInfo", {DESIGNER(msg_fail_get_info)}},
      {"MsgInfoRetr", {DESIGNER(msg_info_retr)}},
      {"FormatWindowCaption", {Title(F4)}},
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
      {"FormatWindowPG4Tab1", {Page(F4, "PageControl2", 0)}},
      {"FormatWindowPG4Tab2", {Page(F4, "PageControl2", 1)}},
      {"FormatWindowPG4Button", {Caption(F4, "Button2")}},
      {"MsgVarUpdated", {Text([](const LanguageWindows& w) { return w.date_format->messages().msg_variables_updated; })}},
      {"FormatWindowPG501", {Caption(F4, "Label34")}},
      {"FormatWindowPG502", {Caption(F4, "Label37")}},
      {"FormatWindowPG503", {Caption(F4, "GroupBox2")}},
      {"FormatWindowPG5Opt1", {RadioItem(F4, "RadioGroup2", 0)}},
      {"FormatWindowPG5Opt2", {RadioItem(F4, "RadioGroup2", 1)}},
      {"UpdateWindowCaption", {Title(F8)}},
      {"UpdateWindowButton", {Caption(F8, "Button1")}},
      {"MsgUpdateGetInfo", {UPDATE(getting)}},
      {"MsgUpdateNoInfo", {UPDATE(failed_status)}},
      {"MsgUpdateNoInfoDlg", {UPDATE(failed_box)}},
      {"MsgUpdateRetr", {UPDATE(retrieved)}},
      {"MsgUpdateNewVer", {UPDATE(new_version_1)}},
      {"MsgUpdateAvail", {UPDATE(new_version_2)}},
      {"MsgUpdateVisit", {UPDATE(new_version_3)}},
      {"MsgUpdateUpToDate", {UPDATE(up_to_date)}},
  };
  return cases;
}

class LanguageKeyTableTest : public testing::OptionsDialogsTest {
 protected:
  LanguageWindows Windows() {
    Options();
    if (!selection_) {
      selection_ = std::make_unique<TableSelectionDialog>(Window());
      designer_ = std::make_unique<ForeignKeyDesigner>(Window(), settings_);
      replace_ = std::make_unique<ReplaceDialog>(Window());
      update_ = std::make_unique<UpdateCheckDialog>(Window(), "http://127.0.0.1:9");
      add_source_ = std::make_unique<DataSourceDialog>(Window());
    }
    return LanguageWindows{&Window(),       &Options(),   &DateDialog(),   selection_.get(), designer_.get(),
                           replace_.get(), update_.get(), add_source_.get(), nullptr};
  }

  std::unique_ptr<TableSelectionDialog> selection_;
  std::unique_ptr<ForeignKeyDesigner> designer_;
  std::unique_ptr<ReplaceDialog> replace_;
  std::unique_ptr<UpdateCheckDialog> update_;
  std::unique_ptr<DataSourceDialog> add_source_;
};

QString Mark(const char* key) { return QString("#") + key + "#"; }

TEST_F(LanguageKeyTableTest, EveryKeyReachesEachOfItsTargets) {
  const LanguageWindows windows = Windows();
  std::string list;
  for (const KeyCase& entry : KeyCases()) list += std::string(entry.key) + "=" + Mark(entry.key).toStdString() + "\r\n";
  ApplyLanguageList(windows, list);
  for (const KeyCase& entry : KeyCases()) {
    ASSERT_FALSE(entry.shown.empty()) << entry.key;
    for (size_t i = 0; i < entry.shown.size(); ++i) {
      EXPECT_EQ(entry.shown[i](windows), Mark(entry.key)) << entry.key << " target " << i;
    }
  }
}

TEST_F(LanguageKeyTableTest, TheTableCoversEveryKeyOfTheBuiltInList) {
  std::set<std::string> keys;
  for (const KeyCase& entry : KeyCases()) {
    EXPECT_TRUE(IsLanguageKey(entry.key)) << entry.key;
    EXPECT_TRUE(keys.insert(entry.key).second) << entry.key << " twice";
  }
  std::set<std::string> french;
  for (const LanguageLine& line : ParseLanguageList(BuiltInLanguageList())) {
    if (!line.key.empty()) french.insert(line.key);
  }
  EXPECT_EQ(french, keys);
}

// The question after a failed open speaks the loaded language.
TEST_F(LanguageKeyTableTest, ConnectionQuestionShowsTheLoadedText) {
  const LanguageWindows windows = Windows();
  testing::RegisterSystemDsn("Unreachable", testing::kPostgresDriver,
                             {{"Servername", "127.0.0.1"}, {"Port", "1"}, {"Database", "none"}});
  ApplyLanguageList(windows, "MsgConnPrbl=#MsgConnPrbl#");
  settings_.jet_eng = false;
  dialogs_.AnswerQuestion(MessageAnswer::No);
  Window().RunGuarded([&] { Window().session().ConnectToSource("Unreachable"); });
  testing::RemoveSystemDsn("Unreachable");
  ASSERT_FALSE(dialogs_.messages().empty());
  EXPECT_EQ(dialogs_.messages().back().text, "#MsgConnPrbl#");
  EXPECT_EQ(dialogs_.messages().back().buttons, MessageButtons::YesNo);
}

}  // namespace
}  // namespace quill
