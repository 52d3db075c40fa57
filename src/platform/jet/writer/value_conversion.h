#pragma once

#include <cstdint>

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/row_format.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// Converts a value given to a field into what the column stores, the way the
// engine converts: text is read as the column's type (value_text.h: numbers
// and dates in the process's format variables or in ISO form, booleans as
// True/False/Yes/No/On/Off or a number, GUIDs with or without braces);
// numbers and dates become text for text columns. Empty and Null give Null
// (No for a Boolean column). A value the column cannot hold (out of range,
// too long, not convertible) throws JetWriteError naming the column. Memo and
// OLE values come back as their full content; the row's reference is made
// when the row is stored.
CellValue ConvertValue(const Variant& value, const ColumnDefinition& column, const JetFormat& format);
// The same into an existing cell, reusing its buffer.
void ConvertValueInto(const Variant& value, const ColumnDefinition& column, const JetFormat& format, CellValue& cell);

// The 17-byte numeric column that holds 64-bit integers: a sign byte, then
// the magnitude as four 32-bit little-endian words, the most significant first.
Bytes NumericFromInt64(std::int64_t value);
std::int64_t NumericToInt64(const Bytes& stored);

// The text of a value for the messages.
std::string DescribeValue(const Variant& value);

}  // namespace quill::jet
