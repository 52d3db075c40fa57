#include "generator/dialect_names.h"

#include <algorithm>
#include <set>

#include "generator/dialect_values.h"
#include "generator/table_names.h"
#include "generator/table_writer.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

constexpr int kOracleColumnLength = 30;
constexpr int kPervasiveColumnLength = 20;
// The longest names the servers take: PostgreSQL keeps the first 63 bytes
// of a longer one, so two long names that share them become one; MySql
// refuses a name of more than 64 characters.
constexpr int kPostgresNameBytes = 63;
constexpr int kMySqlNameLength = 64;

// How long a name the dialect holds: characters, or bytes of UTF-8 (whole
// characters only); 0 for no limit.
struct NameLimit {
  int length = 0;
  bool bytes = false;
};

NameLimit ColumnLimit(TargetDialect dialect) {
  if (dialect == TargetDialect::Oracle) return {kOracleColumnLength};
  if (dialect == TargetDialect::Pervasive) return {kPervasiveColumnLength};
  if (dialect == TargetDialect::PostgreSql) return {kPostgresNameBytes, true};
  if (dialect == TargetDialect::MySql) return {kMySqlNameLength};
  return {};
}

// Table names are cut only where the server would refuse or cut them itself.
NameLimit TableLimit(TargetDialect dialect) {
  if (dialect == TargetDialect::PostgreSql) return {kPostgresNameBytes, true};
  if (dialect == TargetDialect::MySql) return {kMySqlNameLength};
  return {};
}

// The name cut to the limit less `room` (characters or bytes) for a suffix.
std::string WithinLimit(std::string_view name, NameLimit limit, int room = 0) {
  if (limit.length <= 0) return std::string(name);
  const int length = std::max(0, limit.length - room);
  if (!limit.bytes) return FirstCharacters(name, length);
  if (name.size() <= static_cast<size_t>(length)) return std::string(name);
  size_t end = static_cast<size_t>(length);
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;  // a character's start
  return std::string(name.substr(0, end));
}

// The system columns every PostgreSQL table has: CREATE TABLE refuses a
// column of its own by one of these names.
const std::set<std::string>& PostgresSystemColumns() {
  static const std::set<std::string> names = {"tableoid", "xmin", "cmin", "xmax", "cmax", "ctid"};
  return names;
}

const std::set<std::string>& ColumnNamesTaken(TargetDialect dialect) {
  static const std::set<std::string> none;
  return dialect == TargetDialect::PostgreSql ? PostgresSystemColumns() : none;
}

// The names in `forms` kept distinct without case and apart from the
// engine's own names in `taken` (lower case); `originals` are the names
// before the dialect's rules: a name equal to an earlier one already there
// keeps its form. A suffix never makes a name that another one has.
std::vector<std::string> Distinct(const std::vector<std::string>& forms, const std::vector<std::string>& originals,
                                  NameLimit limit, const std::set<std::string>& taken) {
  std::set<std::string> reserved = taken;
  for (const std::string& form : forms) reserved.insert(LowerCase(form));
  std::vector<std::pair<std::string, std::string>> used;  // (key, original)
  std::set<std::string> used_keys = taken;
  std::vector<std::string> names;
  for (size_t i = 0; i < forms.size(); ++i) {
    const std::string key = LowerCase(forms[i]);
    bool free = used_keys.count(key) == 0;
    if (!free && taken.count(key) == 0) {
      for (const auto& [used_key, original] : used) {
        if (used_key == key && original == originals[i]) free = true;
      }
    }
    std::string name = forms[i];
    for (int n = 2; !free; ++n) {
      const std::string suffix = "_" + std::to_string(n);
      name = WithinLimit(forms[i], limit, static_cast<int>(suffix.size())) + suffix;
      const std::string candidate = LowerCase(name);
      free = used_keys.count(candidate) == 0 && reserved.count(candidate) == 0;
    }
    used.emplace_back(LowerCase(name), originals[i]);
    used_keys.insert(LowerCase(name));
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

std::string DialectColumnForm(const Settings& settings, std::string_view field_name) {
  const std::string name = ApplyUnderscore(settings, field_name);
  return WithinLimit(settings.format == TargetDialect::PostgreSql ? LowerCase(name) : name,
                     ColumnLimit(settings.format));
}

std::string DialectTableForm(const Settings& settings, std::string_view output_name) {
  return WithinLimit(output_name, TableLimit(settings.format));
}

std::vector<std::string> DistinctColumnNames(const Settings& settings, const std::vector<std::string>& field_names) {
  std::vector<std::string> forms;
  forms.reserve(field_names.size());
  for (const std::string& name : field_names) forms.push_back(DialectColumnForm(settings, name));
  return Distinct(forms, field_names, ColumnLimit(settings.format), ColumnNamesTaken(settings.format));
}

bool IsEngineColumnName(const Settings& settings, std::string_view form) {
  return ColumnNamesTaken(settings.format).count(LowerCase(form)) > 0;
}

std::vector<std::string> DistinctTableNames(const Settings& settings, const std::vector<std::string>& listed_names) {
  std::vector<std::string> names;
  std::vector<std::string> forms;
  names.reserve(listed_names.size());
  forms.reserve(listed_names.size());
  for (const std::string& listed : listed_names) {
    names.push_back(OutputTableNameFor(settings, listed, IsTextFileTable(listed)).name);
    forms.push_back(DialectTableForm(settings, names.back()));
  }
  return Distinct(forms, names, TableLimit(settings.format), {});
}

}  // namespace quill
