// Damaged .mdb and .xls files are read in the reader process: whatever the
// file libraries do with them there, this process gets a data-access error
// and goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/jet_reader_test_support.h"
#include "platform/jet/reader/jet_backend.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(QUILL_SOURCE_DIR) + "/tests/platform/jet/data/";

// Lists, describes and reads every table; the message of the first error,
// or "" when everything read.
std::string ReadEverything(const std::string& path, const JetReaderOptions& options = DefaultJetReaderOptions()) {
  try {
    auto backend = OpenJetBackend(path, options);
    auto tables = backend->OpenSchema(SchemaKind::Tables, {});
    for (const std::string& name : testing::ColumnValues(*tables, "TABLE_NAME")) {
      backend->OpenSchema(SchemaKind::Columns, {std::nullopt, std::nullopt, name});
      backend->OpenSchema(SchemaKind::PrimaryKeys, {std::nullopt, std::nullopt, name});
      for (auto table = backend->OpenTable(name); !table->Eof(); table->Next()) {
      }
    }
  } catch (const DataAccessError& error) {
    return error.what();
  }
  return "";
}

std::string Damaged(const std::string& path) { return "Could not read " + path + ": the file is damaged"; }

// Mutants of small valid files on which libmdb or FreeXL crashed (kept by
// fuzz/jet_file_mutations), each with where it crashed there.
TEST(JetDamagedFile, FilesThatCrashTheFileLibrariesAreReportedAsDamaged) {
  const std::vector<std::string> files = {
      "jet3-usage-map.mdb",    // mdb_map_find_next, reading a table's rows
      "jet4-usage-map.mdb",    // mdb_map_find_next, reading a system table's rows
      "workbook-open-1.xls",   // freexl_open
      "workbook-open-2.xls",   // freexl_open
  };
  for (const std::string& name : files) {
    const std::string path = kData + "damaged/" + name;
    EXPECT_EQ(ReadEverything(path), Damaged(path)) << name;
  }
  // The good workbook still reads after them.
  EXPECT_EQ(ReadEverything(kData + "workbook.xls"), "");
}

// Mutants whose damage the reader itself finds: a data-access error, the
// reader process intact.
TEST(JetDamagedFile, DamagedValuesAreReadErrors) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"jet3-date.mdb", "A value of column 'DateCreate' is no date."},  // a catalog date far beyond the calendar
      {"jet4-value-outside-page.mdb", "A row of table 'people' cannot be read."},  // a length past the page end
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(ReadEverything(kData + "damaged/" + name), expected) << name;
  }
}

void WriteReader(const fs::path& path, const std::string& script) {
  std::ofstream(path) << "#!/bin/sh\n" << script << "\n";
  fs::permissions(path, fs::perms::owner_all);
}

// A reader program (a shell script) and the error reading the workbook
// through it gives. Only a reader that hangs waits for the channel's
// timeout, which is short for it; the others keep the usual one, so that a
// busy machine starting the script slowly does not pass for a hang.
struct ReaderCase {
  std::string name;
  std::string script;
  std::string expected;
  bool hangs = false;
};

// Long enough for a script on a loaded machine to answer the open request
// before it hangs.
constexpr int kHangTimeoutMs = 5000;

void ExpectReadersGive(const std::string& workbook, const std::vector<ReaderCase>& cases) {
  for (const ReaderCase& c : cases) {
    JetReaderOptions options;
    options.program = testing::ProcessPath("reader that " + c.name).string();
    if (c.hangs) options.timeout_ms = kHangTimeoutMs;
    WriteReader(options.program, c.script);
    EXPECT_EQ(ReadEverything(workbook, options), c.expected) << c.name;
  }
}

// Reader programs that fail the way a reader fails on a damaged file, each
// at the first request.
TEST(JetDamagedFile, AReaderThatCrashesEndsOrHangsGivesTheDamagedFileError) {
  const std::string workbook = kData + "workbook.xls";
  ExpectReadersGive(workbook, {
      {"crashes", "kill -SEGV $$", Damaged(workbook)},
      {"aborts", "kill -ABRT $$", Damaged(workbook)},
      {"ends", "exit 0", Damaged(workbook)},
      {"answers nonsense", "echo nonsense >&0", Damaged(workbook)},
      {"hangs", "exec sleep 60", Damaged(workbook), true},
  });
  JetReaderOptions missing;
  missing.program = testing::ProcessPath("no such reader").string();
  EXPECT_EQ(ReadEverything(workbook, missing),
            "Could not read " + workbook + ": the reader " + missing.program +
                " cannot be started (No such file or directory).");
}

TEST(JetDamagedFile, AfterItsReaderCrashedTheConnectionStartsANewOne) {
  const std::string workbook = kData + "workbook.xls";
  ASSERT_LT(workbook.size(), 128u);  // its length takes one byte in the open request
  // The first reader opens the file, then crashes on the next request; every
  // later one is the real reader.
  const fs::path marker = testing::ProcessPath("crashed once");
  JetReaderOptions options;
  options.program = testing::ProcessPath("reader that crashes once").string();
  WriteReader(options.program, "[ -e '" + marker.string() + "' ] && exec '" + DefaultJetReaderOptions().program +
                                   "'\ntouch '" + marker.string() + "'\nhead -c " +
                                   std::to_string(2 + workbook.size()) + " >/dev/null\nprintf K >&0\n" +
                                   "head -c 1 >/dev/null\nkill -SEGV $$");
  auto backend = OpenJetBackend(workbook, options);
  try {
    backend->OpenSchema(SchemaKind::Tables, {});
    ADD_FAILURE() << "the crashed reader gave a listing";
  } catch (const DataAccessError& error) {
    EXPECT_EQ(std::string(error.what()), Damaged(workbook));
  }
  auto tables = backend->OpenSchema(SchemaKind::Tables, {});
  EXPECT_EQ(testing::ColumnValues(*tables, "TABLE_NAME"), (std::vector<std::string>{"Clients", "Price List"}));
  EXPECT_EQ(backend->OpenTable("Clients")->RecordCount(), 3);
}

std::string Stopped(const std::string& path) { return "The reader of " + path + " stopped"; }

// A reader stopped from outside (killed, terminated: the file may well be
// sound) says so; one that fails on the file (a crash, an abort, an end
// without an answer, nonsense, a hang) calls the file damaged. At the first
// request, and once the file is open, on the catalog and on a table.
TEST(JetDamagedFile, AReaderStoppedFromOutsideIsNotADamagedFile) {
  const std::string workbook = kData + "workbook.xls";
  ASSERT_LT(workbook.size(), 128u);  // its length takes one byte in the open request
  // Opens the file as a reader would, then meets the next request with `end`.
  const std::string open_then = "head -c " + std::to_string(2 + workbook.size()) + " >/dev/null\nprintf K >&0\n" +
                                "head -c 1 >/dev/null\n";
  ExpectReadersGive(workbook, {
      {"is killed", "kill -KILL $$", Stopped(workbook)},
      {"is terminated", "kill -TERM $$", Stopped(workbook)},
      {"is interrupted", "kill -INT $$", Stopped(workbook)},
      {"loses its terminal", "kill -HUP $$", Stopped(workbook)},
      {"is killed once the file is open", open_then + "kill -KILL $$", Stopped(workbook)},
      {"is terminated once the file is open", open_then + "kill -TERM $$", Stopped(workbook)},
      {"crashes once the file is open", open_then + "kill -SEGV $$", Damaged(workbook)},
      {"aborts once the file is open", open_then + "kill -ABRT $$", Damaged(workbook)},
      {"ends once the file is open", open_then + "exit 1", Damaged(workbook)},
      {"hangs once the file is open", open_then + "exec sleep 60", Damaged(workbook), true},
  });
}

// A table's reader killed while its rows stream: the table reports the
// stop, and the connection reads the file again with a new reader.
TEST(JetDamagedFile, ATableWhoseReaderIsKilledSaysItStopped) {
  const std::string workbook = kData + "workbook.xls";
  const fs::path marker = testing::ProcessPath("table reader started");
  JetReaderOptions options;
  options.program = testing::ProcessPath("reader killed on its table").string();
  // The catalog's reader is the real one.
  WriteReader(options.program, "exec '" + DefaultJetReaderOptions().program + "'");
  auto backend = OpenJetBackend(workbook, options);
  auto tables = backend->OpenSchema(SchemaKind::Tables, {});
  ASSERT_FALSE(tables->Eof());
  // From now on every new reader is killed at its table request.
  WriteReader(options.program, "touch '" + marker.string() + "'\nhead -c " + std::to_string(2 + workbook.size()) +
                                   " >/dev/null\nprintf K >&0\nhead -c 1 >/dev/null\nkill -KILL $$");
  try {
    backend->OpenTable("Clients");
    ADD_FAILURE() << "the killed reader gave a table";
  } catch (const DataAccessError& error) {
    EXPECT_EQ(std::string(error.what()), Stopped(workbook));
  }
  EXPECT_TRUE(fs::exists(marker));
  WriteReader(options.program, "exec '" + DefaultJetReaderOptions().program + "'");
  EXPECT_EQ(backend->OpenTable("Clients")->RecordCount(), 3);
}

}  // namespace
}  // namespace quill
