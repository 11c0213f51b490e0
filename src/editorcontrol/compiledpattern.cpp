#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/lookaheadrewrite.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QHash>

#include <algorithm>
#include <QMutex>

namespace {

// Below this many uses the interpreter is cheaper than compiling the pattern to machine code, unless
// one call looks at a long stretch of text.
constexpr int kJitAfterUses = 8;
constexpr int kJitForSpan = 2048;
// Memory one match may take: the JIT stack (reserved, touched only as used) and the interpreter's heap.
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 4 * 1024 * 1024;
constexpr uint32_t kHeapLimitKiB = 16 * 1024;

pcre2_code *compileCode(const QString &pattern, bool caseless, bool anchored, int *errorCode = nullptr,
                        PCRE2_SIZE *errorOffset = nullptr)
{
    int unusedCode = 0;
    PCRE2_SIZE unusedOffset = 0;
    if (!errorCode)
        errorCode = &unusedCode;
    if (!errorOffset)
        errorOffset = &unusedOffset;
    uint32_t options = PCRE2_UTF | PCRE2_UCP;
    if (caseless)
        options |= PCRE2_CASELESS;
    if (anchored)
        options |= PCRE2_ANCHORED;
    return pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()), options,
                         errorCode, errorOffset, nullptr);
}

// Publishes a form made on demand; when another thread was quicker, its form is kept.
pcre2_code *publish(std::atomic<pcre2_code *> &slot, pcre2_code *made)
{
    pcre2_code *expected = nullptr;
    if (slot.compare_exchange_strong(expected, made, std::memory_order_acq_rel))
        return made;
    pcre2_code_free(made);
    return expected;
}

// Whether "." can fail to match a character of the subject (a line break of the regexp library's
// convention): a lookahead to the line end then ends before the line does.
bool dotStops(const char16_t *subject, int length)
{
    static const uint32_t newline = [] {
        uint32_t n = PCRE2_NEWLINE_LF;
        pcre2_config(PCRE2_CONFIG_NEWLINE, &n);
        return n;
    }();
    const char16_t *const end = subject + length;
    switch (newline) {
    case PCRE2_NEWLINE_LF:
        return std::find(subject, end, u'\n') != end;
    case PCRE2_NEWLINE_CR:
        return std::find(subject, end, u'\r') != end;
    case PCRE2_NEWLINE_NUL:
        return std::find(subject, end, u'\0') != end;
    case PCRE2_NEWLINE_ANY:
        return std::find_if(subject, end, [](char16_t c) {
                   return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
               }) != end;
    default: // CR LF, any CR LF
        return std::find_if(subject, end, [](char16_t c) { return c == u'\n' || c == u'\r'; }) != end;
    }
}

struct Key {
    QString pattern;
    bool caseless;
    bool operator==(const Key &) const = default;
};

size_t qHash(const Key &key, size_t seed = 0)
{
    return ::qHash(key.pattern, seed) ^ size_t(key.caseless);
}

// Two generations: a pattern used again moves to the newer one; when the newer one is full it
// becomes the older one and the patterns not used since are dropped. So the patterns of the language
// being edited stay compiled while memory stays bounded.
struct Cache {
    static constexpr qsizetype kGeneration = 4096;
    QMutex mutex;
    QHash<Key, CompiledPatternPtr> current, previous;

    CompiledPatternPtr find(const Key &key)
    {
        if (const auto it = current.constFind(key); it != current.constEnd())
            return *it;
        if (const auto it = previous.constFind(key); it != previous.constEnd()) {
            CompiledPatternPtr p = *it;
            previous.erase(it);
            insert(key, p);
            return p;
        }
        return nullptr;
    }
    void insert(const Key &key, const CompiledPatternPtr &p)
    {
        if (current.size() >= kGeneration) {
            previous = std::move(current);
            current.clear();
        }
        current.insert(key, p);
    }
};

Cache &cache()
{
    static Cache c;
    return c;
}

} // namespace

// A lookahead to the line end, "(?=.*T)" or "(?!.*T)", answered by a callout.
struct CompiledPattern::Lookahead {
    CompiledPatternPtr body;          // T, searched once per subject for its last match
    pcre2_code *assertion = nullptr;  // the lookahead as written, for subjects where "." stops early
    bool negative = false;
    bool skipsOne = false;
    ~Lookahead() { pcre2_code_free(assertion); }
};

CompiledPattern::~CompiledPattern()
{
    pcre2_code_free(code_);
    pcre2_code_free(fast_.load());
    pcre2_code_free(anchored_.load());
}

CompiledPatternPtr CompiledPattern::get(const QString &pattern, bool caseless, QString *error)
{
    const Key key{pattern, caseless};
    Cache &c = cache();
    {
        QMutexLocker lock(&c.mutex);
        if (CompiledPatternPtr p = c.find(key))
            return p;
    }
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code *code = compileCode(pattern, caseless, false, &errorCode, &errorOffset);
    if (!code) {
        if (error) {
            PCRE2_UCHAR buffer[256];
            const int n = pcre2_get_error_message(errorCode, buffer, 256);
            *error = QStringLiteral("%1 at offset %2")
                         .arg(QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), n > 0 ? n : 0))
                         .arg(errorOffset);
        }
        return nullptr;
    }
    std::shared_ptr<CompiledPattern> p(new CompiledPattern);
    p->pattern_ = pattern;
    p->compiled_ = pattern;
    p->caseless_ = caseless;
    p->code_ = code;
    if (const auto rewrite = LookaheadRewrite::rewrite(pattern)) {
        std::vector<std::unique_ptr<Lookahead>> lookaheads;
        for (const LookaheadRewrite::Lookahead &l : rewrite->lookaheads) {
            auto made = std::make_unique<Lookahead>();
            made->body = get(l.body, caseless);
            made->assertion = compileCode((l.negative ? QStringLiteral("(?!.") : QStringLiteral("(?=."))
                                              + (l.skipsOne ? u'+' : u'*') + l.body + u')',
                                          caseless, true);
            made->negative = l.negative;
            made->skipsOne = l.skipsOne;
            if (!made->body || !made->assertion)
                break;
            lookaheads.push_back(std::move(made));
        }
        pcre2_code *rewritten = lookaheads.size() == rewrite->lookaheads.size()
            ? compileCode(rewrite->pattern, caseless, false) : nullptr;
        if (rewritten) {
            pcre2_code_free(p->code_);
            p->code_ = rewritten;
            p->compiled_ = rewrite->pattern;
            p->lookaheads_ = std::move(lookaheads);
        }
    }
    QMutexLocker lock(&c.mutex);
    if (CompiledPatternPtr other = c.find(key))
        return other;
    c.insert(key, p);
    return p;
}

pcre2_code *CompiledPattern::codeFor(bool anchored, int span, bool *jit) const
{
    std::atomic<pcre2_code *> &slot = anchored ? anchored_ : fast_;
    std::atomic<bool> &slotJit = anchored ? anchoredJit_ : fastJit_;
    if (pcre2_code *c = slot.load(std::memory_order_acquire)) {
        *jit = slotJit.load(std::memory_order_acquire);
        return c;
    }
    *jit = false;
    pcre2_code *made = nullptr;
    if (anchored) {
        made = compileCode(compiled_, caseless_, true);
        if (!made)
            return nullptr;
    } else {
        if (uses_.fetch_add(1, std::memory_order_relaxed) + 1 < kJitAfterUses && span < kJitForSpan)
            return code_;
        made = pcre2_code_copy(code_);
        if (!made)
            return code_;
    }
    // Without JIT it still matches, more slowly.
    const bool compiled = pcre2_jit_compile(made, PCRE2_JIT_COMPLETE) == 0;
    pcre2_code *published = publish(slot, made);
    if (published == made && compiled)
        slotJit.store(true, std::memory_order_release);
    return published;
}

CompiledPattern::Match CompiledPattern::match(const char16_t *subject, int length, int offset, bool anchored,
                                              quint32 limit, Scratch &scratch) const
{
    bool jit = false;
    pcre2_code *code = codeFor(anchored, length - offset, &jit);
    if (!code)
        return {};
    if (scratch.limit != limit) {
        pcre2_set_match_limit(scratch.context, limit);
        scratch.limit = limit;
    }
    const CompiledPattern *outer = scratch.current;
    scratch.current = this;
    const auto s = reinterpret_cast<PCRE2_SPTR>(subject);
    const int rc = jit ? pcre2_jit_match(code, s, PCRE2_SIZE(length), PCRE2_SIZE(offset), 0, scratch.data, scratch.context)
                       : pcre2_match(code, s, PCRE2_SIZE(length), PCRE2_SIZE(offset), PCRE2_NO_UTF_CHECK, scratch.data,
                                     scratch.context);
    scratch.current = outer;
    if (rc >= 0) { // 0: more groups than the match block holds; the whole match is there all the same
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(scratch.data);
        if (ovector[1] < ovector[0])
            return {};
        return {Match::Found, int(ovector[0]), int(ovector[1] - ovector[0])};
    }
    switch (rc) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
    case PCRE2_ERROR_NOMEMORY:
        return {Match::LimitHit, -1, 0};
    default:
        return {};
    }
}

int CompiledPattern::callout(pcre2_callout_block *block, void *data)
{
    Scratch &scratch = *static_cast<Scratch *>(data);
    return scratch.current->lookaheadAt(int(block->callout_number), reinterpret_cast<const char16_t *>(block->subject),
                                        int(block->subject_length), int(block->current_position), scratch);
}

// 0 when lookahead `number` holds at `position`, 1 when it does not (the match backtracks), or the
// error that ends the match when the lookahead's body ran out of steps. Its body is searched from the
// subject's start once per subject: the lookahead holds up to the body's last match and not after it.
int CompiledPattern::lookaheadAt(int number, const char16_t *subject, int length, int position, Scratch &scratch) const
{
    constexpr int kLimitHit = -2, kDotStops = -3;
    const Lookahead &l = *lookaheads_[size_t(number - 1)];
    Scratch &inner = scratch.inner();
    inner.generation = scratch.generation;
    auto it = std::find_if(scratch.found.begin(), scratch.found.end(), [&l](const auto &e) { return e.first == &l; });
    if (it == scratch.found.end())
        it = scratch.found.insert(it, {&l, Scratch::Found{}});
    Scratch::Found &f = it->second;
    if (f.generation != scratch.generation || f.subject != subject || f.length != length) {
        f = {scratch.generation, subject, length, -1};
        if (dotStops(subject, length)) {
            f.last = kDotStops;
        } else {
            for (int from = 0; from <= length;) {
                const Match m = l.body->match(subject, length, from, false, scratch.limit, inner);
                if (m.result == Match::LimitHit)
                    f.last = kLimitHit;
                if (m.result != Match::Found)
                    break;
                f.last = m.start;
                from = m.start + 1;
                if (from < length && QChar::isLowSurrogate(subject[from]))
                    ++from;
            }
        }
    }
    if (f.last == kLimitHit)
        return PCRE2_ERROR_MATCHLIMIT;
    if (f.last == kDotStops) {
        if (inner.limit != scratch.limit) {
            pcre2_set_match_limit(inner.context, scratch.limit);
            inner.limit = scratch.limit;
        }
        const int rc = pcre2_match(l.assertion, reinterpret_cast<PCRE2_SPTR>(subject), PCRE2_SIZE(length),
                                   PCRE2_SIZE(position), PCRE2_NO_UTF_CHECK, inner.data, inner.context);
        return rc >= 0 ? 0 : rc == PCRE2_ERROR_NOMATCH ? 1 : rc;
    }
    const bool found = f.last >= position + (l.skipsOne ? 1 : 0);
    return found != l.negative ? 0 : 1;
}

int CompiledPattern::cacheSize()
{
    QMutexLocker lock(&cache().mutex);
    return int(cache().current.size() + cache().previous.size());
}

void CompiledPattern::clearCache()
{
    QMutexLocker lock(&cache().mutex);
    cache().current.clear();
    cache().previous.clear();
}

CompiledPattern::Scratch::Scratch()
    : data(pcre2_match_data_create(1, nullptr))
    , context(pcre2_match_context_create(nullptr))
    , stack(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr))
{
    pcre2_jit_stack_assign(context, nullptr, stack);
    pcre2_set_heap_limit(context, kHeapLimitKiB);
    pcre2_set_callout(context, &CompiledPattern::callout, this);
}

CompiledPattern::Scratch &CompiledPattern::Scratch::inner()
{
    if (!nested)
        nested = std::make_unique<Scratch>();
    return *nested;
}

CompiledPattern::Scratch::~Scratch()
{
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
}
