#include "cli/output.h"

#include "cli/command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Cli {

namespace {

int outputError = 0; // errno of the first write to standard output that failed

} // namespace

void out(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) && !outputError)
        outputError = errno ? errno : EIO;
}

void outLine(const QString &line)
{
    out(line.toUtf8() + '\n');
}

int fail(int code, const QString &message)
{
    QString line = message;
    line.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
    std::fputs(("varlex-cli: " + line + '\n').toUtf8().constData(), stderr);
    return code;
}

QString oneLine(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': escaped += QLatin1String("\\\\"); break;
        case u'\t': escaped += QLatin1String("\\t"); break;
        case u'\r': escaped += QLatin1String("\\r"); break;
        case u'\n': escaped += QLatin1String("\\n"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

int finish(int code)
{
    if (std::fflush(stdout) != 0 && !outputError)
        outputError = errno ? errno : EIO;
    if (std::ferror(stdout) && !outputError)
        outputError = EIO;
    if (!outputError)
        return code;
    fail(CheckFailed, QStringLiteral("cannot write to standard output: %1").arg(QString::fromLocal8Bit(std::strerror(outputError))));
    return code == Ok ? CheckFailed : code;
}

} // namespace Cli
