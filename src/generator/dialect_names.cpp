#include "generator/dialect_names.h"

#include <set>

#include "generator/dialect_values.h"
#include "generator/table_names.h"
#include "generator/table_writer.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

constexpr int kOracleColumnLength = 30;
constexpr int kPervasiveColumnLength = 20;

int ColumnLength(TargetDialect dialect) {
  if (dialect == TargetDialect::Oracle) return kOracleColumnLength;
  if (dialect == TargetDialect::Pervasive) return kPervasiveColumnLength;
  return 0;
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
                                  int max_length, const std::set<std::string>& taken) {
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
      const int room = max_length > 0 ? max_length - static_cast<int>(suffix.size()) : -1;
      name = (room >= 0 ? FirstCharacters(forms[i], room) : forms[i]) + suffix;
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
  if (settings.format == TargetDialect::PostgreSql) return LowerCase(name);
  const int length = ColumnLength(settings.format);
  return length > 0 ? FirstCharacters(name, length) : name;
}

std::vector<std::string> DistinctColumnNames(const Settings& settings, const std::vector<std::string>& field_names) {
  std::vector<std::string> forms;
  forms.reserve(field_names.size());
  for (const std::string& name : field_names) forms.push_back(DialectColumnForm(settings, name));
  return Distinct(forms, field_names, ColumnLength(settings.format), ColumnNamesTaken(settings.format));
}

bool IsEngineColumnName(const Settings& settings, std::string_view form) {
  return ColumnNamesTaken(settings.format).count(LowerCase(form)) > 0;
}

std::vector<std::string> DistinctTableNames(const Settings& settings, const std::vector<std::string>& listed_names) {
  std::vector<std::string> names;
  names.reserve(listed_names.size());
  for (const std::string& listed : listed_names) {
    names.push_back(OutputTableNameFor(settings, listed, IsTextFileTable(listed)).name);
  }
  return Distinct(names, names, 0, {});
}

}  // namespace quill
