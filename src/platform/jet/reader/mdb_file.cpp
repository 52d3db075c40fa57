#include "platform/jet/reader/mdb_file.h"

#include <strings.h>

#include <filesystem>

#include "platform/dataset/data_access_error.h"

namespace quill {

MdbFile::MdbFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw DataAccessError("Could not find file '" + path + "'.");
  handle_ = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handle_ == nullptr) {
    throw DataAccessError("Unrecognized database format '" + path + "'.");
  }
  if (mdb_read_catalog(handle_, MDB_TABLE) == nullptr) {
    mdb_close(handle_);
    throw DataAccessError("Unrecognized database format '" + path + "'.");
  }
  for (unsigned int i = 0; i < handle_->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(handle_->catalog, i));
    if (entry->object_type != MDB_TABLE) continue;
    tables_.push_back({entry->object_name, mdb_is_system_table(entry) != 0, entry});
  }
}

MdbFile::~MdbFile() { mdb_close(handle_); }

bool MdbFile::IsJet3() const { return handle_->f->jet_version == MDB_VER_JET3; }

const MdbFile::TableEntry* MdbFile::FindTable(std::string_view name) const {
  for (const TableEntry& table : tables_) {
    if (table.name == name) return &table;
  }
  for (const TableEntry& table : tables_) {
    if (table.name.size() == name.size() && strncasecmp(table.name.c_str(), name.data(), name.size()) == 0) {
      return &table;
    }
  }
  return nullptr;
}

MdbTable::MdbTable(const MdbFile::TableEntry& entry) {
  table_ = mdb_read_table(entry.entry);
  if (table_ == nullptr || mdb_read_columns(table_) == nullptr) {
    if (table_ != nullptr) mdb_free_tabledef(table_);
    throw DataAccessError("The definition of table '" + entry.name + "' cannot be read.");
  }
}

MdbTable::~MdbTable() { mdb_free_tabledef(table_); }

MdbColumn& MdbTable::Column(int index) const {
  return *static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, index));
}

std::vector<std::string> MdbTable::PrimaryKeyColumns(std::string& index_name) {
  if (!indexes_read_) {
    mdb_read_indices(table_);
    indexes_read_ = true;
  }
  std::vector<std::string> names;
  if (table_->indices == nullptr) return names;
  for (unsigned int i = 0; i < table_->num_idxs; ++i) {
    const auto* index = static_cast<MdbIndex*>(g_ptr_array_index(table_->indices, i));
    if (index->index_type != 1) continue;  // 1 marks the primary key
    index_name = index->name;
    for (unsigned int k = 0; k < index->num_keys; ++k) {
      const int column_number = index->key_col_num[k];  // 1-based
      if (column_number >= 1 && column_number <= ColumnCount()) names.push_back(Column(column_number - 1).name);
    }
    break;
  }
  return names;
}

JetFieldType DescribeMdbColumn(const MdbColumn& column, bool jet3) {
  switch (column.col_type) {
    case MDB_BOOL:
      return {"TBooleanField", FieldKind::ftBoolean, 0};
    case MDB_BYTE:
      return {"TWordField", FieldKind::ftWord, 0};
    case MDB_INT:
      return {"TSmallintField", FieldKind::ftSmallint, 0};
    case MDB_LONGINT:
      if (column.is_long_auto) return {"TAutoIncField", FieldKind::ftAutoInc, 0};
      return {"TIntegerField", FieldKind::ftInteger, 0};
    case MDB_MONEY:
      return {"TBCDField", FieldKind::ftCurrency, 19};
    case MDB_FLOAT:
    case MDB_DOUBLE:
      return {"TFloatField", FieldKind::ftFloat, 0};
    case MDB_DATETIME:
      return {"TDateTimeField", FieldKind::ftDateTime, 0};
    case MDB_BINARY:
      return {"TVarBytesField", FieldKind::ftVarBytes, column.col_size};
    case MDB_TEXT:
      // Jet 4 stores text as UCS-2: the column size is in bytes there.
      return {"TWideStringField", FieldKind::ftWideString, jet3 ? column.col_size : column.col_size / 2};
    case MDB_OLE:
      return {"TBlobField", FieldKind::ftBlob, 0};
    case MDB_MEMO:
      return {"TMemoField", FieldKind::ftMemo, 0};
    case MDB_REPID:
      return {"TGuidField", FieldKind::ftGuid, 38};
    case MDB_NUMERIC:
      // libmdb's two names are crossed: col_scale holds the precision (and
      // its own numeric conversion reads them that way round).
      return {"TBCDField", FieldKind::ftBCD, column.col_scale};
    default:
      return {"TField", FieldKind::ftUnknown, 0};
  }
}

}  // namespace quill
