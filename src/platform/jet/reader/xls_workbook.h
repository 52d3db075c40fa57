#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/dataset.h"

namespace quill {

// An .xls workbook opened through FreeXL, closed on destruction.
class XlsWorkbook {
 public:
  // Throws DataAccessError when the file is not a readable workbook.
  explicit XlsWorkbook(const std::string& path);
  ~XlsWorkbook();
  XlsWorkbook(const XlsWorkbook&) = delete;
  XlsWorkbook& operator=(const XlsWorkbook&) = delete;

  const void* handle() const { return handle_; }
  const std::vector<std::string>& SheetNames() const { return sheet_names_; }

 private:
  const void* handle_ = nullptr;
  std::vector<std::string> sheet_names_;
};

// One sheet as a table: the first row names the columns. A column whose
// values are all numbers is a TFloatField, all dates a TDateTimeField, any
// other a TWideStringField of size 255 or, with longer texts, a TMemoField.
class XlsSheetDataset : public Dataset {
 public:
  XlsSheetDataset(const std::string& path, const std::string& sheet_name);

  bool Eof() const override { return row_ >= row_count_; }
  void Next() override;
  void First() override;
  void Last() override { row_ = row_count_; }
  std::optional<int64_t> RecordCount() override { return static_cast<int64_t>(row_count_ > 0 ? row_count_ - 1 : 0); }

 private:
  void LoadRow();

  XlsWorkbook workbook_;
  unsigned int row_count_ = 0;  // the sheet's rows, the names row included
  unsigned int row_ = 0;
};

// An .xls file as a data source: one table per sheet, named after it.
class XlsBackend : public ConnectionBackend {
 public:
  explicit XlsBackend(const std::string& path);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  std::string path_;
  XlsWorkbook workbook_;
};

}  // namespace quill
