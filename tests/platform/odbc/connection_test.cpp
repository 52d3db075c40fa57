// The connection: provider by connection string, open and close, and the
// parts of the ODBC provider that need no database.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/temporary_folder.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "platform/connection/connection.h"
#include "platform/text/connection_string.h"
#include "platform/odbc/table_reference.h"
#include "platform/odbc/utf16_text.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

TEST(ConnectionString, ValuesByKey) {
  struct Case {
    std::string text, key;
    std::optional<std::string> value;
  };
  const std::vector<Case> cases = {
      {"Provider=MSDASQL.1;Persist Security Info=True;Data Source=My DSN", "Data Source", "My DSN"},
      {"Provider=MSDASQL.1;Persist Security Info=True;Data Source=My DSN", "provider", "MSDASQL.1"},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=/data/x.mdb;", "Data Source",
       "/data/x.mdb"},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=;", "Data Source", ""},
      {" data source = spaced ;", "Data Source", "spaced"},
      {"Data Source=\"semi;colon\";Provider=MSDASQL", "Data Source", "semi;colon"},
      {"Data Source='semi;colon';Provider=MSDASQL", "Data Source", "semi;colon"},
      {"Data Source=\"say \"\"hi\"\";\";Provider=MSDASQL", "Data Source", "say \"hi\";"},
      {"Data Source='it''s';Provider=MSDASQL", "provider", "MSDASQL"},
      {"Provider=MSDASQL.1", "Data Source", std::nullopt},
      {"", "Provider", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ConnectionStringValue(c.text, c.key), c.value) << c.text;
}

// Whatever a data source name or a file path holds, it comes back whole
// from the connection string it was put in, and the keys after it keep
// their values.
TEST(ConnectionString, QuotedValuesComeBackWhole) {
  const std::vector<std::string> values = {
      "plain", "My DSN", "a;b", "a;Data Source=other", "\"quoted\"", "'single'", "it's", "say \"hi\";",
      " leading", "trailing ", "\t", "a=b", "{braced}", "Zoë;東京", "/data/a;b.mdb", "\"", "'", ";", "",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    const std::string text = "Provider=X;Data Source=" + ConnectionStringQuoted(value) + ";Jet OLEDB:Engine Type=5";
    EXPECT_EQ(ConnectionStringValue(text, "Data Source"), value) << text;
    EXPECT_EQ(ConnectionStringValue(text, "Jet OLEDB:Engine Type"), "5") << text;
  }
  // Plain values stand as they are.
  EXPECT_EQ(ConnectionStringQuoted("My DSN"), "My DSN");
  EXPECT_EQ(ConnectionStringQuoted("/data/x.mdb"), "/data/x.mdb");
}

TEST(Connection, ClosedConnectionRefusesRowsets) {
  Connection connection;
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_EQ(connection.ConnectionTimeout(), 30);
  EXPECT_EQ(connection.CommandTimeout(), 45);
  EXPECT_THROW(connection.OpenSchema(SchemaKind::Tables), DataAccessError);
  EXPECT_THROW(connection.OpenTable("t"), DataAccessError);
}

TEST(Connection, UnknownProviderAndEmptySourcesFail) {
  for (const std::string text : {"Provider=SQLOLEDB.1;Data Source=x", "Provider=MSDASQL.1;Persist Security Info=True;Data Source=",
                                 "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=;"}) {
    Connection connection;
    connection.SetConnectionString(text);
    EXPECT_THROW(connection.Open("", ""), DataAccessError) << text;
    EXPECT_FALSE(connection.IsOpen()) << text;
  }
}

TEST(Connection, JetProviderOpensItsDataSourcePath) {
  const testing::TemporaryFolder folder;
  Connection connection;
  connection.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=" +
                                 std::filesystem::path(folder.path()).parent_path().string() + ";");
  connection.Open("", "");
  EXPECT_TRUE(connection.IsOpen());
  connection.Close();
}

TEST(Connection, OpenWhenOpenDoesNothingAndCloseCloses) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE t (k INTEGER)");
  Connection connection;
  connection.SetConnectionString(OdbcConnectionStringFor(database.Dsn()));
  connection.Open("", "");
  connection.SetConnectionString(OdbcConnectionStringFor("No Such Source"));
  EXPECT_NO_THROW(connection.Open("", ""));
  auto dataset = connection.OpenTable("t");
  connection.Close();
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_THROW(connection.OpenTable("t"), DataAccessError);
  // A dataset opened before the close still reads its rows.
  dataset->First();
  EXPECT_TRUE(dataset->Eof());
  connection.SetConnectionString(OdbcConnectionStringFor(database.Dsn()));
  connection.Open("", "");
  EXPECT_TRUE(connection.OpenTable("t")->Eof());
}

// The driver manager reads more of each argument than a one-character name
// and a short login hold (a driver without wide calls has the login read
// too, whatever its use of it).
TEST(Connection, OneCharacterSourceNames) {
  struct Case {
    TestDatabase database;
    std::string user, password;
  };
  std::vector<Case> cases;
  cases.push_back({TestDatabase::Sqlite(DsnOptions().WithName("s")), "u", "p"});
  TestDatabase postgres = TestDatabase::Postgres(DsnOptions().WithName("p").WithoutLogin());
  cases.push_back({std::move(postgres), RunningTestServers().postgres_user, RunningTestServers().postgres_password});
  TestDatabase mariadb = TestDatabase::MariaDb(DsnOptions().WithName("m").WithoutLogin());
  cases.push_back({std::move(mariadb), RunningTestServers().mariadb_user, RunningTestServers().mariadb_password});
  for (Case& c : cases) {
    c.database.Execute("CREATE TABLE t (k INTEGER)");
    c.database.Execute("INSERT INTO t VALUES (7)");
    Connection connection;
    connection.SetConnectionString(OdbcConnectionStringFor(c.database.Dsn()));
    connection.Open(c.user, c.password);
    EXPECT_EQ(connection.OpenTable("t")->FieldAt(0).AsInteger(), 7) << c.database.Dsn();
  }
}

TEST(TableReference, ListedNames) {
  struct Case {
    std::string listed;
    bool schemas;
    std::string schema, table;
  };
  const std::vector<Case> cases = {
      {"orders", true, "", "orders"},
      {"sales.orders", true, "sales", "orders"},
      {"sales.order.lines", true, "sales", "order.lines"},
      {"clients.csv", false, "", "clients.csv"},
      {"[MSysObjects]", false, "", "MSysObjects"},
      {"[pg_catalog.pg_class]", true, "pg_catalog", "pg_class"},
      {"[clients.csv]", false, "", "clients.csv"},
      {"[", false, "", "["},
      {"[]", false, "", ""},
  };
  for (const Case& c : cases) {
    const TableReference reference = ParseListedTableName(c.listed, c.schemas);
    EXPECT_EQ(reference.schema, c.schema) << c.listed;
    EXPECT_EQ(reference.table, c.table) << c.listed;
  }
}

TEST(TableReference, QuotingDoublesTheQuoteCharacter) {
  EXPECT_EQ(QuoteIdentifier("order lines", "\""), "\"order lines\"");
  EXPECT_EQ(QuoteIdentifier("say \"hi\"", "\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(QuoteIdentifier("odd`name", "`"), "`odd``name`");
  EXPECT_EQ(QuoteIdentifier("bare", ""), "bare");
  EXPECT_EQ(QualifiedTableName({"sales", "a.b"}, "\""), "\"sales\".\"a.b\"");
}

// A name that quoting cannot keep a name is refused, never pasted.
TEST(TableReference, NamesThatCannotBeQuotedAreRefused) {
  const std::vector<std::pair<std::string, std::string>> refused = {
      {std::string("a\0b", 3), "\""},
      {std::string("x`\0; DROP TABLE v", 18), "`"},
      {"a b", ""},
      {"a;DROP TABLE v", ""},
      {"a\"b", ""},
      {"", ""},
  };
  for (const auto& [name, quote] : refused) {
    EXPECT_THROW(QuoteIdentifier(name, quote), DataAccessError) << name;
  }
  EXPECT_EQ(QuoteIdentifier("plain_Name1", ""), "plain_Name1");
}

TEST(Utf16Text, RoundTripsAndReplacesBrokenUnits) {
  for (const std::string text : {"", "plain", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "\xF0\x9F\x98\x80\xF0\x9D\x84\x9E"}) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  }
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);  // a surrogate pair
  const WideText lone_high = {'a', 0xD83D, 'b'};
  EXPECT_EQ(Utf16ToUtf8(lone_high), "a\xEF\xBF\xBD" "b");
  const WideText lone_low = {0xDE00};
  EXPECT_EQ(Utf16ToUtf8(lone_low), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xFF" "b\xC3")), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

// A reported length runs on to the terminator, never past the buffer.
TEST(Utf16Text, TerminatedLength) {
  struct Case {
    WideText buffer;
    std::size_t reported, capacity, expected;
  };
  const std::vector<Case> cases = {
      {{'a', 'b', 'c', 0, 'x'}, 3, 4, 3},  // reported right
      {{'a', 'b', 'c', 0, 'x'}, 2, 4, 3},  // one unit short
      {{'a', 'b', 'c', 0, 'x'}, 0, 4, 3},
      {{'a', 0, 'c', 0, 'x'}, 3, 4, 3},    // a zero inside the text reported
      {{'a', 'b', 'c', 'd', 'x'}, 2, 4, 4},  // no terminator within the buffer
      {{'a', 'b', 0}, 9, 2, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TerminatedLength(c.buffer.data(), c.reported, c.capacity), c.expected) << c.reported;
  }
}

}  // namespace
}  // namespace quill::testing
