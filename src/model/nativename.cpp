#include "model/nativename.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr char16_t kFirstKept = 0xDC80;

bool isKept(QChar c)
{
    return c.unicode() >= kFirstKept && c.unicode() <= 0xDCFF;
}

bool exists(const QString &path)
{
    struct stat info;
    return ::lstat(NativeName::toBytes(path).constData(), &info) == 0;
}

// The names of a folder, as bytes, that a dialog would show as `shown`.
QList<QByteArray> namesShownAs(const QString &folder, const QString &shown)
{
    QList<QByteArray> found;
    DIR *dir = ::opendir(folder.isEmpty() ? "." : NativeName::toBytes(folder).constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == shown)
            found.append(name);
    }
    ::closedir(dir);
    return found;
}

} // namespace

namespace NativeName {

QString fromBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString whole = utf8.decode(bytes);
    if (!utf8.hasError())
        return whole;
    // Decoded sequence by sequence: a byte that does not begin a valid sequence is kept as it is.
    QString name;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length > 0 && i + length <= bytes.size()) {
            QStringDecoder one(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString part = one.decode(QByteArrayView(bytes.constData() + i, length));
            if (!one.hasError()) {
                name += part;
                i += length;
                continue;
            }
        }
        name += QChar(char16_t(kFirstKept + (lead & 0x7F)));
        ++i;
    }
    return name;
}

QByteArray toBytes(const QString &name)
{
    if (std::none_of(name.begin(), name.end(), isKept))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isKept(name[i]))
            continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        if (i < name.size())
            bytes += char(0x80 + (name[i].unicode() - kFirstKept));
        from = i + 1;
    }
    return bytes;
}

QString shown(const QString &name)
{
    QString out;
    for (QChar c : name)
        out += isKept(c) ? QStringLiteral("\\x") + QString::number(0x80 + (c.unicode() - kFirstKept), 16).toUpper() : QString(c);
    return out;
}

} // namespace NativeName

QString NativeName::fromDialog(const QString &path)
{
    if (!path.contains(QChar::ReplacementCharacter) || exists(path))
        return path;
    const QStringList parts = path.split(u'/');
    QString built;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        const QString folder = i == 0 ? QString() : (built.isEmpty() ? QStringLiteral("/") : built);
        if (part.contains(QChar::ReplacementCharacter) && !exists(i == 0 ? part : folder + u'/' + part)) {
            if (const QList<QByteArray> names = namesShownAs(folder, part); names.size() == 1)
                part = fromBytes(names.first());
        }
        built = i == 0 ? part : built + u'/' + part;
    }
    return built;
}
