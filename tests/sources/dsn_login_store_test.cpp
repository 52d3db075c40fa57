#include "sources/dsn_login_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "fixtures/odbc_configuration.h"
#include "fixtures/scripted_user_interface.h"
#include "fixtures/temporary_folder.h"
#include "platform/files/read_file.h"
#include "sources/dsn_key_file.h"

namespace quill {
namespace {

using quill::testing::ScriptedUserInterface;

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 0777;
}

class DsnLoginStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(quill::testing::OdbcConfigurationFolder() + "/odbc.ini", std::ios::trunc)
        << "[Sales Data]\nDriver=SQLite3\nDatabase=/tmp/sales.db\n\n"
           "[Broken Key]\nDriver=SQLite3\n\n"
           "[Warehouse]\nDriver=PostgreSQL Unicode\n";
  }
  std::string KeyFile(const std::string& source) const { return program_folder_ + "pssw/" + source + ".key"; }

  quill::testing::TemporaryFolder temporary_;
  const std::string program_folder_ = temporary_.path();
};

TEST_F(DsnLoginStoreTest, WithoutKeyFilesEverySourceHasAnEmptyLogin) {
  ScriptedUserInterface ui;
  const DsnLoginStore store(program_folder_, ui);
  for (const char* source : {"Sales Data", "Warehouse", "Not a source"}) {
    EXPECT_EQ(store.GetPssw(source).user_name, "") << source;
    EXPECT_EQ(store.GetPssw(source).password, "") << source;
  }
  EXPECT_TRUE(ui.events().empty());
}

TEST_F(DsnLoginStoreTest, StoredLoginsAreLoadedAtTheNextStartWithOwnerOnlyFiles) {
  const std::string twenty = "abcdefghijklmnopqrst";
  {
    ScriptedUserInterface ui;
    DsnLoginStore store(program_folder_, ui);
    store.AssignLogin("Sales Data", {twenty, "p\xC3\xA4ss w=rd"}, true);
  }
  EXPECT_EQ(ModeOf(program_folder_ + "pssw"), 0700u);
  EXPECT_EQ(ModeOf(KeyFile("Sales Data")), 0600u);
  EXPECT_EQ(ReadWholeFile(KeyFile("Sales Data"))->size(), 42u);

  ScriptedUserInterface ui;
  const DsnLoginStore store(program_folder_, ui);
  EXPECT_EQ(store.GetPssw("Sales Data").user_name, twenty);
  EXPECT_EQ(store.GetPssw("Sales Data").password, "p\xC3\xA4ss w=rd");
  EXPECT_EQ(store.GetPssw("Warehouse").user_name, "");
}

TEST_F(DsnLoginStoreTest, NamesThatDifferOnlyInCaseKeepSeparateLogins) {
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  store.AssignLogin("Sales Data", {"first", "one"}, true);
  store.AssignLogin("SALES DATA", {"second", "two"}, true);
  EXPECT_EQ(store.GetPssw("Sales Data").user_name, "first");
  EXPECT_EQ(store.GetPssw("SALES DATA").user_name, "second");
  EXPECT_EQ(store.GetPssw("sales data").user_name, "");
  EXPECT_TRUE(std::filesystem::exists(KeyFile("Sales Data")));
  EXPECT_TRUE(std::filesystem::exists(KeyFile("SALES DATA")));
  EXPECT_EQ(ReadDsnKeyFile(KeyFile("SALES DATA")).password, "two");
}

TEST_F(DsnLoginStoreTest, AShortKeyFileIsAnErrorForItsSourceOnly) {
  {
    ScriptedUserInterface ui;
    DsnLoginStore store(program_folder_, ui);
    store.AssignLogin("Sales Data", {"sa", "one"}, true);
    store.AssignLogin("Warehouse", {"wh", "two"}, true);
  }
  std::ofstream(KeyFile("Broken Key"), std::ios::binary) << std::string(41, 'x');

  ScriptedUserInterface ui;
  const DsnLoginStore store(program_folder_, ui);
  EXPECT_EQ(ui.error_dialogs(), (std::vector<std::string>{"Read beyond end of file"}));
  EXPECT_EQ(store.GetPssw("Broken Key").user_name, "");
  EXPECT_EQ(store.GetPssw("Sales Data").password, "one");
  EXPECT_EQ(store.GetPssw("Warehouse").password, "two");
}

TEST_F(DsnLoginStoreTest, WithoutTheSourcesKeyTheStoreSaysSoAndStartsEmpty) {
  std::filesystem::remove(quill::testing::OdbcConfigurationFolder() + "/odbc.ini");
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  ASSERT_EQ(ui.placed_messages().size(), 1u);
  EXPECT_EQ(ui.placed_messages()[0].text, "No system sources found");
  EXPECT_EQ(ui.placed_messages()[0].dx, 200);
  EXPECT_EQ(ui.placed_messages()[0].dy, 60);

  // A login assigned later still finds its place.
  store.AssignLogin("Added Later", {"u", "p"}, false);
  EXPECT_EQ(store.GetPssw("Added Later").user_name, "u");
}

TEST_F(DsnLoginStoreTest, AnsweringNoForgetsTheOldFileButKeepsTheLoginForThisRun) {
  {
    ScriptedUserInterface ui;
    DsnLoginStore store(program_folder_, ui);
    store.AssignLogin("Warehouse", {"old", "old"}, true);
  }
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  EXPECT_EQ(store.GetPssw("Warehouse").user_name, "old");
  store.AssignLogin("Warehouse", {"new", "new"}, false);
  EXPECT_FALSE(std::filesystem::exists(KeyFile("Warehouse")));
  EXPECT_EQ(store.GetPssw("Warehouse").user_name, "new");

  const DsnLoginStore next_start(program_folder_, ui);
  EXPECT_EQ(next_start.GetPssw("Warehouse").user_name, "");
}

TEST_F(DsnLoginStoreTest, DelPsswBlanksTheLoginAndDeletesItsFile) {
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  store.AssignLogin("Sales Data", {"sa", "pw"}, true);
  store.AssignLogin("SALES DATA", {"sb", "pw"}, true);
  store.DelPssw("Sales Data");
  EXPECT_EQ(store.GetPssw("Sales Data").user_name, "");
  EXPECT_EQ(store.GetPssw("Sales Data").password, "");
  EXPECT_FALSE(std::filesystem::exists(KeyFile("Sales Data")));
  EXPECT_EQ(store.GetPssw("SALES DATA").user_name, "sb");
  EXPECT_TRUE(std::filesystem::exists(KeyFile("SALES DATA")));
}

TEST_F(DsnLoginStoreTest, AssigningAsksWhetherToStoreAndConfirms) {
  for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
    ScriptedUserInterface ui;
    DsnLoginStore store(program_folder_, ui);
    ui.AnswerMessageBoxes({answer, MessageAnswer::Ok});
    AssignPasswordForDsn(store, "Sales Data", {"sa", "pw"}, ui, LoginStoreMessages{});

    ASSERT_EQ(ui.message_boxes().size(), 2u);
    EXPECT_EQ(ui.message_boxes()[0].text, "Store password in computer ?");
    EXPECT_EQ(ui.message_boxes()[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.message_boxes()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(ui.message_boxes()[1].text, "Username/Password Assigned to this DSN.");
    EXPECT_EQ(ui.message_boxes()[1].icon, MessageIcon::Information);
    EXPECT_EQ(ui.message_boxes()[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(std::filesystem::exists(KeyFile("Sales Data")), answer == MessageAnswer::Yes);
    EXPECT_EQ(ModeOf(program_folder_ + "pssw"), 0700u);
    EXPECT_EQ(store.GetPssw("Sales Data").password, "pw");
  }
}

TEST_F(DsnLoginStoreTest, AFailedWriteIsShownAndTheLoginStaysInMemory) {
  // A file where the folder should be makes every key file unwritable.
  std::ofstream(program_folder_ + "pssw") << "in the way";
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  ui.AnswerMessageBox(MessageAnswer::Yes);
  AssignPasswordForDsn(store, "Warehouse", {"wh", "pw"}, ui, LoginStoreMessages{});

  EXPECT_EQ(ui.message_boxes().size(), 1u);  // no confirmation
  ASSERT_EQ(ui.error_dialogs().size(), 1u);
  EXPECT_EQ(ui.error_dialogs()[0], "Path not found");
  EXPECT_EQ(store.GetPssw("Warehouse").user_name, "wh");
}

TEST_F(DsnLoginStoreTest, ASourceNameThatIsNoFileNameIsNeverWrittenOutside) {
  ScriptedUserInterface ui;
  DsnLoginStore store(program_folder_, ui);
  ui.AnswerMessageBox(MessageAnswer::Yes);
  AssignPasswordForDsn(store, "../outside", {"u", "p"}, ui, LoginStoreMessages{});
  EXPECT_EQ(ui.error_dialogs(), (std::vector<std::string>{"Invalid filename"}));
  EXPECT_FALSE(std::filesystem::exists(program_folder_ + "outside.key"));
  EXPECT_EQ(store.GetPssw("../outside").user_name, "u");
}

}  // namespace
}  // namespace quill
