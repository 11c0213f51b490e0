#include "import/kdesyntaxconverter.h"

#include "editorcontrol/patternanalysis.h"
#include "import/kdealikecontexts.h"
#include "import/kdedefaultstyles.h"
#include "import/kdedefinition.h"
#include "import/languagefitting.h"
#include "import/regextext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ranges>
#include <tuple>
#include <utility>

namespace {

// The characters a `DetectChar` or `AnyChar` rule takes, one of which closes its scope; none for other
// rules or ones with conditions beyond the character.
QStringList closerCharacters(const KdeRule &rule)
{
    static const QSet<QString> plainAttributes{QStringLiteral("char"), QStringLiteral("String"), QStringLiteral("context"), QStringLiteral("lookAhead"),
                                               QStringLiteral("attribute"), QStringLiteral("beginRegion"), QStringLiteral("endRegion")};
    for (auto it = rule.attrs.cbegin(); it != rule.attrs.cend(); ++it)
        if (!plainAttributes.contains(it.key()))
            return {};
    QString text;
    if (rule.type == QLatin1String("DetectChar") && rule.value("char").size() == 1)
        text = rule.value("char");
    else if (rule.type == QLatin1String("AnyChar") && !rule.value("String").isEmpty())
        text = rule.value("String");
    QStringList out;
    for (const QChar c : std::as_const(text))
        if (!out.contains(QString(c)))
            out += QString(c);
    return out;
}

// The key a closer's single character is counted under, apart from the keys of whole closers.
QString characterKey(const QString &c)
{
    return QChar(0x1E) + c;
}

// Hashed containers iterate in an order that changes from run to run: passes whose result depends on
// that order take the keys sorted, so one definition always converts to the same bytes.
template <typename Container>
QList<typename Container::key_type> sortedKeys(const Container &c)
{
    QList<typename Container::key_type> keys(c.keyBegin(), c.keyEnd());
    std::sort(keys.begin(), keys.end());
    return keys;
}

// A context of some definition.
struct Ref {
    const KdeDefinition *def = nullptr;
    int index = -1;

    bool valid() const { return def && index >= 0; }
    const KdeContext &context() const { return def->contexts[size_t(index)]; }
    QString key() const { return def->name + QStringLiteral("##") + QString::number(index); }
    // How the report names it: the context, and its definition when that is not the one converted.
    QString where(const KdeDefinition *main) const
    {
        return def == main ? context().name : context().name + QStringLiteral("##") + def->name;
    }
};

// A rule as its context sees it, included rules in place.
struct FlatRule {
    Ref owner; // the context that holds the rule
    const KdeRule *rule = nullptr;
};

// Where a rule's context attribute leads: pop `pops` contexts, then push `push` (if any).
struct Switch {
    int pops = 0;
    Ref push;
    Ref closers; // the context whose closers end the scope `push` opens, when not its own
    // Contexts folded into the rule that stand below `push` (one never gone back to, which went on in
    // another): its pops close them before any scope.
    int under = 0;
    bool stay() const { return pops == 0 && !push.valid(); }
};

struct Look {
    QString id;
    QString name;
    qint32 fg = 0, bg = 0xFFFFFF;
    QString fontstyle = QStringLiteral("normal");

    // Whether text in either look shows alike, of the same kind (the name aside).
    bool showsAs(const Look &o) const { return fg == o.fg && bg == o.bg && fontstyle == o.fontstyle && id == o.id; }
};

// One place text can be in: the outermost level or a scope.
struct Level {
    QString name; // the scope tokenset's name; "" for the outermost level
    Ref context;
    int scope = -1; // draft index of the scope tokenset
    bool endsOnly = false; // read for its closers only: a context whose scope is that of another
    int depth = 0;         // how many contexts stand below it in KDE: the shallower are read first
};

// What a rule comes to where it is used, once the contexts it passes through on the way are folded
// into it: a pattern, the rule whose attribute colours it, and where the context stack goes.
struct Effect {
    QString pattern;
    const FlatRule *colour = nullptr; // null: the colour of the context it is used in
    Switch net;
    FlatRule origin;                  // the rule of the context itself
    const KdeRule *rule = nullptr;    // the last rule folded in, which decides the switch
    QString where;
    // A scope opened by a rule that may take nothing, then a rule of the context folded after it: the
    // pattern as the two parts, which may be coloured apart (`pattern` is `head` then `tail`).
    QString head, tail;
    // A scope opened by the last of several rules folded in (`$`, `(`, then a function's name): what the
    // others take, what it takes and the rule, whose colour may differ (`pattern` is `lead` then `last`).
    QString lead, last;
    const FlatRule *lastColour = nullptr;
};

bool mayBeEmpty(const QString &pattern)
{
    bool empty = false;
    PatternAnalysis::firstChars(pattern, false, &empty);
    return empty;
}

// The characters a pattern's match may begin with, worked out once per pattern.
const std::optional<PatternAnalysis::FirstChars> &firstCharsOf(const QString &pattern)
{
    static thread_local QHash<QString, std::optional<PatternAnalysis::FirstChars>> cache;
    if (cache.size() > 20000)
        cache.clear();
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.insert(pattern, PatternAnalysis::firstChars(pattern, false));
    return *it;
}

// A pattern as the engine compiles it (UTF-16, Unicode classes): why it does not, or how many bytes
// of code it comes to. Checked without the machine code QRegularExpression would make for it, which
// costs more than the check, and once per pattern.
struct Compiled {
    QString error;
    size_t bytes = 0;
    int branches = 0; // of lookbehinds, as lookbehindBranches counts them
};

// How many branches the engine checks in the lookbehinds of a pattern (their alternatives and the
// alternatives of groups in them), or more; a pattern this cannot read counts as too many.
int lookbehindBranches(const QString &p)
{
    constexpr int kUnknown = 1 << 20;
    if (p.contains(QLatin1String("\\Q")) || p.contains(QLatin1String("(?x")) || p.contains(QLatin1String("(?#")))
        return kUnknown;
    int total = 0, inside = 0;
    std::vector<bool> open; // per open group: whether it is a lookbehind
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = p[i];
        if (c == u'\\') {
            ++i;
        } else if (c == u'[') {
            // A class: "]" first (after "^") is a member; so is anything escaped; [:name:] is one member.
            qsizetype j = i + 1;
            if (j < n && p[j] == u'^')
                ++j;
            if (j < n && p[j] == u']')
                ++j;
            for (; j < n && p[j] != u']'; ++j) {
                if (p[j] == u'\\')
                    ++j;
                else if (p[j] == u'[' && j + 1 < n && p[j + 1] == u':')
                    j = std::max(j, p.indexOf(QLatin1String(":]"), j + 2) + 1);
            }
            if (j >= n)
                return kUnknown;
            i = j;
        } else if (c == u'(') {
            const bool behind = p.mid(i, 4) == QLatin1String("(?<=") || p.mid(i, 4) == QLatin1String("(?<!");
            open.push_back(behind);
            if (behind || inside > 0)
                ++total;
            inside += behind ? 1 : 0;
        } else if (c == u')') {
            if (open.empty())
                return kUnknown;
            inside -= open.back() ? 1 : 0;
            open.pop_back();
        } else if (c == u'|' && inside > 0) {
            ++total;
        }
    }
    return open.empty() ? total : kUnknown;
}

Compiled compiled(const QString &pattern)
{
    static thread_local QHash<QString, Compiled> cache;
    if (const auto it = cache.constFind(pattern); it != cache.constEnd())
        return *it;
    if (cache.size() > 20000)
        cache.clear();
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code_16 *program = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                                              PCRE2_UTF | PCRE2_UCP, &code, &offset, nullptr);
    Compiled result;
    if (program) {
        size_t bytes = 0;
        pcre2_pattern_info_16(program, PCRE2_INFO_SIZE, &bytes);
        result.bytes = bytes;
        result.branches = lookbehindBranches(pattern);
        pcre2_code_free_16(program);
    } else {
        PCRE2_UCHAR16 message[256];
        pcre2_get_error_message_16(code, message, 256);
        result.error = QString::fromUtf16(reinterpret_cast<const char16_t *>(message)) + QStringLiteral(" at offset %1").arg(offset);
    }
    cache.insert(pattern, result);
    return result;
}

QString compileError(const QString &pattern)
{
    return compiled(pattern).error;
}

// How many of a token's guards (dropped in the order given) must go before it surely compiles, told
// from its parts: the token and each guard as a look-ahead compile, and together they come to well
// under the engine's limits (64K code units, 1000 branches checked in lookbehinds). More than there
// are: never, as far as the parts tell.
qsizetype surelyCompilesWithout(const QString &text, const QStringList &guards)
{
    constexpr size_t kSurelyFits = 100 * 1024; // bytes, of 128K for 16-bit code units
    constexpr int kSurelyFewBranches = 1000;   // counted as the engine counts them, or more
    struct Part {
        bool compiles;
        size_t bytes;
        int branches;
    };
    auto part = [](const QString &pattern) {
        const Compiled c = compiled(pattern);
        return Part{c.error.isEmpty(), c.bytes + 64, c.branches}; // 64: the alternative and group around it
    };
    const Part own = part(text);
    if (!own.compiles)
        return guards.size() + 1;
    std::vector<Part> parts;
    size_t bytes = own.bytes;
    int branches = own.branches, failing = 0;
    for (const QString &g : guards) {
        parts.push_back(part(QStringLiteral("(?!%1)").arg(g)));
        bytes += parts.back().bytes;
        branches += parts.back().branches;
        failing += parts.back().compiles ? 0 : 1;
    }
    for (qsizetype k = 0;; ++k) {
        if (failing == 0 && bytes < kSurelyFits && branches <= kSurelyFewBranches)
            return k;
        if (k == guards.size())
            return k + 1;
        bytes -= parts[size_t(k)].bytes;
        branches -= parts[size_t(k)].branches;
        failing -= parts[size_t(k)].compiles ? 0 : 1;
    }
}

bool overlaps(const std::optional<PatternAnalysis::FirstChars> &fa, const std::optional<PatternAnalysis::FirstChars> &fb)
{
    if (!fa || !fb)
        return true;
    return (fa->ascii[0] & fb->ascii[0]) || (fa->ascii[1] & fb->ascii[1]) || (fa->nonAscii && fb->nonAscii);
}

bool overlaps(const QString &a, const QString &b)
{
    return overlaps(firstCharsOf(a), firstCharsOf(b));
}

// The characters a match may begin with, the look-arounds at its top level aside (a keyword's
// boundaries, whose classes may be beyond what first characters are worked out for).
std::optional<PatternAnalysis::FirstChars> firstCharsPastLookarounds(QString p)
{
    while (p.startsWith(QLatin1String("(?:")) && RegexText::groupEnd(p, 0) == p.size())
        p = p.mid(3, p.size() - 4);
    QString out;
    for (qsizetype i = 0; i < p.size();) {
        qsizetype next = i + 1;
        if (p[i] == u'\\')
            next = i + 2;
        else if (p[i] == u'[')
            next = PatternAnalysis::classEnd(p, i);
        else if (p[i] == u'(')
            next = RegexText::groupEnd(p, i);
        if (next < 0)
            return std::nullopt;
        static const QStringList looks{QStringLiteral("(?="), QStringLiteral("(?!"), QStringLiteral("(?<="), QStringLiteral("(?<!")};
        const QStringView part = QStringView(p).mid(i, next - i);
        if (std::none_of(looks.begin(), looks.end(), [&](const QString &l) { return part.startsWith(l); }))
            out += part;
        i = next;
    }
    return firstCharsOf(out);
}

// Whether a match of `a` may begin where one of `b` does; a look-ahead that `a` begins with tells too
// (a function's name before its bracket).
bool mayBeginAlike(const QString &a, const QString &b)
{
    if (!overlaps(a, b))
        return false;
    if (firstCharsOf(a) || !a.startsWith(QLatin1String("(?=")))
        return true;
    const qsizetype end = RegexText::groupEnd(a, 0);
    return end < 0 || overlaps(a.mid(3, end - 4), b);
}

// The guard forms of the rules before in a context, in order: each with what it may begin with, and
// whether an earlier one is the same, worked out once as it is added (a context of many rules asks
// for the guards of each of them).
class EarlierRules {
public:
    qsizetype size() const { return qsizetype(rules_.size()); }
    void add(const QString &guard)
    {
        if (guard.isEmpty())
            return;
        const bool repeat = count_[guard]++ > 0;
        rules_.push_back({guard, firstCharsOf(guard), repeat});
    }
    void resize(qsizetype n)
    {
        while (size() > n) {
            if (--count_[rules_.back().guard] == 0)
                count_.remove(rules_.back().guard);
            rules_.pop_back();
        }
    }
    // Those a rule matching `text` gives way to: the ones that may begin where it does.
    QStringList guardsFor(const QString &text) const
    {
        const std::optional<PatternAnalysis::FirstChars> first = firstCharsOf(text);
        QStringList guards;
        for (const Rule &r : rules_)
            if (!r.repeat && overlaps(r.first, first))
                guards += r.guard;
        return guards;
    }

private:
    struct Rule {
        QString guard;
        std::optional<PatternAnalysis::FirstChars> first;
        bool repeat;
    };
    std::vector<Rule> rules_;
    QHash<QString, int> count_;
};

// A pattern as a guard before another: without capturing groups; empty when that cannot be, or when it
// may match nothing (a guard must not block where the rule would not match). A rule's pattern is asked
// for again for every later rule of each context it takes part in: the answer is kept per pattern.
QString guardForm(const QString &pattern)
{
    static thread_local QHash<QString, QString> known;
    if (const auto it = known.constFind(pattern); it != known.constEnd())
        return *it;
    if (known.size() > 20000)
        known.clear();
    QString plain;
    // A rule that may take nothing wins only where it takes something (KDE takes no empty match).
    const QString guard = !RegexText::nonCapturing(pattern, plain) ? QString()
        : mayBeEmpty(pattern)                                    ? QStringLiteral("(?:%1)(?!\\G)").arg(plain)
                                                                 : RegexText::grouped(plain);
    known.insert(pattern, guard);
    return guard;
}

// The pattern without the alternatives at its top level that are empty: KDE takes no empty match, so
// "#|" matches what "#" matches (an empty branch only lets the rule fail quietly).
QString withoutEmptyBranches(const QString &p)
{
    QStringList branches;
    int depth = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'\\') {
            ++i;
        } else if (c == u'[') {
            ++i;
            if (i < p.size() && p[i] == u'^')
                ++i;
            if (i < p.size() && p[i] == u']')
                ++i;
            while (i < p.size() && p[i] != u']') {
                if (p[i] == u'\\')
                    ++i;
                ++i;
            }
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u'|' && depth == 0) {
            branches += p.mid(from, i - from);
            from = i + 1;
        }
    }
    if (branches.isEmpty())
        return p;
    branches += p.mid(from);
    branches.removeAll(QString());
    return branches.isEmpty() ? p : branches.join(u'|');
}

// "#rgb" or "#rrggbb" as 0x00BBGGRR.
std::optional<qint32> parseColour(const QString &text)
{
    QString t = text.trimmed();
    if (!t.startsWith(u'#'))
        return std::nullopt;
    t = t.mid(1);
    if (t.size() == 3)
        t = QString(t[0]) + t[0] + t[1] + t[1] + t[2] + t[2];
    if (t.size() == 8) // #aarrggbb
        t = t.mid(2);
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok || t.size() != 6)
        return std::nullopt;
    return qint32(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
}

QString characterClass(const QString &chars)
{
    QString cls;
    for (QChar c : chars) {
        if (QStringLiteral("\\]^-[").contains(c))
            cls += u'\\';
        cls += c;
    }
    return QStringLiteral("[%1]").arg(cls);
}

// The match must start at the first character of the line that is not a blank: a look-behind over
// each indentation up to 24 characters deep.
QString firstNonSpaceCondition()
{
    QStringList alternatives{QStringLiteral("^")};
    for (int i = 1; i <= 24; ++i)
        alternatives += QStringLiteral("^\\s{%1}").arg(i);
    return QStringLiteral("(?<=%1)").arg(alternatives.join(u'|'));
}

// The words of a keyword list too large for one regexp that are kept, in characters: its parts share
// one field with their guards.
constexpr qsizetype kKeywordPartsBudget = 56000;
constexpr qsizetype kKeywordPartSize = 8000;

// The most characters of staying rules a token goes on over (a number's units, not a list of names).
constexpr qsizetype kMaxStaysAgain = 400;

// Contexts kept as scopes at most, before the fitting cuts them down to what a record holds: those of
// the definition converted count up to the larger figure (a build language's one context per command
// would leave no room for its strings and variables), those of the definitions it includes up to the
// smaller (a definition that embeds a dozen languages would take seconds).
constexpr int kMaxScopes = 300;
constexpr int kMaxOwnScopes = 400;

// The type of the rule that stands for a context's fallthroughContext when that only passes on.
const QString kFallThrough = QStringLiteral("#fallthrough");

const QString kEscape = QStringLiteral("\\\\(?:[abefnrtv\"'?\\\\]|x[0-9A-Fa-f]{1,2}|[0-7]{1,3})");

class Conversion {
public:
    Conversion(const ConversionOptions &options, ConversionReport &report, QStringList folders)
        : options_(options), report_(report), folders_(std::move(folders))
    {
    }

    bool run(const QByteArray &bytes, const QString &fileName, LanguageDraft &draft, QString &problem);

private:
    const KdeDefinition *definition(const QString &name, const QString &where);
    Ref firstContext(const KdeDefinition *def) const { return def && !def->contexts.empty() ? Ref{def, 0} : Ref{}; }
    Ref contextRef(const QString &reference, const KdeDefinition *def, const QString &where);
    Switch parseSwitch(const QString &text, const KdeDefinition *def, const QString &where);
    void flatten(const Ref &context, std::vector<FlatRule> &out, QSet<QString> &seen, int depth);
    QStringList listWords(const KdeDefinition *def, const QString &list, const QString &where, int depth = 0);
    QString dynamicText(const QString &text, const Level &level, const QString &where);
    QString bodyPattern(const KdeRule &rule, const KdeDefinition *def, const Level &level, const QString &where);
    QString rulePattern(const FlatRule &fr, const Level &level, const QString &where);
    QString patternOf(const FlatRule &fr, const Level &level, const QString &where);
    Look look(const KdeDefinition *def, const QString &item, const QString &where);
    int listTokenset(const Effect &e, const Level &level);
    void expand(const Level &level, const FlatRule &fr, std::vector<Effect> &out, QString &own);
    void follow(const Level &level, const QString &base, bool consumes, const FlatRule *colour, const Switch &sw,
                const FlatRule &origin, std::vector<Effect> &out, int depth);
    bool transient(const Ref &context);
    bool staysOverBlanks(const FlatRule &q);
    bool lastStandsApart(const Effect &e, const Ref &scope, const Level &level);
    bool staysOverAnything(const FlatRule &q);
    int scopeTokenset(const Ref &target, const QString &where);
    // A tokenset coloured by a look, and the new tokenset's index under its key.
    TokensetDraft styled(const QString &name, const Look &l, const QString &source) const;
    int addTokenset(TokensetDraft t, const QString &key);
    void addToken(std::vector<TokenDraft> &tokens, const QString &text, const QStringList &guards, bool unite = false);
    QSet<QString> lookAheadGuards_; // guard forms of the look-aheads that open a context
    QSet<QString> commentGuards_; // guard forms of the one-character rules that open a comment
    void collapse(LanguageDraft &draft, int limit);
    void dropShadowedScopes(LanguageDraft &draft, int limit);
    void dropUnreachable(LanguageDraft &draft);

    const ConversionOptions &options_;
    ConversionReport &report_;
    QStringList folders_;
    const KdeDefinition *main_ = nullptr;
    std::map<QString, std::unique_ptr<KdeDefinition>> definitions_;
    QHash<QString, QString> files_; // definition name -> file, filled on first use
    bool filesListed_ = false;
    QSet<QString> missing_;
    LanguageDraft *draft_ = nullptr;
    QHash<QString, int> tokensets_;  // list: owner + look; scope: target context
    QHash<int, QString> pushers_;    // scope tokenset -> the first regexp that opens it
    QHash<QString, bool> transient_; // context -> whether every rule of it leaves it
    QHash<QString, std::shared_ptr<std::vector<FlatRule>>> flat_; // context -> its rules, included ones in place
    bool noFold_ = false;
    size_t branchCap_ = 0; // while a dispatcher is folded in part: the most rules one of its rules may fold to
    std::optional<std::pair<QString, QString>> splitAt_; // while a rule's next one is folded: where they meet
    // While a rule of a folded context is folded in after rules that take text: what they take, its
    // pattern and the rule.
    struct LastFold {
        QString lead, last;
        const FlatRule *rule = nullptr;
    };
    std::optional<LastFold> lastFold_;
    bool stayingBelow_ = false; // while a folded context's rule opens another without leaving: it stays below
    QSet<QString> names_;            // every tokenset name given
    QHash<QString, QString> ends_;   // scope tokenset -> its ends without guards
    QHash<QString, QString> continuedEnds_; // scope tokenset -> its end at a line not continued
    QHash<QString, int> nextNumber_; // name -> the next number to try after it
    int scopes_ = 0;
    // `base`, or `base (2)`, `base (3)`... whichever is not taken yet.
    QString uniqueName(const QString &base)
    {
        QString name = base;
        for (int &n = nextNumber_[base]; names_.contains(name); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(std::max(n, 2));
        names_.insert(name);
        return name;
    }
    QSet<QString> shortLived_;       // contexts not opened where a scope closes, once reported per scope
    QSet<QString> folded_;           // contexts folded into the rules that open them, once reported
    std::map<QString, KdeRule> fallRules_; // context -> the rule standing for its fallthroughContext
    // Per context of the definition converted, the first one alike (KdeAlikeContexts): contexts are
    // opened as it.
    std::vector<int> alike_;
    // The same, where contexts that differ in their closers only (written by Varlex) are alike too:
    // they are one scope, each start with its context's ends.
    std::vector<int> variants_;
    QHash<int, QStringList> startEnds_; // scope tokenset -> per start token, the context of its ends ("": its own)
    QHash<QString, std::pair<QString, QString>> variantEnds_; // context -> its ends, with and without guards
    QHash<QString, QString> plainEnds_; // ends -> the same without guards
    QHash<const KdeRule *, QString> rulePatterns_; // a rule that is not dynamic -> its pattern
    // A keyword rule whose list is too large for one regexp -> its words in parts that each compile (the
    // rule's pattern is the first of them).
    QHash<const KdeRule *, QStringList> keywordParts_;
    QString foldOpener_; // while a context is folded into a rule: the pattern of the rule that opens it
    QHash<int, Ref> scopeContexts_; // scope tokenset -> its context
    // Per tokenset of rules written by Varlex, the first place of their items among the itemData: the
    // engine's order of the tokensets they came from, which decides its ties (rankByItems).
    QHash<int, int> itemRanks_;
    void noteRank(int tokenset, int rank)
    {
        const auto it = itemRanks_.constFind(tokenset);
        itemRanks_.insert(tokenset, it == itemRanks_.constEnd() ? rank : std::min(*it, rank));
    }
    void rankByItems(LanguageDraft &draft, const QHash<QString, int> &ranks) const;
    // Per scope tokenset, its rules that close it without taking the text: they may be closers of a
    // scope around it that chain through it (chainScopes); else ends of the scope.
    struct Passing {
        QString end;
        QString where;
        const KdeRule *rule;
        QString character; // one character of a single-character rule, passed on alone
    };
    QHash<int, std::vector<Passing>> passing_;
    void pairEnds(LanguageDraft &draft);
    void chainScopes(LanguageDraft &draft);
    QSet<int> closesAround_; // scope tokensets with an end that closes the scope around too
    // Per scope tokenset, its rules that close scopes around it too (#pop#pop...).
    struct ClosingAround {
        QString end;   // guarded
        QString plain; // the pattern alone
        int pops;
        QString where;
        const KdeRule *rule;
    };
    QHash<int, std::vector<ClosingAround>> closingAround_;
    void chainMultiPops(LanguageDraft &draft);
    void dropLiteralsClosingAround(LanguageDraft &draft);
    // Per scope tokenset, per start token, the places it was opened from.
    QHash<int, QHash<QString, QSet<QString>>> startPlaces_;
    void splitStartsByPlace(LanguageDraft &draft);
    // Contexts that only lead on to the next one (an attribute's name, then its "=", then the quote of
    // its value): no scope opens for them; their rules are valid where they are opened, after which the
    // scopes they open close back to there (findLeadOns).
    struct RawSwitch {
        int pops = 0;
        int push = -1;      // a context of the definition converted, as it is opened
        bool other = false; // a context of another definition, or none
    };
    RawSwitch rawSwitch(const QString &text) const;
    void findLeadOns();
    std::vector<FlatRule> leadOnRules(const Level &level, const std::vector<FlatRule> &rules, QSet<QString> &here);
    QSet<int> leadOns_;
    QSet<int> lookedInto_; // of those, the ones entered on a look-ahead: their rules stand in its place
    QSet<int> lookedStays_; // of those, the ones with rules that stay
    void lookIntoLeadOns(const Level &level, std::vector<FlatRule> &rules);
    // A rule of a context looked into that may begin where the look-ahead does, as it stands in the place
    // looked from: it takes text only where the look-ahead matches (a property's name before its ":").
    std::map<std::pair<const KdeRule *, const KdeRule *>, KdeRule> lookingAs_;
    QHash<const KdeRule *, QString> lookCondition_;
    // The rules that stand for such a context in the place looked from, and the scopes they open: KDE
    // tries them where it tried the look-ahead, before the rules the place shares with others.
    QSet<const KdeRule *> standIns_;
    QSet<QString> standInScopes_;
    QSet<QString> absorbing_;                   // contexts opened from one: a #pop#pop closes them only
    // Contexts never gone back to (each rule takes text and leaves, or opens a context whose ways out all
    // close it too: "$" then "(" then a name): folded into the rules that open them. The contexts they
    // open, by how many such contexts stand below them, which their closing rules close no scope for.
    QHash<QString, Ref> contextOfScope_; // a scope's source -> its context
    // Whether the context, or one it goes on to, closes the context below it too.
    bool closesAround(const QString &source);
    QSet<QString> neverResumed_;
    QHash<QString, int> foldedBelow_;
    void findNeverResumed();
    std::map<const KdeRule *, KdeRule> stayAs_; // a leading-on rule of one, as the rule that stays
    FlatRule staying(const FlatRule &q);
    // Per scope tokenset, the items whose colour its starts take (none: the colour of where it opens);
    // the scopes whose rules take every character but blanks (lookAsOpeners).
    QHash<int, QSet<std::pair<const KdeDefinition *, QString>>> openers_;
    // For each scope, by name: the item that colours each start where its rule has one of its own.
    QHash<QString, QHash<QString, std::pair<const KdeDefinition *, QString>>> startItems_;
    QSet<int> takesEverything_;
    // Per scope tokenset, the items whose colour its ends take (none: the scope's own colour).
    QHash<int, QSet<std::pair<const KdeDefinition *, QString>>> closers_;
    QHash<QString, Look> ownInside_; // scope context -> the look of what no rule takes in it, once it takes its openers'
    QSet<QString> ownInsideLists_;   // the lists that keep that look
    QHash<QString, QString> openerNames_; // scope context -> the item it is coloured as
    QSet<QString> plainInside_;           // scope contexts where what no rule takes is plain text
    QString plainInsideName_;             // the tokenset of that plain text
    void lookAsOpeners(LanguageDraft &draft);
    void lookAsOpenersAndClosers(TokensetDraft &t, int s);
    std::deque<Level> levels_;
    int openingDepth_ = 1; // of a scope opened from the level being read
};

const KdeDefinition *Conversion::definition(const QString &name, const QString &where)
{
    if (auto it = definitions_.find(name); it != definitions_.end())
        return it->second.get();
    if (missing_.contains(name))
        return nullptr;
    if (!filesListed_) {
        filesListed_ = true;
        for (const QString &folder : std::as_const(folders_)) {
            const QDir dir(folder);
            for (const QString &file : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
                QFile f(dir.filePath(file));
                if (!f.open(QIODevice::ReadOnly))
                    continue;
                QXmlStreamReader head(f.read(16 * 1024));
                if (!head.readNextStartElement() || head.name() != QLatin1String("language"))
                    continue;
                const QString n = head.attributes().value(QLatin1String("name")).toString();
                if (!n.isEmpty() && !files_.contains(n))
                    files_.insert(n, dir.filePath(file));
            }
        }
    }
    QString path = files_.value(name);
    if (path.isEmpty()) {
        for (const QString &known : sortedKeys(files_))
            if (known.compare(name, Qt::CaseInsensitive) == 0) {
                path = files_.value(known);
                break;
            }
    }
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        missing_.insert(name);
        report_.dropped(where, QStringLiteral("definition \"%1\" was not found (searched %2)").arg(name, folders_.join(QStringLiteral(", "))));
        return nullptr;
    }
    auto def = std::make_unique<KdeDefinition>();
    QString problem;
    if (!def->read(f.readAll(), path, problem)) {
        missing_.insert(name);
        report_.dropped(where, QStringLiteral("definition \"%1\" cannot be read: %2").arg(name, problem));
        return nullptr;
    }
    return definitions_.emplace(name, std::move(def)).first->second.get();
}

Ref Conversion::contextRef(const QString &reference, const KdeDefinition *def, const QString &where)
{
    QString name = reference;
    if (const qsizetype at = reference.indexOf(QStringLiteral("##")); at >= 0) {
        def = definition(reference.mid(at + 2), where);
        if (!def)
            return {};
        name = reference.left(at);
        if (name.isEmpty())
            return firstContext(def);
    }
    const auto it = def->contextIndex.constFind(name);
    if (it == def->contextIndex.constEnd()) {
        report_.dropped(where, QStringLiteral("reference to context \"%1\": no such context").arg(reference));
        return {};
    }
    return {def, *it};
}

// A rule's context attribute ("#stay", "#pop#pop!Other", "Other"): how many contexts it pops, and the
// context it opens then ("" for none).
QString poppedAndOpened(const QString &attribute, int &pops)
{
    QString text = attribute.trimmed();
    pops = 0;
    if (text == QLatin1String("#stay"))
        return QString();
    while (text.startsWith(QLatin1String("#pop"))) {
        ++pops;
        text = text.mid(4);
    }
    return text.startsWith(u'!') ? text.mid(1) : text;
}

Switch Conversion::parseSwitch(const QString &textIn, const KdeDefinition *def, const QString &where)
{
    Switch s;
    const QString text = poppedAndOpened(textIn, s.pops);
    if (!text.isEmpty())
        s.push = contextRef(text, def, where);
    if (s.push.def == main_ && s.push.index >= 0 && size_t(s.push.index) < alike_.size()) {
        const int alike = alike_[size_t(s.push.index)], variant = variants_[size_t(s.push.index)];
        if (variant != alike)
            s.closers = Ref{main_, alike};
        s.push.index = variant;
    }
    return s;
}

void Conversion::flatten(const Ref &context, std::vector<FlatRule> &out, QSet<QString> &seen, int depth)
{
    if (depth > 32)
        return;
    for (const KdeRule &rule : context.context().rules) {
        if (rule.type != QLatin1String("IncludeRules")) {
            out.push_back({context, &rule});
            continue;
        }
        const QString where = context.where(main_);
        const Ref included = contextRef(rule.value("context"), context.def, where);
        if (!included.valid() || seen.contains(included.key()))
            continue;
        if (rule.flag("includeAttrib"))
            report_.approximated(where, QStringLiteral("includeAttrib: text that no rule of \"%1\" matches keeps this context's colour")
                                            .arg(rule.value("context")));
        seen.insert(included.key());
        flatten(included, out, seen, depth + 1);
    }
}

QStringList Conversion::listWords(const KdeDefinition *def, const QString &list, const QString &where, int depth)
{
    if (depth > 8)
        return {};
    if (!def->lists.contains(list)) {
        report_.dropped(where, QStringLiteral("keyword list \"%1\" does not exist").arg(list));
        return {};
    }
    QStringList words = def->lists.value(list);
    for (const QString &inc : def->listIncludes.value(list)) {
        const qsizetype at = inc.indexOf(QStringLiteral("##"));
        const KdeDefinition *from = at < 0 ? def : definition(inc.mid(at + 2), where);
        if (from)
            words += listWords(from, at < 0 ? inc : inc.left(at), where, depth + 1);
    }
    return words;
}

// A dynamic rule's %1, %2... stand for what the groups of the regexp that opened the context
// matched; a pattern can only stand for any text the group could match.
QString Conversion::dynamicText(const QString &text, const Level &level, const QString &where)
{
    static const QRegularExpression placeholder(QStringLiteral("%(\\d)"));
    if (!text.contains(placeholder))
        return QString();
    const QString pusher = foldOpener_.isNull() ? pushers_.value(level.scope) : foldOpener_;
    QString out;
    qsizetype last = 0;
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += RegexText::escapeLiteral(text.mid(last, m.capturedStart() - last));
        const QString body = pusher.isEmpty() ? QString() : RegexText::groupText(pusher, m.captured(1));
        QString plain;
        out += !body.isNull() && RegexText::nonCapturing(body, plain) && !plain.isEmpty() ? QStringLiteral("(?:%1)").arg(plain)
                                                                                          : QStringLiteral("(?:.+?)");
        last = m.capturedEnd();
    }
    out += RegexText::escapeLiteral(text.mid(last));
    report_.approximated(where, QStringLiteral("dynamic rule \"%1\": it takes any text the opening group could match, not the same text").arg(text));
    return out;
}

// What a rule matches, without its conditions (column, first non-blank) and child rules.
QString Conversion::bodyPattern(const KdeRule &r, const KdeDefinition *def, const Level &level, const QString &where)
{
    const QString type = r.type;
    const QString word = def->wordClass();
    const QString before = QStringLiteral("(?<!%1)").arg(word);
    const bool insensitive = r.flag("insensitive");
    auto caseless = [&](const QString &p) { return insensitive ? QStringLiteral("(?i:%1)").arg(p) : p; };
    const bool dynamic = r.flag("dynamic");
    auto literal = [&](const QString &text) {
        if (dynamic) {
            const QString d = dynamicText(text, level, where);
            if (!d.isNull())
                return d;
        }
        return RegexText::escapeLiteral(text);
    };
    if (type == QLatin1String("DetectChar")) {
        const QString c = r.value("char");
        if (dynamic && c.size() == 1 && c[0].isDigit())
            return dynamicText(QStringLiteral("%") + c, level, where);
        return c.isEmpty() ? QString() : RegexText::escapeLiteral(c.left(1));
    }
    if (type == QLatin1String("Detect2Chars"))
        return RegexText::escapeLiteral(r.value("char").left(1) + r.value("char1").left(1));
    if (type == QLatin1String("AnyChar"))
        return r.value("String").isEmpty() ? QString() : characterClass(r.value("String"));
    if (type == QLatin1String("StringDetect"))
        return r.value("String").isEmpty() ? QString() : caseless(literal(r.value("String")));
    if (type == QLatin1String("WordDetect"))
        return r.value("String").isEmpty() ? QString()
                                           : QStringLiteral("%1%2(?!%3)").arg(before, caseless(literal(r.value("String"))), word);
    if (type == QLatin1String("RegExpr")) {
        QString p = r.value("String");
        if (dynamic && p.contains(u'%')) {
            // Placeholders in a regexp stand for the escaped text of the group.
            static const QRegularExpression placeholder(QStringLiteral("%(\\d)"));
            const QString pusher = foldOpener_.isNull() ? pushers_.value(level.scope) : foldOpener_;
            QString out;
            qsizetype last = 0;
            for (auto it = placeholder.globalMatch(p); it.hasNext();) {
                const auto m = it.next();
                out += p.mid(last, m.capturedStart() - last);
                const QString body = pusher.isEmpty() ? QString() : RegexText::groupText(pusher, m.captured(1));
                QString plain;
                out += !body.isNull() && RegexText::nonCapturing(body, plain) && !plain.isEmpty()
                    ? QStringLiteral("(?:%1)").arg(plain)
                    : QStringLiteral("(?:.+?)");
                last = m.capturedEnd();
            }
            p = out + p.mid(last);
            report_.approximated(where, QStringLiteral("dynamic regexp \"%1\": it takes any text the opening group could match, not the same text")
                                            .arg(r.value("String")));
        }
        if (p.isEmpty())
            return QString();
        // Unicode classes are the engine's own; a verb must stand first, which it cannot once the
        // pattern stands in a group.
        static const QRegularExpression unicodeVerbs(QStringLiteral("^(?:\\(\\*(?:UCP|UTF|UTF16)\\))+"));
        // A rule written by Varlex looks ahead at the rules after it to take the longest match, which
        // the engine does itself: without that look-ahead the same token reads the same everywhere.
        if (KdeAlikeContexts::writtenByVarlex(r))
            p = KdeAlikeContexts::withoutGuards(p);
        p.remove(unicodeVerbs);
        p = withoutEmptyBranches(p);
        if (r.flag("minimal"))
            p = QStringLiteral("(?U)") + p;
        return insensitive ? QStringLiteral("(?i)") + p : p;
    }
    if (type == QLatin1String("keyword")) {
        QStringList words = listWords(def, r.value("String"), where);
        words.removeDuplicates();
        if (words.isEmpty())
            return QString();
        // Longest first, so that no word stops the alternation at a shorter one.
        std::stable_sort(words.begin(), words.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        QStringList escaped;
        for (const QString &w : std::as_const(words))
            escaped += RegexText::escapeLiteral(w);
        const bool ci = insensitive || (!r.has("insensitive") && !def->keywordsCaseSensitive);
        auto listPattern = [&](qsizetype from, qsizetype n) {
            return QStringLiteral("%1%2(?:%3)(?!%4)").arg(before, ci ? QStringLiteral("(?i)") : QString(), escaped.mid(from, n).join(u'|'), word);
        };
        const QString whole = listPattern(0, escaped.size());
        if (escaped.size() < 2 || compileError(whole).isEmpty() || r.has("column") || r.flag("firstNonSpace") || !r.children.empty())
            return whole;
        // Too large for one regexp: the words go in parts small enough to compile with the guards they get
        // (halved where one does not compile alone). The parts are tokens of one tokenset, whose field
        // holds them all: past that, the longest words go.
        qsizetype kept = 0;
        for (qsizetype size = 0; kept < escaped.size() && size + escaped[escaped.size() - kept - 1].size() + 1 <= kKeywordPartsBudget; ++kept)
            size += escaped[escaped.size() - kept - 1].size() + 1;
        if (kept < escaped.size()) {
            report_.dropped(where, QStringLiteral("<keyword> (line %1): the %2 longest words of \"%3\" (a field holds %4 bytes)")
                                       .arg(r.line)
                                       .arg(escaped.size() - kept)
                                       .arg(r.value("String"))
                                       .arg(LanguageFitting::Limits{}.fieldBytes));
            escaped = escaped.mid(escaped.size() - kept);
        }
        QStringList parts;
        for (qsizetype from = 0, n = 0; from < escaped.size(); from += n) {
            qsizetype size = 0;
            for (n = 0; from + n < escaped.size() && (n == 0 || size + escaped[from + n].size() < kKeywordPartSize); ++n)
                size += escaped[from + n].size() + 1;
            while (n > 1 && !compileError(listPattern(from, n)).isEmpty())
                n = (n + 1) / 2;
            parts += listPattern(from, n);
        }
        report_.approximated(where, QStringLiteral("<keyword> (line %1): the list \"%2\" is too large for one regexp; it is taken in %3 parts")
                                        .arg(r.line)
                                        .arg(r.value("String"))
                                        .arg(parts.size()));
        keywordParts_.insert(&r, parts);
        return parts.front();
    }
    if (type == QLatin1String("Int"))
        return before + QStringLiteral("[0-9]+");
    if (type == QLatin1String("Float"))
        return before + QStringLiteral("(?:[0-9]+\\.[0-9]*|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?");
    if (type == QLatin1String("HlCOct"))
        return before + QStringLiteral("0[0-7]+[LlUu]?");
    if (type == QLatin1String("HlCHex"))
        return before + QStringLiteral("0[xX][0-9A-Fa-f]+[LlUu]?");
    if (type == QLatin1String("HlCStringChar"))
        return kEscape;
    if (type == QLatin1String("HlCChar"))
        return QStringLiteral("'(?:%1|[^'\\\\])'").arg(kEscape);
    if (type == QLatin1String("RangeDetect")) {
        const QString a = r.value("char").left(1), b = r.value("char1").left(1);
        if (a.isEmpty() || b.isEmpty())
            return QString();
        return RegexText::escapeLiteral(a) + characterClass(b).insert(1, u'^') + QStringLiteral("*") + RegexText::escapeLiteral(b);
    }
    if (type == QLatin1String("LineContinue")) {
        const QString c = r.value("char").isEmpty() ? QStringLiteral("\\") : r.value("char").left(1);
        return RegexText::escapeLiteral(c) + u'$';
    }
    if (type == QLatin1String("DetectSpaces"))
        return QStringLiteral("\\s+");
    if (type == QLatin1String("DetectIdentifier"))
        return QStringLiteral("[\\p{L}_][\\p{L}\\p{N}_]*");
    report_.dropped(where, QStringLiteral("rule <%1> (line %2) is not known").arg(type).arg(r.line));
    return QString();
}

QString Conversion::rulePattern(const FlatRule &fr, const Level &level, const QString &where)
{
    // A rule is used in every level its context is part of; only a dynamic one reads differently there
    // (what it reports is reported once either way).
    const KdeRule &r = *fr.rule;
    const bool dynamic = r.flag("dynamic") || std::any_of(r.children.begin(), r.children.end(), [](const KdeRule &c) { return c.flag("dynamic"); });
    if (!dynamic) {
        if (const auto it = rulePatterns_.constFind(&r); it != rulePatterns_.constEnd())
            return *it;
    }
    const QString text = patternOf(fr, level, where);
    if (!dynamic)
        rulePatterns_.insert(&r, text);
    return text;
}

QString Conversion::patternOf(const FlatRule &fr, const Level &level, const QString &where)
{
    const KdeRule &r = *fr.rule;
    QString body = bodyPattern(r, fr.owner.def, level, where);
    if (body.isEmpty())
        return QString();
    QString conditions;
    if (const auto look = lookCondition_.constFind(&r); look != lookCondition_.constEnd())
        conditions += QStringLiteral("(?=%1)").arg(*look);
    if (r.has("column")) {
        const int column = r.value("column").toInt();
        conditions += column == 0 ? QStringLiteral("^") : QStringLiteral("(?<=^.{%1})").arg(column);
    }
    if (r.flag("firstNonSpace"))
        conditions += firstNonSpaceCondition();
    QString text = conditions.isEmpty() ? body : conditions + RegexText::grouped(body);
    if (!r.children.empty()) {
        // Child rules are tried where the rule's match ends; the first that matches extends it.
        QStringList tails;
        for (const KdeRule &child : r.children) {
            QString c = bodyPattern(child, fr.owner.def, level, where);
            QString plain;
            if (!c.isEmpty() && RegexText::nonCapturing(c, plain))
                tails += RegexText::grouped(plain);
        }
        if (!tails.isEmpty())
            text = QStringLiteral("(?:%1)(?:%2)?").arg(text, tails.join(u'|'));
    }
    if (const QString error = compileError(text); !error.isEmpty()) {
        report_.dropped(where, QStringLiteral("<%1> (line %2): the regexp does not compile: %3").arg(r.type).arg(r.line).arg(error));
        return QString();
    }
    return text;
}

Look Conversion::look(const KdeDefinition *def, const QString &item, const QString &where)
{
    Look l;
    const auto it = def->items.constFind(item);
    if (it == def->items.constEnd() && !item.isEmpty())
        report_.approximated(where, QStringLiteral("item \"%1\" is not in the item data: it takes the normal style").arg(item));
    const KdeItemData data = it == def->items.constEnd() ? KdeItemData{} : *it;
    if (!KdeDefaultStyles::known(data.defStyle))
        report_.approximated(where, QStringLiteral("item \"%1\": default style \"%2\" is not known; it takes dsNormal").arg(item, data.defStyle));
    const KdeDefaultStyles::Style base = KdeDefaultStyles::style(data.defStyle);
    l.id = base.id;
    l.name = item.isEmpty() ? QStringLiteral("Normal Text") : item;
    l.fg = parseColour(data.color).value_or(base.colour);
    l.bg = parseColour(data.backgroundColor).value_or(0xFFFFFF);
    const bool bold = data.bold.value_or(base.bold);
    const bool italic = data.italic.value_or(base.italic);
    const bool underline = data.underline.value_or(base.underline);
    l.fontstyle = bold && italic ? QStringLiteral("bolditalic")
        : bold                   ? QStringLiteral("bold")
        : italic                 ? QStringLiteral("italic")
        : underline              ? QStringLiteral("underline")
                                 : QStringLiteral("normal");
    if (underline && (bold || italic))
        report_.approximated(where, QStringLiteral("item \"%1\": underlined and bold or italic; the underline is lost").arg(item));
    return l;
}

int Conversion::listTokenset(const Effect &e, const Level &level)
{
    // A rule without an attribute colours as the context it is used in.
    const bool own = e.colour && !e.colour->rule->value("attribute").isEmpty();
    const KdeDefinition *def = own ? e.colour->owner.def : level.context.def;
    const QString item = own ? e.colour->rule->value("attribute") : level.context.context().attribute;
    const QString where = e.where;
    const QString key = e.origin.owner.key() + QChar(0x1F) + def->name + QChar(0x1F) + item;
    if (const auto it = tokensets_.constFind(key); it != tokensets_.constEnd())
        return *it;
    const Look l = look(def, item, where);
    return addTokenset(styled(uniqueName(l.name), l, e.origin.owner.where(main_)), key);
}

TokensetDraft Conversion::styled(const QString &name, const Look &l, const QString &source) const
{
    TokensetDraft t;
    t.name = name;
    t.id = l.id;
    t.source = source;
    t.forecolor = l.fg;
    t.backcolor = l.bg;
    t.fontstyle = l.fontstyle;
    return t;
}

int Conversion::addTokenset(TokensetDraft t, const QString &key)
{
    const int index = int(draft_->tokensets.size());
    draft_->tokensets.push_back(std::move(t));
    tokensets_.insert(key, index);
    return index;
}

QString kindOf(const QString &id);

int Conversion::scopeTokenset(const Ref &target, const QString &where)
{
    const QString key = target.key();
    if (const auto it = tokensets_.constFind(key); it != tokensets_.constEnd())
        return *it;
    const KdeContext &c = target.context();
    const Look l = look(target.def, c.attribute, where);
    if (const int most = target.def == main_ ? kMaxOwnScopes : kMaxScopes; ++scopes_ > most) {
        // A definition of thousands of contexts: past these, a context is a token coloured as it.
        report_.approximated(target.where(main_), QStringLiteral("the context is coloured as one token where it opens; its own rules are dropped (more than %1 contexts)")
                                                      .arg(most));
        return addTokenset(styled(uniqueName(c.name), l, target.where(main_)), key);
    }
    TokensetDraft t = styled(uniqueName(c.name), l, target.where(main_));
    contextOfScope_.insert(t.source, target);
    if (t.id == QLatin1String("text"))
        t.id = QStringLiteral("parameterblocks");
    t.scope = true;
    const Switch lineEnd = parseSwitch(c.lineEndContext, target.def, t.source);
    t.singleline = lineEnd.pops > 0;
    // A string kept open past a line that ends in its continuation character (LineContinue) goes on over
    // lines and closes on the last character of a line that does not end so (a token inside that takes
    // that character keeps it open: code, whose lines often end in one, is left to close at the line end).
    // That is done once the cut is made, which it would change.
    QString continuedEnd;
    if (t.singleline && !lineEnd.push.valid() && kindOf(t.id) == QLatin1String("string")) {
        std::vector<FlatRule> rules;
        QSet<QString> seen{key};
        flatten(target, rules, seen, 0);
        for (const FlatRule &q : rules) {
            if (q.rule->type == QLatin1String("LineContinue") && !q.rule->flag("lookAhead")
                && parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).stay()) {
                const QString ch = q.rule->value("char").isEmpty() ? QStringLiteral("\\") : q.rule->value("char").left(1);
                continuedEnd = QStringLiteral("[^%1]$").arg(ch == QLatin1String("\\") ? QStringLiteral("\\\\") : RegexText::escapeLiteral(ch));
                break;
            }
        }
    }
    if (lineEnd.pops > 1)
        report_.approximated(t.source, QStringLiteral("lineEndContext \"%1\": the line end closes this scope only").arg(c.lineEndContext));
    // A context opened at the line end that never comes back (each of its ways out closes this one too,
    // such as a make rule's commands after its prerequisites): this scope's own rules end with the line.
    auto neverComesBack = [&](const Ref &next) {
        transient(next);
        const KdeContext &n = next.context();
        for (const QString &edge : {n.lineEndContext, n.lineEmptyContext, n.fallthroughContext})
            if (!edge.trimmed().isEmpty() && parseSwitch(edge, next.def, next.where(main_)).pops == 1)
                return false;
        const std::vector<FlatRule> &rules = *flat_.value(next.key());
        return std::any_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
                   return parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).pops >= 2;
               })
            && std::none_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
                   return parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).pops == 1;
               });
    };
    if (lineEnd.push.valid() && lineEnd.pops == 0 && neverComesBack(lineEnd.push)) {
        t.singleline = true;
        report_.approximated(t.source, QStringLiteral("lineEndContext \"%1\": the scope closes at the line end; what follows is read as where it opened")
                                           .arg(c.lineEndContext));
    } else if (lineEnd.push.valid()) {
        report_.dropped(t.source, QStringLiteral("lineEndContext \"%1\": no context opens at the line end").arg(c.lineEndContext));
    }
    if (!continuedEnd.isEmpty())
        continuedEnds_.insert(t.name, continuedEnd);
    const int index = addTokenset(std::move(t), key);
    scopeContexts_.insert(index, target);
    levels_.push_back({draft_->tokensets[size_t(index)].name, target, index, false, openingDepth_});
    return index;
}

void Conversion::addToken(std::vector<TokenDraft> &tokens, const QString &text, const QStringList &guards, bool unite)
{
    for (TokenDraft &t : tokens) {
        if (t.text == text) {
            // The same token where other rules come first: it gives way only to those that come first
            // everywhere (it is valid wherever its tokenset is; where most text is, fewer come first).
            // A token of plain text or one that opens a scope of code (`unite`) also gives way to each
            // look-ahead that opens a context where it stands: elsewhere, where what that looks at
            // rarely stands, it leaves the text plain, where the look-ahead would lose to it what it
            // opens (a property name taken as a selector's tag). The start of a comment or string
            // does not: kept from opening, all its text would go plain.
            // Nor does it take the start of a comment where one opens anywhere: a word that begins as a
            // comment does (a shebang line taken as a command name).
            auto kept = [&](const QString &g) { return unite && (lookAheadGuards_.contains(g) || commentGuards_.contains(g)); };
            t.guards.removeIf([&](const QString &g) { return !guards.contains(g) && !kept(g); });
            for (const QString &g : guards)
                if (kept(g) && !t.guards.contains(g))
                    t.guards += g;
            return;
        }
    }
    tokens.push_back({text, true, QString(), guards});
}

// How many tokensets the draft comes to once list tokensets that colour alike and are valid in the
// same scopes are one (as the fitting makes them).
int fittedCount(const LanguageDraft &draft)
{
    QSet<QString> lists;
    int scopes = 0;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope) {
            ++scopes;
            continue;
        }
        QStringList where = t.validScopes;
        where.sort();
        lists.insert(QStringLiteral("%1|%2|%3|%4|%5").arg(t.id).arg(t.forecolor).arg(t.backcolor).arg(t.fontstyle, where.join(QChar(0x1F))));
    }
    return scopes + int(lists.size());
}

// The kind of thing a tokenset id colours, as far as telling a comment from a string goes.
QString kindOf(const QString &id)
{
    if (id == QLatin1String("linecomments") || id == QLatin1String("blockcomments"))
        return QStringLiteral("comment");
    if (id == QLatin1String("strings") || id == QLatin1String("charliterals") || id == QLatin1String("escapeseqs"))
        return QStringLiteral("string");
    return id;
}

// Scope `j` goes into scope `i` (which stands in the same places): its starts with their own ends, and
// what is valid in it.
void mergeScope(LanguageDraft &draft, size_t i, size_t j)
{
    auto paired = [](TokensetDraft &t) {
        if (t.tokens2.size() == 1 && t.tokens.size() > 1)
            t.tokens2.resize(t.tokens.size(), t.tokens2.front());
    };
    TokensetDraft from = std::move(draft.tokensets[j]);
    draft.tokensets.erase(draft.tokensets.begin() + qsizetype(j));
    TokensetDraft &into = draft.tokensets[i];
    paired(into);
    paired(from);
    into.tokens.insert(into.tokens.end(), from.tokens.begin(), from.tokens.end());
    into.tokens2.insert(into.tokens2.end(), from.tokens2.begin(), from.tokens2.end());
    for (TokensetDraft &t : draft.tokensets) {
        if (t.validScopes.removeAll(from.name) > 0 && !t.validScopes.contains(into.name))
            t.validScopes += into.name;
    }
}

// List tokensets that look alike and hold the same tokens (the same rules used in several contexts,
// which give way to the same rules before them) are one, valid wherever each was, where that passes
// over no tokenset valid in the same places (which the later one's tokens would come before).
void mergeAlikeLists(LanguageDraft &draft)
{
    auto sameTokens = [](const std::vector<TokenDraft> &a, const std::vector<TokenDraft> &b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TokenDraft &x, const TokenDraft &y) {
            return x.text == y.text && x.regexp == y.regexp && x.rule == y.rule && x.guards == y.guards;
        });
    };
    for (size_t i = 0; i < draft.tokensets.size(); ++i) {
        for (size_t j = i + 1; j < draft.tokensets.size();) {
            TokensetDraft &a = draft.tokensets[i];
            const TokensetDraft &b = draft.tokensets[j];
            auto passesOver = [&] {
                return std::any_of(draft.tokensets.begin() + qsizetype(i) + 1, draft.tokensets.begin() + qsizetype(j),
                                   [&b](const TokensetDraft &k) {
                                       return std::any_of(k.validScopes.begin(), k.validScopes.end(),
                                                          [&b](const QString &v) { return b.validScopes.contains(v); });
                                   });
            };
            if (a.scope || b.scope || !a.looksLike(b) || !sameTokens(a.tokens, b.tokens) || passesOver()) {
                ++j;
                continue;
            }
            for (const QString &v : b.validScopes)
                if (!a.validScopes.contains(v))
                    a.validScopes += v;
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(j));
        }
    }
}

// Scope `name` is gone: what stood only in it goes too, and so on inward (a scope that opened only in
// it, with what stood only in that one), so that nothing left counts towards the tokensets a language
// holds while it can no longer be reached.
void forgetScope(LanguageDraft &draft, const QString &name)
{
    QStringList gone{name};
    while (!gone.isEmpty()) {
        const QString g = gone.takeFirst();
        for (size_t k = 0; k < draft.tokensets.size();) {
            TokensetDraft &t = draft.tokensets[k];
            if (t.validScopes.removeAll(g) > 0
                && std::all_of(t.validScopes.begin(), t.validScopes.end(), [&](const QString &v) { return v == t.name; })) {
                if (t.scope)
                    gone += t.name;
                draft.tokensets.erase(draft.tokensets.begin() + qsizetype(k));
                continue;
            }
            ++k;
        }
    }
}

// A scope that never opens: in each place it stands, an earlier scope opens on each of its starts (the
// first tokenset wins a tie), giving way to no more than it does. Contexts of commands merged into one
// leave their argument scopes so, behind the first command's; what stands only in them goes with them.
void Conversion::dropShadowedScopes(LanguageDraft &draft, int limit)
{
    auto covers = [](const TokensetDraft &a, const TokensetDraft &b) {
        if (!a.scope || b.tokens.empty() || b.validScopes.isEmpty())
            return false;
        for (const QString &p : b.validScopes)
            if (p != b.name && !a.validScopes.contains(p))
                return false;
        return std::all_of(b.tokens.begin(), b.tokens.end(), [&](const TokenDraft &start) {
            return std::any_of(a.tokens.begin(), a.tokens.end(), [&](const TokenDraft &first) {
                return first.text == start.text && first.regexp == start.regexp && first.rule == start.rule
                    && std::all_of(first.guards.begin(), first.guards.end(), [&](const QString &g) { return start.guards.contains(g); });
            });
        });
    };
    QList<std::pair<QString, QString>> shadowed; // scope, the one that opens first
    for (size_t j = 1; j < draft.tokensets.size(); ++j) {
        const TokensetDraft &b = draft.tokensets[j];
        if (!b.scope)
            continue;
        for (size_t i = 0; i < j; ++i) {
            if (covers(draft.tokensets[i], b)) {
                shadowed.push_back({b.name, draft.tokensets[i].name});
                break;
            }
        }
    }
    for (const auto &[name, by] : std::as_const(shadowed)) {
        const auto it = std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) { return t.name == name; });
        if (it == draft.tokensets.end())
            continue;
        report_.merged(it->source, QStringLiteral("scope \"%1\" never opens: \"%2\" opens first on the same text (a language holds %3 tokensets)")
                                       .arg(name, by)
                                       .arg(limit + 1));
        draft.tokensets.erase(it);
        forgetScope(draft, name);
    }
}

// A pattern matched by the interpreter, anchored where the match starts: trying a few short texts costs
// less than the machine code QRegularExpression would make first.
class Interpreted {
public:
    explicit Interpreted(const QString &pattern)
    {
        int code = 0;
        PCRE2_SIZE offset = 0;
        program_ = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                                    PCRE2_UTF | PCRE2_UCP, &code, &offset, nullptr);
        if (program_)
            data_ = pcre2_match_data_create_from_pattern_16(program_, nullptr);
    }
    ~Interpreted()
    {
        pcre2_match_data_free_16(data_);
        pcre2_code_free_16(program_);
    }
    Interpreted(const Interpreted &) = delete;
    Interpreted &operator=(const Interpreted &) = delete;
    bool valid() const { return program_ && data_; }
    // How many characters of `text` a match at its start takes; -1 when none.
    qsizetype matchedLength(const QString &text) const
    {
        if (pcre2_match_16(program_, reinterpret_cast<PCRE2_SPTR16>(text.utf16()), PCRE2_SIZE(text.size()), 0, PCRE2_ANCHORED, data_, nullptr) < 0)
            return -1;
        const PCRE2_SIZE *ov = pcre2_get_ovector_pointer_16(data_);
        return qsizetype(ov[1] - ov[0]);
    }

private:
    pcre2_code_16 *program_ = nullptr;
    pcre2_match_data_16 *data_ = nullptr;
};

// The characters that on their own end a scope (a string's quote), of the printable ASCII ones.
QString singleCharacterEnds(const TokensetDraft &scope)
{
    QString ends;
    for (const TokenDraft &end : scope.tokens2) {
        const QString text = end.regexp ? end.text : QRegularExpression::escape(end.text);
        const Interpreted re(text);
        const auto &first = firstCharsOf(text);
        for (char16_t c = 32; c < 127 && re.valid(); ++c) {
            if ((!first || first->test(c)) && !ends.contains(QChar(c)) && re.matchedLength(QString(QChar(c))) == 1)
                ends += QChar(c);
        }
    }
    return ends;
}

// Whether a token of `t` may take, after its first character, one of `ends` (an escaped quote in a
// string): without the token, the scope would end inside its text.
bool takesAnEnd(const TokensetDraft &t, const QString &ends)
{
    for (const TokenDraft &token : ends.isEmpty() ? std::vector<TokenDraft>() : t.tokens) {
        // An escape is short: a list of names (a licence list) is not tried character by character.
        const QString text = token.regexp ? token.text : QRegularExpression::escape(token.text);
        if (text.size() > 64)
            continue;
        const Interpreted re(text);
        const auto &first = firstCharsOf(text);
        for (char16_t p = 32; p < 127 && re.valid(); ++p) {
            if (first && !first->test(p))
                continue;
            for (const QChar end : ends)
                if (re.matchedLength(QString(QChar(p)) + end) == 2)
                    return true;
        }
    }
    return false;
}

// Tokensets valid only in scopes that are no longer there (gone with a context folded or merged away)
// are never reached: they go before the tokensets are counted, so they take no place a scope could keep.
void Conversion::dropUnreachable(LanguageDraft &draft)
{
    for (bool changed = true; changed;) {
        changed = false;
        QSet<QString> scopes{QString()};
        for (const TokensetDraft &t : draft.tokensets)
            if (t.scope)
                scopes.insert(t.name);
        for (size_t i = 0; i < draft.tokensets.size();) {
            TokensetDraft &t = draft.tokensets[i];
            const bool before = !t.validScopes.isEmpty();
            t.validScopes.removeIf([&](const QString &s) { return !scopes.contains(s); });
            if (!before || !t.validScopes.isEmpty()) {
                ++i;
                continue;
            }
            report_.dropped(t.source, QStringLiteral("tokenset \"%1\" is valid in no scope that was kept").arg(t.name));
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(i));
            changed = true;
        }
    }
}

// A definition of more contexts than a language holds tokensets is cut down until it fits: first
// scopes that colour alike and close alike are one (string variants: raw, formatted, bytes...); then
// the tokensets that colour parts of comments and strings as comments and strings go (the scope's own
// colour takes over); then scopes of comments or strings are one with the first of their kind; then,
// from the deepest, a context's scope becomes one token coloured as the context, and what was valid
// only inside it goes.
void Conversion::collapse(LanguageDraft &draft, int limit)
{
    if (fittedCount(draft) <= limit)
        return;
    dropUnreachable(draft);
    // Whether any tokenset but itself stands in scope `name`.
    auto holds = [&](const QString &name) {
        return std::any_of(draft.tokensets.begin(), draft.tokensets.end(),
                           [&](const TokensetDraft &t) { return t.name != name && t.validScopes.contains(name) && !ownInsideLists_.contains(t.name); });
    };
    // Whether two scopes close on the same texts.
    auto sameEnds = [](const TokensetDraft &a, const TokensetDraft &b) {
        QSet<QString> x, y;
        for (const TokenDraft &t : a.tokens2)
            x.insert(t.text);
        for (const TokenDraft &t : b.tokens2)
            y.insert(t.text);
        return x == y;
    };
    // Of other colours, not one that holds nothing with one that holds something: a string that reads
    // no code merged into one that does (a quote that does not interpolate, into one that reads
    // variables) would read code too, and a variable's name may take the quote that ends it.
    auto mergeScopes = [&](bool sameLook) {
        int count = fittedCount(draft);
        for (size_t i = 0; i < draft.tokensets.size() && count > limit; ++i) {
            for (size_t j = i + 1; j < draft.tokensets.size() && count > limit;) {
                const TokensetDraft &a = draft.tokensets[i], &b = draft.tokensets[j];
                const QString kind = kindOf(a.id);
                const bool alike = a.scope && b.scope && a.singleline == b.singleline && a.tokens2.empty() == b.tokens2.empty()
                    && (kind == QLatin1String("comment") || kind == QLatin1String("string")) && kind == kindOf(b.id)
                    && (!sameLook || a.looksLike(b))
                    && QSet<QString>(a.validScopes.begin(), a.validScopes.end()) == QSet<QString>(b.validScopes.begin(), b.validScopes.end())
                    && (sameLook || holds(a.name) == holds(b.name))
                    // Scopes in their quotes' colour look alike whatever their text: only those that close alike.
                    && (!sameLook || (!ownInside_.contains(a.source) && !ownInside_.contains(b.source)) || sameEnds(a, b));
                if (!alike) {
                    ++j;
                    continue;
                }
                report_.merged(b.source, QStringLiteral("scope \"%1\" merged into \"%2\" (%3; a language holds %4 tokensets)")
                                             .arg(b.name, a.name, sameLook ? QStringLiteral("same colours") : QStringLiteral("both ") + kind + u's')
                                             .arg(limit + 1));
                mergeScope(draft, i, j);
                count = fittedCount(draft);
            }
        }
    };
    mergeScopes(true);
    QHash<QString, QString> scopeKind;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope)
            scopeKind.insert(t.name, kindOf(t.id));
    }
    // Those valid in the fewest scopes go first.
    for (int wanted = 1, count = fittedCount(draft); wanted <= 10 && count > limit; ++wanted) {
        for (size_t k = 0; k < draft.tokensets.size() && count > limit;) {
            const TokensetDraft &t = draft.tokensets[k];
            const QString kind = kindOf(t.id);
            const bool inside = !t.scope && t.validScopes.size() == wanted && (kind == QLatin1String("comment") || kind == QLatin1String("string"))
                && !ownInsideLists_.contains(t.name) // (it keeps a context's colour in a scope of another)
                && std::all_of(t.validScopes.begin(), t.validScopes.end(), [&](const QString &v) { return scopeKind.value(v) == kind; });
            if (!inside) {
                ++k;
                continue;
            }
            report_.merged(t.source, QStringLiteral("tokenset \"%1\" colours as the %2 around it (a language holds %3 tokensets)")
                                         .arg(t.name, kind)
                                         .arg(limit + 1));
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(k));
            count = fittedCount(draft);
        }
    }
    mergeScopes(false);
    // Scopes of code of the definition itself that look alike, close alike and stand in the same places
    // (one per command of a build language, each with its own options) become one, before any is cut
    // down to a token.
    // Only steps before their content: scopes in which nothing but scopes and plain text stands.
    auto step = [&](const TokensetDraft &t) {
        return std::all_of(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &u) {
            return u.scope || u.id == QLatin1String("text") || !u.validScopes.contains(t.name);
        });
    };
    for (size_t i = 0, count = size_t(fittedCount(draft)); i < draft.tokensets.size() && count > size_t(limit); ++i) {
        if (!draft.tokensets[i].scope || draft.tokensets[i].source.contains(QLatin1String("##")) || !step(draft.tokensets[i]))
            continue;
        for (size_t j = i + 1; j < draft.tokensets.size() && count > size_t(limit);) {
            const TokensetDraft &a = draft.tokensets[i], &b = draft.tokensets[j];
            const QString kind = kindOf(a.id);
            const bool alike = b.scope && !b.source.contains(QLatin1String("##")) && step(b) && kind != QLatin1String("comment") && kind != QLatin1String("string")
                && kindOf(b.id) == kind && a.looksLike(b) && a.singleline == b.singleline && a.chain == b.chain
                && a.symmetrical == b.symmetrical && a.tokens2.empty() == b.tokens2.empty()
                && QSet<QString>(a.validScopes.begin(), a.validScopes.end()) == QSet<QString>(b.validScopes.begin(), b.validScopes.end());
            if (!alike) {
                ++j;
                continue;
            }
            report_.merged(b.source, QStringLiteral("scope \"%1\" merged into \"%2\" (same colours and places; a language holds %3 tokensets)")
                                         .arg(b.name, a.name)
                                         .arg(limit + 1));
            mergeScope(draft, i, j);
            count = size_t(fittedCount(draft));
        }
    }
    dropShadowedScopes(draft, limit);
    // How deep each scope is: the outermost level is 0, a scope one more than where it opens.
    QHash<QString, int> depth{{QString(), 0}};
    for (bool changed = true; changed;) {
        changed = false;
        for (const TokensetDraft &t : draft.tokensets) {
            if (!t.scope)
                continue;
            int d = 1 << 20;
            for (const QString &v : t.validScopes) {
                if (depth.contains(v))
                    d = std::min(d, depth.value(v) + 1);
            }
            if (d < (1 << 20) && (!depth.contains(t.name) || d < depth.value(t.name))) {
                depth.insert(t.name, d);
                changed = true;
            }
        }
    }
    auto literal = [&](const TokensetDraft &t) {
        const QString kind = kindOf(t.id);
        return kind == QLatin1String("comment") || kind == QLatin1String("string");
    };
    // A scope that stands only inside comments or strings (a modeline's options, a licence tag) colours
    // text the comment or string would colour much the same.
    QSet<QString> literals; // the names of the comments and strings, as the draft stands
    auto insideLiteralsOnly = [&](const TokensetDraft &t) {
        bool any = false;
        for (const QString &p : t.validScopes) {
            if (p == t.name)
                continue;
            if (!literals.contains(p))
                return false;
            any = true;
        }
        return any;
    };
    QHash<QString, QString> endsOf; // scope -> singleCharacterEnds()
    QHash<QString, bool> takesEnd;  // list and scope -> takesAnEnd()
    QSet<QString> hoisted;
    while (fittedCount(draft) > limit) {
        literals.clear();
        for (const TokensetDraft &t : draft.tokensets)
            if (literal(t))
                literals.insert(t.name);
        // Those only inside comments or strings first, then the deepest; of those, one that is not a
        // comment or string (they colour the most text).
        int victim = -1;
        auto rank = [&](const TokensetDraft &t) {
            return std::tuple(int(insideLiteralsOnly(t)), depth.value(t.name, 1 << 20), int(!literal(t)));
        };
        for (int i = 0; i < int(draft.tokensets.size()); ++i) {
            const TokensetDraft &t = draft.tokensets[size_t(i)];
            if (t.scope && (victim < 0 || rank(t) >= rank(draft.tokensets[size_t(victim)])))
                victim = i;
        }
        // Past the scopes that stand only inside comments or strings, the lists that stand only inside
        // comments go before any scope of code is cut (a documentation block's markup: the comment
        // colours it), unless one takes what would end the comment (an escaped quote). A list inside a
        // string stays: it is code there (a variable in a shell's "...").
        if (victim < 0 || !insideLiteralsOnly(draft.tokensets[size_t(victim)])) {
            const auto list = std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) {
                return !t.scope && !literal(t) && insideLiteralsOnly(t)
                    && std::all_of(t.validScopes.begin(), t.validScopes.end(), [&](const QString &v) {
                           const TokensetDraft *scope = draft.find(v);
                           return !scope || kindOf(scope->id) == QLatin1String("comment");
                       })
                    && std::none_of(t.validScopes.begin(), t.validScopes.end(), [&](const QString &v) {
                           const TokensetDraft *scope = draft.find(v);
                           if (!scope)
                               return false;
                           auto ends = endsOf.constFind(v);
                           if (ends == endsOf.constEnd())
                               ends = endsOf.insert(v, singleCharacterEnds(*scope));
                           const QString key = t.name + QChar(0x1F) + v;
                           auto known = takesEnd.constFind(key);
                           if (known == takesEnd.constEnd())
                               known = takesEnd.insert(key, takesAnEnd(t, *ends));
                           return *known;
                       });
            });
            if (list != draft.tokensets.end()) {
                report_.merged(list->source, QStringLiteral("tokenset \"%1\" colours as the comment or string around it (a language holds %2 tokensets)")
                                                 .arg(list->name)
                                                 .arg(limit + 1));
                draft.tokensets.erase(list);
                continue;
            }
        }
        if (victim < 0)
            return;
        // A comment or string that stands in one scope of code only, which opens it at once (an
        // environment's `{` before its verbatim body): it stands where that scope stands instead, opening
        // on both starts, so that it outlives that scope's cut (up to the outermost level).
        if (TokensetDraft &v = draft.tokensets[size_t(victim)]; literal(v) && !v.singleline && !hoisted.contains(v.name)) {
            bool moved = false;
            while (v.validScopes.size() == 1 && !v.tokens.empty()) {
                const TokensetDraft *g = draft.find(v.validScopes.front());
                if (!g || !g->scope || literal(*g) || g == &v || g->tokens.empty() || g->tokens2.empty() || g->tokens.size() * v.tokens.size() > 16
                    || g->validScopes.contains(g->name) || g->validScopes.isEmpty())
                    break;
                std::vector<TokenDraft> starts;
                for (const TokenDraft &gs : g->tokens)
                    for (const TokenDraft &vs : v.tokens)
                        starts.push_back({RegexText::grouped(gs.text) + RegexText::grouped(vs.text), true, vs.rule, {}});
                std::vector<TokenDraft> ends;
                if (v.tokens2.size() == v.tokens.size() && v.tokens.size() > 1)
                    for (size_t k = 0; k < g->tokens.size(); ++k)
                        ends.insert(ends.end(), v.tokens2.begin(), v.tokens2.end());
                else
                    ends = v.tokens2;
                v.tokens = std::move(starts);
                v.tokens2 = std::move(ends);
                v.validScopes = g->validScopes;
                depth.insert(v.name, depth.value(g->name, 1));
                moved = true;
            }
            hoisted.insert(v.name);
            if (moved) {
                report_.approximated(v.source, QStringLiteral("scope \"%1\" opens where the scopes that lead to it stand, on their starts (a language holds %2 tokensets)")
                                                   .arg(v.name)
                                                   .arg(limit + 1));
                continue;
            }
        }
        TokensetDraft gone = std::move(draft.tokensets[size_t(victim)]);
        draft.tokensets.erase(draft.tokensets.begin() + victim);
        forgetScope(draft, gone.name);
        QStringList places = gone.validScopes;
        places.removeAll(gone.name);
        if (!places.isEmpty() && std::all_of(places.begin(), places.end(), [&](const QString &p) {
                const TokensetDraft *where = draft.find(p);
                return where && literal(*where);
            })) {
            // Only ever inside comments or strings: the comment or string around it colours it. One it
            // alone closed (a verbatim body's `\end`, whose `}` closes the body) closes where it would open.
            report_.merged(gone.source, QStringLiteral("the context colours as the comment or string around it (a language holds %1 tokensets)")
                                            .arg(limit + 1));
            QString starts;
            for (const TokenDraft &start : gone.tokens)
                starts += (starts.isEmpty() ? QString() : QStringLiteral("|")) + RegexText::grouped(LanguageFitting::tokenText(start));
            for (const QString &p : std::as_const(places))
                if (TokensetDraft *where = draft.find(p); where && where->scope && where->tokens2.empty() && !where->singleline
                    && !where->symmetrical && !starts.isEmpty() && closesAround(gone.source))
                    where->tokens2.push_back({starts, true, QString(), {}});
            continue;
        }
        report_.approximated(gone.source, QStringLiteral("the context is coloured as one token where it opens; its own rules are dropped (a language holds %1 tokensets)")
                                              .arg(limit + 1));
        // A scope that closed only through it (a substitution's "s" before its delimiter opens the
        // pattern, whose end closes both) closes where it would open instead, or it would never close.
        QStringList closedHere;
        QString starts;
        for (const TokenDraft &start : gone.tokens)
            starts += (starts.isEmpty() ? QString() : QStringLiteral("|")) + RegexText::grouped(LanguageFitting::tokenText(start));
        for (const QString &p : std::as_const(places)) {
            TokensetDraft *where = draft.find(p);
            if (!where || !where->scope || !where->tokens2.empty() || where->singleline || where->chain || starts.isEmpty()
                || !closesAround(gone.source))
                continue;
            where->tokens2.push_back({starts, true, QString(), {}});
            closedHere += p;
            report_.approximated(where->source, QStringLiteral("scope \"%1\" closes where \"%2\" would open (a language holds %3 tokensets)")
                                                    .arg(where->name, gone.name)
                                                    .arg(limit + 1));
        }
        TokensetDraft token = gone;
        for (const QString &p : std::as_const(closedHere))
            token.validScopes.removeAll(p);
        // Not where the scope itself was: that is gone (counted, the token would look unlike its kin).
        token.validScopes.removeAll(gone.name);
        if (token.validScopes.isEmpty())
            continue;
        token.scope = false;
        token.singleline = false;
        token.tokens2.clear();
        if (token.id == QLatin1String("parameterblocks"))
            token.id = QStringLiteral("identifiers");
        token.name = uniqueName(gone.name);
        // Each start keeps the colour of the item that opens it (a builtin command's word before its
        // arguments), as in KDE, where the rule colours what it takes: starts of another look than the
        // context's are a token of their own.
        std::map<QString, TokensetDraft> byLook;
        const auto items = startItems_.value(gone.name);
        std::vector<TokenDraft> stays;
        for (TokenDraft &start : token.tokens) {
            const auto item = items.constFind(start.text);
            const Look l = item == items.constEnd() ? Look{} : look(item->first, item->second, token.source);
            if (item == items.constEnd() || (l.fg == token.forecolor && l.bg == token.backcolor && l.fontstyle == token.fontstyle)) {
                stays.push_back(std::move(start));
                continue;
            }
            TokensetDraft &own = byLook[l.name];
            if (own.tokens.empty()) {
                own = token;
                own.tokens.clear();
                own.name = l.name;
                own.id = l.id;
                own.forecolor = l.fg;
                own.backcolor = l.bg;
                own.fontstyle = l.fontstyle;
            }
            own.tokens.push_back(std::move(start));
        }
        token.tokens = std::move(stays);
        // Where the scope stood, so that they win the ties it won (a keyword list's words over a name).
        auto at = draft.tokensets.begin() + std::min(qsizetype(victim), qsizetype(draft.tokensets.size()));
        if (!token.tokens.empty())
            at = draft.tokensets.insert(at, std::move(token));
        for (auto &[name, own] : byLook) {
            own.name = uniqueName(name);
            at = draft.tokensets.insert(at, std::move(own));
        }
    }
}

// A context every rule of which leaves it again (a dispatcher: look ahead, then go on elsewhere), or that
// falls through to the context below where no rule matches, is not kept as a scope: it is folded into
// the rule that opens it, one rule for each of its own. (A rule of a context that falls through and
// stays or opens another is taken to leave it: the next character no rule takes would.)
bool Conversion::transient(const Ref &context)
{
    const QString key = context.key();
    if (const auto it = transient_.constFind(key); it != transient_.constEnd())
        return *it;
    transient_.insert(key, false); // a context that reaches itself while this is worked out is not
    const KdeContext &c = context.context();
    bool leaves = !c.dynamic;
    auto rules = std::make_shared<std::vector<FlatRule>>();
    QSet<QString> seen{key};
    flatten(context, *rules, seen, 0);
    // A definition written by Varlex opens a context for a scope only: it is no place passed through.
    if (std::any_of(rules->begin(), rules->end(), [](const FlatRule &fr) { return KdeAlikeContexts::writtenByVarlex(*fr.rule); }))
        leaves = false;
    // A context that falls through is left at the first character its rules do not take.
    const bool fallsThrough = !c.fallthroughContext.isEmpty() && parseSwitch(c.fallthroughContext, context.def, context.where(main_)).pops > 0;
    if (!c.fallthroughContext.isEmpty() && !fallsThrough)
        leaves = false; // where no rule matches it goes on in another context: it stays
    for (const FlatRule &fr : *rules) {
        if (!leaves || fallsThrough)
            break;
        leaves = fr.rule->children.empty() && parseSwitch(fr.rule->value("context"), fr.owner.def, fr.owner.where(main_)).pops > 0;
    }
    if (rules->empty() && !fallsThrough)
        leaves = false;
    flat_.insert(key, rules);
    transient_.insert(key, leaves);
    return leaves;
}

void Conversion::expand(const Level &level, const FlatRule &fr, std::vector<Effect> &out, QString &own)
{
    const QString where = fr.owner.where(main_);
    QString text = fr.rule->type == kFallThrough ? QStringLiteral("(?=)") : rulePattern(fr, level, where);
    if (text.isEmpty())
        return;
    const Switch sw = parseSwitch(fr.rule->value("context"), fr.owner.def, where);
    if (fr.rule->type == kFallThrough) {
        // Where no rule matches, the context goes on in one that passes on: that one's rules, seen from
        // here, come after this context's own.
        follow(level, QString(), false, nullptr, sw, fr, out, 0);
        return;
    }
    const bool lookAhead = fr.rule->flag("lookAhead");
    if (lookAhead && sw.stay()) {
        report_.dropped(where, QStringLiteral("<%1> (line %2): a look-ahead that stays does nothing").arg(fr.rule->type).arg(fr.rule->line));
        return;
    }
    own = text;
    // KDE takes no empty match: a rule that may match nothing, followed by the rules of the context it
    // opens, must still take a character itself (\G is where the match starts).
    if (!lookAhead && sw.push.valid() && mayBeEmpty(text))
        text = RegexText::grouped(text) + QStringLiteral("(?!\\G)");
    if (lookAhead && !sw.push.valid()) {
        // Looking ahead to close the scope: the end token takes the text (there is no empty token).
        if (level.scope >= 0)
            out.push_back({text, &fr, sw, fr, fr.rule, where});
        return;
    }
    follow(level, lookAhead ? QStringLiteral("(?=%1)").arg(text) : text, !lookAhead, lookAhead ? nullptr : &fr, sw, fr, out, 0);
    foldOpener_ = QString();
    if (const auto parts = keywordParts_.constFind(fr.rule); parts != keywordParts_.constEnd() && !lookAhead) {
        for (qsizetype i = 1; i < parts->size(); ++i) {
            follow(level, parts->at(i), true, &fr, sw, fr, out, 0);
            foldOpener_ = QString();
        }
        return;
    }
    // A look-ahead at a character into a dispatcher (a context whose rules all leave it, and that does not
    // fall through) takes nothing unless the dispatcher is folded: folded it stays, up to a few times as
    // many rules.
    auto dispatches = [&](bool bounded) {
        static const QSet<QString> character{QStringLiteral("DetectChar"), QStringLiteral("Detect2Chars"), QStringLiteral("AnyChar")};
        if (!lookAhead || !character.contains(fr.rule->type) || !sw.push.valid() || sw.pops != 0 || (bounded && out.size() > 128)
            || !sw.push.context().fallthroughContext.isEmpty())
            return false;
        std::vector<FlatRule> rules;
        QSet<QString> seen{sw.push.key()};
        flatten(sw.push, rules, seen, 0);
        return std::all_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
            return q.rule->flag("lookAhead") || parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).pops > 0;
        });
    };
    // A context that goes back where no rule matches would, kept as a scope, close on that character and
    // colour it: folded it leaves it to the place around, so it is folded up to 64 rules (past that, what
    // its folding adds crowds out scopes of the language).
    const bool goesBack = sw.push.valid() && sw.pops == 0 && sw.push.context().fallthroughContext.trimmed() == QLatin1String("#pop")
        && out.size() <= 64;
    if (out.size() > 128 && !goesBack && dispatches(false)) {
        // Folded whole, a large dispatcher crowds out the language's scopes: its rules that fold to few
        // (a variable's name after "$") are folded, the others left out.
        out.clear();
        branchCap_ = 8;
        follow(level, lookAhead ? QStringLiteral("(?=%1)").arg(text) : text, !lookAhead, lookAhead ? nullptr : &fr, sw, fr, out, 0);
        branchCap_ = 0;
        foldOpener_ = QString();
        return;
    }
    if (out.size() > 48 && !goesBack && !dispatches(true)) {
        // Folding multiplies rules: past a few dozen, the contexts stay scopes.
        out.clear();
        noFold_ = true;
        follow(level, lookAhead ? QStringLiteral("(?=%1)").arg(text) : text, !lookAhead, lookAhead ? nullptr : &fr, sw, fr, out, 0);
        noFold_ = false;
        foldOpener_ = QString();
    }
}

// Whether the last rule folded into the start of a scope shows unlike the rest of the start and the
// scope, what comes before it is told by a look-behind (of a fixed length), and no rule of the scope
// could begin where it does.
bool Conversion::lastStandsApart(const Effect &e, const Ref &scope, const Level &level)
{
    const Look first = look(e.colour->owner.def, e.colour->rule->value("attribute"), e.where);
    const Look last = look(e.lastColour->owner.def, e.lastColour->rule->value("attribute"), e.where);
    const Look inside = look(scope.def, scope.context().attribute, e.where);
    if (last.showsAs(first) || last.showsAs(inside) || !compileError(QStringLiteral("(?<=%1)%2").arg(e.lead, e.last)).isEmpty())
        return false;
    std::vector<FlatRule> rules;
    QSet<QString> seen{scope.key()};
    flatten(scope, rules, seen, 0);
    return std::none_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
        const QString p = q.rule->type == kFallThrough ? QString() : rulePattern(q, level, q.owner.where(main_));
        return p.isEmpty() || overlaps(firstCharsPastLookarounds(e.last), firstCharsOf(p));
    });
}

// A rule that takes white space only and stays in its context.
bool Conversion::staysOverBlanks(const FlatRule &q)
{
    static const QSet<QString> blanks{QStringLiteral("\\s+"), QStringLiteral("\\s*"), QStringLiteral("[ \\t]+"), QStringLiteral("[ \\t]*")};
    const KdeRule &r = *q.rule;
    const bool blank = r.type == QLatin1String("DetectSpaces") || (r.type == QLatin1String("RegExpr") && blanks.contains(r.value("String")));
    return blank && r.children.empty() && !r.flag("lookAhead") && parseSwitch(r.value("context"), q.owner.def, q.owner.where(main_)).stay();
}

// A rule that stays and takes blanks or any other character (a context's error for what it does not
// expect).
bool Conversion::staysOverAnything(const FlatRule &q)
{
    static const QSet<QString> any{QStringLiteral("\\S"), QStringLiteral("\\S+"), QStringLiteral("[^\\s]"), QStringLiteral("[^\\s]+"),
                                   QStringLiteral("."), QStringLiteral(".+")};
    const KdeRule &r = *q.rule;
    return staysOverBlanks(q)
        || (r.type == QLatin1String("RegExpr") && any.contains(r.value("String")) && r.children.empty() && !r.flag("lookAhead")
            && parseSwitch(r.value("context"), q.owner.def, q.owner.where(main_)).stay());
}

// `base` has matched (consuming text when `consumes`) and the stack goes as `sw` says, seen from the
// level; follow it through contexts that are folded.
void Conversion::follow(const Level &level, const QString &base, bool consumes, const FlatRule *colour, const Switch &sw,
                        const FlatRule &origin, std::vector<Effect> &out, int depth)
{
    const Ref d = sw.push;
    const QString where = origin.owner.where(main_);
    const bool below = std::exchange(stayingBelow_, false);
    QString plainBase;
    // A rule that closes the scope it is in goes no further: what it opens in the scope's place is
    // not opened (see run()), so folding that in would only lengthen the scope's end.
    const bool closes = consumes && sw.pops > 0 && level.scope >= 0;
    // Looked into by the rule that opens it: the rules of the context that cannot take the text looked at
    // are out of play there, and a context whose other rules all leave it is folded all the same.
    const QString ahead = !consumes && depth == 0 && d.valid() && origin.rule->type != kFallThrough ? rulePattern(origin, level, where) : QString();
    auto outOfPlay = [&](const FlatRule &q) {
        if (ahead.isEmpty() || q.rule->flag("lookAhead"))
            return false;
        if (q.rule->type != QLatin1String("DetectIdentifier"))
            return !overlaps(ahead, rulePattern(q, level, q.owner.where(main_)));
        // A name begins with a letter or "_" (letter classes are beyond what first characters are worked out for).
        const auto &fa = firstCharsOf(ahead);
        if (!fa || fa->nonAscii)
            return false;
        for (char16_t c = 0; c < 128; ++c)
            if ((fa->ascii[c / 64] >> (c % 64) & 1) && (QChar::isLetter(c) || c == u'_'))
                return false;
        return true;
    };
    // A context that only waits for what closes the scope around it too (a closing tag's ">"), taking any
    // other character as an error and blanks as nothing: folded, it ends the scope around where it opens.
    auto waitsToCloseAround = [&]() {
        const KdeContext &c = d.context();
        const std::vector<FlatRule> &rules = *flat_.value(d.key());
        bool closer = false;
        for (const FlatRule &q : rules) {
            const Switch sq = parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_));
            if (!q.rule->children.empty() || q.rule->flag("lookAhead"))
                return false;
            if (!staysOverAnything(q) && (sq.pops < 2 || sq.push.valid()))
                return false;
            closer = closer || sq.pops >= 2;
        }
        return closer && !c.dynamic && c.fallthroughContext.isEmpty();
    };
    auto leavesFromHere = [&]() {
        if (transient(d) || waitsToCloseAround() || neverResumed_.contains(d.key()))
            return true;
        const KdeContext &c = d.context();
        if (ahead.isEmpty() || c.dynamic || !c.fallthroughContext.isEmpty())
            return false;
        const std::vector<FlatRule> &rules = *flat_.value(d.key());
        return !rules.empty() && std::all_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
            return outOfPlay(q)
                || (q.rule->children.empty() && parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).pops > 0);
        });
    };
    if (d.valid() && !closes && !noFold_ && depth < 4 && base.size() < 4000 && RegexText::nonCapturing(base, plainBase) && leavesFromHere()) {
        if (!folded_.contains(d.key())) {
            folded_.insert(d.key());
            report_.approximated(d.where(main_), QStringLiteral("the context is folded into the rules that open it; a rule that "
                                                                "goes on from it takes the colour of the first that consumes text"));
        }
        // A context that falls through and stays only over white space (one that tells what the text before
        // it was, such as a division after a name): the blanks may stand before its other rules, and do not
        // open it as a scope.
        const std::shared_ptr<std::vector<FlatRule>> held = flat_.value(d.key());
        const std::vector<FlatRule> &rules = *held;
        const bool skipsBlanks = !d.context().fallthroughContext.isEmpty()
            && std::any_of(rules.begin(), rules.end(), [&](const FlatRule &q) { return staysOverBlanks(q); })
            && std::none_of(rules.begin(), rules.end(), [&](const FlatRule &q) {
                   return !staysOverBlanks(q) && !q.rule->flag("lookAhead")
                       && parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).stay();
               });
        const bool waits = !transient(d) && waitsToCloseAround();
        const QString blanks = skipsBlanks || waits ? QStringLiteral("\\s*") : QString();
        // A dynamic rule of the context reads the groups of the rule that opened it.
        const QString opener = depth == 0 ? base : foldOpener_;
        // A context of staying rules only that falls back (#pop) where none matches: its rules, worked
        // out once, as they take more after the first.
        QStringList staysAgain;
        std::optional<bool> overStays;
        auto fallsBackOverStays = [&]() {
            if (overStays)
                return *overStays;
            const Switch back = parseSwitch(d.context().fallthroughContext, d.def, d.where(main_));
            // (Or it falls back past the folded context below it too, which is no scope: `*name` then `;`.)
            overStays = (back.pops == 1 || (below && back.pops == 2)) && !back.push.valid() && !waits;
            overStays = *overStays && std::all_of(rules.begin(), rules.end(), [&](const FlatRule &r) {
                return !r.rule->flag("lookAhead") && r.rule->children.empty()
                    && parseSwitch(r.rule->value("context"), r.owner.def, r.owner.where(main_)).stay();
            });
            for (const FlatRule &r : rules) {
                if (!*overStays)
                    break;
                QString rplain;
                const QString rtext = rulePattern(r, level, r.owner.where(main_));
                overStays = !rtext.isEmpty() && RegexText::nonCapturing(rtext, rplain);
                staysAgain += RegexText::grouped(rplain);
            }
            // Large lists (a licence's names) would make every token that leads there large too.
            overStays = *overStays && staysAgain.join(u'|').size() <= kMaxStaysAgain;
            return *overStays;
        };
        const size_t foldFrom = out.size();
        std::optional<QString> staysBefore;
        auto staysBeforeCloser = [&]() -> QString {
            if (staysBefore)
                return *staysBefore;
            const Switch back = parseSwitch(d.context().fallthroughContext, d.def, d.where(main_));
            QStringList stays;
            bool ok = back.pops == 1 && !back.push.valid() && !waits && !skipsBlanks;
            for (const FlatRule &r : rules) {
                if (!ok)
                    break;
                if (r.rule->flag("lookAhead") || !r.rule->children.empty()
                    || !parseSwitch(r.rule->value("context"), r.owner.def, r.owner.where(main_)).stay())
                    continue;
                QString rplain;
                const QString rtext = rulePattern(r, level, r.owner.where(main_));
                ok = !rtext.isEmpty() && RegexText::nonCapturing(rtext, rplain);
                stays += RegexText::grouped(rplain);
            }
            ok = ok && !stays.isEmpty() && stays.join(u'|').size() <= kMaxStaysAgain;
            staysBefore = ok ? QStringLiteral("(?:%1)*").arg(stays.join(u'|')) : QString();
            return *staysBefore;
        };
        // A context that falls back where no rule matches, with rules that leave it too: its staying
        // rules, then no rule of it (empty when that cannot be written).
        std::optional<QString> closesOver;
        bool closedOnce = false;
        auto closesOverStays = [&]() -> QString {
            if (closesOver)
                return *closesOver;
            const Switch back = parseSwitch(d.context().fallthroughContext, d.def, d.where(main_));
            QStringList stays, any;
            const Look own = look(d.def, d.context().attribute, d.where(main_));
            bool ok = level.scope < 0 && (back.pops == 1 || (below && back.pops == 2)) && !back.push.valid() && !waits && !skipsBlanks;
            for (const FlatRule &r : rules) {
                if (!ok)
                    break;
                QString rplain;
                const QString rtext = r.rule->type == kFallThrough ? QString() : rulePattern(r, level, r.owner.where(main_));
                ok = !rtext.isEmpty() && !r.rule->flag("lookAhead") && r.rule->children.empty() && RegexText::nonCapturing(rtext, rplain);
                any += RegexText::grouped(rplain);
                const QString item = r.rule->value("attribute").isEmpty() ? d.context().attribute : r.rule->value("attribute");
                const Look l = look(r.owner.def, item, r.owner.where(main_));
                if (ok && parseSwitch(r.rule->value("context"), r.owner.def, r.owner.where(main_)).stay() && l.showsAs(own))
                    stays += RegexText::grouped(rplain);
            }
            ok = ok && !stays.isEmpty() && any.join(u'|').size() <= kMaxStaysAgain;
            closesOver = ok ? QStringLiteral("(?:%1)+(?!%2)").arg(stays.join(u'|'), any.join(u'|')) : QString();
            return *closesOver;
        };
        // Under a cap, a rule of the dispatcher whose folding comes to more rules than that is left out.
        size_t branchFrom = out.size();
        const FlatRule *branch = nullptr;
        auto capBranch = [&](const FlatRule *next) {
            if (branchCap_ > 0 && depth == 0 && branch && out.size() - branchFrom > branchCap_) {
                out.erase(out.begin() + qsizetype(branchFrom), out.end());
                report_.dropped(branch->owner.where(main_), QStringLiteral("<%1> (line %2): folded into the look-ahead that opens \"%3\", it comes to too many rules")
                                                               .arg(branch->rule->type)
                                                               .arg(branch->rule->line)
                                                               .arg(d.context().name));
            }
            branchFrom = out.size();
            branch = next;
        };
        for (const FlatRule &q : rules) {
            capBranch(&q);
            if ((skipsBlanks && staysOverBlanks(q)) || (waits && staysOverAnything(q)) || outOfPlay(q))
                continue;
            const QString qwhere = q.owner.where(main_);
            foldOpener_ = opener;
            const QString qtext = rulePattern(q, level, qwhere);
            if (qtext.isEmpty())
                continue;
            const Switch sq = parseSwitch(q.rule->value("context"), q.owner.def, qwhere);
            const int eaten = std::min(sw.under, std::max(sq.pops - 1, 0));
            const Switch net{sw.pops + std::max(sq.pops - 1, 0) - eaten, sq.push, Ref{}, sw.under - eaten};
            const bool qlook = q.rule->flag("lookAhead");
            // A context that falls back where no rule matches, closed with the contexts around it by a rule
            // after what its staying rules take (the `{name}` before an end's `}`): the closer may follow them.
            const QString before = !qlook && sq.pops > 1 ? staysBeforeCloser() : QString();
            const QString next = RegexText::grouped(plainBase) + blanks + before
                + (qlook ? QStringLiteral("(?=%1)").arg(qtext) : RegexText::grouped(qtext));
            if (sq.stay()) {
                // The context stays after this rule (until a character its rules do not take): it
                // opens as a scope with what led to it and the rule. One of staying rules only that falls
                // back where none matches (a number's unit) is left at once unless one takes more: the
                // token goes on over them, and it opens nothing (as a scope it would end by taking the
                // character it falls back on).
                if (!qlook && fallsBackOverStays()) {
                    follow(level, next + QStringLiteral("(?:%1)*").arg(staysAgain.join(u'|')), true, colour ? colour : &q,
                           Switch{sw.pops, Ref{}}, origin, out, depth + 1);
                    continue;
                }
                if (!qlook) {
                    // Where its staying rules end before a character no rule takes (`*name;`), the
                    // context is left at once: that much is one token, and the character keeps the
                    // colour around instead of closing the scope in the scope's colour.
                    const QString closed = closedOnce ? QString() : closesOverStays();
                    closedOnce = true;
                    if (!closed.isEmpty())
                        follow(level, RegexText::grouped(plainBase) + blanks + closed, true, colour ? colour : &q,
                               Switch{sw.pops, Ref{}}, origin, out, depth + 1);
                    out.push_back({next, colour ? colour : &q, Switch{sw.pops, d}, origin, q.rule, qwhere});
                }
                continue;
            }
            foldOpener_ = qtext;
            if (depth == 0 && consumes && colour == &origin && !qlook && mayBeEmpty(rulePattern(origin, level, where)))
                splitAt_ = std::pair(RegexText::grouped(plainBase), blanks + RegexText::grouped(qtext));
            stayingBelow_ = sq.pops == 0 && sq.push.valid();
            const size_t from = out.size();
            const std::optional<LastFold> outer = lastFold_;
            if (consumes && !qlook && !q.rule->value("attribute").isEmpty())
                lastFold_ = LastFold{RegexText::grouped(plainBase) + blanks + before, RegexText::grouped(qtext), &q};
            else
                lastFold_.reset();
            follow(level, next, consumes || !qlook, colour ? colour : (qlook ? nullptr : &q), net, origin, out, depth + 1);
            lastFold_ = outer;
            splitAt_.reset();
            stayingBelow_ = false;
            // It goes on over what the staying rules take, so they give way to it, not it to them.
            if (!before.isEmpty())
                std::rotate(out.begin() + qsizetype(foldFrom), out.begin() + qsizetype(from), out.end());
        }
        capBranch(nullptr);
        const KdeContext &c = d.context();
        if (!c.fallthroughContext.isEmpty()) {
            const Switch f = parseSwitch(c.fallthroughContext, d.def, d.where(main_));
            foldOpener_ = opener;
            const int eaten = std::min(sw.under, std::max(f.pops - 1, 0));
            if (f.pops > 0)
                follow(level, base, consumes, colour, Switch{sw.pops + f.pops - 1 - eaten, f.push, Ref{}, sw.under - eaten}, origin, out, depth + 1);
            else if (f.push.valid() && neverResumed_.contains(d.key()))
                follow(level, base, consumes, colour, Switch{sw.pops, f.push, Ref{}, sw.under + 1}, origin, out, depth + 1); // on it
        } else if (consumes) {
            out.push_back({base, colour, sw, origin, (colour ? colour : &origin)->rule, where});
        }
        return;
    }
    if (consumes && d.valid() && sw.pops == 0) {
        // A context of no rules that closes the one below at the line end (the line that ends a
        // block): the rest of the line closes the scope with it.
        const Switch lineEnd = parseSwitch(d.context().lineEndContext, d.def, d.where(main_));
        std::vector<FlatRule> rules;
        QSet<QString> seen{d.key()};
        flatten(d, rules, seen, 0);
        if (lineEnd.pops >= 2 && rules.empty()) {
            out.push_back({base + QStringLiteral(".*"), colour, Switch{lineEnd.pops - 1, lineEnd.push}, origin,
                           (colour ? colour : &origin)->rule, where});
            return;
        }
    }
    if (consumes) {
        out.push_back({base, colour, sw, origin, (colour ? colour : &origin)->rule, where});
        if (depth == 1 && splitAt_ && d.valid() && sw.pops == 0 && base == splitAt_->first + splitAt_->second) {
            out.back().head = splitAt_->first;
            out.back().tail = splitAt_->second;
        }
        if (lastFold_ && d.valid() && sw.pops == 0 && base == lastFold_->lead + lastFold_->last) {
            out.back().lead = lastFold_->lead;
            out.back().last = lastFold_->last;
            out.back().lastColour = lastFold_->rule;
        }
        return;
    }
    if (!d.valid())
        return; // nothing consumed and nothing opened: nothing to colour
    // A look-ahead into a context that stays: the scope opens with the first thing the context takes.
    // Where rules that stay can open it, those that open a context of their own go on inside it instead (a
    // function's name, then its `(` opens the arguments): as the start they would open nothing.
    QStringList firsts, staying;
    std::vector<FlatRule> rules;
    QSet<QString> seen{d.key()};
    flatten(d, rules, seen, 0);
    for (const FlatRule &q : rules) {
        const Switch qs = parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_));
        if (q.rule->flag("lookAhead") || qs.pops > 0)
            continue;
        const QString qtext = rulePattern(q, level, q.owner.where(main_));
        QString plain;
        if (!qtext.isEmpty() && RegexText::nonCapturing(qtext, plain)) {
            firsts += RegexText::grouped(plain);
            if (qs.stay())
                staying += RegexText::grouped(plain);
        }
    }
    if (!staying.isEmpty())
        firsts = staying;
    if (firsts.isEmpty()) {
        report_.dropped(where, QStringLiteral("<%1> (line %2): it looks ahead into \"%3\", which takes nothing that could open it")
                                   .arg(origin.rule->type)
                                   .arg(origin.rule->line)
                                   .arg(d.context().name));
        return;
    }
    // The look-ahead's own item names what it looks for (a property's name before its value): where a
    // rule of the context that stays takes its text in that item, the opening shows that colour.
    const FlatRule *named = nullptr;
    if (const QString item = origin.rule->value("attribute"); !item.isEmpty() && depth == 0) {
        transient(d);
        for (const FlatRule &q : *flat_.value(d.key())) {
            if (q.owner.def == origin.owner.def && q.rule->value("attribute") == item && !q.rule->flag("lookAhead")
                && parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)).stay()) {
                named = &q;
                break;
            }
        }
    }
    report_.approximated(where, named ? QStringLiteral("<%1> (line %2): \"%3\" opens with the first thing it takes, in the colour of \"%4\"")
                                            .arg(origin.rule->type)
                                            .arg(origin.rule->line)
                                            .arg(d.context().name, origin.rule->value("attribute"))
                                      : QStringLiteral("<%1> (line %2): \"%3\" opens with the first thing it takes, in its own colour")
                                            .arg(origin.rule->type)
                                            .arg(origin.rule->line)
                                            .arg(d.context().name));
    out.push_back({base + QStringLiteral("(?:%1)").arg(firsts.join(u'|')), named, sw, origin, origin.rule, where});
}

bool Conversion::run(const QByteArray &bytes, const QString &fileName, LanguageDraft &draft, QString &problem)
{
    auto main = std::make_unique<KdeDefinition>();
    if (!main->read(bytes, fileName, problem))
        return false;
    main_ = main.get();
    alike_ = KdeAlikeContexts::representatives(*main_);
    variants_ = KdeAlikeContexts::representatives(*main_, true);
    findLeadOns();
    findNeverResumed();
    const QString mainName = main->name;
    definitions_.emplace(mainName, std::move(main));
    draft_ = &draft;
    draft.name = mainName.isEmpty() ? QFileInfo(fileName).completeBaseName() : mainName;
    draft.wordchars = main_->wordClass();

    // A first context that falls through to another that stays (a shebang line before the code): that
    // other is the outermost level, the first one's rules before its own.
    Ref outermost = firstContext(main_), prelude;
    if (const Switch f = parseSwitch(outermost.context().fallthroughContext, main_, outermost.where(main_));
        f.pops == 0 && f.push.valid() && !transient(f.push)) {
        prelude = outermost;
        outermost = f.push;
    }
    levels_.push_back({QString(), outermost, -1});
    // Pairs of tokensets: the first holds a keyword list taken in parts, the second a rule after it that
    // holds no guard for them; it gives way to them in a tie (a match of the same length), by order.
    std::vector<std::pair<QString, QString>> goesBefore;
    QSet<QString> listed;
    while (!levels_.empty()) {
        // The order the levels are read in is the order each tokenset's places are listed in, which
        // decides the places kept when there are more than a record holds.
        const auto next = std::min_element(levels_.begin(), levels_.end(), [](const Level &a, const Level &b) { return a.depth < b.depth; });
        const Level level = *next;
        levels_.erase(next);
        openingDepth_ = level.depth + 1;
        if (listed.contains(level.context.key() + QChar(0x1F) + level.name))
            continue;
        listed.insert(level.context.key() + QChar(0x1F) + level.name);
        const QString here = level.context.where(main_);
        std::vector<FlatRule> rules;
        QSet<QString> seen{level.context.key()};
        if (level.scope < 0 && prelude.valid()) {
            seen.insert(prelude.key());
            flatten(prelude, rules, seen, 0);
        }
        flatten(level.context, rules, seen, 0);
        const KdeContext &c = level.context.context();
        const Switch fall = parseSwitch(c.fallthroughContext, level.context.def, here);
        const bool passesOn = fall.pops == 0 && fall.push.valid() && transient(fall.push);
        if (passesOn) {
            auto it = fallRules_.find(level.context.key());
            if (it == fallRules_.end()) {
                KdeRule r;
                r.type = kFallThrough;
                r.attrs.insert(QStringLiteral("context"), c.fallthroughContext);
                it = fallRules_.emplace(level.context.key(), std::move(r)).first;
            }
            rules.push_back({level.context, &it->second});
        }
        // Falling through to a context that falls through in turn past this one (a number's suffix, then
        // what is wrong after it): that context's rules come after this one's, and the scope closes on
        // the first character none of them takes.
        bool fallsOut = false;
        if (fall.pops == 0 && fall.push.valid() && level.scope >= 0) {
            const KdeContext &next = fall.push.context();
            const Switch beyond = parseSwitch(next.fallthroughContext, fall.push.def, fall.push.where(main_));
            fallsOut = !next.dynamic && beyond.pops >= 2 && !beyond.push.valid();
            if (fallsOut && !passesOn && !seen.contains(fall.push.key())) {
                seen.insert(fall.push.key());
                flatten(fall.push, rules, seen, 0);
            }
        }

        // The rules of contexts that lead on from here come first (their scopes and tokens are made
        // first, so that they win a tie with the rules of this context that would take the same text);
        // they give way to each other, not to this context's own rules.
        // Contexts of no rules that wait for the line end, opened here by a rule in their own colour: a
        // rule of another colour that opens one too is a token of its colour (a key's "[lang]" before
        // the "=" that opens its value), so that its colour shows.
        QSet<QString> plainOpened;
        for (const FlatRule &fr : rules) {
            const Switch sr = parseSwitch(fr.rule->value("context"), fr.owner.def, fr.owner.where(main_));
            if (sr.pops != 0 || !sr.push.valid() || fr.rule->flag("lookAhead") || !sr.push.context().rules.empty()
                || parseSwitch(sr.push.context().lineEndContext, sr.push.def, QString()).pops != 1)
                continue;
            const QString item = fr.rule->value("attribute");
            if (item.isEmpty() || item == sr.push.context().attribute)
                plainOpened.insert(sr.push.key());
        }
        if (!level.endsOnly)
            lookIntoLeadOns(level, rules);
        QSet<QString> leadOnHere;
        std::vector<FlatRule> block = leadOnRules(level, rules, leadOnHere);
        const size_t ownFrom = block.size();
        rules.insert(rules.begin(), block.begin(), block.end());

        bool takesAny = false; // some rule here takes any character that is not a blank, and stays
        std::vector<std::pair<QString, QString>> inParts; // keyword lists here taken in parts: tokenset, first part
        // The parts of a keyword list are too large to be guards beside other patterns: the rules after it
        // give way to it by order instead.
        auto givesWayByOrder = [&](const QString &tokenset, const QString &pattern) {
            for (const auto &[owner, part] : inParts)
                if (owner != tokenset && overlaps(part, pattern))
                    goesBefore.push_back({owner, tokenset});
        };
        EarlierRules earlier;
        QStringList ends; // this scope's closing patterns, each giving way to the rules before it
        auto guardsFor = [&](const QString &text) { return earlier.guardsFor(text); };
        QStringList plainEnds; // the same without the guards
        auto guardedEnd = [&](const QString &text) {
            plainEnds += RegexText::grouped(text);
            const QStringList guards = guardsFor(text);
            QStringList grouped;
            for (const QString &g : guards)
                grouped += RegexText::grouped(g);
            return guards.isEmpty() ? RegexText::grouped(text)
                                    : QStringLiteral("(?:(?!%1)%2)").arg(grouped.join(u'|'), RegexText::grouped(text));
        };
        for (size_t ruleIndex = 0; ruleIndex < rules.size(); ++ruleIndex) {
            const FlatRule &fr = rules[ruleIndex];
            if (ruleIndex == ownFrom)
                earlier.resize(0);
            const QString where = fr.owner.where(main_);
            // A rule written by Varlex stood for a token of the engine, which takes the longest match and
            // ranks equal ones itself: the rules after it need not give way to it, so they do not depend
            // on which end or which tokens their context has.
            const bool ranked = KdeAlikeContexts::writtenByVarlex(*fr.rule);
            std::vector<Effect> effects;
            QString own;
            expand(level, fr, effects, own);
            // The rule's own alternatives give way to each other in order; later rules give way to the
            // rule itself only (where it matches KDE tries nothing after it), which keeps guards short.
            const qsizetype before = earlier.size();
            bool opensComment = false;
            for (const Effect &e : effects) {
                if (const QString error = compileError(e.pattern); !error.isEmpty()) {
                    report_.dropped(e.where, QStringLiteral("a rule folded into \"%1\" does not compile: %2").arg(where, error));
                    continue;
                }
                static const QSet<QString> anyCharacter{QStringLiteral("\\S"), QStringLiteral("\\S+"), QStringLiteral("[^\\s]"),
                                                        QStringLiteral("[^\\s]+"), QStringLiteral("."), QStringLiteral(".+")};
                takesAny = takesAny || (e.net.stay() && anyCharacter.contains(e.pattern));
                Switch sw = e.net;
                if (sw.pops >= 2 && absorbing_.contains(level.context.key()))
                    --sw.pops; // one of them is the context led on from, which is no scope
                if (const int below = foldedBelow_.value(level.context.key()); sw.pops >= 2 && below > 0)
                    sw.pops -= std::min(below, sw.pops - 1); // contexts folded into the rule that opened this one
                const bool leadsOn = sw.pops == 0 && sw.push.valid()
                    && (leadOnHere.contains(sw.push.key())
                        || (plainOpened.contains(sw.push.key()) && e.colour && !e.colour->rule->value("attribute").isEmpty()
                            && e.colour->rule->value("attribute") != sw.push.context().attribute));
                const bool closes = sw.pops > 0 && level.scope >= 0;
                if (closes && sw.push.valid()) {
                    // KDE closes the scope and opens another in its place. Opened inside the scope
                    // instead, it would make the other's starts valid there and keep the scope open
                    // after it: the scope closes and the other is not opened.
                    if (!shortLived_.contains(sw.push.key() + level.name)) {
                        shortLived_.insert(sw.push.key() + level.name);
                        report_.approximated(e.where, QStringLiteral("\"%1\": the scope closes; \"%2\" does not open in its place")
                                                          .arg(e.rule->value("context"), sw.push.context().name));
                    }
                    sw.push = Ref{};
                }
                if (closes && e.rule == fr.rule && KdeAlikeContexts::passesOn(*e.rule)) {
                    // Closing without taking the text, so that the scope around sees it: where that
                    // scope closes on it, the closer chains through this one (chainScopes).
                    const qsizetype plain = plainEnds.size();
                    const QStringList characters = closerCharacters(*e.rule);
                    if (!level.endsOnly && characters.isEmpty())
                        passing_[level.scope].push_back({guardedEnd(e.pattern), e.where, e.rule, QString()});
                    // Each character on its own: a scope around may close on some of them only.
                    for (const QString &c : level.endsOnly ? QStringList() : characters)
                        passing_[level.scope].push_back({guardedEnd(QRegularExpression::escape(c)), e.where, e.rule, c});
                    plainEnds.resize(plain);
                } else if (closes && sw.pops > 1 && !e.rule->flag("lookAhead") && !level.endsOnly) {
                    // Closing scopes around too: a closer of the outermost of them, chained through this
                    // one, where that can be (chainMultiPops); else an end of this one.
                    const qsizetype plain = plainEnds.size();
                    closingAround_[level.scope].push_back({guardedEnd(e.pattern), e.pattern, sw.pops, e.where, e.rule});
                    plainEnds.resize(plain);
                    closesAround_.insert(level.scope);
                } else if (closes) {
                    // A rule folded in whose own switch does not pop (a variable's start in a string, which
                    // opens a context that falls back into the string in KDE) closes the scope only through
                    // a fallthrough: no closer whose colour the scope could take.
                    if (e.rule == e.origin.rule || e.rule->value("context").startsWith(QLatin1String("#pop")))
                        closers_[level.scope].insert(e.colour && !e.colour->rule->value("attribute").isEmpty() && !e.rule->flag("lookAhead")
                                                     ? std::pair(e.colour->owner.def, e.colour->rule->value("attribute"))
                                                     : std::pair<const KdeDefinition *, QString>());
                    ends += guardedEnd(e.pattern);
                    if (sw.pops > 1)
                        closesAround_.insert(level.scope);
                    if (sw.pops > 1)
                        report_.approximated(e.where, QStringLiteral("\"%1\": the rule closes this scope only, not the %2 around it")
                                                          .arg(e.rule->value("context"))
                                                          .arg(sw.pops - 1));
                    if (e.rule->flag("lookAhead"))
                        report_.approximated(e.where, QStringLiteral("<%1> (line %2): the text that looks ahead to close the scope takes its colour")
                                                          .arg(e.rule->type)
                                                          .arg(e.rule->line));
                } else if (level.endsOnly) {
                    // The scope's tokens come from the context it is opened as.
                } else if (sw.push.valid() && !leadsOn) {
                    QString start = e.pattern;
                    const bool ownColour = e.colour && !e.colour->rule->value("attribute").isEmpty();
                    if (ownColour && !e.head.isEmpty()) {
                        // The rule that leads there may take nothing (a name before "="): what follows it
                        // opens the scope on its own, so the rule's text keeps its own colour as a token.
                        const Look a = look(e.colour->owner.def, e.colour->rule->value("attribute"), e.where);
                        const Look b = look(sw.push.def, sw.push.context().attribute, e.where);
                        if (!a.showsAs(b)) {
                            const int k = listTokenset(e, level);
                            TokensetDraft &named = draft.tokensets[size_t(k)];
                            if (!named.validScopes.contains(level.name))
                                named.validScopes += level.name;
                            const QString token = e.head + QStringLiteral("(?=%1)").arg(e.tail);
                            addToken(named.tokens, token, guardsFor(token), named.id == QLatin1String("text"));
                            start = e.tail;
                        }
                    }
                    // The last rule folded into the start has a colour of its own (a function's name after
                    // `$(`): the scope opens on what comes before it, and inside, right after that, a token
                    // in its colour takes it, where no rule of the scope could begin instead.
                    const bool lastApart = start == e.pattern && ownColour && e.lastColour && lastStandsApart(e, sw.push, level);
                    if (lastApart)
                        start = e.lead + QStringLiteral("(?=%1)").arg(e.last);
                    // Opened in KDE from the context looked into: one deeper than the others opened here.
                    openingDepth_ = level.depth + (standIns_.contains(fr.rule) ? 2 : 1);
                    const int s = scopeTokenset(sw.push, e.where);
                    openingDepth_ = level.depth + 1;
                    if (lastApart) {
                        Effect named = e;
                        named.colour = e.lastColour;
                        named.origin = FlatRule{sw.push, e.lastColour->rule};
                        const int k = listTokenset(named, level);
                        TokensetDraft &list = draft.tokensets[size_t(k)];
                        if (!list.validScopes.contains(draft.tokensets[size_t(s)].name))
                            list.validScopes += draft.tokensets[size_t(s)].name;
                        addToken(list.tokens, QStringLiteral("(?<=%1)%2").arg(e.lead, e.last), {}, list.id == QLatin1String("text"));
                    }
                    if (standIns_.contains(fr.rule))
                        standInScopes_.insert(draft.tokensets[size_t(s)].name);
                    if (ranked && sw.push.def == main_)
                        noteRank(s, main_->items.value(sw.push.context().attribute).order);
                    TokensetDraft &t = draft.tokensets[size_t(s)];
                    if (!t.validScopes.contains(level.name))
                        t.validScopes += level.name;
                    if (!pushers_.contains(s))
                        pushers_.insert(s, start);
                    openers_[s].insert(ownColour ? std::pair(e.colour->owner.def, e.colour->rule->value("attribute"))
                                                 : std::pair<const KdeDefinition *, QString>());
                    if (ownColour && start == e.pattern && !startItems_[t.name].contains(start))
                        startItems_[t.name].insert(start, std::pair(e.colour->owner.def, e.colour->rule->value("attribute")));
                    const qsizetype had = qsizetype(t.tokens.size());
                    const QString kind = kindOf(t.id);
                    if (kind == QLatin1String("comment"))
                        opensComment = true;
                    addToken(t.tokens, start, guardsFor(start), kind != QLatin1String("comment") && kind != QLatin1String("string"));
                    givesWayByOrder(t.name, start);
                    startPlaces_[s][start].insert(level.name);
                    if (qsizetype(t.tokens.size()) > had && (sw.closers.valid() || startEnds_.contains(s))) {
                        QStringList &contexts = startEnds_[s];
                        contexts.resize(had);
                        contexts += sw.closers.valid() ? sw.closers.key() : QString();
                        if (sw.closers.valid())
                            levels_.push_back({t.name, sw.closers, s, true, level.depth + 1});
                    }
                } else {
                    const int k = listTokenset(e, level);
                    if (ranked && e.colour && e.colour->owner.def == main_)
                        noteRank(k, main_->items.value(e.colour->rule->value("attribute")).order);
                    TokensetDraft &t = draft.tokensets[size_t(k)];
                    if (!t.validScopes.contains(level.name))
                        t.validScopes += level.name;
                    const auto parts = keywordParts_.constFind(e.rule);
                    // A part of a keyword list gives way to the rules before it by order (its tokenset comes
                    // after theirs): as guards they would rarely fit beside it.
                    addToken(t.tokens, e.pattern, parts == keywordParts_.constEnd() ? guardsFor(e.pattern) : QStringList(), t.id == QLatin1String("text"));
                    if (parts != keywordParts_.constEnd()) {
                        if (std::none_of(inParts.begin(), inParts.end(), [&](const auto &p) { return p.first == t.name; }))
                            inParts.push_back({t.name, parts->front()});
                    } else {
                        givesWayByOrder(t.name, e.pattern);
                    }
                    if (e.rule->type == QLatin1String("LineContinue") && level.scope >= 0 && draft.tokensets[size_t(level.scope)].singleline
                        && !continuedEnds_.contains(level.name))
                        report_.approximated(e.where, QStringLiteral("LineContinue: the scope closes at the line end all the same"));
                }
                // (The parts of one keyword list take different words: none gives way to another.)
                if (!ranked && !keywordParts_.contains(e.rule))
                    earlier.add(guardForm(e.pattern));
            }
            // Where the rule itself matches, KDE tries no later rule of the context.
            earlier.resize(before);
            if (!own.isEmpty() && !ranked && !keywordParts_.contains(fr.rule)) {
                earlier.add(guardForm(own));
                if ((fr.rule->flag("lookAhead") && parseSwitch(fr.rule->value("context"), fr.owner.def, where).push.valid())
                    || standIns_.contains(fr.rule))
                    lookAheadGuards_.insert(guardForm(own));
                // (One character only: a longer start such as "//" stands beside operators it begins
                // like, and the guards it would add crowd out others.)
                if (opensComment && (own.size() == 1 || (own.size() == 2 && own.front() == u'\\')))
                    commentGuards_.insert(guardForm(own));
            }
        }
        if (!c.fallthroughContext.isEmpty() && (!passesOn || fallsOut)) {
            if ((fall.pops > 0 && level.scope >= 0 && !fall.push.valid()) || fallsOut) {
                // Where no rule matches the scope closes; the character it closes on takes its colour.
                // Before that, a rule that stays in the scope's look closes it where no rule takes what
                // follows (a variable's name before its `;`): that character is left to the place around.
                QStringList staying, stayingGuards, any;
                const Look own = look(level.context.def, c.attribute, here);
                for (size_t i = fallsOut ? rules.size() : ownFrom; i < rules.size(); ++i) {
                    const FlatRule &r = rules[i];
                    const QString p = r.rule->type == kFallThrough ? QString() : rulePattern(r, level, r.owner.where(main_));
                    QString plain;
                    if (p.isEmpty() || !RegexText::nonCapturing(p, plain)) {
                        staying.clear();
                        break;
                    }
                    any += RegexText::grouped(plain);
                    const Switch sr = parseSwitch(r.rule->value("context"), r.owner.def, r.owner.where(main_));
                    const QString item = r.rule->value("attribute").isEmpty() ? c.attribute : r.rule->value("attribute");
                    const Look l = look(r.owner.def, item, here);
                    if (sr.stay() && !r.rule->flag("lookAhead") && r.rule->children.empty() && !mayBeEmpty(p) && l.showsAs(own)) {
                        staying += RegexText::grouped(plain);
                        stayingGuards += guardForm(p);
                    }
                }
                if (!staying.isEmpty()) {
                    const QString text = QStringLiteral("(?:%1)(?!%2)").arg(staying.join(u'|'), any.join(u'|'));
                    QStringList guards = guardsFor(text);
                    guards.removeIf([&](const QString &g) { return stayingGuards.contains(g); });
                    for (QString &g : guards)
                        g = RegexText::grouped(g);
                    plainEnds += RegexText::grouped(text);
                    ends += guards.isEmpty() ? RegexText::grouped(text) : QStringLiteral("(?:(?!%1)%2)").arg(guards.join(u'|'), RegexText::grouped(text));
                }
                ends += guardedEnd(QStringLiteral("(?s:.)"));
                if (level.scope >= 0)
                    closers_[level.scope].insert(std::pair<const KdeDefinition *, QString>());
                report_.approximated(here, QStringLiteral("fallthroughContext \"%1\": the scope closes on the first character no rule matches, which takes its colour")
                                               .arg(c.fallthroughContext));
            } else if (!fall.stay()) {
                report_.dropped(here, QStringLiteral("fallthroughContext \"%1\": only a #pop that closes a scope is kept").arg(c.fallthroughContext));
            }
        }
        if (level.endsOnly) {
            variantEnds_.insert(level.context.key(), {ends.join(u'|'), plainEnds.join(u'|')});
        } else if (level.scope >= 0) {
            // (It gives way to the rules of the scope, as its other ends do.)
            if (const auto it = continuedEnds_.find(level.name); it != continuedEnds_.end()) {
                QStringList guards = guardsFor(*it);
                for (QString &g : guards)
                    g = RegexText::grouped(g);
                if (!guards.isEmpty())
                    *it = QStringLiteral("(?:(?!%1)%2)").arg(guards.join(u'|'), *it);
            }
            TokensetDraft &t = draft.tokensets[size_t(level.scope)];
            if (!ends.isEmpty() && t.tokens2.empty()) {
                t.tokens2.push_back({ends.join(u'|'), true, QString(), {}});
                ends_.insert(t.name, plainEnds.join(u'|'));
                plainEnds_.insert(ends.join(u'|'), plainEnds.join(u'|'));
            }
            if (t.id == QLatin1String("linecomments") && (!t.singleline || !t.tokens2.empty()))
                t.id = QStringLiteral("blockcomments");
        }
        // Every character but a blank is taken by some rule here (a tag's rules end with one for any other
        // character): the scope's own colour shows on blanks only, besides its start and end.
        if (takesAny && level.scope >= 0 && !level.endsOnly)
            takesEverything_.insert(level.scope);
    }

    QHash<QString, int> ranks; // by name: the tokensets are moved and copied before they are ranked
    for (const int k : itemRanks_.keys())
        ranks.insert(draft.tokensets[size_t(k)].name, itemRanks_.value(k));
    lookAsOpeners(draft);
    pairEnds(draft);
    chainScopes(draft);
    chainMultiPops(draft);
    dropLiteralsClosingAround(draft);
    splitStartsByPlace(draft);

    // A token whose guards make a regexp too large for the engine gives way to fewer rules.
    qsizetype lastCut = 0, lastGuards = 0;
    for (TokensetDraft &t : draft.tokensets) {
        for (TokenDraft &token : t.tokens) {
            if (token.guards.isEmpty())
                continue;
            // The largest go first: the fewest that must, found from the parts where they tell, else by
            // halving (each try compiles once).
            QStringList bySize = token.guards;
            std::stable_sort(bySize.begin(), bySize.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
            const qsizetype sure = surelyCompilesWithout(token.text, bySize);
            if (sure == 0)
                continue;
            auto without = [&](qsizetype n) {
                TokenDraft tried = token;
                for (qsizetype i = 0; i < n; ++i)
                    tried.guards.removeOne(bySize[i]);
                return tried;
            };
            auto compiles = [&](qsizetype n) { return compileError(LanguageFitting::tokenText(without(n))).isEmpty(); };
            // Dropping `high` compiles (or all of them is taken to), dropping `low` does not (-1: not known).
            qsizetype low = -1, high = std::min(sure, bySize.size());
            auto probe = [&](qsizetype n) {
                if (n > low && n < high)
                    (compiles(n) ? high : low) = n;
            };
            // The tokens of one context give way to much the same rules: as many go as from the last one
            // cut, give or take the guards it has more.
            const qsizetype hint = lastCut + bySize.size() - lastGuards;
            probe(hint);
            if (high == hint)
                probe(hint - 1);
            if (sure <= bySize.size())
                probe(sure - 1);
            probe(0);
            while (high - low > 1) {
                const qsizetype mid = (low + high) / 2;
                probe(mid);
            }
            if (high == 0)
                continue;
            lastCut = high;
            lastGuards = bySize.size();
            token = without(high);
            const qsizetype dropped = high;
            if (dropped > 0)
                report_.approximated(t.source, QStringLiteral("tokenset \"%1\": a token gives way to %2 fewer earlier rules (the regexp would be too large)")
                                                   .arg(t.name)
                                                   .arg(dropped));
        }
        for (TokenDraft &end : t.tokens2) {
            if (!compileError(end.text).isEmpty()) {
                end.text = plainEnds_.value(end.text, ends_.value(t.name));
                report_.approximated(t.source, QStringLiteral("scope \"%1\": its end no longer gives way to earlier rules (the regexp would be too large)").arg(t.name));
            }
        }
    }
    rankByItems(draft, ranks);
    // A tokenset of a keyword list in parts goes before those of the rules after it.
    for (const auto &[first, then] : goesBefore) {
        auto at = [&](const QString &name) {
            return std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) { return t.name == name; });
        };
        const auto a = at(first), b = at(then);
        if (a == draft.tokensets.end() || b == draft.tokensets.end() || a < b || a->scope)
            continue;
        std::rotate(b, a, a + 1);
    }
    // A scope opened by a rule that stands for a context looked into goes before the scopes of the place
    // that open on the same text, so that it wins the tie there as in KDE (a property's ":" before a
    // selector's).
    QStringList standIns = standInScopes_.values();
    standIns.sort();
    for (const QString &name : std::as_const(standIns)) {
        auto a = std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) { return t.name == name; });
        if (a == draft.tokensets.end())
            continue;
        const auto b = std::find_if(draft.tokensets.begin(), a, [&](const TokensetDraft &t) {
            return t.scope && std::any_of(a->validScopes.begin(), a->validScopes.end(), [&](const QString &v) { return t.validScopes.contains(v); })
                && std::any_of(t.tokens.begin(), t.tokens.end(), [&](const TokenDraft &x) {
                       return std::any_of(a->tokens.begin(), a->tokens.end(), [&](const TokenDraft &y) { return x.text == y.text; });
                   });
        });
        if (b != a)
            std::rotate(b, a, a + 1);
    }
    // A scope that shows the colour of the rules that open it is named after their item.
    QStringList plainIn; // those where what no rule takes is plain text
    std::vector<std::pair<Look, QString>> ownIn; // those where it keeps the context's look
    for (TokensetDraft &t : draft.tokensets) {
        const auto it = openerNames_.constFind(t.source);
        if (!t.scope || it == openerNames_.constEnd())
            continue;
        const QString name = uniqueName(*it);
        for (TokensetDraft &other : draft.tokensets)
            std::replace(other.validScopes.begin(), other.validScopes.end(), t.name, name);
        t.name = name;
        if (plainInside_.contains(t.source))
            plainIn += name;
        if (const auto inside = ownInside_.constFind(t.source); inside != ownInside_.constEnd())
            ownIn.push_back({*inside, name});
    }
    if (!plainIn.isEmpty()) {
        // Last, so that it gives way to every other token of the same length.
        const Look text = look(main_, main_->contexts.front().attribute, main_->contexts.front().name);
        TokensetDraft plain = styled(uniqueName(text.name), text, main_->contexts.front().name);
        plain.id = QStringLiteral("text");
        plain.tokens.push_back({QStringLiteral("\\S"), true, QString(), {}});
        plain.validScopes = plainIn;
        plainInsideName_ = plain.name;
        draft.tokensets.push_back(std::move(plain));
    }
    // The same for scopes that take their openers' colour over a context's own: one list per look.
    for (size_t i = 0; i < ownIn.size(); ++i) {
        const Look &l = ownIn[i].first;
        if (std::any_of(ownIn.begin(), ownIn.begin() + qsizetype(i), [&](const auto &x) { return x.first.showsAs(l); }))
            continue;
        TokensetDraft own = styled(uniqueName(l.name), l, draft.find(ownIn[i].second)->source);
        own.tokens.push_back({QStringLiteral("\\S"), true, QString(), {}});
        for (const auto &[other, scope] : ownIn)
            if (other.showsAs(l))
                own.validScopes += scope;
        ownInsideLists_.insert(own.name);
        draft.tokensets.push_back(std::move(own));
    }
    // Each start token gets the scope's end, so that scopes merged later still close as they did.
    for (TokensetDraft &t : draft.tokensets) {
        if (t.scope && t.tokens2.size() == 1 && t.tokens.size() > 1 && t.tokens.size() * t.tokens2.front().text.size() < 16384)
            t.tokens2.resize(t.tokens.size(), t.tokens2.front());
    }
    mergeAlikeLists(draft);
    collapse(draft, LanguageFitting::Limits{}.tokensets - 1);
    for (const QString &name : sortedKeys(continuedEnds_)) {
        TokensetDraft *t = draft.find(name);
        if (!t || !t->scope || !t->singleline)
            continue;
        t->singleline = false;
        if (t->tokens2.empty())
            t->tokens2.push_back({continuedEnds_.value(name), true, QString(), {}});
        else
            for (TokenDraft &end : t->tokens2)
                end.text = end.text.isEmpty() ? continuedEnds_.value(name) : end.text + u'|' + continuedEnds_.value(name);
        report_.approximated(t->source, QStringLiteral("LineContinue: the scope goes on past a line that ends in its continuation "
                                                       "character and closes on the last character of one that does not"));
    }
    for (TokensetDraft &t : draft.tokensets)
        if (t.passesEnds)
            t.id = QStringLiteral("parameterblocks");

    // The first context's colour is that of plain text.
    const Look text = look(main_, main_->contexts.front().attribute, main_->contexts.front().name);
    auto plainLook = [&text](const TokensetDraft &t) {
        return t.forecolor == text.fg && t.backcolor == text.bg && t.fontstyle == text.fontstyle;
    };
    bool havePlain = false;
    for (TokensetDraft &t : draft.tokensets) {
        if (t.scope || t.id != QLatin1String("text"))
            continue;
        // A tokenset of rules coloured as plain text is the text tokenset already. Plain text takes the
        // look of the first tokenset of id text: one that looks otherwise is an identifier instead.
        if (!plainLook(t))
            t.id = QStringLiteral("identifiers");
        else if (t.validScopes.contains(QString()))
            havePlain = true;
    }
    if (havePlain)
        return true;
    if (TokensetDraft *inside = plainInsideName_.isEmpty() ? nullptr : draft.find(plainInsideName_)) {
        // The plain text inside scopes is the plain text outside too.
        inside->tokens.insert(inside->tokens.begin(), {QStringLiteral("[ \\t]"), true, QString(), {}});
        inside->validScopes.prepend(QString());
        return true;
    }
    TokensetDraft plain;
    plain.name = uniqueName(text.name);
    plain.id = QStringLiteral("text");
    plain.source = main_->contexts.front().name;
    plain.forecolor = text.fg;
    plain.backcolor = text.bg;
    plain.fontstyle = text.fontstyle;
    plain.tokens.push_back({QStringLiteral("[ \\t]"), true, QString(), {}});
    plain.validScopes += QString();
    draft.tokensets.push_back(std::move(plain));
    return true;
}

} // namespace

// A scope whose contexts differ in their closers only: each start ends as the context it opened.
// Where one of them has no closer, they all end as the scope's own context.
void Conversion::pairEnds(LanguageDraft &draft)
{
    for (int s : sortedKeys(startEnds_)) {
        TokensetDraft &t = draft.tokensets[size_t(s)];
        QStringList contexts = startEnds_.value(s);
        contexts.resize(qsizetype(t.tokens.size()));
        const QString own = t.tokens2.empty() ? QString() : t.tokens2.front().text;
        std::vector<TokenDraft> ends;
        for (const QString &context : std::as_const(contexts)) {
            const QString end = context.isEmpty() ? own : variantEnds_.value(context).first;
            if (end.isEmpty())
                break;
            if (!context.isEmpty())
                plainEnds_.insert(end, variantEnds_.value(context).second);
            ends.push_back({end, true, QString(), {}});
        }
        if (ends.size() == t.tokens.size())
            t.tokens2 = std::move(ends);
    }
}

namespace {

// A scope that lets the text around it be coloured through it (its own look is plain).
bool transparentScope(const TokensetDraft &t)
{
    return t.id == QLatin1String("parameterblocks") || t.id == QLatin1String("scopekeywords");
}

// One more way for scope `t` to end: an alternative of each end it has, or its first end.
void addEnd(TokensetDraft &t, const QString &end)
{
    if (t.tokens2.empty())
        t.tokens2.push_back({end, true, QString(), {}});
    else
        for (TokenDraft &e : t.tokens2)
            e.text += u'|' + end;
}

} // namespace

// A scope's look-ahead closers that scopes it opens in close on (taking the text) or pass on in turn
// are closers of those scopes chained through it: the scope is transparent, those scopes chain. The
// look-ahead closers of the contexts opened as it count too. Other look-ahead closers end the scope,
// taking their text. A transparent scope that does not pass on a chaining scope's closers is opaque.
void Conversion::chainScopes(LanguageDraft &draft)
{
    QHash<QString, int> byName;
    for (int i = 0; i < int(draft.tokensets.size()); ++i)
        byName.insert(draft.tokensets[size_t(i)].name, i);
    // A single-character closer counts as each of its characters too (keys apart from closerKey's).
    auto characterKeys = [](const KdeRule &r) {
        QSet<QString> out;
        for (const QString &c : closerCharacters(r))
            out.insert(characterKey(c));
        return out;
    };
    QHash<int, QSet<QString>> closers, passes, closerChars;
    QHash<QString, QSet<QString>> charsOf; // a closer's key -> its character keys
    for (auto it = scopeContexts_.cbegin(); it != scopeContexts_.cend(); ++it) {
        const KdeDefinition *def = it.value().def;
        for (int m = 0; m < int(def->contexts.size()); ++m) {
            if (m != it.value().index && (def != main_ || variants_[size_t(m)] != it.value().index))
                continue;
            std::vector<FlatRule> rules;
            QSet<QString> seen{Ref{def, m}.key()};
            flatten(Ref{def, m}, rules, seen, 0);
            for (const FlatRule &fr : rules)
                if (KdeAlikeContexts::closes(*fr.rule)) {
                    const QString key = KdeAlikeContexts::closerKey(*fr.rule);
                    closers[it.key()].insert(key);
                    charsOf[key] = characterKeys(*fr.rule);
                    closerChars[it.key()] += charsOf[key];
                }
            // Passed on by the context itself, or by one a definition written by Varlex includes.
            for (const FlatRule &fr : rules)
                if (KdeAlikeContexts::passesOn(*fr.rule) && ((fr.owner.def == def && fr.owner.index == m) || KdeAlikeContexts::writtenByVarlex(*fr.rule))) {
                    const QSet<QString> chars = characterKeys(*fr.rule);
                    if (chars.isEmpty())
                        passes[it.key()].insert(KdeAlikeContexts::closerKey(*fr.rule));
                    else
                        passes[it.key()] += chars;
                }
        }
    }
    auto transparent = [&](int s) { return transparentScope(draft.tokensets[size_t(s)]); };
    auto around = [&](int s) {
        QList<int> out;
        for (const QString &name : std::as_const(draft.tokensets[size_t(s)].validScopes)) {
            const int a = byName.value(name, -1);
            out += a >= 0 && draft.tokensets[size_t(a)].scope ? a : -1;
        }
        return out;
    };
    // Whether a scope around `s` closes on (or passes on) `key`.
    auto closedAround = [&](int s, const QString &key) {
        const QList<int> out = around(s);
        return std::any_of(out.begin(), out.end(), [&](int a) {
            return a >= 0 && (closers.value(a).contains(key) || closerChars.value(a).contains(key) || passes.value(a).contains(key));
        });
    };
    auto isCharacter = [](const QString &key) { return key.startsWith(characterKey(QString())); };
    // A scope coloured as an error (text where the definition expects nothing) may as well be transparent.
    auto errorLook = [&](int s) {
        const Ref r = scopeContexts_.value(s);
        return r.def && r.def->items.value(r.context().attribute).defStyle == QLatin1String("dsError");
    };
    // Chained where every closer passed on is closed around, except single characters, which may end the
    // scope themselves (a JSON value closing on `,` alone, where the object around closes on `}`).
    QSet<int> chained;
    for (auto it = passes.cbegin(); it != passes.cend(); ++it) {
        bool all = transparent(it.key()) || errorLook(it.key()), any = false;
        for (const QString &key : it.value()) {
            const bool closed = closedAround(it.key(), key);
            all = all && (closed || isCharacter(key));
            any = any || closed;
        }
        if (all && any) {
            chained.insert(it.key());
            if (!transparent(it.key()))
                draft.tokensets[size_t(it.key())].id = QStringLiteral("parameterblocks");
        }
    }
    for (int s : std::as_const(chained))
        for (int a : around(s))
            if (a >= 0 && (closers.value(a).intersects(passes.value(s)) || closerChars.value(a).intersects(passes.value(s))))
                draft.tokensets[size_t(a)].chain = true;
    // Whether `s` passes on every closer of `a`: by its key, or each of its characters.
    auto passesAll = [&](int s, int a) {
        const QSet<QString> own = passes.value(s);
        for (const QString &key : closers.value(a)) {
            const QSet<QString> chars = charsOf.value(key);
            if (!own.contains(key) && (chars.isEmpty() || !own.contains(chars)))
                return false;
        }
        return true;
    };
    for (int s = 0; s < int(draft.tokensets.size()); ++s) {
        TokensetDraft &t = draft.tokensets[size_t(s)];
        if (!t.scope)
            continue;
        bool opaque = false;
        if (transparent(s))
            for (int a : around(s))
                if (a >= 0 && draft.tokensets[size_t(a)].chain)
                    opaque = opaque || !passesAll(s, a) || !chained.contains(s);
        if (opaque)
            t.id = QStringLiteral("identifiers");
        const bool chains = chained.contains(s) && !opaque;
        for (const Passing &p : passing_.value(s)) {
            if (chains && (p.character.isEmpty() || closedAround(s, characterKey(p.character))))
                continue;
            addEnd(t, p.end);
            report_.approximated(p.where, QStringLiteral("<%1> (line %2): the text that looks ahead to close the scope takes its colour")
                                              .arg(p.rule->type)
                                              .arg(p.rule->line));
        }
    }
}

// A rule that closes its scope and the N-1 around it (#pop#pop...), where the scopes it closes inside the
// outermost one are transparent and each stands in one place: a closer of that outermost scope, which
// chains through them, so that it closes them all. Not where it could take the text at which that scope
// opens a scope of its own (it would close there instead). Otherwise it ends its own scope only.
void Conversion::chainMultiPops(LanguageDraft &draft)
{
    QHash<QString, int> byName;
    for (int i = 0; i < int(draft.tokensets.size()); ++i)
        byName.insert(draft.tokensets[size_t(i)].name, i);
    auto transparent = [&](int s) { return transparentScope(draft.tokensets[size_t(s)]); };
    for (int s : sortedKeys(closingAround_)) {
        for (const ClosingAround &c : closingAround_.value(s)) {
            int outer = s;
            bool throughLiteral = false;
            for (int k = 1; k < c.pops && outer >= 0; ++k) {
                const TokensetDraft &t = draft.tokensets[size_t(outer)];
                const int up = t.validScopes.size() == 1 ? byName.value(t.validScopes.front(), -1) : -1;
                const bool scopeUp = up >= 0 && draft.tokensets[size_t(up)].scope;
                // A string whose end closes the scope of code around it, which ends on that alone (a
                // selector's `[name="value"]`): the string lets that end through, as nothing else closes
                // there. (One inside a comment or string goes instead: dropLiteralsClosingAround.)
                const QString upKind = scopeUp ? kindOf(draft.tokensets[size_t(up)].id) : QString();
                const bool literalUp = k == 1 && !transparent(outer) && scopeUp && upKind != QLatin1String("comment")
                    && upKind != QLatin1String("string") && ends_.value(draft.tokensets[size_t(up)].name) == c.plain;
                throughLiteral = throughLiteral || literalUp;
                outer = (transparent(outer) || literalUp) && scopeUp ? up : -1;
            }
            const QString outerName = outer >= 0 ? draft.tokensets[size_t(outer)].name : QString();
            const bool clash = outer >= 0 && std::any_of(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) {
                return t.scope && t.validScopes.contains(outerName)
                    && std::any_of(t.tokens.begin(), t.tokens.end(), [&](const TokenDraft &start) { return mayBeginAlike(start.text, c.plain); });
            });
            if (outer >= 0 && !clash) {
                addEnd(draft.tokensets[size_t(outer)], c.end);
                draft.tokensets[size_t(outer)].chain = true;
                draft.tokensets[size_t(s)].passesEnds = throughLiteral;
                continue;
            }
            addEnd(draft.tokensets[size_t(s)], c.end);
            report_.approximated(c.where, QStringLiteral("\"%1\": the rule closes this scope only, not the %2 around it")
                                              .arg(c.rule->value("context"))
                                              .arg(c.pops - 1));
        }
    }
}

// A definition written by Varlex lists its items in the order of the engine's tokensets, and its rules
// are read without the look-ahead by which they give way to each other: the tokensets they make take
// that order, so that the engine ranks their ties as before. A copy of a tokenset stays after it.
void Conversion::rankByItems(LanguageDraft &draft, const QHash<QString, int> &ranks) const
{
    if (ranks.isEmpty())
        return;
    draft.tiesByOrder = true;
    std::vector<std::pair<int, TokensetDraft>> ranked;
    int rank = -1;
    for (TokensetDraft &t : draft.tokensets) {
        rank = ranks.value(t.name, rank);
        ranked.emplace_back(rank, std::move(t));
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 0; i < ranked.size(); ++i)
        draft.tokensets[i] = std::move(ranked[i].second);
}

// A scope opened from several places with starts of its own in each (a string opened one way in code,
// another in a comment): the starts of each set of places are a scope of their own, valid only there,
// as a tokenset's starts are valid wherever it is.
void Conversion::splitStartsByPlace(LanguageDraft &draft)
{
    // The scope tokensets by name, before any moves.
    QStringList names;
    for (const TokensetDraft &t : draft.tokensets)
        names += t.name;
    std::vector<std::pair<QString, TokensetDraft>> copies; // after which tokenset, the copy
    for (int s : sortedKeys(startPlaces_)) {
        if (s >= int(draft.tokensets.size()))
            continue;
        TokensetDraft &t = draft.tokensets[size_t(s)];
        const QHash<QString, QSet<QString>> startAt = startPlaces_.value(s);
        if (!t.scope || t.name != names[s])
            continue;
        // The places of each start; starts of the same places stay together, in their order.
        std::vector<QSet<QString>> groups;
        std::vector<int> groupOf;
        for (const TokenDraft &start : t.tokens) {
            QSet<QString> places = startAt.value(start.text);
            places.intersect(QSet<QString>(t.validScopes.begin(), t.validScopes.end()));
            auto g = std::find(groups.begin(), groups.end(), places);
            groupOf.push_back(int(g - groups.begin()));
            if (g == groups.end())
                groups.push_back(places);
        }
        if (groups.size() < 2 || std::any_of(groups.begin(), groups.end(), [](const QSet<QString> &g) { return g.isEmpty(); }))
            continue;
        const bool paired = t.tokens2.size() == t.tokens.size() && t.tokens.size() > 1;
        const TokensetDraft whole = t;
        for (size_t g = 0; g < groups.size(); ++g) {
            TokensetDraft part = whole;
            part.tokens.clear();
            part.tokens2.clear();
            for (size_t k = 0; k < whole.tokens.size(); ++k) {
                if (groupOf[k] != int(g))
                    continue;
                part.tokens.push_back(whole.tokens[k]);
                if (paired)
                    part.tokens2.push_back(whole.tokens2[k]);
            }
            if (!paired)
                part.tokens2 = whole.tokens2;
            part.validScopes.removeIf([&](const QString &v) { return !groups[g].contains(v); });
            if (g == 0) {
                t = std::move(part);
                continue;
            }
            part.name = uniqueName(whole.name);
            copies.emplace_back(whole.name, std::move(part));
        }
    }
    for (auto &[after, copy] : copies) {
        // What is valid in the scope is valid in each part of it.
        for (TokensetDraft &t : draft.tokensets)
            if (t.validScopes.contains(after))
                t.validScopes += copy.name;
        if (copy.validScopes.contains(after))
            copy.validScopes += copy.name;
        const auto at = std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) { return t.name == after; });
        draft.tokensets.insert(at + 1, std::move(copy));
    }
}

// A comment (or string) scope that stands only inside comments (strings) and ends on what closes the one
// around it too would leave that one open where it ends: it goes, and the one around colours its text.
void Conversion::dropLiteralsClosingAround(LanguageDraft &draft)
{
    QHash<QString, QString> scopeKind;
    for (const TokensetDraft &t : draft.tokensets)
        if (t.scope)
            scopeKind.insert(t.name, kindOf(t.id));
    QSet<QString> gone;
    QList<int> closing = closesAround_.values();
    std::sort(closing.begin(), closing.end());
    for (int s : std::as_const(closing)) {
        const TokensetDraft &t = draft.tokensets[size_t(s)];
        const QString kind = kindOf(t.id);
        if ((kind == QLatin1String("comment") || kind == QLatin1String("string")) && !t.validScopes.isEmpty()
            && std::all_of(t.validScopes.begin(), t.validScopes.end(), [&](const QString &v) { return scopeKind.value(v) == kind; })) {
            gone.insert(t.name);
            report_.merged(t.source, QStringLiteral("the context colours as the %1 around it (its end closes that one too)").arg(kind));
        }
    }
    for (size_t k = 0; k < draft.tokensets.size();) {
        TokensetDraft &t = draft.tokensets[k];
        const bool wasValid = t.validScopes.removeIf([&](const QString &v) { return gone.contains(v); }) > 0;
        if (gone.contains(t.name) || (wasValid && t.validScopes.isEmpty())) {
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(k));
            continue;
        }
        ++k;
    }
}

Conversion::RawSwitch Conversion::rawSwitch(const QString &textIn) const
{
    RawSwitch s;
    const QString text = poppedAndOpened(textIn, s.pops);
    if (text.isEmpty())
        return s;
    const auto it = main_->contextIndex.constFind(text);
    if (text.contains(QLatin1String("##")) || it == main_->contextIndex.constEnd())
        s.other = true;
    else
        s.push = variants_[size_t(*it)];
    return s;
}

// What a look-ahead rule looks past without taking it: the look-ahead its regexp ends with
// (`[a-z]+(?=\s*:)`: "\s*:"), or nothing.
QString lookedPast(const KdeRule &rule)
{
    const QString p = rule.value("String");
    if (rule.type != QLatin1String("RegExpr") || !p.endsWith(u')'))
        return QString();
    for (qsizetype i = p.lastIndexOf(QLatin1String("(?=")); i >= 0; i = i > 0 ? p.lastIndexOf(QLatin1String("(?="), i - 1) : -1) {
        qsizetype slashes = 0;
        while (i - slashes > 0 && p[i - slashes - 1] == u'\\')
            ++slashes;
        if (slashes % 2 == 0 && RegexText::groupEnd(p, i) == p.size())
            return p.mid(i + 3, p.size() - i - 4);
    }
    return QString();
}

// A context leads on when it is entered only by rules that open it (never by a fall-through, a line
// end or a look-ahead) from places that look as it does, is not folded already, and its rules each
// stay, give way to a context that leads on in turn (#pop!Next) or open a scope that only such contexts
// open and whose end closes them too (#pop#pop). A context left by a plain #pop is a bracket: a scope. Then no scope opens for it: where it would
// open, its leaving rules are valid beside the rules of the place (its staying rules too, unless they
// could take what the place's own rules take), and the scopes it opens close back to that place.
void Conversion::findLeadOns()
{
    const int n = int(main_->contexts.size());
    struct Entrance {
        int from;
        int pops;
        bool plain; // by a rule that takes its text
        bool byRule = true;
        const KdeRule *rule = nullptr;
    };
    QHash<int, std::vector<Entrance>> entrances;
    QSet<int> included; // contexts whose rules stand in others
    for (int p = 0; p < n; ++p) {
        const KdeContext &c = main_->contexts[size_t(p)];
        for (const QString &edge : {c.fallthroughContext, c.lineEndContext, c.lineEmptyContext})
            if (const RawSwitch s = rawSwitch(edge); s.push >= 0)
                entrances[s.push].push_back({p, s.pops, false, false});
        for (const KdeRule &r : c.rules) {
            const RawSwitch s = rawSwitch(r.value("context"));
            if (r.type != QLatin1String("IncludeRules") && s.push >= 0)
                entrances[s.push].push_back({p, s.pops, !r.flag("lookAhead"), true, &r});
            else if (s.push >= 0 && !s.other)
                included.insert(s.push);
        }
    }
    // Text no rule takes keeps the colour of the place it leads on from.
    auto looksAs = [&](int a, int b) {
        const QString &x = main_->contexts[size_t(a)].attribute, &y = main_->contexts[size_t(b)].attribute;
        if (x == y)
            return true;
        const auto l = main_->items.constFind(x), m = main_->items.constFind(y);
        return l != main_->items.constEnd() && m != main_->items.constEnd() && l->defStyle == m->defStyle && l->color == m->color
            && l->backgroundColor == m->backgroundColor && l->bold == m->bold && l->italic == m->italic && l->underline == m->underline;
    };
    auto fitting = [&](const KdeRule &r) {
        const RawSwitch s = rawSwitch(r.value("context"));
        return !s.other && s.pops <= 1 && !(s.pops == 0 && s.push >= 0 && r.flag("lookAhead"));
    };
    std::map<int, std::vector<FlatRule>> rulesOf;
    for (int c = 1; c < n; ++c) {
        const KdeContext &ctx = main_->contexts[size_t(c)];
        const QString lineEnd = ctx.lineEndContext.trimmed();
        const std::vector<Entrance> &in = entrances[c];
        // What is cheap to tell first (working out whether a context is folded reads what it includes).
        if (variants_[size_t(c)] != c || ctx.dynamic || !ctx.fallthroughContext.isEmpty() || in.empty()
            || !(lineEnd.isEmpty() || lineEnd == QLatin1String("#stay"))
            || !(std::all_of(in.begin(), in.end(), [&](const Entrance &e) { return e.plain && looksAs(c, e.from); })
                 || std::all_of(in.begin(), in.end(), [&](const Entrance &e) { return !e.plain && e.pops == 0 && looksAs(c, e.from); }))
            || !std::all_of(ctx.rules.begin(), ctx.rules.end(), [&](const KdeRule &r) {
                   return r.type == QLatin1String("IncludeRules") ? !r.value("context").contains(QLatin1String("##")) : fitting(r);
               })
            || transient(Ref{main_, c}))
            continue;
        const std::vector<FlatRule> &rules = *flat_.value(Ref{main_, c}.key());
        const bool fits = !rules.empty()
            && std::all_of(rules.begin(), rules.end(), [&](const FlatRule &q) { return q.owner.def == main_ && fitting(*q.rule); });
        if (fits)
            rulesOf.emplace(c, rules);
    }
    QSet<int> set;
    for (const auto &[c, rules] : rulesOf)
        set.insert(c);
    // Whether an entrance opens its context in the conversion: a rule that closes a scope and would open
    // another in its place (#pop!Other) opens nothing, nor does any way out of a context never opened.
    // (Worked out once, where asked.)
    QSet<int> opened;
    auto opensFrom = [&](const Entrance &e) {
        return opened.contains(e.from)
            && (e.pops == 0 || !e.byRule || included.contains(e.from) || rulesOf.count(e.from) || transient(Ref{main_, e.from}));
    };
    auto opens = [&](const Entrance &e) {
        if (opened.isEmpty()) {
            opened.insert(0);
            for (bool grew = true; grew;) {
                grew = false;
                for (int c = 1; c < n; ++c) {
                    const auto in = entrances.constFind(c);
                    if (!opened.contains(c) && ((in != entrances.constEnd() && std::any_of(in->begin(), in->end(), opensFrom)) || included.contains(c))) {
                        opened.insert(c);
                        grew = true;
                    }
                }
            }
        }
        return opensFrom(e);
    };
    auto enteredOnlyFrom = [&](int c, auto &&allowed) {
        const std::vector<Entrance> &in = entrances[c];
        return !in.empty() && std::all_of(in.begin(), in.end(), allowed);
    };
    // A scope whose end closes the context that opened it too.
    auto closesThrough = [&](int x) {
        const std::vector<KdeRule> &rules = main_->contexts[size_t(x)].rules;
        return std::any_of(rules.begin(), rules.end(), [&](const KdeRule &r) { return rawSwitch(r.value("context")).pops == 2; });
    };
    // A scope whose ways out each go back to the context that opened it.
    auto leavesByOne = [&](int x) {
        const KdeContext &ctx = main_->contexts[size_t(x)];
        for (const QString &edge : {ctx.fallthroughContext, ctx.lineEndContext, ctx.lineEmptyContext})
            if (rawSwitch(edge).pops > 1 || rawSwitch(edge).other)
                return false;
        return std::all_of(ctx.rules.begin(), ctx.rules.end(), [&](const KdeRule &r) {
            const RawSwitch s = rawSwitch(r.value("context"));
            return r.type == QLatin1String("IncludeRules") ? !r.value("context").contains(QLatin1String("##")) : !s.other && s.pops <= 1;
        });
    };
    for (bool changed = true; changed;) {
        changed = false;
        QList<int> members = set.values();
        std::sort(members.begin(), members.end());
        for (const int c : std::as_const(members)) {
            const bool looked = !entrances[c].front().plain;
            bool ok = enteredOnlyFrom(c, [&](const Entrance &e) {
                return ((e.pops == 0 && !set.contains(e.from) && !transient(Ref{main_, e.from})) || (e.pops == 1 && set.contains(e.from) && !looked));
            });
            // Entered on a look-ahead, a context whose rules stay over what it looked at (a property's
            // name) before one opens what follows (its ":" the value, whose ";" closes both): those rules
            // take text in the place looked from only where the look-ahead matches.
            const std::vector<FlatRule> &own = rulesOf.at(c);
            const bool stays = looked && std::any_of(own.begin(), own.end(), [&](const FlatRule &q) {
                const RawSwitch s = rawSwitch(q.rule->value("context"));
                return s.pops == 0 && s.push < 0;
            });
            // Only where each look-ahead looks past the name at what opens the rest (`[a-z]+(?=\s*:)`):
            // each rule either may begin where the look-ahead does, or opens a scope on what it looks past.
            if (stays)
                ok = ok && std::all_of(entrances[c].begin(), entrances[c].end(), [&](const Entrance &e) {
                         const QString past = e.rule ? lookedPast(*e.rule) : QString();
                         return !past.isEmpty() && std::all_of(own.begin(), own.end(), [&](const FlatRule &q) {
                                    const QString pattern = rulePattern(q, Level{QString(), q.owner, -1}, q.owner.where(main_));
                                    const RawSwitch s = rawSwitch(q.rule->value("context"));
                                    return !pattern.isEmpty()
                                        && (overlaps(e.rule->value("String"), pattern) || (s.pops == 0 && s.push >= 0 && overlaps(past, pattern)));
                                });
                     });
            for (const FlatRule &q : own) {
                const RawSwitch s = rawSwitch(q.rule->value("context"));
                // Entered on a look-ahead, a rule that takes its text and goes back is a token of the place
                // it looked from.
                if (looked)
                    ok = ok && !q.rule->flag("lookAhead") && (s.pops == 0 || s.push < 0);
                else if (s.pops == 1)
                    ok = ok && set.contains(s.push); // a plain #pop: a bracket, not a step
                if (s.pops == 0 && s.push >= 0 && !stays)
                    ok = ok && !set.contains(s.push) && s.push != 0 && closesThrough(s.push)
                        && enteredOnlyFrom(s.push, [&](const Entrance &e) { return e.plain && e.pops == 0 && set.contains(e.from); });
                // Opened from the place instead, what it opens closes back to there: through it, or by a
                // plain #pop, which went back to it; no other way into what it opens may open that.
                if (s.pops == 0 && s.push >= 0 && stays)
                    ok = ok && !set.contains(s.push) && s.push != 0 && (closesThrough(s.push) || leavesByOne(s.push))
                        && enteredOnlyFrom(s.push, [&](const Entrance &e) { return (e.plain && e.pops == 0 && set.contains(e.from)) || !opens(e); });
            }
            if (!ok) {
                set.remove(c);
                changed = true;
            }
        }
    }
    leadOns_ = set;
    for (const int c : std::as_const(set))
        if (!entrances[c].front().plain)
            lookedInto_.insert(c);
    for (const int c : std::as_const(lookedInto_))
        for (const FlatRule &q : rulesOf.at(c))
            if (const RawSwitch s = rawSwitch(q.rule->value("context")); s.pops == 0 && s.push < 0)
                lookedStays_.insert(c);
    for (const int c : rulesOf | std::views::keys)
        if (set.contains(c))
            for (const FlatRule &q : rulesOf.at(c))
                if (const RawSwitch s = rawSwitch(q.rule->value("context")); s.pops == 0 && s.push >= 0)
                    absorbing_.insert(Ref{main_, s.push}.key());
}

bool Conversion::closesAround(const QString &source)
{
    const auto found = contextOfScope_.constFind(source);
    if (found == contextOfScope_.constEnd())
        return false;
    // Each context reached, with how many contexts stand on the one below the first (itself: 1).
    std::vector<std::pair<Ref, int>> queue{{*found, 1}};
    QSet<QString> seen;
    for (size_t i = 0; i < queue.size() && i < 256; ++i) {
        const auto [c, height] = queue[i];
        if (seen.contains(c.key() + QString::number(height)) || height > 8)
            continue;
        seen.insert(c.key() + QString::number(height));
        transient(c);
        const KdeContext &ctx = c.context();
        std::vector<Switch> switches;
        for (const FlatRule &q : *flat_.value(c.key()))
            switches.push_back(parseSwitch(q.rule->value("context"), q.owner.def, q.owner.where(main_)));
        for (const QString &edge : {ctx.lineEndContext, ctx.lineEmptyContext, ctx.fallthroughContext})
            if (!edge.trimmed().isEmpty())
                switches.push_back(parseSwitch(edge, c.def, c.where(main_)));
        for (const Switch &s : switches) {
            if (s.pops > height)
                return true;
            if (s.push.valid())
                queue.push_back({s.push, height - s.pops + 1});
        }
    }
    return false;
}

void Conversion::findNeverResumed()
{
    const int n = int(main_->contexts.size());
    // How many contexts the nearest way out of a context closes, seen from it (a context it opens comes
    // back to it); a large number when it has none.
    constexpr int kNever = 1 << 20;
    std::vector<int> exits(size_t(n), -1);
    std::vector<char> candidate(size_t(n), 0), resumed(size_t(n), 1);
    auto ownExits = [&](int c) {
        int least = kNever;
        const KdeContext &ctx = main_->contexts[size_t(c)];
        for (const QString &edge : {ctx.lineEndContext, ctx.lineEmptyContext, ctx.fallthroughContext})
            if (const RawSwitch s = rawSwitch(edge); s.pops > 0)
                least = std::min(least, s.pops);
        for (const FlatRule &q : *flat_.value(Ref{main_, c}.key()))
            if (const RawSwitch s = rawSwitch(q.rule->value("context")); s.pops > 0)
                least = std::min(least, s.pops);
        return least;
    };
    for (int c = 0; c < n; ++c)
        transient(Ref{main_, c}); // its rules, included ones in place
    for (int c = 1; c < n; ++c) {
        const KdeContext &ctx = main_->contexts[size_t(c)];
        const RawSwitch fall = rawSwitch(ctx.fallthroughContext);
        candidate[size_t(c)] = variants_[size_t(c)] == c && !ctx.dynamic && !ctx.rules.empty() && !transient(Ref{main_, c})
            && (ctx.fallthroughContext.isEmpty() || (fall.pops == 0 && fall.push > 0 && !fall.other))
            && std::all_of(ctx.rules.begin(), ctx.rules.end(), [&](const KdeRule &r) {
                   const RawSwitch s = rawSwitch(r.value("context"));
                   // Blanks before what it waits for, where it falls through to another (a value after "=").
                   const bool blanks = r.type == QLatin1String("DetectSpaces") && r.children.empty() && s.pops == 0 && s.push < 0
                       && !ctx.fallthroughContext.isEmpty();
                   return r.type != QLatin1String("IncludeRules") && !r.flag("lookAhead") && !s.other && !KdeAlikeContexts::writtenByVarlex(r)
                       && ((s.pops >= 1 && s.push < 0) || (s.pops == 0 && s.push > 0) || blanks);
               });
    }
    // A context whose every rule opens another (an environment's name choosing how its body reads): looked
    // into, it folds into the look-ahead, which would otherwise open it on the name and never the body.
    auto dispatchesOnly = [&](int c) {
        const KdeContext &ctx = main_->contexts[size_t(c)];
        return ctx.fallthroughContext.isEmpty() && std::all_of(ctx.rules.begin(), ctx.rules.end(), [&](const KdeRule &r) {
            const RawSwitch s = rawSwitch(r.value("context"));
            return s.pops == 0 && s.push > 0;
        });
    };
    // The contexts a context's own rules and its fall-through open.
    auto openedBy = [&](int c) {
        const KdeContext &ctx = main_->contexts[size_t(c)];
        QList<int> opened;
        for (const KdeRule &r : ctx.rules)
            if (const RawSwitch s = rawSwitch(r.value("context")); s.push > 0)
                opened += s.push;
        if (const RawSwitch f = rawSwitch(ctx.fallthroughContext); f.push > 0)
            opened += f.push;
        return opened;
    };
    // A candidate is never gone back to when each context it opens closes it too on every way out.
    std::function<int(int, int)> exitsOf = [&](int c, int guard) -> int {
        if (exits[size_t(c)] >= 0)
            return exits[size_t(c)];
        if (!candidate[size_t(c)] || guard > 8)
            return exits[size_t(c)] = ownExits(c);
        int least = ownExits(c);
        bool never = true;
        for (const int o : openedBy(c)) {
            const int e = o == c ? 0 : exitsOf(o, guard + 1);
            never = never && e >= 2;
            least = std::min(least, e - 1);
        }
        resumed[size_t(c)] = !never;
        return exits[size_t(c)] = never ? least : ownExits(c);
    };
    QSet<int> set;
    for (int c = 1; c < n; ++c)
        if (candidate[size_t(c)] && (exitsOf(c, 0), !resumed[size_t(c)]))
            set.insert(c);
    // The contexts they open must be opened only from them, each through as many of them every time.
    for (bool changed = true; changed;) {
        changed = false;
        QHash<int, int> below;
        QSet<int> spoilt;
        std::function<void(int, int)> walk = [&](int c, int k) {
            for (const int o : openedBy(c)) {
                if (set.contains(o)) {
                    if (k < 8)
                        walk(o, k + 1);
                } else if (below.contains(o) && below.value(o) != k) {
                    spoilt.insert(o);
                } else {
                    below.insert(o, k);
                }
            }
        };
        for (int c = 0; c < n; ++c) {
            const KdeContext &ctx = main_->contexts[size_t(c)];
            for (const QString &edge : {ctx.lineEndContext, ctx.lineEmptyContext})
                if (const RawSwitch s = rawSwitch(edge); set.contains(s.push) && !set.contains(c))
                    spoilt.insert(s.push); // entered otherwise than by a rule that takes text
            // A context folded where it opens that falls through to one in its place goes on in it there.
            if (const RawSwitch s = rawSwitch(ctx.fallthroughContext); set.contains(s.push) && !set.contains(c))
                s.pops == 1 && transient(Ref{main_, c}) ? walk(s.push, 1) : void(spoilt.insert(s.push));
            for (const FlatRule &q : *flat_.value(Ref{main_, c}.key())) {
                const RawSwitch s = rawSwitch(q.rule->value("context"));
                if (s.push < 0 || set.contains(c))
                    continue;
                if (set.contains(s.push) && s.pops == 0 && q.rule->flag("lookAhead") && dispatchesOnly(s.push))
                    walk(s.push, 1); // looked into to choose between contexts that each close it too
                else if (set.contains(s.push) && (q.rule->flag("lookAhead") || s.pops > 0))
                    spoilt.insert(s.push); // looked into, or opened in the place of another (not folded there)
                else if (set.contains(s.push))
                    walk(s.push, 1);
                else if (q.owner.def == main_)
                    below.contains(s.push) && below.value(s.push) != 0 ? void(spoilt.insert(s.push)) : void(below.insert(s.push, 0));
            }
        }
        for (int c = 0; c < n; ++c) {
            if (!set.contains(c))
                continue;
            bool bad = spoilt.contains(c);
            for (const KdeRule &r : main_->contexts[size_t(c)].rules)
                if (const RawSwitch s = rawSwitch(r.value("context")); s.push > 0 && spoilt.contains(s.push))
                    bad = true;
            if (const RawSwitch f = rawSwitch(main_->contexts[size_t(c)].fallthroughContext); f.push > 0 && spoilt.contains(f.push))
                bad = true;
            if (bad) {
                set.remove(c);
                changed = true;
            }
        }
        if (!changed) {
            for (const int c : std::as_const(set))
                neverResumed_.insert(Ref{main_, c}.key());
            for (auto it = below.constBegin(); it != below.constEnd(); ++it)
                if (it.value() > 0)
                    foldedBelow_.insert(Ref{main_, it.key()}.key(), it.value());
        }
    }
}

// A look-ahead into a context that leads on stands for that context's rules, in its place: each that
// takes its text and goes back stays instead, the others open their scopes from here.
void Conversion::lookIntoLeadOns(const Level &level, std::vector<FlatRule> &rules)
{
    if (lookedInto_.isEmpty())
        return;
    for (size_t i = 0; i < rules.size();) {
        const FlatRule fr = rules[i];
        const RawSwitch s = rawSwitch(fr.rule->value("context"));
        if (fr.owner.def != main_ || s.pops != 0 || !lookedInto_.contains(s.push) || !fr.rule->flag("lookAhead")) {
            ++i;
            continue;
        }
        const Ref c{main_, s.push};
        report_.approximated(c.where(main_), QStringLiteral("no scope opens for the context: its rules are valid where it is looked into"));
        std::vector<FlatRule> in;
        const bool stays = lookedStays_.contains(s.push);
        const QString look = stays ? rulePattern(fr, level, fr.owner.where(main_)) : QString();
        for (const FlatRule &q : *flat_.value(c.key())) {
            const bool pops = rawSwitch(q.rule->value("context")).pops == 1;
            // A rule that may begin where the look-ahead does takes text only where it matches; the others
            // open what it looked past.
            if (!stays || !overlaps(fr.rule->value("String"), rulePattern(q, level, q.owner.where(main_)))) {
                in.push_back(pops ? staying(q) : q);
                continue;
            }
            if (look.isEmpty())
                continue;
            auto it = lookingAs_.find({q.rule, fr.rule});
            if (it == lookingAs_.end()) {
                it = lookingAs_.emplace(std::pair(q.rule, fr.rule), *q.rule).first;
                if (pops)
                    it->second.attrs.insert(QStringLiteral("context"), QStringLiteral("#stay"));
                lookCondition_.insert(&it->second, look);
            }
            in.push_back({q.owner, &it->second});
        }
        if (stays)
            for (const FlatRule &q : in)
                standIns_.insert(q.rule);
        // The look-ahead gives way to the rules it stands for; the next rule is looked at after them.
        rules.erase(rules.begin() + qsizetype(i));
        rules.insert(rules.begin() + qsizetype(i), in.begin(), in.end());
        i += in.size();
    }
}

// A rule of a context that leads on, as it stands where that context opens: it stays there.
FlatRule Conversion::staying(const FlatRule &q)
{
    auto it = stayAs_.find(q.rule);
    if (it == stayAs_.end()) {
        KdeRule rule = *q.rule;
        rule.attrs.insert(QStringLiteral("context"), QStringLiteral("#stay"));
        it = stayAs_.emplace(q.rule, std::move(rule)).first;
    }
    return {q.owner, &it->second};
}

// The rules of the contexts that lead on from the level's rules, as they stand in the level.
std::vector<FlatRule> Conversion::leadOnRules(const Level &level, const std::vector<FlatRule> &rules, QSet<QString> &here)
{
    std::vector<FlatRule> out;
    if (leadOns_.isEmpty() || level.endsOnly)
        return out;
    QList<int> queue;
    for (const FlatRule &fr : rules) {
        const RawSwitch s = rawSwitch(fr.rule->value("context"));
        if (fr.owner.def == main_ && s.pops == 0 && leadOns_.contains(s.push) && !fr.rule->flag("lookAhead") && !queue.contains(s.push))
            queue += s.push;
    }
    for (qsizetype i = 0; i < queue.size(); ++i) {
        const Ref c{main_, queue[i]};
        here.insert(c.key());
        report_.approximated(c.where(main_), QStringLiteral("no scope opens for the context: its rules are valid where it opens"));
        for (const FlatRule &q : *flat_.value(c.key())) {
            const RawSwitch s = rawSwitch(q.rule->value("context"));
            if (s.pops == 1) {
                if (s.push >= 0 && !queue.contains(s.push))
                    queue += s.push;
                if (q.rule->flag("lookAhead"))
                    continue;
                out.push_back(staying(q));
            } else if (s.push >= 0
                       || std::none_of(rules.begin(), rules.end(), [&](const FlatRule &own) {
                              return overlaps(rulePattern(q, level, q.owner.where(main_)), rulePattern(own, level, own.owner.where(main_)));
                          })) {
                out.push_back(q);
            }
        }
    }
    return out;
}

// A scope whose context looks as plain text but whose rules take every character that is not a blank
// (a tag: its name, attributes, values, and an error for anything else) shows its own colour only on its
// start and end: in KDE those are coloured as the rules that open and close it. Where every rule that
// opens it has one colour of its own, the scope takes that colour (and the item's name, at the end).
void Conversion::lookAsOpeners(LanguageDraft &draft)
{
    const Look plain = look(main_, main_->contexts.front().attribute, main_->contexts.front().name);
    for (const int s : sortedKeys(openers_)) {
        TokensetDraft &t = draft.tokensets[size_t(s)];
        const QSet<std::pair<const KdeDefinition *, QString>> &by = openers_.value(s);
        const bool everything = takesEverything_.contains(s);
        if (!t.scope || by.contains(std::pair<const KdeDefinition *, QString>()))
            continue;
        if (!(everything || transparentScope(t)) || t.forecolor != plain.fg || t.backcolor != plain.bg || t.fontstyle != plain.fontstyle) {
            lookAsOpenersAndClosers(t, s);
            continue;
        }
        std::optional<Look> common;
        bool one = true;
        // Items of one look (a command and a control-flow word, both keywords) count as one colour; the
        // scope takes the name first in order.
        for (const auto &[def, item] : by) {
            const Look l = look(def, item, t.source);
            one = one && (!common || common->showsAs(l));
            if (!common || l.name < common->name)
                common = l;
        }
        // Where code goes on inside, what no rule takes is plain text (a token of its own for each
        // character, as KDE goes on by one); the scope's colour shows on blanks, which must not show it.
        const bool plainLook = common && common->fg == plain.fg && common->bg == plain.bg && common->fontstyle == plain.fontstyle;
        if (!one || !common || (!everything && (plainLook || common->bg != plain.bg || common->fontstyle == QLatin1String("underline"))))
            continue;
        t.forecolor = common->fg;
        t.backcolor = common->bg;
        t.fontstyle = common->fontstyle;
        openerNames_.insert(t.source, common->name);
        if (!everything)
            plainInside_.insert(t.source);
        report_.approximated(t.source, everything ? QStringLiteral("the context takes the colour of \"%1\", which opens it (its rules take every character but blanks)").arg(common->name)
                                                  : QStringLiteral("the context takes the colour of \"%1\", which opens it; what no rule takes inside is plain text").arg(common->name));
    }
}

// A scope of a coloured context opened and closed only by rules of one other colour (a make variable's
// `$(` and `)` around its name), or opened so and closed by none of its own (an assignment's name before
// its operator): in KDE the name shows the context's colour, the brackets theirs. The scope takes the
// brackets' colour, and what no rule takes inside keeps the context's, a token per character (lookAsOpeners
// adds that list).
void Conversion::lookAsOpenersAndClosers(TokensetDraft &t, int s)
{
    const auto ref = contextOfScope_.constFind(t.source);
    const auto closers = closers_.constFind(s);
    // (A comment's context is text of its own.)
    if (ref == contextOfScope_.constEnd() || (closers != closers_.constEnd() && closers->contains(std::pair<const KdeDefinition *, QString>()))
        || transparentScope(t) || kindOf(t.id) == QLatin1String("comment"))
        return;
    // Of other strings, only those opened by one character, a quote (a raw string's delimiters are worth
    // less than the tokenset its text would take).
    if (kindOf(t.id) == QLatin1String("string") && t.id != QLatin1String("charliterals")) {
        auto one = [](const TokenDraft &x) {
            if (!x.regexp)
                return x.text.size() == 1;
            const bool escaped = x.text.size() == 2 && x.text[0] == u'\\' && !x.text[1].isLetterOrNumber();
            return escaped || (x.text.size() == 1 && !QStringLiteral(".^$|?*+()[]{}\\").contains(x.text[0]));
        };
        if (t.tokens.empty() || !std::all_of(t.tokens.begin(), t.tokens.end(), one))
            return;
    }
    const Look inside = look(ref->def, ref->context().attribute, t.source);
    // Closed by none of its own rules: only an operator's context (the one between a name and its value).
    if (closers == closers_.constEnd() && inside.id != QLatin1String("charliterals") && inside.id != QLatin1String("operators"))
        return;
    std::optional<Look> common;
    for (const auto &set : {openers_.value(s), closers_.value(s)})
        for (const auto &[def, item] : set) {
            const Look l = look(def, item, t.source);
            if (common && !common->showsAs(l))
                return;
            if (!common || l.name < common->name)
                common = l;
        }
    // Blanks inside show the scope's colour: only where that shows as the context's would.
    if (!common || common->showsAs(inside) || common->bg != inside.bg || common->fontstyle == QLatin1String("underline")
        || inside.fontstyle == QLatin1String("underline"))
        return;
    t.forecolor = common->fg;
    t.backcolor = common->bg;
    t.fontstyle = common->fontstyle;
    openerNames_.insert(t.source, common->name);
    ownInside_.insert(t.source, inside);
    report_.approximated(t.source, QStringLiteral("the context takes the colour of \"%1\", which opens%2 it; what no rule takes inside keeps its own")
                                       .arg(common->name, closers == closers_.constEnd() ? QString() : QStringLiteral(" and closes")));
}

bool KdeSyntaxConverter::recognises(const QByteArray &bytes) const
{
    return looksLikeKdeDefinition(bytes);
}

QStringList KdeSyntaxConverter::standardFolders()
{
    QStringList folders{QDir::homePath() + QStringLiteral("/.local/share/org.kde.syntax-highlighting/syntax")};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders += data + QStringLiteral("/org.kde.syntax-highlighting/syntax");
    folders += QStringLiteral("/usr/share/org.kde.syntax-highlighting/syntax");
    folders.removeDuplicates();
    return folders;
}

bool KdeSyntaxConverter::convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                                 LanguageDraft &draft, ConversionReport &report, QString &problem) const
{
    Conversion conversion(options, report, searchFolders(fileName, options, standardFolders()));
    return conversion.run(bytes, fileName, draft, problem);
}
