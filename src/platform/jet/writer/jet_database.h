#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/formatting/date_time.h"
#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/data_page_writer.h"
#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/long_value_writer.h"
#include "platform/jet/writer/page_file.h"
#include "platform/jet/writer/row_format.h"

namespace quill::jet {

// One table of the database being written. Its rows are on data pages
// already; what stays in memory is its definition and, once it has a primary
// key, the key of every row.
struct JetTable {
  std::string name;
  bool system = false;
  std::uint32_t catalog_flags = 0;
  std::vector<ColumnDefinition> columns;
  std::uint32_t definition_page = 0;
  std::unique_ptr<DataPageWriter> rows;
  std::uint32_t row_count = 0;

  std::optional<std::string> key_name;
  std::vector<std::size_t> key_columns;   // in the key's order
  std::deque<std::string> keys;           // index key of every row, in row order
  std::vector<std::uint32_t> key_rows;    // row pointer of every key
  std::vector<std::uint32_t> key_order;   // keys in index order, while no row came after the key
  std::unordered_set<std::string_view> key_set;  // built when the first row after the key arrives

  const ColumnDefinition* FindColumn(std::string_view column_name) const;
};

// The database file being written: created empty with its system tables,
// filled table by table and row by row, laid out complete by Close. Until
// Close the file has a temporary name; destroying an unclosed database
// removes it.
class JetDatabase {
 public:
  JetDatabase(const std::string& path, JetVersion version);
  ~JetDatabase();

  const JetFormat& format() const { return format_; }
  const std::string& path() const { return file_.target_path(); }
  bool closed() const { return closed_; }

  // Checks the names and the layout, then adds the table.
  JetTable& AddTable(const std::string& name, std::vector<ColumnDefinition> columns);
  JetTable* FindTable(std::string_view name);

  // Adds the primary key over its columns, in the key's order, checking the
  // rows already stored: no Null in a key column and no two equal keys. The
  // key columns become required.
  void AddPrimaryKey(JetTable& table, const std::string& key_name, const std::vector<std::string>& column_names);
  void AddPrimaryKey(JetTable& table, const std::string& key_name, const std::string& column_name) {
    AddPrimaryKey(table, key_name, std::vector<std::string>{column_name});
  }

  // Stores one row of converted values (one per column).
  // Long values in cells are replaced by their references.
  void AddRow(JetTable& table, std::vector<CellValue>& cells);
  void AddRow(JetTable& table, std::vector<CellValue>&& cells) { AddRow(table, cells); }

  // Lays out indexes, usage maps, table definitions and the catalog, then
  // gives the file its name. Nothing can be added afterwards.
  void Close();

 private:
  void CheckOpen() const;
  // The names of key columns for messages: "a", "a, b".
  static std::string KeyColumnNames(const JetTable& table, const std::vector<std::size_t>& numbers);
  void WriteCatalogRows(JetTable& catalog);
  void WriteTableTail(JetTable& table, DataPageWriter& maps);

  const JetFormat& format_;
  PageFile file_;
  LongValueWriter long_values_;
  std::deque<JetTable> tables_;  // system tables first
  DateTime created_;
  Bytes row_buffer_;
  bool closed_ = false;
};

}  // namespace quill::jet
