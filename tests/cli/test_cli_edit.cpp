#include "cli/clifolder.h"

#include <QProcess>
#include <gtest/gtest.h>

// The editing commands: each a load-change-save that changes exactly what it says, or nothing.
namespace {

using TestUtil::CliResult;

// "C" with the tokensets Keywords (a list) and Strings (a scope, not included), and "B" with Keywords.
void twoLanguages(CliFolder &f)
{
    f.languages[0].tokensets[1] = makeTokenset("Strings");
    f.languages[0].tokensets[1].type = "scope";
    f.languages[0].tokensets[1].included = 0;
    f.write();
}

TEST(CliEdit, EachCommandChangesWhatItSaysOrNothing)
{
    struct Row {
        QStringList args;
        int exitCode;
        const char *check; // exit 0: "INDEX FIELD=VALUE" read back with show; else a part of the message
    };
    const Row rows[] = {
        {{"rename", "--name", "C", "D"}, 0, "0 name=D"},
        {{"rename", "--index", "0", " "}, 2, "C (index 0): name must not be empty or blank"},
        {{"duplicate", "--name", "B", "B 2"}, 0, "2 name=B 2"},
        {{"sort"}, 0, "0 name=B"},
        {{"set", "--index", "0", "casesensitive=true", "wordchars=[a-z]"}, 0, "0 casesensitive=true"},
        {{"set", "--index", "0", "--tokenset", "Keywords", "forecolor=#FF8000"}, 0, "0 tokensets.Keywords.forecolor=#FF8000"},
        {{"set", "--index", "0", "--tokenset", "0", "backcolor=16777215", "tokens=if\nelse\r"}, 0, "0 tokensets.0.tokens.1.text=else"},
        {{"set", "--index", "0", "--tokenset", "0", "validscope.9=Strings"}, 0, "0 tokensets.0.validscope.9=Strings"},
        {{"set", "--index", "0", "--tokenset", "1", "id=keywords", "rule=LeadWith TrailWith"}, 0, "0 tokensets.1.rule=LeadWith TrailWith"},
        {{"set", "--index", "0", "--tokenset", "0", "forecolor=16777216"}, 2, "forecolor takes a colour"},
        {{"set", "--index", "0", "--tokenset", "Strings", "hidden=yes"}, 2,
         "C (index 0), tokenset \"Strings\" (slot 1): hidden takes 0, 1, true or false, not 'yes'"},
        {{"set", "--index", "0", "--tokenset", "0", "fontstyle=Bold"}, 2, "fontstyle takes one of \"normal\", \"bold\""},
        {{"set", "--index", "0", "--tokenset", "0", "inheritfrom=Keywords"}, 2, "inheritfrom takes one of \"<none>\", \"Strings\";"},
        {{"set", "--index", "0", "--tokenset", "1", "validscope.0=Keywords"}, 2, "\"<none>\", \"NULL\", \"Strings\";"},
        {{"set", "--index", "0", "--tokenset", "0", "id=keyword"}, 2, "id takes one of"},
        {{"set", "--index", "0", "lead=x"}, 2, "'lead=x' is not FIELD=VALUE with one of the fields name, casesensitive"},
        {{"set", "--index", "0", "--tokenset", "0", "lead=x", "trail=a\nb"}, 2, "trail is one line"},
        {{"set", "--index", "0", "--tokenset", "Nope", "hidden=1"}, 2, "C (index 0): no tokenset is named \"Nope\""},
        {{"set", "--index", "0", "--tokenset", "2", "hidden=1"}, 2, "no tokenset in slot 2 (its tokensets are in slots 0 to 1)"},
        {{"include", "--index", "0", "--all"}, 0, "0 tokensets.1.included=true"},
        {{"exclude", "--index", "0", "--tokenset", "Keywords", "--tokenset", "1"}, 0, "0 tokensets.0.included=false"},
        {{"include", "--index", "0"}, 2, "--tokenset (once or more) or --all"},
        {{"tokenset", "new", "--index", "1", "Ops"}, 0, "1 tokensets.1.name=Ops"},
        {{"tokenset", "new", "--index", "1", "--tokenset", "0", "Ops"}, 2, "tokenset new: unknown option '--tokenset'"},
        {{"tokenset", "delete", "--index", "1", "--tokenset", "0"}, 1, "B (index 1): Cannot delete last tokenset!"},
        {{"tokenset", "delete", "--index", "0", "--tokenset", "0"}, 0, "0 tokensets.0.name=Strings"},
        {{"tokenset", "rename", "--index", "0", "--tokenset", "Strings", "Quotes"}, 0, "0 tokensets.1.name=Quotes"},
        {{"tokenset", "move", "--index", "0", "--tokenset", "Strings", "--up"}, 0, "0 tokensets.0.name=Strings"},
        {{"tokenset", "move", "--index", "0", "--tokenset", "0", "--to", "1"}, 0, "0 tokensets.1.name=Keywords"},
        {{"tokenset", "move", "--index", "0", "--tokenset", "0", "--up"}, 1, "cannot move to slot -1 (slots 0 to 1)"},
        {{"tokenset", "move", "--index", "0", "--tokenset", "0"}, 2, "one of --up, --down or --to SLOT"},
        {{"tokenset", "move", "--index", "0", "--tokenset", "0", "--to", "x"}, 2, "--to needs a slot number, not 'x'"},
        {{"tokenset", "copy", "--index", "0"}, 2, "unknown action 'copy'"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        CliFolder f({"C", "B"});
        twoLanguages(f);
        const CliResult r = f.run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        if (row.exitCode != 0) {
            EXPECT_TRUE(r.err.contains(row.check) && r.err.count('\n') == 1) << r.err.toStdString();
            EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);
            continue;
        }
        const QString check = QString::fromUtf8(row.check);
        const qsizetype space = check.indexOf(' '), eq = check.indexOf('=');
        const QStringList show = {"show", "--index", check.left(space), "--field", check.mid(space + 1, eq - space - 1)};
        EXPECT_EQ(f.run(show).out, check.mid(eq + 1).toUtf8() + '\n');
    }
}

TEST(CliEdit, BackupRestoreAndBoundedInput)
{
    CliFolder f({"C", "B"});
    EXPECT_EQ(f.run({"restore"}).exitCode, 1); // no backup yet
    EXPECT_EQ(f.run({"backup"}).exitCode, 0);
    EXPECT_EQ(f.run({"rename", "--index", "0", "X"}).exitCode, 0);
    EXPECT_EQ(f.run({"restore"}).exitCode, 0);
    EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);
    f.folder.write("varlex.dat.old", f.bytes.left(5000));
    EXPECT_TRUE(f.run({"restore"}).err.contains("is damaged"));
    EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);

    // A backup that is a FIFO or a link to a device is never opened; a link in the backup's place
    // is replaced by the backup, so nothing outside the folder is written or made.
    const QString old = f.folder.file("varlex.dat.old");
    QFile::remove(old);
    ASSERT_EQ(QProcess::execute("mkfifo", {old}), 0);
    for (int i = 0; i < 2; ++i) {
        const CliResult r = f.run({"restore"});
        EXPECT_TRUE(r.exitCode == 1 && r.err.contains("not a regular file")) << r.err.toStdString();
        QFile::remove(old);
        QFile::link("/dev/zero", old);
    }
    const TestUtil::TempFolder outside;
    outside.write("target.dat", "theirs");
    for (const QString &link : {outside.file("target.dat"), outside.file("dangling.dat")}) {
        QFile::remove(old);
        ASSERT_TRUE(QFile::link(link, old));
        EXPECT_EQ(f.run({"backup"}).exitCode, 0);
        EXPECT_FALSE(QFileInfo(old).isSymLink());
        EXPECT_EQ(f.folder.read("varlex.dat.old"), f.bytes);
    }
    EXPECT_EQ(outside.read("target.dat"), "theirs");
    EXPECT_FALSE(outside.exists("dangling.dat"));
    EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);

    // A device, a FIFO and endless standard input: one line each, nothing read beyond the bound.
    ASSERT_EQ(QProcess::execute("mkfifo", {f.folder.file("fifo.lng")}), 0);
    const std::pair<QStringList, const char *> refused[] = {
        {{"sample", "--index", "0", "--set", "/dev/zero"}, "/dev/zero: not a regular file"},
        {{"import", f.folder.file("fifo.lng")}, "fifo.lng: not a regular file"},
        {{"sample", "--index", "0", "--set", "-"}, "(standard input): longer than 196608 bytes"},
    };
    for (const auto &[args, message] : refused) {
        const CliResult r = f.run(args, QByteArray(300000, 'x'));
        EXPECT_TRUE(r.exitCode == 3 && r.err.contains(message) && r.err.count('\n') == 1) << r.err.toStdString();
    }
    EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);
}

TEST(CliEdit, ImportTakesEachFileOnItsOwnAndConcurrentWritersLoseNothing)
{
    const CliFolder f({""});
    const QByteArray small = "<language name=\"A\"><tokenset name=\"K\"><tokens><token text=\"if\"/></tokens></tokenset></language>";
    QByteArray big = "<language name=\"Big\"><tokenset name=\"K\"><tokens>";
    for (int i = 0; i < 7000; ++i)
        big += "<token text=\"word" + QByteArray::number(i) + "\"/>";
    f.folder.write("a.lng", small);
    f.folder.write("big.lng", big + "</tokens></tokenset></language>");
    const CliResult r = f.run({"import", "--allow-duplicate", f.folder.file("a.lng"), f.folder.file("big.lng"), "-"}, small);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, f.folder.file("a.lng").toUtf8() + ": language 1 \"A\"\n-: language 2 \"A\"\n");
    EXPECT_TRUE(r.err.contains("big.lng: error: the field tokens of tokenset \"K\" (slot 0) of language \"Big\" takes "))
        << r.err.toStdString();

    // Thirty writers at once: each one saved, or failed saying so; the database holds every success.
    QProcess writers[30];
    for (QProcess &p : writers)
        p.start(VARLEX_CLI_PATH, {"--folder", f.folder.path(), "import", "--allow-duplicate", f.folder.file("a.lng")});
    int saved = 0;
    for (QProcess &p : writers) {
        ASSERT_TRUE(p.waitForFinished(60000));
        const bool ok = p.exitCode() == 0;
        saved += ok;
        EXPECT_TRUE(ok || (p.exitCode() == 1 && p.readAllStandardError().contains("is being changed by another program")));
    }
    EXPECT_EQ(DatabaseFile::decode(f.folder.read("varlex.dat")).languages.size(), 3 + saved);
    EXPECT_GT(saved, 0);
}

// The worked example of docs/cli.md, run as it stands there.
TEST(CliEdit, WorkedExampleOfTheReference)
{
    const QString doc = QString::fromUtf8(TestUtil::readFile(TestUtil::sourcePath("docs/cli.md")));
    const qsizetype start = doc.indexOf("```sh\n", doc.indexOf("<!-- worked-example -->")) + 6;
    TestUtil::TempFolder folder;
    QProcess bash;
    bash.setWorkingDirectory(folder.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QFileInfo(VARLEX_CLI_PATH).absolutePath() + ':' + env.value("PATH"));
    bash.setProcessEnvironment(env);
    bash.start("bash", {"-e", "-o", "pipefail", "-c", doc.mid(start, doc.indexOf("```\n", start) - start)});
    ASSERT_TRUE(bash.waitForFinished(60000));
    const QByteArray out = bash.readAllStandardOutput();
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
    EXPECT_TRUE(out.startsWith("No validscope/inheritfrom error found!\n" + folder.file("out/Tiny.lng").toUtf8() + "\n0\t3\tKeywords\n"))
        << out.toStdString();
    EXPECT_TRUE(out.contains("\tStrings\n") && out.contains("\tComments\n"));
}

} // namespace
