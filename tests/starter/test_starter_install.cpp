#include "common/testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

// An installed tree: programs in bin/, data under share/varlex/ with the starter database, desktop
// integration files; and a first run as a new user, which seeds the per-user program folder.

namespace {

TestUtil::CliResult run(const QString &program, const QStringList &args,
                        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

TEST(StarterInstall, InstalledTreeSeedsANewUsersFolderOnFirstRun)
{
    const QString buildDir = QDir::cleanPath(TestUtil::binPath(QStringLiteral("..")));
    TestUtil::TempFolder prefix;
    const auto install = run(QStringLiteral(VARLEX_CMAKE_COMMAND), {"--install", buildDir, "--prefix", prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.err.toStdString();

    for (const char *file : {"bin/varlex", "bin/varlex-cli", "share/varlex/xml.lng", "share/varlex/languages/c.lng",
                             "share/applications/io.github.varlex.Varlex.desktop",
                             "share/metainfo/io.github.varlex.Varlex.metainfo.xml",
                             "share/mime/packages/io.github.varlex.Varlex.xml",
                             "share/icons/hicolor/scalable/apps/io.github.varlex.Varlex.svg", "share/doc/varlex/README.md",
                             "share/doc/varlex/copyright"})
        EXPECT_TRUE(prefix.exists(QString::fromLatin1(file))) << file;
    EXPECT_FALSE(prefix.exists(QStringLiteral("share/varlex/language_def/.keep")));
    EXPECT_EQ(prefix.read(QStringLiteral("share/varlex/varlex.dat")),
              TestUtil::readFile(buildDir + QStringLiteral("/starter/varlex.dat")));

    // A new user: no per-user folder yet. The first command creates and seeds it.
    TestUtil::TempFolder home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
    const QString cli = prefix.file(QStringLiteral("bin/varlex-cli"));
    const auto first = run(cli, {"sample", "--index", "0"}, env);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("/* wordcount.c")) << first.out.left(80).toStdString();

    const QString userFolder = home.file(QStringLiteral("data/Varlex/Varlex"));
    for (const char *file : {"varlex.dat", "xml.lng", "sample.txt", "Keywordlist.txt", "languages/python.lng"})
        EXPECT_TRUE(QFileInfo::exists(userFolder + QLatin1Char('/') + QLatin1String(file))) << file;
    for (const char *folder : {"language_def", "language_mem", "margin_images"})
        EXPECT_TRUE(QFileInfo(userFolder + QLatin1Char('/') + QLatin1String(folder)).isDir()) << folder;

    // The user's own changes survive later runs: seeding never overwrites.
    home.write(QStringLiteral("note.txt"), "mine");
    EXPECT_EQ(run(cli, {"sample", "--index", "0", "--set", home.file(QStringLiteral("note.txt"))}, env).exitCode, 0);
    EXPECT_EQ(run(cli, {"sample", "--index", "0"}, env).out, "mine");
}

} // namespace
