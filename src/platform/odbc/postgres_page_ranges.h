#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/odbc/fetch_ahead.h"
#include "platform/odbc/odbc_result_dataset.h"
#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"
#include "platform/odbc/table_snapshot.h"

namespace quill {

// How a PostgreSQL table is read in ranges of its pages.
struct PageRangePlan {
  std::string select;  // "SELECT list FROM table", without a condition
  int64_t pages = 0;   // the table's size when planned; the last range has no end
  int64_t pages_per_range = 0;
  int connections = 1;  // the session's own included
};

// A plain table (no views, partitions or inheritance children, where a
// range of pages would not be a range of the rows) of at least a few ranges,
// on a server that scans a range of pages directly (PostgreSQL 14 on); none
// when the table is best read with its one statement.
std::optional<PageRangePlan> PlanPageRanges(OdbcSession& session, const TableReference& table,
                                            const std::string& select);

// A PostgreSQL table read in ranges of its pages, each range by a statement
// of its own (a scan of those pages), the ranges spread over several
// connections that all see the one snapshot the session's transaction
// exports. The ranges are handed on in page order, so the rows come as the
// table's one plain scan gives them, while the other connections' threads
// fetch and convert the next ranges: the driver's work per value, which
// decides the reading's speed, runs on several processors. A connection
// that cannot be opened or cannot join the snapshot is left out; the
// session alone reads every range then.
class PostgresPageRangeDataset : public Dataset {
 public:
  // Opens another connection like the session's; throws when it cannot.
  using Connect = std::function<std::shared_ptr<OdbcSession>()>;

  // `options` read one range (no snapshot of their own: the ranges share
  // this dataset's); count_statement counts the table.
  PostgresPageRangeDataset(std::shared_ptr<OdbcSession> session, Connect connect, PageRangePlan plan,
                           OdbcResultDataset::Options options);
  ~PostgresPageRangeDataset() override;

  bool Eof() const override { return eof_; }
  void Next() override;
  void First() override;
  void Last() override;
  std::optional<int64_t> RecordCount() override { return record_count_; }

 private:
  // One connection and the range it reads or opens ahead.
  struct Lane {
    std::shared_ptr<OdbcSession> session;
    std::unique_ptr<TableSnapshot> snapshot;  // another connection's transaction in the exported snapshot
    std::unique_ptr<OdbcResultDataset> range;
    std::exception_ptr error;  // what opening the range threw
    FetchAhead worker;         // declared last: joined before the rest goes
  };

  void Start();
  // Lets every connection go: the ranges, the other connections and the
  // snapshot.
  void Release();
  // Connects another lane and has it join the exported snapshot; false when
  // it cannot.
  bool JoinSnapshot(Lane& lane, const std::string& exported) const;
  void OpenRange(Lane& lane, int64_t number, bool counted);
  std::string RangeStatement(int64_t number) const;
  Lane& LaneOf(int64_t range) { return *lanes_[static_cast<std::size_t>(range) % lanes_.size()]; }
  // Goes on to the next range that has rows, or past the last.
  void NextRange();
  void TakeRow();

  std::shared_ptr<OdbcSession> session_;
  Connect connect_;
  PageRangePlan plan_;
  OdbcResultDataset::Options options_;
  int64_t ranges_ = 0;
  std::unique_ptr<TableSnapshot> snapshot_;  // the session's transaction, whose snapshot the others import
  std::vector<std::unique_ptr<Lane>> lanes_;
  int64_t range_ = 0;         // the range being read
  bool at_first_row_ = false;  // no row moved past since the start
  bool eof_ = true;
  std::optional<int64_t> record_count_;
};

}  // namespace quill
