#pragma once

#include <string>
#include <vector>

#include "common/clock.h"
#include "common/foreign_key_scripts.h"
#include "common/user_interface.h"
#include "foreignkeys/designer_rows.h"
#include "platform/connection/connection.h"
#include "sources/settings.h"

namespace quill {

// The designer's texts, English by default; a language file replaces them.
struct DesignerMessages {
  std::string msg_last_not_corr = "Last Foreign key not set correctly";
  std::string msg_no_prim_found = "No Primary key found in your table selection !";
  std::string msg_no_fk_sel = "No Foreign key selected.";
  std::string msg_sel_fk_not_set = "There's a selected Foreign key not set correctly";
  std::string msg_no_sav_cont_anyway = "Continue without saving Foreign key set first ? (not recomended)";
  std::string msg_no_fk_to_save = "No foreign key to save !";
  std::string msg_amnt_fk_loaded = " Foreign Key(s) loaded.";
  std::string msg_no_fk_to_sel = "No foreign key to select !";
  std::string msg_no_fk_to_des = "No foreign key to deselect !";
  std::string msg_brok_cont_anyway = "Broken Foreign key(s) cannot be saved, continue anyway ?";
  std::string msg_amt_fk_dupl = " duplicate(s) Foreign key(s) found.";
  std::string msg_no_dupl_found = "No duplicate Foreign keys found.";
  std::string msg_no_probl_found = "No problems found.";
  std::string msg_load_src_info = "Loading sources info...";
  std::string msg_err_load_src_info = "Error occured while getting sources info,";
  std::string msg_fail_get_info = "Failed to get info.";
  std::string msg_info_retr = "Sources info retrieved.";
  std::string msg_no_fk_to_del = "No foreign key to delete !";
};

inline constexpr const char* kNoForeignKeySetInFile = "No Foreign Key set found in fks file !";

// What the designer asks of its window: messages titled "Quillmarsh", the
// loading's status text and progress (repainted at once), the file choosers
// and the caption of the source tree's selected node.
class DesignerView {
 public:
  virtual ~DesignerView() = default;
  virtual MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                       bool default_is_no = false) = 0;
  virtual void ShowErrorDialog(const std::string& text) = 0;
  virtual void ShowLoadingStatus(const std::string& text) = 0;
  virtual void ShowLoadingProgress(int position, int maximum) = 0;
  // Empty when the user cancels.
  virtual std::string ChooseSaveFile(const std::string& suggested_name) = 0;
  virtual std::string ChooseOpenFile() = 0;
  virtual std::string SelectedNodeCaption() const = 0;
};

// The foreign-key designer below its window: the rows, the counters, the
// source's keys and columns, every command's checks and messages, the .fks
// files and the constraint scripts. The window shows this state and forwards
// the user's actions.
class ForeignKeyDesignerModel {
 public:
  ForeignKeyDesignerModel(const Settings& settings, DesignerView& view, Clock clock);

  // Showing: the commands that need the source's info wait for the loading.
  void Show(std::vector<std::string> chosen_tables);
  // The loading: keys, then columns of every chosen table, through the source's
  // connection. A failure is shown and leaves Add and Load disabled.
  void LoadSourceInfo(Connection& connection);

  // The commands.
  void Add();
  void DeleteLast();
  void SelectAll();
  void DeselectAll();
  void Analyse();
  void CancelAll();
  // True when the window may close with OK; the scripts are then built.
  bool Continue();
  void SaveSelected();
  void SaveAll();
  void Load();

  // The rows' handlers (index 0 is "MyFrame1").
  void SelectFkTable(int row, int item_index);
  void TypeFkTable(int row, const std::string& text);
  void SelectFkField(int row, int item_index);
  void SelectPkTable(int row, int item_index);
  void TypePkTable(int row, const std::string& text);
  void SelectPkField(int row, int item_index);
  void SetChecked(int row, bool checked);

  // Hands the scripts over and empties them here.
  void TakeScripts(ForeignKeyScripts& scripts);

  const std::vector<ForeignKeyRow>& rows() const { return rows_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int SelectedCount() const { return selected_count_; }
  bool UnsavedChanges() const { return unsaved_changes_; }
  const SourceTablesInfo& source_info() const { return info_; }
  const std::vector<std::string>& chosen_tables() const { return chosen_tables_; }
  const std::string& AddConstraintScript() const { return add_constraint_script_; }
  const std::string& DropConstraintScript() const { return drop_constraint_script_; }

  // Window state the commands change.
  bool add_enabled() const { return add_enabled_; }
  bool load_enabled() const { return load_enabled_; }
  bool leave_enabled() const { return leave_enabled_; }  // Continue and Cancel All
  bool caution_visible() const { return caution_visible_; }

  // The two option boxes: "Encrypt Foreign key id", "Drop same existing Foreign Key ".
  bool encrypt = false;
  bool drop_existing = true;

  DesignerMessages& messages() { return messages_; }

 private:
  void Warn(const std::string& text);
  void Inform(const std::string& text);
  ForeignKeyRow& NewRow();
  void ClearRows();
  bool AnySelectedRowNotSet() const;
  bool IsKeyColumnOf(const std::string& table, const std::string& column) const;
  void LoadRow(const std::string& line, int& broken_count);
  void WriteRows(bool only_selected);
  void AfterCheckChange(ForeignKeyRow& row, bool was_checked);

  const Settings& settings_;
  DesignerView& view_;
  Clock clock_;
  DesignerMessages messages_;

  std::vector<std::string> chosen_tables_;  // the lines of the table selection
  SourceTablesInfo info_;
  std::vector<ForeignKeyRow> rows_;
  int selected_count_ = 0;
  bool unsaved_changes_ = false;
  std::string add_constraint_script_;
  std::string drop_constraint_script_;

  bool add_enabled_ = true;
  bool load_enabled_ = true;
  bool leave_enabled_ = true;
  bool caution_visible_ = true;
};

}  // namespace quill
