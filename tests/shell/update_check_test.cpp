#include "shell/update_check.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>

#include "options_dialogs_fixture.h"

namespace quill {
namespace {

// A one-file web server on 127.0.0.1: answers every request with the status
// and body it is given, and records what it was asked.
class VersionServer : public QObject {
 public:
  VersionServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
      }
    });
  }

  QString Address() const { return QString("http://127.0.0.1:%1").arg(server_.serverPort()); }
  void Serve(QByteArray status_line, QByteArray body) {
    status_line_ = std::move(status_line);
    body_ = std::move(body);
  }
  const QByteArray& request() const { return request_; }

 private:
  void Answer(QTcpSocket* socket) {
    request_ += socket->readAll();
    if (!request_.contains("\r\n\r\n")) return;
    socket->write(status_line_ + "\r\nContent-Length: " + QByteArray::number(body_.size()) +
                  "\r\nConnection: close\r\n\r\n" + body_);
    socket->disconnectFromHost();
  }

  QTcpServer server_;
  QByteArray status_line_ = "HTTP/1.1 200 OK";
  QByteArray body_;
  QByteArray request_;
};

// Stands in for the web browser: a text browser's setSource slot receives
// the page the program opens.
class PageRecorder {
 public:
  PageRecorder() {
    browser_.setOpenLinks(false);
    QDesktopServices::setUrlHandler("http", &browser_, "setSource");
  }
  ~PageRecorder() { QDesktopServices::unsetUrlHandler("http"); }
  // Empty while no page was opened.
  QUrl OpenedPage() const { return browser_.source(); }

 private:
  QTextBrowser browser_;
};

class UpdateCheckTest : public testing::OptionsDialogsTest {
 protected:
  // Shows the window, clicks "Check for update" and returns the one message.
  testing::ShownMessage Check(const QString& address) {
    UpdateCheckDialog dialog(Window(), address);
    dialog.show();
    FindIn<QPushButton>(dialog, "Button1")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(FindIn<QLabel>(dialog, "Label1")->text(), "");
    EXPECT_EQ(dialogs_.messages().size(), 1u);
    return dialogs_.messages().empty() ? testing::ShownMessage() : dialogs_.messages().back();
  }

  VersionServer server_;
};

QString NewVersionQuestion(const QString& version) {
  return "New version (" + version + ") available ! Your version is (1.6.4.28). Would you like to visit Quillmarsh "
         "web site ?";
}

TEST_F(UpdateCheckTest, TheRunningVersionIsUpToDate) {
  const PageRecorder pages;
  server_.Serve("HTTP/1.1 200 OK", "1.6.4.28");
  const testing::ShownMessage shown = Check(server_.Address());
  EXPECT_EQ(shown.text, "You are up to date.");
  EXPECT_EQ(shown.title, "Quillmarsh.");
  EXPECT_EQ(shown.icon, MessageIcon::Information);
  EXPECT_TRUE(server_.request().startsWith("GET /update.txt HTTP/1.1\r\n")) << server_.request().toStdString();
  EXPECT_TRUE(server_.request().contains("User-Agent: test_shell\r\n")) << server_.request().toStdString();
  EXPECT_EQ(pages.OpenedPage(), QUrl());
}

TEST_F(UpdateCheckTest, AnyOtherVersionTextIsANewVersionAndYesOpensTheDownloadPage) {
  struct Case {
    QByteArray served;
    MessageAnswer answer;
  };
  const Case cases[] = {
      {"1.6.5.0", MessageAnswer::Yes},
      {"1.6.4.27", MessageAnswer::No},      // older
      {"1.6.4.28\r\n", MessageAnswer::No},  // trailing line break
  };
  for (const Case& test : cases) {
    testing::ScriptedDialogs dialogs;
    dialogs.AnswerQuestion(test.answer);
    server_.Serve("HTTP/1.1 200 OK", test.served);
    const PageRecorder pages;
    UpdateCheckDialog dialog(Window(), server_.Address());
    dialog.show();
    dialog.CheckForUpdate();
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, NewVersionQuestion(QString::fromLatin1(test.served)));
    EXPECT_EQ(dialogs.messages()[0].title, "Quillmarsh.");
    EXPECT_EQ(dialogs.messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.messages()[0].buttons, MessageButtons::YesNo);
    const QUrl expected_page = test.answer == MessageAnswer::Yes ? QUrl(server_.Address() + "/downloads.php") : QUrl();
    EXPECT_EQ(pages.OpenedPage(), expected_page);
  }
}

TEST_F(UpdateCheckTest, OnlyTheFirst256BytesAreRead) {
  const QByteArray long_text(300, '9');
  server_.Serve("HTTP/1.1 200 OK", long_text);
  EXPECT_EQ(DownloadUrlText(QUrl(server_.Address() + "/update.txt")), long_text.left(256));
}

TEST_F(UpdateCheckTest, AnUnreadableVersionCannotBeRetrieved) {
  struct Case {
    const char* what;
    QByteArray status_line;
    QByteArray body;
    bool server_closed;
  };
  const Case cases[] = {
      {"empty file", "HTTP/1.1 200 OK", "", false},
      {"missing file", "HTTP/1.1 404 Not Found", "<html>Not Found</html>", false},
      {"server error", "HTTP/1.1 500 Internal Server Error", "1.6.4.29", false},
      {"nobody listening", "HTTP/1.1 200 OK", "1.6.4.29", true},
  };
  for (const Case& test : cases) {
    testing::ScriptedDialogs dialogs;
    QString address = server_.Address();
    std::unique_ptr<VersionServer> closed;
    if (test.server_closed) {
      closed = std::make_unique<VersionServer>();
      address = closed->Address();
      closed.reset();  // the port is free again: the connection is refused
    }
    server_.Serve(test.status_line, test.body);
    UpdateCheckDialog dialog(Window(), address);
    dialog.show();
    dialog.CheckForUpdate();
    EXPECT_FALSE(dialog.isVisible()) << test.what;
    ASSERT_EQ(dialogs.messages().size(), 1u) << test.what;
    EXPECT_EQ(dialogs.messages()[0].text, "Cannot retrieve update info from Quillmarsh Web Site.") << test.what;
    EXPECT_EQ(dialogs.messages()[0].title, "Quillmarsh.");
    EXPECT_EQ(dialogs.messages()[0].icon, MessageIcon::Warning);
  }
}

TEST_F(UpdateCheckTest, OpensOverTheMainWindow) {
  UpdateCheckDialog dialog(Window(), server_.Address());
  EXPECT_EQ(dialog.objectName(), "Form8");
  EXPECT_EQ(dialog.windowTitle(), "Quillmarsh Update");
  dialog.show();
  const QRect main = Window().frameGeometry();
  EXPECT_EQ(dialog.pos(), QPoint(main.left() + main.width() / 2 - 124, main.top() + main.height() / 2 - 92));
}

}  // namespace
}  // namespace quill
