#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/languagedefinition.h"
#include "model/language.h"

#include <QString>
#include <QVector>

#include <vector>

namespace Lint {

// A token as an exported definition holds it, beside the line of the token list text it came from.
struct ViewToken {
    TokenDefinition token; // text, action, regexp and rule as the definition reader reads them
    QString line;          // the line of the token list text, without the blanks around it
};

// One used slot of the record.
struct ViewTokenset {
    int slot = 0;
    int written = -1;      // index among the tokensets the definition holds; -1 when not included
    QVector<ViewToken> starts; // the first list (list tokens, or a scope's start tokens)
    QVector<ViewToken> ends;   // the second list, written for scope tokensets only
};

// What a Language record means to the colouring engine: the definition the XML writer makes of it,
// as the definition reader reads it back (characters no file can hold replaced, no code page in
// between), and the language compiled from it.
class LanguageView {
public:
    explicit LanguageView(const Language &language);

    const Language &record() const { return record_; }
    const Tokenset &slot(const ViewTokenset &t) const { return record_.tokensets[size_t(t.slot)]; }
    const QVector<ViewTokenset> &tokensets() const { return tokensets_; }
    const LanguageDefinition &definition() const { return definition_; }
    const CompiledLanguage &compiled() const { return *compiled_; }
    const CompiledLanguagePtr &compiledPtr() const { return compiled_; }
    // The used slot written as definition tokenset `written`.
    const ViewTokenset &written(int written) const { return tokensets_[writtenSlots_[written]]; }
    // Whether the text can get into a context: 0 the outermost level, 1 + t inside scope tokenset t
    // (which must have a start token valid in a context the text gets into).
    bool reached(int context) const { return reached_[size_t(context)]; }

private:
    const Language &record_;
    QVector<ViewTokenset> tokensets_;
    QVector<int> writtenSlots_;
    LanguageDefinition definition_;
    CompiledLanguagePtr compiled_;
    std::vector<char> reached_;
};

// The definition text the XML writer makes of a language (every tokenset rebuilt, no options).
QString writtenXml(const Language &language);

// A regexp token's pattern compiled as the colouring engine compiles it (shared through its cache);
// nullptr, with `error`, when it does not compile.
CompiledPatternPtr tokenRegexp(const QString &pattern, bool caseless, QString *error = nullptr);

// Whether the definition reader reads a tokenset type as a scope ("scope" in any letter case, or 1).
bool readsAsScope(const QString &type);

} // namespace Lint
