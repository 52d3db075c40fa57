#pragma once

#include <memory>
#include <string>

#include "platform/dataset/field.h"

namespace quill {

// A field of a Jet table with the data size the class library gives its kind
// (bytes of the value buffer, as the ODBC side reports it too).
std::unique_ptr<Field> MakeJetField(const std::string& name, const std::string& class_name, FieldKind kind, int size,
                                    int index);

}  // namespace quill
