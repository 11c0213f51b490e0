#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/languagetemplate.h"
#include "model/testrecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestUtil::TempFolder;

namespace {

const QString kDat = u"varlex.dat"_s;

QByteArray image(const QVector<Language> &languages)
{
    QByteArray bytes;
    DatabaseFile::encode(languages, bytes);
    return bytes;
}

TestUtil::CliResult cli(const TempFolder &folder, const QStringList &args)
{
    return TestUtil::runCli(QStringList{u"--folder"_s, folder.path()} + args);
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

} // namespace

TEST(CliDatabase, ListAndShow)
{
    TempFolder folder;
    QRandomGenerator rng(3);
    QVector<Language> languages = {TestRecords::randomLanguage(rng), TestRecords::randomLanguage(rng)};
    languages[0].name = u"Caf\u00e9"_s;
    languages[1].name = u"Second"_s;
    languages[0].tokensets[2].name.clear(); // slots after the first free one do not count
    languages[1].tokensets[0].name.clear();
    folder.write(kDat, image(languages));
    auto r = cli(folder, {u"list"_s});
    EXPECT_EQ(r.out, "0\tCaf\xc3\xa9\t2\n1\tSecond\t0\n") << r.err.toStdString();

    const QJsonObject all = QJsonDocument::fromJson(cli(folder, {u"show"_s, u"--json"_s}).out).object();
    r = cli(folder, {u"show"_s, u"--index"_s, u"0"_s, u"--json"_s});
    QJsonObject one = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(one.take(u"schema"_s), 2);
    EXPECT_TRUE(all[u"schema"_s] == 2 && all[u"languages"_s].toArray().size() == 2 && one == all[u"languages"_s][0].toObject())
        << r.err.toStdString();
    EXPECT_EQ(one.keys(), sorted({"index", "name", "casesensitive", "applycase", "wordchars", "whitespaceasparamblock",
                                  "memberlist", "sampletext", "tokensets"}));
    const Language &l = languages[0];
    EXPECT_TRUE(one[u"sampletext"_s] == l.sampletext && one[u"applycase"_s] == (l.applycase != 0));
    // Only the used slots, each with its number.
    const QJsonArray slots = one[u"tokensets"_s].toArray();
    ASSERT_EQ(slots.size(), 2);
    const QJsonObject t = slots[1].toObject();
    EXPECT_EQ(t.keys(), sorted({"slot", "name", "id", "type", "forecolor", "fontstyle", "inheritfrom", "backcolor",
                                "casesensitive", "normalizecase", "matchbraces", "autoindent", "enabled", "included",
                                "hidden", "singlelinescope", "chain", "symmetrical", "tmemberlist", "tokens",
                                "tokens2", "regexp", "rule", "lead", "trail", "validscope"}));
    const Tokenset &k = l.tokensets[1];
    EXPECT_TRUE(t[u"slot"_s] == 1 && t[u"name"_s] == k.name && t[u"hidden"_s] == (k.hidden != 0));
    const QString colour = u"#%1%2%3"_s.arg(k.forecolor & 0xFF, 2, 16, QChar(u'0')).arg((k.forecolor >> 8) & 0xFF, 2, 16, QChar(u'0'))
                               .arg((k.forecolor >> 16) & 0xFF, 2, 16, QChar(u'0')).toUpper();
    EXPECT_EQ(t[u"forecolor"_s], colour);
    EXPECT_EQ(t[u"validscope"_s].toArray().size(), 11);
    EXPECT_EQ(QJsonDocument::fromJson(cli(folder, {u"show"_s, u"--index"_s, u"1"_s}).out)[u"tokensets"_s].toArray().size(), 0);
}

TEST(CliDatabase, SaveGivesDatabasesBackByteForByte)
{
    QRandomGenerator rng(11);
    for (int round = 0; round < 3; ++round) {
        TempFolder folder;
        QVector<Language> languages;
        for (int i = 0, n = 2 + rng.bounded(4); i < n; ++i)
            languages.append(TestRecords::randomLanguage(rng));
        const QByteArray bytes = image(languages);
        folder.write(kDat, bytes);
        const auto r = cli(folder, {u"save"_s});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(folder.read(kDat), bytes);
    }
    TempFolder empty;
    empty.write(kDat, QByteArray());
    EXPECT_EQ(cli(empty, {u"save"_s}).exitCode, 0);
    EXPECT_EQ(empty.read(kDat), QByteArray(4920, '\0'));
}

TEST(CliDatabase, DamagedDatabasesAreReadButNotOverwritten)
{
    Language l;
    l.name = u"kept"_s;
    const QByteArray good = image({l, l});
    for (const QByteArray &bytes : {good.left(good.size() - 10), "\xf0\xff\xff\xff" + good.mid(4),
                                    "\xff\xff\xff\x7f" + good.mid(4)}) {
        TempFolder folder;
        folder.write(kDat, bytes);
        auto r = cli(folder, {u"list"_s});
        EXPECT_TRUE(r.exitCode == 3 && r.out == "0\tkept\t0\n1\tkept\t0\n");
        EXPECT_TRUE(r.err.contains(folder.file(kDat).toUtf8()) && r.err.count('\n') == 1) << r.err.toStdString();
        for (const QStringList &args : {QStringList{u"show"_s}, {u"save"_s}, {u"new"_s, u"x"_s}, {u"xml"_s, u"--index=0"_s},
                                        {u"validate"_s}, {u"export"_s, u"--all"_s}}) {
            r = cli(folder, args);
            EXPECT_TRUE(r.exitCode == 3 && r.err.count('\n') == 1) << r.err.toStdString();
        }
        EXPECT_EQ(folder.read(kDat), bytes);

        EXPECT_EQ(cli(folder, {u"save"_s, u"--repair"_s}).exitCode, 0);
        EXPECT_TRUE(folder.read(u"varlex.dat.damaged"_s) == bytes && folder.read(kDat) == good);
    }
    TempFolder folder;
    QDir(folder.path()).mkdir(kDat);
    for (const QStringList &args : {QStringList{u"list"_s}, {u"show"_s}, {u"save"_s}, {u"new"_s, u"n"_s}}) {
        const auto r = cli(folder, args);
        EXPECT_TRUE(r.exitCode == 3 && r.out.isEmpty() && r.err.contains(folder.file(kDat).toUtf8()));
    }
    EXPECT_EQ(TestUtil::runCli({u"--folder"_s, folder.file(u"missing"_s), u"list"_s}).exitCode, 3);
    EXPECT_FALSE(folder.exists(u"missing"_s));
}

TEST(CliDatabase, NewAppendsATemplateLanguageAndSaves)
{
    TempFolder folder;
    for (const char *name : {"Keywordlist.txt", "Operatorlist.txt", "Hyperlinklist.txt", "IDList.txt", "sample.txt"})
        folder.write(QLatin1String(name), TestUtil::readFile(TestUtil::sourcePath(u"data/"_s + QLatin1String(name))));
    Language first;
    first.name = u"first"_s;
    folder.write(kDat, image({first}));

    auto r = cli(folder, {u"new"_s, u" Mine "_s});
    EXPECT_TRUE(r.exitCode == 0 && r.err.isEmpty()) << r.err.toStdString();
    Language made;
    auto list = [&folder](const char *name) { return QString::fromLatin1(folder.read(QLatin1String(name))); };
    LanguageTemplate::fill(made, u" Mine "_s, list("sample.txt"), list("Keywordlist.txt"), list("Operatorlist.txt"),
                           list("Hyperlinklist.txt"));
    EXPECT_TRUE(DatabaseFile::decode(folder.read(kDat)).languages == QVector<Language>({first, made}));

    // A missing list file: the language is still made, and one line names the file.
    QFile::remove(folder.file(u"Operatorlist.txt"_s));
    r = cli(folder, {u"new"_s, u"second"_s});
    EXPECT_TRUE(r.exitCode == 0 && r.err.contains("\"Operatorlist.txt\" (cannot read: it does not exist)") && r.err.count('\n') == 1)
        << r.err.toStdString();
    // Names that could not name a file are kept as typed; only export refuses them.
    for (const QString &name : {u"../x"_s, u"a/b"_s, QString(300, u'n')})
        EXPECT_EQ(cli(folder, {u"new"_s, name}).exitCode, 0) << name.size();
    const QVector<Language> kept = DatabaseFile::decode(folder.read(kDat)).languages;
    ASSERT_EQ(kept.size(), 6);
    EXPECT_EQ(kept[5].name, QString(300, u'n'));
}
