#pragma once

#include "model/database.h"

#include <QRandomGenerator>

// Records for the model and command-line tests.
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

} // namespace TestRecords
