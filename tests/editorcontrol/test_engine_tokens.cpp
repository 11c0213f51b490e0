// Token matching: literals and case, regexps anchored at the position, longest match and its ties,
// and every rule form.
#include "test_engine_support.h"

#include "editorcontrol/wordchars.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace {

TokensetDefinition caseSensitive(TokensetDefinition set)
{
    set.casesensitive = true;
    return set;
}

} // namespace

// Literals compare without case unless the tokenset or language is case sensitive (by Unicode case
// folding); regexps are anchored at the position and follow the same case rule.
TEST(EngineTokens, LiteralsRegexpsAndCase)
{
    expectMarked({
        {"insensitive", language({listSet("K", {"if", "Else"})}), "IF a else b ElSe", "[K:IF] a [K:else] b [K:ElSe]"},
        {"sensitive", language({caseSensitive(listSet("K", {"if"}))}), "if IF If", "[K:if] IF If"},
        {"language-wide case", [] {
             LanguageDefinition d = language({listSet("K", {"if"})});
             d.casesensitive = true;
             return d;
         }(), "if IF", "[K:if] IF"},
        {"non-ASCII folding", language({listSet("K", {"straße", "ÉTÉ"})}), "STRASSE straße été", "STRASSE [K:straße] [K:été]"},
        {"operators next to each other", language({listSet("Op", {"+", "=", "+="})}), "a+=b+c", "a[Op:+=]b[Op:+]c"},
        {"empty token never matches", language({listSet("K", {"", "x"})}), "x y", "[K:x] y"},

        {"numbers", language({listSet("Num", {"\\d+(\\.\\d+)?"}, true)}), "a 12.5 b7", "a [Num:12.5] b[Num:7]"},
        {"anchored, not searched", language({listSet("X", {"b+"}, true)}), "abbb", "a[X:bbb]"},
        {"case-insensitive by default", language({listSet("Hex", {"0x[0-9a-f]+"}, true)}), "0XFF", "[Hex:0XFF]"},
        {"case-sensitive tokenset", language({caseSensitive(listSet("Up", {"[A-Z]+"}, true))}), "abC", "ab[Up:C]"},
        {"empty matches are no tokens", language({listSet("E", {"x*"}, true)}), "ab x", "ab [E:x]"},
        {"lookbehind sees the line", language({listSet("L", {"(?<=@)\\w+"}, true)}), "@name", "@[L:name]"},
        {"^ is the line start", language({listSet("H", {"^#\\w+"}, true)}), "#a #b\n#c", "[H:#a] #b\n[H:#c]"},
    });
}

TEST(EngineTokens, LongestMatchWinsAndTiesGoToTheEarlierTokensetThenToken)
{
    expectMarked({
        {"longer literal of a later tokenset",
         language({listSet("A", {"<"}), listSet("B", {"<<"})}), "<<x<", "[B:<<]x[A:<]"},
        {"regexp longer than literal",
         language({listSet("K", {"int"}), listSet("Id", {"\\w+"}, true)}), "integer int", "[Id:integer] [K:int]"},
        {"tie: earlier tokenset", language({listSet("A", {"\\w+"}, true), listSet("B", {"abc"})}), "abc", "[A:abc]"},
        {"tie: earlier tokenset (literal first)", language({listSet("B", {"abc"}), listSet("A", {"\\w+"}, true)}), "abc", "[B:abc]"},
    });

    // Within one tokenset the earlier token wins: seen through the token index of the run.
    TokensetDefinition set = listSet("T", {"[a-z]+", "abc"}, true);
    set.tokens.tokens[1].regexp = false;
    const QVector<StyleRun> runs = Highlighter(CompiledLanguage::compile(language({set}))).highlightText(u"abc");
    EXPECT_TRUE(runs.size() == 1 && runs[0].token == 0);
}

// Rules: word (with the language's word characters, judged on whole characters, so that one beyond
// the BMP is a word character only when it is a letter or digit), leadwith, trailwith, colN; a regexp
// with rule word takes its next choice that ends at a word end. A broken surrogate is one character;
// a \G token matches wherever it is tried, not only where the line's first search began.
TEST(EngineTokens, RulesAndWordCharacters)
{
    auto withWordChars = [](LanguageDefinition d, const QString &wc) {
        d.wordchars = wc;
        return d;
    };
    const LanguageDefinition kw = language({listSet("K", {"if", "-if", "if-"}, false, "word")});
    const QString broken = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    expectMarked({
        {"whole words only", kw, "if iff gif if_x (if)", "[K:if] iff gif if_x ([K:if])"},
        {"non-word edge may touch", kw, "a-if b if-c", "a[K:-if] b [K:if-]c"},
        {"word chars with a dash", withWordChars(language({listSet("K", {"if"}, false, "word")}), "[\\w-]"),
         "if-x x-if if.x", "if-x x-if [K:if].x"},
        {"letters beyond ASCII are word characters", kw, "éif ifé if", "éif ifé [K:if]"},
        {"regexp tokens too", language({listSet("N", {"\\d+"}, true, "word")}), "12 a12 12b", "[N:12] a12 12b"},
        {"no rule: inside words", language({listSet("K", {"if"}, false, "")}), "gift", "g[K:if]t"},
        {"rule NULL is no rule", language({listSet("K", {"if"}, false, "NULL")}), "gift", "g[K:if]t"},
        {"unknown rule counts as word", language({listSet("K", {"if"}, false, "bogus")}), "gift if", "gift [K:if]"},
        {"invalid wordchars fall back", withWordChars(kw, "[\\w"), "iff if", "iff [K:if]"},

        {"leadwith", language({listSet("V", {"\\w+"}, true, "leadwith[$@]")}), "a $b @c", "a $[V:b] @[V:c]"},
        {"trailwith", language({listSet("F", {"\\w+"}, true, "trailwith[(]")}), "f(x) g", "[F:f](x) g"},
        {"other bracket pairs", language({listSet("F", {"\\w+"}, true, "trailwith(=)")}), "a=1 b", "[F:a]=1 b"},
        {"line start and end count as a blank", language({listSet("W", {"x"}, false, "leadwith[ ]|trailwith[ ]")}),
         "x ax x", "[W:x] ax [W:x]"},
        {"lead and trail together", language({listSet("P", {"\\w+"}, true, "leadwith[<]|trailwith[>]")}),
         "<a> <b c>", "<[P:a]> <b c>"},
        {"the set may hold a bar", language({listSet("B", {"\\w+"}, true, "leadwith[|]")}), "|a b", "|[B:a] b"},
        {"col", language({listSet("C", {"\\*.*"}, true, "col7")}), "      * comment\n  * not", "      [C:* comment]\n  * not"},
        {"col0 and col are the first column", language({listSet("C", {"c"}, false, "col")}), "c c", "[C:c] c"},
        {"word and col combined", language({listSet("C", {"ab"}, false, "word|col1")}), "abc ab\nab", "abc ab\n[C:ab]"},

        {"alternation order", language({listSet("P", {"#[ \\t]*(if|ifdef|ifndef)"}, true, "word")}),
         "#ifndef #if x #ifdefx", "[P:#ifndef] [P:#if] x #ifdefx"},
        {"backtracking to a shorter match", language({listSet("S", {"[a-z ]+"}, true, "word")}), "ab c1", "[S:ab ]c1"},
        {"the start is not moved", language({listSet("S", {"(a|ab)"}, true, "word")}), "xab ab", "xab [S:ab]"},
        {"closers too", language({[] {
             TokensetDefinition s = scopeSet("B", TokensetIds::ScopeKeywords, {"\\["}, {"(end|endif)"}, false, true);
             s.tokens2.tokens[0].rule = QStringLiteral("word");
             return s;
         }()}), "[ x endif y", "[B:[ x endif] y"},

        {"an emoji is no word character", language({listSet("K", {"if"}, false, "word")}), "if😀 𝐀if if𝐀", "[K:if]😀 𝐀if if𝐀"},
        {"\\w takes letters beyond the BMP", language({listSet("W", {"\\w+"}, true)}), "a𝐀b 😀", "[W:a𝐀b] 😀"},
        {"a broken surrogate", language({listSet("R", {"x.y"}, true)}), broken + " x", "[R:" + broken + "] x"},
        {"\\G after the first search", language({listSet("G", {"\\Gb"}, true)}), "ab b", "a[G:b] [G:b]"},
    });
}

// The word characters of a class are worked out for a whole plane at once: each character must be in
// the set exactly when the class matches it alone, including the long CJK run (a deep match), an
// alternation, a class that may match nothing, and characters beyond the BMP.
TEST(EngineTokens, WordCharactersAreWhatTheClassMatchesCharacterByCharacter)
{
    for (const char16_t *text : {u"[\\w]", u"[\\w.~-]", u"\\p{Greek}|[0-9]", u"x?", u"[^\\s;]"}) {
        const QString cls = QString::fromUtf16(text);
        const auto set = WordChars::forClass(cls, nullptr);
        const QRegularExpression alone(QStringLiteral("\\A(?:%1)\\z").arg(cls), QRegularExpression::UseUnicodePropertiesOption);
        auto matches = [&](char32_t c) { return alone.match(QString::fromUcs4(&c, 1)).hasMatch(); };
        int wrong = 0;
        for (char32_t c = 1; c < 0x10000; c += (c < 0x3000 || cls == u"[\\w]") ? 1 : 7)
            if (!QChar::isSurrogate(c) && set->contains(c) != matches(c))
                ++wrong;
        for (char32_t c : {0x10000u, 0x1D400u, 0x1F600u, 0x20000u, 0x2A6DFu, 0x10FFFDu})
            wrong += set->contains(c) != matches(c);
        EXPECT_EQ(wrong, 0) << cls.toStdString();
    }
}

// A regexp that backtracks without end counts as no match where it runs out of steps and still
// matches further on, within a budget per line; the first time is reported once, to the highlighter
// and on the language.
TEST(EngineTokens, ARegexpThatRunsOutOfStepsFailsOnlyWhereItDoes)
{
    Highlighter h(CompiledLanguage::compile(language({listSet("Slow", {"(a+)+(b|$)"}, true), listSet("K", {"if"})})));
    QStringList notices;
    h.setLimitNotice([&notices](const QString &message) { notices << message; });
    const QString line = QString(40, u'a') + QStringLiteral("c ab if");
    EXPECT_EQ(marked(h, line + "\n" + line), line.chopped(5) + "[Slow:ab] [K:if]\n" + line.chopped(5) + "[Slow:ab] [K:if]");
    // On a long line its tries after that cost at most a fixed multiple of the line in all, so it is
    // soon no longer tried there (rather than costing the square of the line); on the next line it is.
    const QString longLine = QString(4000, u'a') + QStringLiteral("c ab if");
    EXPECT_EQ(marked(h, longLine + "\nab"), longLine.chopped(2) + "[K:if]\n[Slow:ab]");
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("test.lng: tokenset \"Slow\", token \"(a+)+(b|$)\": ")) << notices[0].toStdString();
    EXPECT_EQ(h.language()->matchLimitProblems(), notices);
}
