// A PostgreSQL table's declared sizes come from the catalog by its name: no
// name, under either setting of standard_conforming_strings, may run SQL in
// the source, and every name must find its own table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

const std::string kHostileColumn = "?\" {fn now()} '; --";
const std::string kHostileSchema = "s\\'; DROP TABLE victim; --";

TEST(OdbcPostgresHostileNames, CatalogQueriesRunNoSqlOfANameAndFindItsTable) {
  struct NameCase {
    std::string schema;
    std::string table;
  };
  const std::vector<NameCase> names = {
      {"public", "a\\')); DROP TABLE victim; --"},
      {"public", "a')); DROP TABLE victim; --"},
      {"public", "\\'); DROP TABLE victim; --"},
      {"public", "x\\"},
      {"public", "'"},
      {"public", "\\"},
      {"public", "semi;colon -- dash /* star */"},
      {"public", "line\nbreak\r\ttab"},
      {"public", "$$dollar$$ E'x' U&'\\0041'"},
      {"public", "\xC3\xBCn\xC3\xAF \"quoted\" \xF0\x9F\x98\x80"},
      {"public", "point.in'name"},
      {"public", std::string(63, 'L')},
      {kHostileSchema, "t"},
      {kHostileSchema, "a\\')); DROP TABLE victim; --"},
  };
  for (const char* conforming : {"on", "off"}) {
    SCOPED_TRACE(std::string("standard_conforming_strings ") + conforming);
    TestDatabase database = TestDatabase::Postgres();
    database.Execute("CREATE TABLE victim (k INTEGER)");
    database.Execute("INSERT INTO victim VALUES (1)");
    database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) +
                     " SET standard_conforming_strings = " + conforming);
    database.CreateSchema(kHostileSchema);
    for (const NameCase& name : names) {
      database.Execute("CREATE TABLE " + database.QualifiedName(name.table, name.schema) +
                       " (b bit(8), m money, v varchar, " + database.Quote(kHostileColumn) + " date)");
      database.Execute("INSERT INTO " + database.QualifiedName(name.table, name.schema) +
                       " VALUES (B'00000000', '-92233720368547758.08', 'x', '2020-02-29')");
    }
    auto connection = OpenSource(database);
    for (const NameCase& name : names) {
      SCOPED_TRACE("table " + name.schema + "." + name.table);
      auto dataset = connection->OpenTable(name.schema + "." + name.table);
      // Sizes and classes that only the table's own catalog rows give.
      EXPECT_EQ(dataset->FindField("b")->Size(), 8);
      EXPECT_EQ(dataset->FindField("b")->AsString(), "00000000");
      EXPECT_EQ(dataset->FindField("m")->AsString(), "-92233720368547758.08");
      EXPECT_EQ(dataset->FindField("v")->ClassName(), "TMemoField");
      // Columns named in the statement's select list.
      EXPECT_EQ(dataset->FindField(kHostileColumn)->AsDateTime(), (DateTime{2020, 2, 29}));
      EXPECT_EQ(database.Query("SELECT count(*) FROM victim"), (std::vector<QueryRow>{{std::string("1")}}));
    }
  }
}

}  // namespace
}  // namespace quill::testing
