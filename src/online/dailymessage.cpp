#include "online/dailymessage.h"

#include "model/ansicodec.h"
#include "model/atomicfile.h"
#include "model/boundedread.h"
#include "online/onlineconfig.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// A message is one line; anything far bigger is not a message file.
constexpr qint64 kMaxBytes = 1 << 20;

} // namespace

DailyMessage::DailyMessage(const OnlineConfig &config, const QString &programFolder, int timeoutMs, QObject *parent)
    : QObject(parent)
    , url_(config.messageUrl())
    , folder_(programFolder)
    , timeoutMs_(timeoutMs)
    , manager_(new QNetworkAccessManager(this))
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (reply_)
            reply_->abort(); // finished() follows, with an error
    });
}

DailyMessage::~DailyMessage()
{
    cancel();
}

void DailyMessage::start()
{
    if (running())
        return;
    const QUrl url(url_);
    if (!url.isValid()) {
        QMetaObject::invokeMethod(this, [this] { Q_EMIT finished(kNotFound); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    reply_ = manager_->get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (received > kMaxBytes && reply_)
            reply_->abort();
        Q_EMIT progress(received, total);
    });
    connect(reply_, &QNetworkReply::finished, this, &DailyMessage::done);
    deadline_.start(timeoutMs_);
}

void DailyMessage::cancel()
{
    deadline_.stop();
    if (!reply_)
        return;
    QNetworkReply *reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void DailyMessage::done()
{
    deadline_.stop();
    QNetworkReply *reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && (status == 0 || (status >= 200 && status < 300));
    Q_EMIT finished(ok ? store(reply->readAll()) : kNotFound);
}

// Keeps the body as varlexmessage.txt and returns its first line.
QString DailyMessage::store(const QByteArray &body) const
{
    const QString path = QDir(folder_).filePath(kFileName);
    QByteArray bytes;
    QString problem;
    if (!AtomicFile::write(path, body) || !BoundedRead::file(path, kMaxBytes, bytes, problem))
        return kNoAccess;
    // An empty file has no first line to read.
    if (bytes.isEmpty())
        return kNoAccess;
    qsizetype end = bytes.indexOf('\r');
    const qsizetype lf = bytes.indexOf('\n');
    if (end < 0 || (lf >= 0 && lf < end))
        end = lf;
    return AnsiCodec::decode(end < 0 ? bytes : bytes.left(end));
}
