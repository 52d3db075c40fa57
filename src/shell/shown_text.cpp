#include "shell/shown_text.h"

#include "common/utf8_steps.h"

namespace quill {

QString ShownText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (view.isValidUtf8()) return QString::fromUtf8(view);
  QString shown;
  shown.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t at = 0; at < bytes.size();) {
    const CodePoint point = DecodeAt(bytes, at);
    if (point.value < 0x80) {
      shown.append(QChar(static_cast<char16_t>(point.value)));
    } else {
      const char32_t value[] = {point.value};
      shown.append(QString::fromUcs4(value, 1));
    }
    at += point.length;
  }
  return shown;
}

int ShownIndex(std::string_view bytes, std::size_t position) {
  int index = 0;
  for (std::size_t at = 0; at < position && at < bytes.size();) {
    const CodePoint point = DecodeAt(bytes, at);
    index += point.value > 0xFFFF ? 2 : 1;
    at += point.length;
  }
  return index;
}

std::size_t BytePosition(std::string_view bytes, int index) {
  std::size_t at = 0;
  for (int shown = 0; shown < index && at < bytes.size();) {
    const CodePoint point = DecodeAt(bytes, at);
    shown += point.value > 0xFFFF ? 2 : 1;
    at += point.length;
  }
  return at;
}

}  // namespace quill
