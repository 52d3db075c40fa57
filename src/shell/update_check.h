#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QShowEvent;

namespace quill {

class MainWindow;

// The maker's web server, holding "/update.txt" (the newest version string)
// and "/downloads.php" (the download page).
inline const QString kUpdateServerAddress = "http://www.quillmarsh.com";

// The window's texts, replaced by key from a language file.
struct UpdateCheckMessages {
  QString getting = "Getting update info...";
  QString failed_status = "Cannot get info...";
  QString failed_box = "Cannot retrieve update info from Quillmarsh Web Site.";
  QString retrieved = "Update info retrieved...";
  QString new_version_1 = "New version";
  QString new_version_2 = "available ! Your version is";
  QString new_version_3 = "Would you like to visit Quillmarsh web site ?";
  QString up_to_date = "You are up to date.";
};

// The first 256 bytes of the resource at url, exactly as received; empty when
// the server cannot be reached, answers with an error status or the read
// fails. Waits for the answer without taking user input meanwhile.
QByteArray DownloadUrlText(const QUrl& url);

// "Quillmarsh Update": reads the newest version from the maker's web server,
// compares it with the running version and offers the download page.
class UpdateCheckDialog : public QDialog {
  Q_OBJECT

 public:
  // server_address: scheme and host of the maker's web server.
  explicit UpdateCheckDialog(MainWindow& main_window, QString server_address = kUpdateServerAddress);

  UpdateCheckMessages& messages() { return messages_; }

  // "Check for update": the check, its message, then the window closes.
  void CheckForUpdate();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  MainWindow& main_window_;
  QString server_address_;
  UpdateCheckMessages messages_;
  QLabel* status_ = nullptr;  // Label1
};

}  // namespace quill
