#include "shell/update_check.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "generator/script_header.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/main_window.h"

namespace quill {
namespace {

constexpr int kDesignedWidth = 204;
constexpr int kDesignedHeight = 186;
constexpr qint64 kMaximumReadBytes = 256;
// A server that accepts the connection but never answers must not hold the
// window for ever.
constexpr int kTransferTimeoutMilliseconds = 30000;
const QString kUpdateBoxTitle = QString(kProductName) + ".";

// The proxies of the system's settings, as for any other program.
class SystemProxyFactory : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

}  // namespace

QByteArray DownloadUrlText(const QUrl& url) {
  QNetworkAccessManager manager;
  manager.setProxyFactory(new SystemProxyFactory);
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
  request.setTransferTimeout(kTransferTimeoutMilliseconds);
  QNetworkReply* reply = manager.get(request);

  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
    if (reply->bytesAvailable() >= kMaximumReadBytes) loop.quit();
  });
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

  QByteArray text;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  // An error page is no version text.
  if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) text = reply->read(kMaximumReadBytes);
  reply->abort();
  delete reply;
  return text;
}

UpdateCheckDialog::UpdateCheckDialog(MainWindow& main_window, QString server_address)
    : QDialog(&main_window), main_window_(main_window), server_address_(std::move(server_address)) {
  setObjectName("Form8");
  setWindowTitle("Quillmarsh Update");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kDesignedWidth, kDesignedHeight);

  // The busy indicator plays while the window is open.
  auto* animation = new QProgressBar(this);
  animation->setObjectName("Animate1");
  animation->setRange(0, 0);
  animation->setTextVisible(false);
  animation->setGeometry(22, 16, 160, 20);

  status_ = new QLabel(this);
  status_->setObjectName("Label1");
  status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  status_->setGeometry(8, 60, 188, 60);

  auto* check = new QPushButton("Check for update", this);
  check->setObjectName("Button1");
  check->setGeometry(40, 140, 124, 25);
  connect(check, &QPushButton::clicked, this, [this] { CheckForUpdate(); });
}

void UpdateCheckDialog::showEvent(QShowEvent* event) {
  // Wider where its title needs it (a language may have changed it), its
  // controls centred in the width.
  const int window_width = std::max(kDesignedWidth, TitleBarWidth(*this));
  if (window_width != width()) {
    setFixedSize(window_width, kDesignedHeight);
    findChild<QWidget*>("Animate1")->move((window_width - 160) / 2, 16);
    status_->resize(window_width - 16, status_->height());
  }
  // The button keeps its designed place, centred and wider when its caption needs it.
  if (auto* check = findChild<QPushButton*>("Button1")) {
    const int width = std::min(this->width() - 16, std::max(124, check->sizeHint().width()));
    check->setGeometry((this->width() - width) / 2, 140, width, std::max(25, check->sizeHint().height()));
  }
  const QRect main = main_window_.frameGeometry();
  PlaceWindowFrame(this, QPoint(main.left() + main.width() / 2 - 124, main.top() + main.height() / 2 - 92));
  QDialog::showEvent(event);
}

void UpdateCheckDialog::CheckForUpdate() {
  status_->setText(messages_.getting);
  status_->repaint();
  const QByteArray text = DownloadUrlText(QUrl(server_address_ + "/update.txt"));

  if (main_window_.isMinimized()) main_window_.setWindowState(main_window_.windowState() & ~Qt::WindowMinimized);
  main_window_.raise();
  main_window_.activateWindow();

  DialogPresenter& dialogs = DialogPresenter::Current();
  if (text.isEmpty()) {
    status_->setText(messages_.getting + "\r\n" + messages_.failed_status);
    status_->repaint();
    dialogs.ShowMessage(this, kUpdateBoxTitle, messages_.failed_box, MessageIcon::Warning, MessageButtons::Ok, false,
                        std::nullopt);
  } else {
    status_->setText(messages_.getting + "\r\n" + messages_.retrieved);
    if (text != QByteArray(kProgramVersion)) {
      // Shown as the bytes came, read as Latin-1 so that no byte is lost.
      const QString question = messages_.new_version_1 + " (" + QString::fromLatin1(text) + ") " +
                               messages_.new_version_2 + " (" + kProgramVersion + "). " + messages_.new_version_3;
      if (dialogs.ShowMessage(this, kUpdateBoxTitle, question, MessageIcon::Question, MessageButtons::YesNo, false,
                              std::nullopt) == MessageAnswer::Yes)
        QDesktopServices::openUrl(QUrl(server_address_ + "/downloads.php"));
    } else {
      dialogs.ShowMessage(this, kUpdateBoxTitle, messages_.up_to_date, MessageIcon::Information, MessageButtons::Ok,
                          false, std::nullopt);
    }
  }
  status_->clear();
  close();
}

}  // namespace quill
