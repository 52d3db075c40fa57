#pragma once

#include <cstdint>
#include <string>

#include "common/user_interface.h"
#include "export/run_stop.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"

namespace quill {

// Row limit meaning "every row" (the source's count is unknown).
constexpr int64_t kAllRows = -1;

// What the data copy needs besides its arguments: the live options, the
// windows (progress, the selected node's caption for BLOB folders), the
// temporary file of raw BLOB values ("tmp/file.tmp" beside the program) and
// the run's Escape poll.
struct AccessDataCopyContext {
  const Settings& settings;
  UserInterface& ui;
  std::string temporary_file;
  RunStop& stop;
};

// Copies the rows of the open source table into the table of the same name
// that the export created in the file, at most row_limit rows (kAllRows: no
// limit). Escape is polled between rows. True when every row was stored;
// false when an error or Escape ended the copy (the rows stored before it
// stay in the file).
bool CopyTableData(const AccessDataCopyContext& context, const std::string& listed_name,
                   const std::string& mdb_file, Dataset& source, int64_t row_limit, bool keep_schema);

}  // namespace quill
