// Scopes: opening and closing, valid and transparent scopes, single-line and unclosed scopes, the
// chain and symmetrical flags, and broken states handed in.
#include "test_engine_support.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace {

TokensetDefinition validIn(TokensetDefinition set, const QStringList &scopes)
{
    set.validscopes = scopes;
    return set;
}

TokensetDefinition flags(TokensetDefinition set, bool chain, bool symmetrical)
{
    set.chain = chain;
    set.symmetrical = symmetrical;
    return set;
}

const int Blocks = TokensetIds::ScopeKeywords;
const int Params = TokensetIds::ParameterBlocks;
const int Strings = TokensetIds::Strings;
const int Comments = TokensetIds::BlockComments;

} // namespace

TEST(EngineScopes, OpeningClosingAndWhereTokensAreValid)
{
    const LanguageDefinition d = language({
        scopeSet("Braces", Blocks, {"{"}, {"}"}),
        scopeSet("Parens", Params, {"("}, {")"}),
        scopeSet("Str", Strings, {"\"", "'"}, {"\"", "'"}),
        scopeSet("Com", Comments, {"/*"}, {"*/"}),
        scopeSet("Line", TokensetIds::LineComments, {"//"}, {}, true),
        listSet("K", {"if"}),                                            // no validscope
        validIn(listSet("Esc", {"\\\\."}, true), {"Str"}),               // inside strings only
        validIn(listSet("Todo", {"TODO"}), {"Com", ""}),                 // comments and the outermost level
        validIn(listSet("Arg", {","}), {"Parens"}),                      // parameter blocks only
    });
    // tokens2 shorter than tokens: any end token closes a scope opened by a later start token.
    const LanguageDefinition shorter = language({scopeSet("C", Comments, {"/*", "(*", "{"}, {"*/", "*)"})});
    expectMarked({
        {"start, content and end; closed by the end of the same index", d, "if \"a ' if\" if 'b\"' if",
         "[K:if] [Str:\"a ' if\"] [K:if] [Str:'b\"'] [K:if]"},
        {"no end token of the same index: any", shorter, "{ x *) y (* x */ *) y", "[C:{ x *)] y [C:(* x */ *)] y"},
        {"default: outermost and transparent scopes", d, "if {if (if)}",
         "[K:if] [Braces:{][K:if][Braces: ][Parens:(][K:if][Parens:)][Braces:}]"},
        {"default: never in literal scopes", d, "\"if\" /*if*/", "[Str:\"if\"] [Com:/*if*/]"},
        {"validscope: only there", d, "\\n \"a\\\"b\"", "\\n [Str:\"a][Esc:\\\"][Str:b\"]"},
        {"validscope with the outermost level", d, "TODO /* TODO */ {TODO}",
         "[Todo:TODO] [Com:/* ][Todo:TODO][Com: */] [Braces:{TODO}]"},
        {"validscope in a transparent scope", d, "a,b (a,b)", "a,b [Parens:(a][Arg:,][Parens:b)]"},
        {"nesting", d, "{{}}", "[Braces:{{}}]"},
        {"a literal scope inside a transparent one", d, "(\"a\nb", "[Parens:(][Str:\"a\nb]"},
        {"single-line scope", d, "if // if\nif", "[K:if] [Line:// if]\n[K:if]"},
        {"multi-line scope, any line break", d, "/* a\r\nb */\rif /* runs\nto the end",
         "[Com:/* a\r\nb */]\r[K:if] [Com:/* runs\nto the end]"},
        {"no end tokens: to the line or the text end", language({scopeSet("Q", Strings, {"\""}, {}, false)}), "\"a\" b",
         "[Q:\"a\" b]"},
    });

    // A validscope naming no tokenset is reported and ignored.
    LanguageDefinition bad = language({validIn(listSet("K", {"if"}), {"Nowhere"})});
    EXPECT_EQ(CompiledLanguage::compile(bad)->problems().size(), 1);
    EXPECT_EQ(marked(bad, "if"), "if");

    // A single-line scope closes at the line end with every scope opened inside it.
    Highlighter h(CompiledLanguage::compile(
        language({scopeSet("Line", Blocks, {"["}, {"]"}, true), scopeSet("Block", Blocks, {"{"}, {"}"}, false)})));
    QVector<StyleRun> runs;
    EXPECT_TRUE(h.highlightLine(u"[ {", ScopeState(), runs).isOutermost());
    EXPECT_EQ(h.highlightLine(u"{ [", ScopeState(), runs).depth(), 1);
}

TEST(EngineScopes, ChainAndSymmetricalScopes)
{
    auto chained = [](bool chain) {
        return language({flags(scopeSet("Braces", Blocks, {"{"}, {"}"}), chain, false),
                         scopeSet("Parens", Params, {"("}, {")"}), scopeSet("Str", Strings, {"\""}, {"\""})});
    };
    auto sym = [](const QStringList &starts, const QStringList &ends, bool regexp = false) {
        return language({flags(scopeSet("Q", Strings, starts, ends, false, regexp), true, true)});
    };
    expectMarked({
        {"chain closes through a transparent scope", chained(true), "{ f( } x", "[Braces:{ f][Parens:( ][Braces:}] x"},
        {"without chain it does not", chained(false), "{ f( } x", "[Braces:{ f][Parens:( } x]"},
        {"never through a literal scope", chained(true), "{ \"}\" }", "[Braces:{ ][Str:\"}\"][Braces: }]"},
        {"the innermost scope's own end wins a tie",
         language({flags(scopeSet("A", Blocks, {"<"}, {">"}), true, false), scopeSet("B", Blocks, {"["}, {">"})}),
         "<[>>", "[A:<][B:[>][A:>]"},
        {"symmetrical: closed by its own start token", sym({"\"", "'"}, {}), "\"a'b\" 'c\"d' e", "[Q:\"a'b\"] [Q:'c\"d'] e"},
        {"symmetrical: tokens2 not used", sym({"$$"}, {"!"}), "$$a!b$$ c", "[Q:$$a!b$$] c"},
        {"symmetrical regexp: closed by its next match", sym({"%+"}, {}, true), "%a%%% b", "[Q:%a%%%] b"},
    });

    // After a line that opens more ways of nesting than the scanner keeps tables for, scopes open and
    // close as they do in a fresh highlighter.
    Highlighter fresh(CompiledLanguage::compile(chained(true))), busy(CompiledLanguage::compile(chained(true)));
    QString many;
    for (int path = 0; path < 2048; ++path)
        for (int bit = 0; bit < 22; ++bit)
            many += QChar(u"({)}"[(path >> (bit < 11 ? bit : 21 - bit) & 1) + (bit < 11 ? 0 : 2)]);
    EXPECT_TRUE(busy.highlightText(many).size() == many.size());
    const QString deep = QString(12, QLatin1Char('(')) + QStringLiteral("{ f( \"}\" } x ) y");
    EXPECT_EQ(busy.highlightText(deep), fresh.highlightText(deep));
}

TEST(EngineScopes, BrokenInputNeverBreaksTheScanner)
{
    Highlighter h(CompiledLanguage::compile(language(
        {scopeSet("Braces", Blocks, {"{"}, {"}"}), scopeSet("Str", Strings, {"\""}, {"\""}, true), listSet("K", {"if"})})));
    QVector<StyleRun> runs;

    // Nesting stops growing at a fixed depth; the start tokens beyond are still coloured.
    const ScopeState state = h.highlightLine(QString(5000, QLatin1Char('{')), ScopeState(), runs);
    EXPECT_TRUE(state.depth() < 1000 && runs.size() == 5000);
    EXPECT_EQ(h.highlightLine(QString(5000, QLatin1Char('}')), state, runs).depth(), 0);

    // A state from another language (or a damaged cache) is cut back to its valid part.
    ScopeState foreign, negative;
    for (int tokenset : {0, 2, 99}) // a scope, a list tokenset, no such tokenset
        foreign.push({tokenset, 0});
    negative.push({-5, 3});
    EXPECT_EQ(h.highlightLine(u"x", foreign, runs).depth(), 1);
    EXPECT_TRUE(h.highlightLine(u"if", negative, runs).isOutermost() && runs.size() == 1 && runs[0].tokenset == 2);

    // An empty language colours nothing, an empty text gives no runs.
    EXPECT_EQ(Highlighter(CompiledLanguage::compile(LanguageDefinition())).highlightText(u"abc").size(), 1);
    EXPECT_TRUE(h.highlightText(u"").isEmpty());
}
