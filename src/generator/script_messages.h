#pragma once

#include <string>

namespace quill {

// The main window's texts that a script run shows (English defaults; the
// language files replace them).
struct ScriptRunMessages {
  std::string msg_no_tables_found = "No tables found, try with 'Extract system tables' enabled now ?";
  std::string select_window_caption = "Select Tables - ";
  std::string msg_dupl_tbl_nm_found =
      "Duplicates table names found. (Probably from multiples schemas) Continue Anyway ? (Not recommended)";
  std::string msg_do_you_want = "Do you want to set foreign key(s) ?";
  std::string status_generate = " Generating file... Table ";
  std::string status_abort = " (ESC to abort)";
  std::string msg_cant_get_data = "Cannot get data on table : ";
  std::string msg_error_w_tabl = "Error with table : ";
  std::string status_ready = " Ready ";
  std::string msg_debug_mode_on = "Debug mode is ON only 5 rows of table(s) is returned.";
};

}  // namespace quill
