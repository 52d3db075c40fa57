// Field texts and conversions, and finding a field by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/formatting/format_settings.h"

namespace quill::testing {
namespace {

TEST(Field, TextOfEachValueForm) {
  GlobalFormatSettings() = CLocaleFormatSettings();
  Field integer("i", "TIntegerField", FieldKind::ftInteger, 0, 0);
  EXPECT_TRUE(integer.IsNull());
  EXPECT_EQ(integer.AsString(), "");
  integer.SetInteger(-42);
  EXPECT_EQ(integer.AsString(), "-42");
  EXPECT_EQ(integer.AsFloat(), -42.0);
  integer.SetNull();
  EXPECT_EQ(integer.AsString(), "");
  EXPECT_EQ(integer.AsInteger(), 0);

  Field boolean("b", "TBooleanField", FieldKind::ftBoolean, 0, 1);
  boolean.SetBoolean(true);
  EXPECT_EQ(boolean.AsString(), "True");
  boolean.SetBoolean(false);
  EXPECT_EQ(boolean.AsString(), "False");

  Field real("f", "TFloatField", FieldKind::ftFloat, 0, 2);
  real.SetFloat(0.1);
  EXPECT_EQ(real.AsString(), "0.1");
  Field single("f4", "TFloatField", FieldKind::ftFloat, 0, 2);
  single.SetSinglePrecision(true);
  single.SetFloat(0.4f);
  EXPECT_EQ(single.AsString(), "0.4");
  EXPECT_EQ(single.AsFloat(), 0.4);

  Field day("d", "TDateField", FieldKind::ftDate, 0, 3);
  day.SetDateTime({2024, 3, 5, 0, 0, 0, 0});
  EXPECT_EQ(day.AsString(), "2024-03-05");
  Field clock("t", "TTimeField", FieldKind::ftTime, 0, 4);
  clock.SetDateTime({1899, 12, 30, 6, 7, 8, 0});
  EXPECT_EQ(clock.AsString(), "06:07:08");
  Field moment("m", "TDateTimeField", FieldKind::ftDateTime, 0, 5);
  moment.SetDateTime({2024, 3, 5, 6, 7, 8, 0});
  EXPECT_EQ(moment.AsString(), "2024-03-05 06:07:08");
  moment.SetDateTime({2024, 3, 5, 0, 0, 0, 0});
  EXPECT_EQ(moment.AsString(), "2024-03-05");

  Field text("s", "TStringField", FieldKind::ftString, 10, 6);
  text.SetText("");
  EXPECT_FALSE(text.IsNull());
  EXPECT_EQ(text.AsString(), "");

  // An unsigned value beyond the signed range keeps its digits.
  Field large("l", "TLargeintField", FieldKind::ftLargeint, 0, 7);
  large.SetText("18446744073709551615");
  EXPECT_EQ(large.AsString(), "18446744073709551615");
  large.SetText("12");
  EXPECT_EQ(large.AsInteger(), 12);
}

TEST(Field, DecimalsUseTheDecimalSeparator) {
  GlobalFormatSettings() = CLocaleFormatSettings();
  for (FieldKind kind : {FieldKind::ftBCD, FieldKind::ftCurrency}) {
    Field decimal("n", "TBCDField", kind, 10, 0);
    decimal.SetText("-1234.50");
    EXPECT_EQ(decimal.AsString(), "-1234.50");
    GlobalFormatSettings().decimal_separator = ",";
    EXPECT_EQ(decimal.AsString(), "-1234,50");
    EXPECT_EQ(decimal.RawText(), "-1234.50");
    EXPECT_EQ(decimal.AsFloat(), -1234.5);
    GlobalFormatSettings() = CLocaleFormatSettings();
  }
  Field text("s", "TStringField", FieldKind::ftString, 10, 0);
  GlobalFormatSettings().decimal_separator = ",";
  text.SetText("1.5");
  EXPECT_EQ(text.AsString(), "1.5");
  GlobalFormatSettings() = CLocaleFormatSettings();
}

TEST(Field, KindNames) {
  EXPECT_EQ(FieldKindName(FieldKind::ftString), "ftString");
  EXPECT_EQ(FieldKindName(FieldKind::ftAutoInc), "ftAutoInc");
  EXPECT_EQ(FieldKindName(FieldKind::ftBCD), "ftBCD");
  EXPECT_EQ(FieldKindName(FieldKind::ftGuid), "ftGuid");
}

class FixedDataset : public Dataset {
 public:
  explicit FixedDataset(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      fields_.push_back(std::make_unique<Field>(name, "TStringField", FieldKind::ftString, 10, FieldCount()));
    }
  }
  bool Eof() const override { return true; }
  void Next() override {}
  void First() override {}
  void Last() override {}
  std::optional<int64_t> RecordCount() override { return 0; }
};

TEST(Dataset, FindFieldPrefersTheExactName) {
  FixedDataset dataset({"Name", "NAME", "id"});
  EXPECT_EQ(dataset.FindField("NAME")->Index(), 1);
  EXPECT_EQ(dataset.FindField("Name")->Index(), 0);
  EXPECT_EQ(dataset.FindField("name")->Index(), 0);
  EXPECT_EQ(dataset.FindField("ID")->Index(), 2);
  EXPECT_EQ(dataset.FindField("missing"), nullptr);
}

}  // namespace
}  // namespace quill::testing
