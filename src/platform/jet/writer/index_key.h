#pragma once

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/row_format.h"

namespace quill::jet {

// Whether a column of this type can carry the primary key.
bool IsIndexable(JetType type);

// The index key of one stored value: a flag byte (0x7F for a value, 0x00 for
// Null), then the value in an order where comparing the bytes compares the
// values:
// - whole numbers (byte, integer, long integer, currency, and the 64-bit
//   numeric column) big endian with the sign bit flipped;
// - single, double and date-time: big endian with the sign bit flipped when
//   positive, all bits flipped when negative;
// - text in the "General" order: digits 0-9 as 0x56-0x5F, letters A-Z and a-z
//   alike as 0x60-0x79; every other character below U+0080 as one byte
//   0x01-0x41 by code point (punctuation, blanks and control characters sort
//   before digits); every character from U+0080 on as 0x7A followed by its
//   code point in three bytes big endian (after the letters, by code point);
//   the text ends with 0x00. Texts that differ only in the case of ASCII
//   letters have the same key, as the format's comparison ignores case;
// - GUIDs and booleans as stored.
Bytes IndexKey(const ColumnDefinition& column, const CellValue& cell, const JetFormat& format);

}  // namespace quill::jet
