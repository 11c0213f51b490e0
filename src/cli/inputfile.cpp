#include "cli/inputfile.h"

#include "model/ansicodec.h"
#include "model/boundedread.h"
#include "model/nativename.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace Cli {

QString inputName(const QString &name)
{
    return name == QLatin1String("-") ? QStringLiteral("(standard input)") : NativeName::shown(name);
}

bool readInput(const QString &name, qint64 limit, QByteArray &bytes, QString &problem)
{
    QString cause;
    bool read = false;
    if (name == QLatin1String("-")) {
        QFile in;
        if (in.open(stdin, QIODevice::ReadOnly))
            read = BoundedRead::device(in, limit, bytes, cause);
        else
            cause = QStringLiteral("cannot read: ") + in.errorString();
    } else {
        read = BoundedRead::file(name, limit, bytes, cause);
    }
    if (!read)
        problem = inputName(name) + QStringLiteral(": ") + cause;
    return read;
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
