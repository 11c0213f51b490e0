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
};

int pcreLength(const QRegularExpression &re, const QString &text, int p)
{
    const auto m = re.match(text, p, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    return m.hasMatch() ? int(m.capturedLength()) : 0;
}

QRegularExpression compiled(const QString &pattern, bool caseless)
{
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (caseless)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, options);
}

} // namespace

TEST(EnginePatterns, NativeMatcherAgreesWithTheRegexpEngine)
{
    const QStringList simple = {
        "[ \\t]+", "\\s+", "\\w+", "\\d+", "[A-Za-z_]\\w*", "[a-z]+", "[^a-c ]+", "[\\W]", "x", "\\.",
        "[-+]", "[\\]]", "[^\\s\"]+", "\\S+", "[a-f\\d]+", "K+", "s", "[\\w-]+", "[À-ÿ]+", "\\$\\w*", "\\D\\d+",
    };
    for (const QString &pattern : simple) {
        for (bool caseless : {false, true}) {
            const auto sp = PatternAnalysis::simplePattern(pattern, caseless);
            ASSERT_TRUE(sp.has_value()) << pattern.toStdString();
            const QRegularExpression re = compiled(pattern, caseless);
            ASSERT_TRUE(re.isValid());
            for (const QString &text : kTexts)
                for (int p = 0; p < text.size(); ++p)
                    EXPECT_EQ(sp->matchAt(reinterpret_cast<const char16_t *>(text.utf16()), p, int(text.size())),
                              pcreLength(re, text, p))
                        << pattern.toStdString() << (caseless ? " (caseless)" : "") << " at " << p << " of "
                        << text.toStdString();
        }
    }
    // Anything more involved goes to the regexp engine.
    for (const char *pattern : {"a|b", "(ab)+", "\\w+?", "\\bx", "a{2}", ".+", "[[:alpha:]]", "\\x41", "\\p{L}", "ab", "^a"})
        EXPECT_FALSE(PatternAnalysis::simplePattern(QString::fromUtf8(pattern), false).has_value()) << pattern;
}

TEST(EnginePatterns, FirstCharacterFilterNeverRejectsAMatch)
{
    const QStringList patterns = {
        "(u8|[uUL])?\"", "#[ \\t]*(include|define)", "0[xX][0-9A-Fa-f]+", "([0-9]+\\.([0-9]+)?|\\.[0-9]+)([eE][+-]?[0-9]+)?",
        "(https?|ftp)://\\S+", "[^\\s\"]+x", "(?:ab|cd)*e", "a{0,2}b", "\\\\[nt]", "k\\w*", "[a-z]{2,}", "(\\d|_)+a",
    };
    for (const QString &pattern : patterns) {
        for (bool caseless : {false, true}) {
            const auto first = PatternAnalysis::firstChars(pattern, caseless);
            ASSERT_TRUE(first.has_value()) << pattern.toStdString();
            const QRegularExpression re = compiled(pattern, caseless);
            for (const QString &text : kTexts)
                for (int p = 0; p < text.size(); ++p)
                    if (pcreLength(re, text, p) > 0)
                        EXPECT_TRUE(first->test(text[p].unicode())) << pattern.toStdString() << " at " << p;
        }
    }
    // Patterns that may match empty, or that we do not model, get no filter.
    for (const char *pattern : {"a*", "(?=a)a", "\\bword", ".x", "^#", "(a|)"})
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
        QStringList texts = {sample};
        const QString alphabet = QStringLiteral("\"'/*{}()<>#$%&;:=\\ \n\tabcXYZ019_éK\u212A-.,");
        for (int round = 0; round < 20; ++round) {
            QString mangled = sample;
            for (int k = 0; k < 30 && !mangled.isEmpty(); ++k) {
                const int at = int(random.bounded(mangled.size()));
                if (random.bounded(2))
                    mangled.remove(at, 1 + int(random.bounded(3)));
                else
                    mangled.insert(at, alphabet[int(random.bounded(alphabet.size()))]);
            }
            texts << mangled;
        }
        Highlighter fast(CompiledLanguage::compile(def, true));
        Highlighter slow(CompiledLanguage::compile(def, false));
        for (const QString &text : texts)
            ASSERT_EQ(fast.highlightText(text), slow.highlightText(text)) << file.toStdString() << "\n" << text.toStdString();
    }
}
