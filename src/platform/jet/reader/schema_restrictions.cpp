#include "platform/jet/reader/schema_restrictions.h"

#include <strings.h>

namespace quill {

bool MatchesJetRestrictions(const SchemaRestrictions& restrictions, const std::string& table_name) {
  if (restrictions.catalog && !restrictions.catalog->empty()) return false;
  if (restrictions.schema && !restrictions.schema->empty()) return false;
  if (restrictions.table && !restrictions.table->empty()) {
    const std::string wanted = StripBrackets(*restrictions.table);
    return wanted.size() == table_name.size() && strcasecmp(wanted.c_str(), table_name.c_str()) == 0;
  }
  return true;
}

std::string StripBrackets(const std::string& table_name) {
  if (table_name.size() >= 2 && table_name.front() == '[' && table_name.back() == ']') {
    return table_name.substr(1, table_name.size() - 2);
  }
  return table_name;
}

}  // namespace quill
