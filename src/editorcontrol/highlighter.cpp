#include "editorcontrol/highlighter.h"
#include "editorcontrol/compiledlanguagedata.h"

#include <vector>

namespace {

struct Match {
    int length = 0;
    MatchKey key = ~MatchKey(0);
    StyleRun::Kind kind = StyleRun::Plain;
    int tokenset = -1;
    int token = -1;
    int closeLevel = -1; // ScopeEnd: the stack level that closes

    bool beats(int otherLength, MatchKey otherKey) const
    {
        return length > otherLength || (length == otherLength && key < otherKey);
    }
};

} // namespace

// The per-line caches of one highlighter: the next match of every regexp from a position, so that a
// regexp is searched once per match rather than tried at every character.
struct Highlighter::Scanner {
    struct RegexpCache {
        quint32 line = 0; // generation of the line the entry belongs to
        int from = 0;     // searched from here...
        int start = -1;   // ...and the first non-empty match starts here (-1: none up to the line end)
        int length = 0;
    };
    std::vector<RegexpCache> cache;
    quint32 generation = 0;
    std::vector<char16_t> folded;
    std::vector<quint32> prefixHash;
    QVector<StyleRun> lineRuns;
};

Highlighter::Highlighter(CompiledLanguagePtr language)
    : language_(std::move(language)), scanner_(std::make_unique<Scanner>())
{
    scanner_->cache.resize(language_->data().regexps.size());
    scanner_->folded.resize(size_t(language_->data().table.maxLength) + 1);
    scanner_->prefixHash.resize(size_t(language_->data().table.maxLength) + 1);
}

Highlighter::~Highlighter() = default;

namespace {

// Plain text takes the style of the innermost open scope (transparent ones too: their colours are
// the user's to choose), and outside every scope the style of the text tokenset.
int contentTokenset(const CompiledLanguageData &d, const ScopeState &state)
{
    return state.isOutermost() ? d.textTokenset : state.innermostTokenset();
}

class LineScan {
public:
    LineScan(const CompiledLanguageData &d, Highlighter::Scanner &s, QStringView line)
        : d(d), s(s), text(line.utf16()), n(int(line.size())), line(line)
    {
        if (++s.generation == 0) { // wrapped: forget every entry
            for (auto &c : s.cache)
                c.line = 0;
            s.generation = 1;
        }
    }

    // Length of the non-empty match of a regexp that starts exactly at p, or 0.
    int regexpAt(int re, int p)
    {
        if (const auto &simple = d.simple[size_t(re)])
            return simple->matchAt(text, p, n);
        if (const auto &first = d.firstChars[size_t(re)]; first && !first->test(text[p]))
            return 0;
        auto &c = s.cache[size_t(re)];
        if (c.line != s.generation || p < c.from || (c.start >= 0 && p > c.start)) {
            c.line = s.generation;
            c.from = p;
            c.start = -1;
            const QRegularExpression &rx = d.regexps[size_t(re)];
            for (int from = p; from <= n;) {
                const QRegularExpressionMatch m = rx.match(line, from);
                if (!m.hasMatch())
                    break;
                if (m.capturedLength(0) > 0) {
                    c.start = int(m.capturedStart(0));
                    c.length = int(m.capturedLength(0));
                    break;
                }
                from = int(m.capturedStart(0)) + 1;
            }
        }
        return c.start == p ? c.length : 0;
    }

    // A regexp match at p that fails its rule: the pattern's next choice that ends where a word may
    // end (rule word only), or 0.
    int retryAt(int re, int ruleIndex, int p)
    {
        if (!d.hasWordEndRetry[size_t(re)])
            return 0;
        const QRegularExpressionMatch m = d.wordEndRetry[size_t(re)].match(
            line, p, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        const int length = m.hasMatch() ? int(m.capturedLength(0)) : 0;
        return length > 0 && rulePasses(ruleIndex, p, length) ? length : 0;
    }

    bool wordAt(int i) const { return i >= 0 && i < n && d.isWord(text[i]); }

    bool rulePasses(int ruleIndex, int p, int length) const
    {
        if (ruleIndex == 0)
            return true;
        const TokenRule &r = d.rules[size_t(ruleIndex)];
        if (r.word) {
            if (d.isWord(text[p]) && wordAt(p - 1))
                return false;
            if (d.isWord(text[p + length - 1]) && wordAt(p + length))
                return false;
        }
        if (r.column > 0 && p != r.column - 1)
            return false;
        if (r.hasLead && !r.lead.contains(p > 0 ? QChar(text[p - 1]) : QChar(u' ')))
            return false;
        if (r.hasTrail && !r.trail.contains(p + length < n ? QChar(text[p + length]) : QChar(u' ')))
            return false;
        return true;
    }

    // Length of an end (or symmetrical start) token at p, or 0.
    int closerAt(const EndToken &e, int p)
    {
        int length = 0;
        if (e.isRegexp) {
            if (e.regexp < 0)
                return 0;
            length = regexpAt(e.regexp, p);
            if (length > 0 && !rulePasses(e.rule, p, length))
                return retryAt(e.regexp, e.rule, p);
            return length;
        } else {
            length = int(e.text.size());
            if (length == 0 || p + length > n)
                return 0;
            const char16_t *t = reinterpret_cast<const char16_t *>(e.text.utf16());
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
        return length > 0 && rulePasses(e.rule, p, length) ? length : 0;
    }

    // The closers of the scope at stack level `level`, tried at p.
    void tryClosers(const ScopeState &state, int level, int rank, int p, Match &best)
    {
        const ScopeState::Frame &f = state.at(level);
        const CompiledTokenset &t = d.tokensets[size_t(f.tokenset)];
        auto consider = [&](const EndToken &e, int index) {
            const int length = closerAt(e, p);
            const MatchKey key = (MatchKey(rank) << 21) | MatchKey(index);
            if (length > 0 && !best.beats(length, key) ) {
                best = Match{length, key, StyleRun::ScopeEnd, f.tokenset, e.token, level};
            }
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

    void tryLiterals(const ContextData &c, int p, Match &best)
    {
        const char16_t first = foldChar(text[p]);
        const int bucket = first < 128 ? first : 128;
        const std::vector<int> &lengths = c.lengths[bucket];
        if (lengths.empty())
            return;
        if (c.literalsAtWordStart[bucket] && wordAt(p - 1))
            return;
        const int longest = std::min(lengths.front(), n - p);
        if (longest <= 0)
            return;
        quint32 h = HashSeed;
        for (int i = 0; i < longest; ++i) {
            const char16_t f = i == 0 ? first : foldChar(text[p + i]);
            s.folded[size_t(i)] = f;
            h = hashStep(h, f);
            s.prefixHash[size_t(i) + 1] = h;
        }
        for (int length : lengths) {
            if (length > longest)
                continue;
            if (length < best.length)
                return;
            const LiteralTable::Slot *slot = d.table.find(s.prefixHash[size_t(length)], s.folded.data(), length);
            if (!slot)
                continue;
            for (int e = 0; e < slot->count; ++e) {
                const LiteralToken &lit = d.literals[size_t(d.table.entries[size_t(slot->first + e)])];
                if (!c.valid[size_t(lit.tokenset)])
                    continue;
                if (!best.beats(length, lit.key) && (!lit.caseSensitive || QStringView(text + p, length) == lit.text)
                    && rulePasses(lit.rule, p, length)) {
                    best = Match{length, lit.key,
                                 lit.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                                 lit.tokenset, lit.token, -1};
                    break; // entries are in priority order
                }
            }
        }
    }

    void tryRegexps(const ContextData &c, int p, Match &best)
    {
        const char16_t ch = text[p];
        for (int r : c.regexpsByFirst[ch < 128 ? ch : 128]) {
            const RegexpToken &rt = d.regexpTokens[size_t(r)];
            int length = regexpAt(rt.regexp, p);
            if (length > 0 && !rulePasses(rt.rule, p, length))
                length = retryAt(rt.regexp, rt.rule, p);
            if (length > 0 && !best.beats(length, rt.key))
                best = Match{length, rt.key, rt.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                             rt.tokenset, rt.token, -1};
        }
    }

    // What a closer of the open scopes may begin with: the innermost scope's, and those of enclosing
    // scopes that chain through transparent scopes nested in them.
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
    ScopeState validated(const ScopeState &in) const
    {
        ScopeState state = in;
        for (int level = 0; level < state.depth(); ++level) {
            const int t = state.at(level).tokenset;
            if (t < 0 || size_t(t) >= d.tokensets.size() || !d.tokensets[size_t(t)].scope || level >= MaxScopeDepth) {
                state.truncate(level);
                break;
            }
        }
        return state;
    }

    ScopeState run(const ScopeState &in, QVector<StyleRun> &runs, int offset)
    {
        ScopeState state = validated(in);
        int plainStart = 0;
        int content = contentTokenset(d, state);
        auto flushPlain = [&](int end) {
            if (end > plainStart)
                runs.append(StyleRun{offset + plainStart, end - plainStart, content, -1, StyleRun::Plain});
        };
        const ContextData *c = &d.context(state.innermostTokenset());
        PatternAnalysis::FirstChars closers = closerChars(state);
        for (int p = 0; p < n;) {
            const char16_t ch = text[p];
            const bool mayClose = !state.isOutermost() && closers.test(ch);
            if (!mayClose && ch < 128
                && (c->nothingStarts[ch] || (c->wordStartsOnly[ch] && p > 0 && d.isWord(text[p - 1])))) {
                ++p;
                continue;
            }
            Match best;
            best.length = 0;
            if (mayClose) {
                for (int level = state.depth() - 1, rank = 0; level >= 0; --level, ++rank) {
                    const CompiledTokenset &t = d.tokensets[size_t(state.at(level).tokenset)];
                    if (rank == 0 || t.chain)
                        tryClosers(state, level, rank, p, best);
                    if (!t.transparent)
                        break;
                }
            }
            tryLiterals(*c, p, best);
            tryRegexps(*c, p, best);
            if (best.length == 0) {
                ++p;
                continue;
            }
            flushPlain(p);
            runs.append(StyleRun{offset + p, best.length, best.tokenset, best.token, best.kind});
            if (best.kind == StyleRun::ScopeEnd)
                state.truncate(best.closeLevel);
            else if (best.kind == StyleRun::ScopeStart && state.depth() < MaxScopeDepth)
                state.push(ScopeState::Frame{best.tokenset, best.token});
            if (best.kind != StyleRun::Token) {
                c = &d.context(state.innermostTokenset());
                content = contentTokenset(d, state);
                closers = closerChars(state);
            }
            p += best.length;
            plainStart = p;
        }
        flushPlain(n);
        // Single-line scopes close at the line end, with every scope opened inside them.
        for (int level = 0; level < state.depth(); ++level)
            if (d.tokensets[size_t(state.at(level).tokenset)].singleLine) {
                state.truncate(level);
                break;
            }
        return state;
    }

private:
    const CompiledLanguageData &d;
    Highlighter::Scanner &s;
    const char16_t *text;
    int n;
    QStringView line;
};

} // namespace

ScopeState Highlighter::highlightLine(QStringView line, const ScopeState &in, QVector<StyleRun> &runs)
{
    runs.clear();
    LineScan scan(language_->data(), *scanner_, line);
    return scan.run(in, runs, 0);
}

QVector<StyleRun> Highlighter::highlightText(QStringView text, bool mergeByTokenset)
{
    QVector<StyleRun> runs;
    QVector<StyleRun> &line = scanner_->lineRuns;
    ScopeState state;
    const CompiledLanguageData &d = language_->data();
    const int n = int(text.size());
    auto add = [&](const StyleRun &r) {
        if (mergeByTokenset && !runs.isEmpty() && runs.last().tokenset == r.tokenset) {
            StyleRun &last = runs.last();
            last.length += r.length;
            if (last.token != r.token || last.kind != r.kind)
                last.token = -1;
            return;
        }
        runs.append(r);
    };
    for (int start = 0; start < n;) {
        int end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        line.clear();
        LineScan scan(d, *scanner_, text.mid(start, end - start));
        state = scan.run(state, line, start);
        for (const StyleRun &r : std::as_const(line))
            add(r);
        int next = end;
        if (next < n)
            next += (text[next] == u'\r' && next + 1 < n && text[next + 1] == u'\n') ? 2 : 1;
        if (next > end)
            add(StyleRun{end, next - end, contentTokenset(d, state), -1, StyleRun::Plain});
        start = next;
    }
    return runs;
}
