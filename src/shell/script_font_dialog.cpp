#include "shell/script_font_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace quill {
namespace {

struct NamedColor {
  const char* name;
  QRgb rgb;
};

// The basic colours a font's text is given in, in their usual order.
constexpr NamedColor kBasicColors[] = {
    {"Black", 0x000000}, {"Maroon", 0x800000}, {"Green", 0x008000},  {"Olive", 0x808000},
    {"Navy", 0x000080},  {"Purple", 0x800080}, {"Teal", 0x008080},   {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},   {"Lime", 0x00FF00},   {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

QIcon Swatch(const QColor& color) {
  QPixmap swatch(16, 12);
  swatch.fill(color);
  return QIcon(swatch);
}

}  // namespace

ScriptFontDialog::ScriptFontDialog(QWidget* parent, const QFont& font, const QColor& color) : QDialog(parent) {
  setObjectName("FontDialog1");
  setWindowTitle("Font");
  font_choice_ = new QFontDialog(font, this);
  font_choice_->setObjectName("FontChoice");
  font_choice_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  font_choice_->setWindowFlags(Qt::Widget);
  font_choice_->setSizeGripEnabled(false);  // the window's own corner resizes it
  // The chooser is a dialog of its own: Escape, and Enter in its lists,
  // close it alone, and Enter in its fields does nothing. Whatever closes it
  // answers this window instead, and Enter anywhere in it is OK, as the
  // buttons are; the chooser stays shown inside.
  connect(font_choice_, &QDialog::finished, this, [this](int result) {
    font_choice_->setVisible(true);
    done(result);
  });
  font_choice_->installEventFilter(this);

  auto* color_label = new QLabel("Color:");
  color_box_ = new QComboBox;
  color_box_->setObjectName("ColorBox");
  color_label->setBuddy(color_box_);
  for (const NamedColor& named : kBasicColors) color_box_->addItem(Swatch(QColor(named.rgb)), named.name, QColor(named.rgb));
  int current = color_box_->findData(QColor(color.rgb()));
  if (current < 0) {
    color_box_->addItem(Swatch(color), "Custom", color);
    current = color_box_->count() - 1;
  }
  color_box_->setCurrentIndex(current);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* color_row = new QHBoxLayout;
  color_row->addWidget(color_label);
  color_row->addWidget(color_box_);
  color_row->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->addWidget(font_choice_);
  column->addLayout(color_row);
  column->addWidget(buttons);
}

bool ScriptFontDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == font_choice_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = key->modifiers() == Qt::NoModifier ||
                       (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
    if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

QFont ScriptFontDialog::chosen_font() const { return font_choice_->currentFont(); }

QColor ScriptFontDialog::chosen_color() const { return color_box_->currentData().value<QColor>(); }

}  // namespace quill
