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
    EXPECT_TRUE(changelog.startsWith("varlex (" VARLEX_VERSION ") ")) << changelog.left(40).toStdString();
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
