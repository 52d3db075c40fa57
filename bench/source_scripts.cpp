// Scripts from SQLite, PostgreSQL and MariaDB tables, beside each engine's own
// dump tool writing the same table as INSERT statements:
//   sqlite3 FILE ".dump bench"
//   pg_dump --inserts --data-only -t bench
//   mariadb-dump --skip-extended-insert DATABASE bench
// For each engine and size it measures, in processes of their own, five
// rounds taking turns (the median time, the highest peak memory):
//   peer    the dump tool, its output into a file
//   read    every row through the table dataset, no script (the fetch side)
//   shown   the user's wait: in the program's main window, open on the
//           source's listed tables, a double-click on the table to the
//           painted script tab; the run moves the window's progress bar and
//           status text and polls Escape as it does for the user
//   script  the same run through the same window (progress bar, status,
//           Escape poll), from its start to the finished script saved to a
//           file instead of shown
//   double  an extra line, not the measure: the run through the bench's
//           silent double of the windows, then shown in the tab
// Each is a new process of this bench, as the peer is (CPU and memory are the
// whole process's, its start included); the wait is timed from the user's
// double-click. The peer and the program connect over TCP alike, with the
// same login. Before the rounds the table is settled (vacuumed, frozen,
// checkpointed) and each side reads it once unmeasured; the program goes
// first in every other round. Against a server, each run's server CPU is
// shown beside the program's: the peer's round trips make its wall time move
// with the machine's load, its CPU time does not.
// The table (integer key, two texts with quotes and NULLs, a real, a
// timestamp, a BLOB in every fourth row) is the same on the three engines;
// the servers are the tests' throwaway ones, started for the run. Scripts:
// MS SQL from SQLite, PostgreSQL from PostgreSQL, MySql from MariaDB.
//
// Usage: bench_source_scripts [sqlite|postgres|mariadb ...] [rows ...]
//        (default: the three engines, 100000 and 1000000 rows)
// Targets at 1,000,000 rows, as ratios to the peer in the same run: shown at
// most 1.0 x from SQLite, 0.8 x from PostgreSQL, 1.3 x from MariaDB; peak memory at
// most 1.3 x the script's size + 64 MB (limit); time per row the same at
// every size (the closing lines: 1.00 is linear).
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "bench_window_run.h"
#include "platform/connection/connection.h"
#include "sources/settings.h"

namespace {

namespace fs = std::filesystem;
using quill::bench::Measurement;

constexpr int kRounds = 5;

enum class Engine { Sqlite, Postgres, MariaDb };

struct Source {
  Engine engine;
  long rows = 0;
  std::string dsn;
  std::string table;  // as the program lists it
  quill::TargetDialect dialect;
  std::vector<std::string> peer;  // the dump tool's command line
};

const char* EngineName(Engine engine) {
  switch (engine) {
    case Engine::Sqlite: return "sqlite";
    case Engine::Postgres: return "postgres";
    case Engine::MariaDb: return "mariadb";
  }
  return "";
}

// The step's command line: the source as the step needs it, the run folder
// and the file for its result.
std::vector<std::string> StepArguments(const Source& source, const fs::path& folder, const fs::path& result_file) {
  return {source.dsn, source.table, std::to_string(static_cast<int>(source.dialect)), std::to_string(source.rows),
          folder.string(), result_file.string()};
}

struct StepSource {
  std::string dsn;
  std::string table;
  quill::TargetDialect dialect;
  long rows;
  fs::path folder;
  fs::path result_file;
};

StepSource ParseStep(const std::vector<std::string>& arguments) {
  if (arguments.size() != 6) throw std::runtime_error("a step takes 6 arguments");
  return {arguments[0], arguments[1], static_cast<quill::TargetDialect>(std::stoi(arguments[2])),
          std::stol(arguments[3]), arguments[4], arguments[5]};
}

// Every row through the dataset, touching every value.
void ReadRows(const std::vector<std::string>& arguments) {
  const StepSource source = ParseStep(arguments);
  quill::Connection connection;
  connection.SetConnectionString("Provider=MSDASQL.1;Persist Security Info=True;Data Source=" + source.dsn);
  connection.Open("", "");
  auto dataset = connection.OpenTable(source.table);
  long rows = 0;
  std::size_t bytes = 0;
  for (; !dataset->Eof(); dataset->Next(), ++rows) {
    for (int i = 0; i < dataset->FieldCount(); ++i) {
      const quill::Field& field = dataset->FieldAt(i);
      if (!field.IsNull()) bytes += field.AsString().size();
    }
  }
  if (rows != source.rows) throw std::runtime_error("read " + std::to_string(rows) + " rows");
  std::ofstream(source.result_file) << bytes;
}

void ShowScript(const std::vector<std::string>& arguments) {
  const StepSource source = ParseStep(arguments);
  const auto shown = quill::bench::ShowInWindow(source.folder, source.dialect, source.dsn, source.table);
  std::ofstream(source.result_file) << shown.bytes << ' ' << shown.seconds;
}

void WriteScript(const std::vector<std::string>& arguments) {
  const StepSource source = ParseStep(arguments);
  const fs::path script = source.folder / "script.sql";
  const auto saved = quill::bench::SaveThroughWindow(source.folder, source.dialect, source.dsn, source.table, script);
  fs::remove(script);
  std::ofstream(source.result_file) << saved.bytes << ' ' << saved.seconds;
}

void ShowThroughDouble(const std::vector<std::string>& arguments) {
  const StepSource source = ParseStep(arguments);
  const auto shown = quill::bench::ShowThroughDouble(source.folder, source.dialect, source.dsn, source.table);
  std::ofstream(source.result_file) << shown.bytes << ' ' << shown.seconds;
}

// The wait a showing step wrote after the script's size.
double ReadShownSeconds(const fs::path& file) {
  std::ifstream in(file);
  std::size_t size = 0;
  double seconds = 0;
  in >> size >> seconds;
  return seconds;
}

std::size_t ReadSize(const fs::path& file) {
  std::ifstream in(file);
  std::size_t size = 0;
  in >> size;
  return size;
}

void Run(const std::vector<std::string>& command, const std::string& statement_or_empty = "") {
  std::vector<std::string> arguments = command;
  if (!statement_or_empty.empty()) arguments.push_back(statement_or_empty);
  if (quill::bench::RunProgram(arguments) != 0) throw std::runtime_error("failed: " + arguments.front());
}

Source SqliteSource(const fs::path& folder, long rows) {
  const fs::path file = folder / ("bench_" + std::to_string(rows) + ".sqlite");
  quill::bench::BuildBenchTable(file, rows);
  return {Engine::Sqlite, rows, "Bench SQLite " + std::to_string(rows), "bench", quill::TargetDialect::MsSql,
          {"sqlite3", file.string(), ".dump bench"}};
}

// The SQLite bench table's rows, built by the server itself.
Source PostgresSource(const quill::bench::BenchServers& servers, long rows) {
  const std::string database = "bench_" + std::to_string(rows);
  const std::vector<std::string> psql = {"psql", "-q", "-v", "ON_ERROR_STOP=1", "-h", servers.postgres_socket_folder,
                                         "-p", std::to_string(servers.postgres_port), "-U", "postgres"};
  std::vector<std::string> admin = psql;
  admin.insert(admin.end(), {"-d", "postgres", "-c"});
  Run(admin, "CREATE DATABASE " + database + " OWNER " + servers.user);
  std::vector<std::string> in_database = psql;
  in_database.insert(in_database.end(), {"-d", database, "-c"});
  Run(in_database,
      "CREATE TABLE bench (id INTEGER PRIMARY KEY, name VARCHAR(40), amount DOUBLE PRECISION, stamp TIMESTAMP, "
      "note VARCHAR(40), data BYTEA);"
      "INSERT INTO bench SELECT k, 'O''Brien \"' || k || '\"', k * 0.25, "
      "TIMESTAMP 'epoch' + (1700000000 + k * 37) * INTERVAL '1 second', "
      "CASE WHEN k % 5 = 0 THEN NULL ELSE 'note ' || k END, "
      "CASE WHEN k % 4 = 0 THEN decode(repeat(lpad(to_hex(k % 256), 2, '0'), 16 + k % 48), 'hex') END "
      "FROM generate_series(1, " + std::to_string(rows) + ") AS k;"
      "GRANT SELECT ON bench TO " + servers.user + ";");
  // Every row frozen and every page written out before the rounds: no
  // measured run sets hint bits or meets a checkpoint of the build's pages.
  Run(in_database, "VACUUM (FREEZE, ANALYZE) bench");
  Run(admin, "CHECKPOINT");
  return {Engine::Postgres, rows, "Bench PostgreSQL " + std::to_string(rows), "public.bench",
          quill::TargetDialect::PostgreSql,
          // Over TCP as the program, as the program's user (the servers trust loopback).
          {"pg_dump", "--inserts", "--data-only", "-t", "bench", "-h", "127.0.0.1", "-p",
           std::to_string(servers.postgres_port), "-U", servers.user, "--no-password", database}};
}

Source MariaDbSource(const quill::bench::BenchServers& servers, long rows) {
  const std::string database = "bench_" + std::to_string(rows);
  Run({"mariadb", "--no-defaults", "--default-character-set=utf8mb4", "-uroot", "-S", servers.mariadb_socket, "-e"},
      "CREATE DATABASE " + database + " CHARACTER SET utf8mb4; USE " + database +
          "; CREATE TABLE bench (id INTEGER PRIMARY KEY, name VARCHAR(40), amount DOUBLE, stamp DATETIME, "
          "note VARCHAR(40), data BLOB);"
          "INSERT INTO bench SELECT k, CONCAT('O''Brien \"', k, '\"'), k * 0.25, "
          "FROM_UNIXTIME(1700000000 + k * 37), CASE WHEN k % 5 = 0 THEN NULL ELSE CONCAT('note ', k) END, "
          "CASE WHEN k % 4 = 0 THEN UNHEX(REPEAT(LPAD(HEX(k % 256), 2, '0'), 16 + k % 48)) END "
          "FROM (SELECT CAST(seq AS SIGNED) AS k FROM seq_1_to_" + std::to_string(rows) + ") AS n;");
  return {Engine::MariaDb, rows, "Bench MariaDB " + std::to_string(rows), "bench", quill::TargetDialect::MySql,
          // Over TCP as the program, with the program's login.
          {"mariadb-dump", "--no-defaults", "--skip-extended-insert", "--protocol=TCP", "-h127.0.0.1",
           "-P" + std::to_string(servers.mariadb_port), "-u" + servers.user, "-p" + servers.password, database,
           "bench"}};
}

struct Result {
  Measurement peer, read, script, shown, double_shown;
  double peer_megabytes = 0;
  double script_megabytes = 0;
};

// Both sides meet the table as the other does: built, vacuumed and
// checkpointed before any round (no hint bits, visibility map or dirty pages
// left for a measured run to settle), read once by each side unmeasured (the
// table and both programs in memory), and in every other round the program
// goes first, so neither side always follows the other's run. With servers,
// each run's server CPU is counted too: wall time on a busy machine moves
// with the waits for a processor at each round trip, CPU time does not.
Result MeasureSource(const fs::path& folder, const Source& source, const quill::bench::BenchServers* servers) {
  const fs::path dump = folder / "dump.sql";
  const fs::path result_file = folder / "result";
  const std::vector<std::string> arguments = StepArguments(source, folder, result_file);
  quill::bench::MeasureProgram(source.peer, dump.string(), servers);
  fs::remove(dump);
  quill::bench::MeasureStep("read", arguments, servers);
  std::vector<Measurement> peer, read, script, shown, double_shown;
  Result result;
  const auto measure_peer = [&] {
    peer.push_back(quill::bench::MeasureProgram(source.peer, dump.string(), servers));
    result.peer_megabytes = fs::file_size(dump) / 1048576.0;
    fs::remove(dump);
  };
  for (int round = 0; round < kRounds; ++round) {
    if (round % 2 == 0) measure_peer();
    read.push_back(quill::bench::MeasureStep("read", arguments, servers));
    script.push_back(quill::bench::MeasureStep("script", arguments, servers));
    result.script_megabytes = ReadSize(result_file) / 1048576.0;
    script.back().seconds = ReadShownSeconds(result_file);
    shown.push_back(quill::bench::MeasureStep("shown", arguments, servers));
    shown.back().seconds = ReadShownSeconds(result_file);
    double_shown.push_back(quill::bench::MeasureStep("double", arguments, servers));
    double_shown.back().seconds = ReadShownSeconds(result_file);
    if (round % 2 == 1) measure_peer();
  }
  result.peer = quill::bench::Median(peer);
  result.read = quill::bench::Median(read);
  result.script = quill::bench::Median(script);
  result.shown = quill::bench::Median(shown);
  result.double_shown = quill::bench::Median(double_shown);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const int step = quill::bench::RunStepIfAsked(
      argc, argv, {{"read", ReadRows}, {"script", WriteScript}, {"shown", ShowScript}, {"double", ShowThroughDouble}});
  if (step >= 0) return step;
  std::vector<Engine> engines;
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "sqlite") engines.push_back(Engine::Sqlite);
    else if (argument == "postgres") engines.push_back(Engine::Postgres);
    else if (argument == "mariadb") engines.push_back(Engine::MariaDb);
    else if (std::atol(argv[i]) > 0) sizes.push_back(std::atol(argv[i]));
    else {
      std::fprintf(stderr, "usage: bench_source_scripts [sqlite|postgres|mariadb ...] [rows ...]\n");
      return 2;
    }
  }
  if (engines.empty()) engines = {Engine::Sqlite, Engine::Postgres, Engine::MariaDb};
  if (sizes.empty()) sizes = {100000, 1000000};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  const quill::bench::RunFolder run_folder("quill-bench");
  if (run_folder.empty()) return 2;
  const fs::path& folder = run_folder.path();
  // Qt wants a runtime folder of the user's own (0700), as the run folder is.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", folder.c_str());
  int status = 0;
  try {
    const bool servers_needed =
        std::any_of(engines.begin(), engines.end(), [](Engine engine) { return engine != Engine::Sqlite; });
    std::unique_ptr<quill::bench::BenchServers> servers;
    if (servers_needed) servers = std::make_unique<quill::bench::BenchServers>(folder / "servers");

    std::vector<Source> sources;
    for (Engine engine : engines) {
      for (long rows : sizes) {
        std::printf("building %s, %ld rows...\n", EngineName(engine), rows);
        std::fflush(stdout);
        switch (engine) {
          case Engine::Sqlite: sources.push_back(SqliteSource(folder, rows)); break;
          case Engine::Postgres: sources.push_back(PostgresSource(*servers, rows)); break;
          case Engine::MariaDb: sources.push_back(MariaDbSource(*servers, rows)); break;
        }
      }
    }
    std::vector<quill::bench::OdbcSource> dsns;
    for (const Source& source : sources) {
      const std::string rows = std::to_string(source.rows);
      switch (source.engine) {
        case Engine::Sqlite:
          dsns.push_back({source.dsn, "SQLite3", {{"Database", source.peer[1]}}});
          break;
        case Engine::Postgres:
          dsns.push_back({source.dsn, "PostgreSQL Unicode",
                          {{"Servername", "127.0.0.1"}, {"Port", std::to_string(servers->postgres_port)},
                           {"Database", "bench_" + rows}, {"Username", servers->user},
                           {"Password", servers->password}, {"ByteaAsLongVarBinary", "1"}}});
          break;
        case Engine::MariaDb:
          dsns.push_back({source.dsn, "MariaDB Unicode",
                          {{"SERVER", "127.0.0.1"}, {"PORT", std::to_string(servers->mariadb_port)},
                           {"DATABASE", "bench_" + rows}, {"USER", servers->user}, {"PASSWORD", servers->password}}});
          break;
      }
    }
    quill::bench::WriteOdbcSources(folder / "odbc", dsns);
    if (servers) setenv("PGPASSWORD", servers->password.c_str(), 1);  // pg_dump's login, as the program's

    std::printf("\nmedian of %d rounds taking turns; x = ratio to the peer; peak memory in MB\n", kRounds);
    std::printf("%-9s %8s %8s %15s %15s %15s %9s %9s %9s %9s %9s %9s %9s\n", "source", "rows", "peer s",
                "read s (x)", "script s (x)", "shown s (x)", "peer MB", "script MB", "peak peer", "peak read",
                "peak scr", "peak shn", "limit");
    std::map<Engine, std::vector<std::pair<long, double>>> per_row;
    for (const Source& source : sources) {
      const Result r = MeasureSource(folder, source, source.engine == Engine::Sqlite ? nullptr : servers.get());
      const double limit = 1.3 * r.script_megabytes + 64;
      std::printf(
          "%-9s %8ld %8.2f %7.2f (%4.2fx) %7.2f (%4.2fx) %7.2f (%4.2fx) %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n",
          EngineName(source.engine), source.rows, r.peer.seconds, r.read.seconds, r.read.seconds / r.peer.seconds,
          r.script.seconds, r.script.seconds / r.peer.seconds, r.shown.seconds, r.shown.seconds / r.peer.seconds,
          r.peer_megabytes, r.script_megabytes, r.peer.peak_kib / 1024.0, r.read.peak_kib / 1024.0,
          r.script.peak_kib / 1024.0, r.shown.peak_kib / 1024.0, limit);
      std::printf("%-9s %8s CPU s: peer %.2f, read %.2f, script %.2f, shown %.2f\n", "", "", r.peer.cpu_seconds,
                  r.read.cpu_seconds, r.script.cpu_seconds, r.shown.cpu_seconds);
      if (source.engine != Engine::Sqlite) {
        std::printf("%-9s %8s server CPU s: peer %.2f, read %.2f, script %.2f, shown %.2f; shown with its server's "
                    "CPU %.2f s against the peer's %.2f s (%4.2fx)\n",
                    "", "", r.peer.server_cpu_seconds, r.read.server_cpu_seconds, r.script.server_cpu_seconds,
                    r.shown.server_cpu_seconds, r.shown.cpu_seconds + r.shown.server_cpu_seconds,
                    r.peer.cpu_seconds + r.peer.server_cpu_seconds,
                    (r.shown.cpu_seconds + r.shown.server_cpu_seconds) / (r.peer.cpu_seconds + r.peer.server_cpu_seconds));
      }
      std::printf("%-9s %8s through the bench double of the windows, then shown: %.2f s (%4.2fx)\n", "", "",
                  r.double_shown.seconds, r.double_shown.seconds / r.peer.seconds);
      std::fflush(stdout);
      per_row[source.engine].emplace_back(source.rows, r.shown.seconds / static_cast<double>(source.rows));
    }
    std::printf("\nshown: time per row of the largest size / of the smallest (1.00 = linear)\n");
    for (const auto& [engine, costs] : per_row) {
      if (costs.size() < 2) continue;
      std::printf("%-9s %ld -> %ld rows: %.2f\n", EngineName(engine), costs.front().first, costs.back().first,
                  costs.back().second / costs.front().second);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_source_scripts: %s\n", error.what());
    status = 1;
  }
  return status;
}
