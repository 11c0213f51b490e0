#include "common/testutil.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"

#include <gtest/gtest.h>

using namespace LanguageImport;

namespace {

Language imported(const QByteArray &xml, bool autoInclude = true)
{
    LanguageObject object;
    EXPECT_TRUE(object.loadData(xml, QStringLiteral("in.lng"))) << object.error().toString().toStdString();
    Language record;
    QString description;
    EXPECT_TRUE(fillLanguage(object, autoInclude, QStringLiteral("sample"), record, description));
    return record;
}

// A tokenset record in one line: name id type included, the nine flags in import order
// (casesensitive normalizecase matchbraces autoindent hidden singlelinescope chain symmetrical
// enabled), colours, font style, inheritfrom, member list, regexp, rule, valid scopes.
std::string describe(const Tokenset &t)
{
    QString s = QStringLiteral("%1 %2 %3 %4 ").arg(t.name, t.id, t.type).arg(t.included);
    for (qint32 f : {t.casesensitive, t.normalizecase, t.matchbraces, t.autoindent, t.hidden, t.singlelinescope,
                     t.chain, t.symmetrical, t.enabled})
        s += QString::number(f);
    s += QStringLiteral(" %1 %2 %3 %4 %5 %6 %7 ").arg(t.forecolor).arg(t.backcolor).arg(t.fontstyle, t.inheritfrom,
                                                                                      t.tmemberlist).arg(t.regexp).arg(t.rule);
    return (s + QStringList(t.validscope.begin(), t.validscope.end()).join(u'|')).toStdString();
}

const char kNoScopes[] = "<none>|<none>|<none>|<none>|<none>|<none>|<none>|<none>|<none>|<none>|";

} // namespace

TEST(LanguageImport, NumberLookups)
{
    const std::pair<qint64, const char *> ids[] = {{1, "text"},   {99, "text"},  {0, "text"}, {2, "numbers"},
                                                   {22, "attributetext"}, {31, "statementdelims"}, {32, "text"},
                                                   {-3, "text"},  {2147483648LL, "text"}};
    for (const auto &[n, name] : ids)
        EXPECT_EQ(GetIDName(n), name) << n;
    const std::pair<int, const char *> commands[] = {{259, "ListMembers"}, {261, "CommitMember"}, {263, "QuickInfo"},
                                                     {258, ""}, {264, ""}, {0, ""}};
    for (const auto &[n, name] : commands)
        EXPECT_EQ(GetCommandText(n), name) << n;
}

TEST(LanguageImport, RecordFieldsAndDefaults)
{
    const Language r = imported(
        "<language name=\"Demo\" casesensitive=\"true\" whitespaceasparamblock=\"false\" wordchars=\"[a-z]\">"
        "<tokenset name=\"A\" id=\"1\" forecolor=\"-1\" backcolor=\"-1\" casesensitive=\"true\" enabled=\"true\" "
        "symmetrical=\"true\" chain=\"false\" fontstyle=\"3\"/>"
        "<tokenset name=\"B\" id=\"99\" type=\"scope\" forecolor=\"0\" backcolor=\"0\" fontstyle=\"5\" inheritfrom=\"A\" "
        "memberlist=\"Not Registered\"><validscope name=\"A\"/><validscope name=\"\"/><validscope name=\"C\"/></tokenset>"
        "<tokenset name=\"C\" id=\"-8\" forecolor=\"-255\" backcolor=\"-2147483648\" fontstyle=\"-1\"/>"
        "</language>");
    EXPECT_EQ(std::tuple(r.name, r.casesensitive, r.applycase, r.whitespaceasparamblock, r.wordchars, r.memberlist,
                         r.sampletext),
              std::tuple(QString("Demo"), 0, 0, 0, QString("[a-z]"), QString("<none>"), QString("sample")));
    ASSERT_EQ(r.tokensetCount(), 3);
    // Colours not set become black and white; a reported 0 stays 0; others their absolute value.
    // Id numbers 1 and 99 give "text"; -8 gives "strings". The list regexp and rule are the hidden defaults.
    EXPECT_EQ(describe(r.tokensets[0]),
              std::string("A text list 1 100111011 0 16777215 bolditalic <none> <none> 1 Word ") + kNoScopes);
    EXPECT_EQ(describe(r.tokensets[1]), "B text scope 1 000111100 0 0 normal A Not Registered 1 Word "
                                        "A|NULL|C|<none>|<none>|<none>|<none>|<none>|<none>|<none>|");
    EXPECT_EQ(describe(r.tokensets[2]),
              std::string("C strings list 1 000111100 255 -2147483648 normal <none> <none> 1 Word ") + kNoScopes);

    const Language excluded = imported("<language name=\"X\"><tokenset name=\"A\"/><tokenset name=\"B\"/></language>", false);
    EXPECT_EQ(std::pair(excluded.tokensets[0].included, excluded.tokensets[1].included), std::pair(0, 0));

    // Entry 10 is set only for a tokenset with eleven valid scopes.
    QByteArray eleven = "<language name=\"X\"><tokenset name=\"A\">";
    for (int i = 0; i < 11; ++i)
        eleven += "<validscope name=\"A\"/>";
    EXPECT_EQ(imported(eleven + "</tokenset></language>").tokensets[0].validscope[10], "A");
}

TEST(LanguageImport, TokenListText)
{
    const Language r = imported("<language name=\"L\"><tokenset name=\"T\" type=\"scope\">"
                                "<tokens regexp=\"false\" rule=\"\">"
                                "<token >plain</token>"
                                "<token  action=\"ListMembers\" regexp=\"true\" rule=\"col3\">Foo</token>"
                                "<token action=\"quickinfo\" rule=\"leadwith[(]|trailwith[)]\">a&lt;b</token>"
                                "<token action=\"Unknown\" rule=\"word\">w</token>"
                                "</tokens><tokens2><token>end</token></tokens2></tokenset>"
                                "<tokenset name=\"U\"><tokens></tokens></tokenset></language>");
    // A rule that sets no condition reads "null", so the line written back sets none either.
    EXPECT_EQ(r.tokensets[0].tokens, "plain ::::  :::: False :::: null\r\n"
                                     "Foo :::: ListMembers :::: True :::: col3\r\n"
                                     "a<b :::: QuickInfo :::: False :::: leadwith[(]|trailwith[)]\r\n"
                                     "w ::::  :::: False :::: word");
    EXPECT_EQ(r.tokensets[0].tokens2, "end ::::  :::: True :::: word");
    EXPECT_EQ(r.tokensets[1].tokens, "");
    EXPECT_EQ(r.tokensets[1].tokens2, "");
}

TEST(LanguageImport, AppendsOnlyAfterTheFileLoaded)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("a.lng"), "<language name=\"Same\"><tokenset name=\"A\"/></language>");
    folder.write(QStringLiteral("empty.lng"), "<language name=\"Empty\"></language>");
    folder.write(QStringLiteral("broken.lng"), "<language name=\"Broken\"><tokenset name=\"A\">");
    QByteArray many = "<language name=\"Many\">";
    for (int i = 0; i < 52; ++i)
        many += "<tokenset name=\"T" + QByteArray::number(i) + "\"/>";
    folder.write(QStringLiteral("many.lng"), many + "</language>");

    Database db;
    db.languages.resize(1);
    db.languages[0].name = QStringLiteral("Same");
    LanguageObject preview;
    Result r = importFile(db, preview, folder.file(QStringLiteral("a.lng")), true, QString());
    EXPECT_EQ(std::tuple(r.ok, r.index, db.dirty, db.languages[1].name), std::tuple(true, 1, true, QString("Same")));
    r = importFile(db, preview, folder.file(QStringLiteral("empty.lng")), true, QString());
    EXPECT_EQ(std::pair(r.ok, db.languages[2].tokensetCount()), std::pair(true, 0));

    const Database before = db;
    for (const char *bad : {"broken.lng", "many.lng", "missing.lng"}) {
        db.dirty = false;
        r = importFile(db, preview, folder.file(QString::fromLatin1(bad)), true, QString());
        EXPECT_EQ(std::tuple(r.ok, r.index, db.dirty), std::tuple(false, -1, false)) << bad;
        EXPECT_EQ(db.languages, before.languages) << bad;
        EXPECT_TRUE(r.description.contains(QString::fromLatin1(bad))) << r.description.toStdString();
        EXPECT_TRUE(r.messageText().startsWith(QStringLiteral("Error importing language!\r\n\r\n"))) << bad;
    }
    // The preview object still holds the last language that loaded.
    EXPECT_EQ(preview.name(), "Empty");
}
