// Column properties set through the catalog: "Nullable" false reaches the
// readers as a required column, a description as the column's Description,
// and compressed text still reads back as written.
#include <gtest/gtest.h>

#include <string>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"

namespace quill::jet::writer_testing {
namespace {

class JetWriterPropertiesTest : public ::testing::TestWithParam<std::string> {};

TEST_P(JetWriterPropertiesTest, RequiredColumnsAndDescriptionsReachTheReaders) {
  const std::string file = NewTestFolder() + "/properties.mdb";
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    Table table;
    table.SetParentCatalog(catalog);
    table.SetName("Customers");
    struct Spec {
      const char* name;
      int type;
      int size;
      bool nullable;
      const char* description;
      bool compressed;
    };
    for (const Spec& spec : {Spec{"Id", kAdInteger, 0, false, "", true}, Spec{"Name", kAdWChar, 30, true, "Full name", true},
                             Spec{"Plain", kAdWChar, 30, true, "", false}, Spec{"Active", kAdBoolean, 0, false, "", true}}) {
      Column column;
      column.SetParentCatalog(catalog);
      column.SetName(spec.name);
      column.SetType(spec.type);
      column.SetDefinedSize(spec.size);
      column.Properties().Item("Description").SetValue(std::string(spec.description));
      column.Properties().Item("Nullable").SetValue(spec.nullable);
      column.Properties().Item("Jet OLEDB:Allow Zero Length").SetValue(false);
      column.Properties().Item("Jet OLEDB:Compressed UNICODE Strings").SetValue(spec.compressed);
      table.Columns().Append(column, spec.type, spec.size);
    }
    catalog.Tables().Append(table);
    Connection connection;
    connection.Open(ConnectionString(file, GetParam()));
    Recordset recordset;
    recordset.Open("Customers", connection);
    recordset.AddNew();
    recordset.Fields().Item(0).SetValue(std::int64_t{7});
    recordset.Fields().Item(1).SetValue(std::string("Ann Smith"));
    recordset.Fields().Item(2).SetValue(std::string("Ann Smith"));
    recordset.Update();
    recordset.Close();
    connection.Close();
    catalog.SetActiveConnection(nullptr);
  }
  EXPECT_EQ(RunCommand({"mdb-prop", file, "Customers"}),
            "name: Id\n\tRequired: yes\n\nname: Name\n\tDescription: Full name\n\n");
  const std::string schema = RunCommand({"mdb-schema", file, "mysql"});
  EXPECT_NE(schema.find("`Id`\t\t\tint NOT NULL"), std::string::npos) << schema;
  EXPECT_EQ(schema.find("`Name`\t\t\tvarchar (30) NOT NULL"), std::string::npos) << schema;

  const auto node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 6u);
  EXPECT_EQ(node[1].substr(node[1].rfind('\t') + 1), "false");  // Id
  EXPECT_EQ(node[2].substr(node[2].rfind('\t') + 1), "true");   // Name
  EXPECT_EQ(node[5], "row\t7\tAnn Smith\tAnn Smith\tfalse");
  EXPECT_EQ(ExportRows(file, "Customers"), (std::vector<std::vector<std::string>>{{"7", "Ann Smith", "Ann Smith", "0"}}));
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetWriterPropertiesTest, ::testing::Values("5", "4"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "5" ? std::string("Jet4") : std::string("Jet3");
                         });

}  // namespace
}  // namespace quill::jet::writer_testing
