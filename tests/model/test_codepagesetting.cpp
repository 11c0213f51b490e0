#include "model/ansicodec.h"
#include "model/codepagesetting.h"

#include <QSettings>

#include <gtest/gtest.h>

TEST(CodePageSetting, SelectsTheCodePageOfTheSettings)
{
    const struct {
        QVariant value;
        const char *codePage;
        bool reported;
    } cases[] = {{QStringLiteral("windows-1250"), "windows-1250", false}, {QVariant(), "windows-1252", false},
                 {QStringLiteral("no-such-page"), "windows-1252", true}, {42, "windows-1252", true}};
    for (const auto &c : cases) {
        QSettings().setValue(QLatin1String(CodePageSetting::kKey), c.value);
        EXPECT_EQ(CodePageSetting::apply().isEmpty(), !c.reported);
        EXPECT_EQ(AnsiCodec::codePage(), QLatin1String(c.codePage));
        // "ř" is byte 0xF8 in windows-1250 and has no place in windows-1252.
        EXPECT_EQ(AnsiCodec::encode(QString::fromUtf8("\xc5\x99")), c.value.toString() == "windows-1250" ? "\xf8" : "?");
    }
    QSettings().remove(QLatin1String(CodePageSetting::kKey));
}
