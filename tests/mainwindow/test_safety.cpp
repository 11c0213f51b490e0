// What the window does where data could be lost, a message could mislead or a definition could hold
// it up: a database changed on disk, an import too large for a record, an export folder that cannot
// be made; lint and the colouring's step limit in the status pane; a definition slow on the sample.
#include "mainwindow/windowfixture.h"
#include "model/databaselock.h"
#include "widgets/editorpane.h"
#include "widgets/panelexer.h"
#include "widgets/tracebox.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>

#include <unistd.h>

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
    EXPECT_TRUE(QTest::qWaitFor([status] { return status->text().contains(QStringLiteral("(a+)+$")); }))
        << status->text().toStdString();
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

    // The window closes while a lint runs: the worker stops before the progress window goes, and
    // touches nothing of the window after.
    action("mnuLint")->trigger(); // off
    action("mnuLint")->trigger(); // on again: a lint runs
    window.reset();
}

// A file whose name is not UTF-8 (from a Latin-1 disk) is imported by the name the file dialog
// shows for it, and a message names it as the shell shows it.
TEST_F(WindowTest, FilesWhoseNamesAreNotUtf8AreImported)
{
    start();
    const QByteArray good = QFile::encodeName(folder.path()) + "/caf\xe9.lng";
    const QByteArray bad = QFile::encodeName(folder.path()) + "/na\xefve.lng";
    std::ofstream(good.constData()) << "<language name=\"Cafe\"><tokenset name=\"Words\" id=\"keywords\">"
                                       "<tokens><token>if</token></tokens></tokenset></language>";
    std::ofstream(bad.constData()) << "<language";
    dialogs->files = {QFile::decodeName(good), QFile::decodeName(bad)}; // as a file dialog reads them
    action("mnuImport")->trigger();
    EXPECT_TRUE(items(languages()).contains(QStringLiteral("Cafe")));
    EXPECT_TRUE(dialogs->messages.empty());
    action("mnuImport")->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("na\\xEFve.lng"))) << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(languages()->count(), 4);
    for (const QByteArray &name : {good, bad})
        ::unlink(name.constData()); // the temporary folder's own removal reads such names as the dialog does
}

// A definition that is slow on the sample (a hundred tokens that backtrack on every line of 60 KB)
// never holds up the window: the sample is coloured in the background, the event loop goes on and
// keys typed meanwhile are handled at once, and the sample ends coloured by the definition as it
// stands after them.
TEST_F(WindowTest, ADefinitionSlowOnTheSampleNeverHoldsUpTyping)
{
    QString sample;
    for (int i = 0; i < 30; ++i)
        sample += QString(2000, u'a') + QStringLiteral("!\r\n");
    sample += QStringLiteral("if zz");
    Language language = TemplateDatabase::language(QStringLiteral("Slow"), sample);
    QStringList slow;
    for (int i = 0; i < 100; ++i)
        slow << QStringLiteral("(a+)+$|z%1").arg(i);
    Tokenset &numbers = language.tokensets[11];
    ASSERT_EQ(numbers.name, QStringLiteral("Numbers"));
    numbers.tokens = slow.join(QStringLiteral("\r\n"));
    numbers.regexp = 1;
    TemplateDatabase::write(folder, {language});
    start();
    tokensets()->setCurrentItem(tokensets()->findItems(QStringLiteral("Keywords"), Qt::MatchExactly).value(0));
    ASSERT_EQ(tokenset().name, QStringLiteral("Keywords"));

    EditorPane *pane = samplePane();
    using Sci = QsciScintillaBase;
    const long length = pane->SendScintilla(Sci::SCI_GETLENGTH);
    const auto styled = [pane] { return pane->SendScintilla(Sci::SCI_GETENDSTYLED); };
    // After five ticks of a timer, a new keyword is typed, while the sample is still being coloured.
    QTimer ticker;
    ticker.setInterval(1);
    int ticks = 0;
    bool typed = false;
    bool colouringWhenTyped = false;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (typed || ++ticks < 5)
            return;
        typed = true;
        colouringWhenTyped = styled() < length;
        tokensBox()->setFocus();
        tokensBox()->moveCursor(QTextCursor::End);
        QTest::keyClick(tokensBox(), Qt::Key_Return);
        QTest::keyClicks(tokensBox(), QStringLiteral("zz"));
    });
    ticker.start();
    pane->SendScintilla(Sci::SCI_COLOURISE, 0L, -1L); // the whole sample, as scrolling through it asks
    ASSERT_TRUE(QTest::qWaitFor([&] { return typed; }, 60000));
    ticker.stop();
    EXPECT_TRUE(colouringWhenTyped);
    EXPECT_TRUE(tokenset().tokens.endsWith(QStringLiteral("\r\nzz"))) << tokenset().tokens.toStdString();

    // The rebuilt definition colours the whole sample: "zz" is a keyword now, the slow tokens match
    // nowhere.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const CompiledLanguagePtr shown = pane->language();
            const int keywords = shown ? shown->indexOf(QStringLiteral("Keywords")) : -1;
            if (keywords < 0 || shown->definition().tokensets.at(keywords).tokens.tokens.constLast().text != QStringLiteral("zz"))
                return false;
            pane->SendScintilla(Sci::SCI_COLOURISE, styled(), -1L);
            return styled() >= length && !pane->paneLexer()->colouringPending();
        },
        120000));
    const CompiledLanguagePtr shown = pane->language();
    const int keyword = PaneLexer::styleForTokenset(shown->indexOf(QStringLiteral("Keywords")));
    const int plain = PaneLexer::styleForTokenset(shown->textTokenset());
    const auto styleAt = [pane](long position) { return int(pane->SendScintilla(Sci::SCI_GETSTYLEAT, position)); };
    EXPECT_EQ(styleAt(length - 1), keyword); // the "zz" just typed
    EXPECT_EQ(styleAt(length - 5), keyword); // "if"
    EXPECT_EQ(styleAt(0), plain);
    EXPECT_EQ(styleAt(length / 2), plain);
}
