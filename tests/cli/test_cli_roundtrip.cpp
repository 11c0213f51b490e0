#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "xmlgen/fakehost.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// What varlex-cli writes, it reads back; what a language file cannot hold is refused or reported.

namespace {

using TestUtil::runCli;

struct Folder {
    TestUtil::TempFolder folder;
    explicit Folder(const QVector<Language> &languages)
    {
        QByteArray bytes;
        DatabaseFile::encode(languages, bytes);
        folder.write(QStringLiteral("varlex.dat"), bytes);
    }
    TestUtil::CliResult run(const QStringList &args) const
    {
        return runCli(QStringList{QStringLiteral("--folder"), folder.path()} + args);
    }
};

// Demo with more tokensets after Keywords, each given as name, inheritfrom, tokens and regexp flag.
Language language(const QString &name, std::initializer_list<std::tuple<const char *, const char *, const char *, int>> sets)
{
    Language l = demoLanguage();
    l.name = name;
    int i = 1;
    for (const auto &[set, inherit, tokens, regexp] : sets) {
        Tokenset &t = l.tokensets[size_t(i++)] = makeTokenset(QString::fromUtf8(set));
        t.inheritfrom = QString::fromUtf8(inherit);
        t.tokens = QString::fromUtf8(tokens);
        t.regexp = regexp;
    }
    return l;
}

TEST(CliRoundTrip, ProblemsAreReportedAndFilesReadBack)
{
    const Language cycle = language("Cycle", {{"A", "B", "a", 0}, {"B", "A", "b", 0}});
    const Language regexps = language("Re", {{"Bad", "<none>", "(\r\nok\r\n[", 1}});
    const Language bell = language("Bell", {{"Ring\a", "<none>", "x", 0}});
    const Language hostile = language("Tom & \"Jerry\" <x>", {{"a<b>", "Say \"hi\"", "&&\r\n<", 0}, {"Say \"hi\"", "a<b>", "\"", 0}});
    const struct {
        QVector<Language> database;
        QStringList args;
        int exitCode;
        const char *out, *err; // parts the output must hold
    } cases[] = {
        {{cycle}, {"validate", "--index", "0"}, 1, "Cycle : A : Inherit cycle:  A -> B -> A\nCycle : B : Inherit cycle:  B -> A -> B\n", ""},
        {{regexps}, {"validate", "--index", "0"}, 1, "Re : Bad : Regexp:  ( : missing closing parenthesis at offset 1\nRe : Bad : Regexp:  [ :", ""},
        {{bell}, {"validate", "--index", "0"}, 1, "Bell : Ring\a : name holds U+0007 (BEL)\n", ""},
        {{bell}, {"export", "--all"}, 1, "", "the language holds characters a language file cannot hold: Bell : Ring\\x07 : name holds U+0007"},
        {{cycle, cycle}, {"export", "--all"}, 1, "Cycle.lng\n", "\"Cycle\" (index 0) and \"Cycle\" (index 1) are both exported as"},
        {{cycle}, {"new", "New\aLine"}, 2, "", "The language name holds the control character U+0007 (BEL) at position 4"},
        // Every way a name or a written text enters refuses what a language file cannot hold.
        {{cycle}, {"rename", "--index", "0", "Esc\x1b"}, 2, "", "The name holds the control character U+001B (ESC) at position 4"},
        {{cycle}, {"duplicate", "--index", "0", "Esc\x1b"}, 2, "", "The language name holds the control character U+001B (ESC)"},
        {{cycle}, {"set", "--index", "0", "name=Esc\x1b"}, 2, "", "The name holds the control character U+001B (ESC)"},
        {{cycle}, {"set", "--index", "0", "--tokenset", "A", "lead=\x1b"}, 2, "", "The lead holds the control character U+001B"},
        {{cycle}, {"set", "--index", "0", "sampletext=\x1b"}, 0, "", ""}, // the sample is not written into the file
        {{cycle}, {"tokenset", "new", "--index", "0", "Esc\x1b"}, 2, "", "The tokenset name holds the control character U+001B"},
        {{cycle}, {"tokenset", "rename", "--index", "0", "--tokenset", "A", "Esc\x1b"}, 2, "", "The name holds the control character"},
        {{cycle}, {"tokenset", "new", "--index", "0", " "}, 2, "", "tokenset name must not be empty or blank"},
        // A control character from an older database, or typed into a command, reaches the terminal escaped.
        {{language("Esc\x1b\x7f", {})}, {"list"}, 0, "0\tEsc\\x1b\\x7f\t", ""},
        {{cycle}, {"show", "--index", "0", "--field", "a\x1b"}, 2, "", "no field 'a\\x1b'"},
        {{hostile}, {"validate"}, 1, "Tom & \"Jerry\" <x> (index 0): " "Tom & \"Jerry\" <x> : a<b> : Inherit cycle:  a<b> -> Say \"hi\" -> a<b>", ""},
    };
    for (const auto &c : cases) {
        const Folder f(c.database);
        const auto r = f.run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.out)) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }

    // Every form of the hostile, cyclic and unmatched languages exports, highlights (one warning line
    // per regexp that never matches) and imports into another database.
    const Folder f({hostile, regexps}), target({demoLanguage()});
    const QString out = f.folder.file(QStringLiteral("out"));
    for (const QStringList &form : {QStringList{}, {"--hide-defaults"}, {"--easyread"}, {"--easyread", "--hide-defaults"}}) {
        const auto e = f.run(QStringList{"export", "--all", "--to", out} + form);
        ASSERT_EQ(e.exitCode, 0) << e.err.toStdString();
        for (const QString &file : QDir(out).entryList({"*.lng"})) {
            const auto h = f.run({"highlight", "--lng", QDir(out).filePath(file), "--format", "spans"});
            EXPECT_EQ(h.exitCode, 0) << h.err.toStdString();
            EXPECT_EQ(h.err.count("never matches"), file == "Re.lng" ? 2 : 0) << h.err.toStdString();
        }
        const auto i = target.run({"import", "--allow-duplicate", QDir(out).filePath("Tom & \"Jerry\" <x>.lng"), QDir(out).filePath("Re.lng")});
        EXPECT_EQ(i.exitCode, 0) << i.err.toStdString();
    }
    Database db;
    ASSERT_TRUE(DatabaseStore::LoadFileData(db, target.folder.path()).ok());
    ASSERT_EQ(db.languages.size(), 9);
    EXPECT_EQ(db.languages[7].name, hostile.name);
    EXPECT_EQ(db.languages[7].tokensets[0].inheritfrom, "<none>");
    EXPECT_EQ(db.languages[7].tokensets[1].inheritfrom, "Say \"hi\""); // both links of the cycle are kept
    EXPECT_EQ(db.languages[7].tokensets[2].inheritfrom, "a<b>");

    // Export over a symbolic link replaces the link, never what it points to.
    QFile::remove(QDir(out).filePath("Re.lng"));
    ASSERT_TRUE(QFile::link(f.folder.file(QStringLiteral("target.lng")), QDir(out).filePath("Re.lng")));
    EXPECT_EQ(f.run({"export", "--index", "1", "--to", out}).exitCode, 0);
    EXPECT_FALSE(QFileInfo(QDir(out).filePath("Re.lng")).isSymbolicLink());
    EXPECT_FALSE(f.folder.exists(QStringLiteral("target.lng")));
}

TEST(CliRoundTrip, ImportAppendsWhatLoadsAndNamesEveryFailureAndChangedToken)
{
    const Folder f({demoLanguage()});
    f.folder.write(QStringLiteral("sample.txt"), "int main() {}");
    f.folder.write(QStringLiteral("a.lng"), "<language name=\"Alpha\"><tokenset name=\"K\" id=\"keywords\"><tokens>"
                                            "<token>a::::b</token><token> c </token></tokens></tokenset></language>");
    f.folder.write(QStringLiteral("bad.lng"), "<language name=\"Bad\">\r\n<tokenset name=\"K\" inheritfrom=\"Q\"/></language>");
    f.folder.write(QStringLiteral("b.lng"), "<language name=\"Beta\"><tokenset name=\"K\"/></language>");
    auto file = [&](const char *name) { return f.folder.file(QString::fromLatin1(name)); };

    const auto r = f.run({"import", file("a.lng"), file("bad.lng"), file("missing.lng"), file("b.lng")});
    EXPECT_EQ(r.exitCode, 3);
    const QStringList lines = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.err.toStdString();
    EXPECT_TRUE(lines[0].endsWith(u"a.lng: tokenset \"K\", tokens, token 1 \"a::::b\": left out; \"::::\" separates the fields of a token line"));
    EXPECT_TRUE(lines[1].contains(u"token 2 \" c \": kept as \"c\""));
    EXPECT_TRUE(lines[2].startsWith(file("bad.lng") + QStringLiteral(":2:")) && lines[2].contains(u": error: ") && lines[2].contains(u"\"Q\""));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("missing.lng: cannot read"))) << lines[3].toStdString();
    // No option, a bad option, help: nothing changes. --no-auto-include leaves the tokensets out.
    const std::pair<QStringList, int> calls[] = {{{"import"}, 2},
                                                 {{"import", "--frobnicate", file("a.lng")}, 2},
                                                 {{"import", "--help"}, 0},
                                                 {{"import", file("b.lng"), "--no-auto-include", "--allow-duplicate"}, 0}};
    for (const auto &[args, exit] : calls)
        EXPECT_EQ(f.run(args).exitCode, exit) << args.join(u' ').toStdString();

    Database db;
    ASSERT_TRUE(DatabaseStore::LoadFileData(db, f.folder.path()).ok());
    ASSERT_EQ(db.languages.size(), 4);
    EXPECT_EQ(std::tuple(db.languages[1].name, db.languages[1].sampletext, db.languages[1].tokensets[0].tokens),
              std::tuple(QString("Alpha"), QString("int main() {}"), QString("c ::::  :::: True :::: word")));
    EXPECT_EQ(std::pair(db.languages[2].name, db.languages[2].tokensets[0].included), std::pair(QString("Beta"), 1));
    EXPECT_EQ(std::pair(db.languages[3].name, db.languages[3].tokensets[0].included), std::pair(QString("Beta"), 0));
    // A folder that does not exist is refused without creating anything.
    EXPECT_EQ(runCli({"--folder", f.folder.file(QStringLiteral("gone")), "import", file("a.lng")}).exitCode, 3);
    EXPECT_FALSE(f.folder.exists(QStringLiteral("gone")));
}

} // namespace
