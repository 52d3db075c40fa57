#include "platform/jet/writer/jet_database.h"

#include <algorithm>
#include <ctime>
#include <numeric>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/column_properties.h"
#include "platform/jet/writer/database_header.h"
#include "platform/jet/writer/index_key.h"
#include "platform/jet/writer/index_writer.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/system_catalog.h"
#include "platform/jet/writer/table_definition_writer.h"
#include "platform/jet/writer/text_encoding.h"
#include "platform/jet/writer/usage_map.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill::jet {
namespace {

// Names compare as the engine compares them: ASCII letters without case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

DateTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  DateTime result;
  result.year = parts.tm_year + 1900;
  result.month = parts.tm_mon + 1;
  result.day = parts.tm_mday;
  result.hour = parts.tm_hour;
  result.minute = parts.tm_min;
  result.second = parts.tm_sec;
  return result;
}

constexpr std::uint32_t kNoPage = 0;

}  // namespace

const ColumnDefinition* JetTable::FindColumn(std::string_view column_name) const {
  for (const ColumnDefinition& column : columns) {
    if (SameName(column.name, column_name)) return &column;
  }
  return nullptr;
}

JetDatabase::JetDatabase(const std::string& path, JetVersion version)
    : format_(FormatOf(version)),
      file_(path, format_.page_size),
      long_values_(file_, format_),
      created_(Now()) {
  file_.Allocate(2);  // the header page and the global usage map
  SystemTable catalog = CatalogTable();
  std::vector<SystemTable> system = OtherSystemTables();
  system.insert(system.begin(), std::move(catalog));
  for (SystemTable& table : system) {
    JetTable& added = tables_.emplace_back();
    added.name = table.name;
    added.system = true;
    added.catalog_flags = table.catalog_flags;
    added.columns = std::move(table.columns);
    added.definition_page = file_.Allocate();  // MSysObjects lands on page 2, as readers expect
    added.rows = std::make_unique<DataPageWriter>(file_, format_, added.definition_page);
  }
}

JetDatabase::~JetDatabase() = default;

void JetDatabase::CheckOpen() const {
  if (closed_) throw JetWriteError("The database '" + path() + "' is closed.");
}

JetTable* JetDatabase::FindTable(std::string_view name) {
  for (JetTable& table : tables_) {
    if (SameName(table.name, name)) return &table;
  }
  return nullptr;
}

JetTable& JetDatabase::AddTable(const std::string& name, std::vector<ColumnDefinition> columns) {
  CheckOpen();
  CheckObjectName(name, "table");
  if (!format_.IsJet4()) EncodeJet3Text(DecodeUtf8(name), name);
  if (FindTable(name) != nullptr) throw JetWriteError("The table '" + name + "' already exists.");
  if (columns.empty()) throw JetWriteError("The table '" + name + "' has no columns.");
  if (columns.size() > 255) throw JetWriteError("The table '" + name + "' has more than 255 columns.");
  for (std::size_t i = 0; i < columns.size(); ++i) {
    for (std::size_t k = 0; k < i; ++k) {
      if (SameName(columns[i].name, columns[k].name)) {
        throw JetWriteError("The table '" + name + "' has two columns named '" + columns[i].name + "'.");
      }
    }
  }
  LayOutColumns(columns);
  JetTable& table = tables_.emplace_back();
  table.name = name;
  table.columns = std::move(columns);
  table.definition_page = file_.Allocate();
  table.rows = std::make_unique<DataPageWriter>(file_, format_, table.definition_page);
  return table;
}

std::string JetDatabase::KeyColumnNames(const JetTable& table, const std::vector<std::size_t>& numbers) {
  std::string names;
  for (const std::size_t number : numbers) {
    if (!names.empty()) names += ", ";
    names += table.columns[number].name;
  }
  return names;
}

void JetDatabase::AddPrimaryKey(JetTable& table, const std::string& key_name,
                                const std::vector<std::string>& column_names) {
  CheckOpen();
  if (table.key_name) throw JetWriteError("The table '" + table.name + "' already has a primary key.");
  CheckObjectName(key_name, "index");
  if (column_names.empty()) throw JetWriteError("A primary key needs at least one column.");
  if (column_names.size() > kMaxKeyColumns) {
    throw JetWriteError("A primary key holds at most " + std::to_string(kMaxKeyColumns) + " columns.");
  }
  std::vector<const ColumnDefinition*> columns;
  std::vector<std::size_t> numbers;
  for (const std::string& column_name : column_names) {
    const ColumnDefinition* column = table.FindColumn(column_name);
    if (column == nullptr) {
      throw JetWriteError("The table '" + table.name + "' has no column '" + column_name + "' for its primary key.");
    }
    if (!IsIndexable(column->type)) {
      throw JetWriteError("The column '" + column->name + "' is a memo or OLE column and cannot be a primary key.");
    }
    for (const ColumnDefinition* earlier : columns) {
      if (earlier == column) throw JetWriteError("The column '" + column->name + "' is twice in the primary key.");
    }
    columns.push_back(column);
    numbers.push_back(column->number);
  }
  const std::string names = KeyColumnNames(table, numbers);

  // The rows stored so far give the keys; nothing changes until all are good.
  // A row's key is the keys of its key columns one after the other; each is
  // self-delimiting, so the whole compares column by column.
  std::deque<std::string> keys;
  std::vector<std::uint32_t> key_rows;
  bool has_null = false;
  table.rows->ForEachRow([&](std::uint32_t pointer, const std::uint8_t* row, std::size_t size) {
    std::string& key = keys.emplace_back();
    for (const ColumnDefinition* column : columns) {
      const CellValue cell = DecodeCell(row, size, table.columns, *column, format_);
      if (!cell.present) has_null = true;
      const Bytes part = IndexKey(*column, cell, format_);
      key.append(part.begin(), part.end());
    }
    key_rows.push_back(pointer);
  });
  if (has_null) {
    throw JetWriteError("The primary key cannot be set on table '" + table.name + "': its column(s) '" + names +
                        "' hold Null values.");
  }
  std::vector<std::uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  // Rows often arrive in key order already; then one pass shows it.
  bool ascending = true;
  for (std::size_t i = 1; i < keys.size() && ascending; ++i) ascending = keys[i - 1] < keys[i];
  if (!ascending) {
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  }
  for (std::size_t i = 1; i < order.size(); ++i) {
    if (keys[order[i]] == keys[order[i - 1]]) {
      throw JetWriteError("The primary key cannot be set on table '" + table.name + "': its column(s) '" + names +
                          "' hold the same value in two rows.");
    }
  }
  table.keys = std::move(keys);
  table.key_rows = std::move(key_rows);
  table.key_order = std::move(order);
  // Key columns are required, as the format's primary keys are.
  for (const std::size_t number : numbers) table.columns[number].nullable = false;
  table.key_columns = std::move(numbers);
  table.key_name = key_name;
}

void JetDatabase::AddRow(JetTable& table, std::vector<CellValue>& cells) {
  CheckOpen();
  for (const ColumnDefinition& column : table.columns) {
    if (!column.nullable && !cells[column.number].present) {
      throw JetWriteError("The column '" + column.name + "' of table '" + table.name + "' cannot hold Null.");
    }
  }
  std::string key;
  if (table.key_name) {
    for (const std::size_t number : table.key_columns) {
      const ColumnDefinition& column = table.columns[number];
      const CellValue& cell = cells[number];
      if (!cell.present) {
        throw JetWriteError("The primary key column '" + column.name + "' of table '" + table.name +
                            "' cannot hold Null.");
      }
      const Bytes bytes = IndexKey(column, cell, format_);
      key.append(bytes.begin(), bytes.end());
    }
    if (table.key_set.empty() && !table.keys.empty()) {
      for (const std::string& existing : table.keys) table.key_set.insert(existing);
    }
    if (table.key_set.count(key) != 0) {
      throw JetWriteError("The table '" + table.name + "' already has a row with this primary key value in column(s) '" +
                          KeyColumnNames(table, table.key_columns) + "'.");
    }
  }
  // Long values first: their references go into the row.
  std::size_t estimate = 0;
  for (const ColumnDefinition& column : table.columns) {
    const CellValue& cell = cells[column.number];
    if (!cell.present) continue;
    estimate += column.IsLongValue() ? std::min<std::size_t>(cell.bytes.size(), LongValueWriter::kInlineLimit) + 12
                                     : cell.bytes.size();
  }
  if (estimate + 8 + 4 * table.columns.size() > table.rows->MaxRowSize()) {
    throw JetWriteError("The row is too large for table '" + table.name + "'.");
  }
  for (const ColumnDefinition& column : table.columns) {
    CellValue& cell = cells[column.number];
    if (column.IsLongValue() && cell.present) cell.bytes = long_values_.Store(cell.bytes);
  }
  EncodeRow(table.columns, cells, format_, row_buffer_);
  const std::uint32_t pointer = table.rows->Add(row_buffer_);
  ++table.row_count;
  if (table.key_name) {
    table.keys.push_back(std::move(key));
    table.key_rows.push_back(pointer);
    table.key_set.insert(table.keys.back());
    table.key_order.clear();
  }
}

void JetDatabase::WriteCatalogRows(JetTable& catalog) {
  const std::vector<ColumnDefinition>& columns = catalog.columns;
  auto add = [&](std::vector<std::pair<std::string, Variant>> values) {
    values.emplace_back("DateCreate", created_);
    values.emplace_back("DateUpdate", created_);
    const std::vector<Variant> row = CatalogRow(columns, values);
    std::vector<CellValue> cells;
    for (std::size_t i = 0; i < columns.size(); ++i) cells.push_back(ConvertValue(row[i], columns[i], format_));
    AddRow(catalog, cells);
  };
  using Values = std::vector<std::pair<std::string, Variant>>;
  add(Values{{"Id", kTablesContainerId}, {"ParentId", kRootId}, {"Name", std::string("Tables")},
             {"Type", kContainerObject}, {"Flags", std::int64_t{0}}});
  add(Values{{"Id", kDatabasesContainerId}, {"ParentId", kRootId}, {"Name", std::string("Databases")},
             {"Type", kContainerObject}, {"Flags", std::int64_t{0}}});
  add(Values{{"Id", kRelationshipsContainerId}, {"ParentId", kRootId}, {"Name", std::string("Relationships")},
             {"Type", kContainerObject}, {"Flags", std::int64_t{0}}});
  add(Values{{"Id", kDatabaseObjectId}, {"ParentId", kDatabasesContainerId}, {"Name", std::string("MSysDb")},
             {"Type", kDatabaseObject}, {"Flags", std::int64_t{0}}});
  for (const JetTable& table : tables_) {
    Values values{{"Id", static_cast<std::int64_t>(table.definition_page)},
                  {"ParentId", kTablesContainerId},
                  {"Name", table.name},
                  {"Type", kTableObject},
                  {"Flags", static_cast<std::int64_t>(static_cast<std::int32_t>(table.catalog_flags))}};
    if (std::optional<Bytes> properties = BuildColumnProperties(table.columns, format_)) {
      values.emplace_back("LvProp", std::move(*properties));
    }
    add(std::move(values));
  }
}

void JetDatabase::WriteTableTail(JetTable& table, DataPageWriter& maps) {
  table.rows->Flush();
  TableDefinition definition;
  definition.system = table.system;
  definition.row_count = table.row_count;
  definition.columns = table.columns;
  definition.used_pages = maps.Add(BuildUsageMap(table.rows->pages(), file_, format_));
  definition.free_pages = maps.Add(BuildUsageMap({}, file_, format_));
  if (table.key_name) {
    std::vector<IndexEntry> entries;
    entries.reserve(table.keys.size());
    if (table.key_order.size() == table.keys.size()) {
      // Sorted when the key was added, and no row came after it.
      for (std::uint32_t i : table.key_order) entries.push_back({table.keys[i], table.key_rows[i], 0});
    } else {
      for (std::size_t i = 0; i < table.keys.size(); ++i) entries.push_back({table.keys[i], table.key_rows[i], 0});
      // Whole entries sort as their bytes: key first, then the row pointer.
      std::sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.key != b.key ? a.key < b.key : a.row_pointer < b.row_pointer;
      });
    }
    table.key_order = std::vector<std::uint32_t>();
    table.key_rows = std::vector<std::uint32_t>();
    const IndexPages index = WriteIndex(entries, table.definition_page, file_, format_);
    PrimaryKeyDefinition key;
    key.name = *table.key_name;
    for (const std::size_t number : table.key_columns) key.column_numbers.push_back(static_cast<std::uint16_t>(number));
    key.root_page = index.root;
    key.used_pages = maps.Add(BuildUsageMap(index.pages, file_, format_));
    definition.key = key;
    table.keys.clear();
    table.key_set.clear();
  }
  WriteTableDefinition(definition, table.definition_page, file_, format_);
}

void JetDatabase::Close() {
  CheckOpen();
  JetTable& catalog = tables_.front();
  WriteCatalogRows(catalog);
  long_values_.Flush();
  DataPageWriter maps(file_, format_, kNoPage);
  for (JetTable& table : tables_) WriteTableTail(table, maps);
  maps.Flush();
  // Page 1: the map of every page in use.
  std::vector<std::uint32_t> all(file_.page_count());
  std::iota(all.begin(), all.end(), 0);
  const Bytes global = BuildUsageMap(all, file_, format_);
  std::vector<std::uint8_t> page(format_.page_size, 0);
  page[0] = 0x01;
  page[1] = 0x01;
  PutU16(&page[format_.data_row_count_offset], 1);
  const std::size_t top = format_.page_size - global.size();
  PutU16(&page[format_.data_header_size], static_cast<std::uint32_t>(top));
  PutU16(&page[2], static_cast<std::uint32_t>(top - format_.data_header_size - 2));
  std::copy(global.begin(), global.end(), page.begin() + static_cast<std::ptrdiff_t>(top));
  file_.Write(1, page.data());
  file_.Write(0, BuildDatabaseHeader(format_).data());
  file_.Commit();
  closed_ = true;
}

}  // namespace quill::jet
