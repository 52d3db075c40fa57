// Which sources the Jet stand-in reads, and what it opens for each.
#include "sources/jet_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "fixtures/odbc_configuration.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

TEST(JetSource, TheJetFamilysSourcesByDriverOrByTheirDatabaseEntry) {
  const fs::path folder = fs::path(testing::OdbcConfigurationFolder()) / "text folder";
  fs::create_directories(folder);
  const std::string texts = folder.string();
  const std::string mdbtools = "/usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so";
  const std::string sqlite = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
  const std::string postgres = "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so";
  struct Case {
    const char* what;
    std::string driver;
    std::string dbq;
    std::string database;
    std::optional<std::string> opened;
  };
  const Case cases[] = {
      {"the Jet driver opens DBQ", "/opt/odbc/odbcjt32.so", "/data/a.mdb", "/data/other.db", "/data/a.mdb"},
      {"the Jet driver with nothing to open", "C:\\WINDOWS\\ODBCJT32.DLL", "", "", ""},
      {"MDBTools by its library", mdbtools, "/data/shop.mdb", "/data/shop.mdb", "/data/shop.mdb"},
      {"MDBTools's wide library", "/usr/lib/x86_64-linux-gnu/odbc/libmdbodbcW.so", "/d/x.mdb", "/d/x.mdb",
       "/d/x.mdb"},
      {"MDBTools by its section's name", "MDBTools", "/d/y.accdb", "/d/y.accdb", "/d/y.accdb"},
      {"MDBTools with a text folder", mdbtools, texts, texts, texts},
      {"MDBTools without a database", mdbtools, "", "", ""},
      {"any driver on an Access file", sqlite, "/d/shop.MDB", "/d/shop.MDB", "/d/shop.MDB"},
      {"any driver on an Access 2007 file", sqlite, "/d/shop.accdb", "/d/shop.accdb", "/d/shop.accdb"},
      {"any driver on a workbook", postgres, "/d/book.xls", "/d/book.xls", "/d/book.xls"},
      {"any driver on a text folder", sqlite, texts, texts, texts},
      {"Database decides before DBQ", sqlite, texts, "/d/file.sqlite", std::nullopt},
      {"DBQ alone", "/opt/some.so", "/d/book.xls", "", "/d/book.xls"},
      {"a SQLite file", sqlite, "/d/file.db", "/d/file.db", std::nullopt},
      {"a server's database", postgres, "shop", "shop", std::nullopt},
      {"a relative folder name is a server's database", postgres, "text folder", "text folder", std::nullopt},
      {"a workbook of a newer kind", sqlite, "/d/book.xlsx", "/d/book.xlsx", std::nullopt},
      {"a missing folder", sqlite, "/nonexistent/folder", "/nonexistent/folder", std::nullopt},
      {"mixed case is no Jet driver", "/opt/OdbcJt32.so", "/d/a.db", "/d/a.db", std::nullopt},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(JetSourcePath(test.driver, test.dbq, test.database), test.opened) << test.what;
  }
}

TEST(JetSource, MdbToolsDriverNames) {
  struct Case {
    std::string driver;
    bool mdbtools;
  };
  const Case cases[] = {
      {"/usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so", true},
      {"libmdbodbc.so", true},
      {"/usr/lib/x86_64-linux-gnu/odbc/libmdbodbcW.so", true},
      {"mdbtools", true},
      {"/opt/libmdbodbc-wrapper/libsqlite3odbc.so", false},
      {"MDBTools Driver", false},
      {"", false},
  };
  for (const Case& test : cases) EXPECT_EQ(IsMdbToolsDriver(test.driver), test.mdbtools) << test.driver;
}

}  // namespace
}  // namespace quill
