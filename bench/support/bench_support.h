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

// A private ODBC configuration with the SQLite driver and one DSN per file,
// put in force for this process (before its first ODBC call).
void WriteOdbcConfiguration(const std::filesystem::path& folder,
                            const std::vector<std::pair<std::string, std::filesystem::path>>& sources);

struct Measurement {
  double seconds = 0;
  double cpu_seconds = 0;  // user and system: steadier than wall time on a busy machine
  long peak_kib = 0;
};

// Runs work in a child process: its wall and CPU time and its own peak memory.
Measurement MeasureOnce(const std::function<void()>& work);
// The best time of three runs (the machine may be busy), the highest peak.
Measurement MeasureBestOfThree(const std::function<void()>& work);

}  // namespace quill::bench
