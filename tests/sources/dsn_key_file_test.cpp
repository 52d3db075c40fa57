#include "sources/dsn_key_file.h"

#include <gtest/gtest.h>

#include "sources/login_scrambling.h"

namespace quill {
namespace {

TEST(DsnKeyFileTest, TheRecordIsTwoLengthPrefixedScrambledFieldsOfTwenty) {
  const std::string record = EncodeDsnKeyRecord({"sa", "secret"});
  ASSERT_EQ(record.size(), 42u);
  EXPECT_EQ(record[0], 2);
  EXPECT_EQ(record.substr(1, 2), ScrambleString("sa", kPasswordStartKey));
  EXPECT_EQ(record.substr(3, 18), std::string(18, '\0'));
  EXPECT_EQ(record[21], 6);
  EXPECT_EQ(record.substr(22, 6), ScrambleString("secret", kPasswordStartKey));
  EXPECT_EQ(record.substr(28), std::string(14, '\0'));

  const DsnLogin login = DecodeDsnKeyRecord(record);
  EXPECT_EQ(login.user_name, "sa");
  EXPECT_EQ(login.password, "secret");
}

TEST(DsnKeyFileTest, LongTextsAreCutAtTheLastWholeCharacterWithinTwentyBytes) {
  struct Case {
    std::string text;
    std::string kept;
  };
  const std::string twenty = "abcdefghijklmnopqrst";
  const std::vector<Case> cases = {
      {"", ""},
      {twenty, twenty},
      {twenty + "u", twenty},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",  // 11 x "é"
       "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
      {"abcdefghijklmnopqrs\xC3\xA9", "abcdefghijklmnopqrs"},                 // "é" would need bytes 20-21
      {"abcdefghijklmnopqr\xE2\x82\xAC", "abcdefghijklmnopqr"},               // "€" needs bytes 19-21
      {"abcdefghijklmnopq\xF0\x9F\x94\x91", "abcdefghijklmnopq"},             // a 4-byte key emoji
      {"abcdefghijklmnop\xF0\x9F\x94\x91", "abcdefghijklmnop\xF0\x9F\x94\x91"},  // exactly 20 bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutToWholeUtf8Characters(c.text, 20), c.kept) << c.text;
    const DsnLogin stored = DecodeDsnKeyRecord(EncodeDsnKeyRecord({c.text, c.text}));
    EXPECT_EQ(stored.user_name, c.kept);
    EXPECT_EQ(stored.password, c.kept);
  }
}

TEST(DsnKeyFileTest, ADamagedLengthByteReadsNoMoreThanItsField) {
  std::string record = EncodeDsnKeyRecord({"user", "pw"});
  record[0] = static_cast<char>(200);
  EXPECT_EQ(DecodeDsnKeyRecord(record).user_name.size(), 20u);
  EXPECT_EQ(DecodeDsnKeyRecord(record).password, "pw");
}

TEST(DsnKeyFileTest, TheFileIsNamedAfterTheSourceInThePsswFolder) {
  EXPECT_EQ(DsnKeyFilePath("/opt/quill/", "Sales Data 2024"), "/opt/quill/pssw/Sales Data 2024.key");
  EXPECT_EQ(DsnKeyFilePath("/opt/quill/", "../../etc/passwd"), std::nullopt);
}

}  // namespace
}  // namespace quill
