#include "mainwindow/windowfixture.h"
#include "model/databasefile.h"

#include <QDir>
#include <QListWidget>

namespace {

QByteArray databaseOf(const QStringList &names)
{
    QVector<Language> languages(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        languages[i].name = names[i];
    QByteArray bytes;
    DatabaseFile::encode(languages, bytes);
    return bytes;
}

QStringList listed(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

} // namespace

class FileCommandTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        folder.write(QStringLiteral("varlex.dat"), databaseOf({QStringLiteral("Basic"), QStringLiteral("Pascal")}));
        folder.write(QStringLiteral("varlex.dat.old"), databaseOf({QStringLiteral("Old")}));
    }

    QListWidget *languages() const { return child<QListWidget>(QStringLiteral("lstLang")); }

    // Breaks the next write of varlex.dat: a folder stands in its place.
    void blockDatabase()
    {
        QFile::remove(folder.file(QStringLiteral("varlex.dat")));
        QDir().mkpath(folder.file(QStringLiteral("varlex.dat")));
    }
};

TEST_F(FileCommandTest, SaveWritesTheDatabaseAndClearsTheDirtyFlag)
{
    start();
    EXPECT_EQ(listed(languages()), QStringList({"Basic", "Pascal"}));
    window->db().languages[1].name = QStringLiteral("Modula");
    window->db().dirty = true;
    action(QStringLiteral("mnuSave"))->trigger();
    EXPECT_FALSE(window->db().dirty);
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), databaseOf({QStringLiteral("Basic"), QStringLiteral("Modula")}));
    EXPECT_TRUE(dialogs->messages.isEmpty());
}

TEST_F(FileCommandTest, AFailedSaveNamesTheFileAndKeepsTheChanges)
{
    start();
    window->db().dirty = true;
    blockDatabase();
    action(QStringLiteral("mnuSave"))->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("varlex.dat")));
    EXPECT_EQ(dialogs->messages[0].icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(window->db().dirty);
}

TEST_F(FileCommandTest, TheCloseQuestionAndItsThreeAnswers)
{
    // Nothing changed: no question.
    start();
    EXPECT_TRUE(closeWindow());
    EXPECT_TRUE(dialogs->messages.isEmpty());

    const QByteArray saved = folder.read(QStringLiteral("varlex.dat"));
    const struct {
        Dialogs::Answer answer;
        bool blocked;
        bool closes;
        bool written;
    } cases[] = {
        {Dialogs::Answer::Cancel, false, false, false},
        {Dialogs::Answer::No, false, true, false},
        {Dialogs::Answer::Yes, false, true, true},
        {Dialogs::Answer::Yes, true, false, false},
    };
    for (const auto &c : cases) {
        folder.write(QStringLiteral("varlex.dat"), saved);
        pendingDialogs = std::make_unique<ScriptedDialogs>();
        dialogs = pendingDialogs.get();
        start();
        window->db().languages[0].name = QStringLiteral("Changed");
        window->db().dirty = true;
        if (c.blocked)
            blockDatabase();
        dialogs->answers.enqueue(c.answer);
        EXPECT_EQ(closeWindow(), c.closes);
        ASSERT_GE(dialogs->messages.size(), 1);
        EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("Save changes?"));
        EXPECT_EQ(dialogs->messages[0].title, QStringLiteral("Save Changes"));
        EXPECT_EQ(dialogs->messages[0].buttons, Dialogs::Buttons::YesNoCancel);
        if (!c.closes) {
            EXPECT_TRUE(window->db().dirty);
            EXPECT_EQ(window->db().languages[0].name, QStringLiteral("Changed"));
            window->db().dirty = false;
            QDir(folder.file(QStringLiteral("varlex.dat"))).removeRecursively();
        }
        window.reset();
        if (!c.blocked)
            EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")) != saved, c.written);
    }
}

TEST_F(FileCommandTest, BackupCopiesTheSavedFileAndReportsAMissingOne)
{
    start();
    window->db().languages[0].name = QStringLiteral("Unsaved");
    action(QStringLiteral("mnuBackup"))->trigger();
    action(QStringLiteral("mnuBackup"))->trigger();
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat.old")), folder.read(QStringLiteral("varlex.dat")));
    EXPECT_TRUE(dialogs->messages.isEmpty());

    QFile::remove(folder.file(QStringLiteral("varlex.dat")));
    action(QStringLiteral("mnuBackup"))->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("varlex.dat")));
}

TEST_F(FileCommandTest, RestoreAndReloadAskOnlyWithConfirmation)
{
    struct Command {
        const char *item;
        const char *question;
        const char *title;
        QStringList after;
    };
    const Command commands[] = {
        {"mnuReload", "Are you sure?", "Reload Database", {"Basic", "Pascal"}},
        {"mnuRestore", "Restore database from backup?", "Restore Database", {"Old"}},
    };
    for (const Command &command : commands) {
        for (const bool confirmation : {true, false}) {
            folder.write(QStringLiteral("varlex.dat"), databaseOf({QStringLiteral("Basic"), QStringLiteral("Pascal")}));
            pendingDialogs = std::make_unique<ScriptedDialogs>();
            dialogs = pendingDialogs.get();
            start();
            action(QStringLiteral("mnuConfirmation"))->setChecked(confirmation);
            window->db().languages[0].name = QStringLiteral("Unsaved");
            window->db().dirty = true;

            if (confirmation) {
                dialogs->answers.enqueue(Dialogs::Answer::Cancel);
                action(QString::fromLatin1(command.item))->trigger();
                ASSERT_EQ(dialogs->messages.size(), 1);
                EXPECT_EQ(dialogs->messages[0].text, QString::fromLatin1(command.question));
                EXPECT_EQ(dialogs->messages[0].title, QString::fromLatin1(command.title));
                EXPECT_EQ(dialogs->messages[0].buttons, Dialogs::Buttons::OkCancel);
                EXPECT_TRUE(window->db().dirty);
                EXPECT_EQ(window->db().languages[0].name, QStringLiteral("Unsaved"));
                dialogs->answers.enqueue(Dialogs::Answer::Ok);
            }
            action(QString::fromLatin1(command.item))->trigger();
            EXPECT_EQ(dialogs->messages.size(), confirmation ? 2 : 0) << command.item;
            EXPECT_FALSE(window->db().dirty);
            EXPECT_EQ(listed(languages()), command.after) << command.item;
            EXPECT_EQ(languages()->currentRow(), 0);
            EXPECT_EQ(window->db().currentLanguage, 0);
            window.reset();
        }
    }
}

TEST_F(FileCommandTest, RestoreWithoutABackupChangesNothing)
{
    QFile::remove(folder.file(QStringLiteral("varlex.dat.old")));
    start();
    action(QStringLiteral("mnuConfirmation"))->setChecked(false);
    window->db().dirty = true;
    action(QStringLiteral("mnuRestore"))->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("varlex.dat.old")));
    EXPECT_TRUE(window->db().dirty);
    EXPECT_EQ(listed(languages()), QStringList({"Basic", "Pascal"}));
}

TEST_F(FileCommandTest, ExitTakesTheNormalClosingPath)
{
    start();
    window->db().dirty = true;
    dialogs->answers.enqueue(Dialogs::Answer::Cancel);
    action(QStringLiteral("mnuExit"))->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1);
    EXPECT_EQ(dialogs->messages[0].text, QStringLiteral("Save changes?"));
    EXPECT_TRUE(window->isVisible());

    window->db().dirty = false;
    action(QStringLiteral("mnuExit"))->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs->messages.size(), 1);
    EXPECT_FALSE(storedSetting(QStringLiteral("MainWidth")).isEmpty());
}
