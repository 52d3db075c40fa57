// Scripts from SQLite, PostgreSQL and MariaDB tables, beside each engine's own
// dump tool writing the same table as INSERT statements:
//   sqlite3 FILE ".dump bench"
//   pg_dump --inserts --data-only -t bench
//   mariadb-dump --skip-extended-insert DATABASE bench
// For each engine and size it measures, in processes of their own, five
// rounds taking turns (the median time, the highest peak memory):
//   peer    the dump tool, its output into a file
//   read    every row through the table dataset, no script (the fetch side)
//   script  a whole run: connect, read, write the script into its buffer
//   shown   the run, then the script in the main window's script tab
//           (MainWindow::AddScriptTab returned and the window painted): the
//           user's wait from the start of the run to the painted tab, in a
//           window that is open already (its own start is not counted; CPU
//           and memory are the whole process's)
// The table (integer key, two texts with quotes and NULLs, a real, a
// timestamp, a BLOB in every fourth row) is the same on the three engines;
// the servers are the tests' throwaway ones, started for the run. Scripts:
// MS SQL from SQLite, PostgreSQL from PostgreSQL, MySql from MariaDB.
//
// Usage: bench_source_scripts [sqlite|postgres|mariadb ...] [rows ...]
//        (default: the three engines, 100000 and 1000000 rows)
// Targets at 1,000,000 rows, as ratios to the peer in the same run: shown at
// most 1.5 x from SQLite and PostgreSQL, 2.5 x from MariaDB; peak memory at
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

#include "bench_script_run.h"
#include "bench_support.h"
#include "bench_user_interface.h"
#include "platform/cpu/vector_state.h"
#include "common/user_interface.h"
#include "platform/connection/connection.h"
#include "shell/main_window.h"
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

// One whole run; its script's size.
std::size_t RunScript(const fs::path& folder, const Source& source, quill::UserInterface* show) {
  quill::bench::BenchUserInterface ui("bench", show);
  quill::bench::RunScript(folder, source.dialect, source.dsn, source.table, ui);
  if (ui.bytes == 0) throw std::runtime_error("the run gave no script");
  return ui.bytes;
}

// Every row through the dataset, touching every value.
void ReadRows(const Source& source, const fs::path& size_file) {
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
  std::ofstream(size_file) << bytes;
}

void WriteScript(const fs::path& folder, const Source& source, const fs::path& size_file) {
  std::ofstream(size_file) << RunScript(folder, source, nullptr);
}

void ShowScript(const fs::path& folder, const Source& source, const fs::path& size_file) {
  static int argc = 1;
  static char name[] = "bench_source_scripts";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  quill::Settings settings;
  quill::MainWindow window(folder.string(), settings);
  window.show();
  QApplication::processEvents();
  quill::ClearUpperVectorState();  // as the window's Escape poll does when a run starts
  const auto start = std::chrono::steady_clock::now();
  const std::size_t bytes = RunScript(folder, source, &window);
  window.repaint();  // the first paint of the tab, done before this returns
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::ofstream(size_file) << bytes << ' ' << seconds;
}

// The wait ShowScript wrote after the script's size.
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
  Run(in_database, "VACUUM ANALYZE bench");
  return {Engine::Postgres, rows, "Bench PostgreSQL " + std::to_string(rows), "public.bench",
          quill::TargetDialect::PostgreSql,
          {"pg_dump", "--inserts", "--data-only", "-t", "bench", "-h", servers.postgres_socket_folder, "-p",
           std::to_string(servers.postgres_port), "-U", "postgres", database}};
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
          {"mariadb-dump", "--no-defaults", "--skip-extended-insert", "-uroot", "-S", servers.mariadb_socket, database,
           "bench"}};
}

struct Result {
  Measurement peer, read, script, shown;
  double peer_megabytes = 0;
  double script_megabytes = 0;
};

Result MeasureSource(const fs::path& folder, const Source& source) {
  const fs::path dump = folder / "dump.sql";
  const fs::path size_file = folder / "size";
  std::vector<Measurement> peer, read, script, shown;
  Result result;
  for (int round = 0; round < kRounds; ++round) {
    peer.push_back(quill::bench::MeasureOnce([&] {
      if (quill::bench::RunProgram(source.peer, dump.string()) != 0) throw std::runtime_error("the peer failed");
    }));
    result.peer_megabytes = fs::file_size(dump) / 1048576.0;
    fs::remove(dump);
    read.push_back(quill::bench::MeasureOnce([&] { ReadRows(source, size_file); }));
    script.push_back(quill::bench::MeasureOnce([&] { WriteScript(folder, source, size_file); }));
    result.script_megabytes = ReadSize(size_file) / 1048576.0;
    shown.push_back(quill::bench::MeasureOnce([&] { ShowScript(folder, source, size_file); }));
    shown.back().seconds = ReadShownSeconds(size_file);
  }
  result.peer = quill::bench::Median(peer);
  result.read = quill::bench::Median(read);
  result.script = quill::bench::Median(script);
  result.shown = quill::bench::Median(shown);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
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
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", "/tmp");

  const fs::path folder = quill::bench::MakeRunFolder("quill-bench");
  if (folder.empty()) return 2;
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

    std::printf("\nmedian of %d rounds taking turns; x = ratio to the peer; peak memory in MB\n", kRounds);
    std::printf("%-9s %8s %8s %15s %15s %15s %9s %9s %9s %9s %9s %9s %9s\n", "source", "rows", "peer s",
                "read s (x)", "script s (x)", "shown s (x)", "peer MB", "script MB", "peak peer", "peak read",
                "peak scr", "peak shn", "limit");
    std::map<Engine, std::vector<std::pair<long, double>>> per_row;
    for (const Source& source : sources) {
      const Result r = MeasureSource(folder, source);
      const double limit = 1.3 * r.script_megabytes + 64;
      std::printf(
          "%-9s %8ld %8.2f %7.2f (%4.2fx) %7.2f (%4.2fx) %7.2f (%4.2fx) %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n",
          EngineName(source.engine), source.rows, r.peer.seconds, r.read.seconds, r.read.seconds / r.peer.seconds,
          r.script.seconds, r.script.seconds / r.peer.seconds, r.shown.seconds, r.shown.seconds / r.peer.seconds,
          r.peer_megabytes, r.script_megabytes, r.peer.peak_kib / 1024.0, r.read.peak_kib / 1024.0,
          r.script.peak_kib / 1024.0, r.shown.peak_kib / 1024.0, limit);
      std::printf("%-9s %8s CPU s: peer %.2f, read %.2f, script %.2f, shown %.2f\n", "", "", r.peer.cpu_seconds,
                  r.read.cpu_seconds, r.script.cpu_seconds, r.shown.cpu_seconds);
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
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return status;
}
