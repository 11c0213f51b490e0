#include "online/dailymessage.h"

#include "model/ansicodec.h"
#include "model/atomicfile.h"
#include "online/onlineconfig.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QCursor>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace {

// A message is one line; anything far bigger is not a message file.
constexpr qint64 kMaxBytes = 1 << 20;

// Restores the cursor however the download ends.
class BusyCursor {
public:
    BusyCursor()
    {
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            active_ = false;
    }
    ~BusyCursor()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool active_ = true;
};

// The body of a successful GET, or nothing when the server cannot be reached, answers with an
// error status, sends too much or does not finish in time.
std::optional<QByteArray> fetch(const QUrl &url, int timeoutMs)
{
    if (!url.isValid())
        return std::nullopt;
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = manager.get(request);

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxBytes)
            reply->abort();
    });
    deadline.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    std::optional<QByteArray> body;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && (status == 0 || (status >= 200 && status < 300)))
        body = reply->readAll();
    reply->deleteLater();
    return body;
}

} // namespace

namespace DailyMessage {

QString download(const OnlineConfig &config, const QString &programFolder, int timeoutMs)
{
    BusyCursor busy;
    const QString path = QDir(programFolder).filePath(kFileName);

    const std::optional<QByteArray> body = fetch(QUrl(config.messageUrl()), timeoutMs);
    if (!body)
        return kNotFound;

    if (!AtomicFile::write(path, *body))
        return kNoAccess;

    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return kNoAccess;
    const QByteArray bytes = in.read(kMaxBytes);
    // An empty file has no first line to read.
    if (bytes.isEmpty())
        return kNoAccess;
    qsizetype end = bytes.indexOf('\r');
    const qsizetype lf = bytes.indexOf('\n');
    if (end < 0 || (lf >= 0 && lf < end))
        end = lf;
    return AnsiCodec::decode(end < 0 ? bytes : bytes.left(end));
}

} // namespace DailyMessage
