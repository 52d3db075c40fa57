// The primary-key index: a large table whose keys arrive out of order, found
// again through the index pages by libmdb's parser; text keys in the
// "General" order; tables without a key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"
#include "platform/jet/writer/index_key.h"
#include "platform/jet/writer/value_conversion.h"

namespace quill::jet::writer_testing {
namespace {

class JetWriterIndexTest : public ::testing::TestWithParam<std::string> {};

constexpr int kRowCount = 100'000;

// Row i has key (i * 7919) mod 100000 - 50000: every key once, negative ones
// too, in an order that is not the key order.
std::int32_t KeyOfRow(int i) { return static_cast<std::int32_t>(static_cast<long long>(i) * 7919 % kRowCount) - 50'000; }

TEST_P(JetWriterIndexTest, HundredThousandRowsAreFoundThroughTheIndex) {
  const std::string file = NewTestFolder() + "/large.mdb";
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    AppendTable(catalog, "Large Table", {{"Id", kAdInteger, 0, false}, {"Label", kAdWChar, 40}, {"Amount", kAdDouble}});
    Connection connection;
    connection.Open(ConnectionString(file, GetParam()));
    Recordset recordset;
    recordset.Open("Large Table", connection);
    for (int i = 0; i < kRowCount; ++i) {
      recordset.AddNew();
      recordset.Fields().Item(0).SetValue(std::to_string(KeyOfRow(i)));
      recordset.Fields().Item(1).SetValue("row " + std::to_string(i));
      recordset.Fields().Item(2).SetValue(i * 0.5);
      recordset.Update();
    }
    recordset.Close();
    connection.Close();
    AppendPrimaryKey(catalog, "Large Table", "Id");
    catalog.SetActiveConnection(nullptr);
  }
  EXPECT_EQ(RunCommand({"mdb-count", file, "Large Table"}), "100000\n");

  EXPECT_EQ(PrimaryKeyFlags(file, "Large Table") & 0x09, 0x09) << "unique and required";

  const std::vector<std::string> keys = PrimaryKeyLeafKeys(file, "Large Table");
  ASSERT_EQ(keys.size(), static_cast<std::size_t>(kRowCount));
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(keys.front(), LongIntegerKey(-50'000));
  EXPECT_EQ(keys.back(), LongIntegerKey(49'999));

  for (int row : {0, 1, 12'345, 50'000, 99'999}) {
    const auto found = LookUpByPrimaryKey(file, "Large Table", LongIntegerKey(KeyOfRow(row)));
    ASSERT_TRUE(found.has_value()) << "key " << KeyOfRow(row);
    EXPECT_EQ((*found)[0], std::to_string(KeyOfRow(row)));
    EXPECT_EQ((*found)[1], "row " + std::to_string(row));
  }
  EXPECT_FALSE(LookUpByPrimaryKey(file, "Large Table", LongIntegerKey(50'000)).has_value());

  const std::vector<std::string> node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 3u + kRowCount);
  EXPECT_EQ(node[0], "table\tLarge Table\t100000");
  EXPECT_EQ(node[4], "row\t" + std::to_string(KeyOfRow(0)) + "\trow 0\t0");
  EXPECT_EQ(node.back(), "row\t" + std::to_string(KeyOfRow(kRowCount - 1)) + "\trow 99999\t49999.5");
}

TEST_P(JetWriterIndexTest, TextKeysFollowTheGeneralOrderWithoutCase) {
  const std::string file = NewTestFolder() + "/text-key.mdb";
  const std::vector<std::string> codes = {"B7", "a1", "zz", "10", "A2", "9", "Ab", "b"};
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    AppendTable(catalog, "Codes", {{"Code", kAdWChar, 10, false}, {"Position", kAdInteger}});
    // A table without key beside it.
    AppendTable(catalog, "Loose", {{"Code", kAdWChar, 10}});
    AppendPrimaryKey(catalog, "Codes", "Code");
    Connection connection;
    connection.Open(ConnectionString(file, GetParam()));
    Recordset recordset;
    recordset.Open("Codes", connection);
    for (std::size_t i = 0; i < codes.size(); ++i) {
      recordset.AddNew();
      recordset.Fields().Item(0).SetValue(codes[i]);
      recordset.Fields().Item(1).SetValue(static_cast<std::int64_t>(i));
      recordset.Update();
    }
    recordset.Close();
    connection.Close();
    catalog.SetActiveConnection(nullptr);
  }
  // Digits before letters, letters without case, shorter before longer.
  const std::vector<std::string> expected_order = {"10", "9", "a1", "A2", "Ab", "b", "B7", "zz"};
  std::vector<std::string> expected_keys;
  for (const std::string& code : expected_order) expected_keys.push_back(TextKey(code));
  EXPECT_EQ(PrimaryKeyLeafKeys(file, "Codes"), expected_keys);

  for (std::size_t i = 0; i < codes.size(); ++i) {
    const auto found = LookUpByPrimaryKey(file, "Codes", TextKey(codes[i]));
    ASSERT_TRUE(found.has_value()) << codes[i];
    EXPECT_EQ((*found)[0], codes[i]);
    EXPECT_EQ((*found)[1], std::to_string(i));
  }
  // Case does not matter to the index: "ab" finds "Ab".
  const auto found = LookUpByPrimaryKey(file, "Codes", TextKey("ab"));
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ((*found)[0], "Ab");

  const std::string schema = RunCommand({"mdb-schema", "--indexes", file, "mysql"});
  EXPECT_NE(schema.find("ALTER TABLE `Codes` ADD PRIMARY KEY (`Code`);"), std::string::npos) << schema;
  EXPECT_EQ(schema.find("ALTER TABLE `Loose` ADD PRIMARY KEY"), std::string::npos) << schema;
}

// A key over two columns, appended after the rows as the export appends it:
// one index whose entries are the column keys one after the other, in the
// key's order (order number first, although it is the second column).
TEST_P(JetWriterIndexTest, ACompositeKeySpansItsColumnsInTheKeysOrder) {
  const std::string file = NewTestFolder() + "/composite.mdb";
  // (line, order): the order number repeats, the pair never does.
  const std::vector<std::pair<int, int>> rows = {{2, 1001}, {1, 1003}, {1, 1001}, {1, 1002}, {2, 1003}};
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam()));
    AppendTable(catalog, "Lines", {{"Line", kAdInteger, 0, false}, {"Order", kAdInteger, 0, false}});
    Connection connection;
    connection.Open(ConnectionString(file, GetParam()));
    Recordset recordset;
    recordset.Open("Lines", connection);
    for (const auto& [line, order] : rows) {
      recordset.AddNew();
      recordset.Fields().Item(0).SetValue(std::int64_t{line});
      recordset.Fields().Item(1).SetValue(std::int64_t{order});
      recordset.Update();
    }
    recordset.Close();
    connection.Close();
    Table& table = catalog.Tables().Item("Lines");
    Key key;
    key.SetName("PrimaryKey");
    key.Columns().Append("Order", kAdInteger, 0);
    key.Columns().Append("Line", kAdInteger, 0);
    table.Keys().Append(key);
    catalog.SetActiveConnection(nullptr);
  }
  const std::string schema = RunCommand({"mdb-schema", "--indexes", file, "mysql"});
  EXPECT_NE(schema.find("ALTER TABLE `Lines` ADD PRIMARY KEY (`Order`, `Line`);"), std::string::npos) << schema;

  auto pair_key = [](int order, int line) { return LongIntegerKey(order) + LongIntegerKey(line); };
  EXPECT_EQ(PrimaryKeyLeafKeys(file, "Lines"),
            (std::vector<std::string>{pair_key(1001, 1), pair_key(1001, 2), pair_key(1002, 1), pair_key(1003, 1),
                                      pair_key(1003, 2)}));
  for (const auto& [line, order] : rows) {
    const auto found = LookUpByPrimaryKey(file, "Lines", pair_key(order, line));
    ASSERT_TRUE(found.has_value()) << order << "/" << line;
    EXPECT_EQ(*found, (std::vector<std::string>{std::to_string(line), std::to_string(order)}));
  }
  const std::vector<std::string> node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 2u + rows.size());
  EXPECT_EQ(node[0], "table\tLines\t5");
  EXPECT_EQ(node[3], "row\t2\t1001");
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetWriterIndexTest, ::testing::Values("5", "4"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "5" ? std::string("Jet4") : std::string("Jet3");
                         });

// Keys compare as their values: sorting the keys of values in value order
// must keep that order, across the sign, the 1899-12-30 epoch and text rules.
TEST(JetWriterIndexKeyTest, KeysSortAsTheirValues) {
  struct Series {
    JetType type;
    std::vector<Variant> ascending;
  };
  const std::vector<Series> series = {
      {JetType::kLongInteger, {std::int64_t{-2147483647 - 1}, std::int64_t{-65536}, std::int64_t{-1}, std::int64_t{0},
                               std::int64_t{1}, std::int64_t{256}, std::int64_t{2147483647}}},
      {JetType::kInteger, {std::int64_t{-32768}, std::int64_t{-2}, std::int64_t{0}, std::int64_t{3}, std::int64_t{32767}}},
      {JetType::kByte, {std::int64_t{0}, std::int64_t{1}, std::int64_t{128}, std::int64_t{255}}},
      {JetType::kCurrency, {std::string("-922337203685477.5808"), std::string("-0.0001"), std::string("0"),
                            std::string("0.0001"), std::string("922337203685477.5807")}},
      {JetType::kNumeric, {std::int64_t{-9223372036854775807 - 1}, std::int64_t{-1}, std::int64_t{0},
                           std::int64_t{4294967296}, std::int64_t{9223372036854775807}}},
      {JetType::kDouble, {-1e300, -2.5, -1e-300, 0.0, 1e-300, 0.5, 3.0, 1e300}},
      {JetType::kDateTime, {DateTime{100, 1, 1}, DateTime{1850, 3, 4, 12, 0, 0}, DateTime{1899, 12, 29, 23, 0, 0},
                            DateTime{1899, 12, 30}, DateTime{1899, 12, 30, 6, 0, 0}, DateTime{2040, 1, 1},
                            DateTime{9999, 12, 31, 23, 59, 59}}},
      {JetType::kText, {std::string(""), std::string(" "), std::string("!"), std::string("0"), std::string("09"),
                        std::string("1"), std::string("a"), std::string("AB"), std::string("abc"), std::string("z"),
                        std::string("é"), std::string("€")}},
  };
  for (const JetVersion version : {JetVersion::kJet4, JetVersion::kJet3}) {
    const JetFormat& format = FormatOf(version);
    for (const Series& s : series) {
      if (s.type == JetType::kNumeric && version == JetVersion::kJet3) continue;
      ColumnDefinition column;
      column.name = "Key";
      column.type = s.type;
      column.max_characters = 255;
      std::vector<Bytes> keys;
      for (const Variant& value : s.ascending) keys.push_back(IndexKey(column, ConvertValue(value, column, format), format));
      for (std::size_t i = 1; i < keys.size(); ++i) {
        EXPECT_LT(keys[i - 1], keys[i]) << "type " << static_cast<int>(s.type) << ", value " << i
                                        << (format.IsJet4() ? " (Jet 4)" : " (Jet 3)");
      }
    }
  }
}

}  // namespace
}  // namespace quill::jet::writer_testing
