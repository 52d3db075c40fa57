#include "platform/sqlite/sqlite_table_dataset.h"

#include <charconv>
#include <utility>

#include "platform/sqlite/sqlite_column_class.h"
#include "platform/sqlite/sqlite_column_profile.h"
#include "platform/sqlite/sqlite_date_text.h"

namespace quill {
namespace {

bool IsAutoIncrement(const SqliteFile& file, sqlite3_stmt* statement, int column) {
  const char* table = sqlite3_column_table_name(statement, column);
  const char* origin = sqlite3_column_origin_name(statement, column);
  const char* database = sqlite3_column_database_name(statement, column);
  if (table == nullptr || origin == nullptr) return false;
  int auto_increment = 0;
  if (sqlite3_table_column_metadata(file.handle(), database, table, origin, nullptr, nullptr, nullptr, nullptr,
                                    &auto_increment) != SQLITE_OK) {
    return false;
  }
  return auto_increment != 0;
}

std::string_view IntegerText(int64_t value, char (&buffer)[32]) {
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

// The shortest text that reads back as the same double; decimals without an
// exponent, as a decimal column's digits are written.
std::string_view RealText(double value, bool plain, char (&buffer)[400]) {
  const auto result = plain ? std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed)
                            : std::to_chars(buffer, buffer + sizeof(buffer), value);
  return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

// "column data holds 1 BLOB among 2 text and 3 integer values: read as BLOB"
std::string BlobNote(const std::string& column, const SqliteColumnProfile& profile) {
  std::vector<std::string> others;
  if (profile.texts > 0) others.push_back(std::to_string(profile.texts) + " text");
  if (profile.integers > 0) others.push_back(std::to_string(profile.integers) + " integer");
  if (profile.reals > 0) others.push_back(std::to_string(profile.reals) + " real");
  std::string note = "column " + column + " holds " + std::to_string(profile.blobs) + " BLOB among ";
  for (size_t i = 0; i < others.size(); ++i) note += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + others[i];
  return note + " values: read as BLOB";
}

}  // namespace

SqliteTableDataset::SqliteTableDataset(std::shared_ptr<SqliteFile> file, const std::string& table_name)
    : file_(std::move(file)) {
  const std::string table_sql = QuoteSqliteName(table_name);
  rows_ = std::make_unique<SqliteStatement>(*file_, "SELECT * FROM " + table_sql);
  sqlite3_stmt* statement = rows_->get();
  const int count = sqlite3_column_count(statement);
  std::vector<std::string> names;
  std::vector<std::string> column_sql;
  std::vector<SqliteColumnClass> declared;
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(statement, i);
    const char* type = sqlite3_column_decltype(statement, i);
    names.emplace_back(name != nullptr ? name : "");
    column_sql.push_back(QuoteSqliteName(names.back()));
    declared.push_back(DeclaredColumnClass(type != nullptr ? type : "", IsAutoIncrement(*file_, statement, i)));
  }
  const SqliteTableProfile table = ProfileTable(*file_, table_sql, column_sql, declared);
  const std::vector<SqliteColumnProfile>& profiles = table.columns;
  // The count of the same pass: the source's own count, asked once.
  record_count_ = table.rows;
  for (int i = 0; i < count; ++i) {
    const SqliteColumnClass fitted = FittedColumnClass(declared[i], profiles[i]);
    // BLOBs among other values: no target type holds both, so the column
    // becomes a BLOB column, which the log says.
    const SqliteColumnProfile& profile = profiles[i];
    if (fitted.kind == FieldKind::ftBlob && profile.blobs > 0 && profile.texts + profile.integers + profile.reals > 0) {
      reading_notes_.push_back(BlobNote(names[i], profile));
    }
    auto field = std::make_unique<Field>(names[i], fitted.class_name, fitted.kind, fitted.size, i);
    field->SetDataSize(FieldDataSize(fitted.kind, fitted.size));
    // SQLite declares no fraction of a second: the pass over the date texts
    // tells it (unknown where numbers stand for dates).
    if (fitted.kind == FieldKind::ftDate) field->SetFractionDigits(0);
    if ((fitted.kind == FieldKind::ftTime || fitted.kind == FieldKind::ftDateTime) &&
        profile.integers + profile.reals == 0) {
      field->SetFractionDigits(profile.fraction_digits);
    }
    fields_.push_back(std::move(field));
  }
  First();
}

void SqliteTableDataset::Advance() {
  try {
    at_end_ = !rows_->Step();
  } catch (...) {
    at_end_ = true;
    throw;
  }
  if (at_end_) {
    // Lets the file go for other programs while nothing is read.
    rows_->Reset();
    return;
  }
  LoadRow();
}

void SqliteTableDataset::Next() {
  if (!at_end_) Advance();
}

void SqliteTableDataset::First() {
  rows_->Reset();
  Advance();
}

void SqliteTableDataset::Last() {
  rows_->Reset();
  at_end_ = true;
}

std::optional<int64_t> SqliteTableDataset::RecordCount() { return record_count_; }

void SqliteTableDataset::LoadRow() {
  sqlite3_stmt* statement = rows_->get();
  char number[32];
  char real[400];
  DateText date;
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = *fields_[i];
    const FieldKind kind = field.Kind();
    // One call per value instead of one per question: the connection is used
    // by one thread at a time, so the unprotected value is safe to read.
    sqlite3_value* cell = sqlite3_column_value(statement, static_cast<int>(i));
    switch (sqlite3_value_type(cell)) {
      case SQLITE_NULL:
        field.SetNull();
        break;
      case SQLITE_INTEGER: {
        const int64_t value = sqlite3_value_int64(cell);
        switch (kind) {
          case FieldKind::ftSmallint:
          case FieldKind::ftWord:
          case FieldKind::ftInteger:
          case FieldKind::ftAutoInc:
          case FieldKind::ftLargeint: field.SetInteger(value); break;
          case FieldKind::ftBoolean: field.SetBoolean(value != 0); break;
          case FieldKind::ftFloat: field.SetFloat(static_cast<double>(value)); break;
          default: field.SetText(IntegerText(value, number)); break;
        }
        break;
      }
      case SQLITE_FLOAT: {
        const double value = sqlite3_value_double(cell);
        if (kind == FieldKind::ftFloat) {
          field.SetFloat(value);
        } else {
          field.SetText(RealText(value, kind == FieldKind::ftBCD || kind == FieldKind::ftCurrency, real));
        }
        break;
      }
      case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(cell));
        const std::string_view value(text, static_cast<size_t>(sqlite3_value_bytes(cell)));
        if (kind == FieldKind::ftDate || kind == FieldKind::ftTime || kind == FieldKind::ftDateTime) {
          if (ParseDateText(value, date)) {
            field.SetDateTime(date.value);
            break;
          }
        }
        field.SetText(value);
        break;
      }
      case SQLITE_BLOB: {
        const void* bytes = sqlite3_value_blob(cell);
        const int size = sqlite3_value_bytes(cell);
        field.SetText(std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(size)));
        break;
      }
    }
  }
}

}  // namespace quill
