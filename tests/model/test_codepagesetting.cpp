#include "model/ansicodec.h"
#include "model/codepagesetting.h"

#include <QSettings>

#include <gtest/gtest.h>

TEST(CodePageSetting, SelectsTheCodePageOfTheSettings)
{
    struct Case {
        QVariant value;
        const char *codePage;
        bool reported;
    } const cases[] = {
        {QVariant(), "windows-1252", false},
        {QStringLiteral("windows-1250"), "windows-1250", false},
        {QStringLiteral("no-such-page"), "windows-1252", true},
        {QStringLiteral("  "), "windows-1252", false},
        {42, "windows-1252", true},
    };
    for (const Case &c : cases) {
        QSettings().setValue(QLatin1String(CodePageSetting::kKey), c.value);
        const QString problem = CodePageSetting::apply();
        EXPECT_EQ(AnsiCodec::codePage(), QLatin1String(c.codePage)) << c.value.toString().toStdString();
        EXPECT_EQ(!problem.isEmpty(), c.reported) << problem.toStdString();
    }
    // "ř" is byte 0xF8 in windows-1250 and has no place in windows-1252.
    QSettings().setValue(QLatin1String(CodePageSetting::kKey), QStringLiteral("windows-1250"));
    CodePageSetting::apply();
    EXPECT_EQ(AnsiCodec::encode(QString::fromUtf8("\xc5\x99")), QByteArray("\xf8"));
    QSettings().remove(QLatin1String(CodePageSetting::kKey));
    CodePageSetting::apply();
    EXPECT_EQ(AnsiCodec::codePage(), QStringLiteral("windows-1252"));
}
