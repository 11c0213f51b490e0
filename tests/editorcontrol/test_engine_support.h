#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const StyleRun &r, std::ostream *os)
{
    *os << "{" << r.start << "+" << r.length << " ts " << r.tokenset << " tok " << r.token << " kind " << int(r.kind) << "}";
}

// Definitions built in code for the engine tests, and a readable form of a coloured text: every run
// of a tokenset other than the plain text shown as [Name:text], runs of one tokenset merged.
namespace EngineTest {

inline TokenListDefinition tokenList(const QStringList &texts, bool regexp = false, const QString &rule = QString())
{
    TokenListDefinition list{true, regexp, rule, {}};
    for (const QString &t : texts)
        list.tokens.append(TokenDefinition{t, QString(), regexp, rule});
    return list;
}

inline TokensetDefinition listSet(const QString &name, const QStringList &tokens, bool regexp = false,
                                  const QString &rule = QString(), int id = 3)
{
    TokensetDefinition set;
    set.name = name;
    set.id = id;
    set.tokens = tokenList(tokens, regexp, rule);
    return set;
}

inline TokensetDefinition scopeSet(const QString &name, int id, const QStringList &starts, const QStringList &ends,
                                   bool singleLine = false, bool regexp = false)
{
    TokensetDefinition set;
    set.name = name;
    set.id = id;
    set.scope = true;
    set.singlelinescope = singleLine;
    set.tokens = tokenList(starts, regexp);
    set.tokens2 = tokenList(ends, regexp);
    return set;
}

inline LanguageDefinition language(const QVector<TokensetDefinition> &sets)
{
    LanguageDefinition def;
    def.fileName = QStringLiteral("test.lng");
    def.tokensets = sets;
    return def;
}

inline QString marked(Highlighter &highlighter, const QString &text)
{
    const CompiledLanguagePtr &language = highlighter.language();
    QString out;
    for (const StyleRun &r : highlighter.highlightText(text, true)) {
        const QString piece = text.mid(r.start, r.length);
        if (r.tokenset < 0 || r.tokenset == language->textTokenset())
            out += piece;
        else
            out += QLatin1Char('[') + language->tokensetName(r.tokenset) + QLatin1Char(':') + piece + QLatin1Char(']');
    }
    return out;
}

inline QString marked(const LanguageDefinition &definition, const QString &text)
{
    Highlighter highlighter(CompiledLanguage::compile(definition));
    return marked(highlighter, text);
}

// A table of texts and how each is marked.
struct MarkedCase { const char *name; LanguageDefinition definition; QString text, expected; };

inline void expectMarked(const std::vector<MarkedCase> &cases)
{
    for (const MarkedCase &c : cases)
        EXPECT_EQ(marked(c.definition, c.text), c.expected) << c.name;
}

} // namespace EngineTest
