#pragma once

#include <QCheckBox>

namespace quill {

// A check box whose caption wraps onto more lines when its column is
// narrower than the caption, as the long option captions need in a dialog of
// the designed width; it asks its layout for the height its lines take.
class WrappingCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& position) const override;

 private:
  int TextLeft() const;
  QRect TextRect(int width) const;
};

}  // namespace quill
