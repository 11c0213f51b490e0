#include "editorcontrol/compiledpattern.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QHash>
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

pcre2_code *compileCode(const QString &pattern, bool caseless, bool anchored, int *errorCode, PCRE2_SIZE *errorOffset)
{
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
    p->caseless_ = caseless;
    p->code_ = code;
    QMutexLocker lock(&c.mutex);
    if (CompiledPatternPtr other = c.find(key))
        return other;
    c.insert(key, p);
    return p;
}

pcre2_code *CompiledPattern::codeFor(bool anchored, int span) const
{
    if (anchored) {
        if (pcre2_code *a = anchored_.load(std::memory_order_acquire))
            return a;
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        pcre2_code *made = compileCode(pattern_, caseless_, true, &errorCode, &errorOffset);
        if (!made)
            return nullptr;
        pcre2_jit_compile(made, PCRE2_JIT_COMPLETE); // without JIT it still matches, more slowly
        return publish(anchored_, made);
    }
    if (pcre2_code *f = fast_.load(std::memory_order_acquire))
        return f;
    if (uses_.fetch_add(1, std::memory_order_relaxed) + 1 < kJitAfterUses && span < kJitForSpan)
        return code_;
    pcre2_code *made = pcre2_code_copy(code_);
    if (!made)
        return code_;
    pcre2_jit_compile(made, PCRE2_JIT_COMPLETE);
    return publish(fast_, made);
}

CompiledPattern::Match CompiledPattern::match(const char16_t *subject, int length, int offset, bool anchored,
                                              quint32 limit, Scratch &scratch) const
{
    pcre2_code *code = codeFor(anchored, length - offset);
    if (!code)
        return {};
    if (scratch.limit != limit) {
        pcre2_set_match_limit(scratch.context, limit);
        scratch.limit = limit;
    }
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject), PCRE2_SIZE(length), PCRE2_SIZE(offset),
                               PCRE2_NO_UTF_CHECK, scratch.data, scratch.context);
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
}

CompiledPattern::Scratch::~Scratch()
{
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
}
