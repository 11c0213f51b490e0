#include "common/testutil.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"

#include <gtest/gtest.h>

using namespace LanguageImport;

namespace {

Language imported(const QByteArray &xml, QStringList *changes = nullptr)
{
    LanguageObject object;
    EXPECT_TRUE(object.loadData(xml, QStringLiteral("in.lng"))) << object.error().toString().toStdString();
    Language record;
    QString description;
    EXPECT_TRUE(fillLanguage(object, true, QStringLiteral("sample"), record, description, changes));
    return record;
}

// A tokenset record in one line: name id type included, the nine flags in import order, colours, font
// style, inheritfrom, member list, regexp, rule, valid scopes.
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
    // Colours not set become black and white, others their absolute value; ids 1 and 99 give "text", -8
    // "strings"; list regexp and rule are the hidden defaults; the language's case sensitivity is every tokenset's.
    EXPECT_EQ(describe(r.tokensets[0]),
              std::string("A text list 1 100111011 0 16777215 bolditalic <none> <none> 1 Word ") + kNoScopes);
    EXPECT_EQ(describe(r.tokensets[1]), "B text scope 1 100111100 0 0 normal A Not Registered 1 Word "
                                        "A|NULL|C|<none>|<none>|<none>|<none>|<none>|<none>|<none>|");
    EXPECT_EQ(describe(r.tokensets[2]),
              std::string("C strings list 1 100111100 255 -2147483648 normal <none> <none> 1 Word ") + kNoScopes);

    // Entry 10 is set only for a tokenset with eleven valid scopes.
    QByteArray eleven = "<language name=\"X\"><tokenset name=\"A\">";
    for (int i = 0; i < 11; ++i)
        eleven += "<validscope name=\"A\"/>";
    EXPECT_EQ(imported(eleven + "</tokenset></language>").tokensets[0].validscope[10], "A");
}

TEST(LanguageImport, TokenListTextKeepsWhatALineCanHoldAndNamesEveryChange)
{
    QStringList changes;
    const Language r = imported("<language name=\"L\"><tokenset name=\"T\" type=\"scope\">"
                                "<tokens regexp=\"false\" rule=\"\">"
                                "<token >plain</token>"
                                "<token  action=\"ListMembers\" regexp=\"true\" rule=\"col3\">Foo</token>"
                                "<token action=\"quickinfo\" rule=\"leadwith[(]|trailwith[)]\">a&lt;b</token>"
                                "<token action=\"Unknown\" rule=\"word\">w</token>"
                                "<token>a::::b</token><token>  padded </token><token>x&#13;&#10;y</token>"
                                "<token rule=\"leadwith[::::]\">c</token>"
                                "</tokens><tokens2><token>end</token></tokens2></tokenset>"
                                "<tokenset name=\"U\"><tokens></tokens></tokenset></language>",
                                &changes);
    // A rule that sets no condition reads "null", so the line written back sets none either.
    EXPECT_EQ(r.tokensets[0].tokens, "plain ::::  :::: False :::: null\r\n"
                                     "Foo :::: ListMembers :::: True :::: col3\r\n"
                                     "a<b :::: QuickInfo :::: False :::: leadwith[(]|trailwith[)]\r\n"
                                     "w ::::  :::: False :::: word\r\n"
                                     "padded ::::  :::: False :::: null\r\n"
                                     "x\ny ::::  :::: False :::: null\r\n"
                                     "c ::::  :::: False :::: leadwith[:]");
    EXPECT_EQ(r.tokensets[0].tokens2, "end ::::  :::: True :::: word");
    EXPECT_EQ(r.tokensets[1].tokens, "");
    EXPECT_EQ(r.tokensets[1].tokens2, "");
    const QString at = QStringLiteral("in.lng: tokenset \"T\", tokens, token ");
    EXPECT_EQ(changes, QStringList({at + "5 \"a::::b\": left out; \"::::\" separates the fields of a token line",
                                    at + "6 \"  padded \": kept as \"padded\"; a token line drops the blanks around its token",
                                    at + "7 \"x\\r\\ny\": kept as \"x\\ny\"; a token line ends at CR LF",
                                    at + "8 \"c\": rule \"leadwith[::::]\" kept as \"leadwith[:]\""}));
}

// A language is appended, and the database marked changed, only once the whole file has loaded.
TEST(LanguageImport, AppendsOnlyAfterTheFileLoaded)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("empty.lng"), "<language name=\"Empty\"></language>");
    folder.write(QStringLiteral("broken.lng"), "<language name=\"Broken\"><tokenset name=\"A\">");
    Database db;
    LanguageObject preview;
    Result r = importFile(db, preview, folder.file(QStringLiteral("empty.lng")), true, QString());
    EXPECT_EQ(std::tuple(r.ok, r.index, db.dirty, db.languages[0].tokensetCount()), std::tuple(true, 0, true, 0));
    db.dirty = false;
    r = importFile(db, preview, folder.file(QStringLiteral("broken.lng")), true, QString());
    EXPECT_EQ(std::tuple(r.ok, r.index, db.dirty, db.languages.size()), std::tuple(false, -1, false, 1));
    EXPECT_TRUE(r.messageText().startsWith(QStringLiteral("Error importing language!\r\n\r\n") +
                                           folder.file(QStringLiteral("broken.lng"))));
    EXPECT_EQ(preview.name(), "Empty"); // the preview object keeps the last language that loaded
}
