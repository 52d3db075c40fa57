#include "platform/jet/writer/connection_string.h"

#include <cctype>
#include <optional>

#include "platform/jet/writer/jet_write_error.h"
#include "platform/text/connection_string.h"

namespace quill::jet {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

// Read by the one reader of connection strings, so that a file path that
// holds ";" or quotes names the file it came from.
JetConnectionTarget ParseConnectionString(const std::string& connection_string) {
  JetConnectionTarget target;
  const std::string provider = ConnectionStringValue(connection_string, "Provider").value_or("");
  const std::optional<std::string> source = ConnectionStringValue(connection_string, "Data Source");
  const std::string engine = ConnectionStringValue(connection_string, "Jet OLEDB:Engine Type").value_or("");
  if (Lower(provider) != "microsoft.jet.oledb.4.0") {
    throw JetWriteError("Provider cannot be found: '" + provider + "'.");
  }
  if (!source || source->empty()) throw JetWriteError("The connection string names no data source.");
  target.data_source = *source;
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
