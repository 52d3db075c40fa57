#include "platform/sqlite/sqlite_column_profile.h"

#include <algorithm>
#include <cstring>

#include "platform/sqlite/sqlite_date_text.h"

namespace quill {
namespace {

constexpr char kProfileFunction[] = "quill_column_profile";

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
  switch (date.shape) {
    case DateTextShape::kDate: profile.date_texts = true; break;
    case DateTextShape::kDateTime: profile.date_time_texts = true; break;
    case DateTextShape::kTime: profile.time_texts = true; break;
  }
}

void ProfileStep(sqlite3_context* context, int, sqlite3_value** arguments) {
  auto* profile = static_cast<SqliteColumnProfile*>(sqlite3_aggregate_context(context, sizeof(SqliteColumnProfile)));
  if (profile == nullptr) {
    sqlite3_result_error_nomem(context);
    return;
  }
  sqlite3_value* value = arguments[0];
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
      const int64_t number = sqlite3_value_int64(value);
      if (profile->integers++ == 0) {
        profile->smallest_integer = profile->largest_integer = number;
      } else {
        profile->smallest_integer = std::min(profile->smallest_integer, number);
        profile->largest_integer = std::max(profile->largest_integer, number);
      }
      break;
    }
    case SQLITE_FLOAT:
      ++profile->reals;
      break;
    case SQLITE_TEXT: {
      ++profile->texts;
      const int work = sqlite3_value_int(arguments[1]);
      if (work == 0) break;
      const unsigned char* text = sqlite3_value_text(value);
      const int bytes = sqlite3_value_bytes(value);
      // A text has at most as many characters as bytes: only a text with more
      // bytes than the longest so far is counted.
      if ((work & kTextLengths) && bytes > profile->longest_text) {
        profile->longest_text = std::max(profile->longest_text, CharacterCount(text, bytes));
      }
      if (work & kDateShapes) NoteDateShape(*profile, text, bytes);
      break;
    }
    case SQLITE_BLOB:
      ++profile->blobs;
      profile->longest_blob = std::max<int64_t>(profile->longest_blob, sqlite3_value_bytes(value));
      break;
    default:
      break;
  }
}

void ProfileFinal(sqlite3_context* context) {
  SqliteColumnProfile empty;
  auto* profile = static_cast<SqliteColumnProfile*>(sqlite3_aggregate_context(context, 0));
  // The aggregate context starts zeroed, which is the empty profile.
  sqlite3_result_blob(context, profile != nullptr ? profile : &empty, sizeof(SqliteColumnProfile), SQLITE_TRANSIENT);
}

}  // namespace

void RegisterColumnProfileFunction(const SqliteFile& file) {
  const int code = sqlite3_create_function_v2(file.handle(), kProfileFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, nullptr, &ProfileStep, &ProfileFinal, nullptr);
  if (code != SQLITE_OK) throw file.Error(code);
}

std::vector<SqliteColumnProfile> ProfileColumns(const SqliteFile& file, const std::string& table_sql,
                                                const std::vector<std::string>& column_sql,
                                                const std::vector<SqliteColumnClass>& declared) {
  std::string sql = "SELECT ";
  for (size_t i = 0; i < column_sql.size(); ++i) {
    if (i > 0) sql += ", ";
    // A BLOB column holds every value as it is: nothing to look at.
    if (declared[i].kind == FieldKind::ftBlob) {
      sql += "NULL";
      continue;
    }
    const int work = (NeedsTextLengths(declared[i]) ? kTextLengths : 0) | (NeedsDateShapes(declared[i]) ? kDateShapes : 0);
    sql += std::string(kProfileFunction) + "(" + column_sql[i] + ", " + std::to_string(work) + ")";
  }
  sql += " FROM " + table_sql;
  SqliteStatement statement(file, sql);
  std::vector<SqliteColumnProfile> profiles(column_sql.size());
  if (!statement.Step()) return profiles;
  for (size_t i = 0; i < profiles.size(); ++i) {
    const void* bytes = sqlite3_column_blob(statement.get(), static_cast<int>(i));
    if (bytes != nullptr && sqlite3_column_bytes(statement.get(), static_cast<int>(i)) == sizeof(SqliteColumnProfile)) {
      std::memcpy(&profiles[i], bytes, sizeof(SqliteColumnProfile));
    }
  }
  return profiles;
}

}  // namespace quill
