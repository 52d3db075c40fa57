#include "shell/about_box.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>
#include <algorithm>

#include "generator/script_header.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/shell_resources.h"
#include "shell/system_information.h"
#include "shell/wave_player.h"

namespace quill {

namespace {

constexpr int kBoxWidth = 256;
constexpr int kBoxHeight = 321;

QLabel* AddIcon(QWidget* parent, const QString& object_name, const QString& picture, int x, int y) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(object_name);
  icon->setPixmap(QPixmap(picture));
  icon->setGeometry(x, y, 17, 17);
  icon->setCursor(Qt::PointingHandCursor);
  return icon;
}

}  // namespace

QRegion BitmapToRegion(const QImage& bitmap, QRgb key_color) {
  QRegion region;
  const QRgb key = key_color & 0xFFFFFF;
  for (int y = 0; y < bitmap.height(); ++y) {
    int x = 0;
    while (x < bitmap.width()) {
      while (x < bitmap.width() && (bitmap.pixel(x, y) & 0xFFFFFF) == key) ++x;
      const int start = x;
      while (x < bitmap.width() && (bitmap.pixel(x, y) & 0xFFFFFF) != key) ++x;
      if (x > start) region += QRect(start, y, x - start, 1);
    }
  }
  return region;
}

void PlayWaveResource(const QString& name) {
  EnsureShellResources();
  const QString path = ":/sounds/" + name;
  if (!QFile::exists(path)) {
    DialogPresenter::Current().ShowMessage(nullptr, name, "Could not find this Resource", MessageIcon::Error,
                                           MessageButtons::Ok, false, std::nullopt);
    return;
  }
  QFile resource(path);
  const std::optional<WaveSound> sound =
      resource.open(QIODevice::ReadOnly) ? ParseWave(resource.readAll()) : std::nullopt;
  if (!sound) {
    DialogPresenter::Current().ShowMessage(nullptr, name, "Could not load this Resource", MessageIcon::Error,
                                           MessageButtons::Ok, false, std::nullopt);
    return;
  }
  PlayWave(*sound);
}

AboutBox::AboutBox(QWidget* main_window)
    : QDialog(main_window, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      main_window_(main_window) {
  EnsureShellResources();
  setObjectName("Form3");
  setWindowTitle(QString("Quillmarsh v.") + kProgramVersion);
  setFixedSize(kBoxWidth, kBoxHeight);

  const QImage picture(":/pictures/about.png");
  auto* background = new QLabel(this);
  background->setObjectName("Image1");
  background->setPixmap(QPixmap::fromImage(picture));
  background->setGeometry(0, 0, kBoxWidth, kBoxHeight);
  // The picture's transparent colour is its bottom-left pixel's.
  if (!picture.isNull()) setMask(BitmapToRegion(picture, picture.pixel(0, picture.height() - 1)));

  // The texts and icons lie on the picture.
  auto* title = new QLabel(QString("Quillmarsh v.") + kProgramVersion, background);
  title->setObjectName("Label1");
  title->setGeometry(0, 30, kBoxWidth, 24);
  title->setAlignment(Qt::AlignCenter);
  title->setStyleSheet("color: white; font-weight: bold;");

  link_ = new QLabel(kMakerWebSiteShown, background);
  link_->setObjectName("Label2");
  link_->setGeometry(61, 88, 144, std::max(13, link_->sizeHint().height()));
  link_->setAlignment(Qt::AlignCenter);
  link_->setCursor(Qt::PointingHandCursor);
  link_->setStyleSheet("color: #1f4e79; text-decoration: underline;");

  information_ = new QLabel(background);
  information_->setObjectName("Label4");
  information_->setGeometry(40, 128, 178, 121);
  information_->setMinimumSize(178, 121);
  information_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont small = information_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  information_->setFont(small);

  sound_icon_ = AddIcon(background, "Image2", ":/pictures/sound.png", 120, 264);
  close_icon_ = AddIcon(background, "Image3", ":/pictures/close.png", 216, 8);
  for (QLabel* control : {link_, sound_icon_, close_icon_}) control->installEventFilter(this);
}

void AboutBox::PlaceAndFill() {
  if (main_window_ != nullptr) {
    const QRect main = main_window_->frameGeometry();
    PlaceWindowFrame(this, QPoint(main.left() + main.width() / 2 - 130, main.top() + main.height() / 2 - 141));
  }
  QString text = QString::fromStdString(SystemInformationText(ReadSystemFacts()));
  // A label breaks lines at LF; the CR of each line end would show as a glyph.
  information_->setText(text.replace("\r\n", "\n"));
  // At least its designed size, wider for a long system name up to the
  // edge of the picture's light panel, where a longer line wraps.
  const int widest = width() - 60;
  information_->setWordWrap(false);
  const int text_width = information_->sizeHint().width();
  information_->setWordWrap(text_width > widest);
  const int label_width = std::max(178, std::min(text_width, widest));
  const int text_height = information_->wordWrap() ? information_->heightForWidth(label_width)
                                                  : information_->sizeHint().height();
  information_->resize(label_width, std::max(121, text_height));
}

void AboutBox::Open() {
  PlaceAndFill();
  exec();
}

QString AboutBox::SystemInformation() const { return information_->text(); }

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && watched == link_) {
    QDesktopServices::openUrl(QUrl(kMakerWebSite));
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease && watched == sound_icon_) {
    PlayWaveResource("SOUND1");
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease && watched == close_icon_) {
    close();
    return true;
  }
  // The controls act as buttons: their presses never start a drag.
  if (event->type() == QEvent::MouseButtonPress) return true;
  return QDialog::eventFilter(watched, event);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
  dragging_ = true;
  drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void AboutBox::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move(event->globalPosition().toPoint() - drag_offset_);
}

void AboutBox::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QDialog::mouseReleaseEvent(event);
}

}  // namespace quill
