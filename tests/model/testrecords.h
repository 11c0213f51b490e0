#pragma once

#include "model/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

// Records and folders for the model and command-line tests.
namespace TestRecords {

// A language with every field set (slots after the first free one and validscope 10 too), its
// texts drawn from ASCII (NUL, "/" and "." among it) and characters that windows-1252 holds, so it
// comes back unchanged; names run up to 300 characters.
inline Language randomLanguage(QRandomGenerator &rng)
{
    static const QString pool = QString::fromUtf8("abcXYZ 019<>\"'&/.\\\r\n\t\xc3\xa9\xc3\x9f\xe2\x82\xac\xe2\x80\x9c\xc3\xbf")
        + QChar(0);
    auto t = [&rng](int maxLen = 12) {
        QString s;
        for (int i = rng.bounded(maxLen + 1); i > 0; --i)
            s.append(pool[rng.bounded(int(pool.size()))]);
        return s;
    };
    auto n = [&rng] { return qint32(rng.generate()); };
    Language l{t(300), n(), n(), t(), n(), t(), t(400), {}};
    for (Tokenset &s : l.tokensets) {
        s = {t(), t(), t(), n(), t(), t(), n(), n(), n(), n(), n(), n(), n(), n(), n(), n(), n(),
             t(), t(200), t(50), n(), t(), t(), t(), {}};
        for (QString &v : s.validscope)
            v = t();
    }
    return l;
}

// Makes a folder refuse new files, even for root (the immutable attribute), until destroyed.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path)
        : path_(path)
    {
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile probe(QDir(path).filePath(QStringLiteral(".probe")));
        holds_ = !probe.open(QIODevice::WriteOnly);
        probe.remove();
    }
    ~ReadOnlyFolder()
    {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool holds() const { return holds_; }

private:
    QString path_;
    bool holds_ = false;
};

} // namespace TestRecords
