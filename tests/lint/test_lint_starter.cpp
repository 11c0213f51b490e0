#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "lint/languageview.h"
#include "lint/linter.h"
#include "model/databasestore.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>

#include <gtest/gtest.h>

// The checker over the starter languages the build makes.

namespace {

Database loadStarter()
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"),
                 TestUtil::readFile(QDir(TestUtil::binPath(QString())).filePath(QStringLiteral("../starter/varlex.dat"))));
    Database db;
    EXPECT_TRUE(DatabaseStore::LoadFileData(db, folder.path()).ok());
    return db;
}

TEST(LintStarter, StarterLanguagesHaveNoErrors)
{
    const Database db = loadStarter();
    ASSERT_EQ(db.languages.size(), 9);
    for (int i = 0; i < db.languages.size(); ++i) {
        const auto findings = Lint::lintLanguage(db, i);
        EXPECT_FALSE(Lint::hasErrors(findings)) << Lint::validityText(findings).toStdString();
    }
}

// The definition the checker builds from a record is the one exporting and reading back gives.
TEST(LintStarter, RecordViewMatchesTheDefinitionReadBack)
{
    Database db = loadStarter();
    struct Host : WriterHost {
        QString programFolder() const override { return QString(); }
    } host;
    XmlWriter writer(db, host);
    for (int i = 0; i < db.languages.size(); ++i) {
        LanguageDefinition read;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::read(XmlWriter::fileBytes(writer.generate(i, 1, false, false)), "x", read, error));
        const Lint::LanguageView view(db.languages[i]);
        ASSERT_EQ(view.definition().tokensets.size(), read.tokensets.size());
        for (int t = 0; t < read.tokensets.size(); ++t) {
            const TokensetDefinition &a = view.definition().tokensets[t];
            const TokensetDefinition &b = read.tokensets[t];
            EXPECT_EQ(std::tie(a.name, a.id, a.scope, a.casesensitive, a.singlelinescope, a.symmetrical, a.validscopes,
                               a.inheritfrom),
                      std::tie(b.name, b.id, b.scope, b.casesensitive, b.singlelinescope, b.symmetrical, b.validscopes,
                               b.inheritfrom));
            for (auto [x, y] : {std::pair{&a.tokens, &b.tokens}, std::pair{&a.tokens2, &b.tokens2}}) {
                ASSERT_EQ(x->tokens.size(), y->tokens.size()) << a.name.toStdString();
                for (int k = 0; k < x->tokens.size(); ++k)
                    EXPECT_EQ(std::tie(x->tokens[k].text, x->tokens[k].regexp, x->tokens[k].rule),
                              std::tie(y->tokens[k].text, y->tokens[k].regexp, y->tokens[k].rule));
            }
        }
    }
}

} // namespace
