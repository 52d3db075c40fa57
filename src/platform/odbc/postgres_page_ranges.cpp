#include "platform/odbc/postgres_page_ranges.h"

#include <algorithm>
#include <charconv>
#include <mutex>

#include "platform/dataset/data_access_error.h"
#include "platform/odbc/fetched_text.h"
#include "platform/odbc/postgres_declared_columns.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

// Connections that read at once, the session's own included: each takes the
// driver's work for a third of the rows, which is as much as the writer
// takes for all of them.
constexpr int kConnections = 3;
// A range's pages: a range is about two blocks of bound rows, so that the
// other connections fetch their next ranges whole while this one is read.
constexpr int64_t kPagesPerRange = 64;
// Fewer ranges than this are read with the table's one statement.
constexpr int64_t kFewestRanges = 4;
// One block of a range's rows: small, since several ranges are open at once.
constexpr SQLLEN kRangeBlockBytes = 1024 * 1024;
// The first server that scans a range of pages without reading the rest.
constexpr long kTidRangeScanVersion = 140000;

long Number(const std::string& text) {
  long value = -1;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : -1;
}

// The session's transaction snapshot, exported for the other connections;
// empty when the server gives none (or one of characters an identifier of
// a snapshot never holds, which could not stand in a literal).
std::string ExportSnapshot(OdbcSession& session) {
  const std::lock_guard lock(session.calls());
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WideText query = Utf8ToUtf16("SELECT pg_catalog.pg_export_snapshot()");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(statement.get()))) {
      return {};
    }
    const std::string exported = FetchedText(statement.get(), 1);
    const bool plain = std::all_of(exported.begin(), exported.end(), [](unsigned char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == '-';
    });
    return plain ? exported : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

std::optional<PageRangePlan> PlanPageRanges(OdbcSession& session, const TableReference& table,
                                            const std::string& select) {
  const std::string query =
      "SELECT c.relkind::pg_catalog.text, c.relhassubclass::pg_catalog.int4, "
      "pg_catalog.pg_relation_size(c.oid) / pg_catalog.current_setting('block_size')::pg_catalog.int8, "
      "pg_catalog.current_setting('server_version_num') "
      "FROM pg_catalog.pg_class c WHERE c.oid = pg_catalog.to_regclass(" +
      PostgresRelationText(table) + ")";
  const std::lock_guard lock(session.calls());
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WideText text = Utf8ToUtf16(query);
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(statement.get()))) {
      return std::nullopt;
    }
    const bool plain_table = FetchedText(statement.get(), 1) == "r" && FetchedText(statement.get(), 2) == "0";
    const long pages = Number(FetchedText(statement.get(), 3));
    const long version = Number(FetchedText(statement.get(), 4));
    if (!plain_table || version < kTidRangeScanVersion || pages < kFewestRanges * kPagesPerRange) return std::nullopt;
    PageRangePlan plan;
    plan.select = select;
    plan.pages = pages;
    plan.pages_per_range = kPagesPerRange;
    plan.connections = kConnections;
    return plan;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

PostgresPageRangeDataset::PostgresPageRangeDataset(std::shared_ptr<OdbcSession> session, Connect connect,
                                                   PageRangePlan plan, OdbcResultDataset::Options options)
    : session_(std::move(session)), connect_(std::move(connect)), plan_(std::move(plan)), options_(std::move(options)) {
  options_.snapshot = {};
  options_.block_bytes = kRangeBlockBytes;
  ranges_ = std::max<int64_t>(1, (plan_.pages + plan_.pages_per_range - 1) / plan_.pages_per_range);
  Start();
}

PostgresPageRangeDataset::~PostgresPageRangeDataset() { Release(); }

void PostgresPageRangeDataset::Start() {
  eof_ = true;
  {
    const std::lock_guard lock(session_->calls());
    snapshot_ = std::make_unique<TableSnapshot>(*session_, SnapshotPlan{SnapshotKind::kTransaction, {}});
  }
  // Without one transaction the ranges could see different states of the
  // table: the session then reads them all, in order, as one reader.
  const std::string exported = snapshot_->held() ? ExportSnapshot(*session_) : std::string();
  lanes_.clear();
  lanes_.push_back(std::make_unique<Lane>());
  lanes_.front()->session = session_;
  std::vector<char> joined(static_cast<std::size_t>(plan_.connections), 0);  // one element per thread
  if (!exported.empty()) {
    for (int number = 1; number < plan_.connections; ++number) {
      lanes_.push_back(std::make_unique<Lane>());
      Lane& lane = *lanes_.back();
      lane.worker.Start([this, &lane, &joined, number, exported] {
        joined[static_cast<std::size_t>(number)] = JoinSnapshot(lane, exported) ? 1 : 0;
      });
    }
  }
  // The first range while the others connect.
  OpenRange(*lanes_.front(), 0, true);
  for (std::size_t number = 1; number < lanes_.size(); ++number) lanes_[number]->worker.Wait();
  if (lanes_.front()->error) {
    const std::exception_ptr error = lanes_.front()->error;
    Release();
    std::rethrow_exception(error);
  }
  for (std::size_t number = lanes_.size(); number-- > 1;) {
    if (!joined[number]) lanes_.erase(lanes_.begin() + static_cast<std::ptrdiff_t>(number));
  }
  if (fields_.empty()) {
    const OdbcResultDataset& first = *lanes_.front()->range;
    for (int index = 0; index < first.FieldCount(); ++index) {
      fields_.push_back(std::make_unique<Field>(first.FieldAt(index)));
    }
  }
  for (std::size_t number = 1; number < lanes_.size() && static_cast<int64_t>(number) < ranges_; ++number) {
    Lane& lane = *lanes_[number];
    lane.worker.Start([this, &lane, number] { OpenRange(lane, static_cast<int64_t>(number), false); });
  }
  range_ = 0;
  eof_ = false;
  at_first_row_ = true;
  if (lanes_.front()->range->Eof()) {
    NextRange();
    if (eof_) return;
  }
  TakeRow();
}

bool PostgresPageRangeDataset::JoinSnapshot(Lane& lane, const std::string& exported) const {
  try {
    std::shared_ptr<OdbcSession> other = connect_();
    // Its values must come as the session's do.
    if (other->facts().text_as_utf8 != session_->facts().text_as_utf8) return false;
    const std::lock_guard lock(other->calls());
    auto snapshot = std::make_unique<TableSnapshot>(*other, SnapshotPlan{SnapshotKind::kTransaction, {}});
    // The first statement of its transaction takes the session's snapshot.
    if (!snapshot->held() || !other->Run("SET TRANSACTION SNAPSHOT '" + exported + "'")) {
      snapshot.reset();
      return false;
    }
    lane.snapshot = std::move(snapshot);
    lane.session = std::move(other);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string PostgresPageRangeDataset::RangeStatement(int64_t number) const {
  const auto page = [](int64_t at) { return "'(" + std::to_string(at) + ",0)'::pg_catalog.tid"; };
  std::string statement = plan_.select + " WHERE ctid >= " + page(number * plan_.pages_per_range);
  // The last range takes every page after it too: the table may have grown
  // since it was measured.
  if (number + 1 < ranges_) statement += " AND ctid < " + page((number + 1) * plan_.pages_per_range);
  return statement;
}

void PostgresPageRangeDataset::OpenRange(Lane& lane, int64_t number, bool counted) {
  lane.range.reset();
  lane.error = nullptr;
  try {
    OdbcResultDataset::Options options = options_;
    if (!counted) options.count_statement.clear();
    auto text = std::make_shared<WideText>(Utf8ToUtf16(RangeStatement(number)));
    lane.range = std::make_unique<OdbcResultDataset>(
        lane.session, [text](SQLHSTMT statement) { return SQLExecDirectW(statement, text->data(), SQL_NTS); },
        std::move(options));
    if (counted) record_count_ = lane.range->RecordCount();
  } catch (...) {
    lane.range.reset();
    lane.error = std::current_exception();
  }
}

void PostgresPageRangeDataset::NextRange() {
  for (;;) {
    Lane& done = LaneOf(range_);
    const int64_t following = range_ + static_cast<int64_t>(lanes_.size());
    // The lane closes its range on its own thread, and opens its next one.
    if (following < ranges_) {
      done.worker.Start([this, &done, following] { OpenRange(done, following, false); });
    } else {
      done.worker.Start([&done] { done.range.reset(); });
    }
    ++range_;
    if (range_ >= ranges_) {
      Last();
      return;
    }
    Lane& next = LaneOf(range_);
    next.worker.Wait();
    if (next.error) std::rethrow_exception(next.error);
    const OdbcResultDataset& range = *next.range;
    bool same = range.FieldCount() == FieldCount();
    for (int index = 0; same && index < FieldCount(); ++index) {
      const Field& field = range.FieldAt(index);
      same = field.Name() == fields_[index]->Name() && field.Kind() == fields_[index]->Kind() &&
             field.ClassName() == fields_[index]->ClassName() && field.Size() == fields_[index]->Size();
    }
    if (!same) throw DataAccessError(OdbcResultDataset::kColumnsChanged);
    if (!range.Eof()) return;
  }
}

void PostgresPageRangeDataset::TakeRow() {
  OdbcResultDataset& range = *LaneOf(range_).range;
  for (int index = 0; index < FieldCount(); ++index) fields_[index]->TakeValue(range.FieldAt(index));
}

void PostgresPageRangeDataset::Next() {
  if (eof_) return;
  at_first_row_ = false;
  LaneOf(range_).range->Next();
  if (LaneOf(range_).range->Eof()) {
    NextRange();
    if (eof_) return;
  }
  TakeRow();
}

void PostgresPageRangeDataset::First() {
  if (!eof_ && at_first_row_) return;
  Release();
  Start();
}

void PostgresPageRangeDataset::Last() {
  eof_ = true;
  Release();
}

void PostgresPageRangeDataset::Release() {
  for (auto& lane : lanes_) lane->worker.Wait();
  lanes_.clear();
  const std::lock_guard lock(session_->calls());
  snapshot_.reset();
}

}  // namespace quill
