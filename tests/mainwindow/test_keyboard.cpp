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
    const QByteArray stored = folder.read(QStringLiteral("varlex.dat"));
    languages()->setFocus();
    QStringList visited;
    for (QWidget *at = languages(); visited.size() < 100; at = QApplication::focusWidget()) {
        if (!visited.isEmpty() && at == languages())
            break;
        visited << at->objectName();
        const bool types = qobject_cast<QPlainTextEdit *>(at) || qobject_cast<EditorPane *>(at);
        QTest::keyClick(at, Qt::Key_Tab, types ? Qt::ControlModifier : Qt::NoModifier);
    }
    const QStringList order = {"lstLang", "txtWordChars", "lblTokensets", "lstTokenset", "cmbID", "lblForeColor",
                               "cmbValidScopes_9", "cmbRule", "lblTokens", "txtTokens", "lblSample", "imgMargin",
                               "txtSample", "lblXML", "cmdApply", "cmdSave", "lblStatus", "lblRedFlag", "txtXML"};
    qsizetype at = 0;
    for (const QString &name : order) {
        const qsizetype found = visited.indexOf(name, at);
        EXPECT_GE(found, at) << name.toStdString() << " in " << visited.join(QLatin1Char(' ')).toStdString();
        at = qMax(at, found);
    }
    EXPECT_FALSE(session().isDirty() || window->isWindowModified());
    EXPECT_EQ(session().undoStack().count(), 0);
    EXPECT_EQ(xmlPane()->text(), xml);
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), stored);

    // A focused label acts on Space as on a click: the Trace label turns the status pane on.
    label("lblStatus")->setFocus();
    QTest::keyClick(label("lblStatus"), Qt::Key_Space);
    EXPECT_TRUE(action("mnuDebug")->isChecked());
}

// One accelerator letter per item in every menu; Ctrl+S, Ctrl+Q and F1 reach their items.
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
            EXPECT_FALSE(letters.contains(letter))
                << menu->objectName().toStdString() << ": " << letters.value(letter).toStdString() << " / "
                << item->text().toStdString();
            letters.insert(letter, item->text());
        }
    }
    EXPECT_EQ(action("mnuOnlineHelp")->shortcut(), QKeySequence(Qt::Key_F1));

    samplePane()->setFocus();
    QTest::keyClicks(samplePane(), QStringLiteral("x"));
    ASSERT_TRUE(session().isDirty());
    QTest::keyClick(samplePane(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(session().isDirty());
    EXPECT_TRUE(folder.read(QStringLiteral("varlex.dat")).contains("xif x then"));
    QTest::keyClick(samplePane(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// Seek finds the tokenset's element whatever its name holds, in all four forms of the XML, and both
// panes have a find bar.
TEST_F(WindowTest, SeekFindsEscapedNamesInEveryForm)
{
    Language language = TemplateDatabase::language(QStringLiteral("Seek"));
    language.tokensets[1].name = QStringLiteral("Say \"hi\" & <go>");
    TemplateDatabase::write(folder, {language});
    start();
    EXPECT_TRUE(FindBar::of(xmlPane()) && FindBar::of(samplePane()));
    tokensets()->setCurrentRow(1);
    for (const bool easyRead : {false, true}) {
        for (const bool hide : {false, true}) {
            if (action("mnuEasyRead")->isChecked() != easyRead)
                action("mnuEasyRead")->trigger();
            if (action("mnuHideAttributes")->isChecked() != hide)
                action("mnuHideAttributes")->trigger();
            xmlPane()->setCursorPosition(xmlPane()->lines() - 1, 0); // from the end: Seek goes round
            action("mnuSeek")->trigger();
            const QString found = xmlPane()->selectedText();
            EXPECT_TRUE(found.startsWith(QStringLiteral("<tokenset"))
                        && found.endsWith(QStringLiteral("name=\"Say &quot;hi&quot; &amp; &lt;go&gt;\"")))
                << easyRead << hide << found.toStdString();
        }
    }
}
