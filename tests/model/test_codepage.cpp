#include "model/ansicodec.h"
#include "model/codepagesetting.h"

#include <QSettings>

#include <gtest/gtest.h>

// Only a single-byte code page that keeps ASCII can hold varlex.dat byte for byte: every byte of it
// comes back. Any other keeps windows-1252 and says why, once.
TEST(CodePage, TheSettingTakesOnlySingleByteCodePages)
{
    const struct {
        QVariant value;
        const char *codePage;
        const char *why; // empty: taken without a message
    } cases[] = {
        {QStringLiteral("windows-1250"), "windows-1250", ""},
        {QStringLiteral("windows-1253"), "windows-1253", ""}, // 0xD2 and 0xFF have no character
        {QVariant(), "windows-1252", ""},
        {QStringLiteral("no-such-page"), "windows-1252", "it is not known"},
        {42, "windows-1252", "it is not known"},
        {QStringLiteral("UTF-8"), "windows-1252", "not a single-byte code page"},
        {QStringLiteral("Shift_JIS"), "windows-1252", "not a single-byte code page"},
        {QStringLiteral("GB18030"), "windows-1252", "not a single-byte code page"},
        {QStringLiteral("UTF-7"), "windows-1252", "not a single-byte code page"},
        {QStringLiteral("IBM037"), "windows-1252", "does not keep ASCII"}, // EBCDIC
    };
    for (const auto &c : cases) {
        QSettings().setValue(QLatin1String(CodePageSetting::kKey), c.value);
        const QString message = CodePageSetting::apply();
        EXPECT_EQ(AnsiCodec::codePage(), QLatin1String(c.codePage)) << c.value.toString().toStdString();
        EXPECT_EQ(message.isEmpty(), !*c.why) << message.toStdString();
        if (*c.why)
            EXPECT_TRUE(message.contains(QLatin1String(c.why)) && message.contains(c.value.toString()))
                << message.toStdString();
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += AnsiCodec::firstUnmappedByte(QByteArray(1, char(b))) < 0 ? QByteArray(1, char(b)) : QByteArray();
        EXPECT_EQ(AnsiCodec::encode(AnsiCodec::decode(all)), all) << c.codePage;
        EXPECT_EQ(all.size(), c.value == "windows-1253" ? 254 : 256);
    }
    // Characters outside windows-1252 become '?'.
    EXPECT_EQ(AnsiCodec::encode(QString::fromUtf8("\xe2\x82\xac x \xc5\x99 \xf0\x9f\x98\x80")), QByteArray("\x80 x ? ?"));
    QSettings().remove(QLatin1String(CodePageSetting::kKey));
}
