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

TEST(MemberListObject, ShippedListsLoad)
{
    struct Case {
        const char *file;
        const char *name;
        const char *member;
        const char *tip;
    } cases[] = {
        {"data/language_mem/c_stdlib.mbr", "C Standard Library", "printf", "int printf(const char *format, ...)"},
        {"data/language_mem/html_elements.mbr", "HTML Elements", "table", "<table> table"},
    };
    for (const Case &c : cases) {
        MemberListObject list;
        ASSERT_TRUE(list.load(TestUtil::sourcePath(QString::fromLatin1(c.file)))) << list.error().toString().toStdString();
        EXPECT_EQ(list.name(), c.name);
        EXPECT_GE(list.members().size(), 40);
        bool found = false;
        for (const MemberListObject::Member &m : list.members())
            found = found || (m.name == c.member && m.tip == QString::fromUtf8(c.tip));
        EXPECT_TRUE(found) << c.file;
    }
}

TEST(MemberListObject, RefusesMalformedLists)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        const char *problemPart;
    } cases[] = {
        {"other root", "<list name=\"x\"/>", "not <memberlist>"},
        {"no name", "<memberlist><member name=\"a\"/></memberlist>", "has no name"},
        {"member without name", "<memberlist name=\"x\">\n<member tip=\"t\"/></memberlist>", "member without a name"},
        {"not well-formed", "<memberlist name=\"x\"><member name=\"a\"></memberlist>", ""},
        {"document type", "<!DOCTYPE m [<!ENTITY e \"x\">]><memberlist name=\"&e;\"/>", "document type"},
        {"empty", "", ""},
    };
    for (const Case &c : cases) {
        MemberListObject list;
        EXPECT_FALSE(list.loadData(c.bytes, QStringLiteral("bad.mbr"))) << c.what;
        EXPECT_FALSE(list.isLoaded()) << c.what;
        EXPECT_TRUE(list.error().toString().startsWith(QStringLiteral("bad.mbr, line "))) << c.what;
        EXPECT_TRUE(list.error().problem.contains(QString::fromLatin1(c.problemPart))) << c.what;
    }
    MemberListObject list;
    ASSERT_TRUE(list.loadData("<memberlist name=\"Caf\xC3\xA9\"><member name=\"m\"><x/></member></memberlist>", "u.mbr"));
    EXPECT_EQ(list.name(), QStringLiteral("Caf\u00E9")); // UTF-8 by default
    EXPECT_EQ(list.members().size(), 1);
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
}
