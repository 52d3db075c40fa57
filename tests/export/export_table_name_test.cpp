// The names a table gets in the exported files, and the schema decision.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/export_table_name.h"

namespace quill {
namespace {

struct NameCase {
  std::string listed;
  bool keep_schema;
  bool underscore;
  std::string file_name;    // CSV and XML
  std::string access_name;  // Access
  friend void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.listed << (c.keep_schema ? " kept" : "") << (c.underscore ? " underscore" : "");
  }
};

class ExportTableNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ExportTableNameTest, FileAndAccessNames) {
  const NameCase& c = GetParam();
  Settings settings;
  settings.underscore = c.underscore;
  EXPECT_EQ(ExportTableName(c.listed, c.keep_schema, settings), c.file_name);
  EXPECT_EQ(AccessTableName(c.listed, c.keep_schema, settings), c.access_name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportTableNameTest,
    ::testing::Values(NameCase{"dbo.Orders", false, false, "Orders", "Orders"},
                      NameCase{"dbo.Orders", true, false, "dbo.Orders", "dbo_Orders"},
                      NameCase{"Orders", false, false, "Orders", "Orders"},
                      NameCase{"data.csv", true, false, "data", "data"},
                      NameCase{"data.txt", false, false, "data", "data"},
                      NameCase{"data.CSV", false, false, "CSV", "CSV"},
                      NameCase{"data.CSV", true, false, "data.CSV", "data_CSV"},
                      NameCase{"s.t.more", false, false, "t.more", "t_more"},
                      // Nothing after the first point: the whole name is the table's.
                      NameCase{"x.", false, false, "x.", "x_"},
                      NameCase{".x", false, false, "x", "x"},
                      NameCase{"s.t.more", true, false, "s.t.more", "s_t_more"},
                      NameCase{"dbo.Order Details", false, false, "Order Details", "Order Details"},
                      NameCase{"dbo.Order Details", false, true, "Order_Details", "Order_Details"},
                      NameCase{"my data.csv", false, true, "my_data", "my_data"}));

struct SchemaCase {
  std::vector<std::string> tables;
  bool differ;
  bool ask;
  friend void PrintTo(const SchemaCase& c, std::ostream* out) { *out << ::testing::PrintToString(c.tables); }
};

class SchemaDecisionTest : public ::testing::TestWithParam<SchemaCase> {};

TEST_P(SchemaDecisionTest, DifferAndAsk) {
  const SchemaCase& c = GetParam();
  EXPECT_EQ(SchemasDiffer(c.tables), c.differ);
  EXPECT_EQ(ShouldAskToRemoveSchema(c.tables), c.ask);
}

INSTANTIATE_TEST_SUITE_P(Cases, SchemaDecisionTest,
                         ::testing::Values(SchemaCase{{"dbo.Orders"}, false, false},
                                           SchemaCase{{"dbo.A", "dbo.B"}, false, true},
                                           SchemaCase{{"dbo.A", "sales.B"}, true, false},
                                           SchemaCase{{"A", "B"}, true, false},
                                           SchemaCase{{"A", "A"}, false, false},
                                           SchemaCase{{"a.csv", "a.txt"}, false, true},
                                           SchemaCase{{"dbo.A", "dbo.B", "dbo.C"}, false, true},
                                           SchemaCase{{"dbo.A", "dbo"}, false, false}));

}  // namespace
}  // namespace quill
