#include "mainwindow/settingsvalue.h"

#include <gtest/gtest.h>

using namespace SettingsValue;

TEST(SettingsValue, BooleansReadTrueFalseInAnyCaseOrANumber)
{
    const struct {
        const char *text;
        bool fallback;
        bool expected;
    } cases[] = {
        {"True", false, true}, {"FALSE", true, false}, {"tRuE", false, true}, {"0", true, false},
        {"-1", false, true},   {"2.5", false, true},   {"", true, true},      {"yes", false, false},
        {"yes", true, true},   {"nan", true, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toBool(QString::fromLatin1(c.text), c.fallback), c.expected) << c.text;
    EXPECT_EQ(fromBool(true), QStringLiteral("True"));
    EXPECT_EQ(fromBool(false), QStringLiteral("False"));
}

TEST(SettingsValue, NumbersFallBackWhenTheyCannotBeConverted)
{
    EXPECT_EQ(toFloat(QStringLiteral("1200"), 5), 1200.0f);
    EXPECT_EQ(toFloat(QStringLiteral(" 1234.5 "), 5), 1234.5f);
    EXPECT_EQ(toFloat(QStringLiteral("12oo"), 5), 5.0f);
    EXPECT_EQ(toFloat(QStringLiteral("inf"), 5), 5.0f);
    EXPECT_EQ(toFloat(QStringLiteral("9999999"), 5), 9999999.0f);
    EXPECT_EQ(toFloat(QStringLiteral("1e30"), 5), 5.0f); // would place the window off every screen
    EXPECT_EQ(toFloat(QStringLiteral("-1e7"), 5), 5.0f);
    EXPECT_EQ(fromFloat(1200), QStringLiteral("1200"));
    EXPECT_EQ(fromFloat(1234.5f), QStringLiteral("1234.5"));

    EXPECT_EQ(toInt(QStringLiteral("12"), 8, 1, 200), 12);
    EXPECT_EQ(toInt(QStringLiteral("0"), 8, 1, 200), 8);
    EXPECT_EQ(toInt(QStringLiteral("12.5"), 8, 1, 200), 8);
    EXPECT_EQ(toInt(QStringLiteral("99999999999"), 8, 1, 200), 8);

    EXPECT_EQ(toColor(QStringLiteral("16777215"), 7), 0xFFFFFF);
    EXPECT_EQ(toColor(QStringLiteral("16777216"), 7), 7);
    EXPECT_EQ(toColor(QStringLiteral("-1"), 7), 7);
    EXPECT_EQ(toColor(QStringLiteral("red"), 7), 7);
}

TEST(SettingsValue, TwipsAreFifteenPerPixelAtNinetySixDpi)
{
    EXPECT_EQ(twipsToPixels(1200, 96), 80);
    EXPECT_EQ(twipsToPixels(13000, 96), 867);
    EXPECT_EQ(twipsToPixels(1440, 120), 120);
    EXPECT_EQ(pixelsToTwips(80, 96), 1200.0f);
    EXPECT_EQ(pixelsToTwips(120, 120), 1440.0f);
}
