#include "common/progress_steps.h"

#include <algorithm>
#include <climits>

namespace quill {

int ProgressValue(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX)); }

int ProgressProduct(int64_t a, int64_t b) {
  if (a <= 0 || b <= 0) return 0;
  // Compared by division, so the product is only formed when it fits.
  if (a > INT_MAX / b) return INT_MAX;
  return static_cast<int>(a * b);
}

void AdvanceProgress(UserInterface& ui) {
  const int position = ui.ProgressPosition();
  if (position < INT_MAX) ui.SetProgressPosition(position + 1);
}

}  // namespace quill
