#pragma once

#include <string>

#include "platform/dataset/connection_backend.h"

namespace quill {

// Restriction tests of the Jet stand-in's schema rowsets. Its sources have no
// catalogs or schemas, so only an unassigned or empty restriction matches
// there; table names compare ignoring case, as the engine does.
bool MatchesJetRestrictions(const SchemaRestrictions& restrictions, const std::string& table_name);

// "[name]" without its brackets; any other name as it is.
std::string StripBrackets(const std::string& table_name);

}  // namespace quill
