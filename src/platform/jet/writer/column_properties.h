#pragma once

#include <optional>
#include <vector>

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// The property block of a table's catalog row (its LvProp value) carrying
// the column properties that live outside the table definition: "Required"
// for a column that may not be Null and "Description" when one is given.
// Nothing when no column has such a property.
std::optional<Bytes> BuildColumnProperties(const std::vector<ColumnDefinition>& columns, const JetFormat& format);

}  // namespace quill::jet
