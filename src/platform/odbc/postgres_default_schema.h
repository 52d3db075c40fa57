#pragma once

#include <string>

#include "platform/odbc/odbc_session.h"

namespace quill {

// The schema that holds a PostgreSQL table named without one, found as the
// server's default search path ("$user", then public) finds it; empty when
// neither holds it. The session's own path holds only pg_catalog, so that
// no object of a user's schema shadows a built-in: a name without its
// schema would find nothing there.
std::string PostgresDefaultSchema(const OdbcSession& session, const std::string& table);

}  // namespace quill
