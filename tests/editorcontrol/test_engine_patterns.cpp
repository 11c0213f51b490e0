#include "test_engine_support.h"

#include "common/testutil.h"
#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/nativepattern.h"
#include "editorcontrol/patternanalysis.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QStringList kTexts = {
    QStringLiteral("int main(void) {\treturn 0x1F; }  // done"),
    QStringLiteral("Ärger äußerst ſtraße KELVIN \u212A _a1 ٣٤ x\u00A0y\u2028z\u0085w"),
    QStringLiteral("[a]-b+c \"q\\\"\" ''' $$ ~~ 12.5e-3 ABCabc"),
    QStringLiteral("a𝐀b 😀x 𝟙2 _𝐚"), // beyond the BMP: letters, a symbol, a digit
};

// Calls check(caseless, text, position, length of the regexp engine's match there) for
// every position of every text, with and without case.
template <class Check>
void forEveryPosition(const QString &pattern, Check check)
{
    for (bool caseless : {false, true}) {
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (caseless)
            options |= QRegularExpression::CaseInsensitiveOption;
        const QRegularExpression re(pattern, options);
        ASSERT_TRUE(re.isValid()) << pattern.toStdString();
        for (const QString &text : kTexts)
            for (int p = 0; p < text.size(); ++p) {
                const auto m = re.match(text, p, QRegularExpression::NormalMatch,
                                        QRegularExpression::AnchorAtOffsetMatchOption);
                check(caseless, text, p, m.hasMatch() ? int(m.capturedLength()) : 0);
            }
    }
}

} // namespace

// The shortcuts that spare the regexp engine calls agree with it: the native matcher gives its match
// length, the first-character filter never rejects a position where a match begins.
TEST(EnginePatterns, ShortcutsAgreeWithTheRegexpEngine)
{
    for (const char *pattern : {"[ \\t]+", "\\s+", "\\w+", "\\d+", "[A-Za-z_]\\w*", "[a-z]+", "[^a-c ]+", "[\\W]", "x",
                                "\\.", "[-+]", "[\\]]", "[^\\s\"]+", "\\S+", "[a-f\\d]+", "K+", "s", "[\\w-]+", "[À-ÿ]+",
                                "\\$\\w*", "\\D\\d+"})
        forEveryPosition(QString::fromUtf8(pattern), [&](bool caseless, const QString &text, int p, int length) {
            const auto sp = PatternAnalysis::simplePattern(QString::fromUtf8(pattern), caseless);
            ASSERT_TRUE(sp.has_value()) << pattern;
            EXPECT_EQ(sp->matchAt(reinterpret_cast<const char16_t *>(text.utf16()), p, int(text.size())), length)
                << pattern << (caseless ? " (caseless)" : "") << " at " << p << " of " << text.toStdString();
            if (length > 0 && text[p].unicode() >= 128)
                EXPECT_TRUE(sp->first.takesBeyondAscii(caseless)) << pattern << " at " << p;
        });
    // No other character from 128 up has a case below 128.
    for (char32_t c = 128; c <= 0x10FFFF; ++c)
        if (QChar::toLower(c) < 128 || QChar::toUpper(c) < 128 || QChar::toCaseFolded(c) < 128)
            EXPECT_TRUE(std::ranges::count(PatternAnalysis::kFoldsToAscii, c) == 1) << unsigned(c);
    for (const char *pattern : {"(u8|[uUL])?\"", "#[ \\t]*(include|define)", "0[xX][0-9A-Fa-f]+", "(https?|ftp)://\\S+",
                                "([0-9]+\\.([0-9]+)?|\\.[0-9]+)([eE][+-]?[0-9]+)?", "[^\\s\"]+x", "(?:ab|cd)*e",
                                "a{0,2}b", "\\\\[nt]", "k\\w*", "[a-z]{2,}", "(\\d|_)+a",
                                // anchors, lookaround, named groups and "." take no part or any character
                                "\\bif\\b", "^#\\s*\\w+", "#([ \\t]*define\\b)?(?=.*\\\\\\s*$)", "(?<=[a-z])\\d+",
                                "(?<!\\w)(?!x)\\w+", "(?<n>ab|K)(?P<m>c)?", ".b", "\\Bs$", "(?>a|\\.)\\d"})
        forEveryPosition(QString::fromUtf8(pattern), [&](bool caseless, const QString &text, int p, int length) {
            const auto first = PatternAnalysis::firstChars(QString::fromUtf8(pattern), caseless);
            ASSERT_TRUE(first.has_value()) << pattern;
            if (length > 0)
                EXPECT_TRUE(first->test(text[p].unicode())) << pattern << " at " << p;
        });
}

// The native matcher gives the regexp engine's match at every position it answers for (it leaves the
// others, beyond ASCII or before a line break, to the engine): for patterns that backtrack, look
// around, anchor and repeat, and for every regexp of the shipped languages on their samples; what it
// does not model it refuses.
TEST(EnginePatterns, NativeMatcherAgreesWithTheRegexpEngine)
{
    const QStringList texts = kTexts + QStringList{
        QStringLiteral("<a href=x/> </b> <!x> a$b $1 #define X \\  [sec] k=v ifx if kk Kk.s"),
        QStringLiteral("aaaaaaaaaaaaaaaaaaaaaaaaab abab abc aab \"q\" 12.5e-3 x\r\ny\n"),
        QStringLiteral("\t# a | b;#c (#d) &#e #"), QStringLiteral("k  =v a \t: b=c x1 y22z key two = 3 a\t\t:x ab (a) b  ("),
        QStringLiteral("k= on \t"), QStringLiteral("ab:\tx"), QStringLiteral("=v"), QStringLiteral("n = 0x1F 12")};
    auto check = [&](const QString &pattern, bool caseless, const QStringList &on) {
        const std::optional<NativePattern> native = NativePattern::compile(pattern, caseless);
        if (!native)
            return false;
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (caseless)
            options |= QRegularExpression::CaseInsensitiveOption;
        const QRegularExpression re(pattern, options);
        for (const QString &text : on)
            for (int p = 0; p < text.size(); ++p) {
                int steps = 100000;
                const int got = native->matchAt(reinterpret_cast<const char16_t *>(text.utf16()), int(text.size()), p, steps);
                if (got == NativePattern::kUnknown)
                    continue;
                const auto m = re.match(text, p, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
                EXPECT_EQ(got, m.hasMatch() ? int(m.capturedLength()) : 0)
                    << pattern.toStdString() << (caseless ? " (caseless)" : "") << " at " << p << " of " << text.toStdString();
            }
        return true;
    };
    for (const char *pattern : {"/?>", "</?(?=[A-Za-z_:])", "\\$[A-Za-z_]\\w*", "#[ \\t]*define", "\\[[^\\]\\r\\n]*\\]",
                                "(?<![^\\s;|&()])#", "\\bif\\b", "^\\s*#", "\\w*\\w*b", "[^\\s\"]+x", "(?<=a|bc)\\w",
                                "(?<!\\w)(?!x)\\w+", "k+", "a{2,3}b", ".b", "\\Bs", "(ab)+c", "(?<=\\d)\\.", "b\\z", "\\d$",
                                "(?<n>a)b", "a(?=b|c)", "(a|b|c)d", "[0-9]+([uU](ll|l)?|(ll|l)[uU]?)?",
                                "[^\\s=:;#\\[][^=:\\r\\n]*?(?=[ \\t]*[=:])", "a*?b", "\\w+?(?=\\w*c)", "(a[a-z]*?b)+\\b", "[a-c]+?[a-c]+?b",
                                "<[^>]*?(?=>)", "[^\\s]*?\\$", "k\\w*?",
                                "\\w+(?=[ \\t]*=)", "\\w(?![ \\t]{2,}[=:])", "[a-z](?=[a-z]*\\d)",
                                "(?<=[=:]|[=:] |[=:]\\t)(v|x|y|on)(?=[ \\t]*$)", "(?<!a)(b|c|d)[ \\t]*\\z", "(x|y|b)(?=[^\\w](?=\\())",
                                "(u8|[uUL])?\"", "(a|ab)(?!c)x?", "[ak](?=b)|k|ab", "#[ \\t]+define", "(=|:)[ \\t]*[a-z]"})
        for (bool caseless : {false, true})
            EXPECT_TRUE(check(QString::fromUtf8(pattern), caseless, texts)) << pattern << " refused";
    for (const char *pattern : {"(ab)*?c", "(?=a*?b)", "a{2,4}?", "\\[.*?\\]", "a++", "(a)\\1", "(?i)a", "(?>a)", "(\\ba|b|c)d", "(a+|b)(a|c)", "(a|b)(c|d)\\s*$", "(a|b)(c|d)[b-d]*?e", "(a?)*", "\\Ga", "[é]"})
        EXPECT_FALSE(NativePattern::compile(QString::fromUtf8(pattern), true)) << pattern;
    // A few fixed ways are compared without running the program (a repeat among them only where what
    // follows cannot take what it takes); other repeats, lookbehinds, an empty way or many ways run it.
    auto fixed = [](const char *pattern) {
        const std::optional<NativePattern> native = NativePattern::compile(QString::fromUtf8(pattern), false);
        return native && native->fixed();
    };
    for (const char *pattern : {"/?>", "</?(?=[A-Za-z_:])", "(u8|[uUL])?\"", "(a|ab)(?!c)x?", "#[ \\t]*define"})
        EXPECT_TRUE(fixed(pattern)) << pattern;
    for (const char *pattern : {"a+", "(?<=a)b", "a?", "(a|b|c)(d|e|f)[gh]?", "(?=ab)a", "#[ \\td]*define"})
        EXPECT_FALSE(fixed(pattern)) << pattern;

    int used = 0;
    for (const QString &f : QDir(TestUtil::sourcePath("data/languages")).entryList({"*.lng"})) {
        const QString file = TestUtil::sourcePath("data/languages/" + f);
        LanguageDefinition def;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(file, def, error));
        const QStringList on = texts + QStringList{QString::fromUtf8(TestUtil::readFile(file.left(file.size() - 4) + ".txt")).left(1500)};
        for (const TokensetDefinition &set : def.tokensets)
            for (const TokenListDefinition *list : {&set.tokens, &set.tokens2})
                for (const TokenDefinition &token : list->tokens)
                    if (token.regexp)
                        used += check(token.text, !set.casesensitive, on);
    }
    EXPECT_GT(used, 20);
}

// Gates turn away only places where the regexp engine finds no match, and give one answer for every
// place of a run (which the scanner reads once): for patterns that need a character after a run of
// varying length, behind alternatives, lazy, possessive and atomic repeats, lookarounds and ".", with
// and without case. They do turn away the numbers and words they are for; a fixed text before the
// character needed makes none.
TEST(EnginePatterns, GatesTurnAwayOnlyPlacesWithoutAMatch)
{
    const QStringList texts = kTexts + QStringList{QStringLiteral("0x1F 0x1.8p3 0x.Ap-2f 0X2P+1L 12.5e-3 12e5 123) .5 7. 3.x"),
                                                   QStringLiteral("kw12_3 ab_12 a_1 _12 key = v k\u212A_12 KW_12 k\t: x ;")};
    const char *patterns[] = {"0[xX]([0-9A-Fa-f]+\\.?[0-9A-Fa-f]*|\\.[0-9A-Fa-f]+)[pP][+-]?[0-9]+[fFlL]?",
                              "([0-9]+\\.([0-9]+)?|\\.[0-9]+)([eE][+-]?[0-9]+)?[fFlL]?", "[0-9]+[eE][+-]?[0-9]+",
                              "[a-z]+_12\\b", "k+_\\d", "a*?b+c", "(?>a+|x)_", "\\w++:", "(a|bc)+d", "(?<=\\d)[a-z]+\\.",
                              "(?:[A-Z][a-z]*)+_", ".+;", "[^\"]*\"", "\\w+(?=\\s*=)\\s*="};
    int gated = 0;
    for (const char *pattern : patterns) {
        for (bool caseless : {false, true}) {
            const QString p = QString::fromUtf8(pattern);
            const NativePattern::Analysis analysis = NativePattern::analyse(p, caseless);
            gated += !analysis.gates.empty();
            const QRegularExpression re(p, QRegularExpression::UseUnicodePropertiesOption
                                               | (caseless ? QRegularExpression::CaseInsensitiveOption : QRegularExpression::NoPatternOption));
            for (const QString &text : texts) {
                const auto *u = reinterpret_cast<const char16_t *>(text.utf16());
                const int n = int(text.size());
                for (int at = 0; at < n; ++at)
                    for (const NativePattern::Gate &gate : analysis.gates) {
                        int end = at;
                        const bool open = gate.open(u, n, at, end);
                        const auto m = re.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
                        EXPECT_TRUE(open || !m.hasMatch()) << pattern << " at " << at << " of " << text.toStdString();
                        for (int q = at + 1, e; q <= end && q < n; ++q)
                            EXPECT_EQ(gate.open(u, n, q, e), open) << pattern << " at " << q << " of " << text.toStdString();
                    }
            }
        }
    }
    EXPECT_EQ(gated, 2 * int(std::size(patterns)));
    auto turnsAway = [](const char *pattern, const QString &text) {
        int end = 0;
        for (const NativePattern::Gate &gate : NativePattern::analyse(QString::fromUtf8(pattern), false).gates)
            if (!gate.open(reinterpret_cast<const char16_t *>(text.utf16()), int(text.size()), 0, end))
                return true;
        return false;
    };
    EXPECT_TRUE(turnsAway(patterns[0], QStringLiteral("0x1F)")));
    EXPECT_FALSE(turnsAway(patterns[0], QStringLiteral("0x1Fp")));
    EXPECT_TRUE(turnsAway(patterns[1], QStringLiteral("123)")));
    EXPECT_TRUE(turnsAway(patterns[3], QStringLiteral("kw12_3"))); // the first gate: "_" after the letters
    EXPECT_TRUE(turnsAway(".+;", QStringLiteral("no semicolon")));
    for (const char *fixed : {"kw1(_[0-9]+)?", "ab[xy]", "[a-z]"})
        EXPECT_TRUE(NativePattern::analyse(QString::fromUtf8(fixed), false).gates.empty()) << fixed;
}

// The text a line must hold for a pattern to match there: plain characters that every match holds,
// never one that is optional, repeated apart, hidden in an escape or a class, or changed by options.
TEST(EnginePatterns, RequiredTextIsInEveryMatch)
{
    const struct {
        const char *pattern;
        const char *text;
    } cases[] = {{"[a-z]+_12\\b", "_12"}, {"\\w+ab?cd", "cd"}, {"a+bc", "bc"}, {"x{2}yy[]z]qq", "yy"},
                 {"\\x41bc", ""}, {"\\x{41}bc", "bc"}, {"\\p{L}pq\\.r", "pq.r"}, {"(?:ab|cd)ef|gh", ""},
                 {"(?i)abc", ""}, {"[[:alpha:]]kk(l)m", "kk"}, {"\\12ab", "ab"}, {"\\Qab\\E", ""},
                 {"\\d{1,2}0123456789", "01234567"}, {"a\\-b", "a-b"}, {"a{", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(PatternAnalysis::requiredText(QString::fromUtf8(c.pattern), false, 8), QString::fromUtf8(c.text)) << c.pattern;
    EXPECT_EQ(PatternAnalysis::requiredText(QStringLiteral("xéy"), true, 8), QStringLiteral("x"));
    // Texts that must lie ahead of a match's start: a lookahead's too, unless it is optional, negative,
    // behind or holds alternatives; none where \K moves the start.
    const struct {
        const char *pattern;
        const char *texts;
    } ahead[] = {{"#(d\\b)?(?=.*\\\\\\s*$)", "#|\\"}, {"ab(?=x(?=.*yz)w)", "ab|x|yz"}, {"a\\Kbc", ""},
                 {"p(?=qq)?(?!rr)(?<=ss)", "p"}, {"(?=a|bb)cc", "cc"}, {"(?=.*aa)|b", ""}};
    for (const auto &c : ahead) {
        QStringList texts;
        texts.prepend(PatternAnalysis::requiredText(QString::fromUtf8(c.pattern), false, 8, &texts));
        EXPECT_EQ(texts.join(u'|'), QString::fromUtf8(c.texts)) << c.pattern;
    }
    // A class every match needs a character of, from its start on (the fewest members below 128);
    // none that is optional, negated, behind, in a negative lookahead or beside an alternative.
    const struct {
        const char *pattern;
        const char *members;
    } classes[] = {{"[^\\s=:;#\\[][^=:\\r\\n]*?(?=[ \\t]*[=:])", ":="}, {"\\w+[eE][+-]?\\d", "Ee"}, {"a?[xy]+z*", "xy"},
                   {"[^a]b", "b"}, {"(?=[ab])|c", ""}, {"x\\Ky", ""}, {"(?![q])(?<=r)[st]", "st"}, {".*\\b", ""}};
    for (const auto &c : classes) {
        QString members;
        if (const auto f = PatternAnalysis::requiredChars(QString::fromUtf8(c.pattern), false))
            for (char16_t u = 0; u < 128; ++u)
                if (f->test(u))
                    members += QChar(u);
        EXPECT_EQ(members, QString::fromUtf8(c.members)) << c.pattern;
    }
    EXPECT_TRUE(PatternAnalysis::requiredChars(QStringLiteral("[=:]"), true)->nonAscii); // the Kelvin sign folds to k
    // A closing run to the line's end is known only where nothing may change what "$" means or where
    // the lookahead stands.
    EXPECT_TRUE(PatternAnalysis::endRun(QStringLiteral("(a|b)\\d(?=[ \\t]*$)"), false));
    for (const char *p : {"(?m)\\d(?=[ \\t]*$)", "(*CR)\\d(?=[ \\t]*$)", "a|\\d(?=[ \\t]*$)", "\\d(?=[ \\t]*$)x", "\\d(?=[ \\t]+$)",
                          "(\\d(?=[ \\t]*$))?", "\\d\\(?=[ \\t]*$)"})
        EXPECT_FALSE(PatternAnalysis::endRun(QString::fromUtf8(p), false)) << p;
}

// Lookaheads to the line end, answered once per line by a callout, agree with the regexp engine at
// every position: positive and negative, ".+" and lazy, nested, inside groups and repeats, on lines
// where "." stops early; patterns with back references or option settings are matched as written.
TEST(EnginePatterns, LookaheadsToTheLineEndAgreeWithTheRegexpEngine)
{
    const QStringList texts = kTexts + QStringList{QStringLiteral("#define x \\  "), QStringLiteral("# a\\ b\\"),
                                                   QStringLiteral("ab\ncd\\ a\\"), QStringLiteral("aaxa ya xz y")};
    CompiledPattern::Scratch scratch;
    for (const char *pattern : {"#([ \\t]*define\\b)?(?=.*\\\\\\s*$)", "\\w+(?!.*x)", "a(?=.+a)", "(?:b(?=.*?c)|d)+",
                                "(?=.*\\d)\\w", "x(?=.*(?!.*y)z)", "(?<=a)(?=.*[\\]y])", "(?=.*a|y)\\w", "(\\w)(?=.*\\1)",
                                "(?i)a(?=.*Y)", "[(?=.*]x(?=.*y)", "\\s(?=.*\\\\$)"}) {
        for (bool caseless : {false, true}) {
            const QString p = QString::fromUtf8(pattern);
            const auto compiled = CompiledPattern::get(p, caseless);
            const QRegularExpression re(p, QRegularExpression::UseUnicodePropertiesOption
                                               | (caseless ? QRegularExpression::CaseInsensitiveOption
                                                           : QRegularExpression::NoPatternOption));
            ASSERT_TRUE(compiled && re.isValid()) << pattern;
            for (const QString &text : texts) {
                scratch.newSubject();
                for (int at = 0; at <= text.size(); ++at) {
                    const auto want = re.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
                    const auto got = compiled->match(reinterpret_cast<const char16_t *>(text.utf16()), int(text.size()), at,
                                                     true, 100000, scratch);
                    EXPECT_EQ(got.result == CompiledPattern::Match::Found ? got.length : -1,
                              want.hasMatch() ? int(want.capturedLength()) : -1)
                        << pattern << " at " << at << " of " << text.toStdString();
                }
            }
        }
    }
}

// The shortcuts of the scanner (native patterns, first characters and literal prefixes, skipping word
// interiors, words looked up whole, closer characters, regexps that are plain text matched as
// literals) change nothing: every shipped language colours its sample, and the sample mangled,
// exactly as without them; so
// does a language of thousands of literal, plain-text and prefixed regexp tokens, and of regexp tokens
// that begin with a class but hold a text (tried only on lines that hold it).
TEST(EnginePatterns, ShortcutsNeverChangeTheColours)
{
    std::vector<std::tuple<LanguageDefinition, QString, int>> cases; // definition, sample, mangled copies
    QStringList files = QDir(TestUtil::sourcePath("data/languages")).entryList({"*.lng"});
    for (QString &f : files)
        f = TestUtil::sourcePath("data/languages/" + f);
    for (const QString &file : files << TestUtil::sourcePath("data/xml.lng")) {
        LanguageDefinition def;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(file, def, error)) << error.toString().toStdString();
        const QString sample = QString::fromUtf8(TestUtil::readFile(file.left(file.size() - 4) + ".txt"));
        cases.emplace_back(def, sample.isEmpty() ? QString::fromUtf8(TestUtil::readFile(file)) : sample, 20);
    }
    QStringList regexps, plain, literals, classes;
    QString words;
    for (int i = 0; i < 1000; ++i) {
        regexps << QStringLiteral("kw%1(_[0-9]+)?").arg(i);
        if (i < 200) // each holds a text that lines are searched for: "_N", "-N:", "Nx", "_N"
            classes << QStringLiteral("[a-z]+_%1").arg(i) << QStringLiteral("(?:\\w|\\.)\\-%1:?:").arg(i)
                    << QStringLiteral("\\d*%1x+").arg(i) << QStringLiteral("[A-Z]?_%1").arg(i);
        plain << QStringLiteral("pw%1").arg(i);
        literals << QStringLiteral("lw%1").arg(i);
        const char *kind[] = {"kw", "KW", "pw", "lw", "x"};
        words += QLatin1String(kind[i % 5]) + QString::number(i * 7 % 1100) + (i % 4 ? QStringLiteral(" ") : QStringLiteral("_%1\n").arg(i % 9));
    }
    words += QStringLiteral("ab_12 z-7:: 33x 9xx _5 A_150 b.-3:: 1x é-12:\n");
    cases.emplace_back(EngineTest::language({EngineTest::listSet("R", regexps, true, "word"), EngineTest::listSet("P", plain, true, "word"),
                                             EngineTest::listSet("L", literals, false, "word"), EngineTest::listSet("C", classes, true)}),
                       words, 0);
    // Literals that hold to word ends where only lower case letters are word characters: a capital
    // after a word folds to one, so a longer literal can still match there; and a capital that begins
    // a match after a word begins no word, so the match may begin there.
    LanguageDefinition lower = EngineTest::language({EngineTest::listSet("W", {"if", "ifx", "x.y", "st", "abc"}, false, "word"),
                                                     EngineTest::listSet("V", {"do", "un(?:til)?"}, true, "word")});
    lower.wordchars = QStringLiteral("[a-z]");
    cases.emplace_back(lower, QStringLiteral("if ifx ifX IFX iF if. x.y ifxx \u017Ft ST abC abc_ ab\nif xDO xdo xUNTIL xUn xunT\nxIF"), 10);
    // Regexps that need a text ahead of them, which the line is searched for first, or a character
    // just before them (without case: the Kelvin sign is a k).
    LanguageDefinition ahead = EngineTest::language({EngineTest::listSet("A", {"a\\w*(?=.*k:)", "#x?(?=.*\\\\$)", "(ab|cd)://\\S*", "[b-z]\\w*?(?=[ \\t]*[=:])", "[uv]?[\"']\\d?\\d",
                                                                           "(?<=[=:]|= |x\\t)on", "(?<=\\bif )/x", "(?<=\\(|a\\])c", "(?<=é|k)z",
                                                                           "(?<=[=:]|: )(\\d+|0x[\\da-f]+)(?=[ \\t]*$)", "(?<=t )(ab|\\d)+(?=\\s*$)", "(?<=u )[a-z ]+(?=[ \\t]*$)", "(?<=w )[1-3]+(?=\\s*$)"}, true)});
    ahead.tokensets[0].casesensitive = false;
    // Characters that one token alone may begin with: one-character literals of either case, with and
    // without rules, beside closers; a class matched natively, held to word ends or not. Longer
    // literals and prefixes looked for by their second character, in either case. A regexp held to
    // word ends whose first match ends inside a word, and whose later ways hold other characters.
    LanguageDefinition one = EngineTest::language({EngineTest::listSet("S", {";", "q", "Q", "-", "-Q"}), EngineTest::listSet("W", {"q", "z", "z-k"}, false, "word"),
                                                   EngineTest::listSet("D", {"\\d", "[ \\t]+", "=k\\w*", "x[0-9]+(?:|y(?:_z)?)"}, true, "word"),
                                                   EngineTest::scopeSet("P", 4, {"("}, {")", ";"})});
    one.tokensets[0].casesensitive = true;
    cases.emplace_back(one, QStringLiteral("q Q qz z; (a;b) 1 x1 \t( q;Z)Q zq -Q -q z-K z-k z-\u212A =K =k =x\nx12y x12z x1y_z x1_ x2yq x3y_\n"), 20);
    cases.emplace_back(ahead, QStringLiteral("ab a\u212A: abc k: ak:\n#x a # \\\nab://x cd:/ x://y AB://\n"
                                             "v: 0x1F \t\nv=12 a\nv: 3\r\nv=4 \u00E9\nv=5\u00E9 \nt ab1 \nt 12\nua b  \nu   \nw 12\u00A0\n"
                                             "on =on := on x\ton yon if /x xif /x abc ac bc (c a]c \u00E9z \u212Az Kz kz\nkey = v key2\t: x\nno equals \u00E9 here\nv\"2 \"1"), 20);

    // Patterns of a few fixed ways, and rules whose column or leading character is looked at before
    // the regexp is tried.
    LanguageDefinition ways = EngineTest::language({EngineTest::listSet("F", {"</?(?=[a-z])", "/?>", "(u8|[uU])?\"x"}, true),
                                                    EngineTest::listSet("L", {"[a-z]\\w*", "\\d+(?=[ /])"}, true, "leadwith[</]"),
                                                    EngineTest::listSet("C", {"[a-z]+"}, true, "col3")});
    cases.emplace_back(ways, QStringLiteral("<a/> </b> <\u00E9 x=1 /> ab abc\n/> </ <1 u8\"x U\"x \"x u8\u00E9 <\u212A />\nabcd"), 20);
    // A closer of fixed ways that looks at a character from 128 up.
    LanguageDefinition closeWays = EngineTest::language({EngineTest::scopeSet("S", 4, {"{"}, {"\\}(?=[^a])"}, false, true)});
    cases.emplace_back(closeWays, QStringLiteral("{x}a}\u00E9 {}}b\n{}"), 20);

    // Places passed over once the regexps that may begin there can match nowhere further on the line:
    // no '=' ahead, no search match ahead, past the run before the line's closing blanks.
    LanguageDefinition dead = EngineTest::language({EngineTest::listSet("K", {"[a-z][a-z ]*?(?=[ \\t]*=)", "q[a-z]*(x|zz)\\b(?=.*;)",
                                                                          "(?<=: )[a-z]+(?=[ \\t]*$)", "[ \\t]+"}, true),
                                                    EngineTest::scopeSet("V", 1, {"="}, {";"})});
    cases.emplace_back(dead, QStringLiteral("ab cd = ef; qabx qzz; gh\nab cd ef qabx qzz gh\nqa: ab \t\nk: ab cd\u00E9 qx;\nab \u00E9 = c"), 20);
    // What was found out for the rest of a line in one context counts in no other: inside the scope,
    // "q" begins another regexp.
    LanguageDefinition deadOutside = EngineTest::language({EngineTest::listSet("K", {"[pq][a-z]*(x|zz)\\b(?=.*;)"}, true),
                                                           EngineTest::listSet("M", {"[pq][a-z]*(y|ww)\\b"}, true),
                                                           EngineTest::scopeSet("V", 4, {"("}, {")"})});
    deadOutside.tokensets[1].validscopes = QStringList{QStringLiteral("V")};
    cases.emplace_back(deadOutside, QStringLiteral("qay qax (qay qaww) qay\nqax; (qzz qay)"), 20);

    // A pattern of fixed ways sole at its one-character prefix where the next character begins no
    // longer literal or prefix: not before such a character, one from 128 up, or the line's end, nor
    // where a second token has that prefix.
    LanguageDefinition second = EngineTest::language({EngineTest::listSet("F", {"</?(?=[a-z])", "#(?=[0-9])", "#[0-9]x"}, true),
                                                      EngineTest::listSet("L", {"<!--", "<?"}),
                                                      EngineTest::listSet("P", {"<!\\w+", "#!"}, true)});
    cases.emplace_back(second, QStringLiteral("<a <!-- x <?p <!doc <1 <\u00E9 </b <\n#1x #2 #! #a #\n<\u00E9a"), 20);
    // Without case, by the next character's folded bucket; and where only longer literals begin.
    LanguageDefinition secondFolded = EngineTest::language({EngineTest::listSet("M", {"m(?=x)"}, true), EngineTest::listSet("N", {"mailto", "qz"})});
    cases.emplace_back(secondFolded, QStringLiteral("Mailto MX mx mailto maIL q qz QZ Qz\nq"), 20);

    // Characters from 128 up where nothing may begin, and those that fold to a letter that does.
    LanguageDefinition beyond = EngineTest::language({EngineTest::listSet("L", {"kq"}), EngineTest::listSet("S", {"[sz]+", "[ \\t]+"}, true)});
    beyond.tokensets[0].casesensitive = beyond.tokensets[1].casesensitive = false;
    cases.emplace_back(beyond, QStringLiteral("\u212Aq kq \u017F\u017Fz \u00E9 q\u212A\u212Aq"), 20);

    // Words looked up whole, except where a closer of the open scopes may begin inside one.
    LanguageDefinition whole = EngineTest::language({EngineTest::listSet("K", {"bend", "lend", "be", "x"}, false, "word"),
                                                     EngineTest::scopeSet("B", 5, {"begin"}, {"end"})});
    cases.emplace_back(whole, QStringLiteral("bend begin bend lend BEnd be x xend endx end bend\nlend be_x x.bend"), 20);

    // Words looked up whole where regexps of a few fixed ways may begin with their first character too,
    // each ending the word it begins at (a string's prefix): not where the word is followed by a
    // character such a way ends in; and not at all where a way may end inside a word.
    LanguageDefinition prefixed = EngineTest::language({EngineTest::listSet("K", {"unsigned", "u8", "Lx"}, false, "word"),
                                                        EngineTest::scopeSet("S", 4, {"(u8|[uUL])?\""}, {"\""}, true, true),
                                                        EngineTest::listSet("C", {"(u|L)?'"}, true)});
    cases.emplace_back(prefixed, QStringLiteral("u\"a\" u8\"b\" L'x' unsigned U\"c\" ux\"d\" u8x\"e\" Lx' uL\"f\" u8' u\u00E9\"g\""), 20);
    LanguageDefinition inside = EngineTest::language({EngineTest::listSet("K", {"unsigned", "vw"}, false, "word"),
                                                      EngineTest::listSet("R", {"[uv]w?"}, true)});
    cases.emplace_back(inside, QStringLiteral("unsigned uw vw v u unsignedx"), 20);

    // A regexp held to word ends is not tried where the characters its matches may hold cannot reach
    // the length of a match found there already (a decimal number's at "0x1F"), and is where they can.
    LanguageDefinition numbers = EngineTest::language({EngineTest::listSet("N", {"0[xX][0-9a-fA-F]+", "[0-9]+[uU]?", "[0-9]+\\.[0-9]*"}, true, "word"),
                                                       EngineTest::listSet("L", {"1", "0x", "12", "9"})});
    cases.emplace_back(numbers, QStringLiteral("12 123 0x1F 1u 0x 12u 1x 9.5 12. 0x1Fu 0X9"), 20);

    // A character that one simple token may begin with wherever the character before is none that
    // the other tokens there ask for (a lookbehind, leadwith): at a line's start, after a character
    // from 128 up, after one they ask for and after others.
    LanguageDefinition after = EngineTest::language({EngineTest::listSet("N", {"(?<=[=:]|: )\\d+x?"}, true),
                                                     EngineTest::listSet("E", {"[a-z]\\w*"}, true, "leadwith[<]"),
                                                     EngineTest::listSet("T", {"\\S"}, true)});
    cases.emplace_back(after, QStringLiteral("=12 :3 : 4 a12 <ab xab \u00E91 \u00E9<a 1x\n5 <a\n=x7 :x"), 20);

    // After a character of its leadwith, a token takes the place of a later one whose matches are as
    // long (the same class after the first character), where no other token asks for that character
    // before it; not where the later one's matches may be longer.
    LanguageDefinition lead = EngineTest::language({EngineTest::listSet("E", {"[a-z][\\w.]*"}, true, "leadwith[</]"),
                                                    EngineTest::listSet("U", {"(?<=[=<])[a-z]+!"}, true),
                                                    EngineTest::listSet("A", {"[a-z@][\\w.]*"}, true), EngineTest::listSet("W", {"[ \\t]+"}, true)});
    const QString leadText = QStringLiteral("<abc def=ghi! <ab! /ab! <x.y@z <\u00E91 a<b.c /b\u00E9c\n<ab\u00E9cd =ab /a");
    cases.emplace_back(lead, leadText, 20);
    LanguageDefinition longer = lead;
    longer.tokensets[0].tokens.tokens[0].text = QStringLiteral("[a-z][a-z]*");
    cases.emplace_back(longer, leadText, 20);

    // Runs of characters that a one-character token alone matches, each its own match: they stop at
    // a character of another such token, at a closer of the open scope, where a lookbehind token may
    // begin (after a character of the run too), at a character from 128 up, and at a blank.
    LanguageDefinition chars = EngineTest::language({EngineTest::listSet("T", {"[a-z)]"}, true), EngineTest::listSet("D", {"[0-9]"}, true),
                                                     EngineTest::listSet("K", {"(?<=[#x])[q)]"}, true), EngineTest::listSet("W", {"[ \\t]+"}, true),
                                                     EngineTest::scopeSet("P", 4, {"("}, {")"})});
    chars.tokensets[0].validscopes = chars.tokensets[1].validscopes = chars.tokensets[2].validscopes =
        QStringList{QString(), QStringLiteral("P")};
    cases.emplace_back(chars, QStringLiteral("abc12de(xy)z) qq#q aqqxqq a\u00E9b a1 (a)b\n)x(\n"), 20);

    QRandomGenerator random(42);
    const QString alphabet = QStringLiteral("\"'/*{}()<>#$%&;:=\\ \n\tabcXYZ019_éK\u212A-.,😀𝐀");
    for (const auto &[def, sample, copies] : cases) {
        Highlighter fast(CompiledLanguage::compile(def, true));
        Highlighter slow(CompiledLanguage::compile(def, false));
        QString text = sample;
        for (int round = 0; round <= copies; ++round, text = sample) {
            for (int k = 0; round > 0 && k < 30 && !text.isEmpty(); ++k) { // round 0: the sample itself
                const int at = int(random.bounded(text.size()));
                if (random.bounded(2))
                    text.remove(at, 1 + int(random.bounded(3)));
                else
                    text.insert(at, alphabet[int(random.bounded(alphabet.size()))]);
            }
            ASSERT_EQ(fast.highlightText(text), slow.highlightText(text)) << def.fileName.toStdString() << "\n" << text.toStdString();
        }
    }
}
