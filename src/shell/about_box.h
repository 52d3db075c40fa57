#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>

class QLabel;

namespace quill {

inline const QString kMakerWebSite = "https://www.quillmarsh.net/";
inline const QString kMakerWebSiteShown = "www.quillmarsh.net";

// The window shape of a picture: every pixel whose colour (RGB, alpha
// ignored) differs from key_color, joined row by row; empty when there is
// none.
QRegion BitmapToRegion(const QImage& bitmap, QRgb key_color);

// Plays the wave sound Name of the program's resources, without waiting;
// a missing or unreadable resource is reported in an error box titled Name.
void PlayWaveResource(const QString& name);

// The About box: borderless, shaped like its picture, on top, dragged by any
// point of its surface except the link and the two icons.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* main_window);

  // Places the box over the main window, fills the system information and
  // shows it modally (the "About" menu item).
  void Open();
  // Open's first steps, without showing the box.
  void PlaceAndFill();

  QString SystemInformation() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* main_window_;
  QLabel* link_ = nullptr;         // Label2
  QLabel* information_ = nullptr;  // Label4
  QLabel* sound_icon_ = nullptr;   // Image2
  QLabel* close_icon_ = nullptr;   // Image3
  bool dragging_ = false;
  QPoint drag_offset_;
};

}  // namespace quill
