#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/safe_file_name.h"
#include "common/user_interface.h"
#include "export/export_messages.h"
#include "export/run_stop.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace quill {

class AccessExport;

// The one frame of the three exports: connect to the source, let the user
// choose the tables, decide on the schema prefixes, log the header, hand
// every table to the export's writer, and finish with the footer, the debug
// notice and " Ready ". Runs on the caller's thread. A table that fails
// (it cannot be opened or read, its file cannot be written) gets the red
// line of its export and the reason, and the run goes on with the next one;
// an Access file is closed and kept with the tables written, also when the
// run ends early. Only errors before the table loop (connecting, listing,
// creating the Access file) leave the run for the caller's error message.
class ExportRun {
 public:
  // The save dialog of the Access file: the chosen path, empty on Cancel.
  using ChooseAccessFile = std::function<std::string()>;

  ExportRun(Settings& settings, SourceSession& session, UserInterface& ui, std::string program_folder,
            Clock clock);
  ~ExportRun();

  // The Access export; the file is asked for once the tables are chosen.
  void AccessExportRun(const std::string& source_name, const ChooseAccessFile& choose_file);
  // The CSV and XML exports into a folder the user chose before (an empty
  // folder: the user cancelled, nothing is done).
  void CsvExportRun(const std::string& source_name, const std::string& folder);
  void XmlExportRun(const std::string& source_name, const std::string& folder);

  ExportRunMessages& messages() { return messages_; }

 private:
  enum class Kind { Access, Csv, Xml };

  void Run(Kind kind, const std::string& source_name, const std::string& folder, const ChooseAccessFile& choose_file);
  bool ChooseTables(const std::string& source_name);
  bool DecideKeepSchema(Kind kind);
  void OpenTable(Kind kind, const std::string& source_name, const std::string& listed_name);
  void SetTableStatus(const std::string& listed_name);
  // False (after the red line) for a table without rows.
  bool HasRows(const std::string& listed_name);
  // The row limit of the current table: 5 in debug mode, else the source's
  // count (kAllRows when unknown).
  int64_t RowLimit();
  void ExportAccessTable(const std::string& source_name, const std::string& listed_name, int index);
  void CopyAccessRows(const std::string& listed_name, int index);
  void ExportCsvTable(const std::string& listed_name, const std::string& folder);
  void ExportXmlTable(const std::string& listed_name, const std::string& folder, int index);
  // The source's primary-key columns of the table, in the key's order.
  std::vector<std::string> KeyColumnNames(const std::string& listed_name);
  // The progress bar before the rows of table `index`: one step per row of
  // every table when the count is known (rows > 0), else one per table.
  void SetRowProgress(int index, int64_t rows);
  // After a table's " exported." line: names the file written when the safe
  // name rule or another table of the run changed the name.
  void LogChangedFileName(const std::string& folder, const std::string& name, const std::string& extension,
                          const std::string& path);
  // After a table's rows: names each BLOB folder that got a suffix.
  void LogSuffixedBlobFolders();
  // A failed table: the export's red line, then the reason in red.
  void LogFailure(const std::string& line, const std::string& reason);
  // Completes and closes the Access file; a failure is logged in red. When
  // no table was written and a file is at the path, that file stays.
  void CloseAccessFile();
  int TableCount() const { return static_cast<int>(tables_.size()); }

  Settings& settings_;
  SourceSession& session_;
  UserInterface& ui_;
  std::string program_folder_;
  Clock clock_;
  ExportRunMessages messages_;

  std::vector<std::string> tables_;
  bool keep_schema_ = false;
  RunFileNames file_names_;    // the CSV and XML files of the run
  RunFileNames blob_folders_;  // the BLOB folders of the run
  std::string mdb_file_;
  std::unique_ptr<AccessExport> access_;
  std::unique_ptr<RunStop> stop_;
  std::unique_ptr<Dataset> table_;  // the current (at the end: the last) table
};

}  // namespace quill
