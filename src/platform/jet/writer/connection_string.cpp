#include "platform/jet/writer/connection_string.h"

#include <cctype>
#include <string_view>

#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet {
namespace {

std::string Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return std::string(text);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

JetConnectionTarget ParseConnectionString(const std::string& connection_string) {
  JetConnectionTarget target;
  std::string provider;
  std::string engine;
  bool has_source = false;
  std::string_view rest = connection_string;
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    const std::string_view item = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string key = Lower(Trimmed(item.substr(0, equals)));
    const std::string value = Trimmed(item.substr(equals + 1));
    if (key == "provider") provider = value;
    if (key == "data source") {
      target.data_source = value;
      has_source = true;
    }
    if (key == "jet oledb:engine type") engine = value;
  }
  if (Lower(provider) != "microsoft.jet.oledb.4.0") {
    throw JetWriteError("Provider cannot be found: '" + provider + "'.");
  }
  if (!has_source || target.data_source.empty()) throw JetWriteError("The connection string names no data source.");
  if (engine.empty() || engine == "5") {
    target.version = JetVersion::kJet4;
  } else if (engine == "4") {
    target.version = JetVersion::kJet3;
  } else {
    throw JetWriteError("The engine type '" + engine + "' is not supported (4: Access 97, 5: Access 2000).");
  }
  return target;
}

}  // namespace quill::jet
