#pragma once

#include <cstdint>
#include <string>

#include "platform/dataset/dataset.h"

namespace quill {

// Writes the rows of the open source table, from its current row, as the
// clip-string text: the field texts joined by ";", every row ended by CR LF,
// nothing for Null; no header, no quoting; in Windows-1252. At most
// row_limit rows (zero or less: every row). Rows stream to a partial file
// beside it, which replaces an existing file only once it is whole. Throws
// std::runtime_error when the partial file cannot be created; false when
// writing or the replacing fails, with the partial file removed and an
// existing file left as it was.
bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit);

}  // namespace quill
