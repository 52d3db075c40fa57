#pragma once

#include <map>
#include <string>

#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"

namespace quill {

// What a PostgreSQL column declared without a size is.
enum class UnsizedKind { Text, Decimal };

// The columns of a PostgreSQL table declared without a size: `varchar` and
// `bpchar` hold text of any length, `numeric` numbers of any precision and
// scale. psqlodbc describes them with made-up sizes (255 characters; 28
// digits with the scale of the first value), which would cut or refuse their
// values, so the dataset asks the catalog. Empty when the table is not found.
std::map<std::string, UnsizedKind> PostgresUnsizedColumns(const OdbcSession& session, const TableReference& table);

}  // namespace quill
