#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "model/ansicodec.h"
#include "model/databasestore.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

// The starter database the build makes from data/languages; the commands that make it (import, sample,
// delete) and check it (validate), run on a copy as a user would.

namespace {

// In the database's order: the first nine, then the others by file name.
const QStringList kBases = {"c",      "cpp",        "python", "javascript", "sql",    "html",     "xml",
                            "shell",  "ini",        "cmake",  "csharp",     "css",    "diff",     "dockerfile",
                            "go",     "java",       "json",   "lua",        "makefile", "markdown", "pascal",
                            "perl",   "php",        "r",      "ruby",       "rust",   "tcl",      "toml",
                            "typescript", "yaml"};
const QStringList kNames = {"C",      "C++",        "Python", "JavaScript", "SQL",    "HTML",     "XML",
                            "Shell",  "INI",        "CMake",  "C#",         "CSS",    "Diff",     "Dockerfile",
                            "Go",     "Java",       "JSON",   "Lua",        "Makefile", "Markdown", "Pascal",
                            "Perl",   "PHP",        "R",      "Ruby",       "Rust",   "Tcl",      "TOML",
                            "TypeScript", "YAML"};

QString starterDatabase()
{
    return QDir(TestUtil::binPath(QString())).filePath(QStringLiteral("../starter/varlex.dat"));
}

QString languageFile(const QString &base, const char *extension)
{
    return TestUtil::sourcePath(QStringLiteral("data/languages/%1.%2").arg(base, QLatin1String(extension)));
}

// A program folder holding a copy of the starter database.
struct StarterFolder {
    TestUtil::TempFolder folder;

    StarterFolder() { folder.write(QStringLiteral("varlex.dat"), TestUtil::readFile(starterDatabase())); }
    TestUtil::CliResult run(const QStringList &args, const QByteArray &input = QByteArray()) const
    {
        return TestUtil::runCli(QStringList{QStringLiteral("--folder"), folder.path()} + args, input);
    }
    Database load() const
    {
        Database db;
        const FileResult r = DatabaseStore::LoadFileData(db, folder.path());
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        return db;
    }
    QStringList names() const
    {
        QStringList names;
        for (const Language &l : load().languages)
            names << l.name;
        return names;
    }
};

// The properties and tokens of a tokenset, one line each, so two tokensets compare in one step.
QStringList meaning(const TokensetDefinition &t)
{
    QStringList out{t.name, QString::number(t.id), QString::number(t.scope), QString::number(t.casesensitive),
                    QString::number(t.singlelinescope), QString::number(t.matchbraces), QString::number(t.forecolor),
                    QString::number(t.backcolor), QString::number(t.fontstyle), t.validscopes.join(u'|')};
    for (const TokenListDefinition *list : {&t.tokens, &t.tokens2}) {
        out << QStringLiteral("--");
        for (const TokenDefinition &k : list->tokens)
            out << k.text + u'\t' + QString::number(k.regexp) + u'\t' + k.rule;
    }
    return out;
}

TEST(StarterDatabase, HoldsTheStarterLanguagesInOrderWithTheirSamples)
{
    const StarterFolder f;
    ASSERT_EQ(f.names(), kNames);
    const Database db = f.load();
    for (int i = 0; i < kBases.size(); ++i) {
        SCOPED_TRACE(kNames[i].toStdString());
        const Language &l = db.languages[i];
        EXPECT_EQ(l.sampletext, AnsiCodec::decode(TestUtil::readFile(languageFile(kBases[i], "txt"))));
        ASSERT_GE(l.tokensetCount(), 5);
        for (int t = 0; t < l.tokensetCount(); ++t)
            EXPECT_EQ(l.tokensets[size_t(t)].included, 1) << l.tokensets[size_t(t)].name.toStdString();
    }
    const auto validity = f.run({"validate"});
    EXPECT_EQ(validity.exitCode, 0) << validity.out.toStdString();
    EXPECT_EQ(validity.out.count("): No validscope/inheritfrom error found!\n"), kNames.size()) << validity.out.toStdString();
}

// An imported starter language, written again by the program, means what its source file says:
// the same tokensets with the same properties and the same tokens, each with its regexp and rule.
TEST(StarterDatabase, RewrittenDefinitionsMeanWhatTheSourcesSay)
{
    const StarterFolder f;
    for (int i = 0; i < kBases.size(); ++i) {
        SCOPED_TRACE(kNames[i].toStdString());
        LanguageDefinition source, rewritten;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(languageFile(kBases[i], "lng"), source, error));
        const auto xml = f.run({"xml", "--index", QString::number(i)});
        ASSERT_TRUE(DefinitionReader::read(xml.out, QStringLiteral("rewritten.lng"), rewritten, error))
            << error.toString().toStdString();
        EXPECT_EQ(rewritten.name + rewritten.wordchars, source.name + source.wordchars);
        ASSERT_EQ(rewritten.tokensets.size(), source.tokensets.size());
        for (int t = 0; t < source.tokensets.size(); ++t)
            EXPECT_EQ(meaning(rewritten.tokensets[t]), meaning(source.tokensets[t])) << t;
    }
}

TEST(StarterDatabase, SampleTextIsPrintedAndReplacedAsUnicode)
{
    const StarterFolder f;
    EXPECT_TRUE(f.run({"sample", "--index", "2"}).out.startsWith("#!/usr/bin/env python3\n"));

    // UTF-8 from a file; the database keeps it in its ANSI code page.
    f.folder.write(QStringLiteral("new.txt"), "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac 5\r\n");
    EXPECT_EQ(f.run({"sample", "--index", "2", "--set", f.folder.file(QStringLiteral("new.txt"))}).exitCode, 0);
    EXPECT_EQ(f.run({"sample", "--index", "2"}).out, "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac 5\n");
    EXPECT_TRUE(f.folder.read(QStringLiteral("varlex.dat")).contains("Gr\xfc\xdf" "e \x80 5\r\n"));

    // Standard input; bytes that are not UTF-8 are read as ANSI text.
    EXPECT_EQ(f.run({"sample", "--index", "0", "--set", "-"}, "caf\xe9").exitCode, 0);
    EXPECT_EQ(f.run({"sample", "--index", "0"}).out, "caf\xc3\xa9");
}

TEST(StarterDatabase, DeleteRemovesOneLanguageButNeverTheLast)
{
    const StarterFolder f;
    EXPECT_EQ(f.run({"delete", "--index", "1"}).exitCode, 0);
    QStringList rest = kNames;
    rest.removeAt(1);
    EXPECT_EQ(f.names(), rest);
    for (qsizetype i = 0; i < rest.size() - 1; ++i)
        ASSERT_EQ(f.run({"delete", "--index", "0"}).exitCode, 0);
    EXPECT_EQ(f.names(), QStringList({kNames.last()}));
    const QByteArray lastOne = f.folder.read(QStringLiteral("varlex.dat"));
    const auto refused = f.run({"delete", "--index", "0"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Cannot delete last language!"));
    EXPECT_EQ(f.folder.read(QStringLiteral("varlex.dat")), lastOne);
}

// The build gives its program folder the starter database only when the folder has none of its
// own; an untouched empty database (what a first start creates) counts as none.
TEST(StarterDatabase, SeedingNeverReplacesAUsersDatabase)
{
    const QByteArray starter = TestUtil::readFile(starterDatabase());
    const QByteArray emptyDatabase(4920, '\0');
    QByteArray userDatabase = emptyDatabase;
    userDatabase[4] = 1; // a one-character language name
    const struct {
        const char *what;
        bool present;
        QByteArray before, after;
    } cases[] = {
        {"no database", false, {}, starter},
        {"untouched empty database", true, emptyDatabase, starter},
        {"database of the user", true, userDatabase, userDatabase},
        {"short file", true, QByteArray(100, '\0'), QByteArray(100, '\0')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestUtil::TempFolder folder;
        if (c.present)
            folder.write(QStringLiteral("varlex.dat"), c.before);
        QProcess cmake;
        cmake.start(QStringLiteral(VARLEX_CMAKE_COMMAND),
                    {QStringLiteral("-DSRC=") + starterDatabase(), QStringLiteral("-DBIN=") + folder.path(),
                     QStringLiteral("-P"), TestUtil::sourcePath(QStringLiteral("cmake/SeedDatabase.cmake"))});
        ASSERT_TRUE(cmake.waitForFinished(60000));
        EXPECT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), c.after);
    }
}

} // namespace
