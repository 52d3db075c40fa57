#include "foreignkeys/designer_rows.h"

#include <algorithm>

namespace quill {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
           return lower(x) == lower(y);
         });
}

bool IsIn(const std::vector<std::string>& list, const std::string& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

void ChoiceBox::Clear() {
  items.clear();
  item_index = -1;
  text.clear();
}

void ChoiceBox::Select(int index) {
  item_index = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
  if (item_index >= 0) text = items[item_index];
}

void ChoiceBox::SelectText(std::string_view wanted) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (EqualIgnoringCase(items[i], wanted)) {
      Select(static_cast<int>(i));
      return;
    }
  }
  item_index = -1;
}

void ChoiceBox::Type(const std::string& typed) {
  SelectText(typed);
  text = typed;
}

bool ChoiceBox::Contains(std::string_view wanted) const {
  return std::any_of(items.begin(), items.end(), [&](const std::string& item) { return EqualIgnoringCase(item, wanted); });
}

void OnForeignKeyTableChanged(ForeignKeyRow& row, const SourceTablesInfo& info) {
  const std::string fk_table = row.fk_table.SelectedText();

  row.fk_field.Clear();
  for (size_t k = 0; k < info.column_tables.size(); ++k) {
    if (info.column_tables[k] == fk_table && !IsIn(info.pk_columns, info.columns[k])) {
      row.fk_field.items.push_back(info.columns[k]);
    }
  }
  row.fk_field.enabled = !row.fk_field.items.empty();
  if (row.fk_field.enabled) row.fk_field.Select(0);

  // The key choice survives when its table is still offered.
  bool remembered = false;
  std::string remembered_table;
  std::string remembered_column;
  if (row.pk_table.HasSelection() && row.pk_table.SelectedText() != fk_table) {
    remembered = true;
    remembered_table = row.pk_table.SelectedText();
    remembered_column = row.pk_field.SelectedText();
  }

  row.pk_field.Clear();
  row.pk_table.Clear();
  for (size_t j = 0; j < info.pk_tables.size(); ++j) {
    const std::string& table = info.pk_tables[j];
    if (table == fk_table || row.pk_table.Contains(table)) continue;
    row.pk_table.items.push_back(table);
    if (!remembered) {
      remembered = true;
      remembered_table = table;
      remembered_column = info.pk_columns[j];
    }
    if (table == remembered_table) {
      for (size_t k = 0; k < info.pk_tables.size(); ++k) {
        if (info.pk_tables[k] == table) row.pk_field.items.push_back(info.pk_columns[k]);
      }
    }
  }

  if (!row.pk_table.items.empty()) {
    row.pk_table.enabled = true;
    row.pk_field.enabled = true;
    row.pk_table.SelectText(remembered_table);
    row.pk_field.SelectText(remembered_column);
    row.problem.clear();
    row.check_enabled = true;
  } else {
    // The only table with a key is the FK table itself: nothing to link to.
    row.pk_table.enabled = false;
    row.pk_field.enabled = false;
    row.check_enabled = false;
    row.checked = false;
  }
}

void OnPrimaryKeyTableChanged(ForeignKeyRow& row, const SourceTablesInfo& info) {
  const std::string pk_table = row.pk_table.SelectedText();
  row.pk_field.Clear();
  for (size_t k = 0; k < info.pk_tables.size(); ++k) {
    if (info.pk_tables[k] == pk_table) row.pk_field.items.push_back(info.pk_columns[k]);
  }
  row.pk_field.Select(0);
  row.pk_field.enabled = true;
  if (row.fk_table.HasSelection()) {
    row.check_enabled = true;
    row.problem.clear();
  }
}

}  // namespace quill
