#pragma once

#include <string>

#include "platform/jet/writer/jet_format.h"

namespace quill::jet {

// What a connection string of the Jet provider names: the file and the
// engine type ("5" or empty: Jet 4; "4": Jet 3).
struct JetConnectionTarget {
  std::string data_source;
  JetVersion version = JetVersion::kJet4;
};

// Throws JetWriteError for another provider, a missing data source or an
// engine type this writer does not make.
JetConnectionTarget ParseConnectionString(const std::string& connection_string);

}  // namespace quill::jet
