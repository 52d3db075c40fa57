#include "export/export_table_name.h"

#include "export/access_names.h"
#include "generator/table_names.h"

namespace quill {

namespace {

std::string_view SchemaPart(std::string_view listed_name) {
  return listed_name.substr(0, listed_name.find('.'));
}

// The text-file extension cut, or else the schema dropped unless kept.
std::string WithoutPrefixOrExtension(std::string_view listed_name, bool keep_schema) {
  const std::size_t point = listed_name.find('.');
  if (point == std::string_view::npos) return std::string(listed_name);
  if (IsTextFileTable(listed_name)) return std::string(listed_name.substr(0, point));
  if (!keep_schema) return std::string(TableNameAfterSchema(listed_name));
  return std::string(listed_name);
}

}  // namespace

bool SchemasDiffer(const std::vector<std::string>& listed_names) {
  for (std::size_t i = 1; i < listed_names.size(); ++i) {
    if (SchemaPart(listed_names[i]) != SchemaPart(listed_names[i - 1])) return true;
  }
  return false;
}

bool ShouldAskToRemoveSchema(const std::vector<std::string>& listed_names) {
  return !SchemasDiffer(listed_names) && listed_names.size() >= 2 &&
         listed_names.back().find('.') != std::string::npos;
}

std::string ExportTableName(std::string_view listed_name, bool keep_schema, const Settings& settings) {
  const std::string name = WithoutPrefixOrExtension(listed_name, keep_schema);
  return settings.underscore ? ReplaceAll(name, ' ', '_') : name;
}

std::string AccessTableName(std::string_view listed_name, bool keep_schema, const Settings& settings) {
  const std::string name = ReplaceAll(WithoutPrefixOrExtension(listed_name, keep_schema), '.', '_');
  // Then the other characters an Access name cannot hold.
  return AccessObjectName(settings.underscore ? ReplaceAll(name, ' ', '_') : name, IsAccess97File(settings));
}

}  // namespace quill
