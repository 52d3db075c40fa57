#pragma once

#include <QValidator>

namespace quill {

// Accepts a text only while its UTF-8 form fits in a number of bytes, as a
// file field of that many bytes holds it: typing or pasting beyond is refused.
class ByteLengthValidator : public QValidator {
  Q_OBJECT

 public:
  ByteLengthValidator(int maximum_bytes, QObject* parent) : QValidator(parent), maximum_bytes_(maximum_bytes) {}

  State validate(QString& input, int& position) const override;

 private:
  int maximum_bytes_;
};

}  // namespace quill
