#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "platform/connection/connection.h"

namespace quill::testing {

// The connection string the program builds for an ODBC system data source.
inline std::string OdbcConnectionStringFor(const std::string& dsn) {
  return "Provider=MSDASQL.1;Persist Security Info=True;Data Source=" + dsn;
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

}  // namespace quill::testing
