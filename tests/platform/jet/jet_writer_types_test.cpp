// Every column type the export creates, written through the catalog and
// recordset calls and read back by mdbtools and by mdb-reader, in both file
// versions: values at their limits, Null in every nullable column, long
// texts, long values that need LVAL pages, names with blanks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"

namespace quill::jet::writer_testing {
namespace {

// One value written into one column and what each reader must give back.
struct Cell {
  Variant value;
  std::string mdbtools;  // mdb-export's text
  std::string node;      // mdb-reader's text (read_tables.mjs)
};

const Cell kNull{Variant(), "NULL", "\\N"};

std::string Repeat(const std::string& piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

std::string Hex(const Bytes& bytes, bool upper) {
  static const char* kLower = "0123456789abcdef";
  static const char* kUpper = "0123456789ABCDEF";
  const char* digits = upper ? kUpper : kLower;
  std::string out;
  for (std::uint8_t b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

Cell Binary(const Bytes& bytes) { return {bytes, Hex(bytes, true), "0x" + Hex(bytes, false)}; }

// mdb-export's hex mode also writes GUIDs, as the hex digits of their text.
std::string HexOfText(const std::string& text) { return Hex(Bytes(text.begin(), text.end()), true); }

// mdb-reader turns a serial into a date linearly (days and fraction alike),
// so before 1899-12-30 it reports another time of day than the one stored;
// this is the text it gives for a serial.
std::string LinearIso(double serial) {
  const long long epoch_ms = -2209161600000LL;  // 1899-12-30T00:00:00Z
  const long long ms = epoch_ms + std::llround(serial * 86400000.0);
  const long long days = (ms >= 0 ? ms : ms - 86399999) / 86400000;
  const long long in_day = ms - days * 86400000;
  const DateTime date = FromSerial(static_cast<double>(days + 25569));  // 25569: 1970-01-01
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lldZ", date.year, date.month, date.day,
                in_day / 3600000, in_day / 60000 % 60, in_day / 1000 % 60, in_day % 1000);
  return buffer;
}

const DateTime kBefore1900{1850, 3, 4, 12, 34, 56, 0};

struct Case {
  std::string engine;
  bool jet4;
};

class JetWriterTypesTest : public ::testing::TestWithParam<Case> {};

TEST_P(JetWriterTypesTest, EveryTypeComesBackFromBothReaders) {
  const bool jet4 = GetParam().jet4;
  const std::string file = NewTestFolder() + "/types.mdb";
  std::vector<ColumnSpec> columns = {
      {"Order Id", kAdInteger, 0, false}, {"Customer Name", kAdWChar, 255},  {"Small", kAdSmallInt},
      {"Tiny", kAdUnsignedTinyInt},       {"Paid", kAdBoolean, 0, false},    {"Ratio", kAdDouble},
      {"Unit Price", kAdCurrency, 0, false}, {"Weight", kAdSingle},         {"Ordered At", kAdDate},
      {"Notes", kAdLongVarWChar},         {"Picture", kAdLongVarBinary},    {"Row Guid", kAdGuid},
      {"Code", kAdWChar, 10},
  };
  columns.push_back({"Big", kAdBigInt});

  const std::string memo = Repeat("Zeile mit Umlauten äöü und ß. ", 3500);  // over 100 KB
  const Bytes picture = Pattern(1024 * 1024);
  std::vector<std::vector<Cell>> rows = {
      {
          {std::string("1"), "1", "1"},
          {std::string("Grüße aus Ærøskøbing – naïve café"), "Grüße aus Ærøskøbing – naïve café",
           "Grüße aus Ærøskøbing – naïve café"},
          {std::string("-32768"), "-32768", "-32768"},
          {std::string("255"), "255", "255"},
          {true, "1", "true"},
          {std::string("1234.5"), "1234.5", "1234.5"},
          {std::string("1234.5678"), "1234.5678", "1234.5678"},
          {std::string("1.5"), "1.5", "1.5"},
          {std::string("1850-03-04 12:34:56"), "", LinearIso(ToSerial(kBefore1900))},
          {memo, memo, memo},
          Binary(picture),
          {std::string("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"), HexOfText("{6F9619FF-8B86-D011-B42D00C04FC964FF}"),
           "6f9619ff-8b86-d011-b42d-00c04fc964ff"},
          {std::string("ABC"), "ABC", "ABC"},
      },
      {
          {std::int64_t{2}, "2", "2"}, kNull, kNull, kNull, {Variant(), "0", "false"}, kNull,
          {std::string("0"), "0.0000", "0.0000"}, kNull, kNull, kNull, kNull, kNull, kNull,
      },
      {
          {std::int64_t{-2147483647 - 1}, "-2147483648", "-2147483648"},
          {Repeat("é", 255), Repeat("é", 255), Repeat("é", 255)},
          {std::int64_t{32767}, "32767", "32767"},
          {std::int64_t{0}, "0", "0"},
          {std::string("False"), "0", "false"},
          {-0.000123, "-0.000123", "-0.000123"},
          {std::string("-922337203685477.5808"), "-922337203685477.5808", "-922337203685477.5808"},
          {-2.25, "-2.25", "-2.25"},
          {DateTime{2040, 6, 30, 12, 0, 0, 0}, "2040-06-30 12:00:00", "2040-06-30T12:00:00.000Z"},
          {std::string("tab\there\nline"), "tab\\there\\nline", "tab\\there\\nline"},
          Binary(Bytes{0x00, 0x01, 0xFE, 0xFF}),
          {std::string("00000000-0000-0000-0000-000000000001"), HexOfText("{00000000-0000-0000-0000000000000001}"),
           "00000000-0000-0000-0000-000000000001"},
          {std::string("0123456789"), "0123456789", "0123456789"},
      },
  };
  // 64-bit integers keep every digit in both formats (Access 97 holds them as text).
  rows[0].push_back({std::string("9223372036854775807"), "9223372036854775807", "9223372036854775807"});
  rows[1].push_back(kNull);
  rows[2].push_back({std::int64_t{-9223372036854775807 - 1}, "-9223372036854775808", "-9223372036854775808"});

  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, GetParam().engine));
    AppendTable(catalog, "Order Details", columns);
    Connection connection;
    connection.Open(ConnectionString(file, GetParam().engine));
    Recordset recordset;
    recordset.Open("Order Details", connection, kAdOpenKeyset, kAdLockOptimistic, kAdCmdTableDirect);
    for (const std::vector<Cell>& row : rows) {
      recordset.AddNew();
      for (std::size_t k = 0; k < row.size(); ++k) {
        if (!std::holds_alternative<std::monostate>(row[k].value)) recordset.Fields().Item(k).SetValue(row[k].value);
      }
      recordset.Update();
    }
    recordset.Close();
    connection.Close();
    AppendPrimaryKey(catalog, "Order Details", "Order Id");
    catalog.Tables().Refresh();
    catalog.SetActiveConnection(nullptr);
  }

  EXPECT_EQ(RunCommand({"mdb-ver", file}), jet4 ? "JET4\n" : "JET3\n");
  EXPECT_EQ(RunCommand({"mdb-tables", "-1", file}), "Order Details\n");
  EXPECT_EQ(RunCommand({"mdb-count", file, "Order Details"}), "3\n");

  const auto exported = ExportRows(file, "Order Details");
  ASSERT_EQ(exported.size(), rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(exported[r].size(), rows[r].size()) << "row " << r;
    for (std::size_t k = 0; k < rows[r].size(); ++k) {
      if (columns[k].type == kAdDate && rows[r][k].mdbtools.empty()) continue;  // before 1900: checked below
      EXPECT_EQ(exported[r][k], rows[r][k].mdbtools) << "mdb-export, row " << r << ", column " << columns[k].name;
    }
  }
  // mdbtools prints no date before 1900; its row parser still finds the serial.
  const auto serials = StoredDateSerials(file, "Order Details", "Ordered At");
  ASSERT_EQ(serials.size(), 3u);
  EXPECT_EQ(serials[0], ToSerial(kBefore1900));
  EXPECT_EQ(serials[1], std::nullopt);

  const std::vector<std::string> node_types = {"long", "text", "integer", "byte", "boolean", "double", "currency",
                                               "float", "datetime", "memo", "ole", "repid", "text", jet4 ? "numeric" : "text"};
  const std::vector<std::string> node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1 + columns.size() + rows.size());
  EXPECT_EQ(node[0], "table\tOrder Details\t3");
  for (std::size_t k = 0; k < columns.size(); ++k) {
    // column, name, type, size, nullable: all but the size, which readers count differently.
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t tab; (tab = node[1 + k].find('\t', start)) != std::string::npos; start = tab + 1) {
      parts.push_back(node[1 + k].substr(start, tab - start));
    }
    parts.push_back(node[1 + k].substr(start));
    ASSERT_EQ(parts.size(), 5u) << node[1 + k];
    EXPECT_EQ(parts[1], columns[k].name);
    EXPECT_EQ(parts[2], node_types[k]) << columns[k].name;
    const bool nullable = columns[k].nullable && columns[k].type != kAdBoolean;
    EXPECT_EQ(parts[4], nullable ? "true" : "false") << columns[k].name;
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::string line = "row";
    for (const Cell& cell : rows[r]) line += "\t" + cell.node;
    EXPECT_EQ(node[1 + columns.size() + r], line) << "mdb-reader, row " << r;
  }
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetWriterTypesTest,
                         ::testing::Values(Case{"5", true}, Case{"4", false}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return info.param.jet4 ? std::string("Jet4") : std::string("Jet3");
                         });

}  // namespace
}  // namespace quill::jet::writer_testing
