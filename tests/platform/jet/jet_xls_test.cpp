// The Jet stand-in on an .xls workbook: one table per sheet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/jet_reader_test_support.h"
#include "platform/jet/reader/jet_backend.h"

namespace quill {
namespace {

// Made by data/make_workbook_xls.py.
const std::string kWorkbook = std::string(QUILL_SOURCE_DIR) + "/tests/platform/jet/data/workbook.xls";

TEST(JetXls, ListsOneTablePerSheet) {
  auto backend = OpenJetBackend(kWorkbook);
  auto tables = backend->OpenSchema(SchemaKind::Tables, {});
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_NAME"), (std::vector<std::string>{"Clients", "Price List"}));
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_TYPE"), (std::vector<std::string>{"TABLE", "TABLE"}));
  auto columns = backend->OpenSchema(SchemaKind::Columns, {std::nullopt, std::nullopt, "Price List"});
  EXPECT_EQ(testing::ColumnValues(*columns, "COLUMN_NAME"), (std::vector<std::string>{"item", "F2"}));
}

TEST(JetXls, FieldsTakeTheKindTheirValuesShare) {
  auto table = OpenJetBackend(kWorkbook)->OpenTable("Clients");
  struct Expected {
    std::string name;
    std::string class_name;
    FieldKind kind;
  };
  const std::vector<Expected> expected = {
      {"id", "TFloatField", FieldKind::ftFloat},
      {"name", "TWideStringField", FieldKind::ftWideString},
      {"joined", "TDateTimeField", FieldKind::ftDateTime},
      {"note", "TMemoField", FieldKind::ftMemo},  // one value is longer than 255
      {"mixed", "TWideStringField", FieldKind::ftWideString},
  };
  ASSERT_EQ(table->FieldCount(), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    const Field& field = table->FieldAt(static_cast<int>(i));
    EXPECT_EQ(field.Name(), expected[i].name);
    EXPECT_EQ(field.ClassName(), expected[i].class_name) << field.Name();
    EXPECT_EQ(field.Kind(), expected[i].kind) << field.Name();
  }
  EXPECT_EQ(table->FieldAt(1).Size(), 255);
}

TEST(JetXls, ReadsTheRowsBelowTheNames) {
  auto table = OpenJetBackend(kWorkbook)->OpenTable("[Clients]");
  EXPECT_EQ(table->RecordCount(), 3);
  ASSERT_FALSE(table->Eof());
  EXPECT_DOUBLE_EQ(table->FieldAt(0).AsFloat(), 1.0);
  EXPECT_EQ(table->FieldAt(1).AsString(), "Zoë Ångström");
  EXPECT_EQ(table->FieldAt(2).AsDateTime(), (DateTime{2021, 3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(table->FieldAt(3).AsString(), "short");
  EXPECT_EQ(table->FieldAt(4).AsString(), "7");
  table->Next();
  EXPECT_DOUBLE_EQ(table->FieldAt(0).AsFloat(), 2.5);
  EXPECT_EQ(table->FieldAt(1).AsString(), "O'Brien \"Ltd\"");
  EXPECT_EQ(table->FieldAt(2).AsDateTime(), (DateTime{1999, 12, 31, 23, 59, 58, 0}));
  EXPECT_EQ(table->FieldAt(3).AsString(), std::string(300, 'x'));
  EXPECT_EQ(table->FieldAt(4).AsString(), "seven");
  table->Next();
  EXPECT_DOUBLE_EQ(table->FieldAt(0).AsFloat(), 3.0);
  for (int i = 1; i < 5; ++i) EXPECT_TRUE(table->FieldAt(i).IsNull()) << i;
  table->Next();
  EXPECT_TRUE(table->Eof());
  EXPECT_THROW(OpenJetBackend(kWorkbook)->OpenTable("Sheet9"), DataAccessError);
}

}  // namespace
}  // namespace quill
