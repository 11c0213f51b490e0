#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"

#include <QDir>

#include <algorithm>

#include <gtest/gtest.h>

// The starter definitions of data/languages: each loads cleanly, and colours the constructs of its
// language as a reader of that language expects, the ones that real files are full of among them.
// (scripts/fidelity.py measures whole files; tests/reference keeps the colouring of each sample.)

namespace {

const QStringList kStarterFiles = {"c",      "cpp",      "python", "javascript", "sql",  "html",     "xml",
                                   "shell",  "ini",      "cmake",  "csharp",     "css",  "diff",     "dockerfile", "go",
                                   "java",   "json",     "lua",    "makefile",   "markdown", "pascal", "perl", "php", "r",
                                   "ruby",   "rust",     "tcl",    "toml",       "typescript", "yaml"};

QString languagePath(const QString &base, const char *extension)
{
    return TestUtil::sourcePath(QStringLiteral("data/languages/%1.%2").arg(base, QLatin1String(extension)));
}

struct Coloured {
    CompiledLanguagePtr language;
    QVector<StyleRun> runs;
    ScopeState end; // the scopes still open after the last line
};

Coloured colour(const QString &base, const QString &text)
{
    LanguageDefinition definition;
    DefinitionError error;
    EXPECT_TRUE(DefinitionReader::readFile(languagePath(base, "lng"), definition, error))
        << error.toString().toStdString();
    Coloured c{CompiledLanguage::compile(definition), {}, {}};
    Highlighter highlighter(c.language);
    qsizetype offset = 0;
    for (const QString &line : text.split(u'\n')) {
        QVector<StyleRun> runs;
        c.end = highlighter.highlightLine(line, c.end, runs);
        for (StyleRun run : runs) {
            run.start += offset;
            c.runs << run;
        }
        offset += line.size() + 1;
    }
    return c;
}

// Name of the tokenset that colours the characters of [start, start + length) that are not blanks,
// "" for plain text, or "mixed: " and all of them when they differ.
QString tokensetOver(const Coloured &c, const QString &text, qsizetype start, qsizetype length)
{
    QStringList names;
    for (qsizetype i = start; i < start + length; ++i) {
        if (text[i].isSpace())
            continue;
        QString name;
        for (const StyleRun &run : c.runs)
            if (run.start <= i && i < run.start + run.length && run.tokenset >= 0)
                name = c.language->tokensetName(run.tokenset);
        if (!names.contains(name))
            names << name;
    }
    return names.size() == 1 ? names.first() : QStringLiteral("mixed: ") + names.join(QStringLiteral(", "));
}

// Sources of the program's own writer form (ANSI, CR LF line ends, no declaration), free of problems,
// each with a sample that leaves no scope open.
TEST(StarterLanguages, EveryDefinitionLoadsInTheWritersFormWithASample)
{
    const QStringList onDisk = QDir(TestUtil::sourcePath(QStringLiteral("data/languages")))
                                   .entryList({QStringLiteral("*.lng")}, QDir::Files);
    EXPECT_EQ(onDisk.size(), kStarterFiles.size()) << onDisk.join(QLatin1Char(' ')).toStdString();
    for (const QString &base : kStarterFiles) {
        SCOPED_TRACE(base.toStdString());
        const QByteArray bytes = TestUtil::readFile(languagePath(base, "lng"));
        const QByteArray sample = TestUtil::readFile(languagePath(base, "txt"));
        EXPECT_TRUE(bytes.startsWith("<language name=\"") && bytes.endsWith("\r\n</language>\r\n"));
        for (const QByteArray &file : {bytes, sample}) {
            EXPECT_EQ(file.count("\r\n"), file.count('\n')) << "every line ends in CR LF";
            EXPECT_TRUE(std::all_of(file.begin(), file.end(), [](char ch) { return uchar(ch) < 0x80; }));
        }
        const Coloured c = colour(base, QString::fromLatin1(sample).remove(u'\r'));
        ASSERT_TRUE(c.language);
        EXPECT_EQ(c.language->problems(), QStringList());
        EXPECT_TRUE(c.end.isOutermost()) << "open scopes at the end: " << c.end.depth();
    }
}

// Per language, texts and the tokenset that colours a part of each (its first occurrence in the text).
struct Case {
    const char *language;
    const char *text;
    std::vector<std::pair<const char *, const char *>> parts; // part, tokenset ("" for plain text)
};

const Case kCases[] = {
    {"c", "x = 1; /* int */ s = \"while\"; interval = 2;",
     {{"int", "Block Comments"}, {"while", "Strings"}, {"interval", ""}}},
    {"c", "printf(\"%lu\\n\", 0x1.8p3 + 0x1p-2f + 10UL);",
     {{"%lu", "Format Specifiers"}, {"0x1.8p3", "Numbers"}, {"0x1p-2f", "Numbers"}, {"10UL", "Numbers"}}},
    {"c", "#include <stdio.h>\n#error \"no\" 1 // why",
     {{"<stdio.h>", "Preprocessor"}, {"\"no\" 1", "Preprocessor"}, {"// why", "Line Comments"}}},
    {"c", "#define N (sizeof(int) * 0x10) /* c */",
     {{"N", "Macro Definitions"}, {"sizeof", "Keywords"}, {"0x10", "Numbers"}, {"/* c */", "Block Comments"}}},
    {"c", "#define M(a) \\\n  ((a) + 1)\n#if A \\\n || B\nint x;",
     {{"((a) + 1)", "Continued Preprocessor"}, {"int", "Types"}}},
    {"cpp", "auto s = R\"x(a\"b)x\"; f(R\"(a\"b)\");",
     {{"R\"x(a\"b)x\"", "Raw Strings"}, {"f", ""}, {"R\"(a\"b)\"", "Raw Strings"}}},
    {"cpp", "std::size_t n = 1'000; size_type m;",
     {{"std::size_t", "Library Names"}, {"size_type", "Library Names"}, {"1'000", "Numbers"}}},
    {"python", "classes = 'class' # if", {{"classes", ""}, {"# if", "Comments"}}},
    {"python", "x = r'a\\'b' + 1", {{"b'", "Raw Strings"}, {"1", "Numbers"}}},
    {"python", "x = '\\n' + \"\"\"doc\"\"\"", {{"\\n", "Escape Sequences"}, {"\"\"\"doc\"\"\"", "Long Strings"}}},
    {"python", "@dataclass\nraise FileNotFoundError(None)",
     {{"@dataclass", "Decorators"}, {"FileNotFoundError", "Builtins"}}},
    {"javascript", "if (/[\")]/.test(s)) n = 1;", {{"/[\")]/", "Regular Expressions"}, {"1", "Numbers"}}},
    {"javascript", "r = a / b / c; return /x+/g;", {{"b", ""}, {"/x+/g", "Regular Expressions"}}},
    {"javascript", "t = `a ${b ? `c` : d} e`; n = 2;", {{"d", "Substitutions"}, {"2", "Numbers"}}},
    {"javascript", "$if = setTimeout(f, 10);", {{"if", ""}, {"setTimeout", "Globals"}}},
    {"sql", "select Name from t where ok = TRUE for update", {{"select", "Keywords"}, {"TRUE", "Keywords"}}},
    {"sql", "create table t (a int4, b bytea, c varchar(9))", {{"bytea", "Data Types"}}},
    {"sql", "AS $$ SELECT 'O''Brien' $$ LANGUAGE sql;", {{"SELECT", "Dollar-Quoted Strings"}, {"LANGUAGE", "Keywords"}}},
    {"html", "<p class=note id=\"a\">a &amp; b</p>",
     {{"note", "Unquoted Attribute Values"}, {"id", "Attribute Names"}, {"&amp;", "Entities"}}},
    {"html", "<script>var s = \"</p>\"; // c\n</script><b>", {{"</p>", "Attribute Values"}, {"b", "Element Names"}}},
    {"html", "<?xml version=\"1.0\"?>", {{"<?", "Processing Instructions"}}},
    {"html", "<style>a { color: red; margin: 3em }</style>", {{"color", "Style Properties"}, {"3em", "Style Numbers"}}},
    {"xml", "<a b=\"c\"><![CDATA[<b>]]></a>", {{"<b>", "CDATA"}, {"b", "Attribute Names"}}},
    {"shell", "my-echo hi; a#b # c", {{"echo", ""}, {"a#b", ""}, {"# c", "Comments"}}},
    {"shell", "echo \"$(printf \"%s\" x) done\"; ls", {{" done", "Double-Quoted Strings"}, {"ls", ""}}},
    {"shell", "echo \"${P#\"${X}:\"}\"; ls", {{"ls", ""}}},
    {"shell", "cat <<EOF\nit's $HOME\nEOF\necho",
     {{"it's", "Here Documents"}, {"$HOME", "Variables"}, {"echo", "Builtins"}}},
    {"shell", "cat <<'EOF'\n$HOME\nEOF\necho", {{"$HOME", "Quoted Here Documents"}, {"echo", "Builtins"}}},
    {"shell", "cat <<MARK\nit's\nfine\necho $(( 1 << x ))", {{"echo", "Builtins"}, {"x", "Arithmetic"}}},
    {"ini", "[General]\nkey = x ; no comment\n; comment",
     {{"[General]", "Section Headings"}, {"; no comment", "Value Text"}, {"; comment", "Comments"}}},
    {"ini", "key=30\nDoc = man:x(8)\nOn = yes",
     {{"=", "Values"}, {"30", "Numbers"}, {"8", "Value Text"}, {"yes", "Constants"}}},
    {"cmake", "#[==[ doc ]==]\nif(ON)\n  set(X \"${Y}\\n\" [=[raw]=] $ENV{HOME} CMAKE_BUILD_TYPE)\nmy_func(a)\nproject(P VERSION 1.2)",
     {{"doc", "Bracket Comments"}, {"if", "Control Flow"}, {"ON", "Constants"}, {"set", "Commands"}, {"Y", "Variable References"},
      {"\\n", "Escape Sequences"}, {"[=[raw]=]", "Bracket Arguments"}, {"CMAKE_BUILD_TYPE", "Builtin Variables"},
      {"my_func", ""}, {"1.2", "Versions"}}},
    {"css", "a:hover span { color: red; margin:0 -1.5em }",
     {{"a", ""}, {":hover", "Pseudo-Classes"}, {"color:", "Declarations"}, {"red", "Colour Names"}, {"-1.5em", "Numbers"}}},
    {"css", "#main { --gap: #fff; background: url(a.png) !important }\n@media (max-width: 9px) {}",
     {{"#main", "ID Selectors"}, {"--gap:", "Custom Properties"}, {"#fff", "Colours"}, {"a.png", "URLs"},
      {"@media", "At-Rules"}, {"max-width", "Media Features"}}},
    {"diff", "--- a/x\n+++ b/x\n@@ -1 +1 @@\n-old\n+new\n ctx\n---\n> more",
     {{"--- a/x", "File Names"}, {"@@ -1 +1 @@", "Hunk Headers"}, {"-old", "Removed Lines"}, {"+new", "Added Lines"},
      {"ctx", ""}, {"> more", "Added Lines"}}},
    {"lua", "--[==[ c ]==] local M = {} s = [[long]] .. \"\\n\" t = { __index = M, _VERSION } -- x",
     {{"c ", "Block Comments"}, {"local", "Keywords"}, {"M", "Constants"}, {"[[long]]", "Long Strings"},
      {"\\n", "Escape Sequences"}, {"__index", "Metamethods"}, {"_VERSION", "Constants"}, {"-- x", "Line Comments"}}},
    {"makefile", "CC ?= gcc # c\nX = a \\\n  b\nall: x.o\n\t@$(CC) -o $@ $(wildcard *.c,y) \"q\"",
     {{"CC", "Variable Names"}, {"# c", "Values"}, {"  b", "Continued Values"}, {"all:", "Rules"}, {"@", "Automatic Variables"},
      {"wildcard", "Reference Names"}, {"$@", "Automatic Variables"}, {"\"q\"", "Strings"}}},
    {"go", "s := \"b\\t\" + `a\\n`; x := len(s) + 0x1F; var ok = nil",
     {{"\\t", "Escape Sequences"}, {"`a\\n`", "Raw Strings"}, {"len", "Builtins"}, {"0x1F", "Numbers"},
      {"nil", "Constants"}}},
    {"ruby", "x = opts[:key] || %w[a b] + \"n #{@v + 1}\\n\" # c\n=begin\ndoc\n=end\nFoo::Bar.new(k: nil, re: /a+b/i)",
     {{":key", "Symbols"}, {"%w[a b]", "Percent Literals"}, {"@v", "Variables"}, {"1", "Numbers"}, {"\\n", "Escape Sequences"},
      {"# c", "Comments"}, {"doc", "Block Comments"}, {"Foo", "Constants"}, {"k:", "Symbols"}, {"nil", "Pseudo-Variables"},
      {"/a+b/i", "Regular Expressions"}}},
    {"rust", "#[derive(Debug)]\nfn f<'a>(x: &'a str) -> Option<u8> { println!(\"{}\", r#\"q\"#); Some(b'x'); std::mem::drop(1_u8) }",
     {{"Debug", "Types"}, {"'a", "Lifetimes"}, {"println!", "Macros"}, {"r#\"q\"#", "Raw Strings #"},
      {"b'x'", "Char Literals"}, {"std::mem::", "Paths"}, {"1_u8", "Numbers"}}},
    {"typescript", "/// <reference lib=\"es2020\" />\nimport { A } from \"a\";\ninterface I { x?: string; p: Partial<A> }",
     {{"<reference", "Directive Names"}, {"import", "Module Keywords"}, {"interface", "Keywords"}, {"string", "Types"},
      {"Partial", "Types"}}},
    {"java", "/** Sum of {@code a} <b>and</b> b.\n * @param a one */\nimport static java.util.Map.of;\n@Override public long f() { return 0x7FL + 'c' + \"\"\"\n  text\"\"\".length(); }\nString s = \"a\\tb\"; List<Integer> x = null;",
     {{"{@code a}", "Doc Inline Tags"}, {"<b", "Doc Markup"}, {"@param", "Doc Tags"}, {"util", "Imports"},
      {"static", "Keywords"}, {"@Override", "Annotations"}, {"long", "Types"}, {"0x7FL", "Numbers"}, {"'c'", "Char Literals"},
      {"text", "Text Blocks"}, {"\\t", "Escape Sequences"}, {"String", "Library Classes"}, {"null", "Constants"}}},
    {"csharp", "#region X\nvar p = @\"C:\\dir \"\"q\"\"\" + $\"{n}\\t\" + 'c' + 1.5m; // c\nget => value ?? null;",
     {{"#region", "Preprocessor"}, {"var", "Types"}, {"@\"C:\\dir ", "Verbatim Strings"}, {"\"\"q\"\"", "mixed: Doubled Quotes, Verbatim Strings"},
      {"\\t", "Escape Sequences"}, {"'c'", "Char Literals"}, {"1.5m", "Numbers"}, {"// c", "Line Comments"}, {"get", "Keywords"},
      {"null", "Constants"}}},
    {"php", "<?php\n/** @return int <a@b.org> */\n#[Attr]\n$x = \"v $name\\n\" . <<<EOT\n  {$a->b}\n  EOT;\nif (X_MAX) throw new LogicException(); # c",
     {{"<?php", "Open Tags"}, {"@return", "Doc Tags"}, {"<a@b.org>", "Doc Addresses"}, {"#", ""}, {"$x", "Variables"},
      {"$name", "Interpolations"}, {"\\n", "Escape Sequences"}, {"<<<EOT", "Heredocs"}, {"if", "Keywords"}, {"X_MAX", "Constants"},
      {"LogicException", "Builtin Classes"}, {"# c", "Hash Comments"}}},
    {"perl", "my @a = qw(x y); my %h; $s =~ s{a}{$1}g; print \"$h{k} $_\\n\" if $x =~ /^b/; $y = '\\'';\n=pod\nDoc\n=cut\nprint <<EOT;\nhere\nEOT\nbar();",
     {{"my", "Keywords"}, {"@a", "Variables"}, {"qw(x y)", "Word Lists"}, {"%h", "Variables"}, {"s{a}{", "Substitutions"},
      {"$1", "Interpolated Special Variables"}, {"$h", "Interpolations"}, {"{k} ", "String Text"}, {"$_", "Interpolated Special Variables"},
      {"/^b/", "Regular Expressions"}, {"\\'", "Quoted Characters"}, {"Doc", "Documentation"}, {"here", "Here Documents"},
      {"bar", ""}}},
    {"markdown", "# Title\n\nSee `code` and [`ref`][] or [a](http://x.org) &amp; *it*.\n\n* item <b>x</b>\n```js\nconst n = 'a'; // c\n```\n```console\nconst\n```",
     {{"# Title", "Headings"}, {"`code`", "Inline Code"}, {"`ref`", "Linked Code"}, {"](http://x.org)", "Link Targets"},
      {"&amp;", "Entities"}, {"*it*", "Emphasis"}, {"* ", "List Markers"}, {"<b", "HTML Tags"}, {"const n", "mixed: Code Block Keywords, Code Block Text"},
      {"'a'", "Code Block Strings"}, {"// c", "Code Block Comments"}, {"const\n", "Plain Code Blocks"}}},
    {"toml", "# c\n[server.main]\nname = \"a\\tb\" # d\n\"key x\" = 'raw\\n'\nports = [8001, 0x1F]\nat = 1979-05-27T07:32:00Z\non = true\n[[bin]]",
     {{"# c", "Comments"}, {"[server.main]", "Table Headings"}, {"name", "Keys"}, {"\\t", "Escape Sequences"}, {"# d", "Comments"},
      {"\"key x\"", "Keys"}, {"'raw\\n'", "Literal Strings"}, {"8001", "Numbers"}, {"1979-05-27T07:32:00Z", "Dates and Times"},
      {"true", "Constants"}, {"[[bin]]", "Table Headings"}}},
    {"tcl", "# c\nttk::style map -frame $w -1\nproc f {a} {\n  set x \"v $a\\n\" ;# d\n  expr {2.5}\n  button .b; puts ${x}\n}",
     {{"# c", "Comments"}, {"style", "Themed Tk Commands"}, {"frame", ""}, {"$w", "Variables"}, {"1", ""}, {"proc", "Keywords"},
      {"set", "Keywords"}, {"\"v $a", "Strings"}, {"\\n", "Escape Sequences"}, {"# d", "Comments"}, {"2.5", "Numbers"},
      {"button", "Tk Commands"}, {"${x}", "Variables"}}},
    {"r", "# c\nf <- function(x = 1L) if (x %in% c(TRUE, NA)) `odd name`[[\"a\\n\"]] else x$y + 0x1F\ng <- \\(s) r\"(C:\\dir)\"",
     {{"# c", "Comments"}, {"<-", "Assignments"}, {"function", "Keywords"}, {"1L", "Numbers"}, {"%in%", "Special Operators"},
      {"TRUE", "Constants"}, {"`odd name`", "Quoted Names"}, {"\\n", "Escape Sequences"}, {"$", "Operators"},
      {"0x1F", "Numbers"}, {"r\"(C:\\dir)\"", "Raw Strings"}}},
    {"dockerfile", "# c\nFROM debian AS build\nENV HOME=/root \\\n  X=\"a\\tb\"\nRUN echo $HOME && cd /test || exit 1\nonbuild run ls\nCMD [\"sh\", 'x']",
     {{"# c", "Comments"}, {"FROM", "Instructions"}, {"AS", "Instructions"}, {"\\t", "Escape Sequences"}, {"$HOME", "Variables"},
      {"echo", "Shell Builtins"}, {"&&", "Operators"}, {"test", ""}, {"onbuild", "Instructions"}, {"run", "Instructions"},
      {"\"sh\"", "Strings"}, {"'x'", "Single-Quoted Strings"}}},
    {"pascal", "{$mode objfpc} { c } (* d *)\nprocedure P(const S: string); begin WriteLn('It''s', #13#10, $FF + %101 + 1.5e3); end; // e",
     {{"{$mode objfpc}", "Directives"}, {"{ c }", "Brace Comments"}, {"(* d *)", "Block Comments"}, {"procedure", "Keywords"},
      {"string", "Types"}, {"''", "Doubled Quotes"}, {"#13#10", "Character Codes"}, {"$FF", "Numbers"}, {"%101", "Numbers"},
      {"WriteLn", ""}, {"// e", "Line Comments"}}},
    {"json", "{\"key\": \"v\\n\", \"n\": [-1.5e3, true]}",
     {{"\"key\"", "Keys"}, {"\\n", "Escape Sequences"}, {"-1.5e3", "Numbers"}, {"true", "Constants"}}},
    {"yaml", "- name: it is true # c\n  on: yes\n  ip: 10.0.0.1\n  s: 'it''s'",
     {{"name", "Keys"}, {"true", ""}, {"# c", "Comments"}, {"yes", "Constants"}, {"10.0.0.1", "Numbers"},
      {"''", "Quoted Quotes"}}},
};

TEST(StarterLanguages, ConstructsAreColouredAsTheirLanguage)
{
    for (const Case &k : kCases) {
        const QString text = QString::fromLatin1(k.text);
        const Coloured c = colour(QString::fromLatin1(k.language), text);
        ASSERT_TRUE(c.language);
        for (const auto &[part, tokenset] : k.parts) {
            SCOPED_TRACE(std::string(k.language) + ": " + k.text + " / " + part);
            const qsizetype at = text.indexOf(QString::fromLatin1(part));
            ASSERT_GE(at, 0);
            EXPECT_EQ(tokensetOver(c, text, at, qsizetype(qstrlen(part))).toStdString(), std::string(tokenset));
        }
    }
}

} // namespace
