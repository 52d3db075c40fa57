// The Jet stand-in on a folder of text files: listing, columns and rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/jet_reader_test_support.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/jet/reader/text_file_format.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

// A folder of this test process, removed with the process's configuration.
fs::path MakeFolder(const std::string& name) {
  const fs::path folder = testing::ProcessPath(name);
  fs::create_directories(folder);
  return folder;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

using Row = std::vector<std::optional<std::string>>;

std::vector<Row> Rows(Dataset& table) {
  std::vector<Row> rows;
  for (; !table.Eof(); table.Next()) {
    Row row;
    for (int i = 0; i < table.FieldCount(); ++i) {
      const Field& field = table.FieldAt(i);
      row.push_back(field.IsNull() ? std::nullopt : std::optional<std::string>(field.AsString()));
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(JetTextFolder, ListsTextFilesWithTheirExtensionSorted) {
  const fs::path folder = MakeFolder("listing");
  for (const char* name : {"clients.csv", "b.TXT", "c.tab", "d.asc", "notes.md", "data.csv.bak"}) {
    WriteFile(folder / name, "a;b\n1;2\n");
  }
  fs::create_directories(folder / "sub.csv");  // a folder is no table
  auto backend = OpenJetBackend(folder.string());
  auto tables = backend->OpenSchema(SchemaKind::Tables, {});
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_NAME"),
            (std::vector<std::string>{"b.TXT", "c.tab", "clients.csv", "d.asc"}));
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_TYPE"),
            (std::vector<std::string>{"TABLE", "TABLE", "TABLE", "TABLE"}));
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_SCHEMA"), (std::vector<std::string>{"", "", "", ""}));

  auto one = backend->OpenSchema(SchemaKind::Tables, {std::nullopt, std::nullopt, "CLIENTS.csv"});
  EXPECT_EQ(testing::ColumnValues(*one, "TABLE_NAME"), (std::vector<std::string>{"clients.csv"}));
  auto keys = backend->OpenSchema(SchemaKind::PrimaryKeys, {std::nullopt, std::nullopt, "clients.csv"});
  EXPECT_TRUE(keys->Eof());
  EXPECT_NE(keys->FindField("COLUMN_NAME"), nullptr);
}

TEST(JetTextFolder, DetectsTheSeparatorOfTheFirstLine) {
  struct Case {
    std::string first_line;
    char separator;
  };
  const std::vector<Case> cases = {
      {"id;name;town", ';'}, {"id,name,town", ','}, {"id\tname\ttown", '\t'}, {"\"a;b\",c,d", ','},
      {"a;b,c;d", ';'},      {"a,b;c", ','},        {"single", ';'},          {"", ';'},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectSeparator(c.first_line), c.separator) << c.first_line;
}

TEST(JetTextFolder, ReadsRowsWithEachSeparatorAndQuotedFields) {
  const fs::path folder = MakeFolder("separators");
  WriteFile(folder / "semicolon.csv",
            "id;name;note\r\n1;\"O\"\"Brien; Ltd\";\"two\r\nlines\"\r\n2;;\"\"\r\n\r\n3;short\r\n");
  WriteFile(folder / "comma.txt", "id,name,note\n1,\"O\"\"Brien, Ltd\",\"two\nlines\"\n2,,\"\"\n3,short");
  WriteFile(folder / "tabbed.tab", "id\tname\tnote\n1\t\"O\"\"Brien\t Ltd\"\t\"two\nlines\"\n2\t\t\"\"\n3\tshort\n");
  const std::vector<std::pair<std::string, std::string>> files = {
      {"semicolon.csv", "O\"Brien; Ltd"}, {"comma.txt", "O\"Brien, Ltd"}, {"tabbed.tab", "O\"Brien\t Ltd"}};
  auto backend = OpenJetBackend(folder.string());
  for (const auto& [file, quoted_name] : files) {
    SCOPED_TRACE(file);
    auto table = backend->OpenTable(file);
    ASSERT_EQ(table->FieldCount(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(table->FieldAt(i).ClassName(), "TStringField");
      EXPECT_EQ(table->FieldAt(i).Kind(), FieldKind::ftString);
      EXPECT_EQ(table->FieldAt(i).Size(), 255);
    }
    EXPECT_EQ(table->FieldAt(1).Name(), "name");
    EXPECT_EQ(table->RecordCount(), 3);
    const std::string line_break = file == "semicolon.csv" ? "\r\n" : "\n";
    // An empty field is NULL, a quoted empty one an empty text; a short
    // record leaves its last columns NULL.
    EXPECT_EQ(Rows(*table), (std::vector<Row>{{"1", quoted_name, "two" + line_break + "lines"},
                                              {"2", std::nullopt, ""},
                                              {"3", "short", std::nullopt}}));
  }
}

TEST(JetTextFolder, OpensBracketedNamesAndOnlyListedFiles) {
  const fs::path folder = MakeFolder("names");
  WriteFile(folder / "clients.csv", "id;name\n1;Ann\n");
  WriteFile(folder / "secret.key", "id;name\n1;Ann\n");
  auto backend = OpenJetBackend(folder.string());
  EXPECT_EQ(Rows(*backend->OpenTable("[clients.csv]")), (std::vector<Row>{{"1", "Ann"}}));
  EXPECT_EQ(Rows(*backend->OpenTable("clients.csv")), (std::vector<Row>{{"1", "Ann"}}));
  for (const std::string name : {"secret.key", "../names/clients.csv", "missing.csv", ""}) {
    EXPECT_THROW(backend->OpenTable(name), DataAccessError) << name;
  }
}

TEST(JetTextFolder, AFileRemovedAfterListingFailsClearly) {
  const fs::path folder = MakeFolder("vanishing");
  WriteFile(folder / "clients.csv", "id;name\n1;Ann\n");
  auto backend = OpenJetBackend(folder.string());
  EXPECT_EQ(testing::ColumnValues(*backend->OpenSchema(SchemaKind::Tables, {}), "TABLE_NAME"),
            (std::vector<std::string>{"clients.csv"}));
  fs::remove(folder / "clients.csv");
  try {
    backend->OpenTable("clients.csv");
    ADD_FAILURE() << "opened a removed file";
  } catch (const DataAccessError& error) {
    EXPECT_EQ(std::string(error.what()), "The table 'clients.csv' does not exist.");
  }
  fs::remove_all(folder);
  EXPECT_THROW(backend->OpenSchema(SchemaKind::Tables, {}), DataAccessError);
}

TEST(JetTextFolder, LongValuesMakeAMemoColumn) {
  const fs::path folder = MakeFolder("memo");
  // 255 characters fit a text column, even when they take more bytes.
  const std::string fits(255, 'x');
  std::string wide_fits;
  for (int i = 0; i < 255; ++i) wide_fits += "é";
  const std::string too_long(256, 'y');
  WriteFile(folder / "long.csv", "fits,wide,long\n" + fits + "," + wide_fits + ",short\n,," + too_long + "\n");
  auto backend = OpenJetBackend(folder.string());
  auto table = backend->OpenTable("long.csv");
  ASSERT_EQ(table->FieldCount(), 3);
  EXPECT_EQ(table->FieldAt(0).ClassName(), "TStringField");
  EXPECT_EQ(table->FieldAt(1).ClassName(), "TStringField");
  EXPECT_EQ(table->FieldAt(2).ClassName(), "TMemoField");
  EXPECT_EQ(table->FieldAt(2).Kind(), FieldKind::ftMemo);
  EXPECT_EQ(Rows(*table), (std::vector<Row>{{fits, wide_fits, "short"}, {std::nullopt, std::nullopt, too_long}}));

  auto columns = backend->OpenSchema(SchemaKind::Columns, {std::nullopt, std::nullopt, "long.csv"});
  EXPECT_EQ(testing::ColumnValues(*columns, "COLUMN_NAME"), (std::vector<std::string>{"fits", "wide", "long"}));
  EXPECT_EQ(testing::ColumnValues(*columns, "ORDINAL_POSITION"), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(JetTextFolder, ReadsUtf8AndWindows1252Text) {
  const fs::path folder = MakeFolder("encodings");
  WriteFile(folder / "utf8.csv", "\xEF\xBB\xBFnom;ville\nZo\xC3\xAB;K\xC3\xB6ln \xF0\x9F\x98\x80\n");
  // Not valid UTF-8: every byte is a Windows-1252 character.
  WriteFile(folder / "ansi.csv", "nom;ville\nZo\xEB;K\xF6ln \x80 \x93quoted\x94\n");
  auto backend = OpenJetBackend(folder.string());
  for (const std::string file : {"utf8.csv", "ansi.csv"}) {
    auto table = backend->OpenTable(file);
    ASSERT_EQ(table->FieldCount(), 2) << file;
    EXPECT_EQ(table->FieldAt(0).Name(), "nom") << file;
  }
  EXPECT_EQ(Rows(*backend->OpenTable("utf8.csv")), (std::vector<Row>{{"Zoë", "Köln 😀"}}));
  EXPECT_EQ(Rows(*backend->OpenTable("ansi.csv")), (std::vector<Row>{{"Zoë", "Köln € “quoted”"}}));
}

TEST(JetTextFolder, HeaderOnlyEmptyAndUnnamedColumns) {
  const fs::path folder = MakeFolder("shapes");
  WriteFile(folder / "header.csv", "a;;c\n");
  WriteFile(folder / "empty.csv", "");
  auto backend = OpenJetBackend(folder.string());
  auto header = backend->OpenTable("header.csv");
  ASSERT_EQ(header->FieldCount(), 3);
  EXPECT_EQ(header->FieldAt(1).Name(), "F2");
  EXPECT_TRUE(header->Eof());
  EXPECT_EQ(header->RecordCount(), 0);
  auto empty = backend->OpenTable("empty.csv");
  EXPECT_EQ(empty->FieldCount(), 0);
  EXPECT_TRUE(empty->Eof());
}

TEST(JetTextFolder, FirstRereadsAndLastEndsTheRows) {
  const fs::path folder = MakeFolder("moves");
  WriteFile(folder / "t.csv", "n\n1\n2\n3\n");
  auto table = OpenJetBackend(folder.string())->OpenTable("t.csv");
  table->Next();
  EXPECT_EQ(table->FieldAt(0).AsString(), "2");
  table->Last();
  EXPECT_TRUE(table->Eof());
  table->First();
  EXPECT_EQ(Rows(*table), (std::vector<Row>{{"1"}, {"2"}, {"3"}}));
}

TEST(JetDataSource, EmptyOrMissingSourceFailsAtOpen) {
  const std::string missing = testing::ProcessPath("nothing.mdb").string();
  struct Case {
    std::string data_source;
    std::string message;
  };
  for (const Case& c : {Case{"", "Could not find file ''."}, Case{missing, "Could not find file '" + missing + "'."}}) {
    try {
      OpenJetBackend(c.data_source);
      ADD_FAILURE() << "opened " << c.data_source;
    } catch (const DataAccessError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

TEST(JetDataSource, AFileThatIsNoDatabaseFailsAtOpen) {
  const fs::path folder = MakeFolder("garbage");
  WriteFile(folder / "not.mdb", std::string(5000, 'z'));
  WriteFile(folder / "not.xls", "plain text");
  for (const char* name : {"not.mdb", "not.xls"}) {
    EXPECT_THROW(OpenJetBackend((folder / name).string()), DataAccessError) << name;
  }
}

}  // namespace
}  // namespace quill
