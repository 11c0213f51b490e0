#include "common/testutil.h"
#include "lint/linter.h"
#include "lint/regexpshape.h"
#include "model/database.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

// Each rule of the checker with a small language that sets it off, and one close to it that must not.

namespace {

Tokenset &add(Language &l, const char *name, const char *id, const char *type, const char *tokens,
              const char *tokens2 = "")
{
    Tokenset &t = l.tokensets[size_t(l.tokensetCount())];
    t = Tokenset{name, id, type, 0, "normal", "<none>", 16777215, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, "<none>",
                 tokens, tokens2, 0, "NULL", "", "", {}};
    t.validscope.fill(QStringLiteral("<none>"));
    return t;
}

// Plain text, keywords and a block comment: a language without findings.
Language base()
{
    Language l{"Demo", 0, 0, "[\\w]", 1, "<none>", "if x /* y */", {}};
    add(l, "Text", "text", "list", "");
    add(l, "Keywords", "keywords", "list", "if\r\nelse").rule = QStringLiteral("Word");
    add(l, "Comment", "blockcomments", "scope", "/*", "*/");
    return l;
}

Tokenset &ts(Language &l, int slot) { return l.tokensets[size_t(slot)]; }
auto tokens(const char *text, int regexp = 0)
{
    return [=](Language &l) { ts(l, 1).tokens = QString::fromUtf8(text); ts(l, 1).regexp = regexp; };
}

struct Case {
    const char *rule;
    const char *severity; // "" when the rule must not fire
    std::function<void(Language &)> change;
};

const Case kCases[] = {
    {"regexp-invalid", "error", tokens("(", 1)},
    {"regexp-invalid", "", tokens("\\(", 1)},
    {"regexp-empty-match", "warning", tokens("x*|if", 1)},
    {"regexp-empty-match", "", tokens("x+|if", 1)},
    {"regexp-backtracking", "warning", tokens("(a+)+b", 1)},
    {"regexp-backtracking", "warning", tokens("\"(\\\\.|[^\"])*\"", 1)},
    {"regexp-backtracking", "warning", tokens("(\\w+\\s?)*;", 1)},
    {"regexp-backtracking", "", tokens("(\\s*,\\s*\\w+)*;\r\n[0-9](_?[0-9])*\r\n\"(\\\\.|[^\"\\\\])*\"", 1)},
    {"regexp-literal", "note", tokens("while", 1)},
    {"regexp-literal", "", tokens("wh?ile", 1)},
    {"literal-like-regexp", "note", tokens("\\s+")},
    {"literal-like-regexp", "", tokens("\\s+", 1)},
    {"wordchars-invalid", "warning", [](Language &l) { l.wordchars = QStringLiteral("[a-"); }},
    {"wordchars-invalid", "", [](Language &l) { l.wordchars = QStringLiteral("[\\w$]"); }},
    {"dead-token", "warning", tokens(":::: ListMembers")},
    {"dead-token", "warning", tokens("if :::: :::: false :::: leadwith[]")},
    {"dead-token", "warning", tokens("\\r?\\n", 1)},
    {"dead-token", "warning", tokens("\\b", 1)},
    {"dead-token", "warning", [](Language &l) { ts(l, 2).tokens2 = QStringLiteral("*/\r\n*)"); }},
    {"dead-token", "", tokens("if :::: :::: false :::: leadwith[(]")},
    {"inherit-missing", "error", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Nope"); }},
    {"inherit-missing", "error", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Keywords"); }},
    {"inherit-missing", "error", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Text"); ts(l, 0).included = 0; }},
    {"inherit-missing", "", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Text"); }},
    {"inherit-cycle", "error", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Comment"); ts(l, 2).inheritfrom = QStringLiteral("Keywords"); }},
    {"inherit-cycle", "", [](Language &l) { ts(l, 1).inheritfrom = QStringLiteral("Comment"); ts(l, 2).inheritfrom = QStringLiteral("Text"); }},
    {"validscope-missing", "error", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Nope"); }},
    {"validscope-missing", "error", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral(" Comment"); }},
    {"validscope-missing", "", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Comment"); }},
    {"validscope-not-scope", "warning", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Text"); }},
    {"validscope-not-scope", "", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Comment"); }},
    {"validscope-self", "warning", [](Language &l) { ts(l, 2).validscope[0] = QStringLiteral("Comment"); }},
    {"validscope-self", "", [](Language &l) { ts(l, 2).validscope[0] = QStringLiteral("NULL"); ts(l, 2).validscope[1] = QStringLiteral("Comment"); }},
    {"unreachable-tokenset", "warning", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Comment"); ts(l, 2).validscope[0] = QStringLiteral("Keywords"); }},
    {"unreachable-tokenset", "", [](Language &l) { ts(l, 1).validscope[0] = QStringLiteral("Comment"); }},
    {"empty-tokenset", "note", tokens("")},
    {"empty-tokenset", "", [](Language &l) { tokens("")(l); ts(l, 1).id = QStringLiteral("text"); }},
    {"unused-end-tokens", "note", [](Language &l) { ts(l, 1).tokens2 = QStringLiteral("fi"); }},
    {"unused-end-tokens", "note", [](Language &l) { ts(l, 2).symmetrical = 1; }},
    {"duplicate-token", "warning", tokens("if\r\nelse\r\nIF")},
    {"duplicate-token", "warning", [](Language &l) { add(l, "More", "keywords", "list", "else").rule = QStringLiteral("Word"); }},
    {"duplicate-token", "warning", [](Language &l) { add(l, "More", "numbers", "list", "[0-9]+").regexp = 1; add(l, "Again", "numbers", "list", "[0-9]+").regexp = 1; }},
    {"duplicate-token", "", [](Language &l) { tokens("if\r\nIf")(l); ts(l, 1).casesensitive = 1; }},
    {"duplicate-token", "", [](Language &l) { add(l, "More", "keywords", "list", "else").validscope[0] = QStringLiteral("Comment"); }},
    {"unreachable-token", "warning", [](Language &l) { ts(l, 0).tokens = QStringLiteral("[a-z]+"); ts(l, 0).regexp = 1; }},
    {"unreachable-token", "", [](Language &l) { ts(l, 0).tokens = QStringLiteral("[0-9]+"); ts(l, 0).regexp = 1; }},
    {"scope-never-closes", "warning", [](Language &l) { ts(l, 2).tokens2.clear(); }},
    {"scope-never-closes", "warning", [](Language &l) { ts(l, 2).tokens2 = QStringLiteral("$ :::: :::: true"); }},
    // An end token past the last start token pairs with nothing, so it closes nothing either.
    {"scope-never-closes", "warning", [](Language &l) { ts(l, 2).tokens2 = QStringLiteral("$ :::: :::: true\r\n*/"); }},
    {"scope-never-closes", "", [](Language &l) { ts(l, 2).tokens2.clear(); ts(l, 2).singlelinescope = 1; }},
    {"token-attribute", "warning", tokens("if :::: Foo")},
    {"token-attribute", "warning", tokens("if :::: :::: yes")},
    {"token-attribute", "warning", tokens("if :::: :::: false :::: leadwith(x]")},
    {"token-attribute", "warning", tokens("if :::: a :::: true :::: word :::: y")},
    {"token-attribute", "", tokens("if :::: ListMembers :::: False :::: leadwith(x)")},
    {"list-rule", "warning", [](Language &l) { ts(l, 1).rule = QStringLiteral("LeadWith"); }},
    {"list-rule", "", [](Language &l) { ts(l, 1).rule = QStringLiteral("LeadWith"); ts(l, 1).lead = QStringLiteral("("); }},
    {"field-value", "warning", [](Language &l) { ts(l, 1).type = QStringLiteral("block"); }},
    {"field-value", "warning", [](Language &l) { ts(l, 1).fontstyle = QStringLiteral("heavy"); }},
    {"field-value", "warning", [](Language &l) { ts(l, 1).id = QStringLiteral("keyword"); }},
    {"field-value", "warning", [](Language &l) { ts(l, 2).type = QStringLiteral("Scope"); }},
    {"field-value", "", [](Language &l) { ts(l, 1).fontstyle = QStringLiteral("Bold"); }},
    {"read-back", "error", tokens("if\x0c")},
    {"read-back", "", [](Language &l) { l.name = QStringLiteral("Tom's"); }},
    {"tokenset-name", "warning", [](Language &l) { add(l, "Keywords", "keywords", "list", "while"); }},
    {"tokenset-name", "warning", [](Language &l) { ts(l, 2).name = QStringLiteral("NULL"); }},
    {"tokenset-name", "", [](Language &l) { add(l, "Keywords 2", "keywords", "list", "while"); }},
    {"export-name", "error", [](Language &l) { l.name = QStringLiteral("C/C++"); }},
    {"export-name", "warning", [](Language &l) { l.name = QStringLiteral("aux"); }},
    {"export-name", "warning", [](Language &l) { l.name = QStringLiteral("Demo: 2"); }},
    {"export-name", "", [](Language &l) { l.name = QString::fromUtf8("D\xc3\xa9mo (2)"); }},
    {"code-page", "error", [](Language &l) { l.name = QString::fromUtf8("Demo \xe2\x86\x92"); }},
    {"code-page", "", [](Language &l) { l.name = QString::fromUtf8("D\xc3\xa9mo \xe2\x82\xac"); }},
    {"text-too-long", "error", [](Language &l) { l.sampletext = QString(70000, u'x'); }},
    {"text-too-long", "", [](Language &l) { l.sampletext = QString(65535, u'x'); }},
    {"xml-character", "error", tokens("if\x07")},
    {"xml-character", "", [](Language &l) { ts(l, 1).included = 0; ts(l, 1).tokens = QStringLiteral("if\x07"); }},
};

TEST(Lint, BaseLanguageHasNoFinding)
{
    const auto findings = Lint::lintLanguage(base());
    EXPECT_TRUE(findings.isEmpty()) << Lint::validityText(findings).toStdString();
    EXPECT_EQ(Lint::validityText(findings), "No lint finding.\r\n");
}

TEST(Lint, EachRuleFiresOnItsCaseAndNotOnItsNeighbour)
{
    for (const Case &c : kCases) {
        Language l = base();
        c.change(l);
        const auto findings = Lint::lintLanguage(l);
        QString severity;
        for (const Lint::Finding &f : findings)
            if (f.rule == QLatin1String(c.rule) && severity.isEmpty())
                severity = Lint::severityName(f.severity);
        EXPECT_EQ(severity, QLatin1String(c.severity)) << c.rule << " case " << (&c - kCases) << "\n" << Lint::validityText(findings).toStdString();
    }
}

TEST(Lint, FindingsNameLanguageTokensetAndTokenAndComeErrorsFirst)
{
    Language l = base();
    tokens("(\r\nwhile", 1)(l);
    const auto findings = Lint::lintLanguage(l);
    ASSERT_GE(findings.size(), 2);
    EXPECT_EQ(findings.front().severity, Lint::Severity::Error);
    EXPECT_EQ(findings.back().severity, Lint::Severity::Note);
    EXPECT_EQ(Lint::findingLine(findings.front(), "Demo (index 0)").toStdString(),
              "Demo (index 0), tokenset \"Keywords\", token \"(\": error: the regexp does not compile: missing closing "
              "parenthesis at offset 1 (the tokenset makes its tokens regexps) [regexp-invalid]");
}

TEST(Lint, LanguagesOfOneNameClashOnExport)
{
    Database db;
    db.languages = {base(), base(), base()};
    db.languages[2].name = QStringLiteral("DEMO");
    QStringList seen;
    for (const Lint::Finding &f : Lint::lintLanguage(db, 0))
        seen << Lint::severityName(f.severity) + u' ' + f.rule;
    EXPECT_EQ(seen, QStringList({"error export-clash", "warning export-clash"}));
}

TEST(Lint, DocumentationListsEveryRule)
{
    const QString doc = QString::fromUtf8(TestUtil::readFile(TestUtil::sourcePath("docs/lint.md")));
    for (const Case &c : kCases)
        EXPECT_TRUE(doc.contains(QStringLiteral("`%1`").arg(QLatin1String(c.rule)))) << c.rule;
}

} // namespace

// Patterns of many thousand elements: the analysis compares each element with the distinct first
// characters of the others, not with every other element, and finds the same as for short ones.
TEST(RegexpShapes, LongPatternsAreAnalysedInLinearTime)
{
    const auto repeat = [](const QString &piece, int n, const QString &separator = QString()) {
        QStringList pieces;
        for (int i = 0; i < n; ++i)
            pieces << (piece.contains(u'%') ? piece.arg(i) : piece);
        return pieces.join(separator);
    };
    const int n = 20000;
    const struct {
        QString pattern;
        bool backtracks;
    } cases[] = {
        {"(" + repeat("a+", n) + "b)+", false},               // every round must end in b
        {"(" + repeat("a+", n) + ")+", true},                 // the rounds share out the a's
        {"(" + repeat("x%1", n, "|") + ")*", false},          // plain alternatives, all different
        {"(" + repeat("x%1", n, "|") + "|x77)*", true},       // two alike
        {"(" + repeat("y%1", n, "|") + "|x[0-9])*", false},   // a class that begins differently
        {"(" + repeat("y%1", n, "|") + "|[xy][0-9])*", true}, // one that begins alike
    };
    for (const auto &c : cases) {
        const Lint::RegexpShape shape = Lint::RegexpShape::of(c.pattern, false);
        EXPECT_TRUE(shape.parsed && !shape.tooComplex);
        EXPECT_EQ(!shape.backtracking.isEmpty(), c.backtracks) << c.pattern.left(40).toStdString();
    }
}
