#pragma once

#include <memory>
#include <string>

#include "platform/jet/writer/jet_database.h"

namespace quill::jet {

// The databases a catalog of this process has created and not yet closed, by
// file name, so that a connection opened on the same file writes into them.
void RegisterOpenDatabase(const std::shared_ptr<JetDatabase>& database);
void UnregisterOpenDatabase(const JetDatabase& database);
std::shared_ptr<JetDatabase> FindOpenDatabase(const std::string& path);

}  // namespace quill::jet
