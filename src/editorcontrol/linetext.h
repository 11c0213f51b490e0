#pragma once

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/highlighterscanner.h"

#include <QStringView>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Included by highlighter.cpp alone: internal linkage lets the compiler inline the per-character
// calls as it did when these parts were one class.
namespace {

// The line itself when it holds no broken surrogate pair, else a copy of it in `clean` with each
// broken surrogate replaced: the regexp engine is told not to check the text, so it must never see one.
Q_NEVER_INLINE QStringView wholePairs(QStringView line, std::vector<char16_t> &clean)
{
    const char16_t *const text = line.utf16();
    const qsizetype n = line.size();
    // Most lines hold no surrogate at all: eight units at a time say so.
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi16(short(0xF800)), surrogate = _mm_set1_epi16(short(0xD800));
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, mask), surrogate)) != 0)
            break;
    }
#endif
    for (; i < n; ++i) {
        if (!QChar::isSurrogate(text[i]))
            continue;
        if (QChar::isHighSurrogate(text[i]) && i + 1 < n && QChar::isLowSurrogate(text[i + 1])) {
            ++i;
            continue;
        }
        clean.assign(text, text + n);
        for (qsizetype j = i; j < n; ++j) {
            if (QChar::isHighSurrogate(clean[size_t(j)]) && j + 1 < n && QChar::isLowSurrogate(clean[size_t(j) + 1]))
                ++j;
            else if (QChar::isSurrogate(clean[size_t(j)]))
                clean[size_t(j)] = 0xFFFD;
        }
        return QStringView(clean.data(), n);
    }
    return line;
}

// One line as the highlighter reads it: its characters, and the conditions of a token's rule at a
// place of it.
class LineText {
public:
    // `line` holds no broken surrogate pair (see wholePairs()).
    LineText(const CompiledLanguageData &d, QStringView line)
        : text(line.utf16()), n(int(line.size())), d(d)
    {
    }

    // Inside a surrogate pair (the text holds no broken ones): nothing begins here.
    bool insidePair(int p) const { return QChar::isLowSurrogate(text[p]); }

    bool wordBefore(int i) const { return d.wordChars->before(text, n, i); }
    bool wordAt(int i) const { return d.wordChars->at(text, n, i); }

    bool rulePasses(int ruleIndex, int p, int length) const
    {
        if (ruleIndex == 0)
            return true;
        const TokenRule &r = d.rules[size_t(ruleIndex)];
        if (r.word) {
            if (wordAt(p) && wordBefore(p))
                return false;
            if (wordBefore(p + length) && wordAt(p + length))
                return false;
        }
        if (r.column > 0 && p != r.column - 1)
            return false;
        if (r.hasLead && !TokenRule::holds(r.leadAscii, r.lead, p > 0 ? text[p - 1] : u' '))
            return false;
        if (r.hasTrail && !TokenRule::holds(r.trailAscii, r.trail, p + length < n ? text[p + length] : u' '))
            return false;
        return true;
    }

    // The part of rulePasses() that the length does not change: the column and the character before.
    bool startPasses(int ruleIndex, int p) const
    {
        const TokenRule &r = d.rules[size_t(ruleIndex)];
        return (r.column == 0 || p == r.column - 1)
               && (!r.hasLead || TokenRule::holds(r.leadAscii, r.lead, p > 0 ? text[p - 1] : u' '));
    }

    const char16_t *text;
    const int n;

private:
    const CompiledLanguageData &d;
};

} // namespace
