#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quill {

class DsnLoginStore;

// The installer's request codes for system data sources.
enum class InstallerRequest : int { AddSystemDsn = 4, ConfigSystemDsn = 5, RemoveSystemDsn = 6 };

// A source's attributes besides its name and driver, in the order they are kept.
using SourceAttributes = std::vector<std::pair<std::string, std::string>>;

// The driver's setup dialog: shows a source and lets the user complete it.
class DriverSetupDialog {
 public:
  virtual ~DriverSetupDialog() = default;
  // False when the user cancels. The name can be changed unless name_fixed.
  virtual bool EditSource(const std::string& driver, std::string& name, bool name_fixed,
                          SourceAttributes& attributes) = 0;
};

// What a field of the driver's setup dialog holds; every driver names the
// attribute behind it in its own way.
enum class SetupFieldRole { Server, Port, Database, User, Password };

struct SetupField {
  SetupFieldRole role;
  std::string key;       // the driver's attribute ("Servername", "SERVER")
  bool is_file = false;  // the attribute names a file: offer a file browser
  // It may name a folder too (of text files, read by the Jet stand-in).
  bool may_be_folder = false;
};

// The fields of the setup dialog of the drivers Debian ships, found by the
// driver's library: psqlODBC, MariaDB, SQLite3 and MDBTools; none for any
// other driver, whose attributes are all key = value rows.
std::vector<SetupField> DriverSetupFields(const std::string& driver);

// The library of an installed driver (its "Driver" entry in odbcinst.ini),
// else the driver as given (a source may name its library directly).
std::string DriverLibraryOf(const std::string& driver);

// The attributes a new source of the driver needs, each with an empty value:
// the keys of its setup fields.
SourceAttributes DriverAttributeTemplate(const std::string& driver);

// The attribute list of a request: "DSN=" + name + NUL + NUL, or the two NULs
// alone for an empty name.
std::string DsnAttributeList(const std::string& name);

// One installer request on a system data source. With a setup dialog the
// driver's dialog opens (add: prefilled with the list's name; configure: with
// the source's attributes); without one the list is taken as it stands. Fails
// for an unknown driver, a source that does not exist (configure, remove), an
// invalid name or attribute, a cancelled dialog, and a refused write.
bool ConfigSystemDataSource(DriverSetupDialog* setup_dialog, InstallerRequest request, const std::string& driver,
                            const std::string& attribute_list);

// Request 4 with the add window's setup dialog.
bool ConfigDataSource(DriverSetupDialog& setup_dialog, const std::string& driver, const std::string& name);
// Request 6 without a dialog; the source's stored login is forgotten whatever
// the installer answered.
bool RemoveSystemDSN(DsnLoginStore& logins, const std::string& driver, const std::string& name);

// The driver named for the source in "ODBC Data Sources"; empty when unreadable.
std::string DsnDriverName(const std::string& source);

// The attributes kept for a system source (its driver left out); empty when
// the source does not exist.
SourceAttributes ReadSourceAttributes(const std::string& source);

// A driver library's version: the version of the Debian package that
// installed it, else the version in its real file name (links followed) as
// four numbers joined by points ("libx-0.9998.so" -> "0.9998.0.0",
// "libx.so.4.0.6019.0" -> "4.0.6019.0"); empty when neither is known.
std::string GetFileVersionString(const std::string& file_name);

}  // namespace quill
