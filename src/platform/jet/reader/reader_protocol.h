#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/dataset.h"
#include "platform/jet/reader/reader_channel.h"
#include "platform/jet/reader/rowset_dataset.h"

// What the program and its Jet reader process say to each other.
//
// Requests: kOpen PATH; kSchema KIND RESTRICTIONS; kTable NAME.
// Replies: kError MESSAGE at any point ends the reply; otherwise kOk, then
//   for kSchema: rows (kRow, one cell per column), kEnd;
//   for kTable: the fields, the record count (-1 unknown), rows (kRow, one
//   value per field), kEnd.
// The reader writes rows as fast as the program takes them; nothing holds
// more than a buffer of them.
namespace quill::jet_reader {

enum Request : uint8_t { kOpen = 'O', kSchema = 'S', kTable = 'T' };
enum Reply : uint8_t { kOk = 'K', kError = 'X', kRow = 'R', kEnd = 'E' };

void WriteRestrictions(ChannelWriter& out, SchemaKind kind, const SchemaRestrictions& restrictions);
SchemaKind ReadRestrictions(ChannelReader& in, SchemaRestrictions& restrictions);

// A schema rowset's row as WriteValues sends it: its text and integer
// columns make each cell NULL, text or integer.
void ReadRowsetRow(ChannelReader& in, MemoryRowset& rowset, int column_count);

// Name, class, kind, size and data size of every field.
void WriteFields(ChannelWriter& out, const Dataset& dataset);
std::vector<std::unique_ptr<Field>> ReadFields(ChannelReader& in);

// The current row's values, each in the form its field's kind keeps it
// (integer, boolean, float, date-time or text), so the fields on the other
// side convert exactly as the reader's own do.
void WriteValues(ChannelWriter& out, const Dataset& dataset);
void ReadValues(ChannelReader& in, Dataset& dataset);

}  // namespace quill::jet_reader
