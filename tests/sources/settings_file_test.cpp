#include "sources/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/temporary_folder.h"
#include "platform/files/read_file.h"

namespace quill {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary | std::ios::trunc) << text; }
  std::string FileText() const { return ReadWholeFile(path_).value_or("<missing>"); }

  // Every loader, in the order the windows are created and shown.
  void LoadAll(Settings& settings) const {
    LoadMainWindowOptions(settings, path_);
    SetPagesOptions(settings, path_);
    LoadDateFormatOptions(settings, path_);
    LoadLanguageOption(settings, path_);
  }

  quill::testing::TemporaryFolder folder_;
  std::string path_ = OptionsFilePath(folder_.path());
};

TEST_F(SettingsFileTest, TheFileIsOptionsIniInTheProgramsFolder) {
  EXPECT_EQ(OptionsFilePath("/opt/quillmarsh/"), "/opt/quillmarsh/options.ini");
}

TEST_F(SettingsFileTest, AFirstStartWithoutAFileGivesTheDesignedState) {
  Settings settings;
  LoadAll(settings);
  EXPECT_EQ(settings, Settings{});
  EXPECT_FALSE(std::filesystem::exists(path_));

  // Spelled out, as the windows show it.
  EXPECT_FALSE(settings.convert || settings.formatting || settings.leave || settings.quoted || settings.batch ||
               settings.underscore || settings.disable_warn || settings.text_from_blob ||
               settings.extr_from_system || settings.jet_eng || settings.alpha || settings.null_quoted ||
               settings.go || settings.extract_files || settings.save_as_raw || settings.find_bmp ||
               settings.find_jpg || settings.find_tif || settings.find_gif || settings.find_wmf ||
               settings.find_pdf || settings.find_doc || settings.find_zip || settings.find_wav ||
               settings.find_mp3 || settings.find_png);
  for (int choice : {settings.access, settings.files_method, settings.ms_format, settings.po_format, settings.ms_type,
                     settings.post_form_type}) {
    EXPECT_EQ(choice, kNoChoice);
  }
  EXPECT_EQ(settings.size, "30");
  EXPECT_EQ(settings.pe_format, "YYYY-MM-DD");
  EXPECT_EQ(settings.content, ContentMode::TableAndData);
  EXPECT_EQ(settings.format, TargetDialect::MySql);
  EXPECT_FALSE(settings.drop);
  EXPECT_EQ(settings.ms_schema, "");
  EXPECT_EQ(settings.font, "MS Sans Serif");
  EXPECT_EQ(settings.font_size, 8);
  EXPECT_EQ(settings.font_color, -16777208);
  EXPECT_EQ(settings.font_style, 0);
  EXPECT_EQ(settings.top, 157);
  EXPECT_EQ(settings.left, 370);
  EXPECT_FALSE(settings.maximized);
  EXPECT_EQ(settings.lang, "");
}

// A state in which every saved field differs from its designed default.
Settings EveryKeyChanged() {
  Settings s;
  s.convert = s.formatting = s.leave = true;
  s.size = "45";
  s.access = 1;
  s.go_lines = "500";
  s.float_format = "#,##0.00";
  s.blob_path = "/srv/blobs with blanks/";
  s.quoted = s.batch = s.underscore = s.disable_warn = s.text_from_blob = s.extr_from_system = s.jet_eng = true;
  s.alpha = s.null_quoted = s.go = s.extract_files = s.save_as_raw = true;
  s.find_bmp = s.find_jpg = s.find_tif = s.find_gif = s.find_wmf = s.find_pdf = true;
  s.find_doc = s.find_zip = s.find_wav = s.find_mp3 = s.find_png = true;
  s.files_method = 1;
  s.drop = true;
  s.ms_schema = "dbo";
  s.bar_pos = 240;
  s.width = 1024;
  s.height = 700;
  s.top = -8;
  s.left = 12;
  s.lang = "francais";
  s.content = ContentMode::DataOnly;
  s.format = TargetDialect::PostgreSql;
  s.font = "DejaVu Sans Mono";
  s.font_size = 11;
  s.font_color = 255;
  s.font_style = 3;
  s.my_format = "%Y-%m-%d %H:%i:%s";
  s.pe_format = "DD/MM/YYYY";
  s.or_format = "YYYY-MM-DD HH24:MI:SS";
  s.po_time_format = "YYYY-MM-DD HH24:MI:SS";
  s.po_date_format = "YYYY-MM-DD";
  s.ms_format = 5;
  s.po_format = 11;
  s.ms_type = 1;
  s.post_form_type = 0;
  return s;
}

TEST_F(SettingsFileTest, EveryKeySurvivesASaveAndALoad) {
  const Settings saved = EveryKeyChanged();
  SetFileOptions(saved, path_);
  SaveDateFormatOptions(saved, path_);
  SaveMainWindowOptions(saved, path_);
  SaveFontOptions(saved, path_);
  SaveLanguageOption(saved, path_);

  Settings loaded;
  LoadAll(loaded);
  EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsFileTest, TheOptionsDialogWritesItsKeysInOrderAsOneAndZero) {
  Settings settings;
  settings.batch = true;
  settings.files_method = 0;
  SetFileOptions(settings, path_);
  EXPECT_EQ(FileText(),
            "[Data]\nConvert=0\nFormatting=0\nLeave=0\nSize=30\nAccess=-1\n"
            "[Misc]\nGOLines=\nFloatFormat=\nblobpath=\nQuoted=0\nBatch=1\nUnderscore=0\nDisableWarn=0\n"
            "TextFromBlob=0\nExtrFromSystem=0\nJetEng=0\nAlpha=0\nNullQuoted=0\nGO=0\nextractfiles=0\n"
            "saveasraw=0\nfindbmp=0\nfindjpg=0\nfindtif=0\nfindgif=0\nfindwmf=0\nfindpdf=0\nfinddoc=0\n"
            "findzip=0\nfindwav=0\nfindmp3=0\nfindpng=0\nFilesMethod=0\n");
}

TEST_F(SettingsFileTest, TheMainWindowWritesItsKeysInOrder) {
  Settings settings;
  settings.width = 694;
  settings.height = 580;
  settings.jet_eng = true;
  SaveMainWindowOptions(settings, path_);
  EXPECT_EQ(FileText(),
            "[Output]\nContent=0\nFormat=0\n"
            "[Misc]\nDrop=0\nQuoted=0\nJetEng=1\nExtrFromSystem=0\nMSSchema=\nBarPos=0\n"
            "Width=694\nHeight=580\nTop=157\nLeft=370\nMaximized=0\n");

  SaveFontOptions(settings, path_);
  SaveDateFormatOptions(settings, path_);
  EXPECT_EQ(FileText(),
            "[Output]\nContent=0\nFormat=0\nFont=MS Sans Serif\nFontSize=8\nFontColor=-16777208\nFontStyle=0\n"
            "MyFormat=\nPeFormat=YYYY-MM-DD\nOrFormat=\nPoTimeFormat=\nPoDateFormat=\nMSFormat=-1\nPoFormat=-1\n"
            "MSType=-1\nPostFormType=-1\n"
            "[Misc]\nDrop=0\nQuoted=0\nJetEng=1\nExtrFromSystem=0\nMSSchema=\nBarPos=0\n"
            "Width=694\nHeight=580\nTop=157\nLeft=370\nMaximized=0\n");
}

TEST_F(SettingsFileTest, HandEditedMainWindowValues) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    bool drop;
    int font_style;
    ContentMode content;
    TargetDialect format;
  };
  const ContentMode kTable = ContentMode::TableAndData;
  const TargetDialect kMySql = TargetDialect::MySql;
  const std::vector<Case> cases = {
      {"Misc", "Drop", "1", true, 0, kTable, kMySql},
      {"Misc", "Drop", "0x1", true, 0, kTable, kMySql},
      {"Misc", "Drop", "True", false, 0, kTable, kMySql},
      {"Misc", "Drop", "2", false, 0, kTable, kMySql},
      {"Misc", "Drop", "-1", false, 0, kTable, kMySql},
      {"Output", "FontStyle", "2", false, 2, kTable, kMySql},
      {"Output", "FontStyle", "3", false, 3, kTable, kMySql},
      {"Output", "FontStyle", "4", false, 1, kTable, kMySql},  // underline is not restored
      {"Output", "FontStyle", "bold", false, 0, kTable, kMySql},  // counts as missing: 0, plain
      {"Output", "Content", "2", false, 0, ContentMode::DataOnly, kMySql},
      {"Output", "Content", "3", false, 0, ContentMode::TableOnly, kMySql},
      {"Output", "Content", "-1", false, 0, ContentMode::TableOnly, kMySql},
      {"Output", "Format", "$4", false, 0, kTable, TargetDialect::PostgreSql},
      {"Output", "Format", "5", false, 0, kTable, TargetDialect::Oracle},
      {"Output", "Format", "MySql", false, 0, kTable, TargetDialect::Oracle},
  };
  for (const Case& c : cases) {
    WriteFile(std::string("[") + c.section + "]\n" + c.key + "=" + c.value + "\n");
    Settings settings;
    // The current state stands for what a value out of range keeps.
    settings.font_style = 1;
    settings.content = ContentMode::TableOnly;
    settings.format = TargetDialect::Oracle;
    LoadMainWindowOptions(settings, path_);
    const std::string label = std::string(c.key) + "=" + c.value;
    EXPECT_EQ(settings.drop, c.drop) << label;
    if (std::string(c.key) == "FontStyle") {
      EXPECT_EQ(settings.font_style, c.font_style) << label;
    } else {
      EXPECT_EQ(settings.font_style, 0) << label;  // missing FontStyle reads as 0: plain
    }
    if (std::string(c.key) == "Content") {
      EXPECT_EQ(settings.content, c.content) << label;
    }
    if (std::string(c.key) == "Format") {
      EXPECT_EQ(settings.format, c.format) << label;
    }
  }
}

TEST_F(SettingsFileTest, AnUnderlinedFontIsSavedButComesBackPlain) {
  Settings settings;
  settings.font_style = 4;
  SaveFontOptions(settings, path_);
  EXPECT_NE(FileText().find("FontStyle=4\n"), std::string::npos);
  Settings restarted;
  LoadMainWindowOptions(restarted, path_);
  EXPECT_EQ(restarted.font_style, 0);
}

TEST_F(SettingsFileTest, ValuesOfTheWrongFormCountAsMissing) {
  WriteFile(
      "[Data]\nConvert=yes\nLeave=$1\nSize=abc\nAccess=1.5\n"
      "[Misc]\nAlpha=abc\nQuoted=-1\nGO=0x\nFilesMethod= 1 \nBarPos=12px\nTop=-0x10\nLeft=99999999999\n"
      "[Output]\nFontSize=abc\nFontColor=$FF\nMSFormat=0X3\nPoFormat=\n");
  Settings settings;
  settings.alpha = true;  // a wrong value keeps the current state
  LoadAll(settings);
  EXPECT_FALSE(settings.convert);
  EXPECT_TRUE(settings.leave);
  EXPECT_EQ(settings.size, "abc");  // a text key takes any text
  EXPECT_EQ(settings.access, kNoChoice);
  EXPECT_TRUE(settings.alpha);
  EXPECT_TRUE(settings.quoted);  // any non-zero integer is true
  EXPECT_FALSE(settings.go);
  EXPECT_EQ(settings.files_method, 1);
  EXPECT_EQ(settings.bar_pos, 0);
  EXPECT_EQ(settings.top, -16);
  EXPECT_EQ(settings.left, 370);
  EXPECT_EQ(settings.font_size, 8);
  EXPECT_EQ(settings.font_color, 255);
  EXPECT_EQ(settings.ms_format, 3);
  EXPECT_EQ(settings.po_format, kNoChoice);
}

TEST_F(SettingsFileTest, AMaximizedWindowKeepsTheNormalBoundsSavedBefore) {
  Settings settings;
  settings.width = 800;
  settings.height = 600;
  settings.top = 20;
  settings.left = 30;
  SaveMainWindowOptions(settings, path_);

  settings.maximized = true;
  settings.width = 1920;
  settings.height = 1080;
  settings.top = 0;
  settings.left = 0;
  SaveMainWindowOptions(settings, path_);
  EXPECT_NE(FileText().find("Width=800\nHeight=600\nTop=20\nLeft=30\nMaximized=1\n"), std::string::npos)
      << FileText();

  // Started maximized and closed without being restored: Maximized=1 again.
  Settings next_run;
  LoadMainWindowOptions(next_run, path_);
  EXPECT_TRUE(next_run.maximized);
  EXPECT_EQ(next_run.width, 800);
  SaveMainWindowOptions(next_run, path_);
  EXPECT_NE(FileText().find("Width=800\nHeight=600\nTop=20\nLeft=30\nMaximized=1\n"), std::string::npos);

  // Restored, then closed: the bounds of now and Maximized=0.
  next_run.maximized = false;
  next_run.width = 900;
  SaveMainWindowOptions(next_run, path_);
  Settings third_run;
  LoadMainWindowOptions(third_run, path_);
  EXPECT_FALSE(third_run.maximized);
  EXPECT_EQ(third_run.width, 900);
}

TEST_F(SettingsFileTest, ReloadingTheOptionsDialogsKeysUndoesUnsavedChanges) {
  Settings settings;
  settings.underscore = true;
  SetFileOptions(settings, path_);

  settings.underscore = false;
  settings.alpha = true;
  settings.blob_path = "/tmp/changed";
  SetPagesOptions(settings, path_);
  EXPECT_TRUE(settings.underscore);
  EXPECT_FALSE(settings.alpha);
  EXPECT_EQ(settings.blob_path, "");
}

TEST_F(SettingsFileTest, KeysMissingFromTheFileKeepTheCurrentState) {
  WriteFile("[Misc]\nAlpha=1\n");
  Settings settings;
  settings.batch = true;
  settings.pe_format = "DD.MM.YYYY";
  SetPagesOptions(settings, path_);
  LoadDateFormatOptions(settings, path_);
  EXPECT_TRUE(settings.alpha);
  EXPECT_TRUE(settings.batch);
  EXPECT_EQ(settings.pe_format, "DD.MM.YYYY");
}

TEST_F(SettingsFileTest, AnEmptiedSchemaIsWrittenEmptyAndMeansNone) {
  Settings settings;
  settings.ms_schema = "sales";
  SaveMainWindowOptions(settings, path_);
  Settings loaded;
  LoadMainWindowOptions(loaded, path_);
  EXPECT_EQ(loaded.ms_schema, "sales");

  settings.ms_schema.clear();
  SaveMainWindowOptions(settings, path_);
  EXPECT_NE(FileText().find("MSSchema=\n"), std::string::npos);
  Settings reloaded;
  LoadMainWindowOptions(reloaded, path_);
  EXPECT_EQ(reloaded.ms_schema, "");
}

TEST_F(SettingsFileTest, TheLanguageIsReadWithAnEmptyDefaultAndCanBeEmptied) {
  Settings settings;
  settings.lang = "stale";
  LoadLanguageOption(settings, path_);
  EXPECT_EQ(settings.lang, "");

  settings.lang = "francais";
  SaveLanguageOption(settings, path_);
  settings.lang.clear();
  SaveLanguageOption(settings, path_);
  EXPECT_EQ(FileText(), "[Misc]\nlang=\n");
}

TEST_F(SettingsFileTest, AValueWithALineBreakIsRefusedAndTheFileKeepsItsKeys) {
  // LF, CR and CR LF, each trying to add keys of its own.
  const std::vector<std::string> cases = {"/blobs\nlang=../../../../tmp/evil.lng", "dbo\r[Misc]\rlang=evil",
                                          "%d\r\nDrop=1"};
  for (const std::string& text : cases) {
    Settings saved;
    saved.blob_path = "/blobs";
    saved.ms_schema = "dbo";
    SetFileOptions(saved, path_);
    SaveMainWindowOptions(saved, path_);
    SaveDateFormatOptions(saved, path_);
    const std::string before = FileText();

    Settings hostile = saved;
    hostile.blob_path = hostile.ms_schema = hostile.my_format = text;
    EXPECT_THROW(SetFileOptions(hostile, path_), std::invalid_argument) << text;
    EXPECT_THROW(SaveMainWindowOptions(hostile, path_), std::invalid_argument) << text;
    EXPECT_THROW(SaveDateFormatOptions(hostile, path_), std::invalid_argument) << text;
    EXPECT_EQ(FileText(), before) << text;

    Settings loaded;
    LoadAll(loaded);
    EXPECT_EQ(loaded.blob_path, "/blobs");
    EXPECT_EQ(loaded.ms_schema, "dbo");
    EXPECT_EQ(loaded.my_format, "");
    EXPECT_EQ(loaded.lang, "");
    EXPECT_FALSE(loaded.drop);
  }
}

TEST_F(SettingsFileTest, TheLanguageIsOnlyAFileNameInsideTheLanguagesFolder) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"deutsch.lng", "deutsch.lng"},
      {"my.lang.lng", "my.lang.lng"},
      {"../../../../tmp/evil.lng", ""},
      {"sub/deutsch.lng", ""},
      {"/tmp/evil.lng", ""},
      {"..\\evil.lng", ""},
      {"..", ""},
      {".", ""},
  };
  for (const auto& [written, read] : cases) {
    WriteFile("[Misc]\nlang=" + written + "\n");
    Settings settings;
    settings.lang = "stale";
    LoadLanguageOption(settings, path_);
    EXPECT_EQ(settings.lang, read) << written;
  }
}

TEST_F(SettingsFileTest, SavingKeepsHandWrittenLinesAndKeysOfOthers) {
  WriteFile("; written by hand\r\n[Misc]\r\nlang=francais\r\nDrop=1\r\n\r\n[Custom]\r\nKeep=me\r\n");
  Settings settings;
  SetFileOptions(settings, path_);
  const std::string text = FileText();
  EXPECT_EQ(text.rfind("; written by hand\r\n[Misc]\r\nlang=francais\r\nDrop=1\r\nGOLines=\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("findpng=0\r\nFilesMethod=-1\r\n\r\n[Custom]\r\nKeep=me\r\n[Data]\r\nConvert=0\r\n"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace quill
