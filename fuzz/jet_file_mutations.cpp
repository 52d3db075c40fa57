// Mutates small valid .mdb (both Jet versions, written by the project's own
// writer) and .xls files and reads each mutant completely through the Jet
// reader process: tables, columns, keys and every row of every table. A
// mutant the reader crashes or hangs on ("the file is damaged") is kept in
// the output folder. Any other outcome, an error included, is fine.
//
// Usage: jet_file_mutations OUTPUT_FOLDER SECONDS XLS_SEED [RANDOM_SEED]
// The reader is the one of this build, unless QUILLMARSH_JET_READER names another.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/value_conversion.h"

namespace {

namespace fs = std::filesystem;
using quill::jet::JetType;
using quill::jet::MakeColumn;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A small database of every kind of page: text, memo and OLE values inline
// and on pages of their own, a primary key, two tables.
std::string MakeMdbSeed(const fs::path& folder, quill::jet::JetVersion version) {
  const fs::path path = folder / (version == quill::jet::JetVersion::kJet3 ? "seed3.mdb" : "seed4.mdb");
  quill::jet::JetDatabase database(path.string(), version);
  quill::jet::JetTable& table =
      database.AddTable("people", {MakeColumn("id", JetType::kLongInteger), MakeColumn("name", JetType::kText, 40),
                                   MakeColumn("born", JetType::kDateTime), MakeColumn("price", JetType::kCurrency),
                                   MakeColumn("notes", JetType::kMemo), MakeColumn("photo", JetType::kOle),
                                   MakeColumn("ok", JetType::kBoolean)});
  database.AddPrimaryKey(table, "PrimaryKey", "id");
  for (int64_t n = 0; n < 40; ++n) {
    const std::vector<quill::jet::Variant> row = {
        n, "name " + std::to_string(n), quill::DateTime{2000, 1, 1 + static_cast<int>(n % 28), 10, 0, 0, 0},
        std::string("12.5"), std::string(n % 5 == 0 ? 3000 : 20, 'm'), quill::jet::Bytes(n % 7 == 0 ? 5000 : 10, 0x5A),
        n % 2 == 0};
    std::vector<quill::jet::CellValue> cells;
    for (size_t i = 0; i < row.size(); ++i) {
      cells.push_back(quill::jet::ConvertValue(row[i], table.columns[i], database.format()));
    }
    database.AddRow(table, std::move(cells));
  }
  database.AddTable("codes", {MakeColumn("code", JetType::kText, 10), MakeColumn("value", JetType::kDouble)});
  database.Close();
  return ReadBytes(path);
}

// Reads everything there is to read; true when the reader failed on it.
bool ReaderFails(const std::string& path, const quill::JetReaderOptions& options) {
  const std::string damaged = quill::DamagedFileError(path).what();
  try {
    auto backend = quill::OpenJetBackend(path, options);
    std::vector<std::string> tables;
    auto listing = backend->OpenSchema(quill::SchemaKind::Tables, {});
    for (; !listing->Eof(); listing->Next()) tables.push_back(listing->FieldAt(2).AsString());
    for (const std::string& name : tables) {
      try {
        backend->OpenSchema(quill::SchemaKind::Columns, {std::nullopt, std::nullopt, name});
        backend->OpenSchema(quill::SchemaKind::PrimaryKeys, {std::nullopt, std::nullopt, name});
        auto table = backend->OpenTable(name);
        for (; !table->Eof(); table->Next()) {
        }
      } catch (const quill::DataAccessError& error) {
        if (error.what() == damaged) return true;
      }
    }
  } catch (const quill::DataAccessError& error) {
    return error.what() == damaged;
  }
  return false;
}

std::string Mutate(const std::string& seed, std::mt19937_64& random) {
  std::string bytes = seed;
  const int changes = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < changes && !bytes.empty(); ++i) {
    // Half of the changes go to the first pages, where the header, the
    // catalog and the table definitions are.
    const size_t span = random() % 2 == 0 ? std::min<size_t>(bytes.size(), 32 * 1024) : bytes.size();
    const size_t at = random() % span;
    switch (random() % 5) {
      case 0:
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        break;
      case 1:
        bytes[at] = static_cast<char>(random());
        break;
      case 2:
        bytes[at] = static_cast<char>(random() % 2 == 0 ? 0x00 : 0xFF);
        break;
      case 3: {  // a 16- or 32-bit field set to an edge value
        static const uint32_t kEdges[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x1000};
        const uint32_t value = kEdges[random() % std::size(kEdges)];
        for (size_t k = 0; k < (random() % 2 == 0 ? 2u : 4u) && at + k < bytes.size(); ++k) {
          bytes[at + k] = static_cast<char>(value >> (8 * k));
        }
        break;
      }
      default:
        if (random() % 4 == 0) bytes.resize(at);  // cut short
        break;
    }
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER SECONDS XLS_SEED [RANDOM_SEED]\n", argv[0]);
    return 2;
  }
  setenv("QUILLMARSH_JET_READER", QUILL_JET_READER, 0);  // the reader of this build
  const fs::path output = argv[1];
  const auto budget = std::chrono::seconds(std::atoi(argv[2]));
  std::mt19937_64 random(argc > 4 ? std::strtoull(argv[4], nullptr, 10) : std::random_device{}());
  fs::create_directories(output);
  const fs::path work = output / "work";
  fs::create_directories(work);

  struct Seed {
    std::string name;
    std::string extension;
    std::string bytes;
  };
  const std::vector<Seed> seeds = {
      {"jet3", ".mdb", MakeMdbSeed(work, quill::jet::JetVersion::kJet3)},
      {"jet4", ".mdb", MakeMdbSeed(work, quill::jet::JetVersion::kJet4)},
      {"xls", ".xls", ReadBytes(argv[3])},
  };
  quill::JetReaderOptions options = quill::DefaultJetReaderOptions();
  options.timeout_ms = 3000;

  const auto start = std::chrono::steady_clock::now();
  long tries = 0;
  long found = 0;
  while (std::chrono::steady_clock::now() - start < budget) {
    const Seed& seed = seeds[static_cast<size_t>(tries % static_cast<long>(seeds.size()))];
    ++tries;
    const std::string mutant = Mutate(seed.bytes, random);
    const fs::path path = work / ("mutant" + seed.extension);
    WriteBytes(path, mutant);
    if (!ReaderFails(path.string(), options)) continue;
    ++found;
    const fs::path kept = output / (seed.name + "-" + std::to_string(found) + seed.extension);
    WriteBytes(kept, mutant);
    std::printf("damaged: %s\n", kept.c_str());
    std::fflush(stdout);
  }
  std::printf("%ld mutants read, %ld kept\n", tries, found);
  return 0;
}
