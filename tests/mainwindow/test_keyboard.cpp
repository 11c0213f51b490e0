// The main window by keyboard: Tab order, leaving the panes and token boxes, menu keys, Seek.
#include "mainwindow/windowfixture.h"
#include "widgets/editorpane.h"
#include "widgets/findbar.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

// Tab (Ctrl+Tab where Tab types) visits every control in the order they stand and changes nothing.
TEST_F(WindowTest, TabReachesEveryControlInOrderAndChangesNothing)
{
    start();
    xmlPane()->setText(xmlPane()->text() + QStringLiteral(" ")); // a manual change turns Apply and Save on
    const QString xml = xmlPane()->text();
    const int steps = session().undoStack().count();
    const QByteArray stored = folder.read(QStringLiteral("varlex.dat"));
    QStringList visited;
    for (QWidget *at = languages(); !visited.contains(at->objectName()) && visited.size() < 100;
         at = QApplication::focusWidget()) {
        visited << at->objectName();
        const bool types = qobject_cast<QPlainTextEdit *>(at) || qobject_cast<EditorPane *>(at);
        at->setFocus();
        QTest::keyClick(at, Qt::Key_Tab, types ? Qt::ControlModifier : Qt::NoModifier);
    }
    qsizetype at = 0;
    for (const char *name : {"lstLang", "txtWordChars", "lblTokensets", "lstTokenset", "cmbID", "lblForeColor",
                             "cmbValidScopes_9", "cmbRule", "lblTokens", "txtTokens", "lblSample", "imgMargin",
                             "txtSample", "lblXML", "cmdApply", "cmdSave", "lblStatus", "lblRedFlag", "txtXML"}) {
        const qsizetype found = visited.indexOf(QLatin1String(name), at);
        EXPECT_GE(found, at) << name << " in " << visited.join(QLatin1Char(' ')).toStdString();
        at = qMax(at, found);
    }
    EXPECT_FALSE(session().isDirty() || session().undoStack().count() > steps);
    EXPECT_TRUE(xmlPane()->text() == xml && folder.read(QStringLiteral("varlex.dat")) == stored);
    // A focused label acts on Space as on a click: the Trace label turns the status pane on.
    QTest::keyClick(label("lblStatus"), Qt::Key_Space);
    EXPECT_TRUE(action("mnuDebug")->isChecked());
}

// One accelerator letter per item in every menu; Ctrl+S and Ctrl+Q reach their items from a pane.
TEST_F(WindowTest, MenuKeysAreDistinctAndTheUsualShortcutsWork)
{
    start();
    for (const QMenu *menu : window->findChildren<QMenu *>()) {
        QMap<QChar, QString> letters;
        for (const QAction *item : menu->actions()) {
            const qsizetype amp = item->text().indexOf(QLatin1Char('&'));
            if (!item->isVisible() || amp < 0 || amp + 1 >= item->text().size())
                continue;
            const QChar letter = item->text().at(amp + 1).toLower();
            EXPECT_FALSE(letters.contains(letter)) << menu->objectName().toStdString() << ": "
                                                   << letters.value(letter).toStdString() << " / " << item->text().toStdString();
            letters.insert(letter, item->text());
        }
    }
    EXPECT_EQ(action("mnuOnlineHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    samplePane()->setFocus();
    QTest::keyClicks(samplePane(), QStringLiteral("x"));
    QTest::keyClick(samplePane(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(!session().isDirty() && folder.read(QStringLiteral("varlex.dat")).contains("xif x then"));
    QTest::keyClick(samplePane(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// Seek finds the tokenset's element whatever its name holds, in all four forms of the XML, going
// round from the end; both panes have a find bar.
TEST_F(WindowTest, SeekFindsEscapedNamesInEveryForm)
{
    Language language = TemplateDatabase::language(QStringLiteral("Seek"));
    language.tokensets[1].name = QStringLiteral("Say \"hi\" & <go>");
    TemplateDatabase::write(folder, {language});
    start();
    EXPECT_TRUE(FindBar::of(xmlPane()) && FindBar::of(samplePane()));
    tokensets()->setCurrentRow(1);
    for (const char *option : {"", "mnuEasyRead", "mnuHideAttributes", "mnuEasyRead"}) {
        if (*option)
            action(option)->trigger();
        xmlPane()->setCursorPosition(xmlPane()->lines() - 1, 0);
        action("mnuSeek")->trigger();
        const QString found = xmlPane()->selectedText();
        EXPECT_TRUE(found.startsWith(QStringLiteral("<tokenset")) && found.endsWith(QStringLiteral("name=\"Say &quot;hi&quot; &amp; &lt;go&gt;\"")))
            << option << found.toStdString();
    }
}
