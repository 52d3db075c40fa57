#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quill::bench {

// Runs a program (found on PATH) with its arguments, no shell, its standard
// output into output_file; its exit code, -1 when it did not end normally.
int RunProgram(const std::vector<std::string>& arguments, const std::string& output_file = "/dev/null");

// The benchmarks' SQLite table "bench": integer key, text with quotes, real,
// timestamp, 20% NULLs, a small BLOB in every fourth row. Built once: an
// existing file is kept.
void BuildBenchTable(const std::filesystem::path& file, long rows);

// A fresh folder for one benchmark run, /tmp/PREFIX-XXXXXX; empty when it
// cannot be made. The folder is removed when the bench is interrupted or
// ends by a signal (its servers stopped first); RunFolder removes it when
// the bench ends otherwise.
std::filesystem::path MakeRunFolder(const std::string& prefix);

// Owns a run folder: removes it at the end of its scope, also when the bench
// fails with an exception.
class RunFolder {
 public:
  explicit RunFolder(const std::string& prefix) : path_(MakeRunFolder(prefix)) {}
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  bool empty() const { return path_.empty(); }

 private:
  std::filesystem::path path_;
};

// The DSN under which SetUpSqliteBench offers the bench table.
constexpr const char* kBenchDsn = "Bench SQLite";

// A fresh run folder (see MakeRunFolder) holding the bench table of `rows`
// rows in bench.sqlite, offered as kBenchDsn by a private ODBC configuration
// there put in force for this process. Both paths empty when the folder cannot
// be made.
struct SqliteBench {
  std::filesystem::path folder;
  std::filesystem::path database;
};
SqliteBench SetUpSqliteBench(const std::string& folder_prefix, long rows);

// `sqlite3 FILE .dump`, its output into output_file; throws when it fails.
void DumpSqlite(const std::filesystem::path& database, const std::string& output_file = "/dev/null");

// A private ODBC configuration with the SQLite driver and one DSN per file,
// put in force for this process (before its first ODBC call).
void WriteOdbcConfiguration(const std::filesystem::path& folder,
                            const std::vector<std::pair<std::string, std::filesystem::path>>& sources);

// One DSN of a private ODBC configuration: its driver section ("SQLite3",
// "PostgreSQL Unicode", "MariaDB Unicode") and its key = value attributes.
struct OdbcSource {
  std::string name;
  std::string driver;
  std::vector<std::pair<std::string, std::string>> attributes;
};

// A private ODBC configuration with the SQLite, PostgreSQL and MariaDB
// drivers and the given DSNs, put in force for this process (before its
// first ODBC call).
void WriteOdbcSources(const std::filesystem::path& folder, const std::vector<OdbcSource>& sources);

// The throwaway PostgreSQL and MariaDB servers of the tests
// (tests/fixtures/test_servers.sh), started for one benchmark run in the
// given folder and stopped when the object goes away.
class BenchServers {
 public:
  explicit BenchServers(const std::filesystem::path& folder);
  ~BenchServers();
  BenchServers(const BenchServers&) = delete;
  BenchServers& operator=(const BenchServers&) = delete;

  int postgres_port = 0;
  std::string postgres_socket_folder;  // the admin user "postgres" is trusted there
  int mariadb_port = 0;
  std::string mariadb_socket;  // root, no password
  std::string user;            // password login over TCP on both
  std::string password;

  // The CPU time the two servers have spent on work that has ended: the
  // MariaDB server's own (all its threads), and the PostgreSQL backends its
  // postmaster has reaped. A run's difference is the server's share of it.
  double CpuSeconds() const;
  // Waits (at most a few seconds) until the backends of runs that ended have
  // gone, so that their CPU time is counted.
  void AwaitEndedBackends() const;

 private:
  std::filesystem::path folder_;
  std::string runtime_;  // the servers' data, logs and pid files
  long background_processes_ = 0;  // the postmaster's children when idle
};

struct Measurement {
  double seconds = 0;
  double cpu_seconds = 0;  // user and system: steadier than wall time on a busy machine
  double server_cpu_seconds = 0;  // the database server's part of the same run
  long peak_kib = 0;
};

// Runs a program (found on PATH) as a process of its own, its standard output
// into output_file: its wall and CPU time and its peak memory, and with
// servers the CPU time they spent on it. Throws when it fails.
Measurement MeasureProgram(const std::vector<std::string>& arguments, const std::string& output_file = "/dev/null",
                           const BenchServers* servers = nullptr);

// A step of a bench measured in a new process of the bench itself, started
// from its file as a user starts the program, so start-up is counted:
// MeasureStep starts `BENCH --step NAME ARGUMENTS...`, and the bench's main
// hands such a command line to RunStepIfAsked first, which runs the step of
// that name with the arguments and gives the exit code (-1 when the command
// line names no step).
using Step = std::function<void(const std::vector<std::string>& arguments)>;
Measurement MeasureStep(const std::string& name, const std::vector<std::string>& arguments,
                        const BenchServers* servers = nullptr);
int RunStepIfAsked(int argc, char** argv, const std::vector<std::pair<std::string, Step>>& steps);

// Runs work in a forked child process: its wall and CPU time and its own
// peak memory. Start-up is not counted: for the benches of one piece.
Measurement MeasureOnce(const std::function<void()>& work);
// The best time of three runs (the machine may be busy), the highest peak.
Measurement MeasureBestOfThree(const std::function<void()>& work);
// The median time of the runs, the highest peak.
Measurement Median(std::vector<Measurement> runs);

}  // namespace quill::bench
