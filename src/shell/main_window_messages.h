#pragma once

#include <QString>

namespace quill {

// The main window's user-visible texts, English by default; a language file
// replaces them by key.
struct MainWindowMessages {
  QString msg_are_you_sure = "Are you sure you want to remove this Data Source Name ?";
  QString msg_cannot_delete = "Cannot delete DSN.";
  QString msg_deleted = "DSN deleted.";
  QString msg_do_you_want = "Do you want to set foreign key(s) ?";
  QString msg_cannot_access = "Cannot access system registry";
  QString msg_conn_prbl = "Connection problem detected, disable Jet Provider now ?";
  QString msg_no_tables_found = "No tables found, try with 'Extract system tables' enabled now ?";
  QString select_window_caption = "Select Tables - ";
  QString msg_debug_mode_on = "Debug mode is ON only 5 rows of table(s) is returned.";
  QString intro_text =
      "You can add sources using the toolbar.\r\n"
      "For single table script, double click the\r\n"
      "source in the treeview, then double click\r\n"
      "the table. For scripts that have many tables,\r\n"
      "select the source, then click on the blue\r\n"
      "button on the toolbar.";
  QString status_ready = " Ready ";
  QString status_list = " Getting list of tables... ";
  QString status_refresh = " Refreshing Sources...";
  QString status_generate = " Generating file... Table ";
  QString status_abort = " (ESC to abort)";
  QString status_saving = " Writing File... ";
  QString status_gen_access = " Generating Access file... ";
  QString status_gen_csv = " Generating Excel csv file... ";
  QString status_gen_xml = " Generating xml file... ";
  QString msg_no_odbc = "No ODBC Drivers found !";
  QString msg_dupl_tbl_nm_found =
      "Duplicates table names found. (Probably from multiples schemas) Continue Anyway ? (Not recommended)";
  QString msg_cant_get_data = "Cannot get data on table : ";
  QString msg_error_w_tabl = "Error with table : ";
  QString msg_no_avail_src_f = "No available sources found. Define System DSN now ?";
  QString msg_incl_sel_tbl =
      "Do you want to create a script that include a selection of tables of this source now ?";
  QString msg_same_schema = "All tables are from same schema. Remove schema info ?";
};

}  // namespace quill
