// varlex-cli where its surroundings are hostile: no home folder, file names that are not UTF-8.
#include "cli/clifolder.h"

#include <QProcess>
#include <cstdio>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Without a usable home, and with no folder given, there is no place for the database: the program
// says so rather than making /.local/share/... (under / for root). A folder given still works.
TEST(CliEnvironment, NoUsableHomeIsRefusedUnlessAFolderIsGiven)
{
    // A copy of the program away from the build tree, so that it does not run from its own folder.
    const TestUtil::TempFolder bin;
    const QString cli = bin.file(u"varlex-cli"_s);
    ASSERT_TRUE(QFile::copy(VARLEX_CLI_PATH, cli));
    const CliFolder f({u"A"_s});
    const auto run = [&](const QString &home, const QStringList &args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"XDG_DATA_HOME"_s);
        if (home == u"unset")
            env.remove(u"HOME"_s);
        else
            env.insert(u"HOME"_s, home);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(bin.path());
        p.start(cli, args);
        p.waitForFinished(30000);
        return std::pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const std::pair<QString, QString> homes[] = {{u"unset"_s, u"HOME is not set"_s},
                                                 {QString(), u"HOME is not set"_s},
                                                 {u"relative"_s, u"HOME (relative) is not an absolute path"_s},
                                                 {bin.file(u"missing"_s), u"is not a folder"_s}};
    for (const auto &[home, reason] : homes) {
        const auto [code, err] = run(home, {u"list"_s});
        EXPECT_TRUE(code == 1 && err.contains(reason) && err.contains(u"--folder"_s)) << home.toStdString() << err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(bin.file(u"relative"_s)));
    EXPECT_EQ(run(u"unset"_s, {u"--folder"_s, f.folder.path(), u"list"_s}).first, 0);
}

// A file name that is not UTF-8 ("caf\xe9" from a Latin-1 disk) is opened by its bytes and named in
// messages with those bytes escaped.
TEST(CliEnvironment, FileNamesThatAreNotUtf8AreFoundAndShown)
{
    const CliFolder f({u"A"_s});
    const QByteArray latin1 = QFile::encodeName(f.folder.path()) + "/caf\xe9";
    f.folder.write(u"plain.lng"_s, "<language name=\"L\"><tokenset name=\"K\"><tokens><token text=\"if\"/></tokens></tokenset></language>");
    f.folder.write(u"plain.txt"_s, "if x\n");
    ASSERT_EQ(::rename(QFile::encodeName(f.folder.file(u"plain.lng"_s)).constData(), (latin1 + ".lng").constData()), 0);
    ASSERT_EQ(::rename(QFile::encodeName(f.folder.file(u"plain.txt"_s)).constData(), (latin1 + ".txt").constData()), 0);
    // The arguments go through the shell, which passes their bytes as they are.
    const auto run = [&](const QByteArray &arguments) {
        QProcess p;
        p.start(u"sh"_s, {u"-c"_s, u"exec \"$0\" --folder \"$1\" "_s + QString::fromLatin1(arguments), VARLEX_CLI_PATH, f.folder.path()});
        p.waitForFinished(30000);
        return std::tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
    };
    const QByteArray name = "\"$1/$(printf 'caf\\351')";
    const auto [imported, importOut, importErr] = run("import " + name + ".lng\"");
    EXPECT_EQ(imported, 0) << importErr.toStdString();
    EXPECT_TRUE(importOut.endsWith("/caf\\\\xE9.lng: language 1 \"L\"\n")) << importOut.toStdString(); // one-line output writes a backslash as \\
    EXPECT_EQ(std::get<0>(run("lint --lng " + name + ".lng\"")), 0);
    const auto [coloured, spans, colourErr] = run("highlight --format spans --lng " + name + ".lng\" " + name + ".txt\"");
    EXPECT_TRUE(coloured == 0 && spans.startsWith("0\t")) << colourErr.toStdString();
    const auto [missing, missingOut, missingErr] = run("highlight --lng " + name + ".lng\" " + name + "2.txt\"");
    EXPECT_TRUE(missing == 3 && missingErr.contains("caf\\xE92.txt: No such file or directory")) << missingErr.toStdString();
    for (const char *ending : {".lng", ".txt"}) // a name the temporary folder cannot remove
        ::unlink((latin1 + ending).constData());
}
