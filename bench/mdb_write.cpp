// Writing a 1,000,000-row table of mixed types into a new Access database
// through the catalog and recordset calls of the export (integer key, text
// with quotes, double, date-time, 20% NULLs, a small BLOB in every fourth
// row; values given as the export gives them, as text, and bytes for BLOBs;
// the primary key appended after the rows), beside `mdb-export` reading the
// same file back to /dev/null. Each is measured in a process of its own:
// wall time, rows per second, peak memory.
//
// Target: writing takes at most the time mdbtools takes to read the rows
// back; the writer's peak memory stays within 64 MB plus the collected keys.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace quill::jet;

constexpr long kRows = 1'000'000;

using quill::bench::Measurement;

// 1700000000 + k * 37 seconds after 1970-01-01 as the field text gives it
// ("yyyy-mm-dd hh:nn:ss"), without the C library's time zone work per call.
std::string StampText(long k) {
  const long long seconds = 1'700'000'000LL + k * 37LL;
  long long days = seconds / 86400 + 719468;
  const long long in_day = seconds % 86400;
  const long long era = days / 146097;
  const long long day_of_era = days - era * 146097;
  const long long year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long long month_index = (5 * day_of_year + 2) / 153;
  const long long day = day_of_year - (153 * month_index + 2) / 5 + 1;
  const long long month = month_index < 10 ? month_index + 3 : month_index - 9;
  const long long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, day, in_day / 3600,
                in_day / 60 % 60, in_day % 60);
  return buffer;
}

void WriteDatabase(const std::string& file, const std::string& engine) {
  const std::string connection_string =
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Jet OLEDB:Engine Type=" + engine;
  Catalog catalog;
  catalog.Create(connection_string);
  Table table;
  table.SetParentCatalog(catalog);
  table.SetName("bench");
  struct Spec {
    const char* name;
    int type;
    int size;
    bool nullable;
  };
  for (const Spec& spec : {Spec{"id", kAdInteger, 0, false}, Spec{"name", kAdWChar, 40, true},
                           Spec{"amount", kAdDouble, 0, true}, Spec{"stamp", kAdDate, 0, true},
                           Spec{"note", kAdWChar, 40, true}, Spec{"data", kAdLongVarBinary, 0, true}}) {
    Column column;
    column.SetParentCatalog(catalog);
    column.SetName(spec.name);
    column.SetType(spec.type);
    column.SetDefinedSize(spec.size);
    column.Properties().Item("Description").SetValue(std::string());
    column.Properties().Item("Nullable").SetValue(spec.nullable);
    column.Properties().Item("Jet OLEDB:Allow Zero Length").SetValue(false);
    column.Properties().Item("Jet OLEDB:Compressed UNICODE Strings").SetValue(true);
    table.Columns().Append(column, spec.type, spec.size);
  }
  catalog.Tables().Append(table);

  Connection connection;
  connection.Open(connection_string);
  Recordset recordset;
  recordset.Open("bench", connection, kAdOpenKeyset, kAdLockOptimistic, kAdCmdTableDirect);
  std::uint32_t noise = 12345;
  Bytes blob;
  char amount[32];
  for (long k = 1; k <= kRows; ++k) {
    recordset.AddNew();
    FieldCollection& fields = recordset.Fields();
    fields.Item(0).SetValue(std::to_string(k));
    fields.Item(1).SetValue("O'Brien \"" + std::to_string(k) + "\"");
    std::snprintf(amount, sizeof amount, "%ld.%02ld", k / 4, k % 4 * 25);  // k * 0.25 with two decimals
    fields.Item(2).SetValue(std::string(amount));
    fields.Item(3).SetValue(StampText(k));
    if (k % 5 != 0) fields.Item(4).SetValue("note " + std::to_string(k));
    if (k % 4 == 0) {
      blob.resize(16 + k % 48);
      for (auto& b : blob) b = static_cast<std::uint8_t>((noise = noise * 1103515245 + 12345) >> 16);
      fields.Item(5).SetValue(blob);
    }
    recordset.Update();
  }
  recordset.Close();
  connection.Close();

  Table& written = catalog.Tables().Item("bench");
  Key key;
  key.SetName("PrimaryKey");
  key.SetType(kAdKeyPrimary);
  key.Columns().Append("id", kAdInteger, 0);
  written.Keys().Append(key, kAdKeyPrimary);
  catalog.Tables().Refresh();
  catalog.SetActiveConnection(nullptr);
}

}  // namespace

int main() {
  const quill::bench::RunFolder run_folder("quill-bench-mdb-write");
  if (run_folder.empty()) return 2;
  const fs::path& folder = run_folder.path();
  std::printf("%-8s %-26s %10s %10s %14s %12s %12s\n", "format", "step", "seconds", "CPU s", "rows/s", "peak MiB",
              "file MiB");
  for (const auto& format : {std::pair<std::string, std::string>{"5", "Jet 4"}, {"4", "Jet 3"}}) {
    const std::string& engine = format.first;  // plain names: the lambdas below capture them
    const std::string& label = format.second;
    const std::string file = (folder / ("bench_" + engine + ".mdb")).string();
    fs::remove(file);
    const Measurement write = quill::bench::MeasureOnce([&] { WriteDatabase(file, engine); });
    const double file_mib = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
    const Measurement read = quill::bench::MeasureOnce([&] {
      if (quill::bench::RunProgram({"mdb-export", file, "bench"}) != 0) throw std::runtime_error("mdb-export failed");
    });
    const auto print = [&](const char* step, const Measurement& m) {
      std::printf("%-8s %-26s %10.3f %10.3f %14.0f %12.1f %12.1f\n", label.c_str(), step, m.seconds, m.cpu_seconds,
                  kRows / m.seconds, m.peak_kib / 1024.0, file_mib);
    };
    print("write (catalog, recordset)", write);
    print("mdb-export read back", read);
    std::printf("%-8s write / read: %.2f wall, %.2f CPU\n", label.c_str(), write.seconds / read.seconds,
                write.cpu_seconds / read.cpu_seconds);
    fs::remove(file);
  }
  return 0;
}
