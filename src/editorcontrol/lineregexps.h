#pragma once

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/highlighterscanner.h"
#include "editorcontrol/linetext.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Included by highlighter.cpp alone: internal linkage lets the compiler inline the per-character
// calls as it did when these parts were one class.
namespace {

// The language's regexps matched on one line. A regexp is searched ahead once and its next match
// kept, so it is not tried at every character; one that runs out of steps is tried at each place
// on its own for the rest of the line, within a budget for the line.
class LineRegexps {
public:
    LineRegexps(const CompiledLanguageData &d, Highlighter::Scanner &s, const LineText &line)
        : d(d), s(s), line(line), text(line.text), n(line.n)
    {
        s.scratch.newSubject();
        if (++s.generation == 0) { // wrapped: forget every entry
            for (auto &c : s.cache)
                c.line = c.endLine = 0;
            for (auto &g : s.gateRuns)
                g.line = 0;
            std::fill(s.candidateLine.begin(), s.candidateLine.end(), 0);
            s.generation = 1;
        }
    }

    // Length of the match of a simple pattern (Regexp::simple) that starts exactly at p, or 0: on
    // ASCII text from the classes' tables, else by its own matcher. Inlined where most text goes.
    int simpleAt(const PatternAnalysis::SimplePattern &sp, int p)
    {
        auto in = [](const quint64 *table, char16_t u) { return (table[u >> 6] >> (u & 63)) & 1; };
        if (p < n && text[p] < 128) {
            if (!in(sp.firstAscii, text[p]))
                return 0;
            if (sp.restMinimum < 0)
                return 1;
            int q = p + 1;
            while (q < n && text[q] < 128 && sp.restByte[text[q]])
                ++q;
            if (q == n || text[q] < 128)
                return q - p - 1 >= sp.restMinimum ? q - p : 0;
        }
        return sp.matchAt(text, p, n, &s.classes);
    }

    // Length of the non-empty match of a regexp that starts exactly at p, or 0; also 0 where a match
    // of `least` characters or more cannot begin there (as no match of a word-held regexp can be
    // longer than the run of the characters its matches may hold).
    int at(int re, int p, int least = 0)
    {
        const Regexp &r = d.regexps[size_t(re)];
        if (least > 0 && r.narrowMatch && !holdsRun(*r.matchChars, p, least))
            return 0;
        if (r.direct) {
            if (r.direct == 1)
                return simpleAt(*r.simple, p);
            if (const int length = r.native->matchFixed(text, n, p); length != NativePattern::kUnknown)
                return length;
        }
        if ((r.firstChars && !r.firstChars->test(text[p])) || line.insidePair(p)
            || (r.charsBefore && (p == 0 || !r.charsBefore->test(text[p - 1]))))
            return 0;
        // A closed gate rules a match out whatever answers (the line's entry is not even set up).
        if (r.native && r.gateCount > 0 && text[p] < 128 && !gatesOpen(r, p))
            return 0;
        auto &c = s.cache[size_t(re)];
        if (c.line != s.generation) {
            c.line = s.generation;
            c.anchoredOnly = r.searchStart;
            c.strict = false;
            c.from = INT_MAX;
            c.native = r.native.has_value();
            c.nativeSteps = Highlighter::lineBudget(n);
            c.charsFrom = INT_MAX;
        }
        // Where the matcher or the engine would be called, a gate may turn the place away first.
        if (c.native && text[p] < 128) {
            if (r.nativeFirst && !nativeMayBegin(r, c, p))
                return 0;
            // A match that takes more steps than the engine may, or tries that take more than the
            // line's budget, leave the regexp to the engine for the rest of the line (which holds it
            // to its limits).
            const int budget = int(std::min<qint64>(Highlighter::matchLimit(n, p, false), c.nativeSteps));
            int steps = budget;
            const int length = r.native->matchAt(text, n, p, steps);
            c.nativeSteps -= budget - steps;
            if (length != NativePattern::kUnknown)
                return length;
            c.native = steps >= 0;
        }
        if (c.anchoredOnly)
            return r.gateCount > 0 && !gatesOpen(r, p) ? 0 : anchoredAt(*r.pattern, re, p);
        if (p < c.from || (c.start >= 0 && p > c.start)) {
            if (r.endRun && !endMayBegin(r, c, p))
                return 0;
            if (r.gateSearch && !gatesOpen(r, p))
                return 0;
            c.from = p;
            c.start = -1;
            for (const RequiredText &q : r.required)
                if (!requiredAhead(q, r.requiredCase, p))
                    return 0;
            if (r.requiredChars && !charsFrom(r, c, p))
                return 0;
            for (int from = p; from <= n;) {
                const CompiledPattern::Match m =
                    r.pattern->match(text, n, from, false, Highlighter::matchLimit(n, from, c.strict), s.scratch);
                if (m.result == CompiledPattern::Match::LimitHit) {
                    // Somewhere from here on the pattern runs out of steps: for the rest of the line it
                    // is tried at each position on its own, so it fails only where it runs out.
                    noteLimit(re);
                    c.anchoredOnly = true;
                    return anchoredAt(*r.pattern, re, p);
                }
                if (m.result == CompiledPattern::Match::None)
                    break;
                if (m.length > 0) {
                    c.start = m.start;
                    c.length = m.length;
                    break;
                }
                from = m.start + 1;
                if (from < n && line.insidePair(from))
                    ++from;
            }
        }
        return c.start == p ? c.length : 0;
    }

    // Whether what is known of the regexp on this line rules out a match from p on: no character it
    // needs is ahead, its search found none, or p is past where it may begin.
    bool deadFrom(int re, int p) const
    {
        const Regexp &r = d.regexps[size_t(re)];
        const auto &c = s.cache[size_t(re)];
        if (r.direct || c.line != s.generation)
            return false;
        return (c.charsFrom <= p && c.charsAt < 0) || (!c.anchoredOnly && c.from <= p && c.start < 0)
               || (r.endRun && c.endLine == s.generation && p >= c.endTo);
    }

    // A regexp match at p that fails its rule: the pattern's next choice that ends where a word may
    // end (rule word only), or 0.
    int retryAt(int re, int ruleIndex, int p)
    {
        const Regexp &r = d.regexps[size_t(re)];
        if (!r.wordRule)
            return 0;
        if (r.matchChars) {
            // Every match ends by the first character from p on that none may hold; where each end
            // up to it lies inside a word, none passes.
            int e = p;
            while (e < n && r.matchChars->test(text[e]))
                ++e;
            while (e > p && e < n && line.wordBefore(e) && line.wordAt(e))
                --e;
            if (e == p)
                return 0;
        }
        if (!s.retryTried[size_t(re)]) {
            s.retryTried[size_t(re)] = 1;
            const QString &w = d.definition.wordchars.isEmpty() ? QStringLiteral("[\\w]") : d.definition.wordchars;
            s.retry[size_t(re)] = CompiledPattern::get(
                QStringLiteral("(?:%1)(?:(?<!%2)|(?!%2))").arg(r.pattern->pattern(), w), r.pattern->caseless());
        }
        const CompiledPatternPtr &retry = s.retry[size_t(re)];
        const int length = retry ? anchoredAt(*retry, re, p) : 0;
        return length > 0 && line.rulePasses(ruleIndex, p, length) ? length : 0;
    }

private:
    // Whether the `length` characters from p may all be of `chars`: only the second and the last are
    // looked at (a number's "x", its suffix).
    bool holdsRun(const PatternAnalysis::FirstChars &chars, int p, int length) const
    {
        return p + length <= n && (length < 2 || chars.test(text[p + 1])) && chars.test(text[p + length - 1]);
    }

    bool gatesOpen(const Regexp &r, int p) const
    {
        for (int g = 0; g < r.gateCount; ++g)
            if (!gateOpen(r.gates[g], p))
                return false;
        return true;
    }

    // Whether gate g lets a match begin at p. The run of its `scan` characters from p ends where it
    // ends from every place inside the run, so each run is read once.
    bool gateOpen(int g, int p) const
    {
        Highlighter::Scanner::GateRun &run = s.gateRuns[size_t(g)];
        if (run.line == s.generation && p >= run.from && p <= run.to)
            return run.open;
        return readGate(g, p);
    }

    Q_NEVER_INLINE bool readGate(int g, int p) const
    {
        int end = p;
        const bool open = d.gates[size_t(g)].open(text, n, p, end);
        s.gateRuns[size_t(g)] = {s.generation, p, end, open};
        return open;
    }

    // The tests tried before the native matcher for the few regexps that have them.
    bool nativeMayBegin(const Regexp &r, Highlighter::Scanner::RegexpCache &c, int p) const
    {
        return (!r.endRun || endMayBegin(r, c, p)) && (!r.requiredCharsFirst || charsFrom(r, c, p));
    }

    bool endMayBegin(const Regexp &r, Highlighter::Scanner::RegexpCache &c, int p) const
    {
        if (c.endLine != s.generation)
            endRange(r, c);
        return p >= c.endFrom && p < c.endTo;
    }

    // Where a match of a regexp that ends at the line's closing run may begin. Not narrowed where the
    // line ends in a line break ("$" matches before one too) or a character beyond ASCII is near its end.
    Q_NEVER_INLINE void endRange(const Regexp &r, Highlighter::Scanner::RegexpCache &c) const
    {
        c.endLine = s.generation;
        c.endFrom = 0;
        c.endTo = n;
        int t = n;
        while (t > 0 && text[t - 1] < 128 && r.endRun->test(text[t - 1]))
            --t;
        if ((n > 0 && (text[n - 1] == u'\n' || text[n - 1] == u'\r' || text[n - 1] == u'\v' || text[n - 1] == u'\f'))
            || (t > 0 && text[t - 1] >= 128))
            return;
        int from = t;
        while (from > 0 && r.endMatch->test(text[from - 1]))
            --from;
        c.endFrom = from;
        c.endTo = t;
    }

    // Whether a required text begins somewhere from p on.
    Q_NEVER_INLINE bool requiredAhead(const RequiredText &r, Qt::CaseSensitivity cs, int p) const
    {
        const QStringView all(text, n);
        if (r.anchor < 0)
            return all.indexOf(QStringView(r.text), p, cs) >= 0;
        const char16_t unit = r.text[r.anchor].unicode();
        const int end = n - int(r.text.size()) + r.anchor + 1; // the anchor's places end here
        auto at = [&](int q) { return all.sliced(q - r.anchor).startsWith(QStringView(r.text), cs); };
        int q = p + r.anchor;
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi16(short(unit));
        for (; q + 8 <= end; q += 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + q));
            // Each unit found sets two bits.
            for (unsigned hits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted))); hits; hits &= hits - 1) {
                if (at(q + std::countr_zero(hits) / 2))
                    return true;
                hits &= hits - 1;
            }
        }
#endif
        for (; q < end; ++q)
            if (text[q] == unit && at(q))
                return true;
        return false;
    }

    // Whether the line holds one of r's required characters from p on; the place found is kept for the
    // places up to it.
    bool charsFrom(const Regexp &r, Highlighter::Scanner::RegexpCache &c, int p) const
    {
        if (p < c.charsFrom || (c.charsAt >= 0 && p > c.charsAt)) {
            c.charsFrom = p;
            c.charsAt = charsAhead(r, p);
        }
        return c.charsAt >= 0;
    }

    // The first place from p on that holds one of r's required characters, or -1. Up to four
    // characters below 128 are looked for eight units at a time.
    Q_NEVER_INLINE int charsAhead(const Regexp &r, int p) const
    {
        const PatternAnalysis::FirstChars &chars = *r.requiredChars;
        int q = p;
#if defined(__SSE2__)
        if (r.requiredUnitCount <= 4) {
            __m128i wanted[4];
            for (int k = 0; k < 4; ++k)
                wanted[k] = _mm_set1_epi16(short(r.requiredUnits[k]));
            const __m128i high = _mm_set1_epi16(short(0xFF80)), zero = _mm_setzero_si128();
            for (; q + 8 <= n; q += 8) {
                const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + q));
                __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(u, wanted[0]), _mm_cmpeq_epi16(u, wanted[1])),
                                           _mm_or_si128(_mm_cmpeq_epi16(u, wanted[2]), _mm_cmpeq_epi16(u, wanted[3])));
                if (chars.nonAscii) // a unit from 128 up counts too
                    hit = _mm_or_si128(hit, _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(u, high), zero), _mm_set1_epi16(-1)));
                if (const unsigned found = unsigned(_mm_movemask_epi8(hit)))
                    return q + std::countr_zero(found) / 2;
            }
        }
#endif
        for (; q < n; ++q)
            if (chars.test(text[q]))
                return q;
        return -1;
    }

    void noteLimit(int re)
    {
        auto &c = s.cache[size_t(re)];
        if (!c.strict)
            c.budget = Highlighter::lineBudget(n);
        c.strict = true;
        const QString message = d.noteLimitHit(re);
        if (!message.isEmpty() && s.notice)
            s.notice(message);
    }

    int anchoredAt(const CompiledPattern &pattern, int re, int p)
    {
        auto &c = s.cache[size_t(re)];
        quint32 limit = Highlighter::matchLimit(n, p, c.strict);
        if (c.strict) { // each try is charged all it may take, so the line costs at most its budget
            limit = quint32(std::min<qint64>(limit, c.budget));
            if (limit < Highlighter::matchLimit(0, 0, true))
                return 0;
            c.budget -= limit;
        }
        const CompiledPattern::Match m = pattern.match(text, n, p, true, limit, s.scratch);
        if (m.result == CompiledPattern::Match::LimitHit)
            noteLimit(re);
        return m.result == CompiledPattern::Match::Found && m.start == p ? m.length : 0;
    }

    const CompiledLanguageData &d;
    Highlighter::Scanner &s;
    const LineText &line;
    const char16_t *const text;
    const int n;
};

} // namespace
