#include "platform/jet/reader/mdb_table_dataset.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/jet_field.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

constexpr int kOffsetMask = 0x1fff;  // row offsets carry flags in their top bits

// A replication ID as the engine writes it: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX},
// the first three groups stored little-endian. libmdb's own text of it lacks
// the last hyphen.
std::string GuidText(const unsigned char* bytes) {
  char text[39];
  std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", bytes[3],
                bytes[2], bytes[1], bytes[0], bytes[5], bytes[4], bytes[7], bytes[6], bytes[8], bytes[9], bytes[10],
                bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
  return text;
}

// Bytes a value of a fixed-size type takes in the row; 0 for the others.
int FixedSize(int col_type) {
  switch (col_type) {
    case MDB_BYTE:
      return 1;
    case MDB_INT:
      return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
      return 4;
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_MONEY:
      return 8;
    case MDB_NUMERIC:
      return 17;
    default:
      return 0;
  }
}

}  // namespace

std::string Jet4TextToUtf8(const char* bytes, size_t length) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  // Undo the compression first: a 0 byte toggles between one byte per
  // character (high byte 0) and two bytes per character.
  std::vector<uint16_t> units;
  units.reserve(length);
  if (length >= 2 && in[0] == 0xFF && in[1] == 0xFE) {
    bool compressed = true;
    size_t i = 2;
    while (i < length) {
      if (in[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        units.push_back(in[i]);
        ++i;
      } else if (i + 1 < length) {
        units.push_back(static_cast<uint16_t>(in[i] | (in[i + 1] << 8)));
        i += 2;
      } else {
        break;
      }
    }
  } else {
    for (size_t i = 0; i + 1 < length; i += 2) units.push_back(static_cast<uint16_t>(in[i] | (in[i + 1] << 8)));
  }
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const uint16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);  // a lone surrogate
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

MdbTableDataset::MdbTableDataset(const std::string& path, const std::string& table_name)
    : file_(std::make_unique<MdbFile>(path)) {
  const MdbFile::TableEntry* entry = file_->FindTable(table_name);
  if (entry == nullptr) throw DataAccessError("The table '" + table_name + "' does not exist.");
  table_ = std::make_unique<MdbTable>(*entry);
  const bool jet3 = file_->IsJet3();
  for (int i = 0; i < table_->ColumnCount(); ++i) {
    const MdbColumn& column = table_->Column(i);
    const JetFieldType type = DescribeMdbColumn(column, jet3);
    fields_.push_back(MakeJetField(column.name, type.class_name, type.kind, type.size, i));
  }
  raw_fields_.resize(table_->ColumnCount());
  chunk_.resize(2 * MDB_PGSIZE);
  First();
}

void MdbTableDataset::First() {
  mdb_rewind_table(table_->def());
  FetchRow();
}

void MdbTableDataset::Next() {
  if (!eof_) FetchRow();
}

std::optional<int64_t> MdbTableDataset::RecordCount() { return static_cast<int64_t>(table_->def()->num_rows); }

void MdbTableDataset::FetchRow() {
  MdbTableDef* def = table_->def();
  if (def->num_cols == 0 || !mdb_fetch_row(def)) {
    eof_ = true;
    return;
  }
  eof_ = false;
  // The fetch leaves the row's page in the handle; split the row again to
  // learn which values are NULL, which the fetch does not report.
  MdbHandle* mdb = file_->handle();
  int row_start = 0;
  size_t row_size = 0;
  if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &row_start, &row_size) != 0 ||
      mdb_crack_row(def, row_start & kOffsetMask, row_size, raw_fields_.data()) < 0) {
    throw DataAccessError("A row of table '" + std::string(def->name) + "' cannot be read.");
  }
  // A damaged row may place its values outside its page or name columns
  // that do not exist: such a row cannot be read.
  const int page_size = static_cast<int>(mdb->fmt->pg_size);
  for (int i = 0; i < table_->ColumnCount(); ++i) {
    const MdbField& raw = raw_fields_[i];
    if (raw.colnum < 0 || raw.colnum >= table_->ColumnCount() ||
        (!raw.is_null && (raw.start < 0 || raw.siz < 0 || raw.siz > page_size - raw.start))) {
      throw DataAccessError("A row of table '" + std::string(def->name) + "' cannot be read.");
    }
  }
  for (int i = 0; i < table_->ColumnCount(); ++i) {
    const MdbField& raw = raw_fields_[i];
    ReadField(*fields_[raw.colnum], table_->Column(raw.colnum), raw);
  }
}

void MdbTableDataset::ReadField(Field& field, MdbColumn& column, const MdbField& raw) {
  MdbHandle* mdb = file_->handle();
  if (column.col_type == MDB_BOOL) {
    field.SetBoolean(!raw.is_null);  // a Yes/No value lives in the null mask
    return;
  }
  if (raw.is_null) {
    field.SetNull();
    return;
  }
  const unsigned char* page = mdb->pg_buf;
  const int start = raw.start;
  if (raw.siz < FixedSize(column.col_type)) {
    throw DataAccessError("A value of column '" + std::string(column.name) + "' cannot be read.");
  }
  switch (column.col_type) {
    case MDB_BYTE:
      field.SetInteger(page[start]);
      break;
    case MDB_INT:
      field.SetInteger(static_cast<int16_t>(mdb_get_int16(mdb->pg_buf, start)));
      break;
    case MDB_LONGINT:
      field.SetInteger(static_cast<int32_t>(mdb_get_int32(mdb->pg_buf, start)));
      break;
    case MDB_FLOAT:
      field.SetFloat(mdb_get_single(mdb->pg_buf, start));
      break;
    case MDB_DOUBLE:
      field.SetFloat(mdb_get_double(mdb->pg_buf, start));
      break;
    case MDB_DATETIME:
      try {
        field.SetDateTime(FromSerial(mdb_get_double(mdb->pg_buf, start)));
      } catch (const std::out_of_range&) {
        throw DataAccessError("A value of column '" + std::string(column.name) + "' is no date.");
      }
      break;
    case MDB_MONEY: {
      char* text = mdb_money_to_string(mdb, start);
      field.SetText(text);
      g_free(text);
      break;
    }
    case MDB_NUMERIC: {
      char* text = mdb_numeric_to_string(mdb, start, column.col_scale, column.col_prec);
      field.SetText(text);
      g_free(text);
      break;
    }
    case MDB_REPID:
      if (raw.siz >= 16)
        field.SetText(GuidText(page + start));
      else
        field.SetNull();
      break;
    case MDB_TEXT:
      field.SetText(DecodeText(reinterpret_cast<const char*>(page + start), raw.siz));
      break;
    case MDB_MEMO: {
      const std::string bytes = ReadLongValue(column, raw);
      field.SetText(DecodeText(bytes.data(), bytes.size()));
      break;
    }
    case MDB_OLE:
      field.SetText(ReadLongValue(column, raw));
      break;
    default:  // binary and anything unknown: the bytes as stored
      field.SetText(std::string_view(reinterpret_cast<const char*>(page + start), raw.siz));
      break;
  }
}

std::string MdbTableDataset::ReadLongValue(MdbColumn& column, const MdbField& raw) {
  std::string value;
  if (raw.siz < MDB_MEMO_OVERHEAD) return value;
  MdbHandle* mdb = file_->handle();
  char header[MDB_MEMO_OVERHEAD];
  std::memcpy(header, mdb->pg_buf + raw.start, MDB_MEMO_OVERHEAD);
  const uint32_t declared_length = static_cast<uint32_t>(mdb_get_int32(header, 0)) & 0x3FFFFFFF;
  // The value is inline, on one other page or on a chain of pages; libmdb
  // copies each piece into the column's bound buffer, bound only here so
  // that fetching rows never converts values we read ourselves.
  column.cur_value_start = raw.start;
  column.cur_value_len = raw.siz;
  column.bind_ptr = chunk_.data();
  size_t length = mdb_ole_read(mdb, &column, header, chunk_.size());
  value.append(chunk_.data(), length);
  while ((length = mdb_ole_read_next(mdb, &column, header)) > 0 && value.size() < declared_length) {
    value.append(chunk_.data(), length);
  }
  column.bind_ptr = nullptr;
  if (value.size() > declared_length) value.resize(declared_length);
  return value;
}

std::string MdbTableDataset::DecodeText(const char* bytes, size_t length) {
  if (length == 0) return {};
  if (!file_->IsJet3()) return Jet4TextToUtf8(bytes, length);
  // Jet 3 text is in the file's code page, which libmdb converts.
  std::string out(length * 3 + 1, '\0');
  const int written = mdb_unicode2ascii(file_->handle(), bytes, length, out.data(), out.size());
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

}  // namespace quill
