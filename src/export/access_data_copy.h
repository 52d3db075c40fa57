#pragma once

#include <cstdint>
#include <string>

#include "common/safe_file_name.h"
#include "common/user_interface.h"
#include "export/run_stop.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"

namespace quill {

// Row limit meaning "every row" (the source's count is unknown).
constexpr int64_t kAllRows = -1;

// What the data copy needs besides its arguments: the live options, the
// windows (progress, the selected node's caption for BLOB folders, the log),
// the temporary file of raw BLOB values ("tmp/file.tmp" beside the program),
// the run's Escape poll and the run's BLOB folder names.
struct AccessDataCopyContext {
  const Settings& settings;
  UserInterface& ui;
  std::string temporary_file;
  RunStop& stop;
  RunFileNames& file_names;
};

// Copies the rows of the open source table into the table `table_in_file`
// that the export created for it in the file, at most row_limit rows (kAllRows: no
// limit). Escape is polled between rows. True when every row was stored;
// false when an error or Escape ended the copy (the rows stored before it
// stay in the file), with the error's text in failure_reason when given.
// Text is stored whole: bytes that are not UTF-8 as U+FFFD, and in an
// Access 97 file each character its code page (Windows-1252) lacks as "?";
// either is said in a red line per column with the count of values. BLOB
// values left out are said in a plain line per column (LeftOutBlobs).
bool CopyTableData(const AccessDataCopyContext& context, const std::string& listed_name,
                   const std::string& mdb_file, Dataset& source, int64_t row_limit, const std::string& table_in_file,
                   std::string* failure_reason = nullptr);

}  // namespace quill
