#include "common/testutil.h"
#include "editorcontrol/editorglobals.h"
#include "import/languageimport.h"
#include "model/languagetemplate.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>

#include <gtest/gtest.h>

// Writing a language, importing what was written and writing it again keeps every token's meaning:
// export -> import -> export -> import -> export gives the same bytes the second and third time, and the
// first and last files agree token by token.

namespace {

class Host : public WriterHost {
public:
    bool hide = false;
    bool easyRead = false;
    QString folder;
    const MemberlistLookup *lists = nullptr;
    bool hideDefaultAttributes() const override { return hide; }
    bool easyReadFormat() const override { return easyRead; }
    QString programFolder() const override { return folder; }
    const MemberlistLookup *memberlists() const override { return lists; }
};

Tokenset slot(const QString &name, const QString &id, const QString &tokens)
{
    Tokenset t;
    t.name = name;
    t.id = id;
    t.type = QStringLiteral("list");
    t.fontstyle = QStringLiteral("normal");
    t.inheritfrom = QStringLiteral("<none>");
    t.tmemberlist = QStringLiteral("<none>");
    t.included = 1;
    t.enabled = 1;
    t.rule = QStringLiteral("NULL");
    t.tokens = tokens;
    for (int i = 0; i < 10; ++i)
        t.validscope[size_t(i)] = QStringLiteral("<none>");
    return t;
}

// A language that uses every attribute the writer produces, broken references among them.
Language mixedLanguage()
{
    Language l;
    l.name = QStringLiteral("Mixed");
    l.casesensitive = 1;
    l.applycase = 0;
    l.wordchars = QStringLiteral("[\\w&<>]");
    l.whitespaceasparamblock = 0;
    l.memberlist = QStringLiteral("C Standard Library");

    Tokenset text = slot(QStringLiteral("Text"), QStringLiteral("text"), QString());
    text.forecolor = -1;
    text.backcolor = -1;

    Tokenset kw = slot(QStringLiteral("Keywords"), QStringLiteral("keywords"),
                       QStringLiteral("if\r\nelse :::: ListMembers\r\nwhile :::: CompleteWord :::: true :::: col 3\r\n"
                                      "for ::::  :::: false :::: null\r\na<b&c :::: QuickInfo :::: false :::: leadwith[(]\r\n"
                                      "x :::: :::: :::: trailwith[;]\r\n   \r\ny :::: a :::: true :::: word :::: extra\r\n"
                                      "z :::: commitmember :::: TRUE :::: LeadWith[&]|trailwith[x]\r\n"
                                      "w :::: :::: yes :::: leadwith(x]"));
    kw.rule = QStringLiteral("Word");
    kw.casesensitive = 1;
    kw.fontstyle = QStringLiteral("bold");
    kw.forecolor = 255;
    kw.backcolor = -16777216;
    kw.tmemberlist = QStringLiteral("C Standard Library");
    kw.validscope[0] = QStringLiteral("NULL");
    kw.validscope[1] = QStringLiteral(" NULL ");
    kw.validscope[2] = QStringLiteral("Strings");

    Tokenset numbers = slot(QStringLiteral("Numbers"), QStringLiteral("numbers"),
                            QStringLiteral("\\d+\r\n0x[0-9a-f]+ :::: :::: true\r\n[0-7]+o :::: QuickInfo"));
    numbers.regexp = 1;
    numbers.rule = QStringLiteral("Col");
    numbers.lead = QStringLiteral("4");
    numbers.fontstyle = QStringLiteral("bolditalic");
    numbers.inheritfrom = QStringLiteral("Text");

    Tokenset strings = slot(QStringLiteral("Strings"), QStringLiteral("strings"), QStringLiteral("\"\r\n'"));
    strings.type = QStringLiteral("scope");
    strings.tokens2 = QStringLiteral("\"\r\n'");
    strings.rule = QStringLiteral("LeadWith TrailWith");
    strings.lead = QStringLiteral("=");
    strings.trail = QStringLiteral(";");
    strings.symmetrical = 1;
    strings.singlelinescope = 1;
    strings.fontstyle = QStringLiteral("italic");
    strings.validscope[0] = QStringLiteral("Text");
    strings.validscope[1] = QStringLiteral("Excluded");  // not included: a validity error
    strings.validscope[2] = QStringLiteral("Keywords ");  // blanks: a validity error
    strings.validscope[10] = QStringLiteral("Text");      // never written

    Tokenset comments = slot(QStringLiteral("Comments"), QStringLiteral("blockcomments"), QStringLiteral("/*\r\n//"));
    comments.type = QStringLiteral("scope");
    comments.tokens2 = QStringLiteral("*/ :::: ParameterInfo");
    comments.rule = QStringLiteral("LeadWith");
    comments.lead = QStringLiteral("&");
    comments.autoindent = 1;
    comments.hidden = 1;
    comments.chain = 1;
    comments.matchbraces = 1;
    comments.normalizecase = 1;
    comments.fontstyle = QStringLiteral("underline");
    comments.inheritfrom = QStringLiteral("Comments"); // itself: a validity error

    Tokenset excluded = slot(QStringLiteral("Excluded"), QStringLiteral("operators"), QStringLiteral("+"));
    excluded.included = 0;

    Tokenset ops = slot(QStringLiteral("Ops"), QStringLiteral("operators"), QStringLiteral("+\r\n-\r\n<=\r\n&&"));
    ops.rule = QStringLiteral("TrailWith");
    ops.trail = QStringLiteral(" ");
    ops.tokens2 = QStringLiteral("ignored for a list");
    ops.tmemberlist = QStringLiteral("Not Registered");

    Tokenset blank = slot(QStringLiteral("Blank"), QStringLiteral("whitespace"), QStringLiteral("\r\n   \r\n"));
    Tokenset odd = slot(QStringLiteral("Odd Id"), QStringLiteral("nosuchid"), QStringLiteral("q"));
    odd.type = QString();
    odd.fontstyle = QString();

    const Tokenset slots[] = {text, kw, numbers, strings, comments, excluded, ops, blank, odd};
    for (size_t i = 0; i < std::size(slots); ++i)
        l.tokensets[i] = slots[i];
    return l;
}

Database variedDatabase()
{
    Database db;
    LanguageObject object;
    const QStringList starters = QDir(TestUtil::sourcePath(QStringLiteral("data/languages")))
                                     .entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
    for (const QString &file : starters) {
        const LanguageImport::Result r = LanguageImport::importFile(
            db, object, TestUtil::sourcePath(QStringLiteral("data/languages/") + file), true, QStringLiteral("sample"));
        EXPECT_TRUE(r.ok) << r.description.toStdString();
    }
    EXPECT_GE(db.languages.size(), 5);

    Language made;
    LanguageTemplate::fill(made, QStringLiteral("From Template"), QStringLiteral("sample"),
                           QStringLiteral("if\r\nelse\r\nreturn"), QStringLiteral("+\r\n<\r\n&\r\n>="),
                           QStringLiteral("(http|https)://[\\w./-]+"));
    for (int k = 0; k < made.tokensetCount(); ++k)
        made.tokensets[size_t(k)].included = k % 3 == 2 ? 0 : 1;
    db.languages.append(made);
    db.languages.append(mixedLanguage());
    Language empty;
    empty.name = QStringLiteral("No Tokensets");
    db.languages.append(empty);
    return db;
}

QByteArray exportLanguage(const Database &db, int index, Host &host)
{
    XmlWriter writer(db, host);
    return XmlWriter::fileBytes(writer.generate(index, 1, host.hide, host.easyRead));
}

// Reads exported bytes into a language object and imports it as the only language of a database.
Database importBytes(const QByteArray &bytes, LanguageObject &object)
{
    Database db;
    Language record;
    QString description;
    EXPECT_TRUE(object.loadData(bytes, QStringLiteral("exported.lng"))) << object.error().toString().toStdString();
    EXPECT_TRUE(LanguageImport::fillLanguage(object, true, QStringLiteral("sample"), record, description));
    db.languages.append(record);
    return db;
}

void expectSameTokens(const LanguageObject &first, const LanguageObject &last, const std::string &where)
{
    ASSERT_EQ(first.tokensetCount(), last.tokensetCount()) << where;
    for (int k = 0; k < first.tokensetCount(); ++k) {
        const TokensetDefinition &a = *first.tokenset(k);
        const TokensetDefinition &b = *last.tokenset(k);
        EXPECT_EQ(a.name, b.name) << where;
        const std::pair<const TokenListDefinition *, const TokenListDefinition *> lists[] = {{&a.tokens, &b.tokens},
                                                                                             {&a.tokens2, &b.tokens2}};
        for (const auto &[la, lb] : lists) {
            ASSERT_EQ(la->tokens.size(), lb->tokens.size()) << where << " tokenset " << a.name.toStdString();
            for (qsizetype i = 0; i < la->tokens.size(); ++i) {
                const TokenDefinition &ta = la->tokens[i];
                const TokenDefinition &tb = lb->tokens[i];
                const std::string token = where + " " + a.name.toStdString() + " token " + ta.text.toStdString();
                EXPECT_EQ(ta.text, tb.text) << token;
                EXPECT_EQ(ObjectModel::commandNumber(ta), ObjectModel::commandNumber(tb)) << token;
                EXPECT_EQ(ta.regexp, tb.regexp) << token;
                EXPECT_EQ(ta.rule, tb.rule) << token;
            }
        }
    }
}

} // namespace

TEST(RoundTrip, ExportImportExportKeepsEveryToken)
{
    TestUtil::TempFolder folder;
    EditorGlobals g; // answers the writer's member list lookups, as in the window
    auto list = std::make_shared<MemberListObject>();
    ASSERT_TRUE(list->load(TestUtil::sourcePath(QStringLiteral("data/language_mem/c_stdlib.mbr"))));
    g.registerMemberList(list);

    const Database db = variedDatabase();
    for (const bool hide : {false, true}) {
        for (const bool easyRead : {false, true}) {
            Host host;
            host.hide = hide;
            host.easyRead = easyRead;
            host.folder = folder.path();
            host.lists = &g;
            for (int i = 0; i < db.languages.size(); ++i) {
                const std::string where = db.languages[i].name.toStdString() + (hide ? " hide" : "")
                    + (easyRead ? " easyread" : "");
                const QByteArray first = exportLanguage(db, i, host);
                LanguageObject o1, o2, o3;
                const QByteArray second = exportLanguage(importBytes(first, o1), 0, host);
                const QByteArray third = exportLanguage(importBytes(second, o2), 0, host);
                EXPECT_EQ(second.toStdString(), third.toStdString()) << where;
                ASSERT_TRUE(o3.loadData(third, QStringLiteral("third.lng"))) << where;
                expectSameTokens(o1, o3, where);
                EXPECT_EQ(o1.name(), o3.name()) << where;
                EXPECT_EQ(o1.wordChars(), o3.wordChars()) << where;
                EXPECT_EQ(o1.memberList(), o3.memberList()) << where;
            }
        }
    }
}
