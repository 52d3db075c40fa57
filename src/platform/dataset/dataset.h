#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dataset/field.h"

namespace quill {

// A read-only, forward-only set of rows: an open table or a schema rowset.
// Rows stream from the source; only the current row is held in the fields.
class Dataset {
 public:
  virtual ~Dataset() = default;

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  Field& FieldAt(int index) { return *fields_.at(index); }
  const Field& FieldAt(int index) const { return *fields_.at(index); }
  Field* FindField(const std::string& name);  // exact name first, then ignoring case

  virtual bool Eof() const = 0;
  virtual void Next() = 0;
  // Back to the first row (reads the rows again where the source cannot seek).
  virtual void First() = 0;
  // Past the last row: Eof() holds afterwards.
  virtual void Last() = 0;
  // The source's own count of the rows, asked once; nullopt when unknown.
  virtual std::optional<int64_t> RecordCount() = 0;
  // The count for a progress bar, without waiting for it: a source that
  // counts beside its reading has none while the count is coming.
  struct CountSoFar {
    std::optional<int64_t> rows;
    bool coming = false;  // asked again later, it may be known
  };
  virtual CountSoFar RecordCountSoFar() { return {RecordCount(), false}; }

  // Columns whose values the source's declared type does not describe and
  // that are read in another class, one line each ("column: what was found;
  // how it is read"), for the run's log. Empty for most tables.
  const std::vector<std::string>& ReadingNotes() const { return reading_notes_; }

 protected:
  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<std::string> reading_notes_;
};

}  // namespace quill
