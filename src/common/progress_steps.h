#pragma once

#include <cstdint>

#include "common/user_interface.h"

namespace quill {

// The progress bar counts in int; a source may report any record count
// (int64), and runs multiply it by the number of tables. These keep every
// number the bar is given within its range, with no overflow on the way.

// a × b for counts of zero or more (a negative one counts as 0), held at
// INT_MAX when it is larger.
int ProgressProduct(int64_t a, int64_t b);
// A count or position for the bar: held between 0 and INT_MAX.
int ProgressValue(int64_t value);
// The position moved on by one; it stays at INT_MAX once there.
void AdvanceProgress(UserInterface& ui);

}  // namespace quill
