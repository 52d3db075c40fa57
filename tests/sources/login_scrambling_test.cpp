#include "sources/login_scrambling.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(LoginScramblingTest, AnEmptyTextStaysEmpty) {
  EXPECT_EQ(ScrambleString("", kPasswordStartKey), "");
  EXPECT_EQ(UnscrambleString("", kPasswordStartKey), "");
}

TEST(LoginScramblingTest, TheFirstByteIsXoredWithTheHighByteOfTheStartKey) {
  // 38461 is 0x963D.
  EXPECT_EQ(ScrambleString("a", kPasswordStartKey), "\xF7");
  EXPECT_EQ(ScrambleString(std::string(1, '\x96'), kPasswordStartKey), std::string(1, '\0'));
}

TEST(LoginScramblingTest, TheKeyAdvancesWithTheScrambledByte) {
  // k1 = ((0x963D + 0xF7) * 52845 + 22719) mod 65536 = 0x91E3; 'a' ^ 0x91 = 0xF0.
  EXPECT_EQ(ScrambleString("aa", kPasswordStartKey), "\xF7\xF0");
  EXPECT_EQ(UnscrambleString("\xF7\xF0", kPasswordStartKey), "aa");
}

TEST(LoginScramblingTest, EveryByteValueSurvivesARoundTrip) {
  std::string all_bytes;
  for (int value = 0; value < 256; ++value) all_bytes.push_back(static_cast<char>(value));
  const std::string scrambled = ScrambleString(all_bytes, kPasswordStartKey);
  EXPECT_EQ(scrambled.size(), all_bytes.size());
  EXPECT_NE(scrambled, all_bytes);
  EXPECT_EQ(UnscrambleString(scrambled, kPasswordStartKey), all_bytes);

  for (int value = 0; value < 256; ++value) {
    const std::string one(1, static_cast<char>(value));
    EXPECT_EQ(UnscrambleString(ScrambleString(one, 12345), 12345), one) << value;
  }
}

}  // namespace
}  // namespace quill
