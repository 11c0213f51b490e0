// What the window does where data could be lost or a message could mislead: a database changed on
// disk, an import too large for a record, an export folder that cannot be made; lint and the
// colouring's step limit in the status pane.
#include "mainwindow/windowfixture.h"
#include "model/databaselock.h"
#include "widgets/editorpane.h"
#include "widgets/tracebox.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

TEST_F(WindowTest, SavingOverAFileChangedOnDiskAsksFirst)
{
    start();
    check("chkHidden")->click();
    const QByteArray theirs = folder.read(QStringLiteral("varlex.dat")) + "x";
    folder.write(QStringLiteral("varlex.dat"), theirs); // another program saved meanwhile
    const struct {
        Dialogs::Answer answer;
        bool overwritten, copied; // copied: the changes stand in another file (since this step or earlier)
    } cases[] = {{Dialogs::Answer::Cancel, false, false}, {Dialogs::Answer::No, false, true},
                 {Dialogs::Answer::Yes, true, true}};
    for (const auto &c : cases) {
        dialogs->answers = {c.answer};
        dialogs->files = {folder.file(QStringLiteral("mine.dat"))};
        QTest::keyClick(languages(), Qt::Key_S, Qt::ControlModifier);
        ASSERT_FALSE(dialogs->messages.empty());
        EXPECT_EQ(dialogs->messages.back().text,
                  QStringLiteral("varlex.dat was changed on disk by another program since Varlex read it."));
        EXPECT_EQ(dialogs->verbs.last(), QStringLiteral("Overwrite|Save As...|Cancel"));
        EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")) != theirs, c.overwritten);
        EXPECT_EQ(folder.exists(QStringLiteral("mine.dat")), c.copied);
        EXPECT_EQ(session().isDirty(), !c.overwritten);
    }
    const size_t asked = dialogs->messages.size();
    check("chkHidden")->click();
    action("mnuSave")->trigger(); // saved by this window last: no question
    EXPECT_EQ(dialogs->messages.size(), asked);
}

// The window's save holds varlex.dat.lock around its check and write, never while it asks: a writer
// that holds the lock keeps the window from writing, and a change made while the question is open is
// asked about again rather than overwritten.
TEST_F(WindowTest, TheWindowsSaveTakesTheLockOnlyAroundCheckAndWrite)
{
    start();
    check("chkHidden")->click();
    const QByteArray before = folder.read(QStringLiteral("varlex.dat"));
    {
        DatabaseLock other(folder.path());
        ASSERT_TRUE(other.acquire());
        action("mnuSave")->trigger();
        ASSERT_EQ(dialogs->messages.size(), 1u);
        EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("is being changed by another program"))
                    && dialogs->messages[0].text.contains(DatabaseLock::lockPath(folder.path())))
            << dialogs->messages[0].text.toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), before);
        EXPECT_TRUE(session().isDirty());
    }

    folder.write(QStringLiteral("varlex.dat"), before + "1");
    int lockFreeWhileAsked = 0;
    dialogs->whileShown = [&](const ScriptedDialogs::Message &) {
        DatabaseLock probe(folder.path());
        lockFreeWhileAsked += probe.acquire(std::chrono::milliseconds(0));
        if (lockFreeWhileAsked == 1)
            folder.write(QStringLiteral("varlex.dat"), before + "22"); // another save while the user reads
    };
    dialogs->answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    action("mnuSave")->trigger();
    EXPECT_EQ(dialogs->messages.size(), 3u); // asked once for each change
    EXPECT_EQ(lockFreeWhileAsked, 2);
    EXPECT_FALSE(session().isDirty());
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")).size(), before.size());
}

TEST_F(WindowTest, ImportTooLargeAndExportFolderProblemsAreSaidOnce)
{
    start();
    const QByteArray tokens = QByteArray("<token>word</token>").repeated(6000); // 66,000 bytes of tokens
    folder.write(QStringLiteral("Big.lng"), "<language name=\"Big\"><tokenset name=\"Words\" id=\"keywords\"><tokens>"
                                                + tokens + "</tokens></tokenset></language>");
    dialogs->files = {folder.file(QStringLiteral("Big.lng"))};
    action("mnuImport")->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("Words")) && dialogs->messages[0].text.contains(QStringLiteral("cannot be imported")))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(languages()->count(), 3);

    session().setExportFolder(folder.file(QStringLiteral("no/such/folder")));
    action("mnuCreateAll")->trigger();
    EXPECT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages.back().text.count(QStringLiteral("no/such/folder")), 1); // not once per language
}

TEST_F(WindowTest, LintAndTheStepLimitShowInTheStatusPane)
{
    Language language = TemplateDatabase::language(QStringLiteral("Slow"), QStringLiteral("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!"));
    language.tokensets[1].tokens = QStringLiteral("(a+)+$\r\n(");
    language.tokensets[1].regexp = 1;
    TemplateDatabase::write(folder, {language});
    storeSetting("Status", QStringLiteral("True"));
    start();
    samplePane()->repaint(); // colouring the sample runs the pattern out of steps
    const TraceBox *status = child<TraceBox>("txtStatus");
    EXPECT_TRUE(status->text().contains(QStringLiteral("(a+)+$"))) << status->text().toStdString();
    // Lint runs off the window's thread: the result arrives later; Cancel drops it.
    const auto linted = [this] {
        return QTest::qWaitFor([this] { return !window->findChild<QProgressDialog *>("dlgLintProgress"); }, 20000);
    };
    action("mnuLint")->trigger();
    ASSERT_TRUE(linted());
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("<Lint>\r\n")) && status->text().contains(QStringLiteral("regexp-invalid")))
        << status->text().toStdString();
    action("mnuLint")->trigger(); // off
    action("mnuLint")->trigger(); // on again
    QProgressDialog *progress = child<QProgressDialog>("dlgLintProgress");
    ASSERT_TRUE(progress);
    progress->findChild<QPushButton *>()->click(); // Cancel
    ASSERT_TRUE(linted());
    EXPECT_EQ(status->text(), QStringLiteral("<Lint>\r\nLint of \"Slow\" cancelled.")) << status->text().toStdString();
}
