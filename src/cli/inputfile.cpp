#include "cli/inputfile.h"

#include "model/ansicodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstdio>

namespace Cli {

QString inputName(const QString &name)
{
    return name == QLatin1String("-") ? QStringLiteral("(standard input)") : name;
}

bool readInput(const QString &name, qint64 limit, QByteArray &bytes, QString &problem)
{
    const QString shown = inputName(name);
    QFile file;
    bool opened = false;
    if (name == QLatin1String("-")) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        const QFileInfo info(name);
        if (info.exists() && !info.isFile()) {
            problem = QStringLiteral("%1: not a regular file (folders, pipes and devices are not read)").arg(shown);
            return false;
        }
        file.setFileName(name);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        problem = QStringLiteral("%1: cannot read: %2").arg(shown, file.errorString());
        return false;
    }
    bytes.clear();
    while (bytes.size() <= limit) {
        const QByteArray chunk = file.read(std::min<qint64>(limit + 1 - bytes.size(), qint64(1) << 20));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        problem = QStringLiteral("%1: cannot read: %2").arg(shown, file.errorString());
        return false;
    }
    if (bytes.size() > limit) {
        bytes.clear();
        problem = QStringLiteral("%1: longer than %2 bytes, more than it can use").arg(shown).arg(limit);
        return false;
    }
    return true;
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return AnsiCodec::decode(bytes);
}

} // namespace Cli
