// New languages, import through the file dialog, member lists and margin images.
#include "widgets/editorpane.h"
#include "mainwindow/editfixture.h"

#include <QAction>
#include <QDir>
#include <QImage>

TEST_F(EditTest, NewLanguageComesFromTheTemplateAndCancelChangesNothing)
{
    folder.write(QStringLiteral("IDList.txt"), "text\r\n  \r\n keywords\r\n");
    start();
    dialogs->inputs.enqueue(QString());
    action(QStringLiteral("mnuNew"))->trigger();
    EXPECT_EQ(languages()->count(), 3);

    dialogs->inputs.enqueue(QStringLiteral("Basic"));
    action(QStringLiteral("mnuNew"))->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Pascal", "Empty", "Basic"}));
    EXPECT_EQ(languages()->currentRow(), 3);
    EXPECT_EQ(tokensets()->count(), 14);
    EXPECT_EQ(tokensets()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(items(combo(QStringLiteral("cmbID"))), QStringList({"text", " keywords"}));
    EXPECT_TRUE(window->db().dirty); // unsaved work is offered for saving at close
}

TEST_F(EditTest, ImportAddsTheChosenFileAsALanguage)
{
    start();
    const QString xml = workingFile(); // Basic, as generated
    folder.write(QStringLiteral("in/Other.lng"), xml.toLatin1());
    dialogs->files.enqueue(QString()); // Cancel
    action(QStringLiteral("mnuImport"))->trigger();
    EXPECT_EQ(languages()->count(), 3);
    EXPECT_NE(window->importFolder(), folder.file(QStringLiteral("in")));

    dialogs->files.enqueue(folder.file(QStringLiteral("in/missing.lng")));
    action(QStringLiteral("mnuImport"))->trigger();
    EXPECT_EQ(dialogs->messages.last().title, QStringLiteral("Import Language"));
    EXPECT_EQ(languages()->count(), 3);
    EXPECT_EQ(window->db().languages.size(), 3);

    dialogs->files.enqueue(folder.file(QStringLiteral("in/Other.lng")));
    action(QStringLiteral("mnuImport"))->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Pascal", "Empty", "Basic"}));
    EXPECT_EQ(languages()->currentRow(), 3);
    EXPECT_EQ(window->importFolder(), QDir(folder.file(QStringLiteral("in"))).absolutePath());
    EXPECT_EQ(tokensets()->count(), 14);
    EXPECT_TRUE(window->db().dirty);
}

TEST_F(EditTest, MemberListsFillBothBoxesAndABrokenFileIsNamedOnce)
{
    const QByteArray list = "<memberlist name=\"Win32\"><member name=\"CreateWindow\"/></memberlist>";
    folder.write(QStringLiteral("mem/win32.mbr"), list);
    folder.write(QStringLiteral("mem/broken.mbr"), "<memberlist");
    start();
    EXPECT_EQ(items(combo(QStringLiteral("cmbLMemberList"))), QStringList({"<none>"}));

    dialogs->folders.enqueue(QString()); // Cancel
    action(QStringLiteral("mnuSelectMemberlist"))->trigger();
    dialogs->folders.enqueue(folder.file(QStringLiteral("mem")));
    action(QStringLiteral("mnuSelectMemberlist"))->trigger();
    EXPECT_EQ(window->memberListFolder(), folder.file(QStringLiteral("mem")));
    EXPECT_EQ(items(combo(QStringLiteral("cmbLMemberList"))), QStringList({"<none>", "Win32"}));
    EXPECT_EQ(items(combo(QStringLiteral("cmbTMemberList"))), QStringList({"<none>", "Win32"}));
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages.first().text.contains(QStringLiteral("broken.mbr")));
    EXPECT_FALSE(window->db().dirty);

    closeWindow();
    start(); // the chosen folder is loaded again at the next start
    EXPECT_EQ(items(combo(QStringLiteral("cmbTMemberList"))), QStringList({"<none>", "Win32"}));
    combo(QStringLiteral("cmbTMemberList"))->setCurrentIndex(1);
    EXPECT_EQ(currentTokenset().tmemberlist, QStringLiteral("Win32"));
    EXPECT_TRUE(workingFile().contains(QStringLiteral("memberlist=\"Win32\"")));
}

TEST_F(EditTest, MarginImagesAndTheMarginButton)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QDir().mkpath(folder.file(QStringLiteral("pics")));
    picture.save(folder.file(QStringLiteral("pics/Keyword.BMP")), "BMP");
    picture.save(folder.file(QStringLiteral("pics/bookmark.png")), "PNG");
    start(); // the default image folder does not exist: no message
    EXPECT_TRUE(dialogs->messages.isEmpty());

    dialogs->folders.enqueue(folder.file(QStringLiteral("pics")));
    action(QStringLiteral("mnuSelectImageFolder"))->trigger();
    EXPECT_EQ(window->marginImageKeys(), QStringList({"mar:keyword", "mar:bookmark"}));
    EXPECT_EQ(samplePane()->marginImageCount(), 2);

    picture.save(folder.file(QStringLiteral("pics/keyword.png")), "PNG");
    dialogs->folders.enqueue(folder.file(QStringLiteral("pics")));
    action(QStringLiteral("mnuSelectImageFolder"))->trigger();
    EXPECT_EQ(dialogs->messages.last().title, QStringLiteral("Load Icons"));

    window->imgMargin_Click();
    EXPECT_EQ(samplePane()->marginImageBits(0), 2);
    EXPECT_EQ(window->statusBarText(), QStringLiteral("1"));
    window->imgMargin_Click();
    EXPECT_EQ(samplePane()->marginImageBits(0), 0);
    EXPECT_EQ(window->statusBarText(), QStringLiteral("2"));
}
