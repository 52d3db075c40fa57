#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/safe_file_name.h"
#include "common/script_buffer.h"

namespace quill {

constexpr uint32_t kNoRowLimit = 4294967295u;  // RowLimit outside debug mode
constexpr uint32_t kDebugRowLimit = 5;         // RowLimit in debug mode

// The state of one script run, shared by the run and the dialect writers.
// One instance per call of GenerateScript; texts start empty, numbers at 0.
struct ScriptRunState {
  std::string source_name;                     // SourceName
  std::string listed_table_name;               // ListedTableName: the name as listed
  std::string output_table_name;               // OutputTableName: the name written in the script
  // OutputTableName in its two parts, unescaped, so a writer can quote each
  // part for its dialect: the destination schema (empty when none) and the
  // table's own name.
  std::string output_schema;
  std::string output_name;

  ScriptBuffer script_lines;                   // ScriptLines: one item per statement
  std::string table_text;                      // TableText: work text of the current table
  std::vector<std::string> tables_to_process;  // TablesToProcess
  // The output names of tables_to_process, kept distinct in the dialect
  // (DistinctTableNames); worked out at the run's first table.
  std::vector<std::string> distinct_output_names;
  int table_index = 0;                         // TableIndex, zero-based

  bool text_file_table = false;                // TextFileTable
  bool empty_table = false;                    // EmptyTable: no INSERT part
  bool table_failed = false;                   // TableFailed: no "- OK" line
  uint32_t row_limit = kNoRowLimit;            // RowLimit
  uint32_t row_counter = 0;                    // RowCounter: rows written for this table
  bool primary_key_marked = false;             // PrimaryKeyMarked
  bool select_row_mode = false;                // SelectRowMode (MS SQL)

  // Set by any Escape poll of the run (before a table or before a row). A
  // table left before its end tells nothing by itself: it may have failed
  // mid-rows. This flag is what says the user stopped the run.
  bool escape_pressed = false;

  // The BLOB folders of the run, each table's and column's its own.
  RunFileNames blob_file_names;

  std::string dialect_name;                    // "MySql", "MS SQL", ...
  std::string tab_caption;
  int tab_image = 0;
};

}  // namespace quill
