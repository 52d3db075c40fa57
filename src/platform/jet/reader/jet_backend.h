#pragma once

#include <memory>
#include <string>

#include "platform/dataset/connection_backend.h"

namespace quill {

// The Jet provider's stand-in for a "Data Source=PATH" connection: an .mdb or
// .accdb file, an .xls workbook, or a folder whose text files are its tables.
// Throws DataAccessError when PATH is empty, missing or unreadable.
std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source);

}  // namespace quill
