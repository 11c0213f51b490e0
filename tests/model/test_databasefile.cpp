#include "model/testrecords.h"

#include "model/databasefile.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray le32(qint32 v)
{
    const qint32 le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char *>(&le), 4);
}

QByteArray text(const QByteArray &bytes)
{
    const quint16 n = qToLittleEndian(quint16(bytes.size()));
    return QByteArray(reinterpret_cast<const char *>(&n), 2) + bytes;
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
    EXPECT_EQ(encoded({Language()}), QByteArray(4920, '\0'));
    EXPECT_EQ(DatabaseFile::decode(QByteArray(4920, '\0')).languages, QVector<Language>(1));
}

TEST(DatabaseFile, FieldsAreWrittenInRecordOrder)
{
    Language l{u"L"_s, 1, 2, u"[\\w]"_s, 3, u"m"_s, u"\u00e9\u20ac\u6f22"_s, {}};
    l.tokensets[0] = {u"n"_s, u"i"_s, u"scope"_s, 0xFF0000, u"bold"_s, u"h"_s, 10, 11, 12, 13, 14, 15, 16, 17,
                      18, 19, 20, u"tm"_s, u"a\r\nb"_s, u"c"_s, -1, u"Word"_s, u"("_s, u")"_s, {u"v0"_s}};
    l.tokensets[0].validscope[10] = u"v10"_s;

    QByteArray want = le32(0) + text("L") + le32(1) + le32(2) + text("[\\w]") + le32(3) + text("m")
        + text("\xe9\x80?"); // ANSI form; a character outside the code page becomes '?'
    want += text("n") + text("i") + text("scope") + le32(0xFF0000) + text("bold") + text("h");
    for (int v = 10; v <= 20; ++v)
        want += le32(v);
    want += text("tm") + text("a\r\nb") + text("c") + le32(-1) + text("Word") + text("(") + text(")") + text("v0");
    want += QByteArray(9 * 2, '\0') + text("v10") + QByteArray(50 * DatabaseFile::kFreeTokensetBytes, '\0');
    EXPECT_EQ(encoded({l}), want);

    l.sampletext = u"\u00e9\u20ac?"_s;
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
        EXPECT_TRUE(back.languages == languages);
        EXPECT_EQ(encoded(back.languages), bytes);
    }
}

TEST(DatabaseFile, TextLimitIsCountedInAnsiBytes)
{
    for (const auto &[value, fits] : {std::pair{QString(65535, u'\u00e9'), true}, {QString(65536, u'a'), false}}) {
        Language l;
        l.name = u"Lang"_s;
        l.tokensets[3].name = u"Keywords"_s;
        l.tokensets[3].tokens = value;
        QByteArray out;
        QString problem;
        EXPECT_EQ(DatabaseFile::encode({Language(), l}, out, &problem), fits);
        if (!fits)
            EXPECT_EQ(problem, u"the field tokens of tokenset \"Keywords\" (slot 3) of language \"Lang\" takes "
                               "65536 bytes in ANSI form; a text can hold at most 65535"_s);
    }
    QByteArray out;
    QString problem;
    EXPECT_FALSE(DatabaseFile::encode({Language{u"x"_s, 0, 0, {}, 0, {}, QString(70000, u'x'), {}}}, out, &problem));
    EXPECT_TRUE(problem.startsWith(u"the field sampletext of language \"x\" takes"_s)) << problem.toStdString();
    EXPECT_FALSE(DatabaseFile::encode({}, out, &problem));
}

TEST(DatabaseFile, DamagedImagesLoadWhatTheyHoldWithinBounds)
{
    Language named;
    named.name = u"kept"_s;
    const QByteArray one = encoded({named});
    const QByteArray two = encoded({named, named});
    const QByteArray body = one.mid(4);
    const struct {
        const char *what;
        QByteArray bytes;
        bool damaged;
        int languages;
        QString firstName;
    } cases[] = {
        {"empty file", QByteArray(), false, 1, QString()},
        {"shorter than the count", QByteArray("\1\0", 2), true, 1, QString()},
        {"count only", le32(0), true, 1, QString()},
        {"cut inside a text", one.left(8), true, 1, u"ke"_s},
        {"second language cut", two.left(two.size() - 100), true, 2, u"kept"_s},
        {"bytes after the last language", one + "xyz", true, 1, u"kept"_s},
        {"negative count", le32(-7) + body + body, true, 2, u"kept"_s},
        {"huge count", le32(0x7fffffff) + body + body, true, 2, u"kept"_s},
        {"huge count, no records", le32(1000000000), true, 1, QString()},
        // At most one language per 4916 bytes begun, whatever the bytes say.
        {"garbage", le32(9) + QByteArray(10 * 4916, '\xff'), true, 10, QString(32767, QChar(0xff))},
    };
    for (const auto &c : cases) {
        const DatabaseFile::Decoded d = DatabaseFile::decode(c.bytes);
        EXPECT_EQ(d.damaged, c.damaged) << c.what;
        EXPECT_EQ(d.damaged, !d.problem.isEmpty()) << c.what;
        ASSERT_EQ(d.languages.size(), c.languages) << c.what;
        EXPECT_EQ(d.languages[0].name.left(32767), c.firstName) << c.what;
    }
}
