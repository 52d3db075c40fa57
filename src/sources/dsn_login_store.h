#pragma once

#include <string>
#include <vector>

namespace quill {

class UserInterface;

// The user name and password kept for one data source.
struct DsnLogin {
  std::string user_name;
  std::string password;
};

// The options dialog's texts of assigning a login (replaced by language files).
struct LoginStoreMessages {
  std::string msg_pssw_on_disk = "Store password in computer ?";
  std::string msg_pssw_added = "Username/Password Assigned to this DSN.";
};

// The logins of the data sources, loaded from the key files in "pssw/" of the
// program's folder when created, and kept for the whole run.
class DsnLoginStore {
 public:
  // Loads one entry per system data source; reports through ui what fails.
  DsnLoginStore(std::string program_folder, UserInterface& ui);

  // Both texts empty when nothing is stored for the source.
  DsnLogin GetPssw(const std::string& dsn_name) const;
  // Forgets the source's login and deletes its key file.
  void DelPssw(const std::string& dsn_name);
  // Sets the source's login; with store_on_disk its key file is written,
  // otherwise an old key file is deleted. Throws InOutError on a failed write;
  // the login is set in memory all the same.
  void AssignLogin(const std::string& dsn_name, const DsnLogin& login, bool store_on_disk);

 private:
  std::string program_folder_;
  std::vector<std::string> source_names_;
  std::vector<std::string> user_names_;
  std::vector<std::string> passwords_;
};

// "Assign Password for this DSN": sets the source's login, asks whether to keep
// it on disk, and confirms; a failed write is shown as an error instead of the
// confirmation, and the login stays in memory for this run.
void AssignPasswordForDsn(DsnLoginStore& store, const std::string& dsn_name, const DsnLogin& login,
                          UserInterface& ui, const LoginStoreMessages& messages);

}  // namespace quill
