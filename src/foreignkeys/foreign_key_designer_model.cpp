#include "foreignkeys/foreign_key_designer_model.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "foreignkeys/foreign_key_set_file.h"
#include "generator/table_names.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_settings.h"

namespace quill {
namespace {

// The file choosers may change the process's current folder, which the
// welcome pages and the help file are named against: it is put back.
class CurrentFolderKeeper {
 public:
  CurrentFolderKeeper() { folder_ = std::filesystem::current_path(error_); }
  ~CurrentFolderKeeper() {
    if (!error_) std::filesystem::current_path(folder_, error_);
  }

 private:
  std::filesystem::path folder_;
  std::error_code error_;
};

std::string DateAndTime(const DateTime& now, const char* between) {
  const FormatSettings& formats = GlobalFormatSettings();
  return FormatDateTime(formats.short_date_format, now) + between + FormatDateTime(formats.long_time_format, now);
}

void AppendColumnNames(Connection& connection, SchemaKind kind, const std::string& listed_table,
                       std::vector<std::string>& tables, std::vector<std::string>& columns) {
  std::unique_ptr<Dataset> rowset = connection.OpenSchema(kind, ListedTableRestrictions(listed_table));
  Field* column_name = rowset->FindField("COLUMN_NAME");
  if (column_name == nullptr) throw DataAccessError("Field 'COLUMN_NAME' not found");
  for (; !rowset->Eof(); rowset->Next()) {
    tables.push_back(listed_table);
    columns.push_back(column_name->AsString());
  }
}

}  // namespace

ForeignKeyDesignerModel::ForeignKeyDesignerModel(const Settings& settings, DesignerView& view, Clock clock)
    : settings_(settings), view_(view), clock_(std::move(clock)) {}

void ForeignKeyDesignerModel::Warn(const std::string& text) {
  view_.ShowMessageBox(text, MessageIcon::Warning, MessageButtons::Ok);
}

void ForeignKeyDesignerModel::Inform(const std::string& text) {
  view_.ShowMessageBox(text, MessageIcon::Information, MessageButtons::Ok);
}

void ForeignKeyDesignerModel::Show(std::vector<std::string> chosen_tables) {
  chosen_tables_ = std::move(chosen_tables);
  add_enabled_ = false;
  load_enabled_ = false;
  leave_enabled_ = false;
  caution_visible_ = true;
  view_.ShowLoadingProgress(0, 2 * static_cast<int>(chosen_tables_.size()));
  view_.ShowLoadingStatus("");
}

void ForeignKeyDesignerModel::LoadSourceInfo(Connection& connection) {
  rows_.clear();
  unsaved_changes_ = false;
  selected_count_ = 0;
  view_.ShowLoadingStatus(messages_.msg_load_src_info);

  info_ = SourceTablesInfo{};
  const int maximum = 2 * static_cast<int>(chosen_tables_.size());
  int position = 0;
  view_.ShowLoadingProgress(position, maximum);
  bool failed = false;
  try {
    for (const std::string& table : chosen_tables_) {
      AppendColumnNames(connection, SchemaKind::PrimaryKeys, table, info_.pk_tables, info_.pk_columns);
      view_.ShowLoadingProgress(++position, maximum);
    }
    if (!info_.pk_tables.empty()) {
      for (const std::string& table : chosen_tables_) {
        AppendColumnNames(connection, SchemaKind::Columns, table, info_.column_tables, info_.columns);
        view_.ShowLoadingProgress(++position, maximum);
      }
    }
  } catch (const std::exception& error) {
    view_.ShowErrorDialog(error.what());
    Warn(messages_.msg_err_load_src_info);
    failed = true;
  }

  view_.ShowLoadingProgress(maximum, maximum);
  if (failed) {
    view_.ShowLoadingStatus(messages_.msg_fail_get_info);
  } else {
    view_.ShowLoadingStatus(messages_.msg_info_retr);
    if (info_.pk_tables.empty()) {
      Warn(messages_.msg_no_prim_found);
    } else {
      add_enabled_ = true;
      load_enabled_ = true;
    }
  }
  leave_enabled_ = true;
}

ForeignKeyRow& ForeignKeyDesignerModel::NewRow() {
  rows_.emplace_back();
  ForeignKeyRow& row = rows_.back();
  row.fk_table.items = chosen_tables_;
  return row;
}

void ForeignKeyDesignerModel::ClearRows() { rows_.clear(); }

void ForeignKeyDesignerModel::Add() {
  if (!rows_.empty() && !rows_.back().IsSet()) {
    Warn(messages_.msg_last_not_corr);
    return;
  }
  unsaved_changes_ = true;
  if (info_.pk_tables.empty()) {
    Warn(messages_.msg_no_prim_found);
    return;
  }
  NewRow();
  SetChecked(RowCount() - 1, true);
  caution_visible_ = false;
}

void ForeignKeyDesignerModel::DeleteLast() {
  if (rows_.empty()) {
    Inform(messages_.msg_no_fk_to_del);
    unsaved_changes_ = false;
    return;
  }
  if (rows_.back().checked) --selected_count_;
  rows_.pop_back();
  unsaved_changes_ = true;
  if (rows_.empty()) {
    caution_visible_ = true;
    unsaved_changes_ = false;
    selected_count_ = 0;
  }
}

void ForeignKeyDesignerModel::SelectAll() {
  if (rows_.empty()) {
    Warn(messages_.msg_no_fk_to_sel);
    return;
  }
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].check_enabled) SetChecked(i, true);
  }
  if (selected_count_ == 0) Warn(messages_.msg_no_fk_to_sel);
}

void ForeignKeyDesignerModel::DeselectAll() {
  if (rows_.empty()) {
    Warn(messages_.msg_no_fk_to_des);
    return;
  }
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].check_enabled) SetChecked(i, false);
  }
  selected_count_ = 0;
}

bool ForeignKeyDesignerModel::AnySelectedRowNotSet() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const ForeignKeyRow& row) { return row.checked && !row.IsSet(); });
}

void ForeignKeyDesignerModel::Analyse() {
  if (selected_count_ < 1) {
    Warn(messages_.msg_no_fk_sel);
    return;
  }
  if (AnySelectedRowNotSet()) {
    Warn(messages_.msg_sel_fk_not_set);
    return;
  }
  int duplicates = 0;
  if (selected_count_ > 1) {
    std::set<std::string> keys;
    for (const ForeignKeyRow& row : rows_) {
      if (!row.checked) continue;
      const ForeignKeyValues values = row.Values();
      const std::string key = values.fk_table + ";" + values.fk_field + ";" + values.pk_table + ";" + values.pk_field;
      if (!keys.insert(key).second) ++duplicates;
    }
    if (duplicates > 0) {
      Warn(std::to_string(duplicates) + messages_.msg_amt_fk_dupl);
    } else {
      Inform(messages_.msg_no_dupl_found);
    }
  }
  if (duplicates == 0) Inform(messages_.msg_no_probl_found);
}

void ForeignKeyDesignerModel::CancelAll() { ClearRows(); }

bool ForeignKeyDesignerModel::Continue() {
  if (!rows_.empty()) {
    if (selected_count_ < 1) {
      Warn(messages_.msg_no_fk_sel);
      return false;
    }
    if (AnySelectedRowNotSet()) {
      Warn(messages_.msg_sel_fk_not_set);
      return false;
    }
  }
  if (unsaved_changes_ && view_.ShowMessageBox(messages_.msg_no_sav_cont_anyway, MessageIcon::Question,
                                               MessageButtons::YesNo, /*default_is_no=*/true) != MessageAnswer::Yes) {
    return false;
  }
  ForeignKeyScripts scripts;
  const ScriptTables run_tables{chosen_tables_, info_.column_tables, info_.columns};
  for (const ForeignKeyRow& row : rows_) {
    if (row.checked) AppendConstraintScripts(settings_, encrypt, row.Values(), scripts, run_tables);
  }
  add_constraint_script_ = std::move(scripts.add_constraint_script);
  drop_constraint_script_ = std::move(scripts.drop_constraint_script);
  ClearRows();
  unsaved_changes_ = false;
  return true;
}

void ForeignKeyDesignerModel::TakeScripts(ForeignKeyScripts& scripts) {
  scripts.add_constraint_script = std::move(add_constraint_script_);
  scripts.drop_constraint_script = std::move(drop_constraint_script_);
  scripts.drop_existing = drop_existing;
  add_constraint_script_.clear();
  drop_constraint_script_.clear();
}

void ForeignKeyDesignerModel::WriteRows(bool only_selected) {
  std::string path;
  {
    CurrentFolderKeeper keeper;
    path = view_.ChooseSaveFile(kForeignKeySetFileName);
  }
  if (!path.empty()) {
    const DateTime now = clock_();
    const std::string stamp = DateAndTime(now, "-");
    std::vector<ForeignKeySetRow> saved;
    std::vector<ForeignKeyRow*> newly_stamped;
    for (ForeignKeyRow& row : rows_) {
      if (!row.check_enabled || (only_selected && !row.checked)) continue;
      saved.push_back({row.Values(), row.checked, row.stamp.empty() ? stamp : row.stamp});
      if (row.stamp.empty()) newly_stamped.push_back(&row);
    }
    WriteForeignKeySetFile(path, ForeignKeySetText(DateAndTime(now, " "), view_.SelectedNodeCaption(), saved));
    // A row is stamped once it has really been written.
    for (ForeignKeyRow* row : newly_stamped) {
      row->saved_on = kSavedOnText;
      row->stamp = stamp;
    }
  }
  unsaved_changes_ = false;
}

void ForeignKeyDesignerModel::SaveSelected() {
  if (rows_.empty()) {
    Warn(messages_.msg_no_fk_to_save);
    return;
  }
  if (selected_count_ == 0) {
    Warn(messages_.msg_no_fk_sel);
    return;
  }
  WriteRows(/*only_selected=*/true);
}

void ForeignKeyDesignerModel::SaveAll() {
  const bool any_enabled =
      std::any_of(rows_.begin(), rows_.end(), [](const ForeignKeyRow& row) { return row.check_enabled; });
  if (!any_enabled) {
    Warn(messages_.msg_no_fk_to_save);
    return;
  }
  const bool any_broken =
      std::any_of(rows_.begin(), rows_.end(), [](const ForeignKeyRow& row) { return !row.check_enabled; });
  if (any_broken && view_.ShowMessageBox(messages_.msg_brok_cont_anyway, MessageIcon::Warning, MessageButtons::YesNo,
                                         /*default_is_no=*/true) != MessageAnswer::Yes) {
    return;
  }
  WriteRows(/*only_selected=*/false);
}

bool ForeignKeyDesignerModel::IsKeyColumnOf(const std::string& table, const std::string& column) const {
  for (size_t k = 0; k < info_.pk_tables.size(); ++k) {
    if (info_.pk_tables[k] == table && info_.pk_columns[k] == column) return true;
  }
  return false;
}

void ForeignKeyDesignerModel::Load() {
  if (info_.pk_tables.empty()) {
    Warn(messages_.msg_no_prim_found);
    return;
  }
  std::string path;
  {
    CurrentFolderKeeper keeper;
    path = view_.ChooseOpenFile();
  }
  if (path.empty()) return;
  const std::vector<std::string> lines = ReadForeignKeySetLines(path);
  if (lines.empty()) {
    Warn(kNoForeignKeySetInFile);
    return;
  }

  caution_visible_ = false;
  ClearRows();
  selected_count_ = 0;
  int broken_count = 0;
  for (const std::string& line : lines) LoadRow(line, broken_count);

  unsaved_changes_ = broken_count > 0;
  Inform(std::to_string(RowCount() - broken_count) + "/" + std::to_string(RowCount()) + messages_.msg_amnt_fk_loaded);
}

void ForeignKeyDesignerModel::LoadRow(const std::string& line, int& broken_count) {
  ForeignKeySetRow saved;
  if (!ParseForeignKeySetLine(line, saved)) return;
  const ForeignKeyValues& key = saved.key;

  // The key side: every other table with a key is offered.
  std::vector<std::string> pk_tables;
  std::vector<std::string> pk_columns;
  bool pk_table_found = false;
  bool pk_field_found = false;
  for (size_t j = 0; j < info_.pk_tables.size(); ++j) {
    const std::string& table = info_.pk_tables[j];
    if (table == key.fk_table) continue;
    if (std::find(pk_tables.begin(), pk_tables.end(), table) == pk_tables.end()) pk_tables.push_back(table);
    if (table == key.pk_table) {
      pk_table_found = true;
      pk_columns.push_back(info_.pk_columns[j]);
      if (info_.pk_columns[j] == key.pk_field) pk_field_found = true;
    }
  }

  // The referencing side: the table must be among the chosen ones.
  std::vector<std::string> fk_columns;
  const bool fk_table_found =
      std::find(chosen_tables_.begin(), chosen_tables_.end(), key.fk_table) != chosen_tables_.end();
  bool fk_field_found = false;
  if (fk_table_found) {
    for (size_t k = 0; k < info_.column_tables.size(); ++k) {
      if (info_.column_tables[k] != key.fk_table) continue;
      const std::string& column = info_.columns[k];
      if (!IsKeyColumnOf(key.fk_table, column)) fk_columns.push_back(column);
      if (column == key.fk_field) fk_field_found = true;
    }
  }

  ForeignKeyRow& row = NewRow();
  const int index = RowCount() - 1;
  row.saved_on = kSavedOnText;
  row.stamp = saved.stamp;
  if (fk_table_found && fk_field_found && pk_table_found && pk_field_found) {
    if (saved.selected) SetChecked(index, true);
  } else {
    row.checked = false;
    row.check_enabled = false;
    ++broken_count;
  }

  std::string message;
  if (fk_field_found) {
    row.fk_field.items = fk_columns;
    row.fk_field.enabled = true;
    row.fk_field.SelectText(key.fk_field);
    row.fk_table.SelectText(key.fk_table);
  } else if (!fk_table_found) {
    message = "FK Table " + key.fk_table + " not found.  ";
  } else {
    message = "FK Field " + key.fk_field + " not found.  ";
  }
  row.pk_table.items = pk_tables;
  row.pk_table.enabled = true;
  if (pk_field_found) {
    row.pk_field.items = pk_columns;
    row.pk_field.enabled = true;
    row.pk_field.SelectText(key.pk_field);
    row.pk_table.SelectText(key.pk_table);
  } else if (!pk_table_found) {
    message += "PK Table " + key.pk_table + " not found.";
  } else {
    message += "PK Field " + key.pk_field + " not found.";
  }
  row.problem = message;
}

void ForeignKeyDesignerModel::AfterCheckChange(ForeignKeyRow& row, bool was_checked) {
  if (was_checked && !row.checked) --selected_count_;
  if (!was_checked && row.checked) ++selected_count_;
}

void ForeignKeyDesignerModel::SetChecked(int row, bool checked) {
  ForeignKeyRow& target = rows_.at(row);
  const bool was_checked = target.checked;
  target.checked = checked;
  AfterCheckChange(target, was_checked);
}

void ForeignKeyDesignerModel::SelectFkTable(int row, int item_index) {
  ForeignKeyRow& target = rows_.at(row);
  const bool was_checked = target.checked;
  target.fk_table.Select(item_index);
  OnForeignKeyTableChanged(target, info_);
  AfterCheckChange(target, was_checked);
}

void ForeignKeyDesignerModel::TypeFkTable(int row, const std::string& text) {
  ForeignKeyRow& target = rows_.at(row);
  const bool was_checked = target.checked;
  target.fk_table.Type(text);
  OnForeignKeyTableChanged(target, info_);
  AfterCheckChange(target, was_checked);
}

void ForeignKeyDesignerModel::SelectFkField(int row, int item_index) { rows_.at(row).fk_field.Select(item_index); }

void ForeignKeyDesignerModel::SelectPkTable(int row, int item_index) {
  ForeignKeyRow& target = rows_.at(row);
  target.pk_table.Select(item_index);
  OnPrimaryKeyTableChanged(target, info_);
}

void ForeignKeyDesignerModel::TypePkTable(int row, const std::string& text) {
  ForeignKeyRow& target = rows_.at(row);
  target.pk_table.Type(text);
  OnPrimaryKeyTableChanged(target, info_);
}

void ForeignKeyDesignerModel::SelectPkField(int row, int item_index) { rows_.at(row).pk_field.Select(item_index); }

}  // namespace quill
