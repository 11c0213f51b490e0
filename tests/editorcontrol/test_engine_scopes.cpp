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

TEST(EngineScopes, StartContentAndEndTakeTheScopesStyleAndCloseByIndex)
{
    const LanguageDefinition d = language({scopeSet("Str", Strings, {"\"", "'"}, {"\"", "'"}),
                                           listSet("K", {"if"})});
    EXPECT_EQ(marked(d, "if \"a ' if\" if 'b\"' if"), "[K:if] [Str:\"a ' if\"] [K:if] [Str:'b\"'] [K:if]");

    // tokens2 shorter than tokens: any end token closes a scope opened by a later start token.
    const LanguageDefinition shorter = language({scopeSet("C", Comments, {"/*", "(*", "{"}, {"*/", "*)"})});
    EXPECT_EQ(marked(shorter, "{ x *) y"), "[C:{ x *)] y");
    EXPECT_EQ(marked(shorter, "{ x */ y"), "[C:{ x */] y");
    EXPECT_EQ(marked(shorter, "(* x */ *) y"), "[C:(* x */ *)] y");
}

TEST(EngineScopes, ValidScopesAndTransparentScopes)
{
    const LanguageDefinition d = language({
        scopeSet("Braces", Blocks, {"{"}, {"}"}),
        scopeSet("Parens", Params, {"("}, {")"}),
        scopeSet("Str", Strings, {"\""}, {"\""}),
        scopeSet("Com", Comments, {"/*"}, {"*/"}),
        listSet("K", {"if"}),                                            // no validscope
        validIn(listSet("Esc", {"\\\\."}, true), {"Str"}),               // inside strings only
        validIn(listSet("Todo", {"TODO"}), {"Com", ""}),                 // comments and the outermost level
        validIn(listSet("Arg", {","}), {"Parens"}),                      // parameter blocks only
    });
    expectMarked({
        {"default: outermost and transparent scopes", d, "if {if (if)}",
         "[K:if] [Braces:{][K:if][Braces: ][Parens:(][K:if][Parens:)][Braces:}]"},
        {"default: never in literal scopes", d, "\"if\" /*if*/", "[Str:\"if\"] [Com:/*if*/]"},
        {"validscope: only there", d, "\\n \"a\\\"b\"", "\\n [Str:\"a][Esc:\\\"][Str:b\"]"},
        {"validscope with the outermost level", d, "TODO /* TODO */ {TODO}",
         "[Todo:TODO] [Com:/* ][Todo:TODO][Com: */] [Braces:{TODO}]"},
        {"validscope in a transparent scope", d, "a,b (a,b)", "a,b [Parens:(a][Arg:,][Parens:b)]"},
        {"nesting", d, "{{}}", "[Braces:{{}}]"},
        {"a literal scope inside a transparent one", d, "(\"a\nb", "[Parens:(][Str:\"a\nb]"},
    });

    // A validscope naming no tokenset is reported and ignored.
    LanguageDefinition bad = language({validIn(listSet("K", {"if"}), {"Nowhere"})});
    EXPECT_EQ(CompiledLanguage::compile(bad)->problems().size(), 1);
    EXPECT_EQ(marked(bad, "if"), "if");
}

TEST(EngineScopes, SingleLineAndUnclosedScopes)
{
    const LanguageDefinition d = language({
        scopeSet("Line", TokensetIds::LineComments, {"//"}, {}, true),
        scopeSet("Block", Comments, {"/*"}, {"*/"}, false),
        scopeSet("Str", Strings, {"\""}, {"\""}, true),
        listSet("K", {"if"}),
    });
    EXPECT_EQ(marked(d, "if // if\nif"), "[K:if] [Line:// if]\n[K:if]");
    EXPECT_EQ(marked(d, "\"open\nif"), "[Str:\"open]\n[K:if]");
    EXPECT_EQ(marked(d, "/* a\nif */ if"), "[Block:/* a\nif */] [K:if]");
    EXPECT_EQ(marked(d, "/* runs\nto the end"), "[Block:/* runs\nto the end]");
    EXPECT_EQ(marked(d, "/* a\r\nb */\rif"), "[Block:/* a\r\nb */]\r[K:if]");

    // A single-line scope closes at the line end with every scope opened inside it.
    LanguageDefinition nested = language({
        scopeSet("Line", Blocks, {"["}, {"]"}, true),
        scopeSet("Block", Blocks, {"{"}, {"}"}, false),
    });
    const CompiledLanguagePtr lang = CompiledLanguage::compile(nested);
    Highlighter h(lang);
    QVector<StyleRun> runs;
    EXPECT_TRUE(h.highlightLine(u"[ {", ScopeState(), runs).isOutermost());
    EXPECT_EQ(h.highlightLine(u"{ [", ScopeState(), runs).depth(), 1);
}

TEST(EngineScopes, ChainLetsAnEnclosingScopeCloseThroughTransparentScopes)
{
    auto lang = [](bool chain) {
        return language({flags(scopeSet("Braces", Blocks, {"{"}, {"}"}), chain, false),
                         scopeSet("Parens", Params, {"("}, {")"}),
                         scopeSet("Str", Strings, {"\""}, {"\""})});
    };
    EXPECT_EQ(marked(lang(true), "{ f( } x"), "[Braces:{ f][Parens:( ][Braces:}] x");
    EXPECT_EQ(marked(lang(false), "{ f( } x"), "[Braces:{ f][Parens:( } x]");
    // Never through a literal scope: a brace inside a string is text.
    EXPECT_EQ(marked(lang(true), "{ \"}\" }"), "[Braces:{ ][Str:\"}\"][Braces: }]");
    // The innermost scope's own end wins a tie.
    EXPECT_EQ(marked(language({flags(scopeSet("A", Blocks, {"<"}, {">"}), true, false),
                               scopeSet("B", Blocks, {"["}, {">"})}),
                     "<[>>"),
              "[A:<][B:[>][A:>]");
}

TEST(EngineScopes, SymmetricalScopesCloseOnTheirOwnStartToken)
{
    auto sym = [](const QStringList &starts, const QStringList &ends, bool regexp = false) {
        return language({flags(scopeSet("Q", Strings, starts, ends, false, regexp), true, true)});
    };
    EXPECT_EQ(marked(sym({"\"", "'"}, {}), "\"a'b\" 'c\"d' e"), "[Q:\"a'b\"] [Q:'c\"d'] e");
    // tokens2 is not used by a symmetrical scope.
    EXPECT_EQ(marked(sym({"$$"}, {"!"}), "$$a!b$$ c"), "[Q:$$a!b$$] c");
    // A regexp start token closes on its next match.
    EXPECT_EQ(marked(sym({"%+"}, {}, true), "%a%%% b"), "[Q:%a%%%] b");
    // Not symmetrical and without end tokens: the scope runs to its line end or the text end.
    EXPECT_EQ(marked(language({scopeSet("Q", Strings, {"\""}, {}, false)}), "\"a\" b"), "[Q:\"a\" b]");
}

TEST(EngineScopes, BrokenInputNeverBreaksTheScanner)
{
    const LanguageDefinition d = language({scopeSet("Braces", Blocks, {"{"}, {"}"}),
                                           scopeSet("Str", Strings, {"\""}, {"\""}, true),
                                           listSet("K", {"if"})});
    const CompiledLanguagePtr lang = CompiledLanguage::compile(d);
    Highlighter h(lang);
    QVector<StyleRun> runs;

    // Nesting stops growing at a fixed depth; the start tokens beyond are still coloured.
    const QString deep(5000, QLatin1Char('{'));
    ScopeState state = h.highlightLine(deep, ScopeState(), runs);
    EXPECT_LT(state.depth(), 1000);
    EXPECT_EQ(runs.size(), deep.size());
    EXPECT_EQ(h.highlightLine(QString(5000, QLatin1Char('}')), state, runs).depth(), 0);

    // A state from another language (or a damaged cache) is cut back to its valid part.
    ScopeState foreign, negative;
    for (int tokenset : {0, 2, 99}) // a scope, a list tokenset, no such tokenset
        foreign.push({tokenset, 0});
    negative.push({-5, 3});
    EXPECT_EQ(h.highlightLine(u"x", foreign, runs).depth(), 1);
    EXPECT_TRUE(h.highlightLine(u"if", negative, runs).isOutermost());
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].tokenset, 2);

    // An empty language colours nothing, an empty text gives no runs.
    Highlighter none(CompiledLanguage::compile(LanguageDefinition()));
    EXPECT_EQ(none.highlightText(u"abc").size(), 1);
    EXPECT_TRUE(h.highlightText(u"").isEmpty());
}
