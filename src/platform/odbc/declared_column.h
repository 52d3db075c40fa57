#pragma once

#include <sql.h>
#include <sqlext.h>

#include "platform/odbc/column_type.h"

namespace quill {

// What a source's catalog declares of a column whose driver describes it
// wrongly: the dataset corrects the driver's description with it before the
// column's class is chosen.
struct DeclaredColumn {
  enum class Kind {
    kMemo,            // text of any length: a character column becomes a memo
    kText,            // text of at most `size` characters
    kBlob,            // bytes of any length: a binary column becomes a BLOB
    kKeyBytes,        // bytes of any length in a key: a BLOB column becomes a binary one of unknown length
    kDecimal,         // a decimal of `size` digits, `scale` of them after the point
    kUnsizedDecimal,  // a decimal of any precision and scale: both unknown (0 and -1)
    kCurrency,        // money, read as a decimal of `size` digits and `scale`
    kDateAsText,      // a date the statement gives as its text
    kDateTimeAsText,  // a date-time the statement gives as its text; `scale`: its fraction's digits
    kScaledDouble,    // a double whose text, not its number, is the value (see Options::doubles_as_text)
  };
  Kind kind = Kind::kMemo;
  int size = 0;
  int scale = 0;
  bool holds_infinities = false;  // a decimal some of whose values are infinite
};

// The driver's description of a result column with the declaration applied.
// A text declaration changes only columns the driver gives as text (or as a
// type it has no class for), a decimal one only decimal columns.
OdbcColumnDescription WithDeclaration(const OdbcColumnDescription& column, const DeclaredColumn& declared);

}  // namespace quill
