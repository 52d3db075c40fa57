#include "generator/blob_type.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

namespace quill {
namespace {

constexpr int kAnyByte = -1;

struct BlobSignature {
  std::string_view extension;
  bool Settings::*wanted;
  std::vector<int> bytes;  // kAnyByte matches every byte
};

// In the order the types are tried.
const std::array<BlobSignature, 11>& Signatures() {
  static const std::array<BlobSignature, 11> signatures = {{
      {"jpg", &Settings::find_jpg, {0xFF, 0xD8, 0xFF, kAnyByte, kAnyByte, kAnyByte, 0x4A, 0x46}},
      {"bmp", &Settings::find_bmp, {0x42, 0x4D, kAnyByte}},
      {"tif", &Settings::find_tif, {0x49, 0x49, 0x2A}},
      {"gif", &Settings::find_gif, {0x47, 0x49, 0x46}},
      {"wmf", &Settings::find_wmf, {0xD7, 0xCD, 0xC6}},
      {"pdf", &Settings::find_pdf, {0x25, 0x50, 0x44, 0x46}},
      {"doc", &Settings::find_doc, {0xD0, 0xCF, 0x11, 0xE0}},
      {"zip", &Settings::find_zip, {0x50, 0x4B, 0x03, 0x04}},
      {"wav", &Settings::find_wav, {0x52, 0x49, 0x46, 0x46, kAnyByte, kAnyByte, kAnyByte, kAnyByte, 0x57, 0x41}},
      {"mp3", &Settings::find_mp3, {0x49, 0x44, 0x33}},
      {"png", &Settings::find_png, {0x89, 0x50, 0x4E, 0x47}},
  }};
  return signatures;
}

// Reads the BLOB one byte at a time.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  size_t Position() const { return position_; }
  // Moves to the next `value` that has at least one byte after it; false
  // (at the end) when there is none. Equal to reading byte by byte.
  bool SkipTo(unsigned char value) {
    if (Remaining() < 2) return false;
    const void* found = std::memchr(bytes_.data() + position_, value, bytes_.size() - 1 - position_);
    if (found == nullptr) {
      position_ = bytes_.size() - 1;
      return false;
    }
    position_ = static_cast<size_t>(static_cast<const char*>(found) - bytes_.data());
    return true;
  }
  size_t Remaining() const { return bytes_.size() - position_; }
  void StepBack() { --position_; }
  // Callers make sure a byte is left.
  int Read() { return static_cast<unsigned char>(bytes_[position_++]); }

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

bool Matches(int expected, int actual) { return expected == kAnyByte || expected == actual; }

// The offset of the signature's first occurrence, or -1. The signature is
// looked for within the bytes only: a candidate too near the end for the
// whole signature is no match (nor is any later one), never a read past the
// end.
int64_t FirstOccurrence(std::string_view bytes, const BlobSignature& signature) {
  ByteReader reader(bytes);
  const auto first_byte = static_cast<unsigned char>(signature.bytes[0]);
  while (reader.SkipTo(first_byte)) {
    const size_t start = reader.Position();
    if (reader.Remaining() < signature.bytes.size()) return -1;
    reader.Read();
    const int second = reader.Read();
    if (second != signature.bytes[1]) {
      // This byte may itself start a match.
      if (second == signature.bytes[0]) reader.StepBack();
      continue;
    }
    bool matched = true;
    for (size_t k = 2; k < signature.bytes.size(); ++k) {
      if (!Matches(signature.bytes[k], reader.Read())) {
        matched = false;  // the scan goes on after the differing byte
        break;
      }
    }
    if (matched) return static_cast<int64_t>(start);
  }
  return -1;
}

}  // namespace

BlobDetection DetectBlobType(std::string_view bytes, const Settings& settings) {
  const bool restrict_to_wanted = settings.files_method == 0;
  int64_t best_offset = -1;
  const BlobSignature* best = nullptr;
  for (const BlobSignature& signature : Signatures()) {
    if (restrict_to_wanted && !(settings.*signature.wanted)) continue;
    const int64_t offset = FirstOccurrence(bytes, signature);
    if (offset >= 0 && (best_offset < 0 || offset < best_offset)) {
      best_offset = offset;
      best = &signature;
    }
  }

  BlobDetection detection;
  if (best == nullptr) return detection;
  detection.blob_extension = std::string(best->extension);
  // Offsets are 32-bit; a signature found beyond that cannot be addressed.
  if (best_offset > INT32_MAX) return detection;
  const bool filtered_out = settings.files_method == 1 && !(settings.*best->wanted);
  if (!filtered_out) detection.offset = static_cast<int32_t>(best_offset);
  return detection;
}

BlobDetection DetectBlobType(const Field& field, const Settings& settings) {
  return DetectBlobType(std::string_view(field.RawText()), settings);
}

}  // namespace quill
