#pragma once

// The places the registry's keys are taken from; used by registry.cpp only.

#include <optional>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace quill::registry_sources {

// Sub-key names below "SOFTWARE\ODBC\ODBC.INI" and "SOFTWARE\ODBC\ODBCINST.INI"
// (path holds the names after that, split at "\"): the keys of unixODBC's
// system odbc.ini and odbcinst.ini.
std::optional<RegistryKey> OdbcIniKey(const std::vector<std::string>& path);
std::optional<RegistryKey> OdbcInstIniKey(const std::vector<std::string>& path);

// "HARDWARE\DESCRIPTION\System\CentralProcessor" and its numbered sub-keys.
std::optional<RegistryKey> CentralProcessorKey(const std::vector<std::string>& path);
// One key per processor of a /proc/cpuinfo text: ProcessorNameString and ~MHz.
std::vector<RegistryKey> ProcessorKeys(const std::string& cpuinfo);

// "SOFTWARE\Microsoft\DataAccess": FullInstallVer.
RegistryKey DataAccessKey();

}  // namespace quill::registry_sources
