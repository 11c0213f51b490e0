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
class MessageServer {
public:
    // An empty status leaves every request unanswered.
    explicit MessageServer(QByteArray response)
        : response_(std::move(response))
    {
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

    static QByteArray reply(int status, const QByteArray &reason, const QByteArray &body)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: text/plain\r\n"
               "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    OnlineConfig config() const
    {
        OnlineConfig c;
        c.host = QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort());
        return c;
    }
    QByteArray request() const { return request_; }

private:
    QTcpServer server_;
    QByteArray response_;
    QByteArray request_;
};

} // namespace

TEST(DailyMessage, FirstLineOfTheDownloadedFile)
{
    const struct {
        const char *name;
        int status;
        QByteArray body;
        QString result;
    } cases[] = {
        {"several lines", 200, "Varlex 1.2 is out.\r\nSecond line\r\nThird\r\n", QStringLiteral("Varlex 1.2 is out.")},
        {"line feeds only", 200, "First\nSecond\n", QStringLiteral("First")},
        {"one line, no end", 200, "Only line", QStringLiteral("Only line")},
        {"ANSI text", 200, "Caf\xe9 au lait\r\n", QStringLiteral("Caf\u00e9 au lait")},
        {"empty line first", 200, "\r\nSecond\r\n", QString()},
        {"empty file", 200, "", DailyMessage::kNoAccess},
    };
    for (const auto &c : cases) {
        TempFolder program;
        MessageServer server(MessageServer::reply(c.status, "OK", c.body));
        EXPECT_EQ(DailyMessage::download(server.config(), program.path(), 10000), c.result) << c.name;
        EXPECT_EQ(program.read(DailyMessage::kFileName), c.body) << c.name;
        EXPECT_TRUE(server.request().startsWith("GET /files/varlexmessage.txt HTTP/1.1\r\n")) << c.name;
    }
}

TEST(DailyMessage, FailedDownloadKeepsTheOlderFile)
{
    TempFolder program;
    program.write(DailyMessage::kFileName, "Yesterday's message\r\n");

    {
        MessageServer notFound(MessageServer::reply(404, "Not Found", "<html>no such file</html>"));
        EXPECT_EQ(DailyMessage::download(notFound.config(), program.path(), 10000), DailyMessage::kNotFound);
    }
    {
        MessageServer silent{QByteArray()};
        EXPECT_EQ(DailyMessage::download(silent.config(), program.path(), 300), DailyMessage::kNotFound);
    }
    OnlineConfig down;
    {
        MessageServer closed(QByteArray("x"));
        down = closed.config(); // the port is free again once the server is gone
    }
    EXPECT_EQ(DailyMessage::download(down, program.path(), 10000), DailyMessage::kNotFound);

    EXPECT_EQ(program.read(DailyMessage::kFileName), QByteArray("Yesterday's message\r\n"));
}

TEST(DailyMessage, UnwritableProgramFolderCannotAccess)
{
    TempFolder program;
    MessageServer server(MessageServer::reply(200, "OK", "Hello\r\n"));
    EXPECT_EQ(DailyMessage::download(server.config(), program.file(QStringLiteral("missing/folder")), 10000),
              DailyMessage::kNoAccess);
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
