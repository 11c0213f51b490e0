// The token list commands on the boxes and the export commands.
#include "widgets/editorpane.h"
#include "mainwindow/editfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTest>

TEST_F(EditTest, TokenCommandsRewriteTheBoxesAndStoreThem)
{
    start();
    selectTokenset(9); // Keywords: if, then, begin, end
    action(QStringLiteral("mnuSort"))->trigger();
    EXPECT_EQ(currentTokenset().tokens, QStringLiteral("begin\r\nend\r\nif\r\nthen"));
    EXPECT_TRUE(workingFile().indexOf(QStringLiteral(">begin<")) < workingFile().indexOf(QStringLiteral(">then<")));
    action(QStringLiteral("mnuTitleCase"))->trigger();
    EXPECT_EQ(currentTokenset().tokens, QStringLiteral("Begin\r\nEnd\r\nIf\r\nThen"));

    QTextCursor cursor = tokensBox()->textCursor();
    cursor.movePosition(QTextCursor::End);
    tokensBox()->setTextCursor(cursor);
    action(QStringLiteral("mnuInsert4"))->trigger();
    EXPECT_TRUE(currentTokenset().tokens.endsWith(QStringLiteral("Then :::: ListMembers")));
    window->findChild<QAction *>(QStringLiteral("mnuConfirmation"))->setChecked(false);
    action(QStringLiteral("mnuRemoveAttributes"))->trigger();
    EXPECT_TRUE(currentTokenset().tokens.endsWith(QStringLiteral("\r\nThen")));

    const int size = window->tokenFontSize();
    action(QStringLiteral("mnuToggleFont"))->trigger();
    EXPECT_EQ(tokensBox()->font().pointSize(), window->tokenFontSize());
    EXPECT_NE(window->tokenFontSize(), size);

    tokensBox()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window->statusBarText(), QStringLiteral("token :::: action :::: regexp :::: rule"));
    samplePane()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window->statusBarText(), window->statusText());
}

TEST_F(EditTest, ExportWritesTheLanguagesAndReportsFailuresTogether)
{
    start();
    dialogs->folders.enqueue(QString()); // Cancel keeps the folder
    const QString before = window->exportFolder();
    action(QStringLiteral("mnuSelectLanguage"))->trigger();
    EXPECT_EQ(window->exportFolder(), before);
    dialogs->folders.enqueue(folder.file(QStringLiteral("Out")));
    action(QStringLiteral("mnuSelectLanguage"))->trigger();
    EXPECT_EQ(window->exportFolder(), folder.file(QStringLiteral("Out"))); // letter case kept

    action(QStringLiteral("mnuCreate"))->trigger();
    EXPECT_TRUE(folder.exists(QStringLiteral("Out/Basic.lng")));
    window->db().languages[1].name = QStringLiteral("a/b"); // cannot name a file
    action(QStringLiteral("mnuCreateAll"))->trigger();
    EXPECT_TRUE(folder.exists(QStringLiteral("Out/Empty.lng")));
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages.first().text.contains(QStringLiteral("a/b")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
