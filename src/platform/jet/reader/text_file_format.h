#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// One field of a text-file record, bytes as in the file.
struct TextValue {
  std::string text;
  bool quoted = false;  // an empty field that was not quoted is NULL
};

// Reads the records of a delimited text file: fields split at one separator
// character, a field may be enclosed in double quotes (a doubled quote inside
// stands for one, separators and line breaks inside belong to the value).
// Records end at LF or CR LF; empty lines are skipped.
class TextRecordReader {
 public:
  TextRecordReader(std::istream& in, char separator);

  // False at the end of the file.
  bool ReadRecord(std::vector<TextValue>& fields);

 private:
  std::istream& in_;
  char separator_;
};

// The separator of a file by its first line: the one of ";", "," and tab
// found most often outside quotes (the first found on a tie); ";" when none.
char DetectSeparator(std::string_view first_line);

// Skips a UTF-8 byte order mark at the start of the stream.
void SkipByteOrderMark(std::istream& in);

}  // namespace quill
