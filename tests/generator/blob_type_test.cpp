#include "generator/blob_type.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quill {
namespace {

// Bytes from a list of values, so signatures read as in a hex dump.
std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

const std::string kPng = Bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00});
const std::string kJfif = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01});
const std::string kExif = Bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 0x45, 0x78, 0x69, 0x66, 0x00, 0x01});
const std::string kGif = "GIF89a" + Bytes({0x01, 0x00});
const std::string kTail = "....";  // keeps candidates away from the end

enum Method { kRestrict = 0, kFilter = 1, kNone = kNoChoice };

Settings Options(Method method, const std::vector<bool Settings::*>& ticked) {
  Settings settings;
  settings.files_method = method;
  for (auto box : ticked) settings.*box = true;
  return settings;
}

const std::vector<bool Settings::*> kAllTypes = {
    &Settings::find_jpg, &Settings::find_bmp, &Settings::find_tif, &Settings::find_gif,
    &Settings::find_wmf, &Settings::find_pdf, &Settings::find_doc, &Settings::find_zip,
    &Settings::find_wav, &Settings::find_mp3, &Settings::find_png};

struct DetectCase {
  const char* name;
  std::string bytes;
  Settings settings;
  int32_t offset;
  std::string extension;
};

void PrintTo(const DetectCase& c, std::ostream* out) { *out << c.name; }

class DetectBlobTypeTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectBlobTypeTest, FindsTheEarliestWantedSignature) {
  const DetectCase& c = GetParam();
  const BlobDetection detection = DetectBlobType(c.bytes, c.settings);
  EXPECT_EQ(detection.offset, c.offset);
  EXPECT_EQ(detection.blob_extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    EachSignature, DetectBlobTypeTest,
    ::testing::Values(
        DetectCase{"Jpg", "abc" + kJfif, Options(kRestrict, kAllTypes), 3, "jpg"},
        DetectCase{"Bmp", "abcBM" + Bytes({0x36, 0x00}), Options(kRestrict, kAllTypes), 3, "bmp"},
        DetectCase{"Tif", "abcII*" + Bytes({0x00, 0x08}), Options(kRestrict, kAllTypes), 3, "tif"},
        DetectCase{"Gif", "abc" + kGif, Options(kRestrict, kAllTypes), 3, "gif"},
        DetectCase{"Wmf", "abc" + Bytes({0xD7, 0xCD, 0xC6, 0x9A, 0x00}), Options(kRestrict, kAllTypes), 3, "wmf"},
        DetectCase{"Pdf", "abc%PDF-1.4", Options(kRestrict, kAllTypes), 3, "pdf"},
        DetectCase{"Doc", "abc" + Bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1}), Options(kRestrict, kAllTypes), 3,
                   "doc"},
        DetectCase{"Zip", "abcPK" + Bytes({0x03, 0x04, 0x14, 0x00}), Options(kRestrict, kAllTypes), 3, "zip"},
        DetectCase{"Wav", "abcRIFF" + Bytes({0x24, 0x08, 0x00, 0x00}) + "WAVEfmt ", Options(kRestrict, kAllTypes), 3,
                   "wav"},
        DetectCase{"Mp3", "abcID3" + Bytes({0x03, 0x00}), Options(kRestrict, kAllTypes), 3, "mp3"},
        DetectCase{"Png", "abc" + kPng, Options(kRestrict, kAllTypes), 3, "png"}),
    [](const ::testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Rules, DetectBlobTypeTest,
    ::testing::Values(
        DetectCase{"EmptyBlobFindsNothing", "", Options(kRestrict, kAllTypes), -1, ""},
        DetectCase{"OneByteBlobFindsNothing", Bytes({0x42}), Options(kRestrict, kAllTypes), -1, ""},
        DetectCase{"HeaderThenPngStartsAtThePngSignature", "OLE header 123" + kPng,
                   Options(kRestrict, {&Settings::find_png}), 14, "png"},
        DetectCase{"JpegWithoutJfifMarkerIsNotJpg", kExif + kTail, Options(kRestrict, {&Settings::find_jpg}), -1, ""},
        DetectCase{"BmBeforeAJpegIsABmp", "BM" + kJfif, Options(kRestrict, {&Settings::find_bmp, &Settings::find_jpg}),
                   0, "bmp"},
        DetectCase{"EarliestTypeWinsOverTheTableOrder", "ab" + kGif + kJfif, Options(kRestrict, kAllTypes), 2, "gif"},
        DetectCase{"SecondByteThatStartsAMatchIsReadAgain", "%%PDF-1.4", Options(kRestrict, kAllTypes), 1, "pdf"},
        DetectCase{"FailedThirdByteIsNotReadAgain", "III*xyz", Options(kRestrict, {&Settings::find_tif}), -1, ""},
        DetectCase{"RestrictSkipsUntickedTypes", kGif + kPng, Options(kRestrict, {&Settings::find_png}), 8, "png"},
        DetectCase{"RestrictWithPngUntickedScansTheOthers", "xy" + kGif + kTail,
                   Options(kRestrict, {&Settings::find_gif}), 2, "gif"},
        DetectCase{"FilterGivesNothingWhenTheEarliestTypeIsUnticked", kGif + kPng,
                   Options(kFilter, {&Settings::find_png}), -1, "gif"},
        DetectCase{"FilterFindsATickedEarliestType", kGif + kPng, Options(kFilter, {&Settings::find_gif}), 0, "gif"},
        DetectCase{"NoMethodChosenScansAndKeepsEveryType", kGif + kTail, Options(kNone, {}), 0, "gif"}),
    [](const ::testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

// Bytes at the end of a BLOB that begin a signature are ordinary data: the
// signature is looked for within the value only, and what came before still
// counts.
struct CutSignatureCase {
  const char* name;
  std::string bytes;
  int32_t offset;
  const char* extension;
};

void PrintTo(const CutSignatureCase& c, std::ostream* out) { *out << c.name; }

class DetectBlobTypeCutSignature : public ::testing::TestWithParam<CutSignatureCase> {};

TEST_P(DetectBlobTypeCutSignature, IsNoMatchAndNoError) {
  const CutSignatureCase& c = GetParam();
  for (const Method method : {kRestrict, kFilter, kNone}) {
    const BlobDetection detection = DetectBlobType(c.bytes, Options(method, kAllTypes));
    EXPECT_EQ(detection.offset, c.offset) << c.name << " method " << method;
    EXPECT_EQ(detection.blob_extension, c.extension) << c.name << " method " << method;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectBlobTypeCutSignature,
    ::testing::Values(CutSignatureCase{"BmAsTheOnlyTwoBytes", "BM", -1, ""},
                      CutSignatureCase{"BmAsTheLastTwoBytes", "ABBM", -1, ""},
                      CutSignatureCase{"CutJpegSignature", Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00}), -1, ""},
                      CutSignatureCase{"JpegSignatureOneByteShort", Bytes({0x00, 0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A}),
                                       -1, ""},
                      CutSignatureCase{"CutWavSignature", "xxRIFF\x01\x02\x03\x04W", -1, ""},
                      CutSignatureCase{"CutPdfSignature", "%PD", -1, ""},
                      CutSignatureCase{"CutPngSignature", Bytes({0x01, 0x89, 0x50, 0x4E}), -1, ""},
                      CutSignatureCase{"CandidateAfterAnEarlierMatch", kPng + "xyBM", 0, "png"},
                      CutSignatureCase{"WholeBmpInTheLastThreeBytes", "xyBMz", 2, "bmp"},
                      CutSignatureCase{"WholeGifAtTheEnd", "xxxGIF", 3, "gif"}),
    [](const ::testing::TestParamInfo<CutSignatureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill
