#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/sqlite/sqlite_file.h"

namespace quill {

// A table or view of a SQLite file, streamed row by row with one prepared
// statement. Each field's class is decided when the table opens, from the
// declared type and one pass over the values (see FittedColumnClass); each
// value is then read with its own storage class.
class SqliteTableDataset : public Dataset {
 public:
  // `table_name` is the table's own name. Throws DataAccessError.
  SqliteTableDataset(std::shared_ptr<SqliteFile> file, const std::string& table_name);

  bool Eof() const override { return at_end_; }
  void Next() override;
  void First() override;
  void Last() override;
  std::optional<int64_t> RecordCount() override;

 private:
  void Advance();
  void LoadRow();

  std::shared_ptr<SqliteFile> file_;
  std::unique_ptr<SqliteStatement> rows_;
  bool at_end_ = true;
  int64_t record_count_ = 0;
};

}  // namespace quill
