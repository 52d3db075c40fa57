// An empty text in a key column, which no key may hold as NULL: MS SQL and
// Pervasive write it '' in the key and NULL elsewhere, as with the key of
// every other dialect (loaded by real servers in TextKeyRoundTrip).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialect_golden.h"
#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

const TableDescription kKeyed{"keyed",
                              {{"k", "VARCHAR(10)"}, {"note", "TEXT"}},
                              {"k"},
                              {{"''", "''"}, {"'a'", "NULL"}}};

TEST(EmptyTextKeyGolden, MsSqlAndPervasiveKeepTheEmptyKey) {
  TestDatabase mssql_source = TestDatabase::Sqlite();
  RunDialectGoldenCases(mssql_source, TargetDialect::MsSql,
                        {{"MS SQL",
                          kKeyed,
                          DataOnly,
                          {"INSERT INTO [keyed] ([k],[note])\r\n   VALUES ('',NULL)",
                           "INSERT INTO [keyed] ([k],[note])\r\n   VALUES ('a',NULL)"}}});
  TestDatabase pervasive_source = TestDatabase::Sqlite();
  RunDialectGoldenCases(pervasive_source, TargetDialect::Pervasive,
                        {{"Pervasive",
                          kKeyed,
                          DataOnly,
                          {"INSERT INTO \"keyed\" VALUES ('',NULL);", "INSERT INTO \"keyed\" VALUES ('a',NULL);"}}});
}

}  // namespace
}  // namespace quill::testing
