#include "widgets/tracebox.h"
#include "mainwindow/updateinfo.h"
#include "mainwindow/windowfixture.h"
#include "xmlgen/xmlwriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include "widgets/editorpane.h"

using StartupTest = WindowTest;

TEST_F(StartupTest, UpdateInformationFilesCarryTheVersionAndTheExecutableSize)
{
    folder.write(QStringLiteral("varlex.ver"), "an older, longer version line");
    start();
    const QByteArray line = "1.2.191." + QByteArray::number(QFileInfo(QCoreApplication::applicationFilePath()).size());
    EXPECT_EQ(folder.read(QStringLiteral("divozara.dat")), "Varlex\r\nVarlex\r\n" + line);
    EXPECT_EQ(folder.read(QStringLiteral("varlex.ver")), line);
    EXPECT_EQ(UpdateInfo::versionLine(QStringLiteral("1.2.191"), -1), QStringLiteral("1.2.191.0"));
    EXPECT_FALSE(UpdateInfo::write(folder.file(QStringLiteral("no/such/folder")), QStringLiteral("1.2.191"), 5).isEmpty());
}

TEST_F(StartupTest, TheDefaultSampleTextComesFromSampleTxtOrTheBuiltInText)
{
    folder.write(QStringLiteral("sample.txt"), "if x then\r\n  caf\xE9\r\n");
    start();
    EXPECT_EQ(window->defaultSampleText(), QStringLiteral("if x then\r\n  caf\u00E9\r\n"));
    window.reset();
    QFile::remove(folder.file(QStringLiteral("sample.txt")));
    start();
    EXPECT_EQ(window->defaultSampleText(), QStringLiteral("<< and if else 12.5 'help'"));
}

TEST_F(StartupTest, AMissingOrMalformedXmlLanguageIsReportedOnceAndTheProgramStarts)
{
    const struct {
        const char *contents; // null: no file
        const char *mentions;
    } cases[] = {
        {nullptr, "not found"},
        {"<language name=\"XML\">\n<tokenset", "line 2"},
        {"<notalanguage/>", "xml.lng"},
        {"", "xml.lng"},
    };
    for (const auto &c : cases) {
        QFile::remove(folder.file(QStringLiteral("xml.lng")));
        if (c.contents)
            folder.write(QStringLiteral("xml.lng"), c.contents);
        pendingDialogs = std::make_unique<ScriptedDialogs>();
        dialogs = pendingDialogs.get();
        start();
        ASSERT_EQ(dialogs->messages.size(), 1) << c.mentions;
        EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("xml.lng"))) << c.mentions;
        EXPECT_TRUE(dialogs->messages[0].text.contains(QLatin1String(c.mentions))) << dialogs->messages[0].text.toStdString();
        EXPECT_EQ(dialogs->messages[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(child<EditorPane>(QStringLiteral("txtXML"))->language(), nullptr);
        EXPECT_TRUE(window->isVisible());
        window.reset();
    }
}

TEST_F(StartupTest, StartUpIsTracedInTheStatusPaneWhichThenFollowsTheTraceSetting)
{
    start();
    auto *status = child<TraceBox>(QStringLiteral("txtStatus"));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("LoadMemberLists\r\nLoadFileData\r\n")))
        << status->text().toStdString();
    EXPECT_FALSE(status->isVisible());
    EXPECT_FALSE(window->statusPaneShown());
    EXPECT_TRUE(child<QLabel>(QStringLiteral("lblTokens"))->isVisible());
    window.reset();

    storeSetting(QStringLiteral("Status"), QStringLiteral("True"));
    start();
    EXPECT_TRUE(child<TraceBox>(QStringLiteral("txtStatus"))->isVisible());
    EXPECT_TRUE(window->statusPaneShown());
    EXPECT_FALSE(child<QLabel>(QStringLiteral("lblTokens"))->isVisible());
    EXPECT_FALSE(child<QLabel>(QStringLiteral("lbltokens2"))->isVisible());
}

TEST_F(StartupTest, TheWindowOpensOnTheFirstLanguageWithCleanFlags)
{
    start();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Varlex - Language File Generator"));
    auto *languages = child<QListWidget>(QStringLiteral("lstLang"));
    EXPECT_GE(languages->count(), 1);
    EXPECT_EQ(languages->currentRow(), 0);
    EXPECT_FALSE(window->db().dirty);
    EXPECT_FALSE(window->db().loading);
    // The first language has been written: the flag and the message are the writer's.
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblRedFlag"))), window->xmlWriter().redFlag());
    EXPECT_EQ(window->validityMessage(), window->xmlWriter().validityMessage());
    EXPECT_TRUE(folder.exists(QStringLiteral("varlex.lng")));
    EXPECT_EQ(window->statusBarText(), window->statusText());
}

TEST_F(StartupTest, PlainOptionTogglesOnlyInvertTheirCheck)
{
    start();
    for (const char *name : {"mnuAutoSeek", "mnuAutoInclude", "mnuCodeMax", "mnuConfirmation", "mnuHideAttributes"}) {
        QAction *item = action(QString::fromLatin1(name));
        const bool before = item->isChecked();
        item->trigger();
        EXPECT_NE(item->isChecked(), before) << name;
        item->trigger();
        EXPECT_EQ(item->isChecked(), before) << name;
    }
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(StartupTest, EasyReadSetsTheSeparatorAndTheToolbarButton)
{
    storeSetting(QStringLiteral("EasyRead"), QStringLiteral("True"));
    start();
    EXPECT_TRUE(window->toolbarButton(QStringLiteral("easy"))->isChecked());
    EXPECT_EQ(window->attributeSeparator(), QStringLiteral("\r\n"));
    action(QStringLiteral("mnuEasyRead"))->trigger();
    EXPECT_FALSE(window->toolbarButton(QStringLiteral("easy"))->isChecked());
    EXPECT_EQ(window->attributeSeparator(), QStringLiteral(" "));
    window->toolbarButton(QStringLiteral("easy"))->trigger();
    EXPECT_TRUE(action(QStringLiteral("mnuEasyRead"))->isChecked());
    EXPECT_TRUE(window->toolbarButton(QStringLiteral("easy"))->isChecked());
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(StartupTest, EditorOptionsReachTheSamplePaneAndTwoTogglesRestoreIt)
{
    for (const char *key : {"DisplayLeft", "DisplayWhite", "LineNumbering"})
        storeSetting(QString::fromLatin1(key), QStringLiteral("True"));
    start();
    auto *sample = child<EditorPane>(QStringLiteral("txtSample"));
    EXPECT_TRUE(sample->leftMarginVisible());
    EXPECT_TRUE(sample->whiteSpaceVisible());
    EXPECT_TRUE(sample->lineNumbersVisible());
    EXPECT_FALSE(sample->dropFilesEnabled());
    EXPECT_FALSE(sample->boldSelectionLineNumber());

    action(QStringLiteral("mnuDisplayWhite"))->trigger();
    EXPECT_FALSE(sample->whiteSpaceVisible());
    EXPECT_FALSE(action(QStringLiteral("mnuDisplayWhite"))->isChecked());
    action(QStringLiteral("mnuDisplayWhite"))->trigger();
    EXPECT_TRUE(sample->whiteSpaceVisible());
    EXPECT_TRUE(action(QStringLiteral("mnuDisplayWhite"))->isChecked());

    const std::pair<const char *, std::function<bool()>> items[] = {
        {"mnuDisplayLeft", [&] { return sample->leftMarginVisible(); }},
        {"mnuDropFiles", [&] { return sample->dropFilesEnabled(); }},
        {"mnuLineNumbering", [&] { return sample->lineNumbersVisible(); }},
        {"mnuLineNumberBold", [&] { return sample->boldSelectionLineNumber(); }},
    };
    for (const auto &[name, state] : items) {
        const bool before = state();
        action(QString::fromLatin1(name))->trigger();
        EXPECT_NE(state(), before) << name;
        EXPECT_EQ(action(QString::fromLatin1(name))->isChecked(), state()) << name;
    }
}
