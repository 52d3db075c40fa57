#include "platform/files/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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

}  // namespace
}  // namespace quill
