#pragma once

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/linematch.h"
#include "editorcontrol/lineregexps.h"
#include "editorcontrol/linetext.h"
#include "editorcontrol/scopestate.h"

// Included by highlighter.cpp alone: internal linkage lets the compiler inline the per-character
// calls as it did when these parts were one class.
namespace {

// The open scopes on a line: which end token closes which of them at a place (the innermost scope's,
// and those of enclosing scopes that chain through transparent scopes nested in them), what such a
// closer may begin with, and a state from elsewhere cut back to what the language can hold.
class LineScopes {
public:
    LineScopes(const CompiledLanguageData &d, const LineText &line, LineRegexps &regexps)
        : d(d), line(line), regexps(regexps), text(line.text), n(line.n)
    {
    }

    // The closers of the open scopes that match at p, into best.
    void tryAt(const ScopeState &state, int p, LineMatch &best)
    {
        for (int level = state.depth() - 1, rank = 0; level >= 0; --level, ++rank) {
            const CompiledTokenset &t = d.tokensets[size_t(state.at(level).tokenset)];
            if (rank == 0 || t.chain)
                tryClosers(state, level, rank, p, best);
            if (!t.transparent)
                break;
        }
    }

    // What a closer of the open scopes may begin with.
    PatternAnalysis::FirstChars closerChars(const ScopeState &state) const
    {
        PatternAnalysis::FirstChars fc;
        for (int level = state.depth() - 1, rank = 0; level >= 0; --level, ++rank) {
            const CompiledTokenset &t = d.tokensets[size_t(state.at(level).tokenset)];
            if (rank == 0 || t.chain) {
                fc.ascii[0] |= t.closerChars.ascii[0];
                fc.ascii[1] |= t.closerChars.ascii[1];
                fc.nonAscii = fc.nonAscii || t.closerChars.nonAscii;
            }
            if (!t.transparent)
                break;
        }
        return fc;
    }

    // A state from elsewhere (another language, a damaged cache) is cut back to its valid part.
    ScopeState validated(ScopeState state) const
    {
        for (int level = 0; level < state.depth(); ++level) {
            const int t = state.at(level).tokenset;
            if (t < 0 || size_t(t) >= d.tokensets.size() || !d.tokensets[size_t(t)].scope || level >= MaxScopeDepth) {
                state.truncate(level);
                break;
            }
        }
        return state;
    }

private:
    // Length of an end (or symmetrical start) token at p, or 0.
    int closerAt(const EndToken &e, int p)
    {
        int length = 0;
        if (e.isRegexp) {
            if (e.regexp < 0)
                return 0;
            // Patterns of fixed ways (a tag's "/?>") are compared here, without the general call.
            const Regexp &r = d.regexps[size_t(e.regexp)];
            length = r.direct == 2 ? r.native->matchFixed(text, n, p) : NativePattern::kUnknown;
            if (length == NativePattern::kUnknown)
                length = regexps.at(e.regexp, p);
            if (length > 0 && e.rule != 0 && !line.rulePasses(e.rule, p, length))
                return regexps.retryAt(e.regexp, e.rule, p);
            return length;
        } else {
            length = int(e.text.size());
            if (length == 0 || p + length > n)
                return 0;
            const char16_t *t = reinterpret_cast<const char16_t *>(e.text.constData());
            if (e.caseSensitive) {
                for (int i = 0; i < length; ++i)
                    if (text[p + i] != t[i])
                        return 0;
            } else {
                for (int i = 0; i < length; ++i)
                    if (foldChar(text[p + i]) != t[i])
                        return 0;
            }
        }
        return length > 0 && (e.rule == 0 || line.rulePasses(e.rule, p, length)) ? length : 0;
    }

    // The closers of the scope at stack level `level`, tried at p.
    void tryClosers(const ScopeState &state, int level, int rank, int p, LineMatch &best)
    {
        const ScopeState::Frame &f = state.at(level);
        const CompiledTokenset &t = d.tokensets[size_t(f.tokenset)];
        auto consider = [&](const EndToken &e, int index) {
            const int length = closerAt(e, p);
            const MatchKey key = matchKey(MatchKey(rank), index);
            if (length > 0 && !best.beats(length, key))
                best = LineMatch{length, key, StyleRun::ScopeEnd, f.tokenset, e.token, level};
        };
        if (t.symmetrical) {
            for (size_t i = 0; i < t.starts.size(); ++i)
                if (t.starts[i].token == f.token)
                    consider(t.starts[i], int(i));
            return;
        }
        if (t.ends.empty())
            return;
        if (f.token >= 0 && size_t(f.token) < t.ends.size()) {
            consider(t.ends[size_t(f.token)], f.token);
            return;
        }
        for (size_t i = 0; i < t.ends.size(); ++i)
            consider(t.ends[i], int(i));
    }

    const CompiledLanguageData &d;
    const LineText &line;
    LineRegexps &regexps;
    const char16_t *const text;
    const int n;
};

} // namespace
