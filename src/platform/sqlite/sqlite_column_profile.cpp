#include "platform/sqlite/sqlite_column_profile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sqlite/sqlite_date_text.h"

namespace quill {
namespace {

constexpr char kProfileFunction[] = "quill_column_profile";
// Columns per call of the aggregate, within SQLite's limit of arguments.
constexpr int kMaxGroupSize = 100;

// What the aggregate looks at besides the storage classes (its second argument).
enum ProfileWork : int { kTextLengths = 1, kDateShapes = 2 };

int64_t CharacterCount(const unsigned char* text, int bytes) {
  int64_t count = 0;
  for (int i = 0; i < bytes; ++i) count += (text[i] & 0xC0) != 0x80;
  return count;
}

void NoteDateShape(SqliteColumnProfile& profile, const unsigned char* text, int bytes) {
  DateText date;
  if (!ParseDateText({reinterpret_cast<const char*>(text), static_cast<size_t>(bytes)}, date)) {
    profile.other_texts = true;
    return;
  }
  int digits = 9;
  for (int nanosecond = date.value.nanosecond; digits > 0 && nanosecond % 10 == 0; nanosecond /= 10) --digits;
  profile.fraction_digits = std::max(profile.fraction_digits, digits);
  switch (date.shape) {
    case DateTextShape::kDate: profile.date_texts = true; break;
    case DateTextShape::kDateTime: profile.date_time_texts = true; break;
    case DateTextShape::kTime: profile.time_texts = true; break;
  }
}

void ProfileValue(SqliteColumnProfile& profile, sqlite3_value* value, char work) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
      const int64_t number = sqlite3_value_int64(value);
      if (profile.integers++ == 0) {
        profile.smallest_integer = profile.largest_integer = number;
      } else {
        profile.smallest_integer = std::min(profile.smallest_integer, number);
        profile.largest_integer = std::max(profile.largest_integer, number);
      }
      break;
    }
    case SQLITE_FLOAT:
      ++profile.reals;
      if (!std::isfinite(sqlite3_value_double(value))) profile.infinite_reals = true;
      break;
    case SQLITE_TEXT: {
      ++profile.texts;
      if (work == 0) break;
      // A text has at most as many characters as bytes: only a text with more
      // bytes than the longest so far is counted.
      const int bytes = sqlite3_value_bytes(value);
      const bool count = (work & kTextLengths) && bytes > profile.longest_text;
      if (!count && !(work & kDateShapes)) break;
      const unsigned char* text = sqlite3_value_text(value);
      if (count) profile.longest_text = std::max(profile.longest_text, CharacterCount(text, bytes));
      if (work & kDateShapes) NoteDateShape(profile, text, bytes);
      break;
    }
    case SQLITE_BLOB:
      ++profile.blobs;
      profile.longest_blob = std::max<int64_t>(profile.longest_blob, sqlite3_value_bytes(value));
      break;
    default:
      break;
  }
}

// The aggregate's state: the count of its columns, then their profiles (the
// context SQLite hands out starts zeroed: empty profiles).
struct ProfileSetHeader {
  int64_t columns;
};
static_assert(sizeof(ProfileSetHeader) % alignof(SqliteColumnProfile) == 0);

size_t ProfileSetBytes(int columns) {
  return sizeof(ProfileSetHeader) + sizeof(SqliteColumnProfile) * static_cast<size_t>(columns);
}

SqliteColumnProfile* ProfilesOf(void* set) {
  return reinterpret_cast<SqliteColumnProfile*>(static_cast<char*>(set) + sizeof(ProfileSetHeader));
}

// quill_column_profile(work, c1, c2, ...): one call per row for a group of
// columns; `work` holds one ProfileWork digit per column.
// The arguments are checked on every call, as the program's own query
// makes them: a work text of one digit per column, and the same columns on
// every row.
void ProfileStep(sqlite3_context* context, int count, sqlite3_value** arguments) {
  if (count < 2 || sqlite3_value_type(arguments[0]) != SQLITE_TEXT) {
    sqlite3_result_error(context, "quill_column_profile: wrong arguments", -1);
    return;
  }
  const int columns = count - 1;
  const auto* work = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
  if (work == nullptr || sqlite3_value_bytes(arguments[0]) != columns ||
      !std::all_of(work, work + columns, [](char digit) { return digit >= '0' && digit <= '3'; })) {
    sqlite3_result_error(context, "quill_column_profile: wrong arguments", -1);
    return;
  }
  auto* set = static_cast<ProfileSetHeader*>(
      sqlite3_aggregate_context(context, static_cast<int>(ProfileSetBytes(columns))));
  if (set == nullptr) {
    sqlite3_result_error_nomem(context);
    return;
  }
  if (set->columns != 0 && set->columns != columns) {
    sqlite3_result_error(context, "quill_column_profile: wrong arguments", -1);
    return;
  }
  set->columns = columns;
  SqliteColumnProfile* profiles = ProfilesOf(set);
  for (int i = 0; i < columns; ++i) ProfileValue(profiles[i], arguments[i + 1], static_cast<char>(work[i] - '0'));
}

// The profiles as one BLOB; NULL when the table has no rows (all empty).
void ProfileFinal(sqlite3_context* context) {
  auto* set = static_cast<ProfileSetHeader*>(sqlite3_aggregate_context(context, 0));
  if (set == nullptr || set->columns == 0) {
    sqlite3_result_null(context);
    return;
  }
  sqlite3_result_blob(context, ProfilesOf(set), static_cast<int>(sizeof(SqliteColumnProfile) * set->columns),
                      SQLITE_TRANSIENT);
}

}  // namespace

void RegisterColumnProfileFunction(const SqliteFile& file) {
  // Direct only: a view or a trigger of the file cannot call it, so only
  // the program's own query does.
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
  const int code = sqlite3_create_function_v2(file.handle(), kProfileFunction, -1, flags, nullptr, nullptr, &ProfileStep,
                                              &ProfileFinal, nullptr);
  if (code != SQLITE_OK) throw file.Error(code);
}

SqliteTableProfile ProfileTable(const SqliteFile& file, const std::string& table_sql,
                                const std::vector<std::string>& column_sql,
                                const std::vector<SqliteColumnClass>& declared) {
  // The columns looked at (a BLOB column holds every value as it is), in
  // groups as large as a function's arguments may be.
  std::vector<size_t> looked_at;
  for (size_t i = 0; i < column_sql.size(); ++i) {
    if (declared[i].kind != FieldKind::ftBlob) looked_at.push_back(i);
  }
  SqliteTableProfile table;
  std::vector<SqliteColumnProfile>& profiles = table.columns;
  profiles.resize(column_sql.size());
  const size_t group_size = static_cast<size_t>(
      std::clamp(sqlite3_limit(file.handle(), SQLITE_LIMIT_FUNCTION_ARG, -1) - 1, 1, kMaxGroupSize));
  std::string sql = "SELECT count(*)";
  for (size_t start = 0; start < looked_at.size(); start += group_size) {
    const size_t end = std::min(start + group_size, looked_at.size());
    std::string work;
    std::string arguments;
    for (size_t k = start; k < end; ++k) {
      const SqliteColumnClass& column = declared[looked_at[k]];
      work += static_cast<char>('0' + (NeedsTextLengths(column) ? kTextLengths : 0) +
                                (NeedsDateShapes(column) ? kDateShapes : 0));
      arguments += ", " + column_sql[looked_at[k]];
    }
    sql += ", " + std::string(kProfileFunction) + "('" + work + "'" + arguments + ")";
  }
  sql += " FROM " + table_sql;
  SqliteStatement statement(file, sql);
  if (!statement.Step()) return table;
  table.rows = sqlite3_column_int64(statement.get(), 0);
  for (size_t start = 0, group = 1; start < looked_at.size(); start += group_size, ++group) {
    const size_t end = std::min(start + group_size, looked_at.size());
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement.get(), static_cast<int>(group)));
    const size_t size = static_cast<size_t>(sqlite3_column_bytes(statement.get(), static_cast<int>(group)));
    if (bytes == nullptr || size != sizeof(SqliteColumnProfile) * (end - start)) continue;
    for (size_t k = start; k < end; ++k) {
      std::memcpy(&profiles[looked_at[k]], bytes + sizeof(SqliteColumnProfile) * (k - start), sizeof(SqliteColumnProfile));
    }
  }
  return table;
}

}  // namespace quill
