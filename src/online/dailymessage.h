#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

struct OnlineConfig;
class QNetworkAccessManager;

// Fetches the daily message into programFolder/varlexmessage.txt without blocking anything: start()
// returns at once, the event loop goes on, and finished() brings the text for the status bar, its
// first line. A failed download (no answer, an HTTP error, no answer within the time) keeps any
// older file and gives kNotFound; a downloaded file that is empty or cannot be written or read
// gives kNoAccess. cancel() ends a running fetch without finished().
class DailyMessage : public QObject {
    Q_OBJECT
public:
    inline static const QString kFileName = QStringLiteral("varlexmessage.txt");
    inline static const QString kNotFound = QStringLiteral("Could not find Varlex message");
    inline static const QString kNoAccess =
        QStringLiteral("Could not access the Varlex server to retrieve daily message!");

    DailyMessage(const OnlineConfig &config, const QString &programFolder, int timeoutMs = 15000,
                 QObject *parent = nullptr);
    ~DailyMessage() override;

    void start();
    void cancel();
    bool running() const { return reply_ != nullptr; }

Q_SIGNALS:
    // Bytes received so far and the size the server announced (-1 when it did not).
    void progress(qint64 received, qint64 total);
    void finished(const QString &text);

private:
    void done();
    QString store(const QByteArray &body) const;

    QString url_;
    QString folder_;
    int timeoutMs_;
    QNetworkAccessManager *manager_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
};
