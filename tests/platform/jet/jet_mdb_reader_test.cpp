// The Jet stand-in on .mdb files that the project's own writer makes, Jet 3
// and Jet 4: tables, columns, keys and every value read back row for row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/jet_reader_test_support.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using jet::Bytes;
using jet::ColumnDefinition;
using jet::JetType;
using jet::MakeColumn;
using jet::Variant;

std::string MdbPath(const std::string& name) { return testing::ProcessPath(name).string(); }

Bytes AllBytes(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

std::string LongText() {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "Zoë " + std::to_string(i) + "\r\n";
  return text;
}

std::string NameText(jet::JetVersion version) {
  // An Access 97 file holds its text in a code page, without the emoji.
  return version == jet::JetVersion::kJet3 ? "Zoë – it's" : "Zoë – 😀 it's";
}

const std::string kGuid = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
const std::string kBigNumber = "-9007199254740993";  // not exact as a double

// Every column type the file format has, one column each.
std::vector<ColumnDefinition> AllTypes() {
  ColumnDefinition numeric = MakeColumn("amount", JetType::kNumeric);
  numeric.precision = 18;
  numeric.scale = 0;
  return {MakeColumn("id", JetType::kLongInteger), MakeColumn("flag", JetType::kBoolean),
          MakeColumn("small", JetType::kByte),     MakeColumn("short", JetType::kInteger),
          MakeColumn("price", JetType::kCurrency), MakeColumn("ratio", JetType::kSingle),
          MakeColumn("exact", JetType::kDouble),   MakeColumn("stamp", JetType::kDateTime),
          MakeColumn("raw", JetType::kBinary, 16), MakeColumn("name", JetType::kText, 40),
          MakeColumn("picture", JetType::kOle),    MakeColumn("notes", JetType::kMemo),
          MakeColumn("uid", JetType::kGuid),       numeric};
}

std::vector<std::vector<Variant>> AllTypeRows(jet::JetVersion version) {
  const jet::Null null;
  return {
      {int64_t{1}, true, int64_t{200}, int64_t{-12345}, std::string("1234.5678"), 1.5, 3.141592653589793,
       DateTime{2024, 2, 29, 13, 45, 30, 0}, Bytes{0, 1, 2, 255}, NameText(version), AllBytes(10000), LongText(), kGuid,
       kBigNumber},
      {int64_t{2}, false, null, null, null, null, null, null, null, null, null, null, null, null},
      {int64_t{3}, false, int64_t{0}, int64_t{0}, std::string("0"), 0.0, -0.5, DateTime{1899, 12, 30, 0, 0, 0, 0},
       Bytes{7}, std::string(""), AllBytes(20), std::string("short memo"), kGuid, std::string("0")},
  };
}

std::string ManyLabel(int64_t n) { return "n° " + std::to_string(n) + " – 5 € each"; }

jet::CellValue Cell(const Variant& value, const jet::JetTable& table, size_t column, const jet::JetDatabase& database) {
  return jet::ConvertValue(value, table.columns[column], database.format());
}

void WriteAllTypes(const std::string& path, jet::JetVersion version) {
  jet::JetDatabase database(path, version);
  jet::JetTable& table = database.AddTable("All Types", AllTypes());
  database.AddPrimaryKey(table, "PrimaryKey", "id");
  for (const std::vector<Variant>& row : AllTypeRows(version)) {
    std::vector<jet::CellValue> cells;
    for (size_t i = 0; i < row.size(); ++i) cells.push_back(Cell(row[i], table, i, database));
    database.AddRow(table, std::move(cells));
  }
  database.AddTable("empty", {MakeColumn("code", JetType::kText, 10)});
  // Enough rows for many data pages, each with a memo of its own.
  // Its texts are stored compressed in Jet 4, switching to two bytes per
  // character for the euro sign and back.
  ColumnDefinition label = MakeColumn("label", JetType::kText, 30);
  ColumnDefinition text = MakeColumn("text", JetType::kMemo);
  label.compressed_unicode = text.compressed_unicode = true;
  jet::JetTable& many = database.AddTable("many", {MakeColumn("n", JetType::kLongInteger), label, text});
  for (int64_t n = 0; n < 3000; ++n) {
    database.AddRow(many, {Cell(n, many, 0, database), Cell(ManyLabel(n), many, 1, database),
                           Cell("row " + std::to_string(n), many, 2, database)});
  }
  database.Close();
}

class JetMdbReader : public ::testing::TestWithParam<jet::JetVersion> {
 protected:
  void SetUp() override {
    path_ = MdbPath(GetParam() == jet::JetVersion::kJet3 ? "all-types-jet3.mdb" : "all-types-jet4.mdb");
    if (!fs::exists(path_)) WriteAllTypes(path_, GetParam());  // once per test process
    backend_ = OpenJetBackend(path_);
  }
  std::string path_;
  std::unique_ptr<ConnectionBackend> backend_;
};

TEST_P(JetMdbReader, ListsUserTablesAsTableAndMSysTablesAsSystemTable) {
  auto tables = backend_->OpenSchema(SchemaKind::Tables, {});
  std::vector<std::string> user_tables;
  int system_tables = 0;
  for (; !tables->Eof(); tables->Next()) {
    const std::string name = tables->FindField("TABLE_NAME")->AsString();
    const std::string type = tables->FindField("TABLE_TYPE")->AsString();
    EXPECT_TRUE(tables->FindField("TABLE_SCHEMA")->IsNull());
    if (type == "TABLE") {
      user_tables.push_back(name);
    } else {
      EXPECT_EQ(type, "SYSTEM TABLE") << name;
      EXPECT_EQ(name.rfind("MSys", 0), 0u) << name;
      ++system_tables;
    }
  }
  EXPECT_EQ(user_tables, (std::vector<std::string>{"All Types", "empty", "many"}));
  EXPECT_GT(system_tables, 0);
}

TEST_P(JetMdbReader, MapsAccessTypesToFieldClasses) {
  auto table = backend_->OpenTable("All Types");
  struct Expected {
    std::string name;
    std::string class_name;
    FieldKind kind;
    int size;
  };
  const std::vector<Expected> expected = {
      {"id", "TIntegerField", FieldKind::ftInteger, 0},
      {"flag", "TBooleanField", FieldKind::ftBoolean, 0},
      {"small", "TWordField", FieldKind::ftWord, 0},
      {"short", "TSmallintField", FieldKind::ftSmallint, 0},
      {"price", "TBCDField", FieldKind::ftCurrency, 19},
      {"ratio", "TFloatField", FieldKind::ftFloat, 0},
      {"exact", "TFloatField", FieldKind::ftFloat, 0},
      {"stamp", "TDateTimeField", FieldKind::ftDateTime, 0},
      {"raw", "TVarBytesField", FieldKind::ftVarBytes, -1},
      {"name", "TWideStringField", FieldKind::ftWideString, 40},
      {"picture", "TBlobField", FieldKind::ftBlob, 0},
      {"notes", "TMemoField", FieldKind::ftMemo, 0},
      {"uid", "TGuidField", FieldKind::ftGuid, 38},
      // Access 97 has no Numeric type; its definition there carries no precision.
      {"amount", "TBCDField", FieldKind::ftBCD, GetParam() == jet::JetVersion::kJet3 ? -1 : 18},
  };
  ASSERT_EQ(table->FieldCount(), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    const Field& field = table->FieldAt(static_cast<int>(i));
    EXPECT_EQ(field.Name(), expected[i].name);
    EXPECT_EQ(field.ClassName(), expected[i].class_name) << field.Name();
    EXPECT_EQ(field.Kind(), expected[i].kind) << field.Name();
    if (expected[i].size >= 0) {
      EXPECT_EQ(field.Size(), expected[i].size) << field.Name();
    }
  }
  // Data sizes as the ODBC side gives them: a double's 8 bytes, wide text with its terminator.
  EXPECT_EQ(table->FindField("exact")->DataSize(), 8);
  EXPECT_EQ(table->FindField("name")->DataSize(), 82);
}

TEST_P(JetMdbReader, ReadsEveryValueBackRowForRow) {
  auto table = backend_->OpenTable("All Types");
  EXPECT_EQ(table->RecordCount(), 3);
  ASSERT_FALSE(table->Eof());
  auto field = [&](const char* name) -> Field& { return *table->FindField(name); };

  EXPECT_EQ(field("id").AsInteger(), 1);
  EXPECT_TRUE(field("flag").AsBoolean());
  EXPECT_EQ(field("small").AsInteger(), 200);
  EXPECT_EQ(field("short").AsInteger(), -12345);
  EXPECT_EQ(field("price").RawText(), "1234.5678");
  EXPECT_DOUBLE_EQ(field("ratio").AsFloat(), 1.5);
  EXPECT_DOUBLE_EQ(field("exact").AsFloat(), 3.141592653589793);
  EXPECT_EQ(field("stamp").AsDateTime(), (DateTime{2024, 2, 29, 13, 45, 30, 0}));
  EXPECT_EQ(field("raw").RawText(), std::string("\x00\x01\x02\xFF", 4));
  EXPECT_EQ(field("name").AsString(), NameText(GetParam()));
  const Bytes picture = AllBytes(10000);
  EXPECT_EQ(field("picture").RawText(), std::string(picture.begin(), picture.end()));
  EXPECT_EQ(field("notes").AsString(), LongText());
  EXPECT_EQ(field("uid").AsString(), kGuid);
  EXPECT_EQ(field("amount").RawText(), kBigNumber);

  table->Next();
  ASSERT_FALSE(table->Eof());
  EXPECT_EQ(field("id").AsInteger(), 2);
  EXPECT_FALSE(field("flag").IsNull());  // a Yes/No column has no Null
  EXPECT_FALSE(field("flag").AsBoolean());
  for (int i = 2; i < table->FieldCount(); ++i) EXPECT_TRUE(table->FieldAt(i).IsNull()) << table->FieldAt(i).Name();

  table->Next();
  ASSERT_FALSE(table->Eof());
  EXPECT_EQ(field("id").AsInteger(), 3);
  EXPECT_FALSE(field("small").IsNull());
  EXPECT_EQ(field("small").AsInteger(), 0);
  EXPECT_EQ(field("price").RawText(), "0.0000");
  EXPECT_DOUBLE_EQ(field("exact").AsFloat(), -0.5);
  EXPECT_EQ(field("stamp").AsDateTime(), (DateTime{1899, 12, 30, 0, 0, 0, 0}));
  EXPECT_EQ(field("raw").RawText(), "\x07");
  EXPECT_FALSE(field("name").IsNull());  // an empty text is no Null
  EXPECT_EQ(field("name").AsString(), "");
  const Bytes small_picture = AllBytes(20);
  EXPECT_EQ(field("picture").RawText(), std::string(small_picture.begin(), small_picture.end()));
  EXPECT_EQ(field("notes").AsString(), "short memo");
  EXPECT_EQ(field("amount").RawText(), "0");

  table->Next();
  EXPECT_TRUE(table->Eof());
  table->First();
  ASSERT_FALSE(table->Eof());
  EXPECT_EQ(field("id").AsInteger(), 1);
  table->Last();
  EXPECT_TRUE(table->Eof());
}

TEST_P(JetMdbReader, StreamsRowsOverManyPages) {
  auto table = backend_->OpenTable("many");
  EXPECT_EQ(table->RecordCount(), 3000);
  int64_t expected = 0;
  for (; !table->Eof(); table->Next(), ++expected) {
    ASSERT_EQ(table->FieldAt(0).AsInteger(), expected);
    ASSERT_EQ(table->FieldAt(1).AsString(), ManyLabel(expected));
    ASSERT_EQ(table->FieldAt(2).AsString(), "row " + std::to_string(expected));
    // Schema reads on the connection in between do not move the table.
    if (expected == 1500) backend_->OpenSchema(SchemaKind::Columns, {std::nullopt, std::nullopt, "All Types"});
  }
  EXPECT_EQ(expected, 3000);
}

TEST_P(JetMdbReader, PrimaryKeysAndColumnsRowsets) {
  auto keys = backend_->OpenSchema(SchemaKind::PrimaryKeys, {std::nullopt, std::nullopt, "All Types"});
  EXPECT_EQ(testing::ColumnValues(*keys, "COLUMN_NAME"), (std::vector<std::string>{"id"}));
  EXPECT_EQ(testing::ColumnValues(*keys, "TABLE_NAME"), (std::vector<std::string>{"All Types"}));
  EXPECT_EQ(testing::ColumnValues(*keys, "ORDINAL"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(testing::ColumnValues(*keys, "PK_NAME"), (std::vector<std::string>{"PrimaryKey"}));
  auto no_keys = backend_->OpenSchema(SchemaKind::PrimaryKeys, {std::string(), std::string(), "empty"});
  EXPECT_TRUE(no_keys->Eof());
  // Jet has no schemas: a schema restriction finds nothing.
  auto in_schema = backend_->OpenSchema(SchemaKind::PrimaryKeys, {std::nullopt, "dbo", "All Types"});
  EXPECT_TRUE(in_schema->Eof());

  auto columns = backend_->OpenSchema(SchemaKind::Columns, {std::nullopt, std::nullopt, "ALL TYPES"});
  std::vector<std::string> names;
  for (const ColumnDefinition& column : AllTypes()) names.push_back(column.name);
  EXPECT_EQ(testing::ColumnValues(*columns, "COLUMN_NAME"), names);

  // Unrestricted, the rowsets cover the system tables too.
  auto all_keys = backend_->OpenSchema(SchemaKind::PrimaryKeys, {});
  EXPECT_EQ(testing::ColumnValues(*all_keys, "TABLE_NAME"), (std::vector<std::string>{"All Types"}));
  auto all_columns = backend_->OpenSchema(SchemaKind::Columns, {});
  const std::vector<std::string> tables = testing::ColumnValues(*all_columns, "TABLE_NAME");
  EXPECT_EQ(std::count(tables.begin(), tables.end(), "All Types"), 14);
  EXPECT_GT(std::count(tables.begin(), tables.end(), "MSysObjects"), 0);
}

TEST_P(JetMdbReader, OpensTablesByBracketedOrDifferentlyCasedName) {
  for (const std::string name : {"[All Types]", "all types", "All Types"}) {
    auto table = backend_->OpenTable(name);
    EXPECT_EQ(table->FieldCount(), 14) << name;
  }
  try {
    backend_->OpenTable("Missing");
    ADD_FAILURE() << "opened a missing table";
  } catch (const DataAccessError& error) {
    EXPECT_EQ(std::string(error.what()), "The table 'Missing' does not exist.");
  }
}

TEST_P(JetMdbReader, ATableWhoseFileVanishedAfterListingFailsClearly) {
  const std::string copy =
      MdbPath(std::string("vanishing-") + (GetParam() == jet::JetVersion::kJet3 ? "3" : "4") + ".mdb");
  fs::copy_file(path_, copy, fs::copy_options::overwrite_existing);
  auto backend = OpenJetBackend(copy);
  EXPECT_FALSE(backend->OpenSchema(SchemaKind::Tables, {})->Eof());
  fs::remove(copy);
  try {
    backend->OpenTable("All Types");
    ADD_FAILURE() << "opened a table of a removed file";
  } catch (const DataAccessError& error) {
    EXPECT_EQ(std::string(error.what()), "Could not find file '" + copy + "'.");
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, JetMdbReader, ::testing::Values(jet::JetVersion::kJet3, jet::JetVersion::kJet4),
                         [](const ::testing::TestParamInfo<jet::JetVersion>& info) {
                           return info.param == jet::JetVersion::kJet3 ? std::string("Jet3") : std::string("Jet4");
                         });

}  // namespace
}  // namespace quill
