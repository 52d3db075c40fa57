// What a target file cannot hold as the source has it is made holdable and
// said, never lost in silence: binary values in CSV as hexadecimal, NUL and
// bytes that are not UTF-8 in CSV text, Access names with characters Access
// refuses, Access 97 text outside its code page, BLOB values the Access
// export leaves out. Every file is read back by readers written elsewhere.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export/access_names.h"
#include "export_harness.h"
#include "export_readers.h"
#include "fixtures/test_database.h"
#include "platform/jet/jet_writer_readers.h"

namespace quill::testing {
namespace {

using jet::writer_testing::ExportRows;
using jet::writer_testing::NodeReaderLines;
using jet::writer_testing::RunCommand;

// The log lines that hold `part`, with their colour.
std::vector<LogLine> LinesWith(const ExportHarness& harness, const std::string& part) {
  std::vector<LogLine> found;
  for (const LogLine& line : harness.ui.log_lines()) {
    if (line.text.find(part) != std::string::npos) found.push_back(line);
  }
  return found;
}

// --- CSV ---------------------------------------------------------------------

enum class Engine { kSqlite, kPostgres, kMariaDb };

TestDatabase Make(Engine engine) {
  switch (engine) {
    case Engine::kSqlite: return TestDatabase::Sqlite();
    case Engine::kPostgres: return TestDatabase::Postgres();
    case Engine::kMariaDb: break;
  }
  return TestDatabase::MariaDb();
}

struct CsvBinaryCase {
  const char* name;
  Engine engine;
  std::string type;
  std::string literal;
  std::string hex;
};

void PrintTo(const CsvBinaryCase& c, std::ostream* out) { *out << c.name; }

class CsvBinaryTest : public ::testing::TestWithParam<CsvBinaryCase> {};

// Binary values of every engine as hexadecimal digits: the file is UTF-8
// text that Python's strict csv reader takes, and the bytes come back.
TEST_P(CsvBinaryTest, BinaryValuesAreWrittenAsHexadecimalDigits) {
  const CsvBinaryCase& c = GetParam();
  TestDatabase db = Make(c.engine);
  db.CreateTable({"bin", {{"id", "integer"}, {"b", c.type}}, {"id"}, {{"1", c.literal}, {"2", "NULL"}}});
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{c.engine == Engine::kPostgres ? "public.bin" : "bin"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  EXPECT_EQ(ReadCsvFile(harness.OutFile("bin.csv")), (TextRows{{"1", c.hex}, {"2", ""}}));
  EXPECT_EQ(harness.Contents("bin.csv"), "1;" + c.hex + "\r\n2;\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Engines, CsvBinaryTest,
    ::testing::Values(CsvBinaryCase{"SqliteBlob", Engine::kSqlite, "BLOB", "X'00FF275C0D0A3B22'",
                                    "00FF275C0D0A3B22"},
                      CsvBinaryCase{"PostgresBytea", Engine::kPostgres, "bytea", "'\\x00ff275c0d0a'",
                                    "00FF275C0D0A"},
                      CsvBinaryCase{"MariaDbVarbinary", Engine::kMariaDb, "VARBINARY(16)", "x'00FF275C0D0A'",
                                    "00FF275C0D0A"},
                      CsvBinaryCase{"MariaDbBinary", Engine::kMariaDb, "BINARY(4)", "x'00FF'", "00FF0000"},
                      CsvBinaryCase{"MariaDbBlob", Engine::kMariaDb, "LONGBLOB", "x'89504E47000D0A'",
                                    "89504E47000D0A"}),
    [](const ::testing::TestParamInfo<CsvBinaryCase>& info) { return std::string(info.param.name); });

// Text a text file cannot carry as it stands: NUL characters are dropped,
// bytes that are not UTF-8 become U+FFFD, each said in red per column with
// the count; every other value is written as it stands.
TEST(CsvTextTest, NulAndBytesThatAreNotUtf8AreMadeTextAndSaid) {
  struct Case {
    std::string literal;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"CAST(X'41004200' AS TEXT)", "AB"},
      {"CAST(X'00' AS TEXT)", ""},
      {"CAST(X'41C3' AS TEXT)", "A\xEF\xBF\xBD"},
      {"CAST(X'FF41FE' AS TEXT)", "\xEF\xBF\xBD" "A\xEF\xBF\xBD"},
      {"CAST(X'EDA080' AS TEXT)", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate's bytes
      {"'Zoë €'", "Zoë €"},
      {"'\xEF\xBF\xBD itself'", "\xEF\xBF\xBD itself"},
  };
  TableDescription table{"texts", {{"id", "INTEGER"}, {"s", "TEXT"}, {"t", "TEXT"}}, {"id"}, {}};
  TextRows expected;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    table.rows.push_back({std::to_string(i), cases[i].literal, i == 0 ? "CAST(X'00' AS TEXT)" : "'ok'"});
    expected.push_back({std::to_string(i), cases[i].written, i == 0 ? "" : "ok"});
  }
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(table);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"texts"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  EXPECT_EQ(ReadCsvFile(harness.OutFile("texts.csv")), expected);
  EXPECT_EQ(harness.Contents("texts.csv").find('\0'), std::string::npos);
  const std::vector<LogLine> said = LinesWith(harness, "Table : texts : column");
  ASSERT_EQ(said.size(), 3u) << ::testing::PrintToString(harness.ui.LogTexts());
  EXPECT_EQ(said[0].text,
            "Table : texts : column s : 2 values holding NUL characters, which a text file cannot carry: the NULs "
            "dropped.");
  EXPECT_EQ(said[1].text, "Table : texts : column t : 1 values holding NUL characters, which a text file cannot "
                          "carry: the NULs dropped.");
  EXPECT_EQ(said[2].text,
            "Table : texts : column s : 3 values that are not valid UTF-8: each bad byte written as U+FFFD.");
  for (const LogLine& line : said) EXPECT_EQ(line.color, kLogRed);
}

// --- dates no calendar holds -------------------------------------------------------

// Dates the sources hold beyond a date's calendar: PostgreSQL's 'infinity'
// and years BC or past 9999, MariaDB's zero dates. CSV is text: the first
// are written as the source writes them, a zero date (no date at all) is
// written empty and said. Access has dates only: NULL, and said. XML shows
// dates in one pattern: the null date's text, and said.
TEST(DatesBeyondTheCalendarTest, CsvWritesTheirTextAccessStoresNullAndBothSayIt) {
  struct Case {
    Engine engine;
    std::string type;
    std::string literal;
    std::string csv;   // the value in the CSV file
    bool csv_said;     // a red line for it in the CSV export
  };
  const std::vector<Case> cases = {
      {Engine::kPostgres, "timestamp", "'infinity'", "infinity", false},
      {Engine::kPostgres, "timestamp", "'-infinity'", "-infinity", false},
      {Engine::kPostgres, "timestamp", "'0044-03-15 12:00:00 BC'", "0044-03-15 12:00:00 BC", false},
      {Engine::kPostgres, "date", "'4713-01-01 BC'", "4713-01-01 BC", false},
      {Engine::kPostgres, "date", "'10000-01-01'", "10000-01-01", false},
      {Engine::kMariaDb, "DATE", "'0000-00-00'", "", true},
      {Engine::kMariaDb, "DATETIME", "'2004-00-15 10:11:12'", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type + " " + c.literal);
    TestDatabase db = Make(c.engine);
    db.CreateTable({"dates", {{"id", "INTEGER"}, {"d", c.type}}, {"id"}, {{"1", c.literal}}});
    const std::string listed = c.engine == Engine::kPostgres ? "public.dates" : "dates";
    {
      ExportHarness harness;
      harness.ui.AnswerTableSelection(std::vector<std::string>{listed});
      harness.run.CsvExportRun(db.Dsn(), harness.out.string());
      EXPECT_EQ(ReadCsvFile(harness.OutFile("dates.csv")), (TextRows{{"1", c.csv}}));
      const std::vector<LogLine> said = LinesWith(harness, " : column d : 1 ");
      EXPECT_EQ(said.size(), c.csv_said ? 1u : 0u) << ::testing::PrintToString(harness.ui.LogTexts());
      for (const LogLine& line : said) EXPECT_EQ(line.color, kLogRed);
    }
    {
      ExportHarness harness;
      harness.ui.AnswerTableSelection(std::vector<std::string>{listed});
      harness.ExportAccess(db.Dsn());
      const std::vector<std::string> node = NodeReaderLines(harness.OutFile("NewDatabase.mdb"));
      ASSERT_FALSE(node.empty());
      EXPECT_EQ(node.back(), "row\t1\t\\N");
      const std::vector<LogLine> said = LinesWith(harness, " : column d : 1 ");
      ASSERT_EQ(said.size(), 1u) << ::testing::PrintToString(harness.ui.LogTexts());
      EXPECT_EQ(said[0].color, kLogRed);
    }
    {
      ExportHarness harness;
      harness.ui.AnswerTableSelection(std::vector<std::string>{listed});
      harness.run.XmlExportRun(db.Dsn(), harness.out.string());
      EXPECT_NE(harness.Contents("dates.xml").find("<d>01/01/2000"), std::string::npos) << harness.Contents("dates.xml");
      const std::vector<LogLine> said = LinesWith(harness, " : column d : 1 ");
      ASSERT_EQ(said.size(), 1u) << ::testing::PrintToString(harness.ui.LogTexts());
      EXPECT_EQ(said[0].color, kLogRed);
    }
  }
}

// --- Access binary values -------------------------------------------------------

// Binary values (MariaDB BINARY, VARBINARY) arrive in the Access file with
// every byte, in both formats, as mdb-reader reads them.
class AccessBinaryTest : public ::testing::TestWithParam<int> {};

TEST_P(AccessBinaryTest, BinaryValuesKeepTheirBytes) {
  TestDatabase db = TestDatabase::MariaDb();
  db.CreateTable({"bin",
                  {{"id", "INTEGER"}, {"vb", "VARBINARY(16)"}, {"b", "BINARY(4)"}},
                  {"id"},
                  {{"1", "x'00FF275C0D0A'", "x'00FF'"}, {"2", "NULL", "NULL"}, {"3", "x''", "x'01020304'"}}});
  ExportHarness harness;
  harness.settings.access = GetParam();
  harness.ui.AnswerTableSelection(std::vector<std::string>{"bin"});
  harness.ExportAccess(db.Dsn());
  const std::vector<std::string> node = NodeReaderLines(harness.OutFile("NewDatabase.mdb"));
  ASSERT_EQ(node.size(), 1u + 3u + 3u) << ::testing::PrintToString(node);
  EXPECT_EQ(node[4], "row\t1\t0x00ff275c0d0a\t0x00ff0000");
  EXPECT_EQ(node[5], "row\t2\t\\N\t\\N");
  EXPECT_EQ(node[6].substr(0, 6), "row\t3\t");
  EXPECT_EQ(node[6].substr(node[6].rfind('\t') + 1), "0x01020304");
  for (const LogLine& line : harness.ui.log_lines()) EXPECT_FALSE(line.color.has_value()) << line.text;
}

INSTANTIATE_TEST_SUITE_P(Formats, AccessBinaryTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Access97") : std::string("Access2000");
                         });

// --- Access names --------------------------------------------------------------

struct AccessNamesCase {
  const char* name;
  std::vector<std::string> fields;
  bool access_97;
  std::vector<std::string> columns;
};

void PrintTo(const AccessNamesCase& c, std::ostream* out) { *out << c.name; }

class AccessColumnNamesTest : public ::testing::TestWithParam<AccessNamesCase> {};

TEST_P(AccessColumnNamesTest, EveryNameIsOneAccessHoldsAndUniqueInTheTable) {
  const AccessNamesCase& c = GetParam();
  EXPECT_EQ(AccessColumnNames(c.fields, c.access_97), c.columns);
}

const std::string k70(70, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessColumnNamesTest,
    ::testing::Values(
        AccessNamesCase{"PlainNamesStay", {"id", "Sepal Length", "naïve", "日本"}, false,
                        {"id", "Sepal Length", "naïve", "日本"}},
        AccessNamesCase{"RefusedCharacters", {"Sepal.Length", "a!b", "`q`", "[x]", "a.b.c"}, false,
                        {"Sepal_Length", "a_b", "_q_", "_x_", "a_b_c"}},
        AccessNamesCase{"LeadingBlankAndControlCharacters", {" lead", "  two", "tab\there", "nl\nx", "del\x7F"},
                        false, {"_lead", "_ two", "tab_here", "nl_x", "del_"}},
        AccessNamesCase{"EmptyName", {"", "x"}, false, {"_", "x"}},
        AccessNamesCase{"ChangedNamesNeverTakeARealOne", {"a.b", "a_b", "a!b", "A_B"}, false,
                        {"a_b_2", "a_b", "a_b_3", "A_B_4"}},
        AccessNamesCase{"NamesEqualButForCase", {"Case", "case", "CASE"}, false, {"Case", "case_2", "CASE_3"}},
        AccessNamesCase{"LongNamesCutAt64Characters", {k70 + "1", k70 + "2"}, false,
                        {std::string(64, 'n'), std::string(62, 'n') + "_2"}},
        AccessNamesCase{"LongNonAsciiNamesCutAtCharacters", {std::string(40, 'x') + std::string(30 * 2, '\xC3')}, false,
                        {std::string(40, 'x') + std::string(24, '_')}},
        AccessNamesCase{"Access97CodePage", {"Zoë €", "日本", "Ω"}, true, {"Zoë €", "__", "_"}},
        AccessNamesCase{"Access2000KeepsUnicode", {"日本", "Ω"}, false, {"日本", "Ω"}}),
    [](const ::testing::TestParamInfo<AccessNamesCase>& info) { return std::string(info.param.name); });

// A table whose name and column names Access refuses ("Sepal.Length", the
// iris data set) is exported whole, with its key, and the log names each
// name that was changed. Both formats, read back by mdbtools and mdb-reader.
class AccessRenamedColumnsTest : public ::testing::TestWithParam<int> {};

TEST_P(AccessRenamedColumnsTest, TheTableIsExportedAndTheLogSaysSo) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"iris[1]",
                  {{"Sepal.Length", "numeric(4,1)"}, {"Sepal_Length", "integer"}, {"a!b", "text"}, {"[x]", "text"},
                   {"Case", "text"}, {"case", "text"}},
                  {"Sepal.Length"},
                  {{"5.1", "1", "'p'", "'q'", "'r'", "'s'"}, {"4.9", "2", "NULL", "'y'", "NULL", "'t'"}}});
  ExportHarness harness;
  harness.settings.access = GetParam();
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.iris[1]"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  const std::string schema = RunCommand({"mdb-schema", "--indexes", file, "mysql"});
  EXPECT_NE(schema.find("ALTER TABLE `iris_1_` ADD PRIMARY KEY (`Sepal_Length_2`);"), std::string::npos) << schema;
  EXPECT_EQ(ExportRows(file, "iris_1_"), (std::vector<std::vector<std::string>>{
                                          {"5.1", "1", "p", "q", "r", "s"}, {"4.9", "2", "NULL", "y", "NULL", "t"}}));
  const std::vector<std::string> node = NodeReaderLines(file);
  ASSERT_GE(node.size(), 7u);
  std::vector<std::string> names;
  for (std::size_t i = 1; i <= 6; ++i) names.push_back(node[i].substr(0, node[i].find('\t', 7)));
  EXPECT_EQ(names, (std::vector<std::string>{"column\tSepal_Length_2", "column\tSepal_Length", "column\ta_b",
                                             "column\t_x_", "column\tCase", "column\tcase_2"}));
  const std::vector<std::string> log = harness.ui.LogTexts();
  for (const std::string line :
       {" Table public.iris[1] is named iris_1_ in the Access file.",
        " Table public.iris[1] : column Sepal.Length is named Sepal_Length_2 in the Access file.",
        " Table public.iris[1] : column a!b is named a_b in the Access file.",
        " Table public.iris[1] : column [x] is named _x_ in the Access file.",
        " Table public.iris[1] : column case is named case_2 in the Access file."}) {
    EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + line), log.end()) << line << "\n"
                                                                                 << ::testing::PrintToString(log);
  }
  EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + " Content of table public.iris[1] exported."), log.end());
  for (const LogLine& line : harness.ui.log_lines()) EXPECT_FALSE(line.color.has_value()) << line.text;
}

INSTANTIATE_TEST_SUITE_P(Formats, AccessRenamedColumnsTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Access97") : std::string("Access2000");
                         });

// --- Access 97 text ------------------------------------------------------------

// In an Access 97 file, text outside Windows-1252 is stored with "?" for
// each such character; every row is copied and a red line per column gives
// the count. An Access 2000 file keeps the text as it is.
class Access97TextTest : public ::testing::TestWithParam<int> {};

TEST_P(Access97TextTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const bool access_97 = GetParam() == 0;
  struct Case {
    std::string source;
    std::string in_97;
  };
  const std::vector<Case> cases = {
      {"plain", "plain"},       {"Zoë € œ", "Zoë € œ"}, {"日本語", "???"}, {"Ωmega", "?mega"},
      {"emoji 😀!", "emoji ?!"}, {"ok", "ok"},           {"Łódź", "?ód?"}, {"", ""},
  };
  TableDescription table{"t97", {{"id", "integer"}, {"s", "text"}, {"v", "varchar(20)"}}, {"id"}, {}};
  // As mdb-reader reads the rows (mdbtools cannot show characters beyond
  // the first plane).
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string literal = cases[i].source.empty() ? "NULL" : "'" + cases[i].source + "'";
    table.rows.push_back({std::to_string(i), literal, i == 2 ? "'Ω'" : "'x'"});
    const std::string stored = access_97 ? cases[i].in_97 : cases[i].source;
    expected.push_back("row\t" + std::to_string(i) + "\t" + (stored.empty() ? "\\N" : stored) + "\t" +
                       (i == 2 ? (access_97 ? "?" : "Ω") : "x"));
  }
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable(table);
  ExportHarness harness;
  harness.settings.access = GetParam();
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.t97"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  const std::vector<std::string> node = NodeReaderLines(file);
  EXPECT_EQ(std::vector<std::string>(node.begin() + std::min<std::size_t>(node.size(), 4), node.end()), expected);
  const std::vector<LogLine> said = LinesWith(harness, "Table : public.t97 : column");
  if (access_97) {
    ASSERT_EQ(said.size(), 2u) << ::testing::PrintToString(harness.ui.LogTexts());
    EXPECT_EQ(said[0].text, "Table : public.t97 : column s : 4 values with characters outside the code page of an "
                            "Access 97 file (Windows-1252): each stored as \"?\".");
    EXPECT_EQ(said[1].text, "Table : public.t97 : column v : 1 values with characters outside the code page of an "
                            "Access 97 file (Windows-1252): each stored as \"?\".");
    for (const LogLine& line : said) EXPECT_EQ(line.color, kLogRed);
  } else {
    EXPECT_TRUE(said.empty());
  }
  const std::vector<std::string> log = harness.ui.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + " Content of table public.t97 exported."), log.end());
}

INSTANTIATE_TEST_SUITE_P(Formats, Access97TextTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Access97") : std::string("Access2000");
                         });

// Text whose bytes are not UTF-8 (a SQLite file allows it) is stored with
// U+FFFD for each bad byte, the copy goes on, and a red line says so.
TEST(AccessTextTest, BytesThatAreNotUtf8AreStoredAsReplacementCharacters) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"bad",
                  {{"id", "INTEGER"}, {"s", "TEXT"}},
                  {"id"},
                  {{"1", "CAST(X'41C3' AS TEXT)"}, {"2", "'fine'"}, {"3", "CAST(X'FF' AS TEXT)"}}});
  ExportHarness harness;
  harness.settings.access = 1;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"bad"});
  harness.ExportAccess(db.Dsn());
  const std::vector<std::string> node = NodeReaderLines(harness.OutFile("NewDatabase.mdb"));
  EXPECT_EQ(std::vector<std::string>(node.begin() + std::min<std::size_t>(node.size(), 3), node.end()),
            (std::vector<std::string>{"row\t1\tA\xEF\xBF\xBD", "row\t2\tfine", "row\t3\t\xEF\xBF\xBD"}));
  const std::vector<LogLine> said = LinesWith(harness, "Table : bad : column");
  ASSERT_EQ(said.size(), 1u) << ::testing::PrintToString(harness.ui.LogTexts());
  EXPECT_EQ(said[0].text, "Table : bad : column s : 2 values that are not valid UTF-8: each bad byte stored as U+FFFD.");
  EXPECT_EQ(said[0].color, kLogRed);
}

// --- Access BLOBs --------------------------------------------------------------

// BLOB values the Access export leaves out get one plain line per column,
// as scripts do; with extraction on, the values without a known file type.
TEST(AccessLeftOutBlobsTest, EachColumnSaysHowManyValuesWereLeftOut) {
  struct Case {
    bool extract_files;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {false,
       {"Table : public.pics : column photo : 3 BLOB values left out; the option \"Extract Files from BLOB fields\" "
        "keeps them."}},
      {true,
       {"Table : public.pics : column photo : 2 BLOB values left out: none holds a file type of \"Look for these "
        "file formats\", the types that are kept."}},
  };
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pics",
                  {{"id", "integer"}, {"photo", "bytea"}},
                  {"id"},
                  {{"1", "'\\xffd8ffe000104a464946'"}, {"2", "'\\x00ff'"}, {"3", "'\\x4142424d'"}, {"4", "NULL"}}});
  for (const Case& c : cases) {
    ExportHarness harness;
    harness.settings.extract_files = c.extract_files;
    harness.settings.files_method = 0;
    harness.settings.find_jpg = true;
    harness.settings.blob_path = harness.OutFile("blobs");
    harness.ui.SetSelectedNodeCaption("dsn");
    harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pics"});
    harness.ExportAccess(db.Dsn());
    std::vector<std::string> lines;
    for (const LogLine& line : LinesWith(harness, "BLOB values")) {
      EXPECT_FALSE(line.color.has_value()) << line.text;
      lines.push_back(line.text);
    }
    EXPECT_EQ(lines, c.lines) << c.extract_files;
    const std::vector<std::vector<std::string>> rows = ExportRows(harness.OutFile("NewDatabase.mdb"), "pics");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][1], "NULL");
    EXPECT_EQ(rows[2][1], "NULL");
  }
}

// With extraction on and no BLOB root path, the files are refused with a
// clear message and nothing is written at the file system's root.
TEST(AccessLeftOutBlobsTest, AnEmptyBlobRootPathIsRefused) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pics", {{"id", "integer"}, {"photo", "bytea"}}, {"id"}, {{"1", "'\\xffd8ffe000104a464946'"}}});
  ExportHarness harness;
  harness.settings.extract_files = true;
  harness.settings.files_method = 0;
  harness.settings.find_jpg = true;
  harness.settings.blob_path = "";
  harness.ui.SetSelectedNodeCaption("quill-no-root-check");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pics"});
  harness.ExportAccess(db.Dsn());
  const std::vector<LogLine> refused = LinesWith(harness, "No BLOB root path is given");
  ASSERT_EQ(refused.size(), 1u) << ::testing::PrintToString(harness.ui.LogTexts());
  EXPECT_EQ(refused[0].color, kLogRed);
  EXPECT_FALSE(std::filesystem::exists("/quill-no-root-check"));
}

}  // namespace
}  // namespace quill::testing
