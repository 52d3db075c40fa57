#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"

namespace quill {

// The DOUBLE columns of a MariaDB table declared with a number of decimals,
// DOUBLE(M,D): the server rounds their values into neighbouring doubles
// (-0.01 is kept as -0.010000000000000009) and only their text, of D
// decimals, is the value meant. nullopt when the catalog cannot be read.
std::optional<std::vector<std::string>> MariaDbScaledDoubleColumns(const OdbcSession& session,
                                                                  const TableReference& table);

}  // namespace quill
