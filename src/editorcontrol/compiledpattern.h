#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;
struct pcre2_real_match_context_16;
struct pcre2_real_jit_stack_16;
struct pcre2_callout_block_16;

// A token's regular expression, compiled for the colouring engine with PCRE2 (UTF-16, Unicode
// classes, optionally without case): the same engine and options QRegularExpression uses, so what
// the definition reader accepts compiles here too. Used directly because the engine needs what Qt
// hides: to tell a match that ran out of steps from one that failed, to skip re-validating the
// subject at every call, and to reuse one match block for millions of calls.
//
// Compiled patterns are shared by pattern text and case option. A pattern is JIT-compiled once it has
// been used often enough to repay it; its anchored form is compiled only when first needed. A
// lookahead that looks to the line end is answered once per subject (see LookaheadRewrite).
class CompiledPattern {
public:
    // nullptr when the pattern does not compile; `error` then says why and where.
    static std::shared_ptr<const CompiledPattern> get(const QString &pattern, bool caseless, QString *error = nullptr);
    ~CompiledPattern();
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;

    struct Match {
        enum Result : quint8 { Found, None, LimitHit };
        Result result = None;
        int start = -1;
        int length = 0;
    };

    struct Lookahead;

    // What one matcher reuses from call to call: the match block, the JIT stack, the limits, and
    // what the lookaheads to the line end found in the current subject. One per highlighter; never
    // shared between threads.
    class Scratch {
    public:
        Scratch();
        ~Scratch();
        Scratch(const Scratch &) = delete;
        Scratch &operator=(const Scratch &) = delete;

        // The next calls match in another subject (or the same buffer holding other text).
        void newSubject() { ++generation; }

    private:
        friend class CompiledPattern;
        struct Found {
            quint32 generation = 0;
            const char16_t *subject = nullptr;
            int length = -1;
            int last = -1; // the last place the lookahead's body matches; see CompiledPattern::lookaheadAt
        };
        Scratch &inner(); // for the matches a callout makes while this scratch is in use

        pcre2_real_match_data_16 *data = nullptr;
        pcre2_real_match_context_16 *context = nullptr;
        pcre2_real_jit_stack_16 *stack = nullptr;
        quint32 limit = 0;
        quint32 generation = 1;
        const CompiledPattern *current = nullptr; // the pattern being matched
        std::vector<std::pair<const Lookahead *, Found>> found; // a few: looked through in turn
        std::unique_ptr<Scratch> nested;
    };

    // The first match in subject[0, length) that starts at or after `offset` (only at it when
    // `anchored`). The subject must be valid UTF-16 and `offset` must not split a surrogate pair.
    // `limit` bounds the backtracking steps at each start position: a start that needs more gives
    // LimitHit and ends the search.
    Match match(const char16_t *subject, int length, int offset, bool anchored, quint32 limit, Scratch &scratch) const;

    const QString &pattern() const { return pattern_; }
    bool caseless() const { return caseless_; }

    // The pattern cache's size, for tests and benchmarks; clearCache() drops every pattern not in use.
    static int cacheSize();
    static void clearCache();

private:
    CompiledPattern() = default;
    pcre2_real_code_16 *codeFor(bool anchored, int span, bool *jit) const;
    static int callout(pcre2_callout_block_16 *block, void *scratch);
    int lookaheadAt(int number, const char16_t *subject, int length, int position, Scratch &scratch) const;

    QString pattern_;
    QString compiled_; // what code_ is compiled from: the pattern, its lookaheads to the line end made callouts
    std::vector<std::unique_ptr<Lookahead>> lookaheads_;
    bool caseless_ = false;
    pcre2_real_code_16 *code_ = nullptr;
    // Filled on demand and never changed afterwards: the JIT-compiled search form and the anchored form.
    mutable std::atomic<pcre2_real_code_16 *> fast_{nullptr};
    mutable std::atomic<pcre2_real_code_16 *> anchored_{nullptr};
    // Set once the published form is known to be JIT-compiled: it is then run without the checks
    // and dispatch of the general entry point.
    mutable std::atomic<bool> fastJit_{false};
    mutable std::atomic<bool> anchoredJit_{false};
    mutable std::atomic<int> uses_{0};
};

using CompiledPatternPtr = std::shared_ptr<const CompiledPattern>;
