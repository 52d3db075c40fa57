#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quill {

// What the About box tells about the computer.
struct SystemFacts {
  std::string os_name;
  std::string service_pack;  // the release text the system adds, may be empty
  std::optional<std::string> cpu_name;
  std::optional<uint32_t> cpu_mhz;
  uint64_t total_ram_bytes = 0;
  uint64_t available_ram_bytes = 0;
  int memory_load_percent = 0;
  // Nothing when the data-access components cannot be asked.
  std::optional<std::string> data_access_version;
};

// The facts of this computer: the system's name from /etc/os-release (else
// uname) with the kernel release, the processor keys and the data-access
// version through the registry readers, memory from /proc/meminfo (else
// sysinfo).
SystemFacts ReadSystemFacts();

struct MemoryFigures {
  uint64_t total_bytes = 0;
  uint64_t available_bytes = 0;
};

// Total and available memory as the kernel counts them in a /proc/meminfo
// text (MemTotal and MemAvailable, in kB): available memory holds the page
// cache the system can give back, which free memory plus buffers leaves out.
// Nothing when either line is missing.
std::optional<MemoryFigures> ParseMemoryInformation(const std::string& meminfo);

// The share of memory in use, 0-100.
int MemoryLoadPercent(uint64_t total_bytes, uint64_t available_bytes);

// The About box's system-information text, each line ending with CR LF.
// Speeds above 1024 MHz are shown in GHz (MHz / 1024, one decimal at most).
std::string SystemInformationText(const SystemFacts& facts);

}  // namespace quill
