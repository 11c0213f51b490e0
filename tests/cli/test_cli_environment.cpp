// varlex-cli where its surroundings are hostile: no home folder.
#include "cli/clifolder.h"

#include <QProcess>
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
