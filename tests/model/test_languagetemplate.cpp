#include "common/testutil.h"
#include "model/languagetemplate.h"
#include "model/trace.h"

#include <gtest/gtest.h>

using TestUtil::TempFolder;

namespace {

void writeLists(const TempFolder &folder)
{
    folder.write(QStringLiteral("Keywordlist.txt"), "if\r\nelse\r\n");
    folder.write(QStringLiteral("Operatorlist.txt"), "+\r\n-");
    folder.write(QStringLiteral("Hyperlinklist.txt"), "http://\\S+\xe9");
    folder.write(QStringLiteral("IDList.txt"), "keywords\r\n\r\n   \r\n  text  \r\nstrings\nscope\rlast");
}

} // namespace

TEST(LanguageTemplate, SlotBySlot)
{
    TempFolder folder;
    writeLists(folder);
    Database db;
    db.languages.resize(2);
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, QStringLiteral(" My Lang "), folder.path(),
                                                                   QStringLiteral("sample"));
    ASSERT_EQ(r.index, 2);
    ASSERT_EQ(db.languages.size(), 3);
    EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
    const Language &l = db.languages[2];
    EXPECT_EQ(l.name, QStringLiteral(" My Lang "));
    EXPECT_EQ(l.casesensitive, 0);
    EXPECT_EQ(l.applycase, 0);
    EXPECT_EQ(l.wordchars, QStringLiteral("[\\w]"));
    EXPECT_EQ(l.whitespaceasparamblock, 1);
    EXPECT_EQ(l.memberlist, QStringLiteral("<none>"));
    EXPECT_EQ(l.sampletext, QStringLiteral("sample"));

    struct Row {
        const char *name, *id, *type, *tokens, *tokens2;
        qint32 regexp, forecolor;
    } const rows[] = {
        {"White Space", "whitespace", "list", "\\s+", "", 0, 0x000000},
        {"Line Comments", "linecomments", "list", "'", "", 0, 0x800000},
        {"Block Comments", "blockcomments", "scope", "/*", "*/", 0, 0x008000},
        {"Statement Delimiters", "statementdelims", "list", ";", "", 0, 0x808000},
        {"Scope Keywords", "scopekeywords", "scope", "{", "}", 0, 0x000080},
        {"Parameter Blocks", "parameterblocks", "scope", "(", ")", 0, 0x800080},
        {"Argument Separators", "argseparators", "list", ",", "", 0, 0x008080},
        {"Strings", "strings", "scope", "\"\r\n'", "\"\r\n'", 0, 0xC0C0C0},
        {"Escape Sequences", "escapeseqs", "list", "\\\\.", "", 0, 0x808080},
        {"Keywords", "keywords", "list", "if\r\nelse\r\n", "", 0, 0xFF0000},
        {"Operators", "operators", "list", "+\r\n-", "", 0, 0x00FF00},
        {"Numbers", "numbers", "list", "-?\\d+(\\.\\d*)?(e-?\\d+)?", "", 1, 0xFFFF00},
        {"Hyperlinks", "hyperlinks", "list", "http://\\S+\xc3\xa9", "", 1, 0x0000FF},
        {"Text", "text", "list", "", "", 0, 0xFF00FF},
    };
    EXPECT_EQ(QString::fromLatin1(rows[11].tokens).size(), 22);
    for (int k = 0; k < 14; ++k) {
        const Tokenset &t = l.tokensets[k];
        const Row &w = rows[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(t.name, QString::fromUtf8(w.name));
        EXPECT_EQ(t.id, QString::fromUtf8(w.id));
        EXPECT_EQ(t.type, QString::fromUtf8(w.type));
        EXPECT_EQ(t.tokens, QString::fromUtf8(w.tokens));
        EXPECT_EQ(t.tokens2, QString::fromUtf8(w.tokens2));
        EXPECT_EQ(t.regexp, w.regexp);
        EXPECT_EQ(t.forecolor, w.forecolor);
        EXPECT_EQ(t.fontstyle, QStringLiteral("normal"));
        EXPECT_EQ(t.inheritfrom, QStringLiteral("<none>"));
        EXPECT_EQ(t.tmemberlist, QStringLiteral("<none>"));
        EXPECT_EQ(t.rule, QStringLiteral("<NULL>"));
        EXPECT_EQ(t.backcolor, 0xFFFFFF);
        EXPECT_TRUE(t.lead.isEmpty() && t.trail.isEmpty());
        const qint32 flags[] = {t.casesensitive, t.normalizecase, t.matchbraces, t.autoindent, t.enabled,
                                t.included, t.hidden, t.singlelinescope, t.chain, t.symmetrical};
        const qint32 want[] = {0, 0, 0, 1, 0, 0, 1, 1, 1, 0};
        EXPECT_TRUE(std::equal(std::begin(flags), std::end(flags), std::begin(want)));
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(t.validscope[i], QStringLiteral("<none>"));
        EXPECT_TRUE(t.validscope[10].isEmpty());
    }
    for (int k = 14; k < Language::kSlots; ++k)
        EXPECT_EQ(l.tokensets[k], Tokenset()) << k;
    EXPECT_EQ(l.tokensetCount(), 14);

    // Blank and blank-only lines are skipped; the rest are kept as read.
    EXPECT_TRUE(r.idsRead);
    EXPECT_EQ(r.ids, QStringList({"keywords", "  text  ", "strings", "scope", "last"}));
}

TEST(LanguageTemplate, MissingListFilesLeaveTheirListsEmpty)
{
    TempFolder folder;
    folder.write(QStringLiteral("Operatorlist.txt"), "+");
    QDir(folder.path()).mkdir(QStringLiteral("Hyperlinklist.txt"));
    Database db;
    db.languages.resize(1);
    QStringList traced;
    Trace::setSink([&traced](const QString &, const QString &label) { traced << label; });
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, QStringLiteral("x"), folder.path(), QString());
    Trace::setSink({});
    EXPECT_EQ(traced, QStringList{QStringLiteral("LoadSampleData_SingleLanguage")});
    ASSERT_EQ(r.index, 1);
    EXPECT_EQ(db.languages.size(), 2);
    const Language &l = db.languages[1];
    EXPECT_TRUE(l.tokensets[9].tokens.isEmpty());
    EXPECT_EQ(l.tokensets[10].tokens, QStringLiteral("+"));
    EXPECT_TRUE(l.tokensets[12].tokens.isEmpty());
    EXPECT_FALSE(r.idsRead);
    for (const char *name : {"Keywordlist.txt", "Hyperlinklist.txt", "IDList.txt"})
        EXPECT_TRUE(r.message.contains(QLatin1String(name))) << name;
    EXPECT_FALSE(r.message.contains(QLatin1String("Operatorlist.txt")));
    EXPECT_TRUE(r.message.contains(folder.path()));
}

TEST(LanguageTemplate, EmptyListFiles)
{
    TempFolder folder;
    for (const char *name : {"Keywordlist.txt", "Operatorlist.txt", "Hyperlinklist.txt", "IDList.txt"})
        folder.write(QLatin1String(name), QByteArray());
    Database db;
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, QStringLiteral("x"), folder.path(), QString());
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_TRUE(r.idsRead);
    EXPECT_TRUE(r.ids.isEmpty());
    EXPECT_TRUE(db.languages[0].tokensets[9].tokens.isEmpty());
}

TEST(LanguageTemplate, ShippedListFilesAndSampleText)
{
    const QString data = TestUtil::sourcePath(QStringLiteral("data"));
    Database db;
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, QStringLiteral("x"), data,
                                                                   LanguageTemplate::defaultSampleText(data));
    EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
    EXPECT_EQ(r.ids.size(), 31);
    EXPECT_FALSE(db.languages[0].tokensets[9].tokens.isEmpty());
    EXPECT_FALSE(db.languages[0].sampletext.isEmpty());

    TempFolder empty;
    EXPECT_EQ(LanguageTemplate::defaultSampleText(empty.path()), QStringLiteral("<< and if else 12.5 'help'"));
}
