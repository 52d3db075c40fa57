#include "shell/script_font.h"

namespace quill {
namespace {

constexpr int kWindowTextColor = -16777208;

}  // namespace

QFont ScriptFontFromSettings(const Settings& settings, const QFont& base) {
  QFont font = base;
  font.setFamily(QString::fromStdString(settings.font));
  if (settings.font_size > 0) font.setPointSize(settings.font_size);
  if (settings.font_style >= 0 && settings.font_style <= 3) {
    font.setBold((settings.font_style & 1) != 0);
    font.setItalic((settings.font_style & 2) != 0);
    font.setUnderline(false);
    font.setStrikeOut(false);
  }
  return font;
}

void StoreScriptFont(const QFont& font, const QColor& color, Settings& settings) {
  settings.font = font.family().toStdString();
  settings.font_size = font.pointSize();
  settings.font_style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
                        (font.strikeOut() ? 8 : 0);
  (void)color;
}

QColor ScriptFontColor(int color_number, const QPalette& palette) {
  if (color_number < 0) return palette.color(QPalette::WindowText);
  return QColor(color_number & 0xFF, (color_number >> 8) & 0xFF, (color_number >> 16) & 0xFF);
}

int ColorNumber(const QColor& color, const QPalette& palette) {
  if (color == palette.color(QPalette::WindowText)) return kWindowTextColor;
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace quill
