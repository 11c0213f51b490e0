#pragma once

#include "model/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>

// Records and folders for the model tests.
namespace TestRecords {

// A text of up to maxLen characters drawn from ASCII, Latin-1 and windows-1252's upper half, all of
// which the default code page holds, so it comes back unchanged.
inline QString randomText(QRandomGenerator &rng, int maxLen)
{
    static const QString pool = QString::fromUtf8("abcXYZ 019<>\"'&\\\r\n\t\xc3\xa9\xc3\xbc\xc3\x9f\xe2\x82\xac\xe2\x80\x9c\xc5\x93\xc3\xbf");
    const int len = rng.bounded(maxLen + 1);
    QString s;
    for (int i = 0; i < len; ++i)
        s.append(pool[rng.bounded(int(pool.size()))]);
    return s;
}

// A language with every field set, including slots after the first free one and validscope 10.
inline Language randomLanguage(QRandomGenerator &rng)
{
    auto n = [&rng] { return qint32(rng.generate()); };
    auto t = [&rng](int len = 12) { return randomText(rng, len); };
    Language l;
    l.name = t();
    l.casesensitive = n();
    l.applycase = n();
    l.wordchars = t();
    l.whitespaceasparamblock = n();
    l.memberlist = t();
    l.sampletext = t(400);
    for (Tokenset &s : l.tokensets) {
        s = {t(), t(), t(), n(), t(), t(), n(), n(), n(), n(), n(), n(), n(), n(), n(), n(), n(),
             t(), t(200), t(50), n(), t(), t(), t(), {}};
        for (QString &v : s.validscope)
            v = t();
    }
    return l;
}

// A folder that cannot take new files, even for root (the immutable attribute). Undone on destruction.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path)
        : path_(path)
    {
        ok_ = run(QStringLiteral("+i"));
        if (!ok_)
            ok_ = QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        run(QStringLiteral("-i"));
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // True when the folder really refuses new files.
    bool holds() const
    {
        QFile probe(QDir(path_).filePath(QStringLiteral(".probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            return false;
        }
        return ok_;
    }

private:
    bool run(const QString &flag)
    {
        return QProcess::execute(QStringLiteral("chattr"), {flag, path_}) == 0;
    }
    QString path_;
    bool ok_ = false;
};

} // namespace TestRecords
