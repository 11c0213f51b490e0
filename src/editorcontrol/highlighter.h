#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/scopestate.h"

#include <QStringView>
#include <QVector>

#include <algorithm>
#include <functional>

// One piece of coloured text. Runs of a line are contiguous and cover the whole line.
struct StyleRun {
    enum Kind : quint8 {
        Plain,      // text outside every token: the scope's content, or plain text (tokenset -1 or "text")
        Token,      // a token of a list tokenset
        ScopeStart, // the token that opened a scope
        ScopeEnd,   // the token that closed a scope
    };
    int start = 0;      // in characters (UTF-16 code units)
    int length = 0;
    int tokenset = -1;  // -1: the pane's default style
    int token = -1;     // index of the matched token in its list (tokens, or tokens2 for ScopeEnd); -1 for Plain
    Kind kind = Plain;
    friend bool operator==(const StyleRun &, const StyleRun &) = default;
};

struct CompiledLanguageData;

// Colours text with a compiled language, one line at a time: the scope state at the end of a line is
// the state at the start of the next, so an editor re-colours from an edited line only until the
// state it reaches equals the one it stored before.
//
// Time is linear in the length of a line: each line is checked once for broken surrogates (unless its
// caller knows it holds none), the regexp engine never re-validates it, and every regexp match is
// bounded (see matchLimit()).
class Highlighter {
public:
    explicit Highlighter(CompiledLanguagePtr language);
    ~Highlighter();
    Highlighter(const Highlighter &) = delete;
    Highlighter &operator=(const Highlighter &) = delete;

    const CompiledLanguagePtr &language() const { return language_; }
    struct Scanner; // per-line caches, reused between calls

    // Receives a line's runs in order, a batch at a time (offsets within the line).
    using RunSink = std::function<void(const StyleRun *runs, qsizetype count)>;

    // Colours one line (without its line break) starting in state `in`; hands the line's runs to
    // `sink` and returns the state at the start of the next line. A state moved in is grown in place.
    // `pairsWhole`: the line is known to hold no broken surrogate pair (decoded from bytes, see
    // TextSource::pairsWhole()) and is not looked through for one; a broken pair in it would reach
    // the regexp engine unchecked.
    ScopeState highlightLine(QStringView line, ScopeState in, const RunSink &sink, bool pairsWhole = false);
    // The same, replacing `runs` with the line's runs.
    ScopeState highlightLine(QStringView line, const ScopeState &in, QVector<StyleRun> &runs);
    // What highlightLine() does with an empty line, which holds no run (no token matches nothing):
    // the state loses its single-line scopes and what the language cannot hold, in place. Nothing to
    // do outside every scope.
    void passEmptyLine(ScopeState &state) const
    {
        if (!state.isOutermost())
            closeAtEmptyLine(state);
    }

    // Colours a whole text (lines end at LF, CR LF or CR). Offsets are within the text; a line break
    // takes the style of the scope that stays open across it. With `mergeByTokenset`, adjacent runs
    // of one tokenset become one run (kind of the first, token -1 when they differ).
    QVector<StyleRun> highlightText(QStringView text, bool mergeByTokenset = false);

    // The tokenset whose style plain text takes in a state: the innermost open scope's, or the text
    // tokenset's outside every scope. A line break takes it for the state after its line.
    int contentTokenset(const ScopeState &state) const
    {
        return state.isOutermost() ? textTokenset_ : state.innermostTokenset();
    }

    // Called with a message the first time a regexp token of the language runs out of steps (see
    // CompiledLanguage::matchLimitProblems()).
    void setLimitNotice(std::function<void(const QString &message)> notice);

    // The steps a regexp may take at one position of a line of `lineLength` characters before it
    // counts as no match there: enough for any pattern that works in time linear in what it
    // matches, far too few for one that backtracks without end. Once a pattern has run out of steps
    // on a line (`strict`), it gets only what a linear match needs for the rest of the line.
    static quint32 matchLimit(int lineLength, int position, bool strict)
    {
        // Patterns that match in linear time take one or two steps per character they match, plus a few.
        const quint32 rest = quint32(std::max(0, lineLength - position));
        return strict ? 16 + 2 * rest : 1000 + 4 * rest;
    }
    // The steps a regexp may take on a line of `lineLength` characters in all, once it has run out of
    // steps there: a fixed multiple of the line, after which it is no longer tried on that line.
    static qint64 lineBudget(int lineLength) { return 4096 + 32 * qint64(lineLength); }

private:
    void closeAtEmptyLine(ScopeState &state) const;

    CompiledLanguagePtr language_;
    std::unique_ptr<Scanner> scanner_;
    int textTokenset_ = -1; // the language's, as contentTokenset() gives it outside every scope
};
