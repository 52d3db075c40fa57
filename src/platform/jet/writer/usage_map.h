#pragma once

#include <cstdint>
#include <vector>

#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/page_file.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// The row of a page usage map listing pages: an inline bitmap (type 0) when
// they lie close together, else a list of bitmap pages (type 1), which are
// written to the file here.
Bytes BuildUsageMap(std::vector<std::uint32_t> pages, PageFile& file, const JetFormat& format);

}  // namespace quill::jet
