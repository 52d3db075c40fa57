#pragma once

#include <string>

namespace quill {

// The main window's texts that the exports show (English defaults; the
// language files replace them).
struct ExportRunMessages {
  std::string select_window_caption = "Select Tables - ";
  std::string status_gen_access = " Generating Access file... ";
  std::string status_gen_csv = " Generating Excel csv file... ";
  std::string status_gen_xml = " Generating xml file... ";
  std::string status_generate = " Generating file... Table ";
  std::string status_abort = " (ESC to abort)";
  std::string status_ready = " Ready ";
  std::string msg_cant_get_data = "Cannot get data on table : ";
  std::string msg_same_schema = "All tables are from same schema. Remove schema info ?";
  std::string msg_debug_mode_on = "Debug mode is ON only 5 rows of table(s) is returned.";
};

}  // namespace quill
