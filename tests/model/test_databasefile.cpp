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

// Damage is reported, and only as many languages are read as the size can hold. A well-formed
// file comes back byte for byte in the code page it was written in; a byte that the code page has no
// character for would come back as '?', so it is damage too.
TEST(DatabaseFile, DamagedImagesLoadWhatTheyHoldWithinBounds)
{
    const QByteArray one = encoded({Language{u"kept"_s, 0, 0, {}, 0, {}, {}, {}}});
    const QByteArray body = one.mid(4);
    const auto named = [](const QByteArray &name) { return le32(0) + text(name) + QByteArray(4920 - 6, '\0'); };
    QByteArray high;
    for (int b = 0x80; b < 0x100; ++b)
        high.append(char(b));
    const struct {
        const char *what;
        QByteArray bytes;
        QString problem; // empty: not damaged, and saved back byte for byte
        int languages = 1;
        const char *codePage = "windows-1252";
    } cases[] = {
        {"empty file", QByteArray(), {}},
        {"shorter than the count", "\1\2", u"the file is only 2 bytes long"_s},
        {"count only", le32(0), u"the file ends before the last of its 1 languages"_s},
        {"cut inside a text", one.left(8), u"the file ends before the last of its 1 languages"_s},
        {"second language cut", le32(1) + body + body.left(100), u"the file ends before the last of its 2 languages"_s, 2},
        {"bytes after the last language", one + "xyz", u"3 bytes follow the last of its 1 languages"_s},
        {"negative count", le32(-7) + body + body, u"its upper index is negative (-7)"_s, 2},
        {"huge count", le32(0x7fffffff) + body + body,
         u"it claims 2147483648 languages, but its 9844 bytes can hold at most 3"_s, 2},
        {"huge count, no records", le32(1000000000), u"it claims 1000000001 languages, but its 4 bytes can hold at most 1"_s},
        // At most one language per 4916 bytes begun, whatever the bytes say.
        {"garbage", le32(9) + QByteArray(10 * 4916, '\xff'), u"the file ends before the last of its 10 languages"_s, 10},
        {"every high byte", named(high), {}},
        {"windows-1250", named("\xf8\xe8"), {}, 1, "windows-1250"},
        {"windows-1253", named("\xe1\xe2"), {}, 1, "windows-1253"},
        {"windows-1253, a byte without a character", named("a\xd2"),
         u"a text holds the byte 0xd2, which the code page windows-1253 has no character for"_s, 1, "windows-1253"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(AnsiCodec::setCodePage(QLatin1String(c.codePage)));
        const DatabaseFile::Decoded d = DatabaseFile::decode(c.bytes);
        EXPECT_TRUE(d.damaged == !c.problem.isEmpty() && d.problem == c.problem) << c.what << ": " << d.problem.toStdString();
        EXPECT_EQ(d.languages.size(), c.languages) << c.what;
        if (c.problem.isEmpty() && !c.bytes.isEmpty())
            EXPECT_EQ(encoded(d.languages), c.bytes) << c.what;
    }
    AnsiCodec::setCodePage(QLatin1String(AnsiCodec::kDefaultCodePage));
    EXPECT_EQ(DatabaseFile::decode(one.left(8)).languages[0].name, u"ke"_s); // what a cut text still holds
}
