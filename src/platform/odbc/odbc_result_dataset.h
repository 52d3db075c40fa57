#pragma once

#include <sql.h>
#include <sqlext.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/odbc/column_type.h"
#include "platform/odbc/fetch_ahead.h"
#include "platform/odbc/key_paging.h"
#include "platform/odbc/odbc_handles.h"
#include "platform/odbc/odbc_session.h"
#include "platform/odbc/side_count.h"
#include "platform/odbc/declared_column.h"
#include "platform/odbc/table_snapshot.h"
#include "platform/odbc/utf16_text.h"

namespace quill {

// The rows of one ODBC result (a query or a catalog function) as a
// forward-only dataset. Every column is bound to column-wise row arrays and
// fetched in blocks; a long column (memo, BLOB) starts with a small buffer.
// A value that outgrows its buffer makes the statement run again from its row
// with a larger one; a value too long for any bound buffer makes the column
// one that is read with SQLGetData in chunks, on single rows. Memory stays one
// block of rows, whatever the size of the result.
//
// After every full block the next one is fetched on a worker thread while
// the caller works on the current one: two sets of arrays take turns. Every
// call on the connection's statements holds the session's call lock, so the
// worker never meets another call on the same connection; the one exception
// is fetching a page that the driver holds whole (see below).
//
// Read in pages behind a scrollable cursor, each page is one block and its
// statement runs one page ahead, on a third thread: once a page is run and
// held by the driver, its last row gives the key the next page starts
// after, so the server runs the next page while this one is fetched and the
// caller works on the one before. Fetching a held page touches nothing but
// its own statement and the driver's memory, so it runs without the call
// lock while the next page's statement holds it.
class OdbcResultDataset : public Dataset {
 public:
  // Runs the statement on a fresh handle; called again by First().
  using Execute = std::function<SQLRETURN(SQLHSTMT)>;
  // Gives the name a result column is known by (schema rowsets rename some).
  using ColumnNaming = std::function<std::string(const std::string&)>;

  struct Options {
    ColumnNaming naming;           // null keeps the driver's names
    std::string count_statement;   // "SELECT COUNT(*) ..."; empty: count unknown
    bool count_narrow = false;     // the count statement goes as UTF-8 to the narrow call
    // Where a count for the progress bar runs beside the reading (see
    // RecordCountSoFar); null: on the reading's connection.
    std::shared_ptr<SideSession> side_session;
    bool correct_sqlite_types = false;
    // Column names through the narrow calls, as UTF-8 (drivers without wide
    // calls, SQLite).
    bool narrow_names = false;
    // Read character data as SQL_C_CHAR: for sessions known to hand over
    // UTF-8 there (see OdbcDriverFacts::text_as_utf8).
    bool text_as_utf8 = false;
    // UTF-16 lengths are not to be trusted (MariaDB's driver reports some two
    // bytes short, and wrong ones for values that outgrow their buffer): a
    // value ends at its terminator, and long columns are read in chunks.
    bool wide_length_from_terminator = false;
    // TIME columns as their text (see ValueForm::Time).
    bool time_as_text = false;
    // TIME columns hold durations (MariaDB: -838:59:59 to 838:59:59).
    bool times_are_durations = false;
    // DATE and DATETIME columns as their text (see ValueForm::DateText).
    bool dates_as_text = false;
    // Double-precision columns as their text, converted here: MariaDB's
    // driver rounds a DOUBLE(M,D) value into a neighbouring double (-0.01
    // becomes -0.010000000000000009). Single precision keeps the driver's
    // number: its text of a FLOAT has six digits only. Without it, only the
    // columns declared DeclaredColumn::Kind::kScaledDouble are read so.
    bool doubles_as_text = false;
    // What the source's catalog declares of columns its driver describes
    // wrongly, by the driver's name for them.
    std::map<std::string, DeclaredColumn> declared_columns;
    // Read the table in pages along its key instead of with the one
    // statement (see KeyPaging); none: the statement of `Execute`.
    std::optional<KeyPaging> key_paging;
    // How every statement of the reading sees one state of the table.
    SnapshotPlan snapshot;
  };

  OdbcResultDataset(std::shared_ptr<OdbcSession> session, Execute execute, Options options);
  ~OdbcResultDataset() override;

  bool Eof() const override { return eof_; }
  void Next() override;
  void First() override;
  void Last() override;
  std::optional<int64_t> RecordCount() override;
  // With a side session, the count is made there while the rows are read.
  // That count is of a moment near the snapshot's, not of it: once the rows
  // are read to their end, RecordCount() is the number of them instead.
  CountSoFar RecordCountSoFar() override;

 private:
  // Each bound column has two sets of row arrays, the one being read and
  // the one the worker fills.
  static constexpr int kSets = 2;

  struct Column {
    std::string source_name;  // as the driver names it
    SQLLEN described_type = SQL_UNKNOWN_TYPE;  // the driver's type, as first described
    OdbcFieldType type;
    bool get_data = false;  // read with SQLGetData instead of a bound array
    std::array<std::vector<unsigned char>, kSets> values;
    std::array<std::vector<SQLLEN>, kSets> indicators;
  };

  void Execute_();
  // Runs the first page, or the statement when not reading in pages.
  SQLRETURN RunFirstStatement(SQLHSTMT statement);
  // Whether every key column is bound in a form that gives its literal.
  bool KeyBound();
  // Ends a full page and runs the statement of the next one.
  SQLRETURN RunNextPage(SQLHSTMT statement);
  // Counts the rows and bytes of the block just fetched into `set`, and
  // keeps the last key of a full page.
  void CountPageRows(int set);
  void DescribeColumns();
  // The facts of a column's type beyond its class.
  void SetTypeFacts(const OdbcColumnDescription& description, Field& field) const;
  // Whether a statement run again gives the columns of the first one.
  bool SameColumns(SQLHSTMT statement) const;
  void BindColumns();
  // Fetches the next block; rows before `first_unread` were delivered already
  // and are not checked again. Returns false when a value did not fit its
  // buffer and the statement was read again with a larger one.
  bool FetchBlock(int64_t first_unread);
  // Points the statement's bindings at set `set` and fetches one block into
  // it; the driver's result. Called with the call lock held, on either thread.
  SQLRETURN FetchInto(int set);
  // Starts fetching the block after the current one into the other set.
  void StartFetchAhead();
  // Waits for a block being fetched ahead and a page being run ahead, and
  // forgets them.
  void StopFetchAhead();
  // The key columns as a page's end is read.
  std::vector<PageKeyColumn> PageKey() const;
  // Reading pages ahead: the end of the page just run on `statement`, and
  // the statement of the page after it started when there is one.
  void OpenPage(SQLHSTMT statement, SQLULEN rows_asked);
  // Starts running the page after `after` (its literals), of `rows` rows, on
  // the spare statement.
  void StartPageAhead(std::vector<std::string> after, SQLULEN rows);
  // Runs and opens the page ahead; on the page thread.
  void RunPageAhead(const std::vector<std::string>& after, SQLULEN rows);
  // Makes the page run ahead the current one; its statement's result.
  SQLRETURN TakeNextPage();
  // Rows the page after one of `rows` rows asks for, when pages run ahead.
  SQLULEN NextPageRows(SQLULEN rows) const;
  void ReadAgainFrom(int64_t row);
  void MoveTo(int64_t row);
  void LoadRow();
  void ReadBoundValue(Column& column, Field& field, SQLULEN row);
  void ReadLongValue(int index, Column& column, Field& field);
  // The text of a bound character value, as UTF-8: the bound bytes
  // themselves, or their conversion, valid until the next call.
  std::string_view BoundText(const unsigned char* value, SQLLEN indicator, SQLLEN bound_bytes);
  std::optional<SQLLEN> TruncatedLength(const Column& column, SQLULEN row) const;
  SQLSMALLINT CType(ValueForm form) const;
  SQLLEN TerminatorBytes(ValueForm form) const;
  // The byte length of a UTF-16 value of `capacity` bytes that the driver
  // said is `reported` bytes long.
  SQLLEN WideLength(const unsigned char* value, SQLLEN reported, SQLLEN capacity) const;

  std::shared_ptr<OdbcSession> session_;
  Execute execute_;
  Options options_;
  std::unique_ptr<TableSnapshot> snapshot_;  // held from the first statement to the end of the rows
  std::unique_ptr<OdbcHandle> statement_;
  std::vector<Column> columns_;
  SQLULEN array_size_ = 1;
  std::array<SQLULEN, kSets> rows_fetched_ = {};
  std::array<std::vector<SQLUSMALLINT>, kSets> row_status_;
  int set_ = 0;        // the set of the current block
  int bound_set_ = 0;  // the set the statement's bindings point at
  bool fetch_ahead_ = false;  // row arrays of more than one row: blocks are fetched ahead
  bool ahead_pending_ = false;
  SQLRETURN ahead_result_ = SQL_SUCCESS;
  FetchAhead ahead_;
  int64_t block_start_ = 0;  // number of the first row of the block
  SQLULEN position_ = 0;      // current row within the block
  bool eof_ = true;
  bool count_asked_ = false;
  std::optional<int64_t> record_count_;
  std::unique_ptr<SideCount> side_count_;
  std::optional<int64_t> rows_read_;  // every row of the result, once read to its end
  WideText wide_chunks_;
  std::string bound_text_;  // BoundText's conversion of a UTF-16 value

  // Reading in pages (Options::key_paging).
  bool paging_ = false;
  std::vector<std::size_t> key_indexes_;  // the key's result columns, in key order
  SQLULEN page_rows_ = 0;                 // rows the current page asks for
  SQLULEN page_delivered_ = 0;            // rows of it fetched so far
  double page_bytes_ = 0;                 // bytes of its values so far
  std::vector<std::string> after_key_;    // literals of the last key of a full page; empty: none
  bool columns_changed_ = false;          // a page came with other columns than the first

  // Reading pages ahead (see the class comment).
  struct PageAhead {
    std::unique_ptr<OdbcHandle> statement;  // the spare statement, made with the first page
    SQLULEN rows_asked = 0;
    SQLRETURN result = SQL_SUCCESS;
    std::vector<std::string> last_key;      // of a full page; empty: no page after it
    bool columns_changed = false;
  };
  bool scrollable_ = false;     // the page statements have scrollable cursors
  bool pages_ahead_ = false;    // pages are run ahead on the page thread
  bool page_opened_ = false;    // the current page's cursor was moved to its end
  bool page_ahead_pending_ = false;
  PageAhead page_ahead_;
  FetchAhead page_thread_;
};

}  // namespace quill
