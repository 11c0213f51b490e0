#include "model/testrecords.h"

#include "model/ansicodec.h"
#include "model/databasefile.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray le32(qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray text(const QByteArray &bytes)
{
    char b[2];
    qToLittleEndian(quint16(bytes.size()), b);
    return QByteArray(b, 2) + bytes;
}

QByteArray encoded(const QVector<Language> &languages)
{
    QByteArray out;
    EXPECT_TRUE(DatabaseFile::encode(languages, out));
    return out;
}

} // namespace

TEST(DatabaseFile, OneEmptyLanguageTakes4920ZeroBytes)
{
    const QByteArray bytes = encoded({Language()});
    EXPECT_EQ(bytes, QByteArray(4920, '\0'));
    const DatabaseFile::Decoded back = DatabaseFile::decode(bytes);
    EXPECT_FALSE(back.damaged);
    ASSERT_EQ(back.languages.size(), 1);
    EXPECT_EQ(back.languages[0], Language());
}

TEST(DatabaseFile, FieldsAreWrittenInRecordOrder)
{
    Language l;
    l.name = QStringLiteral("L");
    l.casesensitive = 1;
    l.applycase = 2;
    l.wordchars = QStringLiteral("[\\w]");
    l.whitespaceasparamblock = 3;
    l.memberlist = QStringLiteral("m");
    l.sampletext = QString::fromUtf8("\xc3\xa9");
    Tokenset &t = l.tokensets[0];
    t = {QStringLiteral("n"), QStringLiteral("i"), QStringLiteral("scope"), 0x00FF0000, QStringLiteral("bold"),
         QStringLiteral("h"), 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, QStringLiteral("tm"),
         QStringLiteral("a\r\nb"), QStringLiteral("c"), -1, QStringLiteral("Word"), QStringLiteral("("),
         QStringLiteral(")"), {}};
    t.validscope[0] = QStringLiteral("v0");
    t.validscope[10] = QStringLiteral("v10");

    QByteArray want = le32(0) + text("L") + le32(1) + le32(2) + text("[\\w]") + le32(3) + text("m") + text("\xe9");
    want += text("n") + text("i") + text("scope") + le32(0x00FF0000) + text("bold") + text("h");
    for (int v = 10; v <= 20; ++v)
        want += le32(v);
    want += text("tm") + text("a\r\nb") + text("c") + le32(-1) + text("Word") + text("(") + text(")");
    want += text("v0");
    for (int i = 1; i < 10; ++i)
        want += text("");
    want += text("v10");
    want += QByteArray(50 * DatabaseFile::kFreeTokensetBytes, '\0');

    EXPECT_EQ(encoded({l}), want);
    EXPECT_EQ(DatabaseFile::decode(want).languages.value(0), l);
}

TEST(DatabaseFile, RandomDatabasesComeBackByteForByte)
{
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 5; ++round) {
        QVector<Language> languages;
        for (int i = 0, n = 1 + rng.bounded(5); i < n; ++i)
            languages.append(TestRecords::randomLanguage(rng));
        const QByteArray bytes = encoded(languages);
        const DatabaseFile::Decoded back = DatabaseFile::decode(bytes);
        EXPECT_FALSE(back.damaged) << back.problem.toStdString();
        EXPECT_EQ(back.languages, languages);
        EXPECT_EQ(encoded(back.languages), bytes);
    }
}

TEST(DatabaseFile, TextsAreStoredInTheAnsiCodePage)
{
    Language l;
    l.name = QString::fromUtf8("\xe2\x82\xac\xc3\xa9\xe6\xbc\xa2"); // euro, e acute, a CJK character
    const QByteArray bytes = encoded({l});
    EXPECT_EQ(bytes.mid(4, 5), text("\x80\xe9?"));
    EXPECT_EQ(DatabaseFile::decode(bytes).languages[0].name, QString::fromUtf8("\xe2\x82\xac\xc3\xa9?"));
}

TEST(DatabaseFile, TextLimitIsCountedInAnsiBytes)
{
    struct Case {
        const char *what;
        QString value;
        bool fits;
    } cases[] = {
        {"65535 ASCII", QString(65535, QLatin1Char('a')), true},
        {"65536 ASCII", QString(65536, QLatin1Char('a')), false},
        {"65535 one-byte accented", QString(65535, QChar(0xE9)), true},
        {"65536 one-byte accented", QString(65536, QChar(0xE9)), false},
    };
    for (const Case &c : cases) {
        Language l;
        l.name = QStringLiteral("Lang");
        l.tokensets[3].name = QStringLiteral("Keywords");
        l.tokensets[3].tokens = c.value;
        QByteArray out;
        QString problem;
        EXPECT_EQ(DatabaseFile::encode({Language(), l}, out, &problem), c.fits) << c.what;
        if (!c.fits) {
            EXPECT_TRUE(out.isEmpty());
            EXPECT_TRUE(problem.contains(QStringLiteral("tokens"))) << problem.toStdString();
            EXPECT_TRUE(problem.contains(QStringLiteral("\"Keywords\" (slot 3)"))) << problem.toStdString();
            EXPECT_TRUE(problem.contains(QStringLiteral("\"Lang\""))) << problem.toStdString();
        }
    }
    Language big;
    big.sampletext = QString(70000, QLatin1Char('x'));
    QByteArray out;
    QString problem;
    EXPECT_FALSE(DatabaseFile::encode({big}, out, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("sampletext")) && !problem.contains(QStringLiteral("slot")));
}

TEST(DatabaseFile, DamagedImagesLoadWhatTheyHoldWithinBounds)
{
    Language named;
    named.name = QStringLiteral("kept");
    named.tokensets[0].name = QStringLiteral("ts");
    const QByteArray one = encoded({named});
    const QByteArray two = encoded({named, named});
    const QByteArray body = one.mid(4);

    struct Case {
        const char *what;
        QByteArray bytes;
        bool damaged;
        int languages;
        QString firstName;
    } cases[] = {
        {"empty file", QByteArray(), false, 1, QString()},
        {"shorter than the count", QByteArray("\1\0", 2), true, 1, QString()},
        {"count only", le32(0), true, 1, QString()},
        {"cut inside a text", one.left(8), true, 1, QStringLiteral("ke")},
        {"second language cut", two.left(two.size() - 100), true, 2, QStringLiteral("kept")},
        {"second language missing", le32(1) + body + QByteArray(10, '\0'), true, 2, QStringLiteral("kept")},
        {"bytes after the last language", one + "xyz", true, 1, QStringLiteral("kept")},
        {"negative count", le32(-7) + body + body, true, 2, QStringLiteral("kept")},
        {"count -1", le32(-1) + body, true, 1, QStringLiteral("kept")},
        {"huge count", le32(0x7fffffff) + body + body, true, 2, QStringLiteral("kept")},
        {"huge count, no records", le32(1000000000), true, 1, QString()},
    };
    for (const Case &c : cases) {
        const DatabaseFile::Decoded d = DatabaseFile::decode(c.bytes);
        EXPECT_EQ(d.damaged, c.damaged) << c.what;
        EXPECT_EQ(d.damaged, !d.problem.isEmpty()) << c.what;
        ASSERT_EQ(d.languages.size(), c.languages) << c.what;
        EXPECT_EQ(d.languages[0].name, c.firstName) << c.what;
    }
}

TEST(DatabaseFile, CountIsCappedByTheSpaceRecordsNeed)
{
    // A count that the file could hold if every record were minimal, but the bytes are garbage:
    // the loader makes at most one record per 4916 bytes begun.
    QByteArray bytes = le32(2) + QByteArray(2 * 4916 + 1, '\xff');
    const DatabaseFile::Decoded d = DatabaseFile::decode(bytes);
    EXPECT_TRUE(d.damaged);
    EXPECT_LE(d.languages.size(), 3);
    bytes = le32(1000) + QByteArray(10 * 4916, '\0');
    EXPECT_LE(DatabaseFile::decode(bytes).languages.size(), 10);
}

TEST(DatabaseFile, EncodeRefusesAnEmptyArray)
{
    QByteArray out;
    QString problem;
    EXPECT_FALSE(DatabaseFile::encode({}, out, &problem));
    EXPECT_FALSE(problem.isEmpty());
}
