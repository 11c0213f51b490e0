#include "test_engine_support.h"

#include <gtest/gtest.h>

namespace EngineTest {

TokenListDefinition tokenList(const QStringList &texts, bool regexp, const QString &rule)
{
    TokenListDefinition list;
    list.present = true;
    list.regexp = regexp;
    list.rule = rule;
    for (const QString &t : texts)
        list.tokens.append(TokenDefinition{t, QString(), regexp, rule});
    return list;
}

TokensetDefinition listSet(const QString &name, const QStringList &tokens, bool regexp, const QString &rule, int id)
{
    TokensetDefinition set;
    set.name = name;
    set.id = id;
    set.tokens = tokenList(tokens, regexp, rule);
    return set;
}

TokensetDefinition scopeSet(const QString &name, int id, const QStringList &starts, const QStringList &ends,
                            bool singleLine, bool regexp)
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

LanguageDefinition language(const QVector<TokensetDefinition> &sets)
{
    LanguageDefinition def;
    def.fileName = QStringLiteral("test.lng");
    def.name = QStringLiteral("Test");
    def.tokensets = sets;
    return def;
}

QString marked(const LanguageDefinition &definition, const QString &text)
{
    Highlighter highlighter(CompiledLanguage::compile(definition));
    return marked(highlighter, text);
}

QString marked(Highlighter &highlighter, const QString &text)
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

void expectMarked(const std::vector<MarkedCase> &cases)
{
    for (const MarkedCase &c : cases)
        EXPECT_EQ(marked(c.definition, c.text), c.expected) << c.name;
}

} // namespace EngineTest
