#include "generator/left_out_blobs.h"

#include <utility>

namespace quill {

namespace {

constexpr std::string_view kNotExtracted =
    "BLOB values left out; the option \"Extract Files from BLOB fields\" keeps them";
constexpr std::string_view kWithoutFileType =
    "BLOB values left out: none holds a file type of \"Look for these file formats\", the types that are kept";

}  // namespace

LeftOutBlobs::LeftOutBlobs(UserInterface& ui, std::string table_name)
    : counts_(ui, std::move(table_name), LostValueCounts::Lines::kPlain) {}

void LeftOutBlobs::CountNotExtracted(const Field& field) { counts_.Count(field.Name(), kNotExtracted); }

void LeftOutBlobs::CountWithoutFileType(const Field& field) { counts_.Count(field.Name(), kWithoutFileType); }

}  // namespace quill
