// Rows are wrapped while they are written, from the commas the writers
// record: every row of every dialect must be the scanning wrap of its
// statement, and the five-blank rule, applied to the row head once, must
// have nothing left to change in the values.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "dialect_golden.h"
#include "generator/script_header.h"
#include "generator/table_writer.h"
#include "generator/wrap_text.h"

namespace quill::testing {
namespace {

// The statement before the wrap: every CR LF the wrap put in (outside
// quotes, right after a comma) taken out again. The writers write no other
// CR LF after a comma outside quotes.
std::string Unwrapped(std::string_view row) {
  std::string text;
  char quote = 0;
  for (size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"' || c == '`') {
      quote = c;
    } else if (c == '\r' && i + 1 < row.size() && row[i + 1] == '\n' && !text.empty() && text.back() == ',') {
      ++i;
      continue;
    }
    text += c;
  }
  return text;
}

// Texts that try every rule of the wrap and of the five-blank rule: commas,
// quotes of each kind, runs of blanks, UTF-8 of two to four bytes, and
// lengths that move the following values across the limit. (The memo
// columns add line breaks.)
std::string TextValue(int row) {
  static const std::vector<std::string> kTexts = {"a,b,c",
                                                  "it''s, here",
                                                  "     ",
                                                  "ten          blanks",
                                                  "\"double\" `back`",
                                                  "Zo\xC3\xAB \xE5\xA4\xA7 \xF0\x9F\x98\x80",
                                                  "x",
                                                  "(1,2)",
                                                  "[bracket]]",
                                                  "semi;colon"};
  std::string text = kTexts[static_cast<size_t>(row) % kTexts.size()];
  text += std::string(static_cast<size_t>(row * 7 % 83), row % 2 == 0 ? 'w' : ',');
  return "'" + text + "'";
}

// One source table holding a column of every class its engine gives, and
// rows whose values move every comma across the limit somewhere.
struct SourceTable {
  const char* name;
  std::function<TestDatabase()> open;
  std::vector<ColumnDescription> columns;
  // The SQL literal of column `column` in row `row`; "NULL" for none.
  std::function<std::string(size_t column, int row)> value;
};

constexpr int kRows = 40;

std::vector<SourceTable> SourceTables() {
  // A PNG header first, so BLOB files are written with a known type.
  const std::string png_hex = "89504E470D0A1A0A0000000D49484452";
  return {
      {"Sqlite",
       [] { return TestDatabase::Sqlite(); },
       {{"id", "INT"}, {"pad", "VARCHAR(100)"}, {"n", "INTEGER"}, {"r", "REAL"}, {"d", "DATE"}, {"dt", "DATETIME"},
        {"t", "TIME"}, {"b", "BOOLEAN"}, {"big", "BIGINT"}, {"memo", "TEXT"}, {"photo", "BLOB"},
        {"tail", "VARCHAR(9)"}},
       [png_hex](size_t column, int row) -> std::string {
         if (row % 9 == 8 && column > 0) return "NULL";
         switch (column) {
           case 0: return std::to_string(row + 1);
           case 1: return TextValue(row);
           case 2: return std::to_string(row * 1234567 - 9000000);
           case 3: return std::to_string(row) + ".25";
           case 4: return "'2004-12-" + std::to_string(10 + row % 20) + "'";
           case 5: return "'2004-12-31 10:11:" + std::to_string(10 + row % 50) + (row % 3 == 0 ? ".5'" : "'");
           case 6: return "'10:11:12'";
           case 7: return row % 2 == 0 ? "1" : "0";
           case 8: return "9000000000";
           case 9: return row % 4 == 0 ? "'line' || char(13) || char(10) || 'two,     three'" : TextValue(row + 3);
           case 10: return "X'" + png_hex + std::string(static_cast<size_t>(row % 5) * 2, 'A') + "'";
           default: return "'z'";
         }
       }},
      {"Postgres",
       [] { return PostgresWithBooleans(); },
       {{"id", "serial"}, {"pad", "varchar(100)"}, {"w", "varchar(20)"}, {"memo", "text"}, {"amount", "numeric(10,2)"},
        {"flag", "boolean"}, {"photo", "bytea"}, {"uid", "uuid"}, {"ratio", "float8"}, {"d", "date"},
        {"ts", "timestamp"}, {"tm", "time"}, {"big", "bigint"}, {"iv", "interval"}, {"tail", "varchar(9)"}},
       [png_hex](size_t column, int row) -> std::string {
         if (row % 9 == 8 && column > 0) return "NULL";
         switch (column) {
           case 0: return std::to_string(row + 1);
           case 1: return TextValue(row);
           case 2: return "'Gr\xC3\xBC\xC3\x9F" "e,  " + std::to_string(row) + "'";
           case 3: return row % 4 == 0 ? "'line' || chr(13) || chr(10) || 'two,     three'" : TextValue(row + 5);
           case 4: return std::to_string(row * 37) + ".50";
           case 5: return row % 2 == 0 ? "true" : "false";
           case 6: return "'\\x" + png_hex + std::string(static_cast<size_t>(row % 5) * 2, 'a') + "'";
           case 7: return "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'";
           case 8: return row % 7 == 0 ? "'NaN'" : std::to_string(row) + ".5";
           case 9: return "'2004-02-" + std::to_string(10 + row % 19) + "'";
           case 10: return "'2004-12-31 23:59:" + std::to_string(10 + row % 50) + (row % 3 == 0 ? ".123456'" : "'");
           case 11: return "'12:00:0" + std::to_string(row % 10) + "'";
           case 12: return std::to_string(row) + "000000000";
           case 13: return "'1 day " + std::to_string(row % 24) + ":00:00'";
           default: return "'z'";
         }
       }},
      {"MariaDb",
       [] { return TestDatabase::MariaDb(); },
       {{"id", "INT"}, {"pad", "VARCHAR(100)"}, {"vb", "VARBINARY(16)"}, {"bn", "BINARY(4)"},
        {"word", "SMALLINT UNSIGNED"},
        {"dur", "TIME(6)"}, {"d", "DATE"}, {"dt", "DATETIME(6)"}, {"amount", "DECIMAL(10,2)"}, {"f", "DOUBLE"},
        {"photo", "BLOB"}, {"txt", "TEXT"}, {"tail", "VARCHAR(9)"}},
       [png_hex](size_t column, int row) -> std::string {
         if (row % 9 == 8 && column > 0) return "NULL";
         switch (column) {
           case 0: return std::to_string(row + 1);
           case 1: return TextValue(row);
           case 2: return "x'00FF275C0D0A" + std::string(static_cast<size_t>(row % 4) * 2, 'B') + "'";
           case 3: return "x'2C2C2720'";
           case 4: return std::to_string(row * 1000);
           case 5: return row % 2 == 0 ? "'-838:59:59.5'" : "'100:00:0" + std::to_string(row % 10) + "'";
           case 6: return row % 11 == 3 ? "'0000-00-00'" : "'2004-12-" + std::to_string(10 + row % 20) + "'";
           case 7: return "'2004-12-31 10:11:12" + std::string(row % 3 == 0 ? ".000001'" : "'");
           case 8: return "-" + std::to_string(row * 11) + ".25";
           case 9: return std::to_string(row) + ".125";
           case 10: return "x'" + png_hex + std::string(static_cast<size_t>(row % 5) * 2, 'C') + "'";
           case 11: return row % 4 == 0 ? "CONCAT('line', CHAR(13), CHAR(10), 'two,     three')" : TextValue(row + 7);
           default: return "'z'";
         }
       }},
  };
}

// The options that change how values are written: plain, dates through the
// dialect's format expression, BLOBs as references to their files, BLOBs as
// text, and MS SQL's unquoted numbers with quoted NULLs.
struct ValueOptions {
  const char* name;
  std::function<void(Settings&, const std::string& blob_folder)> apply;
};

const std::vector<ValueOptions>& OptionSets() {
  static const std::vector<ValueOptions> sets = {
      {"Plain", [](Settings&, const std::string&) {}},
      {"DateFormats",
       [](Settings& s, const std::string&) {
         s.formatting = true;
         s.post_form_type = 1;
         s.po_time_format = "YYYY-MM-DD HH24:MI:SS";
         s.po_date_format = "YYYY-MM-DD";
         s.my_format = "%Y-%m-%d %H:%i:%s";
         s.or_format = "YYYY-MM-DD HH24:MI:SS";
       }},
      {"BlobFilesRaw",
       [](Settings& s, const std::string& folder) {
         s.extract_files = true;
         s.save_as_raw = true;
         s.files_method = 0;
         s.find_png = true;
         s.blob_path = folder;
       }},
      {"BlobFilesAsPaths",
       [](Settings& s, const std::string& folder) {
         s.extract_files = true;
         s.files_method = 0;
         s.find_png = true;
         s.blob_path = folder;
       }},
      {"TextFromBlobNumbersBareNullsQuoted",
       [](Settings& s, const std::string&) {
         s.text_from_blob = true;
         s.quoted = true;
         s.null_quoted = true;
       }},
  };
  return sets;
}

struct DialectWidth {
  TargetDialect dialect;
  int wrap_width;  // 0: rows are not wrapped
};

constexpr DialectWidth kDialects[] = {{TargetDialect::MsSql, 0},
                                      {TargetDialect::Oracle, 60},
                                      {TargetDialect::Pervasive, 0},
                                      {TargetDialect::MySql, 60},
                                      {TargetDialect::PostgreSql, 80}};

// Each source table under a short name and a long one: the row head's last
// line then ends at different places, so the values meet the limit at other
// commas, as other widths would make them.
TEST(RowWrapWhileWriting, EveryValueClassInEveryDialectIsTheScanningWrapOfItsStatement) {
  for (const SourceTable& source : SourceTables()) {
    SCOPED_TRACE(source.name);
    TestDatabase db = source.open();
    const std::vector<std::string> table_names = {"t", "a table named at length " + std::string(27, 'n')};
    for (const std::string& table_name : table_names) {
      TableDescription table{table_name, source.columns, {"id"}};
      for (int row = 0; row < kRows; ++row) {
        std::vector<std::string> values;
        for (size_t column = 0; column < source.columns.size(); ++column) values.push_back(source.value(column, row));
        table.rows.push_back(values);
      }
      db.CreateTable(table);
      const std::string listed = db.engine() == Engine::Postgres ? "public." + table_name : table_name;
      for (const DialectWidth& target : kDialects) {
        for (const ValueOptions& options : OptionSets()) {
          SCOPED_TRACE(std::string(options.name) + " into " + DialectName(target.dialect) + ", table " + table_name);
          GeneratorHarness harness;
          harness.settings.format = target.dialect;
          harness.settings.content = ContentMode::DataOnly;
          harness.ui.SetSelectedNodeCaption("src");
          options.apply(harness.settings, (harness.program_folder / "blobs").string());
          harness.generator.GenerateScript(db.Dsn(), listed);
          ASSERT_EQ(harness.ui.tabs().size(), 1u);
          const std::vector<std::string> items = DialectTableItems(harness);
          ASSERT_EQ(items.size(), static_cast<size_t>(kRows));
          const IdentifierQuotes& quotes = DialectIdentifierQuotes(target.dialect);
          for (const std::string& item : items) {
            const std::string statement = target.wrap_width > 0 ? Unwrapped(item) : item;
            std::string squeezed = statement;
            SqueezeFiveBlanks(squeezed, quotes);
            ASSERT_EQ(squeezed, statement) << "five blanks outside quotes left in: " << statement;
            if (target.wrap_width > 0) {
              ASSERT_EQ(item, WrapText(statement, target.wrap_width)) << statement;
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace quill::testing
