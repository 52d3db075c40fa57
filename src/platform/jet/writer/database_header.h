#pragma once

#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// Page 0: the file signature, the version, and the header block (code page,
// sort order, no password, no encryption key), which the format stores
// scrambled with a fixed RC4 key.
Bytes BuildDatabaseHeader(const JetFormat& format);

}  // namespace quill::jet
