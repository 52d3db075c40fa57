#include "shell/languages.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>

#include "options_dialogs_fixture.h"
#include "platform/text/text_encoding.h"
#include "shell/data_source_dialog.h"
#include "shell/foreign_key_designer.h"
#include "shell/language_file.h"
#include "shell/radio_group.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"
#include "shell/welcome_panel.h"

namespace quill {
namespace {

// --- the list format ---------------------------------------------------------

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<LanguageLine> expected;
};

class LanguageLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LanguageLineTest, SplitsKeysAndTexts) {
  const std::vector<LanguageLine> lines = ParseLanguageList(GetParam().bytes);
  ASSERT_EQ(lines.size(), GetParam().expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].key, GetParam().expected[i].key) << i;
    EXPECT_EQ(lines[i].text, GetParam().expected[i].text) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LanguageLineTest,
    ::testing::Values(
        LineCase{"SecondEqualsEndsText", "MenuFile=a=b", {{"MenuFile", "a"}}},
        LineCase{"EmptyText", "MenuFile=", {{"MenuFile", ""}}},
        LineCase{"SlashesInTextKept", "MenuFile=see //x", {{"MenuFile", "see //x"}}},
        LineCase{"SlashesInKeyComment", "Menu//File=x\r\n// MenuFile=x", {}},
        LineCase{"NoEqualsNoText", "MenuFile", {{"MenuFile", std::nullopt}}},
        LineCase{"BlanksKept", "StatusReady= Ready \r\nMenuFile =x", {{"StatusReady", " Ready "}, {"MenuFile ", "x"}}},
        LineCase{"LoneCrAndLfEndLines", "A=1\rB=2\nC=3\r\n\r\nD=4",
                 {{"A", "1"}, {"B", "2"}, {"C", "3"}, {"", std::nullopt}, {"D", "4"}}},
        LineCase{"Windows1252Decoded", "MenuFile=Donn\xe9" "es", {{"MenuFile", "Donn\xc3\xa9" "es"}}},
        LineCase{"Utf8KeptAsItIs", "MenuFile=Donn\xc3\xa9" "es", {{"MenuFile", "Donn\xc3\xa9" "es"}}},
        LineCase{"ByteOrderMarkBelongsToKey", "\xef\xbb\xbfMenuFile=x", {{"\xef\xbb\xbfMenuFile", "x"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageFileNames, WelcomePageReplacesEveryLngIgnoringCase) {
  EXPECT_EQ(WelcomePageOfLanguage("deutsch.lng"), "languages/deutsch.xml");
  EXPECT_EQ(WelcomePageOfLanguage("mylng.lng"), "languages/myxml.xml");
  EXPECT_EQ(WelcomePageOfLanguage("Dansk.LNG"), "languages/Dansk.xml");
  EXPECT_EQ(LanguageMenuCaption("my.lang.lng"), "my");
  EXPECT_EQ(LanguageMenuCaption("deutsch.lng"), "deutsch");
}

TEST(BuiltInLanguage, IsAWindows1252ListOfKnownKeys) {
  testing::TestApplication();
  const std::string bytes = BuiltInLanguageList();
  ASSERT_FALSE(bytes.empty());
  EXPECT_FALSE(IsValidUtf8(bytes)) << "accented letters in Windows-1252";
  EXPECT_NE(bytes.back(), '\n');
  EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1) << "CR LF line ends";
  const std::vector<LanguageLine> lines = ParseLanguageList(bytes);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().key, "FormatWindowPG5Opt2");
  for (const LanguageLine& line : lines) {
    if (line.key.empty()) continue;  // the blank line
    EXPECT_TRUE(IsLanguageKey(line.key)) << line.key;
    EXPECT_TRUE(line.text.has_value()) << line.key;
  }
}

// --- loading into the windows ---------------------------------------------

class LanguagesTest : public testing::OptionsDialogsTest {
 protected:
  LanguagesTest() : previous_folder_(QDir::currentPath()) {
    // Welcome pages are named relative to the current folder.
    QDir::setCurrent(QString::fromStdString(folder_.path().string()));
    std::filesystem::create_directories(folder_.path() / "languages");
  }
  ~LanguagesTest() override { QDir::setCurrent(previous_folder_); }

  LanguageWindows Windows() { return side_.All(Window(), Options(), DateDialog(), settings_); }

  void WriteLanguage(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_.path() / "languages" / name, std::ios::binary) << bytes;
  }
  void WritePage(const std::string& name, const std::string& info) {
    std::ofstream(folder_.path() / "languages" / name) << "<P><INFO>" << info << "</INFO></P>";
  }
  QString WelcomeText() {
    auto* label = side_.welcome->findChild<QLabel*>("MyLabel0");
    return label ? label->text() : QString();
  }
  QString MenuText(const char* name) { return FindIn<QAction>(Window(), name)->text(); }
  QString MenuTitle(const char* name) { return FindIn<QMenu>(Window(), name)->title(); }

  QString previous_folder_;
  testing::LanguageSideWindows side_;
};

TEST_F(LanguagesTest, ListAppliesCaptionsHintsMessagesAcrossWindows) {
  const LanguageWindows windows = Windows();
  WriteLanguage("deutsch.lng",
                "// Menu\r\n"
                "MenuFile=Datei\r\n"
                "menufile=klein\r\n"
                "MenuFile =mit Blank\r\n"
                "Unknown=nichts\r\n"
                "MenuLogin=Anmeldung\r\n"
                "BtnDone=Fertig\r\n"
                "HintAddSource=Quelle hinzuf\xfcgen\r\n"
                "StatusReady= Bereit \r\n"
                "OptionWindowCaption=Optionen\r\n"
                "OptionWindowLoginTabCaption=Anmeldung\r\n"
                "OptionWindowBLOBMethodRestrict=Einschr\xe4nken\r\n"
                "FormatWindowPG5Opt2=Formatzeichen\r\n"
                "MsgAtLeastOne=Mindestens eine Tabelle.\r\n"
                "MsgNoFKSel=Kein Fremdschl\xfcssel.\r\n"
                "MsgPsswAdded=Zugewiesen.\r\n"
                "StatusList=erst\r\n"
                "StatusList= Tabellen... ");
  WritePage("deutsch.xml", "Willkommen");

  LoadLanguage(windows, folder_.ProgramFolder(), "deutsch.lng");

  EXPECT_EQ(MenuTitle("File1"), "Datei");
  EXPECT_EQ(MenuText("Login1"), "Anmeldung");
  EXPECT_EQ(MenuText("Password1"), "Anmeldung");
  EXPECT_EQ(FindIn<QWidget>(Window(), "ToolButton3")->toolTip(), QString::fromUtf8("Quelle hinzufügen"));
  EXPECT_EQ(FindIn<QPushButton>(*side_.selection, "Button2")->text(), "Fertig");
  EXPECT_EQ(FindIn<QPushButton>(*side_.designer, "Done")->text(), "Fertig");
  EXPECT_EQ(FindIn<QPushButton>(DateDialog(), "Button1")->text(), "Fertig");
  EXPECT_EQ(Window().messages().status_ready, " Bereit ");
  EXPECT_EQ(Window().StatusText(), " Bereit ");
  EXPECT_EQ(Options().windowTitle(), "Optionen");
  EXPECT_EQ(FindIn<QTabWidget>(Options(), "PageControl1")->tabText(1), "Anmeldung");
  EXPECT_EQ(FindIn<RadioGroup>(Options(), "RadioGroup2")->Item(0)->text(), QString::fromUtf8("Einschränken"));
  EXPECT_EQ(FindIn<RadioGroup>(DateDialog(), "RadioGroup2")->Item(1)->text(), "Formatzeichen");
  EXPECT_EQ(side_.selection->messages().msg_at_least_one, "Mindestens eine Tabelle.");
  EXPECT_EQ(side_.designer->messages().msg_no_fk_sel, "Kein Fremdschl\xc3\xbcssel.");
  EXPECT_EQ(Options().messages().login.msg_pssw_added, "Zugewiesen.");
  EXPECT_EQ(Window().messages().status_list, " Tabellen... ") << "the later line wins";
  EXPECT_EQ(WelcomeText(), "Willkommen");
  EXPECT_EQ(settings_.lang, "deutsch.lng");
  EXPECT_NE(OptionsText().find("lang=deutsch.lng"), std::string::npos);
}

TEST_F(LanguagesTest, ReplaceUpdateAndAddSourceWindowsTakeCaptionsAndMessages) {
  const LanguageWindows windows = Windows();
  ApplyLanguageList(windows,
                    "SearchWindowCaption=Ersetzen\r\n"
                    "SearchWindowAlloccrepl=Alles ersetzt.\r\n"
                    "SearchWindownooccfound=Nichts gefunden.\r\n"
                    "UpdateWindowButton=Pr\xfc" "fen\r\n"
                    "MsgUpdateGetInfo=Hole...\r\n"
                    "MsgUpdateNoInfo=Keine Info...\r\n"
                    "MsgUpdateNoInfoDlg=Keine Info vom Server.\r\n"
                    "MsgUpdateRetr=Geholt...\r\n"
                    "MsgUpdateNewVer=Neue Version\r\n"
                    "MsgUpdateAvail=da ! Ihre ist\r\n"
                    "MsgUpdateVisit=Besuchen ?\r\n"
                    "MsgUpdateUpToDate=Aktuell.\r\n"
                    "ODBCWindowCreate=Anlegen\r\n"
                    "BtnDone=Fertig\r\n"
                    "MsgDSNCreated=Angelegt.");
  EXPECT_EQ(side_.replace->windowTitle(), "Ersetzen");
  EXPECT_EQ(side_.replace->messages().all_occurrences_replaced, "Alles ersetzt.");
  EXPECT_EQ(side_.replace->messages().no_occurrences_found, "Nichts gefunden.");
  EXPECT_EQ(FindIn<QPushButton>(*side_.update, "Button1")->text(), QString::fromUtf8("Prüfen"));
  const UpdateCheckMessages& update = side_.update->messages();
  EXPECT_EQ((QStringList{update.getting, update.failed_status, update.failed_box, update.retrieved,
                         update.new_version_1, update.new_version_2, update.new_version_3, update.up_to_date}),
            (QStringList{"Hole...", "Keine Info...", "Keine Info vom Server.", "Geholt...", "Neue Version",
                         "da ! Ihre ist", "Besuchen ?", "Aktuell."}));
  EXPECT_EQ(FindIn<QPushButton>(*side_.add_source, "Button2")->text(), "Anlegen");
  EXPECT_EQ(FindIn<QPushButton>(*side_.add_source, "Button3")->text(), "Fertig");
  EXPECT_EQ(side_.add_source->messages().data_source_created, "Angelegt.");
}

TEST_F(LanguagesTest, ContentItemChangesWhileTheSelectionStays) {
  const LanguageWindows windows = Windows();
  Window().SelectContent(2);
  auto* combo = FindIn<QComboBox>(Window(), "ComboBox2");
  ApplyLanguageList(windows, "MenuTableOnly=Nur Tabelle");
  EXPECT_EQ(combo->itemText(1), "Nur Tabelle");
  EXPECT_EQ(MenuText("Tableonly1"), "Nur Tabelle");
  EXPECT_EQ(combo->currentIndex(), 2);
}

TEST_F(LanguagesTest, IntroTextShowsAtOnceOnlyWhileNoScriptIsOpen) {
  const LanguageWindows windows = Windows();
  auto* summary = FindIn<QPlainTextEdit>(Window(), "Memo2");
  ApplyLanguageList(windows, "IntroText=Bonjour");
  EXPECT_EQ(summary->toPlainText(), "Bonjour");

  ScriptDocument document;
  document.tab_caption = "t";
  document.script = ScriptBuffer::FromItems({"x"});
  document.summary = "the summary";
  Window().AddScriptTab(std::move(document));
  ApplyLanguageList(windows, "IntroText=Salut");
  EXPECT_EQ(Window().messages().intro_text, "Salut");
  EXPECT_NE(summary->toPlainText(), "Salut");
}

TEST_F(LanguagesTest, KnownKeyWithoutTextStopsTheLoadBeforeLangIsRecorded) {
  const LanguageWindows windows = Windows();
  settings_.lang = "before.lng";
  WriteLanguage("broken.lng", "MenuFile=Datei\r\nUnknownWithout\r\nMenuEdit\r\nMenuExit=Ende");
  EXPECT_THROW(LoadLanguage(windows, folder_.ProgramFolder(), "broken.lng"), std::runtime_error);
  EXPECT_EQ(MenuTitle("File1"), "Datei");
  EXPECT_EQ(MenuText("Exit1"), "Exit");
  EXPECT_EQ(settings_.lang, "before.lng");
}

TEST_F(LanguagesTest, MissingListChangesNoTextButIsRecorded) {
  const LanguageWindows windows = Windows();
  LoadLanguage(windows, folder_.ProgramFolder(), "missing.lng");
  EXPECT_EQ(MenuTitle("File1"), "File");
  EXPECT_EQ(WelcomeText(), "");
  EXPECT_EQ(settings_.lang, "missing.lng");
}

TEST_F(LanguagesTest, FrancaisUsesTheBuiltInListAndItsPageOnDisk) {
  const LanguageWindows windows = Windows();
  WriteLanguage("francais.lng", "MenuFile=from disk");
  WritePage("francais.xml", "Bienvenue");
  LoadLanguage(windows, folder_.ProgramFolder(), "francais.lng");
  EXPECT_EQ(MenuTitle("File1"), "Fichier");
  EXPECT_EQ(Window().StatusText(), QString::fromUtf8(" Prêt "));
  EXPECT_EQ(FindIn<QPushButton>(*side_.designer, "Done")->text(), QString::fromUtf8("Terminé"));
  EXPECT_EQ(WelcomeText(), "Bienvenue");
  EXPECT_EQ(settings_.lang, "francais.lng");
}

TEST_F(LanguagesTest, LanguageMenuListsFilesAndLoadsTheClickedOne) {
  const LanguageWindows windows = Windows();
  WriteLanguage("deutsch.lng", "MenuFile=Datei");
  WriteLanguage("my.lang.lng", "MenuFile=Mine");
  WriteLanguage("francais.lng", "MenuFile=not listed");
  WriteLanguage("Francais.lng", "MenuFile=from disk");
  WriteLanguage("notes.txt", "MenuFile=no");
  std::filesystem::create_directory(folder_.path() / "languages" / "folder.lng");
  InstallLanguageMenu(windows, folder_.ProgramFolder());

  auto* menu = FindIn<QMenu>(Window(), "Language1");
  QStringList captions;
  QAction* deutsch = nullptr;
  QAction* capital = nullptr;
  for (QAction* item : menu->actions()) {
    captions << item->text();
    if (item->text() == "deutsch") deutsch = item;
    if (item->text() == "Francais") capital = item;
  }
  captions.sort();
  EXPECT_EQ(captions, QStringList({"English (default)", "Francais", QString::fromUtf8("Français"), "deutsch", "my"}));
  ASSERT_NE(deutsch, nullptr);
  EXPECT_EQ(deutsch->toolTip(), "deutsch.lng");
  deutsch->trigger();
  EXPECT_EQ(MenuTitle("File1"), "Datei");
  EXPECT_EQ(settings_.lang, "deutsch.lng");

  ASSERT_NE(capital, nullptr);
  capital->trigger();
  EXPECT_EQ(MenuTitle("File1"), "from disk");
  FindIn<QAction>(Window(), "Franais1")->trigger();
  EXPECT_EQ(MenuTitle("File1"), "Fichier");
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(LanguagesTest, EnglishEmptiesLangAndAsksToRestart) {
  const LanguageWindows windows = Windows();
  LoadLanguage(windows, folder_.ProgramFolder(), "francais.lng");
  InstallLanguageMenu(windows, folder_.ProgramFolder());
  Window().show();

  dialogs_.AnswerQuestion(MessageAnswer::No);
  FindIn<QAction>(Window(), "Engilshdefault1")->trigger();
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].title, "Quillmarsh");
  EXPECT_EQ(dialogs_.messages()[0].text, "You must restart Quillmarsh for changes to take effect. Restart Now ?");
  EXPECT_EQ(dialogs_.messages()[0].icon, MessageIcon::Question);
  EXPECT_EQ(dialogs_.messages()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(settings_.lang, "");
  EXPECT_EQ(OptionsText().find("lang=francais.lng"), std::string::npos);
  EXPECT_EQ(MenuTitle("File1"), "Fichier") << "texts stay until the next start";
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(RestartRequested());

  dialogs_.AnswerQuestion(MessageAnswer::Yes);
  FindIn<QAction>(Window(), "Engilshdefault1")->trigger();
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(RestartRequested());
}

}  // namespace
}  // namespace quill
