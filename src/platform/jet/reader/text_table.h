#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/jet/reader/text_file_format.h"

namespace quill {

constexpr int kTextColumnSize = 255;  // longer values make the column a memo

// What a first scan of a text table finds: separator, encoding, column names
// and the longest value of each column.
struct TextTableLayout {
  char separator = ';';
  bool windows_1252 = false;              // the file is not valid UTF-8
  std::vector<std::string> column_names;  // UTF-8
  std::vector<bool> memo_columns;
  int64_t row_count = 0;
};

// Throws DataAccessError when the file cannot be read.
TextTableLayout ScanTextTable(const std::string& path);

// A text file as a table: the first record names the columns, every column is
// a TStringField of size 255 or a TMemoField; rows are read as they are asked.
class TextTableDataset : public Dataset {
 public:
  explicit TextTableDataset(const std::string& path);

  bool Eof() const override { return eof_; }
  void Next() override;
  void First() override;
  void Last() override { eof_ = true; }
  std::optional<int64_t> RecordCount() override { return layout_.row_count; }

 private:
  void ReadRow();

  std::string path_;
  TextTableLayout layout_;
  std::ifstream in_;
  std::unique_ptr<TextRecordReader> reader_;
  std::vector<TextValue> values_;
  bool eof_ = true;
};

}  // namespace quill
