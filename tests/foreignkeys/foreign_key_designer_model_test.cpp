#include "foreignkeys/foreign_key_designer_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "designer_test_support.h"
#include "fixtures/test_database.h"
#include "generator/generator_harness.h"
#include "platform/files/read_file.h"

namespace quill {
namespace {

using testing::GeneratorHarness;
using testing::ScriptedDesignerView;
using testing::TestDatabase;
using Strings = std::vector<std::string>;

// clients and orders have keys; notes has none, and its column id shares its
// name with their key columns.
void CreateTables(TestDatabase& db) {
  db.CreateTable({"clients", {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}}, {"id"}});
  db.CreateTable({"orders", {{"id", "INTEGER"}, {"client_id", "INTEGER"}, {"note", "VARCHAR(10)"}}, {"id"}});
  db.CreateTable({"notes", {{"id", "INTEGER"}, {"order_id", "INTEGER"}, {"text", "VARCHAR(10)"}}});
}

class DesignerModelTest : public ::testing::Test {
 protected:
  DesignerModelTest() : db_(TestDatabase::Sqlite()), model_(harness_.settings, view_, [this] { return now_; }) {
    CreateTables(db_);
    harness_.session.ConnectToSource(db_.Dsn());
    harness_.settings.format = TargetDialect::MySql;
  }

  void Load(const Strings& tables) {
    model_.Show(tables);
    model_.LoadSourceInfo(harness_.session.connection());
    view_.ClearMessages();
  }
  // A complete row: the FK table and field, the PK table by their texts.
  void AddRow(const std::string& fk_table, const std::string& fk_field, const std::string& pk_table) {
    model_.Add();
    const int row = model_.RowCount() - 1;
    model_.SelectFkTable(row, IndexOf(model_.rows()[row].fk_table, fk_table));
    model_.SelectFkField(row, IndexOf(model_.rows()[row].fk_field, fk_field));
    model_.SelectPkTable(row, IndexOf(model_.rows()[row].pk_table, pk_table));
  }
  static int IndexOf(const ChoiceBox& box, const std::string& text) {
    for (size_t i = 0; i < box.items.size(); ++i)
      if (box.items[i] == text) return static_cast<int>(i);
    ADD_FAILURE() << text << " is no item";
    return -1;
  }
  std::string PathOf(const std::string& name) const { return (harness_.program_folder / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(PathOf(name), std::ios::binary) << text;
  }

  GeneratorHarness harness_;
  TestDatabase db_;
  ScriptedDesignerView view_;
  DateTime now_ = testing::FixedNow();
  ForeignKeyDesignerModel model_;
};

TEST_F(DesignerModelTest, LoadingReadsKeysThenColumnsOfEveryChosenTable) {
  model_.Show({"clients", "orders", "notes"});
  EXPECT_FALSE(model_.add_enabled());
  EXPECT_FALSE(model_.leave_enabled());
  model_.LoadSourceInfo(harness_.session.connection());

  const SourceTablesInfo& info = model_.source_info();
  EXPECT_EQ(info.pk_tables, Strings({"clients", "orders"}));
  EXPECT_EQ(info.pk_columns, Strings({"id", "id"}));
  EXPECT_EQ(info.column_tables, Strings({"clients", "clients", "orders", "orders", "orders", "notes", "notes", "notes"}));
  EXPECT_EQ(info.columns, Strings({"id", "name", "id", "client_id", "note", "id", "order_id", "text"}));
  EXPECT_EQ(view_.statuses, Strings({"", "Loading sources info...", "Sources info retrieved."}));
  EXPECT_EQ(view_.progress_position, 6);
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_TRUE(model_.add_enabled());
  EXPECT_TRUE(model_.load_enabled());
  EXPECT_TRUE(model_.leave_enabled());
}

TEST_F(DesignerModelTest, WithoutAnyKeyTheColumnsAreNotReadAndRowsCannotBeAdded) {
  model_.Show({"notes"});
  model_.LoadSourceInfo(harness_.session.connection());
  EXPECT_EQ(view_.MessageTexts(), Strings({"No Primary key found in your table selection !"}));
  EXPECT_TRUE(model_.source_info().columns.empty());
  EXPECT_FALSE(model_.add_enabled());
  EXPECT_FALSE(model_.load_enabled());
  EXPECT_TRUE(model_.leave_enabled());
  model_.Add();
  EXPECT_EQ(model_.RowCount(), 0);
  view_.AnswerQuestion(MessageAnswer::Yes);  // Add counts as a change even so
  EXPECT_TRUE(model_.Continue());
  EXPECT_EQ(model_.AddConstraintScript(), "");
}

TEST_F(DesignerModelTest, AFailedLoadingIsShownAndContinueStillGivesEmptyScripts) {
  model_.Show({"clients", "orders"});
  Connection closed;
  model_.LoadSourceInfo(closed);
  ASSERT_EQ(view_.errors.size(), 1u);
  EXPECT_EQ(view_.MessageTexts(), Strings({"Error occured while getting sources info,"}));
  EXPECT_EQ(view_.statuses.back(), "Failed to get info.");
  EXPECT_FALSE(model_.add_enabled());
  EXPECT_FALSE(model_.load_enabled());
  EXPECT_TRUE(model_.Continue());
  EXPECT_EQ(model_.DropConstraintScript(), "");
}

TEST_F(DesignerModelTest, RowOffersFieldsAndKeyTablesAsItsTablesChange) {
  Load({"clients", "orders", "notes"});
  model_.Add();
  const ForeignKeyRow& row = model_.rows()[0];
  EXPECT_TRUE(row.checked);
  EXPECT_EQ(model_.SelectedCount(), 1);
  EXPECT_EQ(row.fk_table.items, Strings({"clients", "orders", "notes"}));
  EXPECT_FALSE(row.fk_field.enabled);

  // No column named like a key column of any chosen table is offered.
  model_.SelectFkTable(0, 2);
  EXPECT_EQ(row.fk_field.items, Strings({"order_id", "text"}));
  EXPECT_EQ(row.fk_field.SelectedText(), "order_id");
  EXPECT_EQ(row.pk_table.items, Strings({"clients", "orders"}));
  EXPECT_EQ(row.Values(), (ForeignKeyValues{"notes", "order_id", "clients", "id"}));

  // An earlier key choice stays while its table is still offered...
  model_.SelectPkTable(0, 1);
  model_.SelectFkTable(0, 0);
  EXPECT_EQ(row.fk_field.items, Strings({"name"}));
  EXPECT_EQ(row.pk_table.items, Strings({"orders"}));
  EXPECT_EQ(row.Values(), (ForeignKeyValues{"clients", "name", "orders", "id"}));
  // ...and gives way to the first other table when it becomes the FK table.
  model_.SelectFkTable(0, 1);
  EXPECT_EQ(row.Values(), (ForeignKeyValues{"orders", "client_id", "clients", "id"}));

  // A typed text that is no table: no fields, every table with a key offered.
  model_.TypeFkTable(0, "order");
  EXPECT_FALSE(row.fk_table.HasSelection());
  EXPECT_TRUE(row.fk_field.items.empty());
  EXPECT_FALSE(row.fk_field.enabled);
  EXPECT_EQ(row.pk_table.items, Strings({"clients", "orders"}));
  EXPECT_TRUE(row.check_enabled);
  // Typing a table's name in another case picks it.
  model_.TypeFkTable(0, "NOTES");
  EXPECT_EQ(row.fk_table.SelectedText(), "notes");
}

TEST_F(DesignerModelTest, TheOnlyKeyedTableCannotReferenceItself) {
  Load({"clients", "notes"});
  model_.Add();
  model_.SelectFkTable(0, 0);
  const ForeignKeyRow& row = model_.rows()[0];
  EXPECT_TRUE(row.pk_table.items.empty());
  EXPECT_FALSE(row.pk_table.enabled);
  EXPECT_FALSE(row.check_enabled);
  EXPECT_FALSE(row.checked);
  EXPECT_EQ(model_.SelectedCount(), 0);
}

TEST_F(DesignerModelTest, AddNeedsACompleteLastRowAndDeletingTheOnlyRowForgetsTheChanges) {
  Load({"clients", "orders", "notes"});
  model_.Add();
  model_.Add();
  EXPECT_EQ(view_.MessageTexts(), Strings({"Last Foreign key not set correctly"}));
  EXPECT_EQ(model_.RowCount(), 1);
  EXPECT_FALSE(model_.caution_visible());

  model_.DeleteLast();
  EXPECT_EQ(model_.RowCount(), 0);
  EXPECT_EQ(model_.SelectedCount(), 0);
  EXPECT_FALSE(model_.UnsavedChanges());
  EXPECT_TRUE(model_.caution_visible());
  EXPECT_TRUE(model_.Continue());  // asks nothing

  model_.DeleteLast();
  EXPECT_EQ(view_.messages.back().text, "No foreign key to delete !");
  EXPECT_EQ(view_.messages.back().icon, MessageIcon::Information);
}

TEST_F(DesignerModelTest, AnalyseReportsDuplicatesAmongTheSelectedRows) {
  Load({"clients", "orders", "notes"});
  model_.Analyse();
  AddRow("notes", "order_id", "orders");
  model_.Analyse();
  AddRow("orders", "client_id", "clients");
  model_.Analyse();
  AddRow("orders", "client_id", "clients");
  model_.Analyse();
  EXPECT_EQ(view_.MessageTexts(), Strings({"No Foreign key selected.", "No problems found.",
                                           "No duplicate Foreign keys found.", "No problems found.",
                                           "1 duplicate(s) Foreign key(s) found."}));
  EXPECT_EQ(view_.messages.back().icon, MessageIcon::Warning);

  // An unselected row does not count.
  model_.SetChecked(2, false);
  view_.ClearMessages();
  model_.Analyse();
  EXPECT_EQ(view_.MessageTexts(), Strings({"No duplicate Foreign keys found.", "No problems found."}));
}

TEST_F(DesignerModelTest, ContinueAsksAboutUnsavedRowsAndScriptsTheSelectedOnes) {
  Load({"clients", "orders", "notes"});
  AddRow("notes", "order_id", "orders");
  AddRow("orders", "client_id", "clients");
  model_.SetChecked(1, false);

  view_.AnswerQuestion(MessageAnswer::No);
  EXPECT_FALSE(model_.Continue());
  EXPECT_EQ(model_.RowCount(), 2);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, "Continue without saving Foreign key set first ? (not recomended)");
  EXPECT_TRUE(view_.messages[0].default_is_no);

  view_.AnswerQuestion(MessageAnswer::Yes);
  EXPECT_TRUE(model_.Continue());
  EXPECT_EQ(model_.RowCount(), 0);
  EXPECT_EQ(model_.AddConstraintScript(),
            "ALTER TABLE `notes` ADD CONSTRAINT `FK_QMV_notes_order_id_orders_id` FOREIGN KEY (`order_id`) "
            "REFERENCES `orders`(`id`);\r\n");
  EXPECT_EQ(model_.DropConstraintScript(), "ALTER TABLE `notes` DROP FOREIGN KEY `FK_QMV_notes_order_id_orders_id`;\r\n");

  ForeignKeyScripts scripts;
  model_.drop_existing = false;
  model_.TakeScripts(scripts);
  EXPECT_FALSE(scripts.drop_existing);
  EXPECT_FALSE(scripts.add_constraint_script.empty());
  EXPECT_EQ(model_.AddConstraintScript(), "");
}

TEST_F(DesignerModelTest, ContinueRefusesWithoutSelectionOrWithAnIncompleteSelectedRow) {
  Load({"clients", "orders", "notes"});
  model_.Add();
  EXPECT_FALSE(model_.Continue());
  model_.SetChecked(0, false);
  EXPECT_FALSE(model_.Continue());
  EXPECT_EQ(view_.MessageTexts(),
            Strings({"There's a selected Foreign key not set correctly", "No Foreign key selected."}));
}

TEST_F(DesignerModelTest, SavedSetLoadsBackWithItsSelectionsAndFirstStamps) {
  Load({"clients", "orders", "notes"});
  AddRow("notes", "order_id", "orders");
  AddRow("orders", "client_id", "clients");
  model_.SetChecked(1, false);
  const std::string path = PathOf("keys.fks");
  view_.AnswerSaveFile(path);
  model_.SaveAll();
  EXPECT_EQ(view_.suggested_names, Strings({"ForeignKeySet.fks"}));
  EXPECT_FALSE(model_.UnsavedChanges());
  EXPECT_EQ(ReadWholeFile(path).value_or(""),
            "//Foreign Key Set File created on 2026-03-04 05:06:07\r\n"
            "//From source : My Source\r\n"
            "notes;order_id;orders;id;1;2026-03-04-05:06:07;\r\n"
            "orders;client_id;clients;id;0;2026-03-04-05:06:07;\r\n");
  EXPECT_EQ(model_.rows()[0].saved_on, "Saved on :");

  // A second save keeps the rows' first stamps; Save Selected writes only
  // the selected row.
  now_.day = 5;
  AddRow("notes", "order_id", "clients");
  view_.AnswerSaveFile(path);
  model_.SaveSelected();
  EXPECT_EQ(ReadWholeFile(path).value_or(""),
            "//Foreign Key Set File created on 2026-03-05 05:06:07\r\n"
            "//From source : My Source\r\n"
            "notes;order_id;orders;id;1;2026-03-04-05:06:07;\r\n"
            "notes;order_id;clients;id;1;2026-03-05-05:06:07;\r\n");

  view_.AnswerSaveFile(PathOf("all.fks"));
  model_.SaveAll();
  view_.AnswerOpenFile(PathOf("all.fks"));
  model_.Load();
  ASSERT_EQ(model_.RowCount(), 3);
  EXPECT_EQ(view_.messages.back().text, "3/3 Foreign Key(s) loaded.");
  EXPECT_FALSE(model_.UnsavedChanges());
  EXPECT_EQ(model_.SelectedCount(), 2);
  const ForeignKeyRow& unchecked = model_.rows()[1];
  EXPECT_FALSE(unchecked.checked);
  EXPECT_TRUE(unchecked.check_enabled);
  EXPECT_EQ(unchecked.Values(), (ForeignKeyValues{"orders", "client_id", "clients", "id"}));
  EXPECT_EQ(unchecked.stamp, "2026-03-04-05:06:07");
  EXPECT_EQ(unchecked.saved_on, "Saved on :");
  EXPECT_EQ(unchecked.pk_table.items, Strings({"clients"}));
  EXPECT_EQ(model_.rows()[2].stamp, "2026-03-05-05:06:07");
}

TEST_F(DesignerModelTest, NamesMissingFromTheSourceGiveBrokenRowsWithTheirMessage) {
  Load({"clients", "orders", "notes"});
  WriteFile("broken.fks",
            "//Foreign Key Set File created on x\r\n"
            "orders;client_id;orders;id;1;s1;\r\n"   // a table cannot reference itself
            "gone;x;clients;id;1;s2;\r\n"
            "orders;nope;clients;none;1;s3;\r\n"
            "orders;id;clients;id;1;s4;\r\n"         // its own key column as FK column
            "too;short\r\n");
  view_.AnswerOpenFile(PathOf("broken.fks"));
  model_.Load();
  ASSERT_EQ(model_.RowCount(), 4);
  EXPECT_EQ(view_.MessageTexts(), Strings({"1/4 Foreign Key(s) loaded."}));
  EXPECT_TRUE(model_.UnsavedChanges());
  EXPECT_FALSE(model_.caution_visible());

  const struct {
    std::string problem;
    bool check_enabled;
  } expected[] = {
      {"PK Table orders not found.", false},
      {"FK Table gone not found.  ", false},
      {"FK Field nope not found.  PK Field none not found.", false},
      {"", true},
  };
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(model_.rows()[i].problem, expected[i].problem) << i;
    EXPECT_EQ(model_.rows()[i].check_enabled, expected[i].check_enabled) << i;
    EXPECT_EQ(model_.rows()[i].stamp, "s" + std::to_string(i + 1));
  }
  EXPECT_EQ(model_.rows()[0].fk_table.SelectedText(), "orders");
  EXPECT_FALSE(model_.rows()[0].pk_table.HasSelection());
  EXPECT_EQ(model_.rows()[0].pk_table.items, Strings({"clients"}));
  // The good row's key column is not offered, so the row is not complete.
  const ForeignKeyRow& good = model_.rows()[3];
  EXPECT_TRUE(good.checked);
  EXPECT_EQ(good.fk_field.items, Strings({"client_id", "note"}));
  EXPECT_FALSE(good.fk_field.HasSelection());
  view_.ClearMessages();
  EXPECT_FALSE(model_.Continue());
  EXPECT_EQ(view_.MessageTexts(), Strings({"There's a selected Foreign key not set correctly"}));

  // Broken rows are never saved; Save All asks first.
  view_.AnswerQuestion(MessageAnswer::No);
  model_.SaveAll();
  EXPECT_EQ(view_.messages.back().text, "Broken Foreign key(s) cannot be saved, continue anyway ?");
  EXPECT_TRUE(view_.suggested_names.empty());
  view_.AnswerQuestion(MessageAnswer::Yes);
  view_.AnswerSaveFile(PathOf("good.fks"));
  model_.SaveAll();
  const std::string saved = ReadWholeFile(PathOf("good.fks")).value_or("");
  EXPECT_NE(saved.find("\r\norders;;clients;id;1;s4;\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("gone"), std::string::npos);
}

TEST_F(DesignerModelTest, SelectAllOverBrokenRowsOnlyAndFilesWithoutRows) {
  Load({"clients", "orders", "notes"});
  AddRow("notes", "order_id", "orders");
  WriteFile("empty.fks", "");
  view_.AnswerOpenFile(PathOf("empty.fks"));
  model_.Load();
  EXPECT_EQ(view_.MessageTexts(), Strings({"No Foreign Key set found in fks file !"}));
  EXPECT_EQ(model_.RowCount(), 1);

  WriteFile("broken.fks", "gone;x;clients;id;1;s;\r\n");
  view_.AnswerOpenFile(PathOf("broken.fks"));
  model_.Load();
  view_.ClearMessages();
  model_.SelectAll();
  EXPECT_EQ(view_.MessageTexts(), Strings({"No foreign key to select !"}));
  model_.SaveSelected();
  EXPECT_EQ(view_.MessageTexts().back(), "No Foreign key selected.");
  model_.SaveAll();
  EXPECT_EQ(view_.MessageTexts().back(), "No foreign key to save !");

  WriteFile("header.fks", "//Foreign Key Set File created on x\r\n//From source : y\r\n");
  view_.AnswerOpenFile(PathOf("header.fks"));
  model_.Load();
  EXPECT_EQ(model_.RowCount(), 0);
  EXPECT_EQ(view_.MessageTexts().back(), "0/0 Foreign Key(s) loaded.");
}

TEST_F(DesignerModelTest, ACancelledSaveStillCountsAsSavedAndAWindows1252FileLoads) {
  Load({"clients", "orders", "notes"});
  AddRow("notes", "order_id", "orders");
  model_.SaveSelected();  // the chooser is cancelled
  EXPECT_EQ(view_.suggested_names.size(), 1u);
  EXPECT_FALSE(model_.UnsavedChanges());
  EXPECT_TRUE(model_.Continue());  // asks nothing

  Load({"clients", "orders", "notes"});
  WriteFile("latin.fks", "notes;order_id;orders;id;1;\xe9t\xe9;\r\n");
  view_.AnswerOpenFile(PathOf("latin.fks"));
  model_.Load();
  ASSERT_EQ(model_.RowCount(), 1);
  EXPECT_EQ(model_.rows()[0].stamp, "\xc3\xa9t\xc3\xa9");
}

}  // namespace
}  // namespace quill
