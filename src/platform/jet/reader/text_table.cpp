#include "platform/jet/reader/text_table.h"

#include <algorithm>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/jet_field.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

std::ifstream OpenTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DataAccessError("Could not find file '" + path + "'.");
  SkipByteOrderMark(in);
  return in;
}

std::string ToUtf8(const std::string& bytes, bool windows_1252) {
  return windows_1252 ? Windows1252ToUtf8(bytes) : bytes;
}

}  // namespace

TextTableLayout ScanTextTable(const std::string& path) {
  TextTableLayout layout;
  std::ifstream in = OpenTextFile(path);
  std::string first_line;
  std::getline(in, first_line);
  layout.separator = DetectSeparator(first_line);
  in.clear();
  in.seekg(0);
  SkipByteOrderMark(in);

  TextRecordReader reader(in, layout.separator);
  std::vector<TextValue> values;
  std::vector<std::string> raw_names;
  bool valid_utf8 = true;
  // Longest value per column, in characters for either reading of the bytes.
  std::vector<size_t> longest_utf8;
  std::vector<size_t> longest_bytes;
  if (reader.ReadRecord(values)) {
    for (const TextValue& value : values) {
      raw_names.push_back(value.text);
      valid_utf8 = valid_utf8 && IsValidUtf8(value.text);
    }
  }
  longest_utf8.resize(raw_names.size());
  longest_bytes.resize(raw_names.size());
  while (reader.ReadRecord(values)) {
    ++layout.row_count;
    const size_t count = std::min(values.size(), raw_names.size());
    for (size_t i = 0; i < count; ++i) {
      const std::string& text = values[i].text;
      valid_utf8 = valid_utf8 && IsValidUtf8(text);
      longest_bytes[i] = std::max(longest_bytes[i], text.size());
      longest_utf8[i] = std::max(longest_utf8[i], Utf8Length(text));
    }
  }
  if (in.bad()) throw DataAccessError("The file '" + path + "' cannot be read.");

  layout.windows_1252 = !valid_utf8;
  for (size_t i = 0; i < raw_names.size(); ++i) {
    std::string name = ToUtf8(raw_names[i], layout.windows_1252);
    if (name.empty()) name = "F" + std::to_string(i + 1);  // an unnamed column
    layout.column_names.push_back(name);
    const size_t longest = layout.windows_1252 ? longest_bytes[i] : longest_utf8[i];
    layout.memo_columns.push_back(longest > static_cast<size_t>(kTextColumnSize));
  }
  return layout;
}

TextTableDataset::TextTableDataset(const std::string& path) : path_(path), layout_(ScanTextTable(path)) {
  for (size_t i = 0; i < layout_.column_names.size(); ++i) {
    const int index = static_cast<int>(i);
    if (layout_.memo_columns[i]) {
      fields_.push_back(MakeJetField(layout_.column_names[i], "TMemoField", FieldKind::ftMemo, 0, index));
    } else {
      fields_.push_back(
          MakeJetField(layout_.column_names[i], "TStringField", FieldKind::ftString, kTextColumnSize, index));
    }
  }
  First();
}

void TextTableDataset::First() {
  in_ = OpenTextFile(path_);
  reader_ = std::make_unique<TextRecordReader>(in_, layout_.separator);
  reader_->ReadRecord(values_);  // the column names
  eof_ = false;
  ReadRow();
}

void TextTableDataset::Next() {
  if (!eof_) ReadRow();
}

void TextTableDataset::ReadRow() {
  if (fields_.empty() || !reader_->ReadRecord(values_)) {
    eof_ = true;
    return;
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = *fields_[i];
    if (i >= values_.size() || (values_[i].text.empty() && !values_[i].quoted)) {
      field.SetNull();
    } else {
      field.SetText(ToUtf8(values_[i].text, layout_.windows_1252));
    }
  }
}

}  // namespace quill
