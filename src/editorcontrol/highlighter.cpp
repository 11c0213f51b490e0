#include "editorcontrol/highlighter.h"
#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/highlighterscanner.h"
#include "editorcontrol/linematch.h"
#include "editorcontrol/lineregexps.h"
#include "editorcontrol/linescopes.h"
#include "editorcontrol/linetext.h"
#include "editorcontrol/linetokens.h"

#include <vector>

namespace {

constexpr qsizetype kBatch = 256;

// What the scan does at a character below 128: try the tokens there, skip it, or skip it after a
// word character (every token that may begin with it must begin at a word start); whether it is a
// word character itself, and whether a closer of the open scopes may begin with it.
// kWordLiterals: a word start there is settled by looking its word up (LineTokens::wholeWord).
// kRegexpsOnly: only regexp tokens may begin there (ContextData::regexpsOnly).
// kOneChar: the sole token there is a simple pattern of one character (LineTokens::oneChars).
// kCloserOnly (with kCloser): no token of the context begins there, only closers do.
enum : quint8 { kTry = 0, kSkip = 1, kSkipInWord = 2, kWordUnit = 4, kCloser = 8, kWordLiterals = 16, kRegexpsOnly = 32, kOneChar = 64,
                kCloserOnly = 128 };
static_assert(kWordUnit >> 1 == kSkipInWord);
// Tables kept for the contexts inside transparent scopes.
constexpr size_t kSkipTables = 16;
constexpr size_t kSkipNodes = 1024;

} // namespace

Highlighter::Highlighter(CompiledLanguagePtr language)
    : language_(std::move(language)), scanner_(std::make_unique<Scanner>())
{
    const CompiledLanguageData &d = language_->data();
    textTokenset_ = d.textTokenset;
    scanner_->cache.resize(d.regexps.size());
    scanner_->gateRuns.resize(d.gates.size());
    scanner_->retry.resize(d.regexps.size());
    scanner_->retryTried.resize(d.regexps.size());
    if (!d.requiredTable.slots.empty())
        scanner_->candidateLine.resize(d.regexpTokens.size());
    const int ahead = std::max(d.table.maxLength, d.prefixTable.maxLength);
    scanner_->folded.resize(size_t(ahead) + 1);
    scanner_->prefixHash.resize(size_t(ahead) + 1);
    scanner_->batch.resize(kBatch);
    scanner_->skip.resize(d.tokensets.size() + 1);
    scanner_->skipMade.assign(d.tokensets.size() + 1, 0);
}

Highlighter::~Highlighter() = default;

void Highlighter::setLimitNotice(std::function<void(const QString &)> notice)
{
    scanner_->notice = std::move(notice);
}

namespace {

// Plain text takes the style of the innermost open scope (transparent ones too: their colours are
// the user's to choose), and outside every scope the style of the text tokenset.
int contentOf(const CompiledLanguageData &d, const ScopeState &state)
{
    return state.isOutermost() ? d.textTokenset : state.innermostTokenset();
}

// One line coloured from a state: at each place the open scopes' closers and the context's tokens
// compete (longest first, then priority), and the runs go to the sink in batches.
class LineScan {
public:
    LineScan(const CompiledLanguageData &d, Highlighter::Scanner &s, QStringView text, const Highlighter::RunSink &sink)
        : d(d), s(s), sink(sink), line(d, text), regexps(d, s, line), tokens(d, s, line, regexps),
          scopes(d, line, regexps)
    {
    }

    ScopeState run(ScopeState in)
    {
        const char16_t *const text = line.text;
        const int n = line.n;
        batched = 0;
        tokens.findCandidates();
        ScopeState state = scopes.validated(std::move(in));
        int plainStart = 0;
        int content = contentOf(d, state);
        auto flushPlain = [&](int end) {
            if (end > plainStart)
                emit(StyleRun{plainStart, end - plainStart, content, -1, StyleRun::Plain});
        };
        const ContextData *c = &d.context(state.innermostTokenset());
        bool closerBeyondAscii = false; // a closer of the open scopes may begin with a character from 128 up
        int node[MaxScopeDepth + 1]; // the skip node of the open scopes up to each depth
        node[0] = rootNode();
        for (int level = 0; level < state.depth(); ++level)
            node[level + 1] = childNode(node[level], state.at(level).tokenset);
        const quint8 *skip = skipTable(node[state.depth()], state, *c, closerBeyondAscii);
        LineMatch best;
        for (int p = 0; p < n;) {
            const char16_t ch = text[p];
            int wordEnd = -1;
            if (ch < 128) {
                const quint8 k = skip[ch];
                if ((k & kSkip) || ((k & kSkipInWord) && p > 0 && line.wordBefore(p))) {
                    // And the characters after it where nothing can begin either: kSkipInWord counts
                    // after a word character (kWordUnit / 2 == kSkipInWord).
                    const char16_t *q = text + p + 1, *const end = text + n;
                    unsigned skips = kSkip | ((k & kWordUnit) >> 1);
                    for (; q < end && *q < 128; ++q) {
                        const unsigned next = skip[*q];
                        if (!(next & skips))
                            break;
                        skips = kSkip | ((next & kWordUnit) >> 1);
                    }
                    p = int(q - text);
                    continue;
                }
                if (k & (kWordLiterals | kOneChar | kRegexpsOnly)) { // never two of them
                    if (k & kWordLiterals) {
                        best = LineMatch{};
                        wordEnd = tokens.wholeWord(*c, p, skip, kWordUnit, kSkip | kSkipInWord, best);
                        if (wordEnd >= 0 && best.length == 0) {
                            p = wordEnd; // the rest of a word looked up is plain too
                            continue;
                        }
                    } else if (k & kOneChar) {
                        if (const int q = oneChars(*c, skip, p, plainStart, content); q > p) {
                            p = plainStart = q;
                            continue;
                        }
                    } else if (deadIn == c && ((dead[ch >> 6] >> (ch & 63)) & 1)) {
                        ++p;
                        continue;
                    }
                }
            } else if (line.insidePair(p) || (c->nothingBeyondAscii && !closerBeyondAscii)) {
                ++p;
                continue;
            }
            if (wordEnd < 0) {
                best = LineMatch{};
                const unsigned close = ch < 128 ? skip[ch] & (kCloser | kCloserOnly) : closerBeyondAscii ? kCloser : 0;
                if (ch >= 128 || close || tokens.trySole(*c, p, best) < 0) {
                    if (close)
                        scopes.tryAt(state, p, best);
                    if (!(close & kCloserOnly))
                        tokens.tryAt(*c, p, best);
                }
            }
            if (best.length == 0) {
                ++p;
                if (ch < 128 && (skip[ch] & kRegexpsOnly))
                    p = passDead(*c, skip, ch, p);
                continue;
            }
            flushPlain(p);
            emit(StyleRun{p, best.length, best.tokenset, best.token, best.kind});
            if (best.kind == StyleRun::ScopeEnd)
                state.truncate(best.closeLevel);
            else if (best.kind == StyleRun::ScopeStart && state.depth() < MaxScopeDepth) {
                state.push(ScopeState::Frame{best.tokenset, best.token});
                node[state.depth()] = childNode(node[state.depth() - 1], best.tokenset);
            }
            if (best.kind != StyleRun::Token) {
                c = &d.context(state.innermostTokenset());
                content = contentOf(d, state);
                skip = skipTable(node[state.depth()], state, *c, closerBeyondAscii);
            }
            p += best.length;
            plainStart = p;
        }
        flushPlain(n);
        if (batched > 0)
            sink(s.batch.data(), batched);
        batched = 0;
        // Single-line scopes close at the line end, with every scope opened inside them.
        for (int level = 0; level < state.depth(); ++level)
            if (d.tokensets[size_t(state.at(level).tokenset)].singleLine) {
                state.truncate(level);
                break;
            }
        return state;
    }

private:
    int rootNode()
    {
        if (s.skipNodes.empty()) {
            fillSkip(s.skipNodes.emplace_back(std::make_unique<Highlighter::Scanner::SkipNode>())->table.data(), {},
                     d.context(-1));
            s.skipChild.assign(d.tokensets.size(), -1);
        }
        return 0;
    }

    // The node of the state that opens scope t inside the state of node `parent`, or -1 when there
    // are too many nodes.
    int childNode(int parent, int t)
    {
        if (parent >= 0)
            if (const int child = s.skipChild[size_t(parent) * d.tokensets.size() + size_t(t)]; child >= 0)
                return child;
        return newNode(parent, t);
    }

    // A closer counts inside the innermost scope, and inside a transparent one also those of the
    // scopes around it that chain, up to the first scope that is not transparent.
    Q_NEVER_INLINE int newNode(int parent, int t)
    {
        if (parent < 0 || s.skipNodes.size() >= kSkipNodes)
            return -1;
        const Highlighter::Scanner::SkipNode &p = *s.skipNodes[size_t(parent)];
        const CompiledTokenset &ts = d.tokensets[size_t(t)];
        PatternAnalysis::FirstChars closers = ts.closerChars, chained;
        if (ts.chain)
            chained = ts.closerChars;
        if (ts.transparent)
            for (PatternAnalysis::FirstChars *f : {&closers, &chained}) {
                f->ascii[0] |= p.chained.ascii[0];
                f->ascii[1] |= p.chained.ascii[1];
                f->nonAscii = f->nonAscii || p.chained.nonAscii;
            }
        Highlighter::Scanner::SkipNode &node = *s.skipNodes.emplace_back(std::make_unique<Highlighter::Scanner::SkipNode>());
        node.closerBeyondAscii = closers.nonAscii;
        node.chained = chained;
        fillSkip(node.table.data(), closers, d.context(t));
        const int index = int(s.skipNodes.size()) - 1;
        s.skipChild[size_t(parent) * d.tokensets.size() + size_t(t)] = index;
        s.skipChild.resize(s.skipChild.size() + d.tokensets.size(), -1);
        return index;
    }

    // The table of a node, or of the open scopes and context c where there is none (see kTry).
    const quint8 *skipTable(int node, const ScopeState &state, const ContextData &c, bool &closerBeyondAscii)
    {
        if (node < 0)
            return skipTable(state, c, closerBeyondAscii);
        const Highlighter::Scanner::SkipNode &k = *s.skipNodes[size_t(node)];
        closerBeyondAscii = k.closerBeyondAscii;
        return k.table.data();
    }

    void fillSkip(quint8 *table, const PatternAnalysis::FirstChars &closers, const ContextData &c) const
    {
        for (char16_t ch = 0; ch < 128; ++ch) {
            const quint8 what = closers.test(ch) ? kTry : c.nothingStarts[ch] ? kSkip : c.wordStartsOnly[ch] ? kSkipInWord : kTry;
            table[ch] = quint8(what | (d.isWordUnit(ch) ? kWordUnit : 0) | (closers.test(ch) ? kCloser : 0)
                               | (c.wordLiteralsOnly[ch] && !closers.test(ch) ? kWordLiterals : 0)
                               | (c.regexpsOnly[ch] && !closers.test(ch) ? kRegexpsOnly : 0)
                               | (c.soleOneChar[ch] && !closers.test(ch) ? kOneChar : 0)
                               | (closers.test(ch) && c.nothingStarts[ch] ? kCloserOnly : 0));
        }
    }

    // The table for the open scopes and context c, made from the state.
    Q_NEVER_INLINE const quint8 *skipTable(const ScopeState &state, const ContextData &c, bool &closerBeyondAscii)
    {
        const int t = state.innermostTokenset();
        quint8 *table = nullptr;
        PatternAnalysis::FirstChars closers;
        if (t < 0 || !d.tokensets[size_t(t)].transparent) {
            // Only the innermost scope's closers count: the table depends on it alone.
            table = s.skip[size_t(t + 1)].data();
            closerBeyondAscii = t >= 0 && d.tokensets[size_t(t)].closerChars.nonAscii;
            if (s.skipMade[size_t(t + 1)])
                return table;
            s.skipMade[size_t(t + 1)] = 1;
            closers = scopes.closerChars(state);
        } else {
            closers = scopes.closerChars(state);
            closerBeyondAscii = closers.nonAscii;
            for (const Highlighter::Scanner::SkipTable &k : s.skipInside)
                if (k.context == &c && k.closers[0] == closers.ascii[0] && k.closers[1] == closers.ascii[1])
                    return k.table.data();
            if (s.skipInside.size() == kSkipTables)
                s.skipInside.erase(s.skipInside.begin());
            s.skipInside.push_back({&c, {closers.ascii[0], closers.ascii[1]}, {}});
            table = s.skipInside.back().table.data();
        }
        fillSkip(table, closers, c);
        return table;
    }

    // Where the regexps that may begin with ch (tried in vain just before p) can match nowhere further
    // on the line, the places from p on that only such regexps (or nothing) may begin at are passed
    // over.
    Q_NEVER_INLINE int passDead(const ContextData &c, const quint8 *skip, char16_t ch, int p)
    {
        const char16_t *const text = line.text;
        const int n = line.n;
        if (!tokens.allDead(c, ch, p))
            return p;
        // What cannot match stays so further on the line (its searches are kept, not run again in
        // between): the characters with the same regexps are passed without asking again, here and
        // further on in this context.
        const quint64 *const same = c.sameRegexps[ch];
        if (deadIn != &c) {
            deadIn = &c;
            dead[0] = dead[1] = 0;
        }
        dead[0] |= same[0];
        dead[1] |= same[1];
        for (; p < n && text[p] < 128; ++p) {
            const char16_t u = text[p];
            if (skip[u] & kSkip)
                continue;
            if (!(skip[u] & kRegexpsOnly) || (!((same[u >> 6] >> (u & 63)) & 1) && !tokens.allDead(c, u, p)))
                break;
        }
        return p;
    }

    // Where the character at p is marked kOneChar: the characters from p on that the same
    // one-character token alone matches, each a match of its own, after the plain text before p.
    // Returns where they end (p: none).
    Q_NEVER_INLINE int oneChars(const ContextData &c, const quint8 *skip, int p, int plainStart, int content)
    {
        const int q = tokens.oneChars(c, skip, kOneChar, kCloser, p);
        if (q == p)
            return p;
        if (p > plainStart)
            emit(StyleRun{plainStart, p - plainStart, content, -1, StyleRun::Plain});
        const RegexpToken &rt = d.regexpTokens[size_t(c.soleSimple[line.text[p]])];
        // Written into the batch with its place in a local: a store of a run could change s.batch or
        // `batched` as far as the compiler knows, which would have them read again at each run.
        StyleRun *batch = s.batch.data();
        qsizetype b = batched;
        for (int i = p; i < q; ++i) {
            batch[b] = StyleRun{i, 1, rt.tokenset, rt.token, StyleRun::Token};
            if (++b == kBatch) {
                sink(batch, b);
                b = 0;
            }
        }
        batched = b;
        return q;
    }

    void emit(const StyleRun &run)
    {
        s.batch[size_t(batched++)] = run;
        if (batched == kBatch) {
            sink(s.batch.data(), batched);
            batched = 0;
        }
    }

    const CompiledLanguageData &d;
    Highlighter::Scanner &s;
    const Highlighter::RunSink &sink;
    LineText line;
    LineRegexps regexps;
    LineTokens tokens;
    LineScopes scopes;
    qsizetype batched = 0; // runs held in s.batch
    // The characters below 128 at which only regexps may begin that passDead found can match nowhere
    // further on the line, in context deadIn (so their later places are passed at once).
    const ContextData *deadIn = nullptr;
    quint64 dead[2];
};

} // namespace

ScopeState Highlighter::highlightLine(QStringView line, ScopeState in, const RunSink &sink, bool pairsWhole)
{
    if (!pairsWhole)
        line = wholePairs(line, scanner_->clean);
    LineScan scan(language_->data(), *scanner_, line, sink);
    return scan.run(std::move(in));
}

// Apart from the scan, so that the scan's code stays as it is: the first scope that is single-line, or
// that the language cannot hold, closes with those inside it.
void Highlighter::closeAtEmptyLine(ScopeState &state) const
{
    const CompiledLanguageData &d = language_->data();
    for (int level = 0; level < state.depth(); ++level) {
        const int t = state.at(level).tokenset;
        if (t < 0 || size_t(t) >= d.tokensets.size() || !d.tokensets[size_t(t)].scope || level >= MaxScopeDepth
            || d.tokensets[size_t(t)].singleLine) {
            state.truncate(level);
            return;
        }
    }
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
