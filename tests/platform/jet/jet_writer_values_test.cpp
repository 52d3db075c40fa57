// Field values given as text, as the export gives them, read the way the
// engine reads them: in the process's format variables (which wrote the
// field texts) or in ISO form; what cannot be read is refused, not guessed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/formatting/format_settings.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill::jet {
namespace {

class JetWriterValuesTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = GlobalFormatSettings(); }
  void TearDown() override { GlobalFormatSettings() = saved_; }

  static void UseGermanSettings() {
    FormatSettings& settings = GlobalFormatSettings();
    settings.decimal_separator = ",";
    settings.thousand_separator = ".";
    settings.short_date_format = "dd.mm.yyyy";
    settings.date_separator = ".";
  }

  static ColumnDefinition ColumnOf(JetType type) {
    ColumnDefinition column;
    column.name = "Value";
    column.type = type;
    column.max_characters = 50;
    return column;
  }

  // The stored bytes of a value, for comparing a text with the value it names.
  static Bytes Stored(const Variant& value, JetType type) {
    return ConvertValue(value, ColumnOf(type), FormatOf(JetVersion::kJet4)).bytes;
  }

 private:
  FormatSettings saved_;
};

struct TextCase {
  std::string text;
  JetType type;
  Variant same_as;
};

TEST_F(JetWriterValuesTest, TextsInTheCLocaleAndInIsoForm) {
  GlobalFormatSettings() = CLocaleFormatSettings();
  const std::vector<TextCase> cases = {
      {"1234.5", JetType::kDouble, 1234.5},
      {"1,234.50", JetType::kDouble, 1234.5},
      {" -1.5E-5 ", JetType::kDouble, -1.5e-5},
      {"1234.5678", JetType::kCurrency, std::string("1234.5678")},
      {"1,234.56785", JetType::kCurrency, std::string("1234.5678")},   // half to even
      {"0.00015", JetType::kCurrency, std::string("0.0002")},
      {"2.5", JetType::kLongInteger, std::int64_t{2}},                 // half to even
      {"3.5", JetType::kInteger, std::int64_t{4}},
      {"1,000", JetType::kLongInteger, std::int64_t{1000}},
      {"1850-03-04", JetType::kDateTime, DateTime{1850, 3, 4}},
      {"2001-02-03 04:05:06", JetType::kDateTime, DateTime{2001, 2, 3, 4, 5, 6}},
      {"2001-02-03T04:05:06.250", JetType::kDateTime, DateTime{2001, 2, 3, 4, 5, 6, 250'000'000}},
      {"16:30:00", JetType::kDateTime, DateTime{1899, 12, 30, 16, 30, 0}},
      {"04:30 PM", JetType::kDateTime, DateTime{1899, 12, 30, 16, 30, 0}},
      {"6f9619ff-8b86-d011-b42d-00c04fc964ff", JetType::kGuid, std::string("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(Stored(c.text, c.type), Stored(c.same_as, c.type)) << c.text;
  }
}

TEST_F(JetWriterValuesTest, TextsInAnotherLocaleFollowItsSeparatorsAndDateOrder) {
  UseGermanSettings();
  const std::vector<TextCase> cases = {
      {"1234,5", JetType::kDouble, 1234.5},
      {"1.234,50", JetType::kDouble, 1234.5},
      {"1234.5", JetType::kDouble, 1234.5},  // not groups of three: still the fraction
      {"1.234.567", JetType::kLongInteger, std::int64_t{1234567}},
      {"-1.234,5678", JetType::kCurrency, std::string("-1234.5678")},
      {"04.03.1850", JetType::kDateTime, DateTime{1850, 3, 4}},
      {"04.03.1850 12:34:56", JetType::kDateTime, DateTime{1850, 3, 4, 12, 34, 56}},
      {"31.12.49", JetType::kDateTime, DateTime{2049, 12, 31}},
      {"1850-03-04", JetType::kDateTime, DateTime{1850, 3, 4}},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(Stored(c.text, c.type), Stored(c.same_as, c.type)) << c.text;
  }
}

TEST_F(JetWriterValuesTest, TextsThatNameNoValueAreRefused) {
  GlobalFormatSettings() = CLocaleFormatSettings();
  const std::vector<std::pair<std::string, JetType>> cases = {
      {"12abc", JetType::kDouble},       {"1,5", JetType::kDouble},           {"", JetType::kLongInteger},
      {"1e400", JetType::kDouble},        {"2001-02-30", JetType::kDateTime}, {"25:00", JetType::kDateTime},
      {"March 3rd", JetType::kDateTime},  {"0099-01-01", JetType::kDateTime}, {"maybe", JetType::kBoolean},
      {"{1234}", JetType::kGuid},         {"256", JetType::kByte},            {"922337203685478", JetType::kCurrency},
  };
  for (const auto& [text, type] : cases) {
    EXPECT_THROW(Stored(text, type), JetWriteError) << text;
  }
}

}  // namespace
}  // namespace quill::jet
