#include "common/testutil.h"
#include "online/dailymessage.h"
#include "online/onlineconfig.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

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

} // namespace

TEST(DailyMessage, FirstLineOfTheDownloadedFile)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"Varlex 1.2 is out.\r\nSecond line\r\nThird\r\n", QStringLiteral("Varlex 1.2 is out.")},
        {"First\nSecond\n", QStringLiteral("First")},
        {"Only line", QStringLiteral("Only line")},
        {"Caf\xe9 au lait\r\n", QStringLiteral("Caf\u00e9 au lait")}, // ANSI text
        {"\r\nSecond\r\n", QString()},
        {"", DailyMessage::kNoAccess},
    };
    for (const auto &[body, result] : cases) {
        TempFolder program;
        MessageServer server(200, body);
        EXPECT_EQ(DailyMessage::download(server.config(), program.path(), 10000), result) << body.constData();
        EXPECT_EQ(program.read(DailyMessage::kFileName), body);
        EXPECT_TRUE(server.request_.startsWith("GET /files/varlexmessage.txt HTTP/1.1\r\n"));
    }
    // A program folder that cannot be written.
    TempFolder program;
    MessageServer server(200, "Hello\r\n");
    EXPECT_EQ(DailyMessage::download(server.config(), program.file(QStringLiteral("missing/folder")), 10000),
              DailyMessage::kNoAccess);
}

TEST(DailyMessage, FailedDownloadKeepsTheOlderFile)
{
    TempFolder program;
    program.write(DailyMessage::kFileName, "Yesterday's message\r\n");
    OnlineConfig down;
    {
        MessageServer notFound(404, "<html>no such file</html>");
        EXPECT_EQ(DailyMessage::download(notFound.config(), program.path(), 10000), DailyMessage::kNotFound);
        MessageServer silent(200, "", false);
        EXPECT_EQ(DailyMessage::download(silent.config(), program.path(), 300), DailyMessage::kNotFound);
        down = notFound.config(); // the port is free again once the server is gone
    }
    EXPECT_EQ(DailyMessage::download(down, program.path(), 10000), DailyMessage::kNotFound);
    EXPECT_EQ(program.read(DailyMessage::kFileName), QByteArray("Yesterday's message\r\n"));
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
