#include "common/testutil.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"
#include "model/languagetemplate.h"
#include "xmlgen/fakehost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>

#include <gtest/gtest.h>

// Writing a language, importing what was written and writing it again keeps every token's meaning:
// export -> import -> export -> import -> export gives the same bytes the second and third time, and the
// first and last files agree token by token.

namespace {

// One tokenset of the mixed language. Flags in the order casesensitive normalizecase matchbraces
// autoindent hidden singlelinescope chain symmetrical enabled included; valid scopes '|'-separated.
struct Slot {
    const char *name, *id, *type, *flags, *fontstyle, *inherit, *memberlist, *scopes;
    qint32 fore, back;
    int regexp;
    const char *rule, *lead, *trail, *tokens, *tokens2;
};

// A language that uses every attribute the writer produces, broken references among them.
Language mixedLanguage()
{
    const Slot slots[] = {
        {"Text", "text", "list", "0000000011", "normal", "<none>", "<none>", "", -1, -1, 0, "NULL", "", "", "", ""},
        {"Keywords", "keywords", "list", "1000000011", "bold", "<none>", "C Standard Library", "NULL| NULL |Strings", 255,
         -16777216, 0, "Word", "", "",
         "if\r\nelse :::: ListMembers\r\nwhile :::: CompleteWord :::: true :::: col 3\r\nfor ::::  :::: false :::: null\r\n"
         "a<b&c :::: QuickInfo :::: false :::: leadwith[(]\r\nx :::: :::: :::: trailwith[;]\r\n   \r\n"
         "y :::: a :::: true :::: word :::: extra\r\nz :::: commitmember :::: TRUE :::: LeadWith[&]|trailwith[x]\r\n"
         "w :::: :::: yes :::: leadwith(x]",
         ""},
        {"Numbers", "numbers", "list", "0000000011", "bolditalic", "Text", "<none>", "", 0, 0, 1, "Col", "4", "",
         "\\d+\r\n0x[0-9a-f]+ :::: :::: true\r\n[0-7]+o :::: QuickInfo", ""},
        {"Strings", "strings", "scope", "0000010111", "italic", "<none>", "<none>", "Text|Excluded|Keywords ", 0, 0, 0,
         "LeadWith TrailWith", "=", ";", "\"\r\n'", "\"\r\n'"},
        {"Comments", "blockcomments", "scope", "0111101011", "underline", "Comments", "<none>", "", 0, 0, 0, "LeadWith",
         "&", "", "/*\r\n//", "*/ :::: ParameterInfo"},
        {"Excluded", "operators", "list", "0000000010", "normal", "<none>", "<none>", "", 0, 0, 0, "NULL", "", "", "+", ""},
        {"Ops", "operators", "list", "0000000011", "normal", "<none>", "Not Registered", "", 0, 0, 0, "TrailWith", "",
         " ", "+\r\n-\r\n<=\r\n&&", "ignored for a list"},
        {"Blank", "whitespace", "list", "0000000011", "normal", "<none>", "<none>", "", 0, 0, 0, "", "", "", "\r\n   \r\n", ""},
        {"Odd Id", "nosuchid", "", "0000000011", "", "<none>", "<none>", "", 0, 0, 0, "NULL", "", "", "q", ""},
    };
    Language l;
    l.name = QStringLiteral("Mixed");
    l.casesensitive = 1;
    l.wordchars = QStringLiteral("[\\w&<>]");
    l.memberlist = QStringLiteral("C Standard Library");
    for (size_t k = 0; k < std::size(slots); ++k) {
        const Slot &s = slots[k];
        Tokenset &t = l.tokensets[k];
        t.name = QString::fromUtf8(s.name);
        t.id = QString::fromUtf8(s.id);
        t.type = QString::fromUtf8(s.type);
        qint32 *flags[] = {&t.casesensitive, &t.normalizecase, &t.matchbraces, &t.autoindent, &t.hidden,
                           &t.singlelinescope, &t.chain, &t.symmetrical, &t.enabled, &t.included};
        for (size_t f = 0; f < std::size(flags); ++f)
            *flags[f] = s.flags[f] - '0';
        t.fontstyle = QString::fromUtf8(s.fontstyle);
        t.inheritfrom = QString::fromUtf8(s.inherit);
        t.tmemberlist = QString::fromUtf8(s.memberlist);
        const QStringList scopes = QString::fromUtf8(s.scopes).split(u'|', Qt::SkipEmptyParts);
        for (int i = 0; i < 11; ++i)
            t.validscope[size_t(i)] = i < scopes.size() ? scopes[i] : QStringLiteral("<none>");
        t.validscope[10] = QStringLiteral("Text"); // never written
        t.forecolor = s.fore;
        t.backcolor = s.back;
        t.regexp = s.regexp;
        t.rule = QString::fromUtf8(s.rule);
        t.lead = QString::fromUtf8(s.lead);
        t.trail = QString::fromUtf8(s.trail);
        t.tokens = QString::fromUtf8(s.tokens);
        t.tokens2 = QString::fromUtf8(s.tokens2);
    }
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

QByteArray exportLanguage(const Database &db, int index, RecordingHost &host)
{
    XmlWriter writer(db, host);
    return XmlWriter::fileBytes(writer.generate(index, 1, host.hide, host.easyRead));
}

// Reads exported bytes into a language object and imports it as the only language of a database.
Database importBytes(const QByteArray &bytes, LanguageObject &object)
{
    Database db;
    QString description;
    EXPECT_TRUE(object.loadData(bytes, QStringLiteral("exported.lng"))) << object.error().toString().toStdString();
    EXPECT_TRUE(LanguageImport::fillLanguage(object, true, QStringLiteral("sample"), db.languages.emplace_back(),
                                             description));
    return db;
}

// Every token of a language object: tokenset name, then text, action number, regexp and rule.
QStringList tokens(const LanguageObject &object)
{
    QStringList out;
    for (int k = 0; k < object.tokensetCount(); ++k) {
        const TokensetDefinition &t = *object.tokenset(k);
        for (const TokenListDefinition *list : {&t.tokens, &t.tokens2}) {
            for (const TokenDefinition &token : list->tokens)
                out << QStringLiteral("%1: %2 %3 %4 %5").arg(t.name, token.text).arg(ObjectModel::commandNumber(token))
                           .arg(token.regexp).arg(token.rule);
        }
    }
    return out;
}

} // namespace

TEST(RoundTrip, ExportImportExportKeepsEveryToken)
{
    TestUtil::TempFolder folder;
    RecordingHost host;
    host.folder = folder.path();
    host.lists.names = {QStringLiteral("C Standard Library")};
    const Database db = variedDatabase();
    for (const int form : {0, 1, 2, 3}) {
        host.hide = form & 1;
        host.easyRead = form & 2;
        for (int i = 0; i < db.languages.size(); ++i) {
            const std::string where = db.languages[i].name.toStdString() + " form " + std::to_string(form);
            LanguageObject o1, o2, o3;
            const QByteArray second = exportLanguage(importBytes(exportLanguage(db, i, host), o1), 0, host);
            const QByteArray third = exportLanguage(importBytes(second, o2), 0, host);
            EXPECT_EQ(second.toStdString(), third.toStdString()) << where;
            ASSERT_TRUE(o3.loadData(third, QStringLiteral("third.lng"))) << where;
            EXPECT_EQ(tokens(o1), tokens(o3)) << where;
            EXPECT_EQ(std::tuple(o1.name(), o1.wordChars(), o1.memberList(), o1.tokensetCount()),
                      std::tuple(o3.name(), o3.wordChars(), o3.memberList(), o3.tokensetCount())) << where;
        }
    }
}
