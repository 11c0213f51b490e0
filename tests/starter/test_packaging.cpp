#include "common/testutil.h"

#include <QProcess>

#include <gtest/gtest.h>

// The desktop integration files pass the distributions' own validators, and the .lng type is known
// by its extension and by its root element. The validators come with scripts/install-deps.sh.

namespace {

const QString kId = QStringLiteral("io.github.varlex.Varlex");

QString packagingFile(const QString &suffix)
{
    return TestUtil::sourcePath(QStringLiteral("packaging/") + kId + suffix);
}

TestUtil::CliResult run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(), {}};
}

} // namespace

TEST(Packaging, DesktopEntryAndAppStreamDataValidate)
{
    const auto desktop = run(QStringLiteral("desktop-file-validate"), {packagingFile(QStringLiteral(".desktop"))});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out.toStdString();
    EXPECT_TRUE(desktop.out.isEmpty()) << desktop.out.toStdString(); // not even a hint
    const auto appstream = run(QStringLiteral("appstreamcli"),
                               {"validate", "--no-net", "--pedantic", packagingFile(QStringLiteral(".metainfo.xml"))});
    EXPECT_EQ(appstream.exitCode, 0) << appstream.out.toStdString();

    // The newest release the AppStream data names and the Debian changelog's top entry are this version.
    const QByteArray metainfo = TestUtil::readFile(packagingFile(QStringLiteral(".metainfo.xml")));
    EXPECT_TRUE(metainfo.contains("<release version=\"" VARLEX_VERSION "\"")) << "metainfo release";
    const QByteArray changelog = TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("packaging/debian/changelog")));
    EXPECT_TRUE(changelog.startsWith("varlex (" VARLEX_VERSION "-1) ")) << changelog.left(40).toStdString();
}

TEST(Packaging, LanguageFilesAreKnownByExtensionAndRootElement)
{
    TestUtil::TempFolder share;
    share.write(QStringLiteral("mime/packages/") + kId + QStringLiteral(".xml"),
                TestUtil::readFile(packagingFile(QStringLiteral(".mime.xml"))));
    const auto update = run(QStringLiteral("update-mime-database"), {"-V", share.file(QStringLiteral("mime"))});
    ASSERT_EQ(update.exitCode, 0) << update.out.toStdString();
    EXPECT_FALSE(update.out.contains("rror") || update.out.contains("arning")) << update.out.toStdString();
    EXPECT_TRUE(share.exists(QStringLiteral("mime/text/x-varlex-lng.xml")));
    EXPECT_TRUE(share.read(QStringLiteral("mime/XMLnamespaces")).contains(" language text/x-varlex-lng"));
    EXPECT_TRUE(share.read(QStringLiteral("mime/globs2")).contains(":text/x-varlex-lng:*.lng"));
}

// The manual pages are written from the programs' help: every command has its section.
TEST(Packaging, ManualPagesCoverEveryCommandOfTheHelp)
{
    const QString man = TestUtil::binPath(QStringLiteral("../man/"));
    const auto unzip = [](const QString &file) { return run(QStringLiteral("gzip"), {"-dc", file}).out; };
    const QByteArray cliPage = unzip(man + QStringLiteral("varlex-cli.1.gz"));
    const QByteArray help = TestUtil::runCli({QStringLiteral("help")}).out;
    const qsizetype listing = help.indexOf("Commands:\n");
    ASSERT_GE(listing, 0);
    int commands = 0;
    for (const QByteArray &line : help.mid(listing).split('\n').mid(1)) {
        const QByteArray name = line.trimmed().left(line.trimmed().indexOf("  ")); // "show", "tokenset new"
        if (!line.startsWith("  ") || name.isEmpty() || name == "help")
            continue;
        ++commands;
        EXPECT_TRUE(cliPage.contains(".SS " + name + "\n")) << name.toStdString();
    }
    EXPECT_GT(commands, 15);
    EXPECT_TRUE(cliPage.startsWith(".\\\" Generated") && cliPage.contains(".TH VARLEX-CLI 1"));
    const QByteArray windowPage = unzip(man + QStringLiteral("varlex.1.gz"));
    EXPECT_TRUE(windowPage.contains("\\-\\-version") && windowPage.contains("FILE.lng")) << windowPage.toStdString();
}

// The bash completion asks the program: commands and options from its help, names from the database.
TEST(Packaging, BashCompletionTakesItsWordsFromTheProgram)
{
    const auto complete = [](const QStringList &words) {
        const QString script = QStringLiteral("source '%1'; COMP_WORDS=(\"$@\"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                                              "_varlex_cli; printf '%s\\n' \"${COMPREPLY[@]}\"")
                                   .arg(TestUtil::sourcePath(QStringLiteral("packaging/completion/varlex-cli.bash")));
        QStringList args{QStringLiteral("-c"), script, QStringLiteral("bash"), QStringLiteral(VARLEX_CLI_PATH)};
        args += words;
        return QString::fromUtf8(run(QStringLiteral("bash"), args).out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    EXPECT_EQ(complete({QStringLiteral("li")}), QStringList({"lint", "list"}));
    EXPECT_TRUE(complete({QStringLiteral("show"), QStringLiteral("--")}).contains(QStringLiteral("--field")));
    const QStringList names = complete({QStringLiteral("show"), QStringLiteral("--name"), QStringLiteral("C")});
    EXPECT_TRUE(names.contains(QStringLiteral("C")) && names.contains(QStringLiteral("C++"))) << names.join(QLatin1Char(' ')).toStdString();
    for (const QString &name : names)
        EXPECT_TRUE(name.startsWith(QLatin1Char('C'))) << name.toStdString();
    EXPECT_TRUE(complete({QStringLiteral("set"), QStringLiteral("--index"), QStringLiteral("0"), QStringLiteral("--tokenset"),
                          QStringLiteral("Key")})
                    .contains(QStringLiteral("Keywords")));
    EXPECT_TRUE(complete({QStringLiteral("tokenset"), QString()}).contains(QStringLiteral("rename")));
    EXPECT_EQ(complete({QStringLiteral("tokenset"), QStringLiteral("move"), QStringLiteral("--t")}),
              QStringList({"--to", "--tokenset"}));
}
