#include "generator/table_names.h"

#include <algorithm>

namespace quill {

std::string_view TextAfterFirstPoint(std::string_view listed_name) {
  const size_t point = listed_name.find('.');
  return point == std::string_view::npos ? listed_name : listed_name.substr(point + 1);
}

std::string_view TableNameAfterSchema(std::string_view listed_name) {
  const std::string_view after = TextAfterFirstPoint(listed_name);
  return after.empty() ? listed_name : after;
}

SchemaRestrictions ListedTableRestrictions(const std::string& listed_name) {
  SchemaRestrictions restrictions;
  const size_t point = listed_name.find('.');
  if (point == std::string::npos || point == 0 || point + 1 == listed_name.size()) {
    restrictions.table = listed_name;
  } else {
    restrictions.schema = listed_name.substr(0, point);
    restrictions.table = listed_name.substr(point + 1);
  }
  return restrictions;
}

namespace {

bool IsTextFileExtension(std::string_view key) {
  return key == "csv" || key == "asc" || key == "tab" || key == "txt";
}

}  // namespace

bool IsTextFileTable(std::string_view listed_name) { return IsTextFileExtension(TextAfterFirstPoint(listed_name)); }

bool HasDuplicateTableNames(const std::vector<std::string>& listed_names) {
  std::vector<std::string_view> keys;
  for (const std::string& name : listed_names) {
    if (IsTextFileExtension(TextAfterFirstPoint(name))) return false;
    keys.push_back(TableNameAfterSchema(name));
  }
  std::sort(keys.begin(), keys.end());
  return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

std::string ReplaceAll(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

OutputTableNameParts OutputTableNameFor(const Settings& settings, std::string_view listed_name,
                                        bool text_file_table) {
  std::string name(listed_name);
  if (settings.underscore) name = ReplaceAll(name, ' ', '_');
  const size_t point = name.find('.');
  if (point != std::string::npos) {
    name = text_file_table ? name.substr(0, point) : std::string(TableNameAfterSchema(name));
  }
  OutputTableNameParts parts{.schema = {}, .name = name};
  const bool takes_schema = settings.format == TargetDialect::MsSql || settings.format == TargetDialect::PostgreSql ||
                            settings.format == TargetDialect::MySql;
  if (takes_schema) parts.schema = settings.ms_schema;
  return parts;
}

std::string JoinOutputTableName(TargetDialect dialect, const OutputTableNameParts& parts) {
  if (parts.schema.empty()) return parts.name;
  switch (dialect) {
    case TargetDialect::MsSql: return parts.schema + "].[" + parts.name;
    case TargetDialect::PostgreSql: return parts.schema + "\".\"" + parts.name;
    case TargetDialect::MySql: return parts.schema + "`.`" + parts.name;
    default: return parts.name;
  }
}

}  // namespace quill
