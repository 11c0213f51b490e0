#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// The starter definitions of data/languages: each loads, and colours the sample text shipped with it
// the way a user of that language expects.

namespace {

const QStringList kStarterFiles = {QStringLiteral("c"),     QStringLiteral("cpp"),        QStringLiteral("python"),
                                   QStringLiteral("javascript"), QStringLiteral("sql"), QStringLiteral("html"),
                                   QStringLiteral("xml"),   QStringLiteral("shell"),      QStringLiteral("ini")};

QString languagePath(const QString &base, const char *extension)
{
    return TestUtil::sourcePath(QStringLiteral("data/languages/%1.%2").arg(base, QLatin1String(extension)));
}

struct Coloured {
    CompiledLanguagePtr language;
    QString text;
    QVector<StyleRun> runs;
};

// Loads a starter definition (failing the test when it does not load) and colours a text with it.
Coloured colour(const QString &base, const QString &text)
{
    LanguageDefinition definition;
    DefinitionError error;
    EXPECT_TRUE(DefinitionReader::readFile(languagePath(base, "lng"), definition, error)) << error.toString().toStdString();
    Coloured c{CompiledLanguage::compile(definition), text, {}};
    c.runs = Highlighter(c.language).highlightText(c.text, true);
    return c;
}

// The sample text shipped with a starter definition, coloured by it; each is coloured once.
const Coloured &colouredSample(const QString &base)
{
    static QHash<QString, Coloured> cache;
    if (!cache.contains(base))
        cache.insert(base, colour(base, QString::fromLatin1(TestUtil::readFile(languagePath(base, "txt")))));
    return cache[base];
}

// Name of the tokenset that colours every character of [start, start + length), "" for the pane's
// default, or a list of all tokensets involved when they differ. Blanks between words do not count.
QString tokensetOver(const Coloured &c, qsizetype start, qsizetype length)
{
    QStringList names;
    for (const StyleRun &run : c.runs) {
        if (run.start + run.length <= start || run.start >= start + length)
            continue;
        const QString name = run.tokenset < 0 ? QString() : c.language->tokensetName(run.tokenset);
        if (!names.contains(name))
            names << name;
    }
    if (names.size() > 1)
        names.removeAll(QStringLiteral("Whitespace"));
    return names.size() == 1 ? names.first() : QStringLiteral("mixed: ") + names.join(QStringLiteral(", "));
}

TEST(StarterLanguages, EveryDefinitionLoadsWithoutProblemsAndHasASample)
{
    const QStringList onDisk = QDir(TestUtil::sourcePath(QStringLiteral("data/languages")))
                                   .entryList({QStringLiteral("*.lng")}, QDir::Files);
    EXPECT_EQ(onDisk.size(), kStarterFiles.size()) << onDisk.join(QLatin1Char(' ')).toStdString();
    for (const QString &base : kStarterFiles) {
        SCOPED_TRACE(base.toStdString());
        const Coloured &c = colouredSample(base);
        ASSERT_TRUE(c.language);
        EXPECT_EQ(c.language->problems(), QStringList());
        EXPECT_GT(c.language->tokensetCount(), 5);
        EXPECT_GT(c.text.size(), 200);
    }
}

// The files are sources of the program's own writer form: ANSI, CR LF line ends, no declaration.
TEST(StarterLanguages, FilesHaveTheWritersShape)
{
    for (const QString &base : kStarterFiles) {
        SCOPED_TRACE(base.toStdString());
        const QByteArray bytes = TestUtil::readFile(languagePath(base, "lng"));
        EXPECT_TRUE(bytes.startsWith("<language name=\""));
        EXPECT_TRUE(bytes.endsWith("\r\n</language>\r\n"));
        EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << "every line ends in CR LF";
        const QByteArray sample = TestUtil::readFile(languagePath(base, "txt"));
        EXPECT_EQ(sample.count("\r\n"), sample.count('\n'));
        for (char ch : bytes + sample)
            EXPECT_TRUE(uchar(ch) < 0x80) << "plain ASCII keeps every code page happy";
    }
}

struct Expectation {
    const char *language;
    const char *context; // text found in the sample
    const char *part;    // the part of it checked (nullptr: all of it)
    const char *tokenset; // "" for plain text
};

// Per language: its comments, keywords, strings and numbers, and what sets it apart.
const Expectation kExpectations[] = {
    {"c", "/* wordcount.c - counts", nullptr, "Block Comments"},
    {"c", "#include <stdio.h>", nullptr, "Preprocessor"},
    {"c", "return", nullptr, "Keywords"},
    {"c", "unsigned long", "long", "Types"},
    {"c", "\"%lu words\\n\"", " words", "Strings"},
    {"c", "\"%lu words\\n\"", "\\n", "Escape Sequences"},
    {"c", "0.5e-3", nullptr, "Numbers"},
    {"cpp", "namespace shop {", "namespace", "Keywords"},
    {"cpp", "// namespace shop", nullptr, "Line Comments"},
    {"cpp", "R\"(pears \"Williams\")\"", nullptr, "Raw Strings"},
    {"cpp", "1'000", nullptr, "Numbers"},
    {"cpp", "\"Total: \"", nullptr, "Strings"},
    {"python", "\"\"\"Print the most frequent", nullptr, "Long Strings"},
    {"python", "def run", "def", "Keywords"},
    {"python", "@dataclass", nullptr, "Decorators"},
    {"python", "\"utf-8\"", nullptr, "Strings"},
    {"python", "# a raw string: no escapes", nullptr, "Comments"},
    {"python", "0.75", nullptr, "Numbers"},
    {"javascript", "async function", "async", "Keywords"},
    {"javascript", "/**\r\n * Fetch", nullptr, "Block Comments"},
    {"javascript", "'https://example.org/api/users'", nullptr, "Strings"},
    {"javascript", "?limit=", nullptr, "Template Strings"},
    {"javascript", "${limit * 2}", "2", "Numbers"},
    {"sql", "-- Monthly revenue", nullptr, "Line Comments"},
    {"sql", "SELECT", nullptr, "Keywords"},
    {"sql", "VARCHAR", nullptr, "Data Types"},
    {"sql", "'cancelled'", nullptr, "Strings"},
    {"sql", "'O''Brien'", "''", "Escape Sequences"},
    {"sql", "1.5e2", nullptr, "Numbers"},
    {"html", "<!DOCTYPE html>", nullptr, "Declarations"},
    {"html", "<!-- Styles live", nullptr, "Comments"},
    {"html", "<title>", "title", "Element Names"},
    {"html", "charset", nullptr, "Attribute Names"},
    {"html", "\"utf-8\"", nullptr, "Attribute Values"},
    {"html", "&amp;", nullptr, "Entities"},
    {"xml", "<?xml", "<?", "Processing Instructions"},
    {"xml", "<![CDATA[Use <b>bold</b>", nullptr, "CDATA"},
    {"xml", "<catalog", "catalog", "Element Names"},
    {"xml", "&#x2013;", nullptr, "Entities"},
    {"xml", "<!-- A small book", nullptr, "Comments"},
    {"xml", "29.90", nullptr, ""},
    {"shell", "# backup.sh", nullptr, "Comments"},
    {"shell", "then", nullptr, "Keywords"},
    {"shell", "'%s: %s\\n'", nullptr, "Single-Quoted Strings"},
    {"shell", "\"$SOURCE\"", "$SOURCE", "Variables"},
    {"shell", "$(date)", nullptr, "Command Substitution"},
    {"shell", "KEEP=7", "7", "Numbers"},
    {"ini", "; Settings of the sample", nullptr, "Comments"},
    {"ini", "[General]", nullptr, "Section Headings"},
    {"ini", "Timeout", nullptr, "Keys"},
    {"ini", "= 30", "30", "Numbers"},
    {"ini", "= Sample Application", "Sample Application", "Values"},
    {"ini", "\"C:\\Program Files\\Sample\\logo.png\"", nullptr, "Quoted Values"},
};

TEST(StarterLanguages, SamplesAreColouredAsTheirLanguage)
{
    for (const Expectation &e : kExpectations) {
        const QString base = QString::fromLatin1(e.language);
        const QString context = QString::fromLatin1(e.context);
        const QString part = e.part ? QString::fromLatin1(e.part) : context;
        SCOPED_TRACE((base + QStringLiteral(": ") + context + QStringLiteral(" / ") + part).toStdString());
        const Coloured &c = colouredSample(base);
        const qsizetype at = c.text.indexOf(context);
        ASSERT_GE(at, 0) << "the sample holds the text";
        const qsizetype partAt = context.indexOf(part);
        ASSERT_GE(partAt, 0);
        EXPECT_EQ(tokensetOver(c, at + partAt, part.size()).toStdString(), std::string(e.tokenset));
    }
}

// A keyword inside a comment or string is not a keyword, and a keyword only counts as a whole word.
TEST(StarterLanguages, KeywordsCountOnlyAsWholeWordsInCode)
{
    struct Case {
        const char *language;
        const char *text;
        const char *part;
        const char *tokenset;
    };
    const Case cases[] = {
        {"c", "int x; /* int */", "int */", "Block Comments"},
        {"c", "s = \"while\";", "while", "Strings"},
        {"c", "interval = 1;", "interval", ""},
        {"python", "classes = 'class'", "classes", ""},
        {"python", "x = 'if' # if", "# if", "Comments"},
        {"sql", "select Name from t", "select", "Keywords"},
        {"shell", "my-echo hi", "echo", ""},
        {"javascript", "$if = 1", "if", ""},
        {"ini", "[a]\r\nkey = x ; not a comment", "; not a comment", "Values"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(std::string(k.language) + ": " + k.text);
        const Coloured c = colour(QString::fromLatin1(k.language), QString::fromLatin1(k.text));
        ASSERT_TRUE(c.language);
        const qsizetype at = c.text.lastIndexOf(QString::fromLatin1(k.part));
        ASSERT_GE(at, 0);
        EXPECT_EQ(tokensetOver(c, at, qsizetype(qstrlen(k.part))).toStdString(), std::string(k.tokenset));
    }
}

// Scopes that a sample opens are closed again, so nothing leaks into the next line of a user's text.
TEST(StarterLanguages, SamplesEndAtTheOutermostLevel)
{
    for (const QString &base : kStarterFiles) {
        SCOPED_TRACE(base.toStdString());
        const Coloured &c = colouredSample(base);
        Highlighter highlighter(c.language);
        ScopeState state;
        QVector<StyleRun> runs;
        for (const QString &line : c.text.split(QStringLiteral("\r\n")))
            state = highlighter.highlightLine(line, state, runs);
        EXPECT_TRUE(state.isOutermost()) << "open scopes at the end: " << state.depth();
    }
}

} // namespace
