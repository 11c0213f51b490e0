#include "model/ansicodec.h"
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
    return le32(qint32(bytes.size())).left(2) + bytes;
}

QByteArray encoded(const QVector<Language> &languages)
{
    QByteArray out;
    EXPECT_TRUE(DatabaseFile::encode(languages, out));
    return out;
}

} // namespace

TEST(DatabaseFile, FieldsAreWrittenInRecordOrder)
{
    EXPECT_EQ(encoded({Language()}), QByteArray(4920, '\0'));

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

TEST(DatabaseFile, TextLimitIsCountedInAnsiBytes)
{
    Language l{u"Lang"_s, 0, 0, {}, 0, {}, {}, {}};
    l.tokensets[3].name = u"Keywords"_s;
    QByteArray out;
    QString problem;
    l.tokensets[3].tokens = QString(65535, u'\u00e9');
    EXPECT_TRUE(DatabaseFile::encode({l}, out, &problem));
    l.tokensets[3].tokens = QString(65536, u'a');
    EXPECT_FALSE(DatabaseFile::encode({Language(), l}, out, &problem));
    EXPECT_EQ(problem, u"the field tokens of tokenset \"Keywords\" (slot 3) of language \"Lang\" takes 65536 bytes "
                       "in ANSI form; a text can hold at most 65535"_s);
    EXPECT_FALSE(DatabaseFile::encode({}, out, &problem));
}

TEST(DatabaseFile, DamagedImagesLoadWhatTheyHoldWithinBounds)
{
    const QByteArray one = encoded({Language{u"kept"_s, 0, 0, {}, 0, {}, {}, {}}});
    const QByteArray body = one.mid(4);
    const struct {
        const char *what;
        QByteArray bytes;
        bool damaged;
        int languages;
        QString firstName;
    } cases[] = {
        {"empty file", QByteArray(), false, 1, QString()},
        {"shorter than the count", "\1\0", true, 1, QString()},
        {"count only", le32(0), true, 1, QString()},
        {"cut inside a text", one.left(8), true, 1, u"ke"_s},
        {"second language cut", le32(1) + body + body.left(100), true, 2, u"kept"_s},
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

// A well-formed file comes back byte for byte in the code page it was written in; a byte that the
// code page has no character for would come back as '?', so it is reported as damage.
TEST(DatabaseFile, TextsComeBackByteForByteOrAreReportedDamaged)
{
    QByteArray high;
    for (int b = 0x80; b < 0x100; ++b)
        high.append(char(b));
    const struct {
        const char *codePage;
        QByteArray name;
        bool damaged;
    } cases[] = {
        {"windows-1252", high, false},
        {"windows-1250", "\xf8\xe8", false},
        {"windows-1253", "\xe1\xe2", false},
        {"windows-1253", "a\xd2", true},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(AnsiCodec::setCodePage(QLatin1String(c.codePage)));
        const QByteArray image = le32(0) + text(c.name) + QByteArray(4920 - 6, '\0');
        const DatabaseFile::Decoded d = DatabaseFile::decode(image);
        EXPECT_EQ(d.damaged, c.damaged) << c.codePage;
        if (c.damaged)
            EXPECT_EQ(d.problem, u"a text holds the byte 0xd2, which the code page windows-1253 has no character for"_s);
        else
            EXPECT_EQ(encoded(d.languages), image) << c.codePage;
    }
    AnsiCodec::setCodePage(QLatin1String(AnsiCodec::kDefaultCodePage));
}
