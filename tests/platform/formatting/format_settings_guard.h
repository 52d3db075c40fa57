#pragma once

#include "platform/formatting/format_settings.h"

namespace quill::testing {

// Gives a test the C locale's format variables and puts the process's own
// back afterwards, so tests that change them cannot leak into each other.
class FormatSettingsGuard {
 public:
  FormatSettingsGuard() : saved_(GlobalFormatSettings()) { GlobalFormatSettings() = CLocaleFormatSettings(); }
  ~FormatSettingsGuard() { GlobalFormatSettings() = saved_; }
  FormatSettingsGuard(const FormatSettingsGuard&) = delete;
  FormatSettingsGuard& operator=(const FormatSettingsGuard&) = delete;

 private:
  FormatSettings saved_;
};

}  // namespace quill::testing
