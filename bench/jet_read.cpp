// Reading a 1,000,000-row .mdb table of mixed types (integer key, text with
// quotes, double, date-time, 20% NULLs, a small OLE value in every fourth
// row) through the Jet reader process, as every connection reads it, beside
// libmdb in this process, the same dataset code on both sides. Each read
// touches every value and runs in a process of its own: wall time, rows per
// second, CPU time and peak memory, best of three. The file is written once with the
// project's own Jet writer into a run folder of its own, removed at the end.
//
// Target: the reader process at most 1.3 x the in-process read.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/jet/reader/mdb_backend.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/value_conversion.h"

namespace {

namespace fs = std::filesystem;
using quill::bench::Measurement;
using quill::jet::JetType;
using quill::jet::MakeColumn;

constexpr long kRows = 1'000'000;

void WriteBenchFile(const fs::path& file) {
  if (fs::exists(file)) return;
  const fs::path partial = file.string() + ".partial";
  fs::remove(partial);
  {
    quill::jet::JetDatabase database(partial.string(), quill::jet::JetVersion::kJet4);
    quill::jet::JetTable& table = database.AddTable(
        "bench", {MakeColumn("id", JetType::kLongInteger), MakeColumn("name", JetType::kText, 80),
                  MakeColumn("amount", JetType::kDouble), MakeColumn("stamp", JetType::kDateTime),
                  MakeColumn("note", JetType::kText, 80), MakeColumn("data", JetType::kOle)});
    const quill::jet::Null null;
    for (long k = 0; k < kRows; ++k) {
      const std::vector<quill::jet::Variant> row = {
          int64_t{k},
          "name " + std::to_string(k) + " O'Brien \"x\"",
          k * 1.25,
          quill::DateTime{2000 + static_cast<int>(k % 30), 1 + static_cast<int>(k % 12), 1 + static_cast<int>(k % 28),
                          static_cast<int>(k % 24), static_cast<int>(k % 60), static_cast<int>(k % 60), 0},
          k % 5 == 0 ? quill::jet::Variant(null) : quill::jet::Variant("note " + std::to_string(k)),
          k % 4 == 0 ? quill::jet::Variant(quill::jet::Bytes(64, static_cast<uint8_t>(k))) : quill::jet::Variant(null)};
      std::vector<quill::jet::CellValue> cells;
      for (size_t i = 0; i < row.size(); ++i) {
        cells.push_back(quill::jet::ConvertValue(row[i], table.columns[i], database.format()));
      }
      database.AddRow(table, std::move(cells));
    }
    database.Close();
  }
  fs::rename(partial, file);
}

// Every row, every value touched; the number of rows.
long ReadAll(quill::ConnectionBackend& backend) {
  auto table = backend.OpenTable("bench");
  long rows = 0;
  size_t bytes = 0;
  for (; !table->Eof(); table->Next(), ++rows) {
    for (int i = 0; i < table->FieldCount(); ++i) {
      const quill::Field& field = table->FieldAt(i);
      if (!field.IsNull()) bytes += field.AsString().size();
    }
  }
  if (bytes == 0) std::fprintf(stderr, "no values read\n");
  return rows;
}

}  // namespace

int main() {
  setenv("QUILLMARSH_JET_READER", QUILL_JET_READER, 0);  // the reader of this build
  const quill::bench::RunFolder run_folder("quill-bench-jet-read");
  if (run_folder.empty()) return 2;
  const fs::path& folder = run_folder.path();
  const fs::path file = folder / ("bench_" + std::to_string(kRows) + ".mdb");
  WriteBenchFile(file);

  const auto expect_rows = [](long read) {
    if (read != kRows) throw std::runtime_error("read " + std::to_string(read) + " rows");
  };
  const Measurement in_process = quill::bench::MeasureBestOfThree([&] {
    quill::MdbBackend backend(file.string());
    expect_rows(ReadAll(backend));
  });
  const Measurement child = quill::bench::MeasureBestOfThree([&] {
    auto backend = quill::OpenJetBackend(file.string());
    expect_rows(ReadAll(*backend));
  });

  // CPU time counts the reader process too: it is waited for inside the measured process.
  std::printf("%-10s %-24s %10s %10s %14s %12s\n", "rows", "reader", "seconds", "CPU s", "rows/s", "peak MiB");
  const auto print = [](const char* reader, const Measurement& m) {
    std::printf("%-10ld %-24s %10.3f %10.3f %14.0f %12.1f\n", kRows, reader, m.seconds, m.cpu_seconds,
                kRows / m.seconds, m.peak_kib / 1024.0);
  };
  print("libmdb in this process", in_process);
  print("reader process", child);
  std::printf("%-10ld reader process / in process = %.2f (target <= 1.30)\n", kRows, child.seconds / in_process.seconds);
  return 0;
}
