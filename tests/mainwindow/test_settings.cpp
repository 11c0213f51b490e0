#include "mainwindow/frmmain.h"
#include "mainwindow/settingsvalue.h"
#include "mainwindow/windowfixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace {

const char *const kOptionItems[] = {"mnuConfirmation", "mnuEasyRead",      "mnuAutoSeek",    "mnuAutoInclude",
                                    "mnuDebug",        "mnuCodeMax",       "mnuLineNumbering", "mnuLineNumberBold",
                                    "mnuDropFiles",    "mnuDisplayWhite",  "mnuDisplayLeft", "mnuHideAttributes"};
const char *const kOptionKeys[] = {"Confirmation", "EasyRead",     "AutoSeek",  "AutoInclude",
                                   "Status",       "CodeMaxSave",  "LineNumbering", "LineNumberBold",
                                   "DropFiles",    "DisplayWhite", "DisplayLeft", "HideAttributes"};
constexpr qint32 kDefaultColors[] = {0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF, 0x00FF00,
                                     0x00FFFF, 0xFF00FF, 0xFFFF80, 0xC0C0FF, 0x808080};

} // namespace

using SettingsTest = WindowTest;

TEST_F(SettingsTest, FirstRunUsesTheDefaults)
{
    start();
    const int dpiX = window->logicalDpiX();
    const int dpiY = window->logicalDpiY();
    EXPECT_EQ(window->width(), SettingsValue::twipsToPixels(13000, dpiX));
    EXPECT_EQ(window->height(), SettingsValue::twipsToPixels(10000, dpiY));
    EXPECT_EQ(window->x(), SettingsValue::twipsToPixels(1200, dpiX));
    EXPECT_EQ(window->y(), SettingsValue::twipsToPixels(1200, dpiY));
    for (const char *name : kOptionItems) {
        const bool expected = QByteArray(name) == "mnuConfirmation" || QByteArray(name) == "mnuAutoInclude";
        EXPECT_EQ(action(QString::fromLatin1(name))->isChecked(), expected) << name;
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblcolor_%1").arg(i))), kDefaultColors[i]) << i;
    EXPECT_EQ(window->tokenFontSize(), 8);
    EXPECT_EQ(child<QPlainTextEdit>(QStringLiteral("txtTokens"))->font().pointSize(), 8);
    EXPECT_EQ(child<QPlainTextEdit>(QStringLiteral("txtTokens2"))->font().pointSize(), 8);
    EXPECT_EQ(window->exportFolder(), folder.file(QStringLiteral("language_def")));
    EXPECT_EQ(window->importFolder(), folder.file(QStringLiteral("language_def")));
    EXPECT_EQ(window->memberListFolder(), folder.file(QStringLiteral("language_mem")));
    EXPECT_EQ(window->marginImageFolder(), folder.file(QStringLiteral("margin_images")));
}

TEST_F(SettingsTest, EveryKeyIsWrittenAtCloseAndReadAtTheNextStart)
{
    start();
    for (const char *name : kOptionItems)
        action(QString::fromLatin1(name))->setChecked(QByteArray(name) != "mnuConfirmation" && QByteArray(name) != "mnuAutoInclude");
    FrmMain::setBackColor(child<QLabel>(QStringLiteral("lblcolor_3")), 0x123456);
    window->move(100, 60);
    window->resize(900, 700);
    ASSERT_TRUE(closeWindow());

    for (size_t i = 0; i < std::size(kOptionKeys); ++i) {
        const bool on = QByteArray(kOptionKeys[i]) != "Confirmation" && QByteArray(kOptionKeys[i]) != "AutoInclude";
        EXPECT_EQ(storedSetting(QString::fromLatin1(kOptionKeys[i])), on ? "True" : "False") << kOptionKeys[i];
    }
    EXPECT_EQ(storedSetting(QStringLiteral("Color3")), QString::number(0x123456));
    EXPECT_EQ(storedSetting(QStringLiteral("Color0")), QStringLiteral("16777215"));
    EXPECT_EQ(storedSetting(QStringLiteral("FontHeight")), QStringLiteral("8"));
    EXPECT_EQ(storedSetting(QStringLiteral("ExpFolder")), folder.file(QStringLiteral("language_def")));
    EXPECT_EQ(storedSetting(QStringLiteral("MainWidth")), QStringLiteral("13500")); // at 96 dpi
    EXPECT_EQ(storedSetting(QStringLiteral("MainLeft")), QStringLiteral("1500"));

    start();
    for (const char *name : kOptionItems)
        EXPECT_EQ(action(QString::fromLatin1(name))->isChecked(),
                  QByteArray(name) != "mnuConfirmation" && QByteArray(name) != "mnuAutoInclude")
            << name;
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblcolor_3"))), 0x123456);
    EXPECT_EQ(window->size(), QSize(900, 700));
    EXPECT_EQ(window->pos(), QPoint(100, 60));
}


TEST_F(SettingsTest, UnconvertibleValuesFallBackToTheirDefaults)
{
    storeSetting(QStringLiteral("MainWidth"), QStringLiteral("wide"));
    storeSetting(QStringLiteral("MainLeft"), QStringLiteral(""));
    storeSetting(QStringLiteral("MainTop"), QStringLiteral("1e30"));
    storeSetting(QStringLiteral("FontHeight"), QStringLiteral("big"));
    storeSetting(QStringLiteral("Color2"), QStringLiteral("blue"));
    storeSetting(QStringLiteral("AutoInclude"), QStringLiteral("maybe"));
    storeSetting(QStringLiteral("EasyRead"), QStringLiteral("perhaps"));
    start();
    EXPECT_EQ(window->width(), SettingsValue::twipsToPixels(13000, window->logicalDpiX()));
    EXPECT_EQ(window->x(), SettingsValue::twipsToPixels(1200, window->logicalDpiX()));
    EXPECT_EQ(window->y(), SettingsValue::twipsToPixels(1200, window->logicalDpiY()));
    EXPECT_EQ(window->tokenFontSize(), 8);
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblcolor_2"))), 0xFF0000);
    EXPECT_TRUE(action(QStringLiteral("mnuAutoInclude"))->isChecked());
    EXPECT_FALSE(action(QStringLiteral("mnuEasyRead"))->isChecked());
    EXPECT_TRUE(dialogs->messages.isEmpty());
}

TEST_F(SettingsTest, GeometryIsNotWrittenWhileMaximizedOrMinimized)
{
    for (const bool maximize : {true, false}) {
        storeSetting(QStringLiteral("MainLeft"), QStringLiteral("4500"));
        storeSetting(QStringLiteral("MainWidth"), QStringLiteral("12000"));
        start();
        if (maximize)
            window->showMaximized();
        else
            window->showMinimized();
        QTest::qWait(20);
        action(QStringLiteral("mnuAutoSeek"))->setChecked(true);
        ASSERT_TRUE(closeWindow());
        EXPECT_EQ(storedSetting(QStringLiteral("MainLeft")), QStringLiteral("4500"));
        EXPECT_EQ(storedSetting(QStringLiteral("MainWidth")), QStringLiteral("12000"));
        EXPECT_EQ(storedSetting(QStringLiteral("AutoSeek")), QStringLiteral("True"));
        FrmMain::settingsStore()->remove(QString());
    }
}

TEST_F(SettingsTest, TheStoreIsTheApplicationVarlexGroupSettings)
{
    start();
    ASSERT_TRUE(closeWindow());
    QSettings raw(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    // 10000 twips are 666.7 pixels at 96 dpi: an unmoved window writes back what it read.
    EXPECT_EQ(raw.value(QStringLiteral("Settings/MainHeight")).toString(), QStringLiteral("10000"));
    EXPECT_EQ(raw.value(QStringLiteral("Settings/MainWidth")).toString(), QStringLiteral("13000"));
    EXPECT_EQ(raw.value(QStringLiteral("Settings/DisplayLeft")).toString(), QStringLiteral("False"));
}
