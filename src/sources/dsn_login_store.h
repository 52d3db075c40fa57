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
  // otherwise an old key file is deleted. Throws on a failed write.
  void AssignLogin(const std::string& dsn_name, const DsnLogin& login, bool store_on_disk);

 private:
  std::string program_folder_;
  std::vector<std::string> source_names_;
  std::vector<std::string> user_names_;
  std::vector<std::string> passwords_;
};

}  // namespace quill
