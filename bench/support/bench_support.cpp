#include "bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace quill::bench {

namespace fs = std::filesystem;

namespace {

// Starts a program (found on PATH), its standard output into output_file;
// its process id.
pid_t StartProgram(const std::vector<std::string>& arguments, const std::string& output_file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
  return pid;
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments, const std::string& output_file) {
  int status = 0;
  waitpid(StartProgram(arguments, output_file), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BuildBenchTable(const fs::path& file, long rows) {
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
  if (RunProgram({"sqlite3", partial.string(), sql}) != 0) throw std::runtime_error("sqlite3 failed");
  fs::rename(partial, file);
}

namespace {

// The run folder an interruption removes, as a C string: the signal handler
// may only use what is ready.
char interrupted_folder[4096];
char servers_script[4096];

// Stops the servers that may run in the folder, removes it and ends the bench
// with the signal's code. Only fork, exec and wait: what a handler may call.
void RemoveRunFolderOnSignal(int signal_number) {
  if (interrupted_folder[0] != '\0') {
    const pid_t pid = fork();
    if (pid == 0) {
      char shell[] = "/bin/sh";
      char option[] = "-c";
      char command[] = "\"$0\" stop \"$1/servers\" >/dev/null 2>&1; rm -rf \"$1\"";
      char* argv[] = {shell, option, command, servers_script, interrupted_folder, nullptr};
      execve(shell, argv, environ);
      _exit(127);
    }
    if (pid > 0) waitpid(pid, nullptr, 0);
  }
  _exit(128 + signal_number);
}

}  // namespace

fs::path MakeRunFolder(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  if (pattern.size() < sizeof interrupted_folder) {
    std::strcpy(interrupted_folder, pattern.c_str());
    std::snprintf(servers_script, sizeof servers_script, "%s/tests/fixtures/test_servers.sh", QUILL_SOURCE_DIR);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal_number, RemoveRunFolderOnSignal);
  }
  return pattern;
}

RunFolder::~RunFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  if (path_ == interrupted_folder) interrupted_folder[0] = '\0';
}

SqliteBench SetUpSqliteBench(const std::string& folder_prefix, long rows) {
  SqliteBench bench;
  bench.folder = MakeRunFolder(folder_prefix);
  if (bench.folder.empty()) return bench;
  bench.database = bench.folder / "bench.sqlite";
  WriteOdbcConfiguration(bench.folder, {{kBenchDsn, bench.database}});
  std::printf("building %ld rows...\n", rows);
  BuildBenchTable(bench.database, rows);
  return bench;
}

void DumpSqlite(const fs::path& database, const std::string& output_file) {
  if (RunProgram({"sqlite3", database.string(), ".dump"}, output_file) != 0) {
    throw std::runtime_error("sqlite3 .dump failed");
  }
}

void WriteOdbcConfiguration(const fs::path& folder, const std::vector<std::pair<std::string, fs::path>>& sources) {
  fs::create_directories(folder);
  std::ofstream(folder / "odbcinst.ini") << "[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n";
  std::ofstream odbc(folder / "odbc.ini");
  odbc << "[ODBC Data Sources]\n";
  for (const auto& source : sources) odbc << source.first << "=SQLite3\n";
  odbc << "\n";
  for (const auto& [dsn, file] : sources) odbc << "[" << dsn << "]\nDriver=SQLite3\nDatabase=" << file.string() << "\n\n";
  setenv("ODBCSYSINI", folder.c_str(), 1);
  setenv("ODBCINI", (folder / "user-odbc.ini").c_str(), 1);
}

void WriteOdbcSources(const fs::path& folder, const std::vector<OdbcSource>& sources) {
  fs::create_directories(folder);
  const std::string drivers = "/usr/lib/x86_64-linux-gnu/odbc/";
  std::ofstream(folder / "odbcinst.ini") << "[SQLite3]\nDriver=" << drivers << "libsqlite3odbc.so\n\n"
                                         << "[PostgreSQL Unicode]\nDriver=" << drivers << "psqlodbcw.so\n\n"
                                         << "[MariaDB Unicode]\nDriver=" << drivers << "libmaodbc.so\n";
  std::ofstream odbc(folder / "odbc.ini");
  odbc << "[ODBC Data Sources]\n";
  for (const OdbcSource& source : sources) odbc << source.name << "=" << source.driver << "\n";
  for (const OdbcSource& source : sources) {
    odbc << "\n[" << source.name << "]\nDriver=" << source.driver << "\n";
    for (const auto& [key, value] : source.attributes) odbc << key << "=" << value << "\n";
  }
  setenv("ODBCSYSINI", folder.c_str(), 1);
  setenv("ODBCINI", (folder / "user-odbc.ini").c_str(), 1);
}

namespace {

// KEY='VALUE' lines of the servers' servers.env.
std::string EnvValue(const std::string& text, const std::string& key) {
  const std::string start = key + "='";
  std::size_t at = text.find(start);
  if (at == std::string::npos) throw std::runtime_error("servers.env lacks " + key);
  at += start.size();
  return text.substr(at, text.find('\'', at) - at);
}

}  // namespace

namespace {

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// Fields 14 to 17 of /proc/PID/stat (utime, stime, cutime, cstime), in
// clock ticks; zeros when the process is gone.
std::vector<long> ProcessTimes(const std::string& pid) {
  const std::string stat = FirstLine("/proc/" + pid + "/stat");
  std::vector<long> times(4, 0);
  const std::size_t name_end = stat.rfind(')');
  if (pid.empty() || name_end == std::string::npos) return times;
  std::istringstream fields(stat.substr(name_end + 1));
  std::string field;
  for (int number = 3; number <= 17 && fields >> field; ++number) {
    if (number >= 14) times[number - 14] = std::atol(field.c_str());
  }
  return times;
}

long ChildCount(const std::string& pid) {
  std::istringstream children(FirstLine("/proc/" + pid + "/task/" + pid + "/children"));
  long count = 0;
  for (std::string child; children >> child;) ++count;
  return count;
}

}  // namespace

BenchServers::BenchServers(const fs::path& folder) : folder_(folder) {
  const std::string script = std::string(QUILL_SOURCE_DIR) + "/tests/fixtures/test_servers.sh";
  if (RunProgram({script, "start", folder_.string()}) != 0) throw std::runtime_error("the servers did not start");
  std::ifstream file(folder_ / "servers.env");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  postgres_port = std::stoi(EnvValue(text, "PG_PORT"));
  postgres_socket_folder = EnvValue(text, "PG_SOCKET_DIR");
  mariadb_port = std::stoi(EnvValue(text, "MARIADB_PORT"));
  mariadb_socket = EnvValue(text, "MARIADB_SOCKET");
  user = EnvValue(text, "PG_USER");
  password = EnvValue(text, "PG_PASSWORD");
  runtime_ = FirstLine(folder_ / "runtime-folder");
  background_processes_ = ChildCount(FirstLine(fs::path(runtime_) / "postgres" / "postmaster.pid"));
}

double BenchServers::CpuSeconds() const {
  const std::vector<long> postmaster = ProcessTimes(FirstLine(fs::path(runtime_) / "postgres" / "postmaster.pid"));
  const std::vector<long> mariadb = ProcessTimes(FirstLine(fs::path(runtime_) / "mariadb" / "mariadb.pid"));
  const long ticks = postmaster[2] + postmaster[3] + mariadb[0] + mariadb[1];
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BenchServers::AwaitEndedBackends() const {
  const std::string postmaster = FirstLine(fs::path(runtime_) / "postgres" / "postmaster.pid");
  for (int poll = 0; poll < 300 && ChildCount(postmaster) > background_processes_; ++poll) usleep(10000);
}

BenchServers::~BenchServers() {
  try {
    RunProgram({std::string(QUILL_SOURCE_DIR) + "/tests/fixtures/test_servers.sh", "stop", folder_.string()});
  } catch (const std::exception&) {
  }
}

Measurement Median(std::vector<Measurement> runs) {
  if (runs.empty()) return {};
  Measurement median;
  for (const Measurement& run : runs) median.peak_kib = std::max(median.peak_kib, run.peak_kib);
  std::sort(runs.begin(), runs.end(), [](const Measurement& a, const Measurement& b) { return a.seconds < b.seconds; });
  median.seconds = runs[runs.size() / 2].seconds;
  std::sort(runs.begin(), runs.end(),
            [](const Measurement& a, const Measurement& b) { return a.cpu_seconds < b.cpu_seconds; });
  median.cpu_seconds = runs[runs.size() / 2].cpu_seconds;
  std::sort(runs.begin(), runs.end(),
            [](const Measurement& a, const Measurement& b) { return a.server_cpu_seconds < b.server_cpu_seconds; });
  median.server_cpu_seconds = runs[runs.size() / 2].server_cpu_seconds;
  return median;
}

namespace {

double CpuSeconds(const rusage& usage) {
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// Waits for the measured process started at `start`: its wall and CPU time
// and its peak memory; throws `what` when it failed.
Measurement AwaitMeasured(pid_t pid, std::chrono::steady_clock::time_point start, const std::string& what) {
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Measurement measurement;
  measurement.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measurement.peak_kib = usage.ru_maxrss;
  measurement.cpu_seconds = CpuSeconds(usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(what);
  return measurement;
}

}  // namespace

Measurement MeasureProgram(const std::vector<std::string>& arguments, const std::string& output_file,
                           const BenchServers* servers) {
  if (servers) servers->AwaitEndedBackends();
  const double server_start = servers ? servers->CpuSeconds() : 0;
  const auto start = std::chrono::steady_clock::now();
  Measurement measurement =
      AwaitMeasured(StartProgram(arguments, output_file), start, "a measured run failed: " + arguments[0]);
  if (servers) {
    servers->AwaitEndedBackends();
    measurement.server_cpu_seconds = servers->CpuSeconds() - server_start;
  }
  return measurement;
}

Measurement MeasureStep(const std::string& name, const std::vector<std::string>& arguments,
                        const BenchServers* servers) {
  std::vector<std::string> command = {fs::read_symlink("/proc/self/exe").string(), "--step", name};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return MeasureProgram(command, "/dev/null", servers);
}

int RunStepIfAsked(int argc, char** argv, const std::vector<std::pair<std::string, Step>>& steps) {
  if (argc < 3 || std::string(argv[1]) != "--step") return -1;
  for (const auto& [name, step] : steps) {
    if (name != argv[2]) continue;
    try {
      step(std::vector<std::string>(argv + 3, argv + argc));
      return 0;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), error.what());
      return 1;
    }
  }
  std::fprintf(stderr, "no step %s\n", argv[2]);
  return 2;
}

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
  return AwaitMeasured(pid, start, "a measured run failed");
}

Measurement MeasureBestOfThree(const std::function<void()>& work) {
  Measurement best = MeasureOnce(work);
  for (int run = 1; run < 3; ++run) {
    const Measurement next = MeasureOnce(work);
    best.seconds = std::min(best.seconds, next.seconds);
    best.cpu_seconds = std::min(best.cpu_seconds, next.cpu_seconds);
    best.peak_kib = std::max(best.peak_kib, next.peak_kib);
  }
  return best;
}

}  // namespace quill::bench
