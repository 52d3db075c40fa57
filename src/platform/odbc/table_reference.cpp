#include "platform/odbc/table_reference.h"

#include <algorithm>
#include <cctype>

#include "platform/dataset/data_access_error.h"

namespace quill {

TableReference ParseListedTableName(const std::string& listed_name, bool source_has_schemas) {
  std::string name = listed_name;
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  TableReference reference;
  const std::size_t point = name.find('.');
  if (source_has_schemas && point != std::string::npos) {
    reference.schema = name.substr(0, point);
    reference.table = name.substr(point + 1);
  } else {
    reference.table = name;
  }
  return reference;
}

std::string QuoteIdentifier(const std::string& name, const std::string& quote) {
  // A statement's text ends at a NUL, and a source without a quote
  // character can only be given plain names: anything else would be read as
  // more than a name.
  if (name.find('\0') != std::string::npos) throw DataAccessError("The name holds a NUL character.");
  if (quote.empty()) {
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
      return std::isalnum(c) || c == '_';
    });
    if (!plain) throw DataAccessError("The source cannot quote the name \"" + name + "\".");
    return name;
  }
  std::string quoted = quote;
  std::size_t start = 0;
  for (std::size_t found; (found = name.find(quote, start)) != std::string::npos; start = found + quote.size()) {
    quoted += name.substr(start, found - start) + quote + quote;
  }
  quoted += name.substr(start) + quote;
  return quoted;
}

std::string QualifiedTableName(const TableReference& table, const std::string& quote) {
  const std::string name = QuoteIdentifier(table.table, quote);
  if (table.schema.empty()) return name;
  return QuoteIdentifier(table.schema, quote) + "." + name;
}

}  // namespace quill
