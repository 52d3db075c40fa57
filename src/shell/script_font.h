#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "sources/settings.h"

namespace quill {

// The script font from its keys; a style other than 0-3 keeps base's style.
QFont ScriptFontFromSettings(const Settings& settings, const QFont& base);
// The font's keys (name, size, style bits) written into settings.
void StoreScriptFont(const QFont& font, const QColor& color, Settings& settings);

// Colour numbers of the class library: 0x00BBGGRR, or a negative system
// colour (clWindowText is -16777208).
QColor ScriptFontColor(int color_number, const QPalette& palette);
int ColorNumber(const QColor& color, const QPalette& palette);

}  // namespace quill
