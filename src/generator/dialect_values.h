#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "generator/table_writer.h"

namespace quill {

// Value and name steps that several dialect writers share.

// The first `limit` characters (UTF-8 code points) of text.
std::string FirstCharacters(std::string_view text, int limit);

// Every "," becomes "." (a locale's decimal comma turned into a point).
void CommasToPoints(std::string& text);

// Every occurrence of `mark` doubled.
std::string DoubleEach(std::string_view text, char mark);

// The text between single quotes, each quote inside doubled: for the
// literals inside an expression such as TO_DATE('...','...').
std::string SqlLiteral(std::string_view text);

// Lower case by the characters' own case mapping (not only ASCII).
std::string LowerCase(std::string_view text);

// "1" or "0" for a boolean; empty for NULL, so a NULL boolean is written NULL.
std::string BooleanDigits(const Field& field);

// A float's text through the mask of the options (general format when the
// mask is empty); empty for NULL.
std::string FloatText(const Field& field, const Settings& settings);

// The file a BLOB value of the current row was written to.
struct RowBlobFile {
  std::string folder;     // BlobFileLayout's folder, "/" between its parts
  std::string file_name;  // RowCounter + "." + extension
  std::string Path() const { return folder + "/" + file_name; }
};

// Writes the BLOB of the current row to its file (RowCounter as number);
// nullopt when the field is NULL, files are not extracted or no wanted type
// was found.
std::optional<RowBlobFile> WriteRowBlobFile(TableWriter& writer, const Field& field);

}  // namespace quill
