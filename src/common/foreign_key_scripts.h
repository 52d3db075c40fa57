#pragma once

#include <string>

namespace quill {

// The two constraint scripts the foreign-key designer hands to the generator,
// which takes each as one script item and then empties both.
struct ForeignKeyScripts {
  std::string add_constraint_script;   // AddConstraintScript
  std::string drop_constraint_script;  // DropConstraintScript
  bool drop_existing = true;           // "Drop same existing Foreign Key", checked by design
};

}  // namespace quill
