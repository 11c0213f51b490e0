#pragma once

#include "editorcontrol/highlighter.h"

#include <QHash>
#include <QPair>

#include <memory>

struct LiteralToken;

namespace Lint {

class LanguageView;

// Asks the colouring engine itself whether a literal token can ever win: the token is put in short
// lines (with neighbours its rule allows) in every context where it is valid, each line is coloured,
// and the run at the token's place tells who won there.
class TokenProbe {
public:
    struct Result {
        enum Kind { Wins, Loses, Unknown, Impossible };
        Kind kind = Unknown;
        StyleRun winner; // when Loses: the run that took the token's place
    };

    explicit TokenProbe(const LanguageView &view);
    ~TokenProbe();

    // Token `token` of the first list of written tokenset `tokenset` (a literal).
    Result startToken(int tokenset, int token);
    // End token `token` of written scope tokenset `tokenset` (a literal): does it close the scope?
    Result endToken(int tokenset, int token);

private:
    struct Target;
    Result probe(const Target &target);
    const LiteralToken *earlierTwin(int literal) const;

    const LanguageView &view_;
    std::unique_ptr<Highlighter> highlighter_;
    QHash<QPair<int, int>, int> literals_; // (tokenset, token) -> index of the compiled literal
};

} // namespace Lint
