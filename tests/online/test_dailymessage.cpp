#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "online/dailymessage.h"
#include "online/onlineservices.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QMainWindow>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>

using TestUtil::TempFolder;

namespace {

// A web server on 127.0.0.1 that answers every request with one fixed response, written by hand.
// An empty response leaves every request unanswered.
class MessageServer {
public:
    MessageServer(int status, const QByteArray &body, bool answer = true)
    {
        if (answer)
            response_ = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found")
                + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
                + "\r\nConnection: close\r\n\r\n" + body;
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    request_ += socket->readAll();
                    if (!request_.contains("\r\n\r\n") || response_.isEmpty())
                        return;
                    socket->write(response_);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    OnlineConfig config() const
    {
        OnlineConfig c;
        c.host = QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort());
        return c;
    }
    QByteArray request_;

private:
    QTcpServer server_;
    QByteArray response_;
};

// Runs one fetch to its end; "(no answer)" when it never finishes.
QString fetch(const OnlineConfig &config, const QString &folder, int timeoutMs = 10000)
{
    DailyMessage message(config, folder, timeoutMs);
    QSignalSpy done(&message, &DailyMessage::finished);
    message.start();
    if (done.isEmpty() && !done.wait(timeoutMs + 10000))
        return QStringLiteral("(no answer)");
    return done.at(0).at(0).toString();
}

} // namespace

// The first line of the file that arrives, or why there is none; a failed download keeps the older
// file.
TEST(DailyMessage, FirstLineOfTheDownloadedFileOrWhyNot)
{
    const QByteArray older = "Yesterday's message\r\n";
    const struct {
        int status;
        QByteArray body;
        QString result;
        bool answer = true;
    } cases[] = {
        {200, "Varlex 1.2 is out.\r\nSecond line\r\nThird\r\n", QStringLiteral("Varlex 1.2 is out.")},
        {200, "First\nSecond\n", QStringLiteral("First")},
        {200, "Only line", QStringLiteral("Only line")},
        {200, "Caf\xe9 au lait\r\n", QStringLiteral("Caf\u00e9 au lait")}, // ANSI text
        {200, "\r\nSecond\r\n", QString()},
        {200, "", DailyMessage::kNoAccess},
        {404, "<html>no such file</html>", DailyMessage::kNotFound},
        {200, "", DailyMessage::kNotFound, false}, // no answer within the time
    };
    OnlineConfig gone;
    for (const auto &c : cases) {
        TempFolder program;
        program.write(DailyMessage::kFileName, older);
        MessageServer server(c.status, c.body, c.answer);
        EXPECT_EQ(fetch(server.config(), program.path(), c.answer ? 10000 : 300), c.result) << c.body.constData();
        EXPECT_EQ(program.read(DailyMessage::kFileName), c.result == DailyMessage::kNotFound ? older : c.body);
        EXPECT_TRUE(server.request_.startsWith("GET /files/varlexmessage.txt HTTP/1.1\r\n"));
        gone = server.config(); // the port is free again once the server is gone
    }
    TempFolder program;
    EXPECT_EQ(fetch(gone, program.path()), DailyMessage::kNotFound);
    MessageServer server(200, "Hello\r\n");
    EXPECT_EQ(fetch(server.config(), program.file(QStringLiteral("missing/folder"))), DailyMessage::kNoAccess);
}

// A server that takes the connection and never answers: the command returns at once, the window
// shows progress and goes on working, and Cancel ends the wait without a message.
TEST(DailyMessage, TheWindowStaysUsableAndTheFetchCanBeCancelled)
{
    TempFolder program;
    MessageServer silent(200, "", false);
    QMainWindow window;
    window.show();
    ScriptedDialogs dialogs;
    OnlineServices services(&window, dialogs, program.path(), silent.config());
    QStringList shown;
    services.downloadMessage([&](const QString &text) { shown << text; }, 60000);
    services.downloadMessage([&](const QString &text) { shown << text; }, 60000); // already running
    QTest::qWait(200);
    EXPECT_TRUE(silent.request_.startsWith("GET /files/varlexmessage.txt"));
    EXPECT_EQ(window.findChildren<QWidget *>(QStringLiteral("fraMessageProgress")).size(), 1);
    // The bar gets the width it asks for, its percentage included.
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("prgMessage"));
    ASSERT_TRUE(bar);
    bar->setRange(0, 1000);
    bar->setValue(1000);
    EXPECT_GE(bar->width(), bar->sizeHint().width());
    auto *cancel = window.findChild<QToolButton *>(QStringLiteral("cmdCancelMessage"));
    ASSERT_TRUE(cancel && cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("fraMessageProgress")), nullptr);
    EXPECT_TRUE(shown.isEmpty());

    MessageServer answering(200, "Hello\r\n");
    OnlineServices again(&window, dialogs, program.path(), answering.config());
    again.downloadMessage([&](const QString &text) { shown << text; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 20000));
    EXPECT_EQ(shown, QStringList{QStringLiteral("Hello")});
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("fraMessageProgress")), nullptr);
}

TEST(OnlineConfig, DefaultsAndTheIniFile)
{
    TempFolder program;
    const OnlineConfig defaults = OnlineConfig::load(program.path());
    EXPECT_EQ(defaults.messageUrl(), QStringLiteral("http://www.example.org/files/varlexmessage.txt"));
    program.write(QStringLiteral("online.ini"),
                  "[Online]\nHost=https://varlex.example.net/\nEmail=me@example.net\nSupportPage=\n");
    const OnlineConfig config = OnlineConfig::load(program.path());
    EXPECT_EQ(config.webSiteUrl(), QStringLiteral("https://varlex.example.net/free"));
    EXPECT_EQ(config.email, QStringLiteral("me@example.net"));
    EXPECT_EQ(config.supportPage, defaults.supportPage);
}
