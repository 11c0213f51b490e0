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
        });
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

// The shortcuts of the scanner (native patterns, first characters and literal prefixes, skipping word
// interiors, closer characters, regexps that are plain text matched as literals) change nothing:
// every shipped language colours its sample, and the sample mangled, exactly as without them; so
// does a language of thousands of literal, plain-text and prefixed regexp tokens.
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
    QStringList regexps, plain, literals;
    QString words;
    for (int i = 0; i < 1000; ++i) {
        regexps << QStringLiteral("kw%1(_[0-9]+)?").arg(i);
        plain << QStringLiteral("pw%1").arg(i);
        literals << QStringLiteral("lw%1").arg(i);
        const char *kind[] = {"kw", "KW", "pw", "lw", "x"};
        words += QLatin1String(kind[i % 5]) + QString::number(i * 7 % 1100) + (i % 4 ? QStringLiteral(" ") : QStringLiteral("_%1\n").arg(i % 9));
    }
    cases.emplace_back(EngineTest::language({EngineTest::listSet("R", regexps, true, "word"), EngineTest::listSet("P", plain, true, "word"),
                                             EngineTest::listSet("L", literals, false, "word")}),
                       words, 0);

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
