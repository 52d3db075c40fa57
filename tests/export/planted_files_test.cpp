// Entries planted at the name a script, an export file, an Access database
// or a BLOB file is about to take: no writer follows a link out of its
// folder or changes the bytes of a file the user did not choose, and one
// that cannot take the name says so instead of replacing a special file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "export/replacing_file.h"
#include "export_harness.h"
#include "fixtures/test_database.h"
#include "fixtures/temporary_folder.h"
#include "platform/files/atomic_file.h"
#include "platform/files/replaced_target.h"
#include "platform/jet/writer/page_file.h"

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void Put(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

bool IsPlainFile(const fs::path& path) { return fs::is_regular_file(fs::symlink_status(path)); }

// One writer: writes `bytes` at `path`, throwing when it cannot.
struct Writer {
  std::string name;
  std::function<void(const std::string& path, const std::string& bytes)> write;
};

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"script, settings and BLOB files",
       [](const std::string& path, const std::string& bytes) { WriteFileAtomically(path, bytes); }},
      {"CSV and XML exports",
       [](const std::string& path, const std::string& bytes) {
         ReplacingFile file(path);
         if (!file.Write(bytes) || !file.Commit()) throw std::runtime_error("not written");
       }},
      {"Access databases",
       [](const std::string& path, const std::string& bytes) {
         jet::PageFile file(path, bytes.size());
         file.Write(file.Allocate(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
         file.Commit();
       }},
  };
  return writers;
}

enum class Outcome { kWritten, kRefused };

struct PlantCase {
  std::string name;
  // Plants the entry at `target`; `victim` is a file of the user's elsewhere.
  std::function<void(const fs::path& target, const fs::path& victim)> plant;
  Outcome outcome;
};

TEST(PlantedFiles, NoWriterFollowsALinkOrReplacesASpecialFile) {
  const std::string victim_bytes = "the user's own file";
  const std::string new_bytes = "0123456789abcdef";
  const std::vector<PlantCase> cases = {
      {"nothing", [](const fs::path&, const fs::path&) {}, Outcome::kWritten},
      {"an earlier file", [](const fs::path& target, const fs::path&) { Put(target, "old"); }, Outcome::kWritten},
      {"a symbolic link to another folder's file",
       [](const fs::path& target, const fs::path& victim) { fs::create_symlink(victim, target); }, Outcome::kWritten},
      {"a symbolic link to a name not yet taken",
       [](const fs::path& target, const fs::path& victim) {
         fs::create_symlink(victim.parent_path() / "created-through-the-link", target);
       },
       Outcome::kWritten},
      {"a relative link out of the folder",
       [](const fs::path& target, const fs::path& victim) {
         fs::create_symlink(fs::path("..") / victim.parent_path().filename() / victim.filename(), target);
       },
       Outcome::kWritten},
      {"a hard link to another folder's file",
       [](const fs::path& target, const fs::path& victim) { fs::create_hard_link(victim, target); }, Outcome::kWritten},
      {"a FIFO", [](const fs::path& target, const fs::path&) { ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0); },
       Outcome::kRefused},
      {"a folder", [](const fs::path& target, const fs::path&) { fs::create_directory(target); }, Outcome::kRefused},
      {"a device",
       [](const fs::path& target, const fs::path&) {
         // The null device's numbers; a file system that refuses device
         // nodes gets a FIFO, which is refused alike.
         if (::mknod(target.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
           ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
         }
       },
       Outcome::kRefused},
  };
  for (const Writer& writer : Writers()) {
    for (const PlantCase& c : cases) {
      for (const std::string& file_name : {std::string("table.csv"), std::string(255, 'n')}) {
        SCOPED_TRACE(writer.name + ", planted: " + c.name + ", name of " + std::to_string(file_name.size()) + " bytes");
        TemporaryFolder folder;
        const fs::path output = fs::path(folder.path()) / "output";
        const fs::path elsewhere = fs::path(folder.path()) / "elsewhere";
        fs::create_directories(output);
        fs::create_directories(elsewhere);
        const fs::path victim = elsewhere / "victim";
        Put(victim, victim_bytes);
        const fs::path target = output / file_name;
        c.plant(target, victim);
        const auto before = fs::symlink_status(target).type();
        bool threw = false;
        try {
          writer.write(target.string(), new_bytes);
        } catch (const std::exception& error) {
          threw = true;
          EXPECT_NE(std::string(error.what()), "");
        }
        EXPECT_EQ(Bytes(victim), victim_bytes);
        EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere / "created-through-the-link")));
        if (c.outcome == Outcome::kWritten) {
          EXPECT_FALSE(threw);
          EXPECT_TRUE(IsPlainFile(target));
          EXPECT_EQ(Bytes(target), new_bytes);
        } else {
          EXPECT_TRUE(threw);
          EXPECT_EQ(fs::symlink_status(target).type(), before);
        }
        // No temporary file is left behind.
        int entries = 0;
        for (const auto& entry : fs::directory_iterator(output)) entries += entry.path() != target ? 1 : 0;
        EXPECT_EQ(entries, 0);
      }
    }
  }
}

// The folders a BLOB file goes in are made from source names below the
// BLOB root: one planted there as a link never leads the files elsewhere.
TEST(PlantedFiles, FoldersBelowTheRootAreFoldersOfTheirOwn) {
  struct FolderCase {
    std::string name;
    std::function<void(const fs::path& root, const fs::path& elsewhere)> plant;
    bool made;
  };
  const std::vector<FolderCase> cases = {
      {"nothing", [](const fs::path&, const fs::path&) {}, true},
      {"the folders already made", [](const fs::path& root, const fs::path&) { fs::create_directories(root / "source" / "table"); },
       true},
      {"a link at the source's folder",
       [](const fs::path& root, const fs::path& elsewhere) {
         fs::create_directories(root);
         fs::create_directory_symlink(elsewhere, root / "source");
       },
       false},
      {"a link at the table's folder",
       [](const fs::path& root, const fs::path& elsewhere) {
         fs::create_directories(root / "source");
         fs::create_directory_symlink(elsewhere, root / "source" / "table");
       },
       false},
      {"a file at the table's folder",
       [](const fs::path& root, const fs::path&) {
         fs::create_directories(root / "source");
         Put(root / "source" / "table", "x");
       },
       false},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE("planted: " + c.name);
    TemporaryFolder folder;
    const fs::path root = fs::path(folder.path()) / "blobs";
    const fs::path elsewhere = fs::path(folder.path()) / "elsewhere";
    fs::create_directories(elsewhere);
    c.plant(root, elsewhere);
    const fs::path blob_folder = root / "source" / "table" / "picture1";
    bool threw = false;
    try {
      CreateFoldersInside(root.string(), blob_folder.string());
    } catch (const std::exception&) {
      threw = true;
    }
    EXPECT_EQ(threw, !c.made);
    EXPECT_EQ(fs::is_directory(fs::symlink_status(blob_folder)), c.made);
    EXPECT_TRUE(fs::is_empty(elsewhere));
  }
  // The root itself is the user's choice: a link there is followed.
  TemporaryFolder folder;
  const fs::path real_root = fs::path(folder.path()) / "real";
  fs::create_directories(real_root);
  fs::create_directory_symlink(real_root, fs::path(folder.path()) / "linked");
  CreateFoldersInside((fs::path(folder.path()) / "linked").string(),
                      (fs::path(folder.path()) / "linked" / "source" / "t").string());
  EXPECT_TRUE(fs::is_directory(real_root / "source" / "t"));
}

// A whole export run into a folder where names of its files were planted:
// the table whose name is taken by a FIFO or a folder fails in red, the
// others are written, and no link leads a file elsewhere.
TEST(PlantedFiles, AnExportRunGoesOnPastAPlantedNameAndFollowsNoLink) {
  for (const std::string extension : {".csv", ".xml"}) {
    SCOPED_TRACE(extension);
    TestDatabase db = TestDatabase::Sqlite();
    const std::vector<std::string> tables = {"fifo", "folder", "linked", "plain"};
    for (std::size_t i = 0; i < tables.size(); ++i) {
      db.CreateTable({tables[i], {{"n", "INTEGER"}}, {"n"}, {{std::to_string(i + 1)}}});
    }
    ExportHarness harness;
    TemporaryFolder elsewhere;
    const fs::path victim = fs::path(elsewhere.path()) / "victim";
    Put(victim, "the user's own file");
    ASSERT_EQ(::mkfifo(harness.OutFile("fifo" + extension).c_str(), 0600), 0);
    fs::create_directory(harness.OutFile("folder" + extension));
    fs::create_symlink(victim, harness.OutFile("linked" + extension));
    harness.ui.AnswerTableSelection(tables);
    if (extension == ".csv") harness.run.CsvExportRun(db.Dsn(), harness.out.string());
    if (extension == ".xml") harness.run.XmlExportRun(db.Dsn(), harness.out.string());
    const std::vector<std::string> log = harness.ui.LogTexts();
    const auto logged = [&](const std::string& text) {
      return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(logged("Table fifo not exported.")) << ::testing::PrintToString(log);
    EXPECT_TRUE(logged("Table folder not exported.")) << ::testing::PrintToString(log);
    EXPECT_FALSE(logged("Table linked not exported.")) << ::testing::PrintToString(log);
    EXPECT_FALSE(logged("Table plain not exported.")) << ::testing::PrintToString(log);
    EXPECT_EQ(fs::symlink_status(harness.OutFile("fifo" + extension)).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(harness.OutFile("folder" + extension))));
    EXPECT_TRUE(IsPlainFile(harness.OutFile("linked" + extension)));
    EXPECT_TRUE(IsPlainFile(harness.OutFile("plain" + extension)));
    EXPECT_EQ(Bytes(victim), "the user's own file");
  }
}

}  // namespace
}  // namespace quill::testing
