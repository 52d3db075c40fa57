// Reading a mixed-type SQLite table through the table dataset, beside the
// floor (a bare column-bound row-array fetch through the same driver) and
// `sqlite3 FILE .dump > /dev/null`, for 100,000 and 1,000,000 rows: rows per
// second and the peak memory of each read, each measured in a process of its
// own (best time of three). The tables are built into a run folder of the
// bench's own, removed at the end.
//
// Target: the dataset within 1.2 x the floor's time; the same peak memory for
// both table sizes.

#include <fcntl.h>
#include <spawn.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/connection/connection.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quill::bench::Measurement;

// Reads every row through the dataset, touching every value.
long ReadThroughDataset(const std::string& dsn) {
  quill::Connection connection;
  connection.SetConnectionString("Provider=MSDASQL.1;Persist Security Info=True;Data Source=" + dsn);
  connection.Open("", "");
  auto dataset = connection.OpenTable("bench");
  long rows = 0;
  std::size_t bytes = 0;
  for (; !dataset->Eof(); dataset->Next(), ++rows) {
    for (int i = 0; i < dataset->FieldCount(); ++i) {
      const quill::Field& field = dataset->FieldAt(i);
      if (!field.IsNull()) bytes += field.RawText().size();
    }
  }
  if (bytes == 0) std::fprintf(stderr, "no text read\n");
  return rows;
}

void Check(SQLRETURN result, const char* what) {
  if (!SQL_SUCCEEDED(result) && result != SQL_NO_DATA) throw std::runtime_error(what);
}

// The floor: every column bound to arrays of 1024 rows, fetched in blocks.
long ReadBoundArrays(const std::string& dsn) {
  constexpr SQLULEN kRows = 1024;
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT stmt;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  // Stepping through the rows, as the dataset has the driver do.
  const std::string connection_string = "DSN=" + dsn + ";StepAPI=1";
  Check(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connection_string.c_str(), SQL_NTS, nullptr, 0, nullptr,
                         SQL_DRIVER_NOPROMPT),
        "connect");
  SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
  SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
  SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRows), 0);
  SQLULEN fetched = 0;
  SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  std::vector<SQLBIGINT> id(kRows);
  std::vector<char> name(kRows * 161), note(kRows * 161);
  std::vector<double> amount(kRows);
  std::vector<SQL_TIMESTAMP_STRUCT> stamp(kRows);
  std::vector<unsigned char> data(kRows * 256);
  std::vector<SQLLEN> indicators(6 * kRows);
  Check(SQLExecDirect(stmt, (SQLCHAR*)"SELECT * FROM bench", SQL_NTS), "execute");
  SQLBindCol(stmt, 1, SQL_C_SBIGINT, id.data(), 0, &indicators[0]);
  SQLBindCol(stmt, 2, SQL_C_CHAR, name.data(), 161, &indicators[kRows]);
  SQLBindCol(stmt, 3, SQL_C_DOUBLE, amount.data(), 0, &indicators[2 * kRows]);
  SQLBindCol(stmt, 4, SQL_C_TYPE_TIMESTAMP, stamp.data(), 0, &indicators[3 * kRows]);
  SQLBindCol(stmt, 5, SQL_C_CHAR, note.data(), 161, &indicators[4 * kRows]);
  SQLBindCol(stmt, 6, SQL_C_BINARY, data.data(), 256, &indicators[5 * kRows]);
  long rows = 0;
  for (SQLRETURN result; (result = SQLFetch(stmt)) != SQL_NO_DATA;) {
    Check(result, "fetch");
    rows += static_cast<long>(fetched);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return rows;
}

}  // namespace

int main() {
  const quill::bench::RunFolder run_folder("quill-bench-dataset-read");
  if (run_folder.empty()) return 2;
  const fs::path& cache = run_folder.path();
  const std::vector<long> sizes = {100000, 1000000};
  std::vector<std::pair<std::string, fs::path>> sources;
  for (long rows : sizes) {
    const fs::path file = cache / ("bench_" + std::to_string(rows) + ".sqlite");
    quill::bench::BuildBenchTable(file, rows);
    sources.emplace_back("Bench " + std::to_string(rows), file);
  }
  quill::bench::WriteOdbcConfiguration(cache / "odbc", sources);

  std::printf("%-10s %-22s %10s %14s %12s\n", "rows", "reader", "seconds", "rows/s", "peak MiB");
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const long rows = sizes[i];
    const std::string dsn = sources[i].first;
    const std::string file = sources[i].second.string();
    const auto expect_rows = [rows](long read) {
      if (read != rows) throw std::runtime_error("read " + std::to_string(read) + " rows");
    };
    const Measurement floor = quill::bench::MeasureBestOfThree([&] { expect_rows(ReadBoundArrays(dsn)); });
    const Measurement dataset = quill::bench::MeasureBestOfThree([&] { expect_rows(ReadThroughDataset(dsn)); });
    const Measurement dump = quill::bench::MeasureBestOfThree([&] { quill::bench::DumpSqlite(file); });
    const auto print = [rows](const char* reader, const Measurement& m) {
      std::printf("%-10ld %-22s %10.3f %14.0f %12.1f\n", rows, reader, m.seconds, rows / m.seconds, m.peak_kib / 1024.0);
    };
    print("bound arrays (floor)", floor);
    print("table dataset", dataset);
    print("sqlite3 .dump", dump);
    std::printf("%-10ld dataset / floor = %.2f (target <= 1.20)\n", rows, dataset.seconds / floor.seconds);
  }
  return 0;
}
