#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/dataset.h"
#include "platform/jet/reader/mdb_file.h"

namespace quill {

// One table of an .mdb/.accdb file, rows streamed page by page. The dataset
// opens the file a second time: libmdb keeps the current page in its handle,
// so schema reads on the connection must not move this table's position.
class MdbTableDataset : public Dataset {
 public:
  // Throws DataAccessError when the file or the table cannot be opened.
  MdbTableDataset(const std::string& path, const std::string& table_name);

  bool Eof() const override { return eof_; }
  void Next() override;
  void First() override;
  void Last() override { eof_ = true; }
  std::optional<int64_t> RecordCount() override;

 private:
  void FetchRow();
  void ReadField(Field& field, MdbColumn& column, const MdbField& raw);
  std::string ReadLongValue(MdbColumn& column, const MdbField& raw);
  std::string DecodeText(const char* bytes, size_t length);

  std::unique_ptr<MdbFile> file_;
  std::unique_ptr<MdbTable> table_;
  std::vector<MdbField> raw_fields_;
  std::vector<char> chunk_;  // one page of a memo or OLE value
  bool eof_ = true;
};

// Jet 4 text (UCS-2, optionally in the one-byte compressed form) as UTF-8.
std::string Jet4TextToUtf8(const char* bytes, size_t length);

}  // namespace quill
