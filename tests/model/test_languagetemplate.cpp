#include "common/testutil.h"
#include "model/languagetemplate.h"
#include "model/recordfields.h"
#include "model/trace.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using TestUtil::TempFolder;

TEST(LanguageTemplate, SlotBySlot)
{
    TempFolder folder;
    folder.write(u"Keywordlist.txt"_s, "if\r\nelse\r\n");
    folder.write(u"Operatorlist.txt"_s, "+\n-"); // LF line ends become the CR LF of the token list text
    folder.write(u"Hyperlinklist.txt"_s, "http://\\S+\xe9");
    folder.write(u"IDList.txt"_s, "keywords\r\n\r\n   \r\n  text  \r\nstrings\nscope\rlast");
    Database db;
    db.languages.resize(2);
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, u" My Lang "_s, folder.path(), u"sample"_s);
    ASSERT_TRUE(r.index == 2 && db.languages.size() == 3);
    EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
    const Language &l = db.languages[2];
    Language own{u" My Lang "_s, 0, 0, u"[\\w]"_s, 1, u"<none>"_s, u"sample"_s, l.tokensets};
    EXPECT_EQ(l, own);

    const struct {
        QString name, id, type, tokens, tokens2;
        qint32 regexp, forecolor;
    } rows[] = {
        {u"White Space"_s, u"whitespace"_s, u"list"_s, u"\\s+"_s, {}, 0, 0x000000},
        {u"Line Comments"_s, u"linecomments"_s, u"list"_s, u"'"_s, {}, 0, 0x800000},
        {u"Block Comments"_s, u"blockcomments"_s, u"scope"_s, u"/*"_s, u"*/"_s, 0, 0x008000},
        {u"Statement Delimiters"_s, u"statementdelims"_s, u"list"_s, u";"_s, {}, 0, 0x808000},
        {u"Scope Keywords"_s, u"scopekeywords"_s, u"scope"_s, u"{"_s, u"}"_s, 0, 0x000080},
        {u"Parameter Blocks"_s, u"parameterblocks"_s, u"scope"_s, u"("_s, u")"_s, 0, 0x800080},
        {u"Argument Separators"_s, u"argseparators"_s, u"list"_s, u","_s, {}, 0, 0x008080},
        {u"Strings"_s, u"strings"_s, u"scope"_s, u"\"\r\n'"_s, u"\"\r\n'"_s, 0, 0xC0C0C0},
        {u"Escape Sequences"_s, u"escapeseqs"_s, u"list"_s, u"\\\\."_s, {}, 0, 0x808080},
        {u"Keywords"_s, u"keywords"_s, u"list"_s, u"if\r\nelse\r\n"_s, {}, 0, 0xFF0000},
        {u"Operators"_s, u"operators"_s, u"list"_s, u"+\r\n-"_s, {}, 0, 0x00FF00},
        {u"Numbers"_s, u"numbers"_s, u"list"_s, u"-?\\d+(\\.\\d*)?(e-?\\d+)?"_s, {}, 1, 0xFFFF00},
        {u"Hyperlinks"_s, u"hyperlinks"_s, u"list"_s, u"http://\\S+\u00e9"_s, {}, 1, 0x0000FF},
        {u"Text"_s, u"text"_s, u"list"_s, {}, {}, 0, 0xFF00FF},
    };
    EXPECT_EQ(rows[11].tokens.size(), 22);
    for (int k = 0; k < 14; ++k) {
        const auto &w = rows[k];
        Tokenset want{w.name, w.id, w.type, w.forecolor, u"normal"_s, u"<none>"_s, 0xFFFFFF, 0, 0, 0, 1, 0, 0, 1,
                      1, 1, 0, u"<none>"_s, w.tokens, w.tokens2, w.regexp, u"<NULL>"_s, {}, {}, {}};
        want.validscope.fill(u"<none>"_s);
        want.validscope[10].clear();
        EXPECT_EQ(l.tokensets[k], want) << k;
    }
    for (int k = 14; k < Language::kSlots; ++k)
        EXPECT_EQ(l.tokensets[k], Tokenset()) << k;

    // Blank and blank-only lines are skipped; the rest are kept as read.
    EXPECT_TRUE(r.idsRead);
    EXPECT_EQ(r.ids, QStringList({u"keywords"_s, u"  text  "_s, u"strings"_s, u"scope"_s, u"last"_s}));
}

TEST(LanguageTemplate, UnreadableListFilesLeaveTheirListsEmpty)
{
    TempFolder folder;
    folder.write(u"Operatorlist.txt"_s, "+\r\n\f");
    folder.write(u"IDList.txt"_s, "");
    QDir(folder.path()).mkdir(u"Hyperlinklist.txt"_s);
    Database db;
    QStringList traced;
    Trace::setSink([&traced](const QString &, const QString &label) { traced << label; });
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, u"x"_s, folder.path(), QString());
    Trace::setSink({});
    EXPECT_EQ(traced, QStringList{u"LoadSampleData_SingleLanguage"_s});
    ASSERT_EQ(db.languages.size(), 1);
    const auto &slots = db.languages[0].tokensets;
    EXPECT_TRUE(slots[9].tokens.isEmpty() && slots[10].tokens.isEmpty() && slots[12].tokens.isEmpty());
    EXPECT_TRUE(r.idsRead && r.ids.isEmpty());
    EXPECT_EQ(r.message, u"The new language was made, but these list files in \"%1\" could not be read, so their "
                         "lists are empty: \"Keywordlist.txt\" (cannot read: it does not exist), \"Operatorlist.txt\" (it "
                         "holds U+000C (FF), which a language file cannot hold), \"Hyperlinklist.txt\" (not a regular file: "
                         "folders, pipes and devices are not read)."_s
                             .arg(folder.path()));

    // What never ends or cannot fit a token list is refused before it is read whole: a FIFO (a
    // reader would wait for ever), /dev/zero, a file of 65536 bytes.
    TempFolder hostile;
    for (const char *fifo : {"Keywordlist.txt", "IDList.txt", "sample.txt"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(hostile.file(QLatin1String(fifo))).constData(), 0600), 0);
    QFile::link(u"/dev/zero"_s, hostile.file(u"Operatorlist.txt"_s));
    hostile.write(u"Hyperlinklist.txt"_s, QByteArray(65536, 'h'));
    const auto refused = LanguageTemplate::LoadSampleData_SingleLanguage(db, u"x"_s, hostile.path(), QString());
    EXPECT_FALSE(refused.idsRead);
    const QString special = u"not a regular file: folders, pipes and devices are not read"_s;
    EXPECT_TRUE(refused.message.endsWith(u"\"Keywordlist.txt\" (%1), \"Operatorlist.txt\" (%1), \"Hyperlinklist.txt\" "
                                         "(longer than 65535 bytes, more than it can use), \"IDList.txt\" (%1)."_s.arg(special)))
        << refused.message.toStdString();
    EXPECT_EQ(LanguageTemplate::defaultSampleText(hostile.path()), u"<< and if else 12.5 'help'"_s);
}

TEST(LanguageTemplate, ShippedListFilesAndSampleText)
{
    const QString data = TestUtil::sourcePath(u"data"_s);
    Database db;
    const auto r = LanguageTemplate::LoadSampleData_SingleLanguage(db, u"x"_s, data,
                                                                   LanguageTemplate::defaultSampleText(data));
    EXPECT_TRUE(r.message.isEmpty() && r.ids.size() == 31) << r.message.toStdString();
    EXPECT_EQ(db.languages[0].sampletext, QString::fromLatin1(TestUtil::readFile(data + u"/sample.txt"_s)));
    EXPECT_EQ(LanguageTemplate::defaultSampleText(TestUtil::TempFolder().path()), u"<< and if else 12.5 'help'"_s);
    const QString what = u"language name"_s;
    EXPECT_EQ(RecordFields::nameProblem(u"Caf\u00e9 \tTab"_s, what), QString());
    EXPECT_EQ(RecordFields::nameProblem(u"Form\ffeed"_s, what), u"The language name holds the control character U+000C (FF) "
                                                                  "at position 5, which a language file cannot hold."_s);
}
