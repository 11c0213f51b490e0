#pragma once

#include "model/language.h"
#include "widgets/dialogs.h"

#include <QStringList>

// Dialogs for measurements in the real window: every question answered OK, nothing chosen.
class NoDialogs : public Dialogs {
public:
    Answer message(QWidget *, const QString &, const QString &, Buttons, Icon) override { return Answer::Ok; }
    void detailed(QWidget *, const QString &, const QString &, const QString &, Icon) override {}
    int choose(QWidget *, const QString &, const QString &, const QStringList &, Icon) override { return 0; }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    qint32 color(QWidget *) override { return -1; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString folder(QWidget *, const QString &, const QString &) override { return {}; }
};

// A large language for the keystroke measurements: 51 included tokensets holding 10,000 tokens (the
// first tokenset `biggest` of them, the other lists share the rest; every tenth set from the sixth
// is a scope with one token each side), and a sample of about `sampleBytes` naming many of them.
inline Language largeLanguage(int biggest = 200, qsizetype sampleBytes = 100 * 1024)
{
    Language language;
    language.name = QStringLiteral("Large");
    language.wordchars = QStringLiteral("[\\w]");
    language.whitespaceasparamblock = 1;
    language.memberlist = QStringLiteral("<none>");
    constexpr int kTokens = 10000;
    const int shared = (kTokens - biggest) / 44; // 44 lists besides the first
    int token = 0;
    for (int k = 0; k < Language::kSlots; ++k) {
        Tokenset &ts = language.tokensets[k];
        ts.name = QStringLiteral("Set%1").arg(k);
        ts.id = k == 50 ? QStringLiteral("text") : QStringLiteral("keywords");
        ts.type = k % 10 == 5 ? QStringLiteral("scope") : QStringLiteral("list");
        ts.forecolor = k * 4000;
        ts.backcolor = 0xFFFFFF;
        ts.fontstyle = QStringLiteral("normal");
        ts.inheritfrom = QStringLiteral("<none>");
        ts.tmemberlist = QStringLiteral("<none>");
        ts.enabled = ts.included = ts.normalizecase = ts.matchbraces = 1;
        ts.rule = QStringLiteral("Word");
        for (int i = 0; i < 10; ++i)
            ts.validscope[i] = QStringLiteral("<none>");
        if (ts.type == QLatin1String("scope")) {
            ts.tokens = QStringLiteral("beg%1").arg(k);
            ts.tokens2 = QStringLiteral("end%1").arg(k);
            continue;
        }
        QStringList tokens;
        const int count = k == 0 ? biggest : k < 50 ? shared : 0;
        for (int i = 0; i < count; ++i)
            tokens << QStringLiteral("word%1x").arg(token++);
        ts.tokens = tokens.join(QStringLiteral("\r\n"));
    }
    // 10,000 in all: the scope sets' tokens count, and the rest of the division goes round the lists.
    for (int k = 1; token < kTokens - 10; k = k % 49 + 1) {
        Tokenset &ts = language.tokensets[k];
        if (ts.type != QLatin1String("scope"))
            ts.tokens += QStringLiteral("\r\nextra%1").arg(token++);
    }
    QString sample;
    for (int line = 0; sample.size() < sampleBytes; ++line)
        sample += QStringLiteral("word%1x beg5 word%2x end5 extra%3 plain text %4\r\n")
                      .arg(line % 9000)
                      .arg((line * 7) % 9000)
                      .arg(kTokens - 20 + line % 10)
                      .arg(line);
    language.sampletext = sample;
    return language;
}
