#pragma once

#include <memory>
#include <string>

#include "platform/dataset/connection_backend.h"
#include "platform/jet/reader/child_jet_backend.h"

namespace quill {

// The Jet provider's stand-in for a "Data Source=PATH" connection: an .mdb or
// .accdb file or an .xls workbook (read in a reader process, see
// ChildJetBackend), or a folder whose text files are its tables.
// Throws DataAccessError when PATH is empty, missing or unreadable, and
// "Could not read PATH: the file is damaged" when the reader fails on it.
std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source);
std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source, const JetReaderOptions& reader);

}  // namespace quill
