#include "common/testutil.h"
#include "editorcontrol/editorglobals.h"
#include "editorcontrol/memberlistfolder.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<LanguageObject> language(const QByteArray &name)
{
    auto object = std::make_shared<LanguageObject>();
    EXPECT_TRUE(object->loadData("<language name=\"" + name + "\"/>", QString::fromLatin1(name) + ".lng"));
    return object;
}

std::shared_ptr<MemberListObject> memberList(const QByteArray &name)
{
    auto list = std::make_shared<MemberListObject>();
    EXPECT_TRUE(list->loadData("<memberlist name=\"" + name + "\"><member name=\"m\"/></memberlist>", "x.mbr"));
    return list;
}

} // namespace

TEST(EditorGlobals, RegistersLanguagesInOrderAndMemberListsByExactName)
{
    EditorGlobals g;
    auto xml = language("XML"), preview = language("Demo"), other = language("Other");
    EXPECT_TRUE(g.registerLanguage(xml));
    EXPECT_TRUE(g.registerLanguage(preview));
    EXPECT_FALSE(g.registerLanguage(preview));                            // once only
    EXPECT_FALSE(g.registerLanguage(std::make_shared<LanguageObject>())); // never loaded
    EXPECT_EQ(std::tuple(g.languageCount(), g.language(0), g.language(1), g.language(2)),
              std::tuple(2, xml, preview, nullptr));
    // The preview cycle: unregister, reload, register again; it moves to the end.
    EXPECT_TRUE(g.unregisterLanguage(preview.get()));
    EXPECT_FALSE(g.unregisterLanguage(preview.get()));
    ASSERT_TRUE(preview->loadData("<language name=\"Demo2\"/>", "varlex.lng"));
    g.registerLanguage(other);
    g.registerLanguage(preview);
    EXPECT_EQ(std::tuple(g.language(1), g.language(2)->name()), std::tuple(other, QString("Demo2")));
    g.clearLanguages();
    EXPECT_EQ(g.languageCount(), 0);

    auto c = memberList("C Library"), html = memberList("HTML");
    EXPECT_TRUE(g.registerMemberList(c));
    EXPECT_TRUE(g.registerMemberList(html));
    EXPECT_FALSE(g.registerMemberList(c));
    EXPECT_EQ(g.memberListNames(), QStringList({"C Library", "HTML"}));
    const MemberlistLookup &lookup = g; // what the XML writer asks
    for (const char *name : {"html", "HTML ", "", "C"})
        EXPECT_FALSE(lookup.exists(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(lookup.exists(QStringLiteral("C Library")));
    g.clearMemberLists();
    EXPECT_FALSE(lookup.exists(QStringLiteral("HTML")));
}

TEST(MemberListObject, RefusesMalformedLists)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {"<list name=\"x\"/>", "not <memberlist>"},
        {"<memberlist><member name=\"a\"/></memberlist>", "has no name"},
        {"<memberlist name=\"x\">\n<member tip=\"t\"/></memberlist>", "member without a name"},
        {"<memberlist name=\"x\"><member name=\"a\"></memberlist>", ""},
        {"<!DOCTYPE m [<!ENTITY e \"x\">]><memberlist name=\"&e;\"/>", "document type"},
        {"", ""},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), ""}, // a picture named .mbr
        {"<!DOCTYPE m [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]><memberlist name=\"&b;&b;\"/>", "document type"},
    };
    for (const auto &[bytes, problem] : cases) {
        MemberListObject list;
        EXPECT_FALSE(list.loadData(bytes, QStringLiteral("bad.mbr"))) << bytes.toStdString();
        EXPECT_FALSE(list.isLoaded());
        EXPECT_TRUE(list.error().toString().startsWith(QStringLiteral("bad.mbr, line "))) << bytes.toStdString();
        EXPECT_TRUE(list.error().problem.contains(QString::fromLatin1(problem))) << bytes.toStdString();
    }
    MemberListObject list;
    ASSERT_TRUE(list.loadData("<memberlist name=\"Caf\xC3\xA9\"><member name=\"m\"><x/></member></memberlist>", "u.mbr"));
    EXPECT_EQ(std::pair(list.name(), list.members().size()), std::pair(QStringLiteral("Caf\u00E9"), qsizetype(1)));
}

TEST(MemberListFolder, RegistersTheListsThatLoad)
{
    EditorGlobals g;
    g.registerMemberList(memberList("Stale"));
    TestUtil::TempFolder folder;
    EXPECT_TRUE(MemberListFolder::LoadMemberLists(g, folder.file(QStringLiteral("missing"))).names.isEmpty());
    EXPECT_EQ(g.memberListCount(), 0);

    folder.write(QStringLiteral("one.mbr"), "<memberlist name=\"First List\"><member name=\"a\"/></memberlist>");
    folder.write(QStringLiteral("two.MBR.txt"), "<memberlist name=\"Not a member list file\"/>");
    folder.write(QStringLiteral("bad.mbr"), "<memberlist>");
    folder.write(QStringLiteral("three.mbr"), "<memberlist name=\"Third\"/>");
    const MemberListFolder::Result r = MemberListFolder::LoadMemberLists(g, folder.path());
    QStringList names = r.names;
    names.sort();
    EXPECT_EQ(names, QStringList({"First List", "Third"})); // names the lists report, not file names
    EXPECT_EQ(g.memberListNames(), r.names);
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_TRUE(r.problems[0].contains(QStringLiteral("bad.mbr, line 1"))) << r.problems[0].toStdString();

    names = MemberListFolder::LoadMemberLists(g, TestUtil::sourcePath(QStringLiteral("data/language_mem"))).names;
    names.sort();
    EXPECT_EQ(names, QStringList({"C Standard Library", "HTML Elements"}));
    const QVector<MemberListObject::Member> &c = g.memberList(QStringLiteral("C Standard Library"))->members();
    EXPECT_TRUE(c.contains({QStringLiteral("printf"), QStringLiteral("int printf(const char *format, ...)")}));
    EXPECT_GE(g.memberList(QStringLiteral("HTML Elements"))->members().size(), 40);
}
