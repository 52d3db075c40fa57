#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sources/settings.h"

namespace quill {

// Whether the export writes an Access 97 file (engine type 4), whose text
// and names are in the Windows-1252 code page.
bool IsAccess97File(const Settings& settings);

// A table or column name as an Access file holds it: every character Access
// refuses in a name (". ! ` [ ]", control characters, a byte that is not
// UTF-8, and in an Access 97 file a character Windows-1252 lacks) as "_", a
// leading blank as "_", an empty name as "_"; at most 64 characters, cut so
// that `suffix`, appended last, fits too. A name that needs none of this
// comes back unchanged.
std::string AccessObjectName(std::string_view name, bool access_97, std::string_view suffix = {});

// The column names of a table in the Access file, in field order: each as
// AccessObjectName makes it, and no two equal letter case aside (as Access
// compares them). Names that need no change keep theirs first; a changed
// name, or a later one equal to a name given before, gets "_2", "_3", ...
std::vector<std::string> AccessColumnNames(const std::vector<std::string>& field_names, bool access_97);

}  // namespace quill
