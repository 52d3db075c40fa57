#pragma once

#include <string>

#include "common/user_interface.h"
#include "generator/lost_value_counts.h"
#include "platform/dataset/field.h"

namespace quill {

// BLOB values that a script or an Access export leaves out (writes NULL or
// nothing): with "Extract Files from BLOB fields" off, or with it on when no
// file type looked for starts in the value. Counted per column and said once
// the table is written, in one plain log line per column, with the option
// that keeps them, so no picture vanishes unsaid.
class LeftOutBlobs {
 public:
  // `table_name`: the table as listed, for the log lines.
  LeftOutBlobs(UserInterface& ui, std::string table_name);

  // One value of `field` left out because the options extract no files.
  void CountNotExtracted(const Field& field);
  // One value of `field` left out because no file type looked for was found in it.
  void CountWithoutFileType(const Field& field);
  // Says the counts ("Table : T : column C : N BLOB values left out ...") and
  // starts them again.
  void Report() { counts_.Report(); }

 private:
  LostValueCounts counts_;
};

}  // namespace quill
