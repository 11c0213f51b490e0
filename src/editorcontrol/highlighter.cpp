#include "editorcontrol/highlighter.h"
#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/matchkey.h"

#include <climits>
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

constexpr qsizetype kBatch = 256;

} // namespace

// The per-line caches of one highlighter: the next match of every regexp from a position, so that a
// regexp is searched once per match rather than tried at every character.
struct Highlighter::Scanner {
    struct RegexpCache {
        quint32 line = 0;     // generation of the line the entry belongs to
        bool anchoredOnly = false; // tried at each position, not searched ahead (\G, or it ran out of steps)
        bool strict = false;       // it ran out of steps on this line: only what a linear match needs
        qint64 budget = 0;         // once strict: the steps it may still take on this line; then it is off
        int from = INT_MAX;   // searched from here...
        int start = -1;       // ...and the first non-empty match starts here (-1: none up to the line end)
        int length = 0;
    };
    std::vector<RegexpCache> cache;
    quint32 generation = 0;
    std::vector<char16_t> folded;
    std::vector<quint32> prefixHash;
    std::vector<char16_t> clean;  // a line whose broken surrogates are replaced
    std::vector<StyleRun> batch;
    // Per regexp of a token with rule word: the pattern held to end where a word may end, compiled
    // when first needed.
    std::vector<CompiledPatternPtr> retry;
    std::vector<char> retryTried;
    // The regexp tokens with a required text that the line holds, each once (stamped with the line).
    std::vector<int> candidates;
    std::vector<quint32> candidateLine;
    CompiledPattern::Scratch scratch;
    std::function<void(const QString &)> notice;
};

Highlighter::Highlighter(CompiledLanguagePtr language)
    : language_(std::move(language)), scanner_(std::make_unique<Scanner>())
{
    const CompiledLanguageData &d = language_->data();
    scanner_->cache.resize(d.regexps.size());
    scanner_->retry.resize(d.regexps.size());
    scanner_->retryTried.resize(d.regexps.size());
    if (!d.requiredTable.slots.empty())
        scanner_->candidateLine.resize(d.regexpTokens.size());
    const int ahead = std::max(d.table.maxLength, d.prefixTable.maxLength);
    scanner_->folded.resize(size_t(ahead) + 1);
    scanner_->prefixHash.resize(size_t(ahead) + 1);
    scanner_->batch.reserve(kBatch);
}

Highlighter::~Highlighter() = default;

void Highlighter::setLimitNotice(std::function<void(const QString &)> notice)
{
    scanner_->notice = std::move(notice);
}

quint32 Highlighter::matchLimit(int lineLength, int position, bool strict)
{
    // Patterns that match in linear time take one or two steps per character they match, plus a few.
    const quint32 rest = quint32(std::max(0, lineLength - position));
    return strict ? 16 + 2 * rest : 1000 + 4 * rest;
}

qint64 Highlighter::lineBudget(int lineLength)
{
    return 4096 + 32 * qint64(lineLength);
}

namespace {

// Plain text takes the style of the innermost open scope (transparent ones too: their colours are
// the user's to choose), and outside every scope the style of the text tokenset.
int contentOf(const CompiledLanguageData &d, const ScopeState &state)
{
    return state.isOutermost() ? d.textTokenset : state.innermostTokenset();
}

class LineScan {
public:
    LineScan(const CompiledLanguageData &d, Highlighter::Scanner &s, QStringView line, const Highlighter::RunSink &sink)
        : d(d), s(s), text(line.utf16()), n(int(line.size())), sink(sink)
    {
        s.scratch.newSubject();
        if (++s.generation == 0) { // wrapped: forget every entry
            for (auto &c : s.cache)
                c.line = 0;
            std::fill(s.candidateLine.begin(), s.candidateLine.end(), 0);
            s.generation = 1;
        }
        // The regexp engine is told not to check the text, so a broken surrogate never reaches it.
        for (int i = 0; i < n; ++i) {
            if (!QChar::isSurrogate(text[i]))
                continue;
            if (QChar::isHighSurrogate(text[i]) && i + 1 < n && QChar::isLowSurrogate(text[i + 1])) {
                ++i;
                continue;
            }
            s.clean.assign(text, text + n);
            for (int j = i; j < n; ++j) {
                if (QChar::isHighSurrogate(s.clean[size_t(j)]) && j + 1 < n && QChar::isLowSurrogate(s.clean[size_t(j) + 1]))
                    ++j;
                else if (QChar::isSurrogate(s.clean[size_t(j)]))
                    s.clean[size_t(j)] = 0xFFFD;
            }
            text = s.clean.data();
            break;
        }
    }

    // Inside a surrogate pair (the text holds no broken ones): nothing begins here.
    bool insidePair(int p) const { return QChar::isLowSurrogate(text[p]); }

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

    // Length of the non-empty match of a regexp that starts exactly at p, or 0.
    int regexpAt(int re, int p)
    {
        const Regexp &r = d.regexps[size_t(re)];
        if (r.simple)
            return r.simple->matchAt(text, p, n);
        if ((r.firstChars && !r.firstChars->test(text[p])) || insidePair(p))
            return 0;
        auto &c = s.cache[size_t(re)];
        if (c.line != s.generation) {
            c.line = s.generation;
            c.anchoredOnly = r.searchStart;
            c.strict = false;
            c.from = INT_MAX;
        }
        if (c.anchoredOnly)
            return anchoredAt(*r.pattern, re, p);
        if (p < c.from || (c.start >= 0 && p > c.start)) {
            c.from = p;
            c.start = -1;
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
                if (from < n && insidePair(from))
                    ++from;
            }
        }
        return c.start == p ? c.length : 0;
    }

    // A regexp match at p that fails its rule: the pattern's next choice that ends where a word may
    // end (rule word only), or 0.
    int retryAt(int re, int ruleIndex, int p)
    {
        const Regexp &r = d.regexps[size_t(re)];
        if (!r.wordRule)
            return 0;
        if (!s.retryTried[size_t(re)]) {
            s.retryTried[size_t(re)] = 1;
            const QString &w = d.definition.wordchars.isEmpty() ? QStringLiteral("[\\w]") : d.definition.wordchars;
            s.retry[size_t(re)] = CompiledPattern::get(
                QStringLiteral("(?:%1)(?:(?<!%2)|(?!%2))").arg(r.pattern->pattern(), w), r.pattern->caseless());
        }
        const CompiledPatternPtr &retry = s.retry[size_t(re)];
        const int length = retry ? anchoredAt(*retry, re, p) : 0;
        return length > 0 && rulePasses(ruleIndex, p, length) ? length : 0;
    }

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
            const MatchKey key = matchKey(MatchKey(rank), index);
            if (length > 0 && !best.beats(length, key))
                best = Match{length, key, StyleRun::ScopeEnd, f.tokenset, e.token, level};
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

    void tryLiterals(const ContextData &c, int bucket, int p, int folded, Match &best)
    {
        const std::vector<int> &lengths = c.lengths[bucket];
        if (lengths.empty() || (c.literalsAtWordStart[bucket] && wordBefore(p)))
            return;
        for (int length : lengths) {
            if (length > folded)
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

    void tryRegexp(int r, int p, Match &best)
    {
        const RegexpToken &rt = d.regexpTokens[size_t(r)];
        int length = regexpAt(rt.regexp, p);
        if (length > 0 && !rulePasses(rt.rule, p, length))
            length = retryAt(rt.regexp, rt.rule, p);
        if (length > 0 && !best.beats(length, rt.key))
            best = Match{length, rt.key, rt.kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token,
                         rt.tokenset, rt.token, -1};
    }

    void tryRegexps(const ContextData &c, int bucket, int p, int folded, Match &best)
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
                if (!c.valid[size_t(rt.tokenset)] || (rt.caseSensitive && QStringView(text + p, length) != rt.prefix))
                    continue;
                // What follows the prefix must be able to go on the match, or end it.
                const int q = p + length;
                if (rt.afterPrefix && !(q < n && rt.afterPrefix->test(text[q]))
                    && !(rt.mayEndAfterPrefix && !(rt.wordEndAfterPrefix && wordAt(q))))
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

    // The tokens whose required text the line holds.
    void findCandidates()
    {
        s.candidates.clear();
        const LiteralTable &table = d.requiredTable;
        if (table.slots.empty())
            return;
        char16_t folded[kMaxRequiredText];
        for (int p = 0; p < n; ++p) {
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

    void emit(const StyleRun &run)
    {
        s.batch.push_back(run);
        if (qsizetype(s.batch.size()) >= kBatch) {
            sink(s.batch.data(), qsizetype(s.batch.size()));
            s.batch.clear();
        }
    }

    ScopeState run(const ScopeState &in)
    {
        s.batch.clear();
        findCandidates();
        ScopeState state = validated(in);
        int plainStart = 0;
        int content = contentOf(d, state);
        auto flushPlain = [&](int end) {
            if (end > plainStart)
                emit(StyleRun{plainStart, end - plainStart, content, -1, StyleRun::Plain});
        };
        const ContextData *c = &d.context(state.innermostTokenset());
        PatternAnalysis::FirstChars closers = closerChars(state);
        for (int p = 0; p < n;) {
            const char16_t ch = text[p];
            const bool mayClose = !state.isOutermost() && closers.test(ch);
            if ((!mayClose && ch < 128
                 && (c->nothingStarts[ch] || (c->wordStartsOnly[ch] && p > 0 && wordBefore(p))))
                || insidePair(p)) {
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
            const char16_t first = foldChar(ch);
            const int bucket = first < 128 ? first : 128;
            const int want = std::max(c->lengths[bucket].empty() ? 0 : c->lengths[bucket].front(),
                                      c->prefixLengths[bucket].empty() ? 0 : c->prefixLengths[bucket].front());
            const int folded = std::min(want, n - p);
            foldAhead(p, folded);
            tryLiterals(*c, bucket, p, folded, best);
            tryRegexps(*c, bucket, p, folded, best);
            if (best.length == 0) {
                ++p;
                continue;
            }
            flushPlain(p);
            emit(StyleRun{p, best.length, best.tokenset, best.token, best.kind});
            if (best.kind == StyleRun::ScopeEnd)
                state.truncate(best.closeLevel);
            else if (best.kind == StyleRun::ScopeStart && state.depth() < MaxScopeDepth)
                state.push(ScopeState::Frame{best.tokenset, best.token});
            if (best.kind != StyleRun::Token) {
                c = &d.context(state.innermostTokenset());
                content = contentOf(d, state);
                closers = closerChars(state);
            }
            p += best.length;
            plainStart = p;
        }
        flushPlain(n);
        if (!s.batch.empty())
            sink(s.batch.data(), qsizetype(s.batch.size()));
        s.batch.clear();
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
    const Highlighter::RunSink &sink;
};

} // namespace

int Highlighter::contentTokenset(const ScopeState &state) const
{
    return contentOf(language_->data(), state);
}

ScopeState Highlighter::highlightLine(QStringView line, const ScopeState &in, const RunSink &sink)
{
    LineScan scan(language_->data(), *scanner_, line, sink);
    return scan.run(in);
}

ScopeState Highlighter::highlightLine(QStringView line, const ScopeState &in, QVector<StyleRun> &runs)
{
    runs.clear();
    return highlightLine(line, in, [&runs](const StyleRun *batch, qsizetype count) {
        runs.reserve(runs.size() + count);
        for (const StyleRun *r = batch; r != batch + count; ++r)
            runs.append(*r);
    });
}

QVector<StyleRun> Highlighter::highlightText(QStringView text, bool mergeByTokenset)
{
    QVector<StyleRun> runs;
    ScopeState state;
    int offset = 0;
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
    const RunSink sink = [&](const StyleRun *batch, qsizetype count) {
        for (qsizetype i = 0; i < count; ++i) {
            StyleRun r = batch[i];
            r.start += offset;
            add(r);
        }
    };
    const int n = int(text.size());
    for (int start = 0; start < n;) {
        int end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        offset = start;
        state = highlightLine(text.mid(start, end - start), state, sink);
        int next = end;
        if (next < n)
            next += (text[next] == u'\r' && next + 1 < n && text[next + 1] == u'\n') ? 2 : 1;
        if (next > end)
            add(StyleRun{end, next - end, contentTokenset(state), -1, StyleRun::Plain});
        start = next;
    }
    return runs;
}
