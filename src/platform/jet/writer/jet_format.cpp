#include "platform/jet/writer/jet_format.h"

namespace quill::jet {

const JetFormat& FormatOf(JetVersion version) {
  static const JetFormat kJet3{JetVersion::kJet3, 2048, 8, 10, 64, 128, 0x16, 0xf8, 0x409};
  static const JetFormat kJet4{JetVersion::kJet4, 4096, 12, 14, 64, 64, 0x1b, 0x1e0, 0x409};
  return version == JetVersion::kJet4 ? kJet4 : kJet3;
}

}  // namespace quill::jet
