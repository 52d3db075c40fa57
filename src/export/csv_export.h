#pragma once

#include <cstdint>
#include <string>

#include "platform/dataset/dataset.h"

namespace quill {

// Writes the rows of the open source table, from its current row, as the
// clip-string text: the field texts joined by ";", every row ended by CR LF,
// nothing for Null; no header, no quoting; in Windows-1252. At most
// row_limit rows (zero or less: every row). Rows stream to the file one
// by one. Throws std::runtime_error when the file cannot be created (an
// existing one is replaced); false when writing fails after that.
bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit);

}  // namespace quill
