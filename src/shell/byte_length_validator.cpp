#include "shell/byte_length_validator.h"

namespace quill {

QValidator::State ByteLengthValidator::validate(QString& input, int&) const {
  return input.toUtf8().size() <= maximum_bytes_ ? Acceptable : Invalid;
}

}  // namespace quill
