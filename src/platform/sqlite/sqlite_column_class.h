#pragma once

#include <cstdint>
#include <string>

#include "platform/dataset/field.h"

namespace quill {

// The field class of a column: the class name, its data kind and the declared
// size (characters, bytes or digits; 0 for fixed-size kinds).
struct SqliteColumnClass {
  std::string class_name;
  FieldKind kind = FieldKind::ftUnknown;
  int size = 0;

  friend bool operator==(const SqliteColumnClass&, const SqliteColumnClass&) = default;
};

// The class a declared type gives when the column's values fit it: the type
// name read by SQLite's affinity rules, refined the way the program has
// always named SQLite types (VARCHAR(n) a string of n characters, DATE a
// date, BOOLEAN a boolean, DECIMAL(p,s) a decimal, untyped a string of 255).
SqliteColumnClass DeclaredColumnClass(const std::string& declared_type, bool auto_increment);

// What one pass over a column found: how many values of each storage class,
// the range of its integers, the longest text in characters, the longest
// BLOB, and (for date and time columns) the shapes of its texts.
struct SqliteColumnProfile {
  int64_t integers = 0;
  int64_t reals = 0;
  int64_t texts = 0;
  int64_t blobs = 0;
  int64_t smallest_integer = 0;
  int64_t largest_integer = 0;
  int64_t longest_text = 0;  // characters
  int64_t longest_blob = 0;  // bytes
  bool infinite_reals = false;   // reals that are infinities, which no decimal holds
  bool date_texts = false;       // texts that are dates, or date-times at midnight
  bool date_time_texts = false;  // texts that are date-times at another time
  bool time_texts = false;       // texts that are times of day
  bool other_texts = false;      // texts that are none of these
  int fraction_digits = 0;       // the most digits of a second's fraction its dates and times need
};

// What the profile asks of the pass for a column of this class.
bool NeedsTextLengths(const SqliteColumnClass& column);
bool NeedsDateShapes(const SqliteColumnClass& column);

// The declared class when every value fits it, else a class that holds them
// all: text in a number or date column makes it a string as wide as its
// longest value (a memo beyond 255 characters), integers beyond the
// class's range a wider integer class, reals in an integer column a float,
// a BLOB among other values a BLOB column, an infinity in a decimal column a
// float, and a string column is as wide as its longest value (a memo when
// that is beyond 255 characters).
SqliteColumnClass FittedColumnClass(const SqliteColumnClass& declared, const SqliteColumnProfile& profile);

// The data size the class library gives a field of this class.
int FieldDataSize(FieldKind kind, int size);

}  // namespace quill
