#pragma once

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/highlighterscanner.h"
#include "editorcontrol/linematch.h"
#include "editorcontrol/lineregexps.h"
#include "editorcontrol/linetext.h"

#include <algorithm>

// Included by highlighter.cpp alone: internal linkage lets the compiler inline the per-character
// calls as it did when these parts were one class.
namespace {

// The tokens of a context that may start at a place of a line: literal tokens looked up by the hash
// of the folded text there, regexp tokens by their literal prefix, by their first character, or
// because the line holds their required text.
class LineTokens {
public:
    LineTokens(const CompiledLanguageData &d, Highlighter::Scanner &s, const LineText &line, LineRegexps &regexps)
        : d(d), s(s), line(line), regexps(regexps), text(line.text), n(line.n)
    {
    }

    // The tokens whose required text the line holds.
    void findCandidates()
    {
        s.candidates.clear();
        const LiteralTable &table = d.requiredTable;
        if (table.slots.empty())
            return;
        char16_t folded[kMaxRequiredText];
        for (int p = 0; p < n; ++p) {
            if (!d.requiredFirst.test(foldChar(text[p])))
                continue;
            const int ahead = std::min(table.maxLength, n - p);
            quint32 h = HashSeed;
            for (int i = 0; i < ahead; ++i) {
                folded[i] = foldChar(text[p + i]);
                h = hashStep(h, folded[i]);
                if (i + 1 < kMinRequiredText)
                    continue;
                const LiteralTable::Slot *slot = table.find(h, folded, i + 1);
                if (!slot)
                    continue;
                for (int e = 0; e < slot->count; ++e) {
                    const int r = table.entries[size_t(slot->first + e)];
                    if (s.candidateLine[size_t(r)] != s.generation) {
                        s.candidateLine[size_t(r)] = s.generation;
                        s.candidates.push_back(r);
                    }
                }
            }
        }
    }

    // Where the only token that can begin with the character at p (below 128) is matched natively or
    // is a literal of that one character, and no closer begins with it: that token's match, or 0.
    // -1 when the full search must decide.
    int trySole(const ContextData &c, int p, LineMatch &best)
    {
        if (const int i = c.soleLiteral[text[p]]; i >= 0) {
            const LiteralToken &lit = d.literals[size_t(i)];
            best = LineMatch{1, lit.key, lit.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                             lit.tokenset, lit.token, -1};
            return 1;
        }
        int r = c.soleSimple[text[p]];
        bool ruled = true; // a token sole by its leadwith has passed its rule, which asks for nothing else
        if (r < 0) {
            // Sole by the character before (ContextData::soleAfter, soleLead), when that is ASCII.
            if (r == -1)
                return -1;
            if (Q_UNLIKELY(r == kSoleSecond)) {
                // Sole by the character after (ContextData::soleSecond): a pattern of fixed ways, or none.
                const char16_t next = p + 1 < n ? text[p + 1] : 0;
                if (p + 1 < n && (next >= 128 || ((c.seconds[foldChar(text[p])][next >> 6] >> (next & 63)) & 1)))
                    return -1;
                if (c.soleSecond[text[p]] < 0)
                    return 0;
                const RegexpToken &rt = d.regexpTokens[size_t(c.soleSecond[text[p]])];
                const int length = d.regexps[size_t(rt.regexp)].native->matchFixed(text, n, p);
                if (length > 0)
                    best = LineMatch{length, rt.key, rt.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                                     rt.tokenset, rt.token, -1};
                return length;
            }
            if (p == 0 || text[p - 1] >= 128)
                return -1;
            const char16_t b = text[p - 1];
            if ((c.soleAfter[text[p]][b >> 6] >> (b & 63)) & 1) {
                r = c.soleLead[text[p]];
                if (r < 0 || !((c.soleLeadBefore[text[p]][b >> 6] >> (b & 63)) & 1))
                    return -1;
                ruled = false;
            } else {
                r = -2 - r;
            }
        }
        const RegexpToken &rt = d.regexpTokens[size_t(r)];
        const int length = regexps.simpleAt(*d.regexps[size_t(rt.regexp)].simple, p); // sole tokens are simple
        if (length == 0)
            return 0;
        if (ruled && rt.rule != 0 && !line.rulePasses(rt.rule, p, length))
            return -1; // a shorter way may pass: left to the full search
        best = LineMatch{length, rt.key, rt.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                         rt.tokenset, rt.token, -1};
        return length;
    }

    // Where the character at p is marked `bit` in `skip` (ContextData::soleOneChar): the end of the
    // run of characters from p on that the same one-character token alone matches, each on its own.
    // Where a character is not marked but has the same token for its sole one by the character before
    // it (ContextData::soleAfter), and no closer begins with it (`closer` in `skip`), the run goes on.
    int oneChars(const ContextData &c, const quint8 *skip, quint8 bit, quint8 closer, int p) const
    {
        const int r = c.soleSimple[text[p]];
        const PatternAnalysis::SimplePattern &sp = *d.regexps[size_t(d.regexpTokens[size_t(r)].regexp)].simple;
        // A character it may begin with that is marked too has it for its sole token.
        int q = p;
        for (; q < n && text[q] < 128 && ((sp.firstAscii[text[q] >> 6] >> (text[q] & 63)) & 1); ++q) {
            const char16_t u = text[q];
            if (skip[u] & bit)
                continue;
            if (q == p || (skip[u] & closer) || c.soleSimple[u] != -2 - r)
                break;
            const char16_t b = text[q - 1]; // of the run, so below 128
            if ((c.soleAfter[u][b >> 6] >> (b & 63)) & 1)
                break;
        }
        return q;
    }

    // Every token of context c that matches at p, into best.
    void tryAt(const ContextData &c, int p, LineMatch &best)
    {
        const char16_t first = foldChar(text[p]);
        const int bucket = first < 128 ? first : 128;
        const std::vector<int> &lengths = c.lengths[bucket];
        // The literal lengths worth a look here: up to `longest`, none shorter than `shortest`.
        int longest = lengths.empty() ? 0 : lengths.front(), shortest = 0;
        if (longest > 0 && c.literalsAtWordStart[bucket]) {
            // Every literal here holds to word ends: none begins inside a word, and none ends inside
            // one, so a length short of the word that begins here cannot pass (its rule would refuse it).
            // The text decides, not the literal: a caseless literal may match a capital that is no
            // word character.
            if (line.wordBefore(p) && wordUnit(text[p])) {
                longest = 0;
            } else {
                const int cap = std::min(longest + 1, n - p);
                shortest = wordUnit(text[p]) ? 1 : 0;
                while (shortest > 0 && shortest < cap && wordUnit(text[p + shortest]))
                    ++shortest;
                if (shortest > longest)
                    longest = 0; // the word is longer than every literal
                else if (shortest > 0 && c.literalsAllWord[bucket]
                         && (p + shortest == n || !foldsToWordUnit(text[p + shortest])))
                    longest = shortest; // a longer literal would go on with a word character
            }
        }
        int longestPrefix = c.prefixLengths[bucket].empty() ? 0 : c.prefixLengths[bucket].front();
        if (c.secondsFilter[bucket] && p + 1 < n && text[p + 1] < 128
            && !((c.seconds[bucket][text[p + 1] >> 6] >> (text[p + 1] & 63)) & 1)) {
            // Nothing of two characters or more goes on with the next one.
            longest = std::min(longest, 1);
            longestPrefix = std::min(longestPrefix, 1);
        }
        const int want = std::max(longest, longestPrefix);
        const int folded = std::min(want, n - p);
        foldAhead(p, folded);
        if (longest > 0)
            tryLiterals(c, lengths, p, std::min(longest, folded), shortest, best);
        tryRegexps(c, bucket, p, folded, best);
    }

    // At a word start (no word character before p) whose first character below 128 only literals of
    // word characters, held to word ends, can begin with (ContextData::wordLiteralsOnly): the word
    // is read once, folded and hashed on the way, and only its own length is looked up. `inside`
    // says per character below 128 whether it is a word character (`wordBit`) and whether nothing
    // begins at it after a word character (`skipBits`). Returns where the word ends, best holding
    // the literal that is the word, if any; or -1 when the full search must decide (a character from
    // 128 up, a place inside the word where a token may begin, or a character after it that folds
    // to a word character).
    int wholeWord(const ContextData &c, int p, const quint8 *inside, quint8 wordBit, quint8 skipBits, LineMatch &best)
    {
        const int room = int(s.folded.size());
        char16_t *const folded = s.folded.data();
        quint32 h = HashSeed;
        int q = p;
        for (; q < n; ++q) {
            const char16_t u = text[q];
            if (u >= 128)
                return -1;
            const quint8 k = inside[u];
            if (!(k & wordBit))
                break;
            if (q > p && !(k & skipBits))
                return -1;
            const char16_t f = foldChar(u);
            if (q - p < room) {
                folded[q - p] = f;
                h = hashStep(h, f);
            }
        }
        if (q < n && ((inside[foldChar(text[q])] & wordBit)
                      || (c.wordRegexps && ((c.wordRegexpsAfter[text[q] >> 6] >> (text[q] & 63)) & 1))))
            return -1;
        const int length = q - p;
        const std::vector<int> &lengths = c.lengths[folded[0]];
        if (length <= lengths.front())
            tryLength(c, p, length, h, folded, best);
        return q;
    }

    // Whether no regexp token that may begin with ch (below 128, ContextData::regexpsOnly) can match
    // from p on.
    Q_ALWAYS_INLINE bool allDead(const ContextData &c, char16_t ch, int p) const
    {
        if (c.required && !s.candidates.empty())
            return false;
        for (int i = c.byFirstStart[ch]; i < c.byFirstStart[ch + 1]; ++i)
            if (!regexps.deadFrom(d.regexpTokens[size_t(c.byFirst[size_t(i)])].regexp, p))
                return false;
        for (int r : c.anyFirst)
            if (!regexps.deadFrom(d.regexpTokens[size_t(r)].regexp, p))
                return false;
        return true;
    }

private:
    // A word character that is no surrogate: a place after it and before another such one is inside a word.
    bool wordUnit(char16_t c) const { return !QChar::isSurrogate(c) && d.wordChars->containsUnit(c); }
    bool foldsToWordUnit(char16_t c) const { return wordUnit(foldChar(c)); }

    // Whether the `length` characters at p are t (a few characters: compared here, not by a call).
    bool sameText(int p, const QString &t, int length) const
    {
        if (t.size() != length)
            return false;
        const QChar *u = t.constData();
        for (int i = 0; i < length; ++i)
            if (text[p + i] != u[i].unicode())
                return false;
        return true;
    }

    // Folds the text from p on and hashes each prefix, up to `length` characters.
    void foldAhead(int p, int length)
    {
        quint32 h = HashSeed;
        for (int i = 0; i < length; ++i) {
            const char16_t f = foldChar(text[p + i]);
            s.folded[size_t(i)] = f;
            h = hashStep(h, f);
            s.prefixHash[size_t(i) + 1] = h;
        }
    }

    void tryLiterals(const ContextData &c, const std::vector<int> &lengths, int p, int longest, int shortest,
                     LineMatch &best)
    {
        for (int length : lengths) {
            if (length > longest)
                continue;
            if (length < best.length || length < shortest)
                return;
            tryLength(c, p, length, s.prefixHash[size_t(length)], s.folded.data(), best);
        }
    }

    // The literals of context c that are the `length` characters at p, whose folded form is `folded`
    // with that hash.
    void tryLength(const ContextData &c, int p, int length, quint32 hash, const char16_t *folded, LineMatch &best)
    {
        const LiteralTable::Slot *slot = d.table.find(hash, folded, length);
        if (!slot)
            return;
        for (int e = 0; e < slot->count; ++e) {
            const LiteralToken &lit = d.literals[size_t(d.table.entries[size_t(slot->first + e)])];
            if (!c.valid[size_t(lit.tokenset)])
                continue;
            if (!best.beats(length, lit.key) && (!lit.caseSensitive || sameText(p, lit.text, length))
                && line.rulePasses(lit.rule, p, length)) {
                best = LineMatch{length, lit.key, lit.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                                 lit.tokenset, lit.token, -1};
                return; // entries are in priority order
            }
        }
    }

    Q_ALWAYS_INLINE void tryRegexp(int r, int p, LineMatch &best)
    {
        const RegexpToken &rt = d.regexpTokens[size_t(r)];
        if (rt.ruleAtStart && !line.startPasses(rt.rule, p))
            return;
        int length = regexps.at(rt.regexp, p, best.length);
        if (length > 0 && !line.rulePasses(rt.rule, p, length))
            length = regexps.retryAt(rt.regexp, rt.rule, p);
        if (length > 0 && !best.beats(length, rt.key))
            best = LineMatch{length, rt.key, rt.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                             rt.tokenset, rt.token, -1};
    }

    void tryRegexps(const ContextData &c, int bucket, int p, int folded, LineMatch &best)
    {
        // Regexps that begin with a literal prefix: only those whose prefix is here.
        for (int length : c.prefixLengths[bucket]) {
            if (length > folded)
                continue;
            const LiteralTable::Slot *slot = d.prefixTable.find(s.prefixHash[size_t(length)], s.folded.data(), length);
            if (!slot)
                continue;
            for (int e = 0; e < slot->count; ++e) {
                const int r = d.prefixTable.entries[size_t(slot->first + e)];
                const RegexpToken &rt = d.regexpTokens[size_t(r)];
                if (!c.valid[size_t(rt.tokenset)] || (rt.caseSensitive && !sameText(p, rt.prefix, length)))
                    continue;
                // What follows the prefix must be able to go on the match, or end it.
                const int q = p + length;
                if (rt.afterPrefix && !(q < n && rt.afterPrefix->test(text[q]))
                    && !(rt.mayEndAfterPrefix && !(rt.wordEndAfterPrefix && line.wordBefore(q) && line.wordAt(q))))
                    continue;
                tryRegexp(r, p, best);
            }
        }
        const char16_t ch = text[p];
        const int raw = ch < 128 ? ch : 128;
        for (int i = c.byFirstStart[raw]; i < c.byFirstStart[raw + 1]; ++i)
            tryRegexp(c.byFirst[size_t(i)], p, best);
        for (int r : c.anyFirst)
            tryRegexp(r, p, best);
        if (c.required)
            for (int r : s.candidates)
                if (c.valid[size_t(d.regexpTokens[size_t(r)].tokenset)])
                    tryRegexp(r, p, best);
    }

    const CompiledLanguageData &d;
    Highlighter::Scanner &s;
    const LineText &line;
    LineRegexps &regexps;
    const char16_t *const text;
    const int n;
};

} // namespace
