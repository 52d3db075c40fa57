#include "foreignkeys/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

struct DigestCase {
  std::string input;
  std::string digest;
};

// The test suite of RFC 1321.
const DigestCase kRfcSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(MD5Test, RfcTestSuite) {
  for (const DigestCase& test : kRfcSuite) EXPECT_EQ(MD5PrintOf(test.input), test.digest) << '"' << test.input << '"';
}

TEST(MD5Test, PaddingBoundaries) {
  // 55 bytes fit one block with the length; 56 to 64 need a second one.
  const DigestCase cases[] = {
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
  };
  for (const DigestCase& test : cases) EXPECT_EQ(MD5PrintOf(test.input), test.digest) << test.input.size();
}

TEST(MD5Test, PiecewiseFeedGivesTheSameDigest) {
  const std::string text(200, 'q');
  for (const uint32_t piece : {1u, 7u, 55u, 63u, 64u, 65u, 128u}) {
    MD5Context context;
    MD5Init(context);
    for (uint32_t start = 0; start < text.size(); start += piece) {
      const uint32_t length = std::min<uint32_t>(piece, static_cast<uint32_t>(text.size()) - start);
      MD5Update(context, reinterpret_cast<const uint8_t*>(text.data()) + start, length);
    }
    MD5Digest digest;
    MD5Final(context, digest);
    EXPECT_EQ(MD5Print(digest), MD5PrintOf(text)) << piece;
    // The context is wiped.
    EXPECT_EQ(context.state[0], 0u);
    EXPECT_EQ(context.count[0], 0u);
  }
}

}  // namespace
}  // namespace quill
