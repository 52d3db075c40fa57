// XML files parsed back with pugixml: the document's form, the value texts by
// field kind, names XML cannot hold, debug mode and BLOB files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "export/xml_export.h"
#include "export_harness.h"
#include "export_readers.h"
#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

// Each "Records" element as field name = text pairs.
std::vector<std::vector<std::string>> Records(const pugi::xml_node& root) {
  std::vector<std::vector<std::string>> rows;
  for (const pugi::xml_node& records : root.children("Records")) {
    std::vector<std::string> row;
    for (const pugi::xml_node& value : records.children()) {
      row.push_back(std::string(value.name()) + "=" + value.child_value());
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Comments(const pugi::xml_node& root) {
  std::vector<std::string> comments;
  for (const pugi::xml_node& node : root.children()) {
    if (node.type() == pugi::node_comment) comments.push_back(node.value());
  }
  return comments;
}

TEST(XmlExportTest, ValueTextsByKindInAWellFormedDocument) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"kinds",
                  {{"i", "INTEGER"}, {"s", "VARCHAR(10)"}, {"f", "REAL"}, {"b", "BOOLEAN"}, {"d", "DATE"},
                   {"dt", "DATETIME"}, {"t", "TIME"}, {"m", "TEXT"}, {"big", "BIGINT"}},
                  {},
                  {{"-5", "'a<b&c>\"'", "2.5", "1", "'2024-02-29'", "'2024-02-29 13:04:05'", "'13:04:05'",
                    "'memo'", "9007199254740993"},
                   {"0", "''", "0", "0", "NULL", "NULL", "NULL", "NULL", "NULL"},
                   {"NULL", "'null'", "NULL", "NULL", "NULL", "NULL", "NULL", "''", "NULL"}}});
  ExportHarness harness;
  harness.settings.float_format = "0.00";
  harness.ui.AnswerTableSelection(std::vector<std::string>{"kinds"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  const std::string text = harness.Contents("kinds.xml");
  EXPECT_EQ(text.rfind("<kinds><!--Created with Quillmarsh v.1.6.4.28--><!--2026-03-04 05:06:07--><Records><i>", 0), 0u)
      << text;
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(text.c_str(), pugi::parse_default | pugi::parse_comments));
  const pugi::xml_node root = document.document_element();
  EXPECT_STREQ(root.name(), "kinds");
  EXPECT_EQ(Comments(root), (std::vector<std::string>{"Created with Quillmarsh v.1.6.4.28", "2026-03-04 05:06:07"}));
  // The date separator of the C locale is "-"; the fixed texts of empty
  // dates keep their slashes.
  EXPECT_EQ(Records(root),
            (std::vector<std::vector<std::string>>{
                {"i=-5", "s=a<b&c>\"", "f=2.50", "b=True", "d=02-29-2024", "dt=02-29-2024 13:04:05", "t=13:04:05",
                 "m=memo", "big=9007199254740993"},
                {"i=0", "s=null", "f=0", "b=False", "d=01/01/2000", "dt=01/01/2000 00:00:00", "t=00:00:00", "m=null",
                 "big=null"},
                {"i=0", "s=null", "f=0", "b=False", "d=01/01/2000", "dt=01/01/2000 00:00:00", "t=00:00:00", "m=null",
                 "big=null"}}));
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{kDashLine, kExportStamp + " Start of generating xml file... 1 tables to export.",
                                      kExportStamp + " Table kinds exported.",
                                      kExportStamp + " End of generating xml file(s).", kDashLine}));
}

// CR is written as a character reference, so a parser gives back CR LF, a
// lone CR and LF exactly as the source holds them; markup characters and
// text beyond ASCII come back too.
TEST(XmlExportTest, LineEndsAndMarkupReadBackExactly) {
  const std::vector<std::string> values = {"a\r\nb", "\r", "x\ry\nz\r\n", "<&>\"'", "tab\tend", "Ελληνικά 日本 😀"};
  TableDescription table{"lines", {{"id", "INTEGER"}, {"s", "TEXT"}}, {"id"}, {}};
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string literal = "'";
    for (const char c : values[i]) literal += c == '\'' ? std::string("''") : std::string(1, c);
    table.rows.push_back({std::to_string(i + 1), literal + "'"});
  }
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(table);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"lines"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  EXPECT_NE(harness.Contents("lines.xml").find("<s>a&#13;\nb</s>"), std::string::npos);
  const XmlExport xml = ReadXmlFile(harness.OutFile("lines.xml"));
  EXPECT_EQ(xml.root, "lines");
  EXPECT_EQ(xml.field_names, (std::vector<std::string>{"id", "s"}));
  ASSERT_EQ(xml.records.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(xml.records[i], (std::vector<std::string>{std::to_string(i + 1), values[i]})) << i;
  }
}

// Names that are no XML names fail their table and leave no file behind;
// the other tables of the run are still written.
struct NameCase {
  std::string table;
  std::string column;
  bool underscore;
  std::string file;  // empty: the table fails
  friend void PrintTo(const NameCase& c, std::ostream* out) { *out << c.table << "." << c.column; }
};

class XmlNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(XmlNameTest, WellFormedOrNotExported) {
  const NameCase& c = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({c.table, {{c.column, "INTEGER"}}, {}, {{"1"}}});
  db.CreateTable({"other", {{"n", "INTEGER"}}, {}, {{"2"}}});
  ExportHarness harness;
  harness.settings.underscore = c.underscore;
  harness.ui.AnswerTableSelection(std::vector<std::string>{c.table, "other"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  const std::vector<LogLine>& lines = harness.ui.log_lines();
  // A failed table's red line is followed by its reason, in red too.
  ASSERT_EQ(lines.size(), c.file.empty() ? 7u : 6u);
  if (c.file.empty()) {
    EXPECT_EQ(lines[2].text, kExportStamp + " Table " + c.table + " not exported.");
    EXPECT_EQ(lines[2].color, kLogRed);
    EXPECT_NE(lines[3].text.find("is not a valid element name."), std::string::npos) << lines[3].text;
    EXPECT_EQ(lines[3].color, kLogRed);
    EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"other.xml"});
  } else {
    EXPECT_EQ(lines[2].text, kExportStamp + " Table " + c.table + " exported.");
    std::vector<std::string> files{c.file, "other.xml"};
    std::sort(files.begin(), files.end());
    EXPECT_EQ(harness.OutFiles(), files);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(harness.OutFile(c.file).c_str()));
  }
  EXPECT_EQ(lines[c.file.empty() ? 4 : 3].text, kExportStamp + " Table other exported.");
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlNameTest,
                         ::testing::Values(NameCase{"t", "first name", false, ""},
                                           NameCase{"t", "first name", true, ""},
                                           NameCase{"t", "1st", false, ""},
                                           NameCase{"t", "-x", false, ""},
                                           NameCase{"t", "a.b-c_1", false, "t.xml"},
                                           NameCase{"Order Details", "n", false, ""},
                                           NameCase{"Order Details", "n", true, "Order_Details.xml"},
                                           NameCase{"2024", "n", false, ""}));

TEST(XmlExportTest, AValueWithAControlCharacterFailsItsTableInsteadOfAMalformedFile) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"t", {{"s", "VARCHAR(10)"}}, {}, {{"'a' || char(1) || 'b'"}}});
  ExportHarness harness;
  { std::ofstream(harness.OutFile("t.xml")) << "<t>older</t>"; }
  harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());
  EXPECT_EQ(harness.ui.log_lines().at(2).text, kExportStamp + " Table t not exported.");
  EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"t.xml"});
  EXPECT_EQ(harness.Contents("t.xml"), "<t>older</t>");  // left as it was
}

TEST(XmlExportTest, DebugModeWritesFiveRecordsAndItsComment) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("many", 7));
  ExportHarness harness;
  harness.settings.debug_mode = true;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"many"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(harness.OutFile("many.xml").c_str(), pugi::parse_default | pugi::parse_comments));
  EXPECT_EQ(Comments(document.document_element()).back(), "Debug Mode");
  EXPECT_EQ(Records(document.document_element()).size(), 5u);
  EXPECT_EQ(harness.ui.placed_messages().size(), 1u);
}

TEST(XmlExportTest, BlobsBecomeFilesNamedInTheText) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\x0000ffd8ffe000104a464946'"}, {"2", "NULL"}, {"3", "'\\x414243'"}}});
  ExportHarness harness;
  const std::string blob_root = harness.OutFile("blobs");
  harness.settings.extract_files = true;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.settings.blob_path = blob_root;
  harness.ui.SetSelectedNodeCaption("pix source");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pix"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(harness.OutFile("pix.xml").c_str()));
  const std::string file = blob_root + "/pix source/pix/photo1/1.jpg";
  EXPECT_EQ(Records(document.document_element()),
            (std::vector<std::vector<std::string>>{{"id=1", "photo=" + file}, {"id=2", "photo=null"},
                                                   {"id=3", "photo=null"}}));
  EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{"blobs/pix source/pix/photo1/1.jpg", "pix.xml"}));
  // The value of no known type is said, in a plain line.
  const std::vector<std::string> log = harness.ui.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Table : public.pix : column photo : 1 BLOB values left out: none holds a file type of \"Look "
                      "for these file formats\", the types that are kept."),
            log.end())
      << ::testing::PrintToString(log);
}

// With neither text nor files taken from BLOBs, the values written "null"
// are said, as scripts and the Access export say them.
TEST(XmlExportTest, BlobsLeftOutAreSaid) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\x0000ffd8ffe000104a464946'"}, {"2", "NULL"}, {"3", "'\\x414243'"}}});
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pix"});
  harness.run.XmlExportRun(db.Dsn(), harness.out.string());
  const std::vector<LogLine>& lines = harness.ui.log_lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].text, "Table : public.pix : column photo : 2 BLOB values left out; the option \"Extract Files "
                           "from BLOB fields\" keeps them.");
  EXPECT_FALSE(lines[2].color.has_value());
  EXPECT_EQ(lines[3].text, kExportStamp + " Table public.pix exported.");
}

TEST(XmlExportTest, XmlNames) {
  for (const char* name : {"a", "_a", "a1", "a.b", "a-b", "é", "a:b"}) EXPECT_TRUE(IsXmlName(name)) << name;
  for (const char* name : {"", "1a", "a b", ".a", "-a", "a<b", "a&b", "\xFF"}) EXPECT_FALSE(IsXmlName(name)) << name;
}

}  // namespace
}  // namespace quill::testing
