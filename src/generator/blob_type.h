#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/dataset/field.h"
#include "sources/settings.h"

namespace quill {

struct BlobDetection {
  // Where the chosen signature starts; -1 when no wanted type was found.
  int32_t offset = -1;
  // BlobExtension: the lower-case extension of the type found ("jpg", ...),
  // empty when none. Under "Filter" it names the earliest type even when that
  // type is not wanted and offset is -1.
  std::string blob_extension;
};

// Finds the earliest signature of the eleven known file types in a BLOB.
// "Restrict" (FilesMethod 0) scans the ticked types only; any other method
// scans them all and, under "Filter" (1), gives nothing when the earliest
// type is not ticked. A signature is looked for within the bytes only: bytes
// at the end that begin a signature are ordinary data.
BlobDetection DetectBlobType(std::string_view bytes, const Settings& settings);
BlobDetection DetectBlobType(const Field& field, const Settings& settings);

}  // namespace quill
