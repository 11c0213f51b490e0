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

// Loads a starter definition and colours its sample text; fails the test when the definition does not
// load.
const Coloured &colouredSample(const QString &base)
{
    static QHash<QString, Coloured> cache;
    auto it = cache.find(base);
    if (it != cache.end())
        return *it;
    Coloured c;
    LanguageDefinition definition;
    DefinitionError error;
    const bool loaded = DefinitionReader::readFile(languagePath(base, "lng"), definition, error);
    EXPECT_TRUE(loaded) << error.toString().toStdString();
    c.language = CompiledLanguage::compile(definition);
    c.text = QString::fromLatin1(TestUtil::readFile(languagePath(base, "txt")));
    Highlighter highlighter(c.language);
    c.runs = highlighter.highlightText(c.text, true);
    return *cache.insert(base, c);
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
    QStringList names;
    for (const QString &base : kStarterFiles) {
        SCOPED_TRACE(base.toStdString());
        const Coloured &c = colouredSample(base);
        ASSERT_TRUE(c.language);
        EXPECT_EQ(c.language->problems(), QStringList());
        EXPECT_GT(c.language->tokensetCount(), 5);
        EXPECT_GT(c.text.size(), 200);
        names << c.language->definition().name;
    }
    EXPECT_EQ(names, QStringList({"C", "C++", "Python", "JavaScript", "SQL", "HTML", "XML", "Shell", "INI"}));
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

const Expectation kExpectations[] = {
    // C: comments, directives, keywords and types, strings with escapes and formats, numbers, links
    {"c", "/* wordcount.c - counts", nullptr, "Block Comments"},
    {"c", "// unused, shows a number", nullptr, "Line Comments"},
    {"c", "#include <stdio.h>", nullptr, "Preprocessor"},
    {"c", "#define", nullptr, "Preprocessor"},
    {"c", "return", nullptr, "Keywords"},
    {"c", "unsigned long", "long", "Types"},
    {"c", "\"%lu words\\n\"", "%lu", "Format Specifiers"},
    {"c", "\"%lu words\\n\"", " words", "Strings"},
    {"c", "\"%lu words\\n\"", "\\n", "Escape Sequences"},
    {"c", "'\\t'", "\\t", "Escape Sequences"},
    {"c", "0.5e-3", nullptr, "Numbers"},
    {"c", "0UL", nullptr, "Numbers"},
    {"c", "!=", nullptr, "Operators"},
    {"c", "https://en.cppreference.com/w/c", nullptr, "Hyperlinks"},
    {"c", "printf", nullptr, "Scope Keywords"}, // "int" inside a word is no type
    {"c", "MAX_LINE 1024", "MAX_LINE", ""},
    // C++
    {"cpp", "namespace shop {", "namespace", "Keywords"},
    {"cpp", "// namespace shop", nullptr, "Line Comments"},
    {"cpp", "R\"(pears \"Williams\")\"", nullptr, "Raw Strings"},
    {"cpp", "1'000", nullptr, "Numbers"},
    {"cpp", "0x2A", nullptr, "Numbers"},
    {"cpp", "noexcept", nullptr, "Keywords"},
    {"cpp", "\"Total: \"", nullptr, "Strings"},
    {"cpp", "#include <map>", nullptr, "Preprocessor"},
    // Python
    {"python", "\"\"\"Print the most frequent", nullptr, "Long Strings"},
    {"python", "https://docs.python.org/3/library/collections.html", nullptr, "Hyperlinks"},
    {"python", "def run", "def", "Keywords"},
    {"python", "@dataclass", nullptr, "Decorators"},
    {"python", "print(", "print", "Builtins"},
    {"python", "\"utf-8\"", nullptr, "Strings"},
    {"python", "\\t{count", "\\t", "Escape Sequences"},
    {"python", "r\"\\w+\"", nullptr, "Raw Strings"},
    {"python", "# a raw string: no escapes", nullptr, "Comments"},
    {"python", "0.75", nullptr, "Numbers"},
    {"python", "1e-3", nullptr, "Numbers"},
    {"python", "0x1F", nullptr, "Numbers"},
    {"python", "None", nullptr, "Keywords"},
    // JavaScript
    {"javascript", "async function", "async", "Keywords"},
    {"javascript", "/**\r\n * Fetch", nullptr, "Block Comments"},
    {"javascript", "// Render the names", nullptr, "Line Comments"},
    {"javascript", "'https://example.org/api/users'", nullptr, "Strings"},
    {"javascript", "${API}", nullptr, "Substitutions"},
    {"javascript", "?limit=", nullptr, "Template Strings"},
    {"javascript", "${limit * 2}", "2", "Numbers"},
    {"javascript", "\\\"\" + response", "\\\"", "Escape Sequences"},
    {"javascript", "null", nullptr, "Constants"},
    {"javascript", "25", nullptr, "Numbers"},
    {"javascript", "=>", nullptr, "Operators"},
    // SQL: keywords in any letter case, doubled quotes inside strings
    {"sql", "-- Monthly revenue", nullptr, "Line Comments"},
    {"sql", "/* The report skips", nullptr, "Block Comments"},
    {"sql", "SELECT", nullptr, "Keywords"},
    {"sql", "VARCHAR", nullptr, "Data Types"},
    {"sql", "COUNT", nullptr, "Functions"},
    {"sql", "'cancelled'", nullptr, "Strings"},
    {"sql", "'O''Brien'", "''", "Escape Sequences"},
    {"sql", "'O''Brien'", "Brien'", "Strings"},
    {"sql", "\"Month\"", nullptr, "Quoted Identifiers"},
    {"sql", "1.5e2", nullptr, "Numbers"},
    {"sql", "<>", nullptr, "Operators"},
    {"sql", "revenue DESC", "revenue", ""},
    // HTML
    {"html", "<!DOCTYPE html>", nullptr, "Declarations"},
    {"html", "<!-- Styles live", nullptr, "Comments"},
    {"html", "<title>", "title", "Element Names"},
    {"html", "</title>", "</", "Tags"},
    {"html", "charset", nullptr, "Attribute Names"},
    {"html", "\"utf-8\"", nullptr, "Attribute Values"},
    {"html", "&amp;", nullptr, "Entities"},
    {"html", "&#169;", nullptr, "Entities"},
    {"html", "https://www.example.org/guide", nullptr, "Hyperlinks"},
    {"html", "Read the guide", nullptr, ""},
    // XML
    {"xml", "<?xml", "<?", "Processing Instructions"},
    {"xml", "<![CDATA[Use <b>bold</b>", nullptr, "CDATA"},
    {"xml", "xlink:href", nullptr, "Attribute Names"},
    {"xml", "<catalog", "catalog", "Element Names"},
    {"xml", "&#x2013;", nullptr, "Entities"},
    {"xml", "<!-- A small book", nullptr, "Comments"},
    {"xml", "29.90", nullptr, ""},
    // Shell
    {"shell", "# backup.sh", nullptr, "Comments"},
    {"shell", "then", nullptr, "Keywords"},
    {"shell", "printf", nullptr, "Builtins"},
    {"shell", "'%s: %s\\n'", nullptr, "Single-Quoted Strings"},
    {"shell", "\"$SOURCE\"", "$SOURCE", "Variables"},
    {"shell", "\\\"$SOURCE\\\"", "\\\"", "Escape Sequences"},
    {"shell", "$((count + 1))", "$((", "Arithmetic"},
    {"shell", "$(date)", nullptr, "Command Substitution"},
    {"shell", "KEEP=7", "7", "Numbers"},
    {"shell", "$'Done.\\tKept'", "\\t", "Escape Sequences"},
    {"shell", "-maxdepth", nullptr, ""},
    // INI
    {"ini", "; Settings of the sample", nullptr, "Comments"},
    {"ini", "# Unix-style", nullptr, "Comments"},
    {"ini", "[General]", nullptr, "Section Headings"},
    {"ini", "Timeout", nullptr, "Keys"},
    {"ini", "= 30", "30", "Numbers"},
    {"ini", "= false", "false", "Constants"},
    {"ini", "= Sample Application", "Sample Application", "Values"},
    {"ini", "%APPDATA%", nullptr, "Environment Variables"},
    {"ini", "\"C:\\Program Files\\Sample\\logo.png\"", nullptr, "Quoted Values"},
    {"ini", "http://proxy.example.org:8080", nullptr, "Hyperlinks"},
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
        {"c", "x = y2;", "2", ""},
        {"python", "classes = 'class'", "classes", ""},
        {"python", "x = 'if' # if", "# if", "Comments"},
        {"sql", "select Name from t", "select", "Keywords"},
        {"sql", "SeLeCt 1", "SeLeCt", "Keywords"},
        {"shell", "my-echo hi", "echo", ""},
        {"javascript", "$if = 1", "if", ""},
        {"ini", "[a]\r\nkey = x ; not a comment", "; not a comment", "Values"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(std::string(k.language) + ": " + k.text);
        Coloured c;
        LanguageDefinition definition;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(languagePath(QString::fromLatin1(k.language), "lng"), definition, error));
        c.language = CompiledLanguage::compile(definition);
        c.text = QString::fromLatin1(k.text);
        c.runs = Highlighter(c.language).highlightText(c.text, true);
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
