#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fixtures/test_database.h"
#include "platform/connection/connection.h"
#include "platform/text/connection_string.h"

namespace quill::testing {

// The connection string the program builds for an ODBC system data source.
inline std::string OdbcConnectionStringFor(const std::string& dsn) {
  return "Provider=MSDASQL.1;Persist Security Info=True;Data Source=" + ConnectionStringQuoted(dsn);
}

// A connection to the test database's DSN, opened with its login.
inline std::unique_ptr<Connection> OpenSource(const TestDatabase& database) {
  auto connection = std::make_unique<Connection>();
  connection->SetConnectionString(OdbcConnectionStringFor(database.Dsn()));
  connection->Open(database.User(), database.Password());
  return connection;
}

// Every remaining row's field texts; nullopt for NULL. Leaves the dataset at its end.
inline std::vector<std::vector<std::optional<std::string>>> ReadRows(Dataset& dataset) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  for (; !dataset.Eof(); dataset.Next()) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < dataset.FieldCount(); ++i) {
      const Field& field = dataset.FieldAt(i);
      row.push_back(field.IsNull() ? std::nullopt : std::optional(field.RawText()));
    }
  }
  return rows;
}

// The texts of one named column over every remaining row.
inline std::vector<std::string> ColumnTexts(Dataset& dataset, const std::string& column) {
  std::vector<std::string> texts;
  for (; !dataset.Eof(); dataset.Next()) texts.push_back(dataset.FindField(column)->AsString());
  return texts;
}

// A time value: hours (beyond 23 for durations), minutes, seconds,
// nanoseconds and sign; the date parts stay at their defaults.
inline DateTime TimeValue(int hour, int minute, int second, int nanosecond = 0, bool negative = false) {
  DateTime value;
  value.hour = hour;
  value.minute = minute;
  value.second = second;
  value.nanosecond = nanosecond;
  value.negative = negative;
  return value;
}

// One column type of a field-class table: the engine's type text and the
// field it must give.
struct ExpectedField {
  std::string declared_type;
  std::string class_name;
  FieldKind kind;
};

// Creates the table `name` with one column per case (c0, c1, ...) and checks
// the fields that opening `listed_name` gives.
inline void ExpectFieldClasses(TestDatabase& database, const std::string& name, const std::string& listed_name,
                               const std::vector<ExpectedField>& cases) {
  TableDescription table{name, {}, {}, {}, ""};
  for (std::size_t i = 0; i < cases.size(); ++i) table.columns.push_back({"c" + std::to_string(i), cases[i].declared_type});
  database.CreateTable(table);
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable(listed_name);
  ASSERT_EQ(dataset->FieldCount(), static_cast<int>(cases.size()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Field& field = dataset->FieldAt(static_cast<int>(i));
    EXPECT_EQ(field.Name(), "c" + std::to_string(i));
    EXPECT_EQ(field.Index(), static_cast<int>(i));
    EXPECT_EQ(field.ClassName(), cases[i].class_name) << cases[i].declared_type;
    EXPECT_EQ(field.Kind(), cases[i].kind) << cases[i].declared_type;
  }
}

}  // namespace quill::testing
