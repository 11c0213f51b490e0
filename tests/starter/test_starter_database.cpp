#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "model/ansicodec.h"
#include "model/databasestore.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

// The starter database the build makes from data/languages, and the commands that make it.

namespace {

const QStringList kBases = {"c", "cpp", "python", "javascript", "sql", "html", "xml", "shell", "ini"};
const QStringList kNames = {"C", "C++", "Python", "JavaScript", "SQL", "HTML", "XML", "Shell", "INI"};

QString starterDatabase()
{
    return QDir(TestUtil::binPath(QString())).filePath(QStringLiteral("../starter/varlex.dat"));
}

QString languageFile(const QString &base, const char *extension)
{
    return TestUtil::sourcePath(QStringLiteral("data/languages/%1.%2").arg(base, QLatin1String(extension)));
}

Database loadStarter()
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"), TestUtil::readFile(starterDatabase()));
    Database db;
    const FileResult r = DatabaseStore::LoadFileData(db, folder.path());
    EXPECT_TRUE(r.ok()) << r.message.toStdString();
    return db;
}

class PlainHost : public WriterHost {
public:
    explicit PlainHost(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }

private:
    QString folder_;
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
    ASSERT_TRUE(QFile::exists(starterDatabase()));
    const Database db = loadStarter();
    QStringList names;
    for (const Language &l : db.languages)
        names << l.name;
    ASSERT_EQ(names, kNames);
    for (int i = 0; i < kBases.size(); ++i) {
        SCOPED_TRACE(kNames[i].toStdString());
        const Language &l = db.languages[i];
        EXPECT_EQ(l.sampletext, AnsiCodec::decode(TestUtil::readFile(languageFile(kBases[i], "txt"))));
        ASSERT_GT(l.tokensetCount(), 5);
        for (int t = 0; t < l.tokensetCount(); ++t)
            EXPECT_EQ(l.tokensets[size_t(t)].included, 1) << l.tokensets[size_t(t)].name.toStdString();
    }
}

// An imported starter language, written again by the program, means what its source file says:
// the same tokensets with the same properties and the same tokens, each with its regexp and rule.
TEST(StarterDatabase, RewrittenDefinitionsMeanWhatTheSourcesSay)
{
    const Database db = loadStarter();
    TestUtil::TempFolder folder;
    PlainHost host(folder.path());
    XmlWriter writer(db, host);
    for (int i = 0; i < kBases.size(); ++i) {
        SCOPED_TRACE(kNames[i].toStdString());
        LanguageDefinition source, rewritten;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(languageFile(kBases[i], "lng"), source, error));
        const QByteArray bytes = XmlWriter::fileBytes(writer.generate(i, 1, false, false));
        ASSERT_TRUE(DefinitionReader::read(bytes, QStringLiteral("rewritten.lng"), rewritten, error))
            << error.toString().toStdString();
        EXPECT_EQ(rewritten.name, source.name);
        EXPECT_EQ(rewritten.wordchars, source.wordchars);
        ASSERT_EQ(rewritten.tokensets.size(), source.tokensets.size());
        for (int t = 0; t < source.tokensets.size(); ++t) {
            SCOPED_TRACE(source.tokensets[t].name.toStdString());
            EXPECT_EQ(meaning(rewritten.tokensets[t]), meaning(source.tokensets[t]));
        }
    }
}

// The build gives its program folder the starter database only when the folder has none of its
// own; an untouched empty database (what a first start creates) counts as none.
TEST(StarterDatabase, SeedingNeverReplacesAUsersDatabase)
{
    const QByteArray starter = TestUtil::readFile(starterDatabase());
    const QByteArray emptyDatabase(4920, '\0');
    QByteArray userDatabase = emptyDatabase;
    userDatabase[4] = 1; // a one-character language name
    struct Case {
        const char *what;
        bool present;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"no database", false, {}, starter},
        {"untouched empty database", true, emptyDatabase, starter},
        {"database of the user", true, userDatabase, userDatabase},
        {"short file", true, QByteArray(100, '\0'), QByteArray(100, '\0')},
    };
    for (const Case &c : cases) {
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
