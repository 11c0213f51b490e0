#include "common/testutil.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

// varlex-cli lint on the starter database (which must have no errors) and on definition files:
// output forms and exit codes.

namespace {

TEST(LintCli, OptionsFilesAndExitCodes)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"),
                 TestUtil::readFile(QDir(TestUtil::binPath(QString())).filePath(QStringLiteral("../starter/varlex.dat"))));
    const QByteArray arrow = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<language name=\"Arrow \xe2\x86\x92\">"
                             "<tokenset name=\"K\" id=\"keywords\"><tokens regexp=\"false\"><token>if</token>"
                             "<token>if</token></tokens></tokenset></language>";
    folder.write(QStringLiteral("arrow.lng"), arrow);
    folder.write(QStringLiteral("broken.lng"), "<language><tokenset");
    const struct {
        QStringList args;
        QByteArray input;
        int exitCode;
        const char *shown; // in stdout, or in stderr when the exit code is 2 or 3
    } cases[] = {
        {{}, {}, 0, ""},
        {{"--index", "8"}, {}, 0, ""},
        {{"--index=1", "--all"}, {}, 2, "give one of"},
        {{"--index", "99"}, {}, 2, "no such language: index 99"},
        {{"--name"}, {}, 2, "--name needs a value"},
        {{"--lng", folder.file("arrow.lng")}, {}, 1, "arrow.lng: warning: tokenset \"K\", token \"if\": the token is listed twice"},
        {{"--lng", "-", "--json"}, arrow, 1, "\"rule\": \"code-page\""},
        {{"--lng", folder.file("broken.lng")}, {}, 3, "broken.lng:1:"},
        {{"--lng", folder.file("missing.lng")}, {}, 3, "missing.lng"},
    };
    for (const auto &c : cases) {
        const auto r = TestUtil::runCli(QStringList{"--folder", folder.path(), "lint"} + c.args, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE((c.exitCode >= 2 ? r.err : r.out).contains(c.shown)) << r.out.toStdString() << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(": error: ") && c.exitCode == 0) << r.out.toStdString();
    }

    const auto json = TestUtil::runCli({"--folder", folder.path(), "lint", "--name", "C", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    ASSERT_TRUE(QJsonDocument::fromJson(json.out).isArray()) << json.out.toStdString();
    for (const QJsonValue &v : QJsonDocument::fromJson(json.out).array()) {
        EXPECT_EQ(v[QLatin1String("index")].toInt(-1), 0);
        EXPECT_EQ(v[QLatin1String("language")].toString(), "C");
        EXPECT_NE(v[QLatin1String("severity")].toString(), "error");
    }
}

} // namespace
