#include "foreignkeys/constraint_scripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "generator/text_literals.h"

namespace quill {
namespace {

struct ScriptCase {
  const char* label;
  TargetDialect dialect;
  std::string destination_schema;
  bool underscore;
  bool encrypt;
  std::string drop;
  std::string add;
};

const ForeignKeyValues kOrdersToClients{"dbo.orders", "client id", "dbo.clients", "id"};

const ScriptCase kCases[] = {
    {"MS SQL", TargetDialect::MsSql, "", false, false,
     "ALTER TABLE [orders] DROP CONSTRAINT [FK_QMV_orders_client id_clients_id]\r\nGo\r\n",
     "ALTER TABLE [orders]\r\nADD CONSTRAINT [FK_QMV_orders_client id_clients_id] FOREIGN KEY ([client id]) "
     "REFERENCES [clients]([id])\r\nGo\r\n"},
    {"MS SQL, schema, underscore", TargetDialect::MsSql, "sales", true, false,
     "ALTER TABLE [sales].[orders] DROP CONSTRAINT [FK_QMV_sales_orders_client_id_clients_id]\r\nGo\r\n",
     "ALTER TABLE [sales].[orders]\r\nADD CONSTRAINT [FK_QMV_sales_orders_client_id_clients_id] FOREIGN KEY "
     "([client_id]) REFERENCES [sales].[clients]([id])\r\nGo\r\n"},
    {"MySql, schema kept with its blank", TargetDialect::MySql, "my shop", false, false,
     "ALTER TABLE `my shop`.`orders` DROP FOREIGN KEY `FK_QMV_my shop_orders_client id_clients_id`;\r\n",
     "ALTER TABLE `my shop`.`orders` ADD CONSTRAINT `FK_QMV_my shop_orders_client id_clients_id` FOREIGN KEY "
     "(`client id`) REFERENCES `my shop`.`clients`(`id`);\r\n"},
    {"MySql, encrypted", TargetDialect::MySql, "shop", false, true,
     "ALTER TABLE `shop`.`orders` DROP FOREIGN KEY `87998d61ba8f2c69e0ba644db1aa4502`;\r\n",
     "ALTER TABLE `shop`.`orders` ADD CONSTRAINT `87998d61ba8f2c69e0ba644db1aa4502` FOREIGN KEY (`client id`) "
     "REFERENCES `shop`.`clients`(`id`);\r\n"},
    {"PostgreSQL", TargetDialect::PostgreSql, "", true, false,
     "ALTER TABLE \"orders\" DROP CONSTRAINT \"fk_qmv_orders_client_id_clients_id\";\r\n",
     "ALTER TABLE \"orders\" ADD CONSTRAINT \"fk_qmv_orders_client_id_clients_id\" FOREIGN KEY (\"client_id\") "
     "REFERENCES \"clients\" (\"id\") MATCH FULL;\r\n"},
    {"Oracle ignores the schema", TargetDialect::Oracle, "sales", false, false,
     "ALTER TABLE orders DROP CONSTRAINT \"20960223c751919443e1\";\r\n",
     "ALTER TABLE orders ADD CONSTRAINT \"20960223c751919443e1\" FOREIGN KEY (\"client id\") REFERENCES clients "
     "(id);\r\n"},
    {"Pervasive, encrypt changes nothing", TargetDialect::Pervasive, "sales", false, true,
     "ALTER TABLE \"orders\" DROP CONSTRAINT \"20960223c751919443e1\";\r\n",
     "ALTER TABLE \"orders\" ADD CONSTRAINT \"20960223c751919443e1\" FOREIGN KEY (\"client id\") REFERENCES "
     "\"clients\" (\"id\");\r\n"},
};

TEST(ConstraintScriptsTest, AddAndDropPerDialect) {
  for (const ScriptCase& test : kCases) {
    Settings settings;
    settings.format = test.dialect;
    settings.ms_schema = test.destination_schema;
    settings.underscore = test.underscore;
    ForeignKeyScripts scripts;
    AppendConstraintScripts(settings, test.encrypt, kOrdersToClients, scripts);
    EXPECT_EQ(scripts.drop_constraint_script, test.drop) << test.label;
    EXPECT_EQ(scripts.add_constraint_script, test.add) << test.label;
  }
}

TEST(ConstraintScriptsTest, NameLengthsByDialectAndEncryption) {
  // A long readable name stays whole where the engine takes it, else it is
  // hashed like an encrypted one; hashed names are 32 characters, cut to 20
  // where the dialect keeps names short.
  const ForeignKeyValues key{"s.a_rather_long_table_name", "a_rather_long_column", "s.another_long_table",
                             "its_key"};
  struct {
    TargetDialect dialect;
    bool encrypt;
    size_t length;
  } const cases[] = {
      {TargetDialect::MsSql, false, 79},     {TargetDialect::MsSql, true, 32},
      {TargetDialect::MySql, false, 32},     {TargetDialect::PostgreSql, false, 32},
      {TargetDialect::PostgreSql, true, 32}, {TargetDialect::Oracle, false, 20},
      {TargetDialect::Oracle, true, 20},     {TargetDialect::Pervasive, false, 20},
  };
  for (const auto& test : cases) {
    Settings settings;
    settings.format = test.dialect;
    const std::string name = ConstraintName(settings, test.encrypt, key);
    EXPECT_EQ(name.size(), test.length) << static_cast<int>(test.dialect) << " " << name;
    if (name.size() != 79) {
      EXPECT_EQ(name.find_first_not_of("0123456789abcdef"), std::string::npos) << name;
    }
  }
}

TEST(ConstraintScriptsTest, MySqlKeepsReadableNamesUpToItsLimit) {
  Settings settings;
  settings.format = TargetDialect::MySql;
  // "FK_QMV_" + table + "_c_p_id": 64 characters with a table name of 50.
  EXPECT_EQ(ConstraintName(settings, false, {std::string(50, 't'), "c", "p", "id"}),
            "FK_QMV_" + std::string(50, 't') + "_c_p_id");
  EXPECT_EQ(ConstraintName(settings, false, {std::string(51, 't'), "c", "p", "id"}).size(), 32u);
  // Characters count, not bytes.
  const std::string letters = std::string(48, 't') + "\xC3\xA9\xC3\xA9";
  EXPECT_EQ(ConstraintName(settings, false, {letters, "c", "p", "id"}), "FK_QMV_" + letters + "_c_p_id");
}

struct NameFormCase {
  TargetDialect dialect;
  std::string fk_table;  // as ALTER TABLE names it
  std::string fk_field;  // as the FOREIGN KEY clause names it
};

// The add script of `key` in each case's dialect names the table and the
// field in the case's forms, and holds no byte below 0x20 but CR and LF.
void ExpectNameForms(const ForeignKeyValues& key, const std::vector<NameFormCase>& cases) {
  for (const NameFormCase& test : cases) {
    Settings settings;
    settings.format = test.dialect;
    ForeignKeyScripts scripts;
    AppendConstraintScripts(settings, false, key, scripts);
    const std::string& script = scripts.add_constraint_script;
    EXPECT_NE(script.find("ALTER TABLE " + test.fk_table), std::string::npos) << script;
    EXPECT_NE(script.find(test.fk_field), std::string::npos) << script;
    EXPECT_TRUE(std::none_of(script.begin(), script.end(), IsCommandByte)) << script;
  }
}

TEST(ConstraintScriptsTest, ClosingQuotesInsideNamesAreDoubled) {
  ExpectNameForms({"od]d`s\"", "c]o`l\"", "pk", "id"},
                  {
                      {TargetDialect::MsSql, "[od]]d`s\"]", "([c]]o`l\"])"},
                      {TargetDialect::MySql, "`od]d``s\"`", "(`c]o``l\"`)"},
                      {TargetDialect::PostgreSql, "\"od]d`s\"\"\"", "(\"c]o`l\"\"\")"},
                      {TargetDialect::Oracle, "\"od]d`s\"\"\"", "(\"c]o`l\"\"\")"},
                      {TargetDialect::Pervasive, "\"od]d`s\"\"\"", "(\"c]o`l\"\"\")"},
                  });
}

// The names are written as the table writers write them: a line that the
// client reads as a command, and a command byte, become blanks.
TEST(ConstraintScriptsTest, NamesReadAsTheTableWritersWriteThem) {
  ExpectNameForms({"t\r\n/\r\nGO", "c\x01", "pk", "id"},
                  {
                      {TargetDialect::MsSql, "[t  /  GO]", "([c ])"},
                      {TargetDialect::Oracle, "\"t  /  GO\"", "(\"c \")"},
                      {TargetDialect::Pervasive, "\"t  /  GO\"", "(\"c \")"},
                      {TargetDialect::PostgreSql, "\"t\r\n/\r\ngo\"", "(\"c \")"},
                  });
}

TEST(ConstraintScriptsTest, EqualRowsGiveEqualNamesAndRowsAppendInOrder) {
  Settings settings;
  settings.format = TargetDialect::PostgreSql;
  ForeignKeyScripts scripts;
  AppendConstraintScripts(settings, false, {"a", "b_id", "b", "id"}, scripts);
  AppendConstraintScripts(settings, false, {"a", "b_id", "b", "id"}, scripts);
  AppendConstraintScripts(settings, false, {"a", "c_id", "c", "id"}, scripts);
  EXPECT_EQ(scripts.drop_constraint_script,
            "ALTER TABLE \"a\" DROP CONSTRAINT \"fk_qmv_a_b_id_b_id\";\r\n"
            "ALTER TABLE \"a\" DROP CONSTRAINT \"fk_qmv_a_b_id_b_id\";\r\n"
            "ALTER TABLE \"a\" DROP CONSTRAINT \"fk_qmv_a_c_id_c_id\";\r\n");
}

// Names that PostgreSQL's lower case makes equal: the statements name the
// tables and columns as the table writers write them, suffix and all.
TEST(ConstraintScriptsTest, NamesTheColumnsAndTablesTheWritersWrite) {
  Settings settings;
  settings.format = TargetDialect::PostgreSql;
  const ScriptTables run_tables{{"public.Case", "public.case"},
                                {"public.Case", "public.case", "public.case"},
                                {"id", "id", "ID"}};
  ForeignKeyScripts scripts;
  AppendConstraintScripts(settings, false, {"public.case", "ID", "public.Case", "id"}, scripts, run_tables);
  EXPECT_NE(scripts.add_constraint_script.find("ALTER TABLE \"case_2\" "), std::string::npos)
      << scripts.add_constraint_script;
  EXPECT_NE(scripts.add_constraint_script.find("FOREIGN KEY (\"id_2\") REFERENCES \"case\" (\"id\")"),
            std::string::npos)
      << scripts.add_constraint_script;
}

}  // namespace
}  // namespace quill
