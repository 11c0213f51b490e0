#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"

#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

// Readable failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const StyleRun &r, std::ostream *os)
{
    *os << "{" << r.start << "+" << r.length << " ts " << r.tokenset << " tok " << r.token << " kind " << int(r.kind) << "}";
}
inline void PrintTo(const ScopeState &s, std::ostream *os)
{
    *os << "[";
    for (int i = 0; i < s.depth(); ++i)
        *os << " " << s.at(i).tokenset << "/" << s.at(i).token;
    *os << " ]";
}

// Definitions built in code for the engine tests, and a readable form of a coloured text.
namespace EngineTest {

TokenListDefinition tokenList(const QStringList &texts, bool regexp = false, const QString &rule = QString());

TokensetDefinition listSet(const QString &name, const QStringList &tokens, bool regexp = false,
                           const QString &rule = QString(), int id = 3);
TokensetDefinition scopeSet(const QString &name, int id, const QStringList &starts, const QStringList &ends,
                            bool singleLine = false, bool regexp = false);

LanguageDefinition language(const QVector<TokensetDefinition> &sets);

// The text with every run of a tokenset other than the plain text shown as [Name:text]; the
// runs of one tokenset are merged.
QString marked(const LanguageDefinition &definition, const QString &text);
QString marked(Highlighter &highlighter, const QString &text);

// A table of texts and how each is marked.
struct MarkedCase {
    const char *name;
    LanguageDefinition definition;
    QString text, expected;
};
void expectMarked(const std::vector<MarkedCase> &cases);

} // namespace EngineTest
