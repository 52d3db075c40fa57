#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/odbc/key_paging.h"
#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"

namespace quill {

// How a MariaDB table is read in pages along its primary key (or, without
// one, a unique key of columns that hold no NULL), or none when it cannot be:
// a view, a table without such a key, an engine whose keys are not kept in
// order, or a key column whose order a literal cannot follow (a prefix of a
// column, floating point, ENUM, TIMESTAMP: under a time zone with summer time
// two moments can read alike), or a date key column that holds zero dates.
std::optional<KeyPaging> MariaDbKeyPaging(const OdbcSession& session, const TableReference& table);

// The columns of a MariaDB table's primary key (empty without one, or when
// the catalog cannot be read).
std::vector<std::string> MariaDbPrimaryKeyColumns(const OdbcSession& session, const TableReference& table);

}  // namespace quill
