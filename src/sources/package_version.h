#pragma once

#include <string>

namespace quill {

// The version of the Debian package that installed the file, from dpkg's
// records under dpkg_folder ("info/*.list" name each package's files,
// "status" holds each package's version), without the epoch; empty when no
// installed package lists the file. The file is looked for under the path
// given and under its real path (links followed).
std::string PackageVersionOfFile(const std::string& path, const std::string& dpkg_folder = "/var/lib/dpkg");

// A driver library named without a folder, as odbcinst.ini may name it, is
// found in the driver manager's folders; a path with a folder stays as it is.
std::string DriverLibraryPath(const std::string& library);

}  // namespace quill
