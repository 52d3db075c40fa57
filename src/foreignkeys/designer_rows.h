#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foreignkeys/constraint_scripts.h"

namespace quill {

// One drop-down box with an edit field: its items, the selected item (-1 when
// none) and the text shown in its edit field.
struct ChoiceBox {
  std::vector<std::string> items;
  int item_index = -1;
  std::string text;
  bool enabled = true;

  bool HasSelection() const { return item_index >= 0 && item_index < static_cast<int>(items.size()); }
  // The selected item's text; empty when none is selected.
  std::string SelectedText() const { return HasSelection() ? items[item_index] : std::string(); }
  void Clear();
  void Select(int index);
  // Selects the first item whose whole text equals text when case is ignored;
  // no selection when there is none.
  void SelectText(std::string_view wanted);
  // The user typed into the edit field: the item of that text is selected.
  void Type(const std::string& typed);
  bool Contains(std::string_view wanted) const;  // ignoring case
};

inline constexpr const char* kSelectTableText = "-- Select Table --";
inline constexpr const char* kSelectFieldText = "-- Select Field --";
inline constexpr const char* kSavedOnText = "Saved on :";

// One foreign key of the designer: a column of one table that must link to a
// key column of another table.
struct ForeignKeyRow {
  ChoiceBox fk_table{.items = {}, .item_index = -1, .text = kSelectTableText, .enabled = true};    // ComboBox1
  ChoiceBox fk_field{.items = {}, .item_index = -1, .text = kSelectFieldText, .enabled = false};   // ComboBox2
  ChoiceBox pk_table{.items = {}, .item_index = -1, .text = kSelectTableText, .enabled = false};   // ComboBox3
  ChoiceBox pk_field{.items = {}, .item_index = -1, .text = kSelectFieldText, .enabled = false};   // ComboBox4
  bool checked = false;        // CheckBox1: the row is selected
  bool check_enabled = true;   // disabled: a broken row
  std::string saved_on;        // Label2
  std::string stamp;           // Label3: when the row was first saved
  std::string problem;         // Label1, red

  // All four boxes have a selected item.
  bool IsSet() const {
    return fk_table.HasSelection() && fk_field.HasSelection() && pk_table.HasSelection() && pk_field.HasSelection();
  }
  ForeignKeyValues Values() const {
    return {fk_table.SelectedText(), fk_field.SelectedText(), pk_table.SelectedText(), pk_field.SelectedText()};
  }
};

// What the designer knows of the chosen tables: one entry per primary-key
// column and one per column, each with the table as listed.
struct SourceTablesInfo {
  std::vector<std::string> pk_tables;      // PkTableList
  std::vector<std::string> pk_columns;     // PkColumnList
  std::vector<std::string> column_tables;  // ColumnTableList
  std::vector<std::string> columns;        // ColumnList
};

// The row's handlers.
// The FK table changed: offers its columns (less every key column name) and
// the other tables with a key, keeping the earlier key choice where it can.
void OnForeignKeyTableChanged(ForeignKeyRow& row, const SourceTablesInfo& info);
// The PK table changed: offers its key columns, the first one selected.
void OnPrimaryKeyTableChanged(ForeignKeyRow& row, const SourceTablesInfo& info);

}  // namespace quill
