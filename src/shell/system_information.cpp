#include "shell/system_information.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/formatting/format_float.h"
#include "sources/registryaccess.h"

namespace quill {

namespace {

constexpr const char* kCrLf = "\r\n";

// The PRETTY_NAME of /etc/os-release without its quotes; empty when missing.
std::string OsReleaseName() {
  std::ifstream file("/etc/os-release");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

std::string Megabytes(uint64_t bytes) { return std::to_string(bytes / 1024 / 1024); }

// The kB figure of one "Name:   1234 kB" line.
std::optional<uint64_t> MeminfoKilobytes(const std::string& meminfo, const std::string& name) {
  std::istringstream lines(meminfo);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name + ":", 0) != 0) continue;
    std::istringstream figure(line.substr(name.size() + 1));
    uint64_t kilobytes = 0;
    if (!(figure >> kilobytes)) return std::nullopt;
    return kilobytes;
  }
  return std::nullopt;
}

std::optional<MemoryFigures> SysinfoMemory() {
  struct sysinfo memory {};
  if (sysinfo(&memory) != 0) return std::nullopt;
  const uint64_t unit = memory.mem_unit == 0 ? 1 : memory.mem_unit;
  return MemoryFigures{static_cast<uint64_t>(memory.totalram) * unit,
                       (static_cast<uint64_t>(memory.freeram) + memory.bufferram) * unit};
}

}  // namespace

std::optional<MemoryFigures> ParseMemoryInformation(const std::string& meminfo) {
  const std::optional<uint64_t> total = MeminfoKilobytes(meminfo, "MemTotal");
  const std::optional<uint64_t> available = MeminfoKilobytes(meminfo, "MemAvailable");
  if (!total || !available) return std::nullopt;
  return MemoryFigures{*total * 1024, *available * 1024};
}

int MemoryLoadPercent(uint64_t total_bytes, uint64_t available_bytes) {
  if (total_bytes == 0) return 0;
  return static_cast<int>((total_bytes - std::min(available_bytes, total_bytes)) * 100 / total_bytes);
}

SystemFacts ReadSystemFacts() {
  SystemFacts facts;
  utsname names{};
  const bool have_uname = uname(&names) == 0;
  facts.os_name = OsReleaseName();
  if (facts.os_name.empty() && have_uname) facts.os_name = names.sysname;
  if (have_uname) facts.service_pack = names.release;

  const std::string processor = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\";
  std::string cpu_name;
  if (ReadRegString(RegistryRoot::LocalMachine, processor + "ProcessorNameString", cpu_name)) facts.cpu_name = cpu_name;
  uint32_t mhz = 0;
  if (ReadRegDWORD(RegistryRoot::LocalMachine, processor + "~Mhz", mhz)) facts.cpu_mhz = mhz;

  std::ifstream meminfo_file("/proc/meminfo");
  std::ostringstream meminfo;
  meminfo << meminfo_file.rdbuf();
  std::optional<MemoryFigures> memory = ParseMemoryInformation(meminfo.str());
  if (!memory) memory = SysinfoMemory();
  if (memory) {
    facts.total_ram_bytes = memory->total_bytes;
    facts.available_ram_bytes = memory->available_bytes;
    facts.memory_load_percent = MemoryLoadPercent(memory->total_bytes, memory->available_bytes);
  }

  // The installed driver manager's version stands in for the data-access
  // components; a missing value shows as an empty version.
  std::string version;
  if (!ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\DataAccess\\FullInstallVer", version)) {
    version.clear();
  }
  facts.data_access_version = version;
  return facts;
}

std::string SystemInformationText(const SystemFacts& facts) {
  // Appended piece by piece: GCC 12 warns falsely on long chains of "+".
  std::string text = "OS : ";
  text.append(facts.os_name).append(" ").append(facts.service_pack).append(kCrLf);
  if (facts.cpu_name) text.append("CPU : ").append(*facts.cpu_name);
  if (facts.cpu_mhz) {
    // 1024, not 1000: 2400 MHz shows as 2.3 GHz.
    if (*facts.cpu_mhz > 1024) {
      text.append(", ").append(FormatFloat("#.#", *facts.cpu_mhz / 1024.0)).append(" GHz").append(kCrLf);
    } else {
      text.append(", ").append(std::to_string(*facts.cpu_mhz)).append(" MHz").append(kCrLf);
    }
  }
  text.append(kCrLf).append("Total RAM : ").append(Megabytes(facts.total_ram_bytes)).append(" Mb").append(kCrLf);
  text.append("Available RAM : ").append(Megabytes(facts.available_ram_bytes)).append(" Mb").append(kCrLf);
  text.append(std::to_string(facts.memory_load_percent)).append("% memory in use.").append(kCrLf);
  text.append(kCrLf).append("MDAC Version : ").append(facts.data_access_version.value_or("Unknown"));
  return text;
}

}  // namespace quill
