#include <cmath>
#include <sstream>

#include "platform/files/read_file.h"
#include "platform/registry/registry_sources.h"

namespace quill::registry_sources {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<RegistryKey> ProcessorKeys(const std::string& cpuinfo) {
  std::vector<RegistryKey> processors;
  std::istringstream lines(cpuinfo);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string field = Trimmed(line.substr(0, colon));
    const std::string value = Trimmed(line.substr(colon + 1));
    if (field == "processor") {
      processors.emplace_back();
    } else if (processors.empty()) {
      continue;
    } else if (field == "model name") {
      processors.back().values.push_back(StringValue("ProcessorNameString", value));
    } else if (field == "cpu MHz") {
      try {
        processors.back().values.push_back(DwordValue("~MHz", static_cast<uint32_t>(std::lround(std::stod(value)))));
      } catch (const std::exception&) {
        // A processor without a readable clock has no ~MHz value.
      }
    }
  }
  return processors;
}

std::optional<RegistryKey> CentralProcessorKey(const std::vector<std::string>& path) {
  const std::vector<RegistryKey> processors = ProcessorKeys(ReadWholeFile("/proc/cpuinfo").value_or(""));
  if (path.empty()) {
    RegistryKey key;
    for (size_t i = 0; i < processors.size(); ++i) key.sub_keys.push_back(std::to_string(i));
    return key;
  }
  if (path.size() > 1) return std::nullopt;
  for (size_t i = 0; i < processors.size(); ++i) {
    if (path[0] == std::to_string(i)) return processors[i];
  }
  return std::nullopt;
}

}  // namespace quill::registry_sources
