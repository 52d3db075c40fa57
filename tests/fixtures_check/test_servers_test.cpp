#include "fixtures/test_servers.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quill::testing {
namespace {

const char kComplete[] =
    "# comment\n"
    "PG_PORT='5433'\nPG_SOCKET_DIR='/tmp/s'\nPG_ADMIN_USER='postgres'\nPG_USER='quill'\nPG_PASSWORD='quill-pass'\n"
    "MARIADB_PORT='3307'\nMARIADB_SOCKET='/tmp/s/m.sock'\nMARIADB_ADMIN_USER='root'\nMARIADB_USER='quill'\n"
    "MARIADB_PASSWORD='quill-pass'\n";

TEST(TestServersTest, ParsesTheFileTheStartScriptWrites) {
  const TestServers servers = ParseServersEnv(kComplete, "/tmp/x");
  EXPECT_EQ(servers.postgres_port, 5433);
  EXPECT_EQ(servers.postgres_socket_folder, "/tmp/s");
  EXPECT_EQ(servers.mariadb_port, 3307);
  EXPECT_EQ(servers.mariadb_socket, "/tmp/s/m.sock");
  EXPECT_EQ(servers.mariadb_password, "quill-pass");
}

TEST(TestServersTest, MissingOrBadValueNamesTheKey) {
  std::string without_port = kComplete;
  without_port.replace(without_port.find("PG_PORT='5433'"), 14, "");
  std::string bad_port = kComplete;
  bad_port.replace(bad_port.find("'3307'"), 6, "'33x7'");
  for (const auto& [text, key] : {std::pair{without_port, "PG_PORT"}, std::pair{bad_port, "MARIADB_PORT"}}) {
    try {
      ParseServersEnv(text, "/tmp/x");
      ADD_FAILURE() << "no error for " << key;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(key), std::string::npos) << error.what();
    }
  }
}

TEST(TestServersTest, TheRunningServersAreDescribed) {
  const TestServers& servers = RunningTestServers();
  EXPECT_GT(servers.postgres_port, 0);
  EXPECT_GT(servers.mariadb_port, 0);
}

}  // namespace
}  // namespace quill::testing
