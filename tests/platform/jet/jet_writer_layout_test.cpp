// Layouts at the edges of the pages: rows whose variable columns cross
// several 256-byte boundaries (Jet 3 keeps one-byte offsets and a jump
// table), Null columns at those boundaries, and a table definition too large
// for one page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"

namespace quill::jet::writer_testing {
namespace {

class JetWriterLayoutTest : public ::testing::TestWithParam<std::string> {};

void WriteRows(const std::string& file, const std::string& engine, const std::string& table,
               const std::vector<std::vector<std::string>>& rows) {
  Connection connection;
  connection.Open(ConnectionString(file, engine));
  Recordset recordset;
  recordset.Open(table, connection);
  for (const auto& row : rows) {
    recordset.AddNew();
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (row[k] != "NULL") recordset.Fields().Item(k).SetValue(row[k]);
    }
    recordset.Update();
  }
  recordset.Close();
  connection.Close();
}

TEST_P(JetWriterLayoutTest, WideRowsCrossEveryOffsetBoundary) {
  const std::string file = NewTestFolder() + "/wide.mdb";
  const std::vector<ColumnSpec> columns = {{"A", kAdWChar, 255}, {"B", kAdWChar, 255}, {"C", kAdWChar, 255},
                                           {"D", kAdWChar, 255}, {"N", kAdInteger},     {"E", kAdWChar, 20}};
  const std::string a(255, 'a');
  const std::string b(250, 'b');
  // Null and short values land on, before and after the boundaries.
  const std::vector<std::vector<std::string>> rows = {
      {a, b, std::string(255, 'c'), std::string(255, 'd'), "1", "end"},
      {a, "NULL", std::string(3, 'c'), std::string(255, 'd'), "2", "NULL"},
      {"NULL", "NULL", "NULL", "NULL", "NULL", "x"},
      {std::string(254, 'a'), "b", std::string(255, 'c'), "NULL", "3", std::string(20, 'e')},
  };
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    AppendTable(catalog, "Wide", columns);
    WriteRows(file, GetParam(), "Wide", rows);
    catalog.SetActiveConnection(nullptr);
  }
  EXPECT_EQ(ExportRows(file, "Wide"), rows);
  const auto node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1 + columns.size() + rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::string line = "row";
    for (const std::string& value : rows[r]) line += "\t" + (value == "NULL" ? std::string("\\N") : value);
    EXPECT_EQ(node[1 + columns.size() + r], line) << "row " << r;
  }
}

TEST_P(JetWriterLayoutTest, ADefinitionSpanningSeveralPagesReadsBack) {
  const std::string file = NewTestFolder() + "/many-columns.mdb";
  std::vector<ColumnSpec> columns;
  std::vector<std::string> row;
  for (int i = 0; i < 200; ++i) {
    std::string name = "Column number " + std::to_string(i) + " with a long name";
    name += std::string(64 - name.size(), 'x');
    columns.push_back({name, i % 2 == 0 ? kAdInteger : kAdWChar, i % 2 == 0 ? 0 : 4});
    row.push_back(i % 2 == 0 ? std::to_string(i * 1000) : std::to_string(i));
  }
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    AppendTable(catalog, "Many", columns);
    WriteRows(file, GetParam(), "Many", {row});
    AppendPrimaryKey(catalog, "Many", columns[198].name);
    catalog.SetActiveConnection(nullptr);
  }
  EXPECT_EQ(ExportRows(file, "Many"), std::vector<std::vector<std::string>>{row});
  const std::string schema = RunCommand({"mdb-schema", "--indexes", file, "mysql"});
  EXPECT_NE(schema.find("`" + columns[199].name + "`\t\t\tvarchar (4)"), std::string::npos) << schema;
  EXPECT_NE(schema.find("ADD PRIMARY KEY (`" + columns[198].name + "`)"), std::string::npos) << schema;
  const auto node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 200u + 1u);
  EXPECT_EQ(node[200].substr(0, 7 + columns[199].name.size()), "column\t" + columns[199].name);
  const auto found = LookUpByPrimaryKey(file, "Many", LongIntegerKey(198'000));
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ((*found)[198], "198000");
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetWriterLayoutTest, ::testing::Values("5", "4"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "5" ? std::string("Jet4") : std::string("Jet3");
                         });

}  // namespace
}  // namespace quill::jet::writer_testing
