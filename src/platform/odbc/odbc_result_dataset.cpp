#include "platform/odbc/odbc_result_dataset.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/dataset/data_access_error.h"
#include "platform/odbc/time_text.h"

namespace quill {
namespace {

// One block of bound rows takes about this much memory (each of the two
// sets), and never more rows than kMaxBlockRows. Blocks are large because
// every block is handed between two threads, and a hand-over waits for a
// thread to wake.
constexpr SQLLEN kBlockBytes = 4 * 1024 * 1024;
constexpr SQLULEN kMaxBlockRows = 8192;
// Reading in pages, a page is one block: the worker runs the next page's
// statement and fetches it whole while the caller works on the current one
// (the next page starts after the current one's last key, so it can only
// be asked for once that page is fetched). A block of narrow rows may then
// hold more rows, so that a table takes fewer statements.
constexpr SQLULEN kMaxPagedBlockRows = 1 << 16;
// A bound value that outgrows this is read in chunks instead.
constexpr SQLLEN kMaxBoundBytes = 64 * 1024;
constexpr std::size_t kChunkBytes = 64 * 1024;
// The first buffer of a long column bound to row arrays.
constexpr SQLLEN kFirstLongBoundBytes = 256;
// Reading in pages: a page holds about this many bytes of values, and never
// more rows than kMaxPageRows. The first page is small and each next one at
// most kPageGrowth times larger, so that a page is sized by rows already
// read: a table of large values never has them all asked for at once. Each
// row costs the driver about kPageRowOverhead bytes beyond its values.
constexpr double kPageBytes = 4.0 * 1024 * 1024;
constexpr SQLULEN kFirstPageRows = 64;
constexpr SQLULEN kPageGrowth = 8;
constexpr SQLULEN kMaxPageRows = 1 << 20;
constexpr double kPageRowOverhead = 32;
// The text of a time: "-838:59:59.123456789" and room to spare, in either
// form of characters.
constexpr SQLLEN kTimeTextBytes = 64;
// The text of a double: "-2.2250738585072014e-308" and room to spare.
constexpr SQLLEN kFloatTextBytes = 64;

// A driver that speaks UTF-8 through its narrow calls (SQLite) is asked with
// them: the driver manager's widening would take each byte for a character.
std::string ColumnText(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field, bool narrow) {
  if (narrow) {
    SQLCHAR narrow[1024] = {};
    SQLSMALLINT narrow_length = 0;
    if (!SQL_SUCCEEDED(SQLColAttribute(statement, column, field, narrow, sizeof(narrow), &narrow_length, nullptr)))
      return {};
    const std::size_t bytes = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(narrow_length, 0)),
                                                    sizeof(narrow) - 1);
    return std::string(reinterpret_cast<const char*>(narrow), bytes);
  }
  SQLWCHAR buffer[512] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, field, buffer, sizeof(buffer), &length, nullptr))) return {};
  const std::size_t chars = TerminatedLength(buffer, std::max<SQLSMALLINT>(length, 0) / sizeof(SQLWCHAR),
                                             std::size(buffer) - 1);
  return Utf16ToUtf8(buffer, chars);
}

// Asks for a static cursor, which a driver that holds a whole result gives
// at no cost; whether it did.
bool ScrollableCursor(SQLHSTMT statement) {
  if (!SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC),
                                     0))) {
    return false;
  }
  SQLULEN type = SQL_CURSOR_FORWARD_ONLY;
  return SQL_SUCCEEDED(SQLGetStmtAttrW(statement, SQL_ATTR_CURSOR_TYPE, &type, 0, nullptr)) &&
         type == SQL_CURSOR_STATIC;
}

SQLLEN ColumnNumber(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  SQLLEN value = 0;
  if (!SQL_SUCCEEDED(SQLColAttributeW(statement, column, field, nullptr, 0, nullptr, &value))) return 0;
  return value;
}

DateTime ToDateTime(const SQL_TIMESTAMP_STRUCT& value, FieldKind kind) {
  DateTime result;
  if (kind != FieldKind::ftTime) {
    result.year = value.year;
    result.month = value.month;
    result.day = value.day;
  }
  if (kind != FieldKind::ftDate) {
    result.hour = value.hour;
    result.minute = value.minute;
    result.second = value.second;
    result.nanosecond = static_cast<int>(value.fraction);
  }
  return result;
}

std::string GuidText(const SQLGUID& guid) {
  char text[40];
  std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

}  // namespace

SQLSMALLINT OdbcResultDataset::CType(ValueForm form) const {
  switch (form) {
    case ValueForm::Integer: return SQL_C_SBIGINT;
    case ValueForm::UnsignedInteger: return SQL_C_UBIGINT;
    case ValueForm::Float: return SQL_C_DOUBLE;
    case ValueForm::Boolean: return SQL_C_BIT;
    case ValueForm::DateTime: return SQL_C_TYPE_TIMESTAMP;
    case ValueForm::Decimal: return SQL_C_CHAR;
    case ValueForm::Time:
    case ValueForm::DateText:
    case ValueForm::Text: return options_.text_as_utf8 ? SQL_C_CHAR : SQL_C_WCHAR;
    case ValueForm::Bytes: return SQL_C_BINARY;
    case ValueForm::Guid: return SQL_C_GUID;
  }
  return SQL_C_WCHAR;
}

// Room a bound value keeps for its terminator.
SQLLEN OdbcResultDataset::TerminatorBytes(ValueForm form) const {
  if (form == ValueForm::Text || form == ValueForm::Time || form == ValueForm::DateText) {
    return options_.text_as_utf8 ? 1 : static_cast<SQLLEN>(sizeof(SQLWCHAR));
  }
  if (form == ValueForm::Decimal) return 1;
  return 0;
}

SQLLEN OdbcResultDataset::WideLength(const unsigned char* value, SQLLEN reported, SQLLEN capacity) const {
  if (!options_.wide_length_from_terminator) return reported;
  const std::size_t units = TerminatedLength(reinterpret_cast<const SQLWCHAR*>(value),
                                             static_cast<std::size_t>(std::max<SQLLEN>(reported, 0)) / sizeof(SQLWCHAR),
                                             static_cast<std::size_t>(capacity) / sizeof(SQLWCHAR));
  return static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
}

OdbcResultDataset::OdbcResultDataset(std::shared_ptr<OdbcSession> session, Execute execute, Options options)
    : session_(std::move(session)), execute_(std::move(execute)), options_(std::move(options)) {
  paging_ = options_.key_paging.has_value();
  First();
}

OdbcResultDataset::~OdbcResultDataset() {
  side_count_.reset();
  StopFetchAhead();
  const std::lock_guard lock(session_->calls());
  statement_.reset();
  page_ahead_.statement.reset();
  snapshot_.reset();
}

// The message of a table whose columns changed while it was read: its rows
// could only be read with the columns shifted.
constexpr char kColumnsChanged[] = "The table was changed while it was read: its columns are no longer those it had.";

void OdbcResultDataset::Execute_() {
  StopFetchAhead();
  const std::lock_guard lock(session_->calls());
  eof_ = true;  // stays so when the statement fails
  const bool first_run = columns_.empty();
  if (!snapshot_ && options_.snapshot.kind != SnapshotKind::kNone) {
    snapshot_ = std::make_unique<TableSnapshot>(*session_, options_.snapshot);
    // Pages outside one view of the table could read a row twice or lose
    // one: without it the table is read with the one statement.
    if (!snapshot_->held() && first_run) paging_ = false;
  }
  page_ahead_ = PageAhead{};
  pages_ahead_ = false;
  page_opened_ = false;
  for (;;) {
    statement_.reset();
    statement_ = std::make_unique<OdbcHandle>(SQL_HANDLE_STMT, session_->connection());
    const SQLHSTMT statement = statement_->get();
    WithoutEscapeClauses(statement);
    // A request only: drivers without query time-outs run without one.
    SQLSetStmtAttrW(statement, SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(session_->command_timeout_seconds())), 0);
    const SQLRETURN ran = RunFirstStatement(statement);
    try {
      statement_->Check(ran, "The data source refused the statement.");
    } catch (const DataAccessError&) {
      if (snapshot_) snapshot_->EndAfterFailure();
      throw;
    }
    if (columns_.empty()) {
      DescribeColumns();
    } else if (!SameColumns(statement)) {
      throw DataAccessError(kColumnsChanged);
    }
    BindColumns();
    if (!paging_ || KeyBound()) break;
    // The rows must come in the one order every time they are read.
    if (!first_run) throw DataAccessError("The key of the table could not be read to page through its rows.");
    paging_ = false;
  }
  block_start_ = 0;
  rows_fetched_ = {};
  set_ = 0;
  position_ = 0;
  eof_ = false;
  // Pages ahead need a page of one block, fetched on the worker thread.
  pages_ahead_ = paging_ && scrollable_ && fetch_ahead_;
  if (pages_ahead_) {
    page_ahead_.statement = std::make_unique<OdbcHandle>(SQL_HANDLE_STMT, session_->connection());
    const SQLHSTMT spare = page_ahead_.statement->get();
    WithoutEscapeClauses(spare);
    SQLSetStmtAttrW(spare, SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(session_->command_timeout_seconds())), 0);
    pages_ahead_ = ScrollableCursor(spare);
  }
  if (pages_ahead_) OpenPage(statement_->get(), page_rows_);
}

SQLRETURN OdbcResultDataset::RunFirstStatement(SQLHSTMT statement) {
  after_key_.clear();
  page_rows_ = kFirstPageRows;
  page_delivered_ = 0;
  page_bytes_ = 0;
  if (!paging_) return execute_(statement);
  scrollable_ = ScrollableCursor(statement);
  WideText text = Utf8ToUtf16(PageStatement(*options_.key_paging, {}, page_rows_));
  return SQLExecDirectW(statement, text.data(), SQL_NTS);
}

bool OdbcResultDataset::KeyBound() {
  if (key_indexes_.empty()) {
    for (const std::string& name : options_.key_paging->key_columns) {
      const auto column = std::find_if(columns_.begin(), columns_.end(),
                                       [&name](const Column& c) { return c.source_name == name; });
      if (column == columns_.end()) return false;
      key_indexes_.push_back(static_cast<std::size_t>(column - columns_.begin()));
    }
  }
  return std::all_of(key_indexes_.begin(), key_indexes_.end(), [this](std::size_t index) {
    const Column& column = columns_[index];
    const bool text = column.type.form == ValueForm::Text || column.type.form == ValueForm::Time ||
                      column.type.form == ValueForm::DateText;
    return !column.get_data && KeyLiteralForm(column.type.form) && (!text || options_.text_as_utf8);
  });
}

SQLRETURN OdbcResultDataset::RunNextPage(SQLHSTMT statement) {
  // A full page whose last key gave no literal: going on would read the
  // table again from its start.
  if (after_key_.empty()) return SQL_ERROR;
  SQLFreeStmt(statement, SQL_CLOSE);
  const double row_bytes = page_bytes_ / static_cast<double>(std::max<SQLULEN>(page_delivered_, 1)) + kPageRowOverhead;
  SQLULEN rows = std::clamp<SQLULEN>(static_cast<SQLULEN>(kPageBytes / row_bytes), 1,
                                     std::min(page_rows_ * kPageGrowth, kMaxPageRows));
  // One block: the page is fetched ahead whole.
  if (array_size_ > 1) rows = std::min(rows, array_size_);
  page_rows_ = rows;
  page_delivered_ = 0;
  page_bytes_ = 0;
  WideText text = Utf8ToUtf16(PageStatement(*options_.key_paging, after_key_, page_rows_));
  after_key_.clear();
  bound_set_ = -1;
  const SQLRETURN result = SQLExecDirectW(statement, text.data(), SQL_NTS);
  if (SQL_SUCCEEDED(result) && !SameColumns(statement)) {
    columns_changed_ = true;
    return SQL_ERROR;
  }
  return result;
}

bool OdbcResultDataset::SameColumns(SQLHSTMT statement) const {
  SQLSMALLINT count = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &count)) || count != static_cast<SQLSMALLINT>(columns_.size())) {
    return false;
  }
  for (SQLUSMALLINT number = 1; number <= count; ++number) {
    const Column& column = columns_[number - 1];
    if (ColumnText(statement, number, SQL_DESC_NAME, options_.narrow_names) != column.source_name ||
        ColumnNumber(statement, number, SQL_DESC_CONCISE_TYPE) != column.described_type) {
      return false;
    }
  }
  return true;
}

void OdbcResultDataset::CountPageRows(int set) {
  const SQLULEN rows = array_size_ == 1 && rows_fetched_[set] == 0 ? 1 : rows_fetched_[set];
  if (rows == 0) return;
  page_delivered_ += rows;
  for (const Column& column : columns_) {
    if (column.get_data) continue;
    const ValueForm form = column.type.form;
    if (form != ValueForm::Text && form != ValueForm::Bytes && form != ValueForm::Decimal && form != ValueForm::Time) {
      page_bytes_ += static_cast<double>(column.type.bound_bytes) * static_cast<double>(rows);
      continue;
    }
    for (SQLULEN row = 0; row < rows; ++row) {
      const SQLLEN indicator = column.indicators[set][row];
      page_bytes_ += static_cast<double>(indicator >= 0 ? indicator : indicator == SQL_NO_TOTAL ? column.type.bound_bytes : 0);
    }
  }
  if (page_delivered_ < page_rows_) return;
  after_key_.clear();
  for (std::size_t index : key_indexes_) {
    const Column& column = columns_[index];
    const SQLULEN last = rows - 1;
    const std::optional<std::string> literal =
        KeyLiteral(column.type.form, column.type.kind, column.values[set].data() + last * column.type.bound_bytes,
                   column.indicators[set][last]);
    if (!literal) {
      after_key_.clear();
      return;
    }
    after_key_.push_back(*literal);
  }
}

void OdbcResultDataset::DescribeColumns() {
  const SQLHSTMT statement = statement_->get();
  SQLSMALLINT count = 0;
  statement_->Check(SQLNumResultCols(statement, &count), "The data source gave no columns.");
  if (count <= 0) throw DataAccessError("The data source returned no rows for the statement.");
  for (SQLUSMALLINT number = 1; number <= count; ++number) {
    OdbcColumnDescription description;
    description.name = ColumnText(statement, number, SQL_DESC_NAME, options_.narrow_names);
    description.concise_type = ColumnNumber(statement, number, SQL_DESC_CONCISE_TYPE);
    description.is_unsigned = ColumnNumber(statement, number, SQL_DESC_UNSIGNED) == SQL_TRUE;
    description.auto_increment = ColumnNumber(statement, number, SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE;
    description.type_name = ColumnText(statement, number, SQL_DESC_TYPE_NAME, options_.narrow_names);
    description.length = ColumnNumber(statement, number, SQL_DESC_LENGTH);
    description.precision = ColumnNumber(statement, number, SQL_DESC_PRECISION);
    description.scale = ColumnNumber(statement, number, SQL_DESC_SCALE);
    // A binary column's size is in bytes; MariaDB's driver gives BIT(n) the
    // length n in bits, and the bytes as its octet length.
    if (description.concise_type == SQL_BINARY || description.concise_type == SQL_VARBINARY) {
      const SQLLEN octets = ColumnNumber(statement, number, SQL_DESC_OCTET_LENGTH);
      if (octets > 0 && octets < description.length) description.length = octets;
    }
    if (options_.correct_sqlite_types) description = CorrectSqliteColumn(description);
    const auto declared = options_.declared_columns.find(description.name);
    if (declared != options_.declared_columns.end()) description = WithDeclaration(description, declared->second);

    Column column;
    column.source_name = description.name;
    column.described_type = ColumnNumber(statement, number, SQL_DESC_CONCISE_TYPE);
    column.type = MapColumnType(description);
    if (options_.text_as_utf8 && column.type.form == ValueForm::Text && !column.type.long_data) {
      // Up to four bytes a character instead of two units.
      column.type.bound_bytes = (column.type.bound_bytes / static_cast<SQLLEN>(sizeof(SQLWCHAR)) - 1) * 4 + 1;
    }
    // MariaDB's driver fails a row whose UTF-16 value outgrows its buffer:
    // there long columns stay read in chunks.
    if (column.type.long_data && !options_.wide_length_from_terminator) {
      column.type.long_data = false;
      column.type.bound_bytes = kFirstLongBoundBytes + TerminatorBytes(column.type.form);
    }
    if (options_.time_as_text && column.type.kind == FieldKind::ftTime) {
      column.type.form = ValueForm::Time;
      column.type.bound_bytes = kTimeTextBytes;
    }
    if (options_.dates_as_text && (column.type.kind == FieldKind::ftDate || column.type.kind == FieldKind::ftDateTime)) {
      column.type.form = ValueForm::DateText;
      column.type.bound_bytes = kTimeTextBytes;
    }
    const bool double_as_text =
        options_.doubles_as_text || (declared != options_.declared_columns.end() &&
                                     declared->second.kind == DeclaredColumn::Kind::kScaledDouble);
    if (double_as_text && column.type.kind == FieldKind::ftFloat && description.concise_type != SQL_REAL) {
      column.type.form = ValueForm::Decimal;
      column.type.bound_bytes = kFloatTextBytes;
    }
    const std::string name = options_.naming ? options_.naming(description.name) : description.name;
    auto field = std::make_unique<Field>(name, column.type.class_name, column.type.kind, column.type.size,
                                         static_cast<int>(columns_.size()));
    field->SetDataSize(column.type.data_size);
    const bool integer = column.type.kind == FieldKind::ftInteger || column.type.kind == FieldKind::ftLargeint;
    const bool decimal = column.type.kind == FieldKind::ftBCD || column.type.kind == FieldKind::ftCurrency;
    field->SetNumberFacts(integer && description.is_unsigned,
                          decimal ? static_cast<int>(description.scale) : -1);
    SetTypeFacts(description, *field);
    fields_.push_back(std::move(field));
    columns_.push_back(std::move(column));
  }
}

void OdbcResultDataset::SetTypeFacts(const OdbcColumnDescription& description, Field& field) const {
  field.SetSinglePrecision(field.Kind() == FieldKind::ftFloat && description.concise_type == SQL_REAL);
  field.SetHoldsInfinities(field.Kind() == FieldKind::ftBCD && description.holds_infinities);
  if (field.Kind() == FieldKind::ftTime) field.SetDuration(options_.times_are_durations);
  if (field.Kind() == FieldKind::ftDate) field.SetFractionDigits(0);
  if (field.Kind() == FieldKind::ftTime || field.Kind() == FieldKind::ftDateTime) {
    // The fraction's digits: psqlodbc gives them as the precision, MariaDB's
    // driver as the scale.
    const SQLLEN digits = std::max(description.precision, description.scale);
    field.SetFractionDigits(static_cast<int>(std::clamp<SQLLEN>(digits, 0, 9)));
  }
}

void OdbcResultDataset::BindColumns() {
  const SQLHSTMT statement = statement_->get();
  const bool any_long = std::any_of(columns_.begin(), columns_.end(), [](const Column& c) { return c.type.long_data; });
  // Without SQL_GD_ANY_COLUMN a driver gives SQLGetData only for columns
  // after the last bound one.
  const bool any_column = (session_->facts().getdata_extensions & SQL_GD_ANY_COLUMN) != 0;
  bool after_long = false;
  SQLLEN row_bytes = 0;
  for (Column& column : columns_) {
    after_long = after_long || column.type.long_data;
    column.get_data = column.type.long_data || (after_long && !any_column);
    if (!column.get_data) row_bytes += column.type.bound_bytes + static_cast<SQLLEN>(sizeof(SQLLEN));
  }
  array_size_ = 1;
  if (!any_long) {
    array_size_ = std::clamp<SQLULEN>(kBlockBytes / std::max<SQLLEN>(row_bytes, 1), 1,
                                      paging_ ? kMaxPagedBlockRows : kMaxBlockRows);
  }
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
  if (!SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(array_size_), 0))) {
    array_size_ = 1;
  } else {
    // The driver may have chosen a smaller array (01S02).
    SQLULEN actual = array_size_;
    if (SQL_SUCCEEDED(SQLGetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr)) && actual >= 1) {
      array_size_ = std::min(actual, array_size_);
    }
  }
  fetch_ahead_ = array_size_ > 1;
  const int sets = fetch_ahead_ ? kSets : 1;
  for (int set = 0; set < kSets; ++set) row_status_[set].assign(set < sets ? array_size_ : 0, SQL_ROW_SUCCESS);
  for (Column& column : columns_) {
    for (int set = 0; set < kSets; ++set) {
      const bool used = !column.get_data && set < sets;
      column.values[set].assign(used ? array_size_ * column.type.bound_bytes : 0, 0);
      column.indicators[set].assign(used ? array_size_ : 0, 0);
    }
  }
  bound_set_ = -1;  // bound by the first fetch
}

SQLRETURN OdbcResultDataset::FetchInto(int set) {
  // A page the driver holds whole is fetched without the call lock, while
  // the page thread runs the next page's statement.
  std::unique_lock lock(session_->calls(), std::defer_lock);
  if (!pages_ahead_) lock.lock();
  if (paging_ && page_delivered_ >= page_rows_) {
    if (pages_ahead_ && !page_ahead_pending_) {
      // A full page whose end gave no key: the pages go on in turns, after
      // the key of its last fetched row.
      pages_ahead_ = false;
      lock.lock();
    }
    const SQLRETURN next = pages_ahead_ ? TakeNextPage() : RunNextPage(statement_->get());
    if (!SQL_SUCCEEDED(next)) return next;
  }
  const SQLHSTMT statement = statement_->get();
  if (bound_set_ != set) {
    // Pages ahead had their row array set to one row to read their end.
    if (pages_ahead_) {
      SQLSetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(array_size_), 0);
    }
    SQLSetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, &rows_fetched_[set], 0);
    SQLSetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, row_status_[set].data(), 0);
    for (std::size_t index = 0; index < columns_.size(); ++index) {
      Column& column = columns_[index];
      if (column.get_data) continue;
      const SQLRETURN bound = SQLBindCol(statement, static_cast<SQLUSMALLINT>(index + 1), CType(column.type.form),
                                         column.values[set].data(), column.type.bound_bytes,
                                         column.indicators[set].data());
      if (!SQL_SUCCEEDED(bound)) return bound;
    }
    bound_set_ = set;
  }
  rows_fetched_[set] = 0;
  std::fill(row_status_[set].begin(), row_status_[set].end(), SQL_ROW_SUCCESS);
  // A page whose end was read goes back to its first rows.
  const SQLRETURN result = page_opened_ ? SQLFetchScroll(statement, SQL_FETCH_FIRST, 0) : SQLFetch(statement);
  page_opened_ = false;
  if (paging_ && SQL_SUCCEEDED(result)) CountPageRows(set);
  return result;
}

std::vector<PageKeyColumn> OdbcResultDataset::PageKey() const {
  std::vector<PageKeyColumn> key;
  for (std::size_t index : key_indexes_) {
    const Column& column = columns_[index];
    key.push_back({static_cast<SQLUSMALLINT>(index + 1), column.type.form, column.type.kind, CType(column.type.form),
                   column.type.bound_bytes});
  }
  return key;
}

void OdbcResultDataset::OpenPage(SQLHSTMT statement, SQLULEN rows_asked) {
  std::vector<std::string> after = KeyAfterPage(ReadPageEnd(statement, PageKey()), rows_asked);
  page_opened_ = true;
  if (!after.empty()) StartPageAhead(std::move(after), NextPageRows(rows_asked));
}

SQLULEN OdbcResultDataset::NextPageRows(SQLULEN rows) const {
  return std::min({rows * kPageGrowth, array_size_, kMaxPageRows});
}

void OdbcResultDataset::StartPageAhead(std::vector<std::string> after, SQLULEN rows) {
  page_ahead_pending_ = true;
  page_thread_.Start([this, after = std::move(after), rows] { RunPageAhead(after, rows); });
}

void OdbcResultDataset::RunPageAhead(const std::vector<std::string>& after, SQLULEN rows) {
  const std::lock_guard lock(session_->calls());
  const SQLHSTMT statement = page_ahead_.statement->get();
  // The spare was the page before the current one: its bindings and row
  // pointers are arrays the caller may still be reading.
  SQLFreeStmt(statement, SQL_UNBIND);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
  SQLSetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
  SQLFreeStmt(statement, SQL_CLOSE);
  page_ahead_.rows_asked = rows;
  page_ahead_.last_key.clear();
  page_ahead_.columns_changed = false;
  WideText text = Utf8ToUtf16(PageStatement(*options_.key_paging, after, rows));
  page_ahead_.result = SQLExecDirectW(statement, text.data(), SQL_NTS);
  if (!SQL_SUCCEEDED(page_ahead_.result)) return;
  if (!SameColumns(statement)) {
    page_ahead_.columns_changed = true;
    return;
  }
  page_ahead_.last_key = KeyAfterPage(ReadPageEnd(statement, PageKey()), rows);
}

SQLRETURN OdbcResultDataset::TakeNextPage() {
  page_thread_.Wait();
  page_ahead_pending_ = false;
  std::swap(statement_, page_ahead_.statement);
  page_rows_ = page_ahead_.rows_asked;
  page_delivered_ = 0;
  page_bytes_ = 0;
  bound_set_ = -1;
  page_opened_ = true;
  if (page_ahead_.columns_changed) {
    columns_changed_ = true;
    return SQL_ERROR;
  }
  if (!SQL_SUCCEEDED(page_ahead_.result)) return page_ahead_.result;
  if (!page_ahead_.last_key.empty()) StartPageAhead(std::move(page_ahead_.last_key), NextPageRows(page_rows_));
  return SQL_SUCCESS;
}

void OdbcResultDataset::StartFetchAhead() {
  const int set = 1 - set_;
  ahead_pending_ = true;
  ahead_.Start([this, set] { ahead_result_ = FetchInto(set); });
}

void OdbcResultDataset::StopFetchAhead() {
  if (ahead_pending_) {
    ahead_.Wait();
    ahead_pending_ = false;
  }
  // The block fetched ahead may have started the page after it.
  if (page_ahead_pending_) {
    page_thread_.Wait();
    page_ahead_pending_ = false;
  }
}

std::optional<SQLLEN> OdbcResultDataset::TruncatedLength(const Column& column, SQLULEN row) const {
  const ValueForm form = column.type.form;
  if (form != ValueForm::Text && form != ValueForm::Bytes && form != ValueForm::Decimal && form != ValueForm::Time &&
      form != ValueForm::DateText) {
    return std::nullopt;
  }
  const SQLLEN indicator = column.indicators[set_][row];
  if (indicator == SQL_NULL_DATA) return std::nullopt;
  if (indicator == SQL_NO_TOTAL) return indicator;
  SQLLEN room = column.type.bound_bytes - TerminatorBytes(form);
  // A length that may be short by a character could hide a cut value.
  if (options_.wide_length_from_terminator && TerminatorBytes(form) > 1) room -= 2 * static_cast<SQLLEN>(sizeof(SQLWCHAR));
  if (indicator > room) return indicator;
  return std::nullopt;
}

bool OdbcResultDataset::FetchBlock(int64_t first_unread) {
  SQLRETURN result;
  if (ahead_pending_) {
    ahead_.Wait();
    ahead_pending_ = false;
    set_ = 1 - set_;
    result = ahead_result_;
  } else {
    result = FetchInto(set_);
  }
  if (result == SQL_NO_DATA) {
    rows_read_ = block_start_;
    Last();
    return true;
  }
  SQLULEN& rows_fetched = rows_fetched_[set_];
  if (columns_changed_) throw DataAccessError(kColumnsChanged);
  {
    const std::lock_guard lock(session_->calls());
    statement_->Check(result, "The data source could not deliver the rows.");
    if (array_size_ == 1 && rows_fetched == 0) rows_fetched = 1;
    for (SQLULEN row = 0; row < rows_fetched; ++row) {
      if (row_status_[set_][row] == SQL_ROW_ERROR) {
        CheckOdbc(SQL_ERROR, SQL_HANDLE_STMT, statement_->get(), "The data source could not deliver a row.");
      }
    }
  }
  // A value longer than its buffer (a memo, or a value of a driver that does
  // not hold its columns to their declared size): read the rows again from
  // here with room for the longest of the block, so no value is ever cut.
  bool grown = false;
  const SQLULEN first_row = first_unread > block_start_ ? static_cast<SQLULEN>(first_unread - block_start_) : 0;
  for (Column& column : columns_) {
    if (column.get_data) continue;
    SQLLEN needed = 0;
    for (SQLULEN row = first_row; row < rows_fetched && needed != SQL_NO_TOTAL; ++row) {
      const std::optional<SQLLEN> length = TruncatedLength(column, row);
      if (!length) continue;
      needed = *length == SQL_NO_TOTAL ? SQL_NO_TOTAL
                                       : std::max(needed, *length + TerminatorBytes(column.type.form) +
                                                              (options_.wide_length_from_terminator ? 8 : 0));
    }
    if (needed == 0) continue;
    // The page being run ahead reads the column types.
    if (!grown) StopFetchAhead();
    if (needed == SQL_NO_TOTAL || needed > kMaxBoundBytes) {
      column.type.long_data = true;
    } else {
      const SQLLEN larger = std::max(needed, 2 * column.type.bound_bytes);
      column.type.bound_bytes = (larger + 1) / 2 * 2;
    }
    grown = true;
  }
  if (!grown) {
    // The next block is fetched while the caller works on this one; a short
    // block was the last, unless it ended a full page.
    if (fetch_ahead_ && (rows_fetched == array_size_ || (paging_ && page_delivered_ >= page_rows_))) {
      StartFetchAhead();
    }
    return true;
  }
  ReadAgainFrom(std::max(first_unread, block_start_));
  return false;
}

void OdbcResultDataset::ReadAgainFrom(int64_t row) {
  Execute_();
  MoveTo(row);
}

void OdbcResultDataset::MoveTo(int64_t row) {
  while (!eof_ && row >= block_start_ + static_cast<int64_t>(rows_fetched_[set_])) {
    block_start_ += static_cast<int64_t>(rows_fetched_[set_]);
    if (!FetchBlock(row)) return;  // read again and positioned there
  }
  if (eof_) return;
  position_ = static_cast<SQLULEN>(row - block_start_);
  LoadRow();
}

void OdbcResultDataset::LoadRow() {
  for (std::size_t index = 0; index < columns_.size(); ++index) {
    Column& column = columns_[index];
    Field& field = *fields_[index];
    if (column.get_data) {
      ReadLongValue(static_cast<int>(index), column, field);
    } else {
      ReadBoundValue(column, field, position_);
    }
  }
}

void OdbcResultDataset::ReadBoundValue(Column& column, Field& field, SQLULEN row) {
  const SQLLEN indicator = column.indicators[set_][row];
  if (indicator == SQL_NULL_DATA) {
    field.SetNull();
    return;
  }
  const unsigned char* value = column.values[set_].data() + row * column.type.bound_bytes;
  switch (column.type.form) {
    case ValueForm::Integer: {
      int64_t number;
      std::memcpy(&number, value, sizeof(number));
      field.SetInteger(number);
      break;
    }
    case ValueForm::UnsignedInteger: {
      uint64_t number;
      std::memcpy(&number, value, sizeof(number));
      if (number > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        field.SetText(std::to_string(number));
      } else {
        field.SetInteger(static_cast<int64_t>(number));
      }
      break;
    }
    case ValueForm::Float: {
      double number;
      std::memcpy(&number, value, sizeof(number));
      field.SetFloat(number);
      break;
    }
    case ValueForm::Boolean:
      field.SetBoolean(*value != 0);
      break;
    case ValueForm::DateTime: {
      SQL_TIMESTAMP_STRUCT stamp;
      std::memcpy(&stamp, value, sizeof(stamp));
      field.SetDateTime(ToDateTime(stamp, column.type.kind));
      break;
    }
    case ValueForm::Decimal:
      if (field.Kind() == FieldKind::ftFloat) {  // a double read as its text
        double number = 0;
        const char* text = reinterpret_cast<const char*>(value);
        std::from_chars(text, text + indicator, number);
        field.SetFloat(number);
        break;
      }
      [[fallthrough]];
    case ValueForm::Bytes:
      field.SetText(std::string_view(reinterpret_cast<const char*>(value), static_cast<std::size_t>(indicator)));
      break;
    case ValueForm::Text: {
      if (options_.text_as_utf8) {
        field.SetText(std::string_view(reinterpret_cast<const char*>(value), static_cast<std::size_t>(indicator)));
        break;
      }
      const SQLLEN bytes = WideLength(value, indicator, column.type.bound_bytes - TerminatorBytes(ValueForm::Text));
      std::string& text = field.MutableText();
      text.clear();
      AppendUtf16AsUtf8(reinterpret_cast<const SQLWCHAR*>(value), static_cast<std::size_t>(bytes) / sizeof(SQLWCHAR),
                        text);
      field.MarkNotNull();
      break;
    }
    case ValueForm::Time: {
      const std::string_view text = BoundText(value, indicator, column.type.bound_bytes);
      // A text no time reading takes stays as it came, never lost.
      if (const std::optional<DateTime> time = ParseTimeText(text)) {
        field.SetDateTime(*time);
      } else {
        field.SetText(text);
      }
      break;
    }
    case ValueForm::DateText: {
      const std::string_view text = BoundText(value, indicator, column.type.bound_bytes);
      const std::optional<DateTimeText> date = ParseDateTimeText(text);
      if (!date) {
        // PostgreSQL's 'infinity', years BC or past 9999: kept as their text
        // for a target that holds them; NULL for the others, said by the writers.
        field.SetBeyondCalendar(text);
      } else if (date->zero) {
        field.SetZeroDate();  // NULL, and the writers say so
      } else {
        field.SetDateTime(date->value);
      }
      break;
    }
    case ValueForm::Guid: {
      SQLGUID guid;
      std::memcpy(&guid, value, sizeof(guid));
      field.SetText(GuidText(guid));
      break;
    }
  }
}

std::string_view OdbcResultDataset::BoundText(const unsigned char* value, SQLLEN indicator, SQLLEN bound_bytes) {
  if (options_.text_as_utf8) return {reinterpret_cast<const char*>(value), static_cast<std::size_t>(indicator)};
  const SQLLEN bytes = WideLength(value, indicator, bound_bytes - TerminatorBytes(ValueForm::Text));
  bound_text_.clear();
  AppendUtf16AsUtf8(reinterpret_cast<const SQLWCHAR*>(value), static_cast<std::size_t>(bytes) / sizeof(SQLWCHAR),
                    bound_text_);
  return bound_text_;
}

void OdbcResultDataset::ReadLongValue(int index, Column& column, Field& field) {
  const std::lock_guard lock(session_->calls());
  const SQLHSTMT statement = statement_->get();
  // UTF-16 chunks are gathered and converted at the end, so that a surrogate
  // pair split between two chunks survives; bytes and UTF-8 go straight on.
  const bool text = column.type.form != ValueForm::Bytes && !options_.text_as_utf8;
  const SQLSMALLINT c_type = CType(column.type.form == ValueForm::Bytes ? ValueForm::Bytes : ValueForm::Text);
  const SQLLEN unit = text ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
  // Room of one chunk, less the terminator that text chunks carry.
  const SQLLEN capacity = static_cast<SQLLEN>(kChunkBytes) - TerminatorBytes(column.type.form == ValueForm::Bytes ? ValueForm::Bytes : ValueForm::Text);
  std::vector<unsigned char>& chunk = column.values[0];
  chunk.resize(kChunkBytes);
  std::string bytes;
  wide_chunks_.clear();
  bool first_call = true;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN result = SQLGetData(statement, static_cast<SQLUSMALLINT>(index + 1), c_type, chunk.data(),
                                        static_cast<SQLLEN>(kChunkBytes), &indicator);
    if (result == SQL_NO_DATA) break;
    statement_->Check(result, "The data source could not deliver a long value.");
    if (first_call && indicator == SQL_NULL_DATA) {
      field.SetNull();
      return;
    }
    first_call = false;
    SQLLEN used = capacity;
    if (indicator != SQL_NO_TOTAL && indicator >= 0 && indicator < capacity) used = indicator;
    if (text && result == SQL_SUCCESS) used = WideLength(chunk.data(), used, capacity);
    if (text) {
      const auto* units = reinterpret_cast<const SQLWCHAR*>(chunk.data());
      wide_chunks_.append(units, units + used / unit);
    } else {
      bytes.append(reinterpret_cast<const char*>(chunk.data()), static_cast<std::size_t>(used));
    }
    if (result == SQL_SUCCESS) break;
  }
  if (text) {
    std::string& value = field.MutableText();
    value.clear();
    AppendUtf16AsUtf8(wide_chunks_.data(), wide_chunks_.size(), value);
    field.MarkNotNull();
  } else {
    field.SetText(bytes);
  }
  // Rows with long values are fetched one at a time, never ahead: this
  // thread alone counts the page.
  if (paging_) page_bytes_ += static_cast<double>(bytes.size() + wide_chunks_.size() * sizeof(SQLWCHAR));
}

void OdbcResultDataset::Next() {
  if (eof_) return;
  MoveTo(block_start_ + static_cast<int64_t>(position_) + 1);
}

void OdbcResultDataset::First() {
  Execute_();
  MoveTo(0);
}

void OdbcResultDataset::Last() {
  eof_ = true;
  StopFetchAhead();
  // Only freeing the statement ends it everywhere: SQLite keeps the file's
  // read lock while a closed statement handle lives on.
  const std::lock_guard lock(session_->calls());
  statement_.reset();
  page_ahead_.statement.reset();
  snapshot_.reset();
}

Dataset::CountSoFar OdbcResultDataset::RecordCountSoFar() {
  if (count_asked_ || rows_read_ || !options_.side_session || options_.count_statement.empty()) {
    return {RecordCount(), false};
  }
  if (!side_count_) {
    side_count_ = std::make_unique<SideCount>(options_.side_session, options_.count_statement, options_.count_narrow,
                                              session_);
  }
  if (side_count_->Coming()) return {std::nullopt, true};
  // A count the side session could not make is made here.
  if (const std::optional<int64_t> rows = side_count_->Rows()) return {rows, false};
  return {RecordCount(), false};
}

std::optional<int64_t> OdbcResultDataset::RecordCount() {
  if (count_asked_) return record_count_;
  count_asked_ = true;
  if (rows_read_) {
    record_count_ = rows_read_;
    return record_count_;
  }
  // A reading left before its end: the count of the progress bar when it is
  // in. One still running may wait for a lock that waits for this reading's
  // snapshot: it is given up, and the count made here, inside the snapshot.
  if (side_count_ && !side_count_->Coming()) {
    if (const std::optional<int64_t> rows = side_count_->Rows()) {
      record_count_ = rows;
      return record_count_;
    }
  }
  side_count_.reset();
  if (options_.count_statement.empty()) return record_count_;
  const std::lock_guard lock(session_->calls());
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, session_->connection());
    WithoutEscapeClauses(statement.get());
    SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(session_->command_timeout_seconds())), 0);
    std::string narrow_text = options_.count_statement;
    WideText text = Utf8ToUtf16(options_.count_statement);
    statement.Check(options_.count_narrow
                        ? SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(narrow_text.data()), SQL_NTS)
                        : SQLExecDirectW(statement.get(), text.data(), SQL_NTS),
                    "count");
    if (!SQL_SUCCEEDED(SQLFetch(statement.get()))) return record_count_;
    SQLBIGINT count = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement.get(), 1, SQL_C_SBIGINT, &count, sizeof(count), &indicator)) ||
        indicator == SQL_NULL_DATA) {
      return record_count_;
    }
    record_count_ = count;
  } catch (const DataAccessError&) {
    // The count stays unknown; reading the rows is not affected.
  }
  return record_count_;
}

}  // namespace quill
