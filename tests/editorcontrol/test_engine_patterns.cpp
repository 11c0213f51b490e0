// The shortcuts that spare the regexp engine calls must agree with it: the native matcher gives the
// same match length, the first-character filter never rejects a position where a match begins.
#include "test_engine_support.h"

#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
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

// The native matcher gives the regexp engine's match length; the first-character filter never
// rejects a position where a match begins. Patterns they do not model get no shortcut.
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
        });
    for (const char *pattern : {"(u8|[uUL])?\"", "#[ \\t]*(include|define)", "0[xX][0-9A-Fa-f]+", "(https?|ftp)://\\S+",
                                "([0-9]+\\.([0-9]+)?|\\.[0-9]+)([eE][+-]?[0-9]+)?", "[^\\s\"]+x", "(?:ab|cd)*e",
                                "a{0,2}b", "\\\\[nt]", "k\\w*", "[a-z]{2,}", "(\\d|_)+a"})
        forEveryPosition(QString::fromUtf8(pattern), [&](bool caseless, const QString &text, int p, int length) {
            const auto first = PatternAnalysis::firstChars(QString::fromUtf8(pattern), caseless);
            ASSERT_TRUE(first.has_value()) << pattern;
            if (length > 0)
                EXPECT_TRUE(first->test(text[p].unicode())) << pattern << " at " << p;
        });

    for (const char *pattern : {"a|b", "(ab)+", "\\w+?", "\\bx", "a{2}", ".+", "[[:alpha:]]", "\\x41", "\\p{L}", "ab", "^a"})
        EXPECT_FALSE(PatternAnalysis::simplePattern(QString::fromUtf8(pattern), false).has_value()) << pattern;
    for (const char *pattern : {"a*", "(?=a)a", "\\bword", ".x", "^#", "(a|)"}) // may match empty, or not modelled
        EXPECT_FALSE(PatternAnalysis::firstChars(QString::fromUtf8(pattern), false).has_value()) << pattern;
}

// The shortcuts of the scanner (native patterns, first characters, skipping word interiors, closer
// characters) change nothing: every shipped language colours its sample, and the sample mangled,
// exactly as without them.
TEST(EnginePatterns, ShortcutsNeverChangeTheColours)
{
    QStringList files = QDir(TestUtil::sourcePath("data/languages")).entryList({"*.lng"});
    for (QString &f : files)
        f = TestUtil::sourcePath("data/languages/" + f);
    files << TestUtil::sourcePath("data/xml.lng");
    ASSERT_GT(files.size(), 1);
    QRandomGenerator random(42);
    for (const QString &file : files) {
        LanguageDefinition def;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(file, def, error)) << error.toString().toStdString();
        QString sample = QString::fromUtf8(TestUtil::readFile(file.left(file.size() - 4) + ".txt"));
        if (sample.isEmpty())
            sample = QString::fromUtf8(TestUtil::readFile(file));
        Highlighter fast(CompiledLanguage::compile(def, true));
        Highlighter slow(CompiledLanguage::compile(def, false));
        const QString alphabet = QStringLiteral("\"'/*{}()<>#$%&;:=\\ \n\tabcXYZ019_éK\u212A-.,😀𝐀");
        QString text = sample;
        for (int round = 0; round <= 20; ++round, text = sample) {
            for (int k = 0; round > 0 && k < 30 && !text.isEmpty(); ++k) { // round 0: the sample itself
                const int at = int(random.bounded(text.size()));
                if (random.bounded(2))
                    text.remove(at, 1 + int(random.bounded(3)));
                else
                    text.insert(at, alphabet[int(random.bounded(alphabet.size()))]);
            }
            ASSERT_EQ(fast.highlightText(text), slow.highlightText(text)) << file.toStdString() << "\n" << text.toStdString();
        }
    }
}

// Thousands of tokens: literals, regexps that are plain text and regexps found by their literal
// prefix colour a text with the shortcuts as without them.
TEST(EnginePatterns, ThousandsOfTokensWithAndWithoutShortcuts)
{
    QStringList regexps, plain, literals;
    for (int i = 0; i < 3000; ++i) {
        regexps << QStringLiteral("kw%1(_[0-9]+)?").arg(i);
        plain << QStringLiteral("pw%1").arg(i);
        literals << QStringLiteral("lw%1").arg(i);
    }
    const LanguageDefinition def = EngineTest::language({EngineTest::listSet("R", regexps, true, "word"),
                                                         EngineTest::listSet("P", plain, true, "word"),
                                                         EngineTest::listSet("L", literals, false, "word")});
    QString text;
    for (quint32 seed = 7; text.size() < 20000;) {
        seed = seed * 1664525u + 1013904223u;
        const char *kind[] = {"kw", "KW", "pw", "lw", "x"};
        text += QLatin1String(kind[(seed >> 24) % 5]) + QString::number((seed >> 8) % 3300)
                + ((seed & 3) ? QStringLiteral(" ") : QStringLiteral("_%1\n").arg(seed % 7));
    }
    const QVector<StyleRun> fast = Highlighter(CompiledLanguage::compile(def, true)).highlightText(text);
    ASSERT_EQ(fast, Highlighter(CompiledLanguage::compile(def, false)).highlightText(text));
    for (int tokenset : {0, 1, 2})
        EXPECT_GT(std::count_if(fast.begin(), fast.end(), [&](const StyleRun &r) { return r.tokenset == tokenset; }), 100);
}
