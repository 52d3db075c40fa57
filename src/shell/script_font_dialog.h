#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;

namespace quill {

// The script font's dialog: the font, its size and style, underline and
// strike-out, and the colour of its text, chosen from the sixteen basic
// colours (a colour of another kind is offered too, as "Custom").
class ScriptFontDialog : public QDialog {
  Q_OBJECT

 public:
  ScriptFontDialog(QWidget* parent, const QFont& font, const QColor& color);

  QFont chosen_font() const;
  QColor chosen_color() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QFontDialog* font_choice_ = nullptr;
  QComboBox* color_box_ = nullptr;  // "Color"
};

}  // namespace quill
