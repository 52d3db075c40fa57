#include "sources/dsn_login_store.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "common/user_interface.h"
#include "platform/files/in_out_error.h"
#include "sources/dsn_key_file.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

}  // namespace

DsnLoginStore::DsnLoginStore(std::string program_folder, UserInterface& ui)
    : program_folder_(std::move(program_folder)) {
  std::vector<std::string> sources;
  if (!SystemDsnList(sources)) ui.ShowPlacedMessage("No system sources found", 200, 60);
  for (const std::string& source : sources) {
    DsnLogin login;
    const std::optional<std::string> path = DsnKeyFilePath(program_folder_, source);
    if (path && FileExists(*path)) {
      try {
        login = ReadDsnKeyFile(*path);
      } catch (const InOutError& error) {
        // One unreadable file costs only its own source's login.
        ui.ShowErrorDialog(error.what());
      }
    }
    source_names_.push_back(source);
    user_names_.push_back(login.user_name);
    passwords_.push_back(login.password);
  }
}

DsnLogin DsnLoginStore::GetPssw(const std::string& dsn_name) const {
  DsnLogin login;
  for (size_t i = 0; i < source_names_.size(); ++i) {
    if (source_names_[i] == dsn_name) login = DsnLogin{user_names_[i], passwords_[i]};
  }
  return login;
}

void DsnLoginStore::DelPssw(const std::string& dsn_name) {
  for (size_t i = 0; i < source_names_.size(); ++i) {
    if (source_names_[i] != dsn_name) continue;
    user_names_[i].clear();
    passwords_[i].clear();
  }
  if (const std::optional<std::string> path = DsnKeyFilePath(program_folder_, dsn_name)) {
    std::error_code ignored;
    std::filesystem::remove(*path, ignored);
  }
}

void DsnLoginStore::AssignLogin(const std::string& dsn_name, const DsnLogin& login, bool store_on_disk) {
  bool found = false;
  for (size_t i = 0; i < source_names_.size(); ++i) {
    if (source_names_[i] != dsn_name) continue;
    user_names_[i] = login.user_name;
    passwords_[i] = login.password;
    found = true;
  }
  if (!found) {
    source_names_.push_back(dsn_name);
    user_names_.push_back(login.user_name);
    passwords_.push_back(login.password);
  }

  // The folder is for this user alone; a failure to make it shows as the
  // failed write of the key file.
  const std::string folder = DsnKeyFolder(program_folder_);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  chmod(folder.c_str(), 0700);

  const std::optional<std::string> path = DsnKeyFilePath(program_folder_, dsn_name);
  if (store_on_disk) {
    if (!path) throw InvalidFileName();
    WriteDsnKeyFile(*path, login);
  } else if (path) {
    std::filesystem::remove(*path, ignored);
  }
}

void AssignPasswordForDsn(DsnLoginStore& store, const std::string& dsn_name, const DsnLogin& login,
                          UserInterface& ui, const LoginStoreMessages& messages) {
  const MessageAnswer answer =
      ui.ShowMessageBox(messages.msg_pssw_on_disk, MessageIcon::Question, MessageButtons::YesNo);
  try {
    store.AssignLogin(dsn_name, login, answer == MessageAnswer::Yes);
  } catch (const InOutError& error) {
    ui.ShowErrorDialog(error.what());
    return;
  }
  ui.ShowMessageBox(messages.msg_pssw_added, MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace quill
