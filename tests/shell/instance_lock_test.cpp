#include "platform/files/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/instance_refusal.h"

#include "shell_test_support.h"

namespace quill {
namespace {

// A second process cannot take the lock while the first holds it, and can
// once the first has ended.
TEST(InstanceLock, SecondInstanceIsRefusedUntilTheFirstEnds) {
  testing::TemporaryFolder runtime;
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    InstanceLock lock("SemTarnwick");
    const char held = lock.TryAcquire() ? '1' : '0';
    (void)!write(ready[1], &held, 1);
    sleep(30);
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, '1');
  {
    InstanceLock second("SemTarnwick");
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_FALSE(second.failed());
  }
  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  InstanceLock after("SemTarnwick");
  EXPECT_TRUE(after.TryAcquire());
}

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;  // nobody

// XDG_RUNTIME_DIR and TMPDIR as a case sets them, put back afterwards.
class LockEnvironment {
 public:
  LockEnvironment() {
    Save("XDG_RUNTIME_DIR", runtime_);
    Save("TMPDIR", temporary_);
  }
  ~LockEnvironment() {
    Restore("XDG_RUNTIME_DIR", runtime_);
    Restore("TMPDIR", temporary_);
  }

 private:
  static void Save(const char* name, std::optional<std::string>& value) {
    if (const char* set = std::getenv(name)) value = set;
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  std::optional<std::string> runtime_;
  std::optional<std::string> temporary_;
};

struct LockCase {
  std::string name;
  bool needs_root;  // another owner is made with chown
  // Prepares the folders under `base` and the environment, which starts
  // with TMPDIR at base/tmp and no XDG_RUNTIME_DIR.
  std::function<void(const fs::path& base)> prepare;
  bool acquired;
  std::string lock_file;  // relative to base; empty: no lock file is made anywhere under base
};

std::string FallbackName() { return "quillmarsh-" + std::to_string(geteuid()); }

fs::path PrivateFolder(const fs::path& path) {
  fs::create_directories(path);
  chmod(path.c_str(), 0700);
  return path;
}

// Where the lock lives, and what it refuses: a folder of another user, a
// folder others can enter, a planted link for the folder or the file.
TEST(InstanceLock, OnlyAFolderAndAFileOfTheUsersOwnAreUsed) {
  const std::vector<LockCase> cases = {
      {"runtime folder", false,
       [](const fs::path& base) {
         setenv("XDG_RUNTIME_DIR", PrivateFolder(base / "run").c_str(), 1);
       },
       true, "run/SemTarnwick.lock"},
      {"no runtime folder: one of the user's own is made", false, [](const fs::path&) {},
       true, "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"a relative runtime folder is none", false, [](const fs::path&) { setenv("XDG_RUNTIME_DIR", "run", 1); },
       true, "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"an empty runtime folder is none", false, [](const fs::path&) { setenv("XDG_RUNTIME_DIR", "", 1); }, true,
       "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"a runtime folder others can enter is not used", false,
       [](const fs::path& base) {
         fs::create_directories(base / "run");
         chmod((base / "run").c_str(), 0755);
         setenv("XDG_RUNTIME_DIR", (base / "run").c_str(), 1);
       },
       true, "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"another user's runtime folder is not used", true,
       [](const fs::path& base) {
         chown(PrivateFolder(base / "run").c_str(), kOtherUser, kOtherUser);
         setenv("XDG_RUNTIME_DIR", (base / "run").c_str(), 1);
       },
       true, "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"a runtime folder that is a link is not used", false,
       [](const fs::path& base) {
         fs::create_symlink(PrivateFolder(base / "real"), base / "run");
         setenv("XDG_RUNTIME_DIR", (base / "run").c_str(), 1);
       },
       true, "tmp/" + FallbackName() + "/SemTarnwick.lock"},
      {"the user's folder made by another user is refused", true,
       [](const fs::path& base) {
         chown(PrivateFolder(base / "tmp" / FallbackName()).c_str(), kOtherUser, kOtherUser);
       },
       false, ""},
      {"the user's folder open to others is refused", false,
       [](const fs::path& base) {
         fs::create_directories(base / "tmp" / FallbackName());
         chmod((base / "tmp" / FallbackName()).c_str(), 0777);
       },
       false, ""},
      {"the user's folder planted as a link is refused", false,
       [](const fs::path& base) {
         fs::create_symlink(PrivateFolder(base / "elsewhere"), base / "tmp" / FallbackName());
       },
       false, ""},
      {"a lock file planted as a link is refused", false,
       [](const fs::path& base) {
         const fs::path folder = PrivateFolder(base / "tmp" / FallbackName());
         fs::create_symlink(base / "target", folder / "SemTarnwick.lock");
       },
       false, ""},
      {"a lock file of another user is refused", true,
       [](const fs::path& base) {
         setenv("XDG_RUNTIME_DIR", PrivateFolder(base / "run").c_str(), 1);
         std::ofstream(base / "run" / "SemTarnwick.lock") << "";
         chown((base / "run" / "SemTarnwick.lock").c_str(), kOtherUser, kOtherUser);
       },
       false, ""},
  };
  for (const LockCase& c : cases) {
    if (c.needs_root && geteuid() != 0) continue;  // no other owner can be made
    LockEnvironment environment;
    testing::TemporaryFolder base;
    fs::create_directories(base.path() / "tmp");
    setenv("TMPDIR", (base.path() / "tmp").c_str(), 1);
    unsetenv("XDG_RUNTIME_DIR");
    c.prepare(base.path());
    InstanceLock lock("SemTarnwick");
    EXPECT_EQ(lock.TryAcquire(), c.acquired) << c.name;
    EXPECT_EQ(lock.failed(), !c.acquired) << c.name;
    EXPECT_FALSE(fs::exists(base.path() / "target")) << c.name;  // no link was followed
    if (!c.lock_file.empty()) {
      struct stat status {};
      ASSERT_EQ(lstat((base.path() / c.lock_file).c_str(), &status), 0) << c.name;
      EXPECT_TRUE(S_ISREG(status.st_mode)) << c.name;
      EXPECT_EQ(status.st_uid, geteuid()) << c.name;
      struct stat folder {};
      ASSERT_EQ(lstat((base.path() / c.lock_file).parent_path().c_str(), &folder), 0) << c.name;
      EXPECT_EQ(folder.st_mode & 0777, 0700u) << c.name;
    }
  }
}

// Two users without a runtime folder (ssh, su) each hold their own lock at
// the same time: another user's instance never stops this one.
TEST(InstanceLock, TwoUsersWithoutARuntimeFolderEachHoldTheirOwn) {
  if (geteuid() != 0) GTEST_SKIP() << "another user needs root to be made";
  LockEnvironment environment;
  testing::TemporaryFolder base;
  const fs::path shared = base.path() / "tmp";
  fs::create_directories(shared);
  chmod(shared.c_str(), 01777);  // as /tmp
  chmod(base.path().c_str(), 0755);
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", shared.c_str(), 1);
  InstanceLock mine("SemTarnwick");
  ASSERT_TRUE(mine.TryAcquire());

  int result[2];
  ASSERT_EQ(pipe(result), 0);
  const pid_t other = fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    char held = 'x';
    if (setgid(kOtherUser) == 0 && setuid(kOtherUser) == 0) {
      InstanceLock theirs("SemTarnwick");
      held = theirs.TryAcquire() ? '1' : (theirs.failed() ? 'f' : '0');
    }
    (void)!write(result[1], &held, 1);
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(result[0], &held, 1), 1);
  waitpid(other, nullptr, 0);
  EXPECT_EQ(held, '1');
  EXPECT_TRUE(fs::exists(shared / ("quillmarsh-" + std::to_string(kOtherUser)) / "SemTarnwick.lock"));
  EXPECT_TRUE(fs::exists(shared / FallbackName() / "SemTarnwick.lock"));
}

// A lock that cannot be made at all is the plain message of the start, with
// no icon; a running instance is the exclamation box titled "Quillmarsh.".
TEST(InstanceLock, RefusedStartsShowTheirMessage) {
  testing::TestApplication();
  const struct {
    bool lock_failed;
    QMessageBox::Icon icon;
    const char* title;
    const char* text;
  } cases[] = {
      {true, QMessageBox::NoIcon, "Quillmarsh", "Error creating semaphore !"},
      {false, QMessageBox::Warning, "Quillmarsh.", "Quillmarsh is already running !"},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<QMessageBox> box = InstanceRefusalBox(c.lock_failed);
    EXPECT_EQ(box->icon(), c.icon) << c.text;
    EXPECT_EQ(box->windowTitle().toStdString(), c.title);
    EXPECT_EQ(box->text().toStdString(), c.text);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
  }
}

}  // namespace
}  // namespace quill
