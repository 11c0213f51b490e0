#include "common/testutil.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"

#include <gtest/gtest.h>

using namespace LanguageImport;

namespace {

LanguageObject loaded(const QByteArray &xml)
{
    LanguageObject object;
    EXPECT_TRUE(object.loadData(xml, QStringLiteral("in.lng"))) << object.error().toString().toStdString();
    return object;
}

Language imported(const QByteArray &xml, bool autoInclude = true)
{
    Language record;
    QString description;
    EXPECT_TRUE(fillLanguage(loaded(xml), autoInclude, QStringLiteral("sample"), record, description))
        << description.toStdString();
    return record;
}

QByteArray withTokenset(const QByteArray &attrs, const QByteArray &body = QByteArray())
{
    return "<language name=\"L\"><tokenset name=\"T\" id=\"keywords\" " + attrs + " >" + body
        + "</tokenset><tokenset name=\"U\"/><tokenset name=\"V\"/><tokenset name=\"W\"/></language>";
}

} // namespace

TEST(LanguageImport, NumberLookups)
{
    const std::pair<qint64, const char *> ids[] = {{1, "text"},      {99, "text"},     {0, "text"},
                                                   {2, "numbers"},   {12, "tagelementnames"},
                                                   {22, "attributetext"}, {31, "statementdelims"},
                                                   {32, "text"},     {-3, "text"},     {2147483648LL, "text"}};
    for (const auto &[n, name] : ids)
        EXPECT_EQ(GetIDName(n), name) << n;

    const std::pair<int, const char *> commands[] = {{259, "ListMembers"}, {260, "CompleteWord"}, {261, "CommitMember"},
                                                     {262, "ParameterInfo"}, {263, "QuickInfo"}, {258, ""},
                                                     {264, ""}, {0, ""}};
    for (const auto &[n, name] : commands)
        EXPECT_EQ(GetCommandText(n), name) << n;

    const std::pair<const char *, const char *> styles[] = {{"1", "bold"},      {"2", "italic"}, {"3", "bolditalic"},
                                                            {"4", "underline"}, {"0", "normal"}, {"5", "normal"},
                                                            {"-1", "normal"},   {"bold", "bold"}};
    for (const auto &[in, name] : styles) {
        QString style;
        ASSERT_TRUE(GetFontStyleFromFileData(loaded(withTokenset(QByteArray("fontstyle=\"") + in + "\"")), 0, style));
        EXPECT_EQ(style, name) << in;
    }
    QString style = QStringLiteral("unchanged");
    EXPECT_FALSE(GetFontStyleFromFileData(loaded(withTokenset("")), 4, style));
    EXPECT_EQ(style, "unchanged");
}

TEST(LanguageImport, LookupsWithDefaults)
{
    const LanguageObject plain = loaded(withTokenset("memberlist=\"\" inheritfrom=\"\""));
    EXPECT_EQ(GetLMemberListFromFileData(plain), "<none>");
    EXPECT_EQ(GetInheritFromFileData(plain, 0), "<none>");
    EXPECT_EQ(GetMemberListFromFileData(plain, 0), "<none>");
    EXPECT_EQ(GetValidScopeFromFileData(plain, 0, 0), "NULL");
    // No such tokenset: the default, not a failure.
    EXPECT_EQ(GetInheritFromFileData(plain, 9), "<none>");
    EXPECT_EQ(GetMemberListFromFileData(plain, -1), "<none>");
    EXPECT_EQ(GetValidScopeFromFileData(plain, 9, 0), "NULL");

    const LanguageObject set = loaded("<language name=\"L\" memberlist=\"Not Registered\">"
                                      "<tokenset name=\"A\" memberlist=\"M\" inheritfrom=\"B\">"
                                      "<validscope name=\"B\"/><validscope name=\"\"/></tokenset>"
                                      "<tokenset name=\"B\"/></language>");
    EXPECT_EQ(GetLMemberListFromFileData(set), "Not Registered");
    EXPECT_EQ(GetMemberListFromFileData(set, 0), "M");
    EXPECT_EQ(GetInheritFromFileData(set, 0), "B");
    EXPECT_EQ(GetValidScopeFromFileData(set, 0, 0), "B");
    EXPECT_EQ(GetValidScopeFromFileData(set, 0, 1), "NULL"); // the outermost level is no tokenset
}

TEST(LanguageImport, TokenListText)
{
    const Language r = imported(withTokenset(
        "type=\"scope\"", "<tokens regexp=\"false\" rule=\"\">"
                          "<token >plain</token>"
                          "<token  action=\"ListMembers\" regexp=\"true\" rule=\"col3\">Foo</token>"
                          "<token action=\"quickinfo\" rule=\"leadwith[(]|trailwith[)]\">a&lt;b</token>"
                          "<token action=\"Unknown\" rule=\"word\">w</token>"
                          "</tokens><tokens2><token>end</token></tokens2>"));
    const Tokenset &t = r.tokensets[0];
    EXPECT_EQ(t.tokens, "plain ::::  :::: False :::: null\r\n"
                        "Foo :::: ListMembers :::: True :::: col3\r\n"
                        "a<b :::: QuickInfo :::: False :::: leadwith[(]|trailwith[)]\r\n"
                        "w ::::  :::: False :::: word");
    // A list without attributes: regexp true, rule word.
    EXPECT_EQ(t.tokens2, "end ::::  :::: True :::: word");
    EXPECT_EQ(r.tokensets[1].tokens, "");
    EXPECT_EQ(r.tokensets[1].tokens2, "");
}

TEST(LanguageImport, ValidScopeEntries)
{
    struct Case {
        int scopes;
        const char *entry0;
        const char *entry3;
        const char *entry9;
        const char *entry10;
    } cases[] = {
        {0, "<none>", "<none>", "<none>", ""},
        {3, "U", "<none>", "<none>", ""},
        {10, "U", "NULL", "W", ""},
        {11, "U", "NULL", "W", "V"},
    };
    const char *names[] = {"U", "V", "W", "", "U", "V", "W", "U", "V", "W", "V"};
    for (const Case &c : cases) {
        QByteArray body;
        for (int i = 0; i < c.scopes; ++i)
            body += QByteArray("<validscope name=\"") + names[i] + "\"/>";
        const Tokenset t = imported(withTokenset("", body)).tokensets[0];
        EXPECT_EQ(t.validscope[0], c.entry0) << c.scopes;
        EXPECT_EQ(t.validscope[3], c.entry3) << c.scopes;
        EXPECT_EQ(t.validscope[9], c.entry9) << c.scopes;
        EXPECT_EQ(t.validscope[10], c.entry10) << c.scopes;
    }
}

TEST(LanguageImport, RecordFieldsAndDefaults)
{
    const Language r = imported("<language name=\"Demo\" casesensitive=\"true\" whitespaceasparamblock=\"false\" "
                                "wordchars=\"[a-z]\">"
                                "<tokenset name=\"A\" id=\"1\" forecolor=\"-1\" backcolor=\"-1\" casesensitive=\"true\" "
                                "enabled=\"true\" symmetrical=\"true\" chain=\"false\"/>"
                                "<tokenset name=\"B\" id=\"99\" type=\"scope\" forecolor=\"0\" backcolor=\"0\"/>"
                                "<tokenset name=\"C\" id=\"-8\" forecolor=\"-255\" backcolor=\"-2147483648\"/>"
                                "<tokenset name=\"D\" id=\"strings\"/>"
                                "</language>");
    EXPECT_EQ(r.name, "Demo");
    EXPECT_EQ(r.casesensitive, 0); // never taken from the file
    EXPECT_EQ(r.applycase, 0);
    EXPECT_EQ(r.whitespaceasparamblock, 0);
    EXPECT_EQ(r.wordchars, "[a-z]");
    EXPECT_EQ(r.memberlist, "<none>");
    EXPECT_EQ(r.sampletext, "sample");
    EXPECT_EQ(r.tokensetCount(), 4);

    const Tokenset &a = r.tokensets[0];
    EXPECT_EQ(a.id, "text");
    EXPECT_EQ(a.type, "list");
    EXPECT_EQ(a.included, 1);
    EXPECT_EQ(a.forecolor, 0);          // not set: black
    EXPECT_EQ(a.backcolor, 0x00FFFFFF); // not set: white
    EXPECT_EQ(a.fontstyle, "normal");
    EXPECT_EQ(a.inheritfrom, "<none>");
    EXPECT_EQ(a.tmemberlist, "<none>");
    EXPECT_EQ(std::tuple(a.casesensitive, a.normalizecase, a.matchbraces, a.autoindent, a.hidden, a.singlelinescope,
                         a.chain, a.symmetrical, a.enabled),
              std::tuple(1, 0, 0, 1, 1, 1, 0, 1, 1));
    EXPECT_EQ(std::tuple(a.regexp, a.rule, a.lead, a.trail), std::tuple(1, QString("Word"), QString(), QString()));

    EXPECT_EQ(r.tokensets[1].id, "text");
    EXPECT_EQ(r.tokensets[1].type, "scope");
    EXPECT_EQ(r.tokensets[1].forecolor, 0); // a reported 0 stays black in both
    EXPECT_EQ(r.tokensets[1].backcolor, 0);
    EXPECT_EQ(r.tokensets[2].id, "strings"); // absolute value of the id number
    EXPECT_EQ(r.tokensets[2].forecolor, 255);
    EXPECT_EQ(r.tokensets[2].backcolor, qint32(0x80000000u));
    EXPECT_EQ(r.tokensets[3].id, "strings");
    EXPECT_TRUE(r.tokensets[4].name.isEmpty());

    const Language excluded = imported("<language name=\"X\"><tokenset name=\"A\"/><tokenset name=\"B\"/></language>", false);
    EXPECT_EQ(excluded.tokensets[0].included, 0);
    EXPECT_EQ(excluded.tokensets[1].included, 0);
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
    ASSERT_TRUE(r.ok) << r.description.toStdString();
    EXPECT_EQ(r.index, 1);
    EXPECT_TRUE(db.dirty);
    EXPECT_EQ(db.languages[1].name, "Same"); // a further language; nothing replaced
    EXPECT_EQ(db.languages[0].tokensetCount(), 0);

    r = importFile(db, preview, folder.file(QStringLiteral("empty.lng")), true, QString());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(db.languages[2].tokensetCount(), 0);

    const Database before = db;
    for (const char *bad : {"broken.lng", "many.lng", "missing.lng"}) {
        db.dirty = false;
        r = importFile(db, preview, folder.file(QString::fromLatin1(bad)), true, QString());
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.index, -1);
        EXPECT_EQ(db.languages, before.languages) << bad;
        EXPECT_EQ(db.upperIndex(), 2);
        EXPECT_FALSE(db.dirty);
        EXPECT_TRUE(r.description.contains(QString::fromLatin1(bad))) << r.description.toStdString();
        EXPECT_TRUE(r.messageText().startsWith(QStringLiteral("Error importing language!\r\n\r\n"))) << bad;
    }
    EXPECT_TRUE(r.description.endsWith(QStringLiteral("file not found")));
    // The preview object still holds the last language that loaded.
    EXPECT_EQ(preview.name(), "Empty");
}
