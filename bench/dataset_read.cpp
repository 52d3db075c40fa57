// Reading a mixed-type SQLite table through the table dataset, beside the
// floor (a bare column-bound row-array fetch through the same driver) and
// `sqlite3 FILE .dump > /dev/null`, for 100,000 and 1,000,000 rows: rows per
// second and the peak memory of each read, each measured in a process of its
// own (best time of three). The tables are built once into cache files in
// the temporary folder.
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

#include "platform/connection/connection.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

int Spawn(const std::vector<std::string>& arguments, const char* output_file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_file, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Integer key, text with quotes, real, timestamp, 20% NULLs, a small BLOB in
// every fourth row.
void BuildTable(const fs::path& file, long rows) {
  if (fs::exists(file)) return;
  const fs::path partial = file.string() + ".partial";
  fs::remove(partial);
  const std::string sql =
      "CREATE TABLE bench (id INTEGER PRIMARY KEY, name VARCHAR(40), amount REAL, stamp TIMESTAMP, "
      "note VARCHAR(40), data BLOB);"
      "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < " +
      std::to_string(rows) +
      ") INSERT INTO bench SELECT k, 'O''Brien \"' || k || '\"', k * 0.25, "
      "datetime(1700000000 + k * 37, 'unixepoch'), CASE WHEN k % 5 = 0 THEN NULL ELSE 'note ' || k END, "
      "CASE WHEN k % 4 = 0 THEN randomblob(16 + k % 48) ELSE NULL END FROM n;";
  if (Spawn({"sqlite3", partial.string(), sql}, "/dev/null") != 0) throw std::runtime_error("sqlite3 failed");
  fs::rename(partial, file);
}

// A private ODBC configuration with one DSN per cache file.
void WriteOdbcConfiguration(const fs::path& folder, const std::vector<std::pair<std::string, fs::path>>& sources) {
  fs::create_directories(folder);
  std::ofstream(folder / "odbcinst.ini") << "[SQLite3]\nDriver=" << kDriver << "\n";
  std::ofstream odbc(folder / "odbc.ini");
  for (const auto& [dsn, file] : sources) odbc << "[" << dsn << "]\nDriver=SQLite3\nDatabase=" << file.string() << "\n\n";
  setenv("ODBCSYSINI", folder.c_str(), 1);
  setenv("ODBCINI", (folder / "user-odbc.ini").c_str(), 1);
}

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

struct Measurement {
  double seconds = 0;
  long peak_kib = 0;
};

// Runs `work` in a child process: its wall time and its own peak memory.
Measurement MeasureOnce(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    try {
      work();
      _exit(0);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      _exit(1);
    }
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Measurement measurement;
  measurement.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measurement.peak_kib = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("a measured run failed");
  return measurement;
}

// The best time of three runs (the machine may be busy), the highest peak.
Measurement Measure(const std::function<void()>& work) {
  Measurement best = MeasureOnce(work);
  for (int run = 1; run < 3; ++run) {
    const Measurement next = MeasureOnce(work);
    best.seconds = std::min(best.seconds, next.seconds);
    best.peak_kib = std::max(best.peak_kib, next.peak_kib);
  }
  return best;
}

}  // namespace

int main() {
  const fs::path cache = fs::temp_directory_path() / "quill-bench-dataset-read";
  fs::create_directories(cache);
  const std::vector<long> sizes = {100000, 1000000};
  std::vector<std::pair<std::string, fs::path>> sources;
  for (long rows : sizes) {
    const fs::path file = cache / ("bench_" + std::to_string(rows) + ".sqlite");
    BuildTable(file, rows);
    sources.emplace_back("Bench " + std::to_string(rows), file);
  }
  WriteOdbcConfiguration(cache / "odbc", sources);

  std::printf("%-10s %-22s %10s %14s %12s\n", "rows", "reader", "seconds", "rows/s", "peak MiB");
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const long rows = sizes[i];
    const std::string dsn = sources[i].first;
    const std::string file = sources[i].second.string();
    const auto expect_rows = [rows](long read) {
      if (read != rows) throw std::runtime_error("read " + std::to_string(read) + " rows");
    };
    const Measurement floor = Measure([&] { expect_rows(ReadBoundArrays(dsn)); });
    const Measurement dataset = Measure([&] { expect_rows(ReadThroughDataset(dsn)); });
    const Measurement dump = Measure([&] {
      if (Spawn({"sqlite3", file, ".dump"}, "/dev/null") != 0) throw std::runtime_error("sqlite3 .dump failed");
    });
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
