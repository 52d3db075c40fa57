#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/run_stop.h"
#include "generator/lost_value_counts.h"
#include "platform/dataset/dataset.h"

namespace quill {

// Appends one value as the CSV file carries it: the text as it stands, or,
// when it holds ";", a double quote, CR or LF, between double quotes with
// every double quote inside doubled, so a reader can split rows and columns.
void AppendCsvValue(std::string& line, std::string_view text);

// The text a field's value has in the CSV file, before quoting, so that the
// file is UTF-8 text a strict reader takes: binary values (Bytes, VarBytes,
// BLOB) as two upper-case hexadecimal digits per byte; text as it stands,
// except that NUL characters, which no text file carries, are dropped and
// bytes that start no UTF-8 sequence become U+FFFD, each change counted in
// `changed` for the column.
std::string CsvValueText(const Field& field, LostValueCounts& changed);

// Writes the rows of the open source table, from its current row, as the
// clip-string text in UTF-8: the field texts (CsvValueText) joined by ";"
// (quoted as AppendCsvValue says), every row ended by CR LF, nothing for
// Null; no header. At most row_limit rows (zero or less: every row); Escape
// is polled between rows. Rows stream to a file beside it that replaces an
// existing file only once it is whole (ReplacingFile). Throws
// std::runtime_error when that file cannot be created; false when writing or
// the replacing fails or Escape stopped the rows, with an existing file left
// as it was.
bool WriteCsvFile(Dataset& source, const std::string& path, int64_t row_limit, RunStop& stop,
                  LostValueCounts& changed);

}  // namespace quill
