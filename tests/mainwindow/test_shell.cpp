// The shell: start-up, settings, options, menus and toolbar, the database commands and closing.
#include "mainwindow/settingsvalue.h"
#include "mainwindow/tokensetpropertiespanel.h"
#include "mainwindow/tracepanel.h"
#include "mainwindow/windowfixture.h"
#include "widgets/editorpane.h"
#include "widgets/tracebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// The Boolean settings and their menu items; Confirmation and AutoInclude are on by default.
const std::pair<const char *, const char *> kOptions[] = {
    {"Confirmation", "mnuConfirmation"}, {"EasyRead", "mnuEasyRead"}, {"AutoSeek", "mnuAutoSeek"},
    {"AutoInclude", "mnuAutoInclude"}, {"Status", "mnuDebug"}, {"CodeMaxSave", "mnuCodeMax"},
    {"LineNumbering", "mnuLineNumbering"}, {"LineNumberBold", "mnuLineNumberBold"}, {"DropFiles", "mnuDropFiles"},
    {"DisplayWhite", "mnuDisplayWhite"}, {"DisplayLeft", "mnuDisplayLeft"}, {"HideAttributes", "mnuHideAttributes"}};
bool onByDefault(const char *key) { return qstrcmp(key, "Confirmation") == 0 || qstrcmp(key, "AutoInclude") == 0; }

} // namespace

TEST_F(WindowTest, StartUpWritesTheUpdateFilesTracesAndOpensOnTheFirstLanguage)
{
    folder.write(QStringLiteral("sample.txt"), "if x then\r\n  caf\xE9\r\n");
    start();
    const QByteArray line = "1.2.191." + QByteArray::number(QFileInfo(QCoreApplication::applicationFilePath()).size());
    EXPECT_EQ(folder.read(QStringLiteral("divozara.dat")), "Varlex\r\nVarlex\r\n" + line);
    EXPECT_EQ(folder.read(QStringLiteral("varlex.ver")), line);
    EXPECT_EQ(window->defaultSampleText(), QStringLiteral("if x then\r\n  caf\u00E9\r\n"));
    EXPECT_TRUE(child<TraceBox>("txtStatus")->text().startsWith(QStringLiteral("LoadMemberLists\r\nLoadFileData\r\n")));
    EXPECT_TRUE(languages()->currentRow() == 0 && xmlPane()->text() == workingFile());
    EXPECT_EQ(samplePane()->text(), QStringLiteral("if x then 'note"));
    EXPECT_EQ(session().preview().registry().languageCount(), 2); // xml.lng first, then the preview
    EXPECT_FALSE(window->isWindowModified() || window->trace().statusPaneShown());

    // A malformed xml.lng is reported once, and the program starts all the same.
    folder.write(QStringLiteral("xml.lng"), "<language name=\"XML\">\n<tokenset");
    start();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("xml.lng")));
    EXPECT_EQ(xmlPane()->language(), nullptr);
}

TEST_F(WindowTest, SettingsDefaultsRoundTripAndFallBacks)
{
    start();
    const int dpi = window->logicalDpiX();
    const auto px = [dpi](int twips) { return SettingsValue::twipsToPixels(twips, dpi); };
    EXPECT_EQ(QRect(window->pos(), window->size()), QRect(px(1200), px(1200), px(13000), px(10000)));
    for (const auto &[key, item] : kOptions) {
        EXPECT_EQ(action(item)->isChecked(), onByDefault(key)) << item;
        action(item)->setChecked(!onByDefault(key));
    }
    EXPECT_EQ(window->tokensetProperties().swatch(2), 0xFF0000);
    window->tokensetProperties().setSwatch(3, 0x123456);
    window->move(100, 60);
    window->resize(900, 700);
    ASSERT_TRUE(closeWindow());
    for (const auto &[key, item] : kOptions)
        EXPECT_EQ(storedSetting(key), onByDefault(key) ? "False" : "True") << key;
    EXPECT_EQ(storedSetting("Color3"), QString::number(0x123456));
    EXPECT_EQ(storedSetting("MainLeft"), QStringLiteral("1500")); // at 96 dpi
    start();
    for (const auto &[key, item] : kOptions)
        EXPECT_NE(action(item)->isChecked(), onByDefault(key)) << item;
    EXPECT_EQ(QRect(window->pos(), window->size()), QRect(100, 60, 900, 700));
    EXPECT_EQ(window->tokensetProperties().swatch(3), 0x123456);
    EXPECT_TRUE(samplePane()->lineNumbersVisible() && samplePane()->whiteSpaceVisible());
    EXPECT_TRUE(workingFile().startsWith(QStringLiteral("<language\r\nname=\"Basic\">"))); // EasyRead, hidden defaults
    EXPECT_TRUE(window->toolbarButton(QStringLiteral("easy"))->isChecked());

    // Values that cannot be converted fall back to their defaults, silently.
    FrmMain::settingsStore()->remove(QString());
    for (const char *key : {"MainWidth", "FontHeight", "Color2", "AutoInclude"})
        storeSetting(key, QStringLiteral("1e30x"));
    start();
    EXPECT_TRUE(window->width() == px(13000) && tokensBox()->font().pointSize() == window->font().pointSize());
    EXPECT_TRUE(window->tokensetProperties().swatch(2) == 0xFF0000 && action("mnuAutoInclude")->isChecked());
    EXPECT_TRUE(dialogs->messages.empty());

    // A stored size of a million twips, inside the accepted range, is cut to twice the screen before it
    // is applied; the stored value stays while the window is not resized.
    storeSetting("MainWidth", QStringLiteral("1000000"));
    storeSetting("MainHeight", QStringLiteral("1000000"));
    start();
    const QSize screen = 2 * window->screen()->availableGeometry().size();
    EXPECT_TRUE(window->width() <= screen.width() && window->height() <= screen.height()) << window->width();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(storedSetting("MainWidth"), QStringLiteral("1000000"));

    // Geometry is not written while the window is maximized or minimized.
    for (const bool maximize : {true, false}) {
        storeSetting("MainLeft", QStringLiteral("4500"));
        start();
        maximize ? window->showMaximized() : window->showMinimized();
        QTest::qWait(20);
        ASSERT_TRUE(closeWindow());
        EXPECT_EQ(storedSetting("MainLeft"), QStringLiteral("4500"));
    }
}

// The Edit menu names the step it takes back; each toolbar key runs its menu item; options rebuild
// or restyle without marking changes.
TEST_F(WindowTest, TheMenusTheToolbarAndTheOptions)
{
    start();
    window->toolbarButton(QStringLiteral("easy"))->trigger();
    EXPECT_TRUE(workingFile().startsWith(QStringLiteral("<language\r\nname=\"Basic\"")) && action("mnuEasyRead")->isChecked());
    action("mnuDisplayWhite")->trigger();
    EXPECT_TRUE(samplePane()->whiteSpaceVisible() && !window->isWindowModified());
    QStringList bar, edit;
    for (QAction *a : child<QMenuBar>("menubar")->actions())
        bar << a->menu()->objectName();
    EXPECT_EQ(bar, QStringList({"mnuFile", "mnuUndoRedo", "mnuEdit", "mnuTokensets", "mnuTokens", "mnuOptions", "mnuHelp"}));
    check("chkHidden")->click();
    for (QAction *a : child<QMenu>("mnuUndoRedo")->actions())
        edit << a->text() + QLatin1Char('\t') + a->shortcut().toString();
    EXPECT_EQ(edit, QStringList({"&Undo Change Hidden\tCtrl+Z", "&Redo\tCtrl+Shift+Z"}));
    EXPECT_EQ(action("mnuRedo")->shortcuts().value(1), QKeySequence(QStringLiteral("Ctrl+Y")));

    action("mnuConfirmation")->setChecked(false);
    const std::pair<const char *, const char *> keys[] = {{"refresh", "mnuReload"}, {"import", "mnuImport"},
                                                          {"down", "mnuDown"}, {"deleteattributes", "mnuRemoveAttributes"}};
    for (const auto &[key, item] : keys) {
        QSignalSpy ran(action(item), &QAction::triggered);
        window->Toolbar1_ButtonClick(QString::fromLatin1(key));
        window->Toolbar1_ButtonClick(QStringLiteral("nothing"));
        EXPECT_EQ(ran.count(), 1) << key;
    }
}

TEST_F(WindowTest, TheCloseQuestionAndItsAnswers)
{
    start();
    EXPECT_TRUE(closeWindow()); // nothing changed: no question
    EXPECT_TRUE(dialogs->messages.empty());
    const QByteArray saved = folder.read(QStringLiteral("varlex.dat"));
    const struct {
        Dialogs::Answer answer;
        bool blocked; // varlex.dat cannot be written
        bool closes;
    } cases[] = {{Dialogs::Answer::Cancel, false, false}, {Dialogs::Answer::No, false, true},
                 {Dialogs::Answer::Yes, false, true}, {Dialogs::Answer::Yes, true, false}};
    for (const auto &c : cases) {
        folder.write(QStringLiteral("varlex.dat"), saved);
        start();
        check("chkHidden")->click();
        if (c.blocked) {
            QFile::remove(folder.file(QStringLiteral("varlex.dat")));
            QDir().mkpath(folder.file(QStringLiteral("varlex.dat/x")));
        }
        dialogs->answers.push_back(c.answer);
        action("mnuExit")->trigger();
        EXPECT_EQ(window->isVisible(), !c.closes);
        EXPECT_TRUE(dialogs->messages[0].text == QStringLiteral("Save changes?")
                    && dialogs->messages[0].buttons == Dialogs::Buttons::YesNoCancel);
        EXPECT_EQ(window->isWindowModified(), c.answer != Dialogs::Answer::Yes || c.blocked);
        if (c.blocked) {
            EXPECT_TRUE(dialogs->messages.back().text.contains(QStringLiteral("varlex.dat")));
            QDir(folder.file(QStringLiteral("varlex.dat"))).removeRecursively();
        } else
            EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")) != saved, c.answer == Dialogs::Answer::Yes);
    }
}

// Reload and Restore ask only with Confirmation on; Cancel keeps every unsaved change.
TEST_F(WindowTest, ReloadAndRestoreAskFirstAndDiscardTheSteps)
{
    start();
    action("mnuBackup")->trigger();
    const std::pair<const char *, const char *> commands[] = {{"mnuReload", "Are you sure?"},
                                                              {"mnuRestore", "Restore database from backup?"}};
    for (const auto &[item, question] : commands) {
        check("chkHidden")->click();
        dialogs->answers.push_back(Dialogs::Answer::Cancel);
        action(item)->trigger();
        EXPECT_TRUE(dialogs->messages.back().text == QLatin1String(question) && window->isWindowModified());
        dialogs->answers.push_back(Dialogs::Answer::Ok);
        action(item)->trigger();
        EXPECT_FALSE(window->isWindowModified() || action("mnuUndo")->isEnabled()) << item;
        EXPECT_TRUE(languages()->currentRow() == 0 && xmlPane()->language()) << item;
    }
}
