#pragma once

#include <QString>

struct OnlineConfig;

namespace DailyMessage {

inline const QString kFileName = QStringLiteral("varlexmessage.txt");
inline const QString kNotFound = QStringLiteral("Could not find Varlex message");
inline const QString kNoAccess =
    QStringLiteral("Could not access the Varlex server to retrieve daily message!");

// Fetches the daily message into programFolder/varlexmessage.txt and returns its first line.
// A failed download (no answer, an HTTP error, a timeout) keeps any older file and returns
// kNotFound; a downloaded file that is empty or cannot be written or read returns kNoAccess.
// The call blocks its caller (a local event loop keeps the window painted) for at most timeoutMs.
QString download(const OnlineConfig &config, const QString &programFolder, int timeoutMs = 15000);

} // namespace DailyMessage
