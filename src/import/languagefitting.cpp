#include "import/languagefitting.h"

#include "import/regextext.h"
#include "model/ansicodec.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace LanguageFitting {

namespace {

const QString kSeparator = QStringLiteral(" :::: ");
// Opening up a scope that changes more than this many tokensets' places costs more than merging.
constexpr int kMostOpeningCost = 16;
// Scopes of one group (the language's own, or those of the languages it embeds) merge first, unless the
// other group has a merge this many times cheaper: merged to the last, m4's own argument scopes took a
// `,` into the shell's line continuation, which every macro argument then opened.
constexpr long kOtherGroupCheaper = 10;

bool transparentId(const QString &id)
{
    return id == QLatin1String("scopekeywords") || id == QLatin1String("parameterblocks");
}

QSet<QString> scopeSet(const TokensetDraft &t)
{
    return QSet<QString>(t.validScopes.begin(), t.validScopes.end());
}

// How many of the places in `x` are not in `y`: what a merge newly makes valid.
long newPlaces(const QSet<QString> &x, const QSet<QString> &y)
{
    long count = 0;
    for (const QString &p : x)
        count += y.contains(p) ? 0 : 1;
    return count;
}

// The names of the tokensets valid inside scope `name`.
QSet<QString> contents(const LanguageDraft &draft, const QString &name)
{
    QSet<QString> inside;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.validScopes.contains(name))
            inside.insert(t.name);
    }
    return inside;
}

bool pairedShape(const TokensetDraft &t)
{
    return t.tokens2.empty() || t.tokens2.size() == t.tokens.size();
}

bool sameScopeKind(const TokensetDraft &a, const TokensetDraft &b)
{
    return a.scope && b.scope && a.singleline == b.singleline && a.symmetrical == b.symmetrical && a.chain == b.chain
        && a.casesensitive == b.casesensitive && pairedShape(a) && pairedShape(b) && a.tokens2.empty() == b.tokens2.empty();
}

void rename(LanguageDraft &draft, const QString &from, const QString &to)
{
    for (TokensetDraft &t : draft.tokensets) {
        if (t.validScopes.contains(from)) {
            t.validScopes.removeAll(from);
            if (!t.validScopes.contains(to))
                t.validScopes += to;
        }
    }
}

// Whether a scope opens and closes on one and the same delimiter character (a quote).
bool quoteLike(const TokensetDraft &t)
{
    static const QRegularExpression one(QStringLiteral(R"(^\\?[^\w\s\\]$)"));
    return t.scope && t.tokens.size() == 1 && t.tokens2.size() == 1 && t.tokens.front().text == t.tokens2.front().text
        && one.match(t.tokens.front().text).hasMatch();
}

// Whether a tokenset comes from the language itself (or the shared definitions), not from one it embeds.
bool isOwn(const LanguageDraft &draft, const TokensetDraft &t)
{
    return draft.ownSources.isEmpty() || t.source.startsWith(draft.ownSources) || t.source.startsWith(QLatin1String("def:"));
}

// Merges tokenset j into i (i < j) and removes j.
void mergeInto(LanguageDraft &draft, size_t i, size_t j, ConversionReport &report, const QString &why)
{
    TokensetDraft &into = draft.tokensets[i];
    TokensetDraft from = std::move(draft.tokensets[j]);
    draft.tokensets.erase(draft.tokensets.begin() + qsizetype(j));
    // A quote of a language embedded that was valid in only one of two scopes merged comes to open in
    // text where it never stood (a shell's string in an m4 macro's argument of prose, at `don't`): it
    // closes at the end of a line that does not end with a backslash too, so that a quote without a
    // partner colours one line, not the rest of the file, while a string continued by a backslash goes on.
    if (from.scope && into.scope) {
        for (TokensetDraft &q : draft.tokensets) {
            if (&q != &into && !q.singleline && quoteLike(q) && !isOwn(draft, q)
                && q.validScopes.contains(from.name) != q.validScopes.contains(into.name)) {
                q.tokens2.front().text = RegexText::grouped(q.tokens2.front().text) + QStringLiteral("|[^\\\\]$");
                report.approximated(q.source, QStringLiteral("scope \"%1\" also closes at a line end without a backslash: merging \"%2\" and \"%3\" made it valid where it was not")
                                                  .arg(q.name, into.name, from.name));
            }
        }
    }
    into.tokens.insert(into.tokens.end(), from.tokens.begin(), from.tokens.end());
    into.tokens2.insert(into.tokens2.end(), from.tokens2.begin(), from.tokens2.end());
    for (const QString &s : std::as_const(from.validScopes)) {
        if (!into.validScopes.contains(s))
            into.validScopes += s;
    }
    for (const QString &s : std::as_const(from.hiddenIn)) {
        if (!into.hiddenIn.contains(s))
            into.hiddenIn += s;
    }
    // The look a start keeps stays with the starts that had it; two looks that differ are both lost.
    if (!into.startLook.empty() && !from.startLook.empty() && !into.startLook.front().looksLike(from.startLook.front())) {
        into.startLook.clear();
    } else if (!from.startLook.empty()) {
        if (into.startLook.empty())
            into.startLook.push_back(TokensetDraft(from.startLook.front()));
        else
            into.startLook.front().tokens.insert(into.startLook.front().tokens.end(), from.startLook.front().tokens.begin(), from.startLook.front().tokens.end());
    }
    if (from.scope)
        rename(draft, from.name, into.name);
    report.merged(from.source, QStringLiteral("tokenset \"%1\" merged into \"%2\" (%3)").arg(from.name, into.name, why));
}

// One pass of merging: every later tokenset that `same` pairs with an earlier one goes into it.
template <typename Same>
void mergePass(LanguageDraft &draft, ConversionReport &report, const QString &why, Same same, int target = 0)
{
    for (size_t i = 0; i < draft.tokensets.size(); ++i) {
        for (size_t j = i + 1; j < draft.tokensets.size();) {
            if (target > 0 && int(draft.tokensets.size()) <= target)
                return;
            if (same(draft.tokensets[i], draft.tokensets[j]))
                mergeInto(draft, i, j, report, why);
            else
                ++j;
        }
    }
}

void dropEmpty(LanguageDraft &draft, ConversionReport &report)
{
    for (;;) {
        bool changed = false;
        QSet<QString> scopes{QString()};
        for (const TokensetDraft &t : draft.tokensets) {
            if (t.scope)
                scopes.insert(t.name);
        }
        for (size_t i = 0; i < draft.tokensets.size();) {
            TokensetDraft &t = draft.tokensets[i];
            const qsizetype before = t.validScopes.size();
            t.validScopes.removeIf([&](const QString &s) { return !scopes.contains(s); });
            const bool unreachable = before > 0 && t.validScopes.isEmpty();
            if (t.tokens.empty() || unreachable) {
                report.dropped(t.source, unreachable ? QStringLiteral("tokenset \"%1\" is valid in no scope that was kept").arg(t.name)
                                                     : QStringLiteral("tokenset \"%1\" has no tokens").arg(t.name));
                draft.tokensets.erase(draft.tokensets.begin() + qsizetype(i));
                changed = true;
            } else {
                ++i;
            }
        }
        if (!changed)
            return;
    }
}

// Whether every start of scope `s` has the look its start keeps (none that a merge brought in lacks it).
bool wholeStartLook(const TokensetDraft &s)
{
    return !s.startLook.empty() && s.startLook.front().tokens.size() == s.tokens.size();
}

// Where scope `s` stands: its valid scopes, the outermost level when it names none.
QStringList placesOf(const TokensetDraft &s)
{
    return s.validScopes.isEmpty() ? QStringList{QString()} : s.validScopes;
}

// What opening up scope `s` would change: the tokensets valid in it that are not valid everywhere it
// stands, and those valid where it stands that are not valid in it.
int openingCost(const LanguageDraft &draft, const TokensetDraft &s)
{
    const QStringList places = placesOf(s);
    int cost = 0;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.name == s.name)
            continue;
        const bool inside = t.validScopes.contains(s.name);
        bool everywhere = true, somewhere = false;
        for (const QString &p : places) {
            const bool here = t.validScopes.contains(p) || (p.isEmpty() && t.validScopes.isEmpty());
            everywhere = everywhere && here;
            somewhere = somewhere || here;
        }
        if ((inside && !everywhere) || (!inside && somewhere))
            ++cost;
    }
    return cost;
}

// Scope `s` (which colours nothing) goes; what was valid in it becomes valid where it stood.
void openUp(LanguageDraft &draft, size_t index, ConversionReport &report, const QString &why, bool keepEnds = false)
{
    TokensetDraft s = std::move(draft.tokensets[index]);
    draft.tokensets.erase(draft.tokensets.begin() + qsizetype(index));
    const QStringList places = placesOf(s);
    for (TokensetDraft &t : draft.tokensets) {
        if (!t.validScopes.contains(s.name))
            continue;
        t.validScopes.removeAll(s.name);
        for (const QString &p : places) {
            if (p != t.name && !t.validScopes.contains(p))
                t.validScopes += p;
        }
    }
    report.approximated(s.source, QStringLiteral("scope \"%1\" colours nothing and was opened up: what it holds is valid where it "
                                                 "stands (%2)").arg(s.name, why));
    if (!s.startLook.empty()) {
        TokensetDraft start = std::move(s.startLook.front());
        if (keepEnds) {
            // The ends paired with the starts that have the look (a known m4 macro call's `)`) keep it too.
            std::vector<TokenDraft> ends;
            for (size_t k = 0; k < s.tokens.size() && k < s.tokens2.size(); ++k) {
                const bool looked = std::any_of(start.tokens.begin(), start.tokens.end(), [&](const TokenDraft &x) { return x.text == s.tokens[k].text; });
                if (looked && std::none_of(ends.begin(), ends.end(), [&](const TokenDraft &x) { return x.text == s.tokens2[k].text; }))
                    ends.push_back(s.tokens2[k]);
            }
            start.tokens.insert(start.tokens.end(), ends.begin(), ends.end());
        }
        start.name = draft.uniqueName(start.name);
        start.validScopes = s.validScopes;
        draft.tokensets.insert(draft.tokensets.begin() + qsizetype(index), std::move(start));
    }
}

// Whether a tokenset between `a` and `b` stands where `b` does: merged into `a`, `b`'s tokens would
// come before it in a tie.
bool standsBetween(const LanguageDraft &draft, const TokensetDraft &a, const TokensetDraft &b)
{
    const QSet<QString> places = scopeSet(b);
    const auto first = draft.tokensets.begin() + (&a - draft.tokensets.data()) + 1;
    const auto last = draft.tokensets.begin() + (&b - draft.tokensets.data());
    return std::any_of(first, last, [&](const TokensetDraft &k) {
        return scopeSet(k).intersects(places) || (k.validScopes.isEmpty() && b.validScopes.isEmpty());
    });
}

// Alike in look and place: one tokenset means the same.
// Two lists that colour alike where they stand, the same places: one list colours the same.
bool listsAlikeInPlace(const LanguageDraft &draft, const TokensetDraft &a, const TokensetDraft &b)
{
    return !a.scope && !b.scope && a.looksLike(b) && a.casesensitive == b.casesensitive && scopeSet(a) == scopeSet(b)
        && !(draft.tiesByOrder && standsBetween(draft, a, b));
}

void mergeAlikeInPlace(LanguageDraft &draft, ConversionReport &report)
{
    mergePass(draft, report, QStringLiteral("same colours, same scopes"),
              [&draft](const TokensetDraft &a, const TokensetDraft &b) { return listsAlikeInPlace(draft, a, b); });
    mergePass(draft, report, QStringLiteral("same colours, same scopes and contents"),
              [&draft](const TokensetDraft &a, const TokensetDraft &b) {
                  return a.looksLike(b) && sameScopeKind(a, b) && scopeSet(a) == scopeSet(b)
                      && contents(draft, a.name) - QSet<QString>{a.name, b.name}
                      == contents(draft, b.name) - QSet<QString>{a.name, b.name};
              });
}

// Far too many tokensets: what marks errors in a language embedded in the one converted (a style sheet's
// pseudo-class where none may stand) goes, with what stands only in it; it would take slots, and merged
// with the rest it would carry its contents elsewhere.
void dropEmbeddedErrors(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    if (int(draft.tokensets.size()) * 2 <= limits.tokensets * 3)
        return;
    const qsizetype before = draft.tokensets.size();
    for (size_t i = 0; i < draft.tokensets.size();) {
        const TokensetDraft &t = draft.tokensets[i];
        if (t.error && !isOwn(draft, t)) {
            report.dropped(t.source, QStringLiteral("tokenset \"%1\" marks errors of an embedded language (a language holds %2 tokensets)")
                                         .arg(t.name)
                                         .arg(limits.tokensets));
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(i));
        } else {
            ++i;
        }
    }
    if (draft.tokensets.size() != before)
        dropEmpty(draft, report);
}

// Far too many tokensets: scopes that colour nothing (the nesting of a grammar built from many small
// contexts) are opened up, those that change least first, merging again after each round. Merging
// unlike scopes instead would carry each one's start into the other's places.
void openUpUncolouredScopes(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    // A few too many are better merged: opening up changes where things are valid.
    if (int(draft.tokensets.size()) * 2 <= limits.tokensets * 3)
        return;
    const QString why = QStringLiteral("a language holds %1 tokensets").arg(limits.tokensets);
    for (int allowed = 0; allowed <= kMostOpeningCost && int(draft.tokensets.size()) > limits.tokensets;
         allowed = allowed == 0 ? 1 : allowed * 2) {
        bool any = false, opened = false;
        for (size_t i = 0; i < draft.tokensets.size() && int(draft.tokensets.size()) > limits.tokensets;) {
            const TokensetDraft &s = draft.tokensets[i];
            if (!s.scope || s.id != QLatin1String("parameterblocks")) {
                ++i;
                continue;
            }
            any = true;
            if (openingCost(draft, s) <= allowed) {
                openUp(draft, i, report, why);
                opened = true;
            } else {
                ++i;
            }
        }
        if (!any)
            return;
        if (opened)
            mergeAlikeInPlace(draft, report);
    }
}

// How much of ordinary text a token may take: 1 when it matches nothing of a probe made of words,
// numbers and common punctuation, 10 when it does (a bare name, a lone `>` or `{`).
int generality(const TokenDraft &token, QHash<QString, int> &known)
{
    const auto it = known.constFind(token.text);
    if (it != known.constEnd())
        return *it;
    static const QString probe = QStringLiteral("zqx wvk_3 Jmb -> (a) [b] {c}: d; e, f. g = h + i * j / k! 'l' \"m\" 42 0.5 # @ $ % & ^ ~ ` | <x>");
    const QRegularExpression re(token.regexp ? token.text : QRegularExpression::escape(token.text));
    const int g = re.isValid() && re.match(probe).hasMatch() ? 10 : 1;
    known.insert(token.text, g);
    return g;
}

// Whether a token may take a bare word of ordinary text (an identifier pattern), not only words it names.
bool takesWords(const TokenDraft &token, QHash<QString, bool> &known)
{
    const auto it = known.constFind(token.text);
    if (it != known.constEnd())
        return *it;
    static const QStringList words{QStringLiteral("zqx"), QStringLiteral("Jmbw"), QStringLiteral("wvk_t")};
    const QRegularExpression re(token.regexp ? token.text : QRegularExpression::escape(token.text));
    bool takes = false;
    for (const QString &w : words) {
        const QRegularExpressionMatch m = re.isValid() ? re.match(QStringLiteral(" ") + w + QStringLiteral(" ")) : QRegularExpressionMatch();
        takes = takes || (m.hasMatch() && m.capturedLength() >= 2);
    }
    known.insert(token.text, takes);
    return takes;
}

// Lists that colour alike become one until `target` remain, the merge that changes least first: each list's
// tokens come to be valid where the other stands, weighed by how much ordinary text they may take. In their
// order instead, a catch-all of one language's errors (`\S+` in a document type) joined the errors of a style
// sheet embedded beside it and took every `{` there. A list that would come to stand where it never stood, and
// take text there that nothing took before, is dropped instead of merged:
// - one that takes bare words (names in arithmetic), joining one that takes none, where the language's own
//   text runs (the outermost level; a Makefile's command lines): it would colour every word there;
// - one of a language embedded that takes some of ordinary text (a shell's `/`, a lone `$`), joining one
//   valid at the outermost level where it was not (a Makefile's directives): `include /usr/...` took it;
// - one of a language embedded joining one of the language itself in an identifier's look (a Makefile's function
//   names), which would come to stand in the embedded language's coloured scopes and take their text there
//   (`$(call` in a command's subshell).
void mergeListsAlike(LanguageDraft &draft, ConversionReport &report, const QString &why, int target)
{
    QHash<QString, bool> known;
    QHash<QString, int> general;
    const auto word = [&](const TokenDraft &t) { return takesWords(t, known); };
    const auto text = [&](const TokenDraft &t) { return generality(t, general) > 1; }; // some of ordinary text
    // Whether `from` takes bare words and `to` none.
    const auto wordsInto = [&](const TokensetDraft &from, const TokensetDraft &to) {
        return std::any_of(from.tokens.begin(), from.tokens.end(), word) && std::none_of(to.tokens.begin(), to.tokens.end(), word);
    };
    // Where the language's own text runs: the outermost level, and (where the language tells its own constructs
    // apart) its own scopes that colour nothing.
    QSet<QString> textPlaces{QString()};
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && transparentId(t.id) && !draft.ownSources.isEmpty() && isOwn(draft, t))
            textPlaces.insert(t.name);
    }
    // The first place where `from` joined with `to` would take text that nothing of the kind took there before;
    // null when there is none.
    auto spreadsTo = [&](const TokensetDraft &from, const TokensetDraft &to) -> QString {
        const QStringList fromPlaces = placesOf(from), toPlaces = placesOf(to);
        auto firstNew = [&](const QSet<QString> &where) {
            const auto p = std::find_if(toPlaces.begin(), toPlaces.end(), [&](const QString &x) { return where.contains(x) && !fromPlaces.contains(x); });
            return p == toPlaces.end() ? QString() : (p->isEmpty() ? QStringLiteral("the outermost level") : QStringLiteral("\"%1\"").arg(*p));
        };
        if (wordsInto(from, to))
            return firstNew(textPlaces);
        if (!draft.ownSources.isEmpty() && !isOwn(draft, from) && std::any_of(from.tokens.begin(), from.tokens.end(), text))
            return firstNew({QString()});
        return QString();
    };
    // Whether merging would make `from`, which takes bare words, valid in a coloured scope of the language itself
    // that holds no such list (a name alone, an attribute, in a heading's text); only where the language tells its
    // own constructs apart.
    QSet<QString> colouredScopes;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && !transparentId(t.id) && !draft.ownSources.isEmpty() && isOwn(draft, t))
            colouredScopes.insert(t.name);
    }
    auto intoColoured = [&](const TokensetDraft &from, const TokensetDraft &to) {
        return std::any_of(to.validScopes.begin(), to.validScopes.end(), [&](const QString &p) { return colouredScopes.contains(p) && !from.validScopes.contains(p); })
            && wordsInto(from, to);
    };
    // The first coloured scope of a language embedded where `from`, of that language, stands and `to`, of the language
    // itself, does not: merged, the language's own words would take the scope's text there; null when there is none.
    QSet<QString> foreignColoured;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && !transparentId(t.id) && !draft.ownSources.isEmpty() && !isOwn(draft, t))
            foreignColoured.insert(t.name);
    }
    auto ownInto = [&](const TokensetDraft &from, const TokensetDraft &to) -> QString {
        if (draft.ownSources.isEmpty() || isOwn(draft, from) || !isOwn(draft, to) || to.id != QLatin1String("identifiers"))
            return QString();
        for (const QString &p : from.validScopes) {
            if (foreignColoured.contains(p) && !to.validScopes.contains(p))
                return p;
        }
        return QString();
    };
    // Whether `from` holds words of a language embedded that stand at a line's start (a shell's commands, first
    // on a command line) and `to` is valid at the outermost level or in a coloured scope where `from` is not: there
    // they would colour the first word of the language's own lines, or of a subshell that holds no commands. Where
    // its tokens that take ordinary text would be dropped on joining, they go first, as for any such list.
    QSet<QString> colouredPlaces{QString()};
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && !transparentId(t.id))
            colouredPlaces.insert(t.name);
    }
    auto startsLines = [](const TokensetDraft &t) {
        return std::any_of(t.tokens.begin(), t.tokens.end(), [](const TokenDraft &k) { return k.text.contains(QLatin1String("(?<=^|")); });
    };
    // `from` at `i`, `to` at `j`, with the places of both and whether each stands at line starts.
    auto lineStartsInto = [&](const std::vector<QSet<QString>> &places, const std::vector<char> &lineStarts, size_t i, size_t j) {
        return lineStarts[i]
            && std::any_of(places[j].begin(), places[j].end(), [&](const QString &p) { return colouredPlaces.contains(p) && !places[i].contains(p); })
            && spreadsTo(draft.tokensets[i], draft.tokensets[j]).isNull();
    };
    // Whether `a` is hidden where `b` is valid: merged, it would stand there again.
    auto hides = [](const TokensetDraft &a, const TokensetDraft &b) {
        const QStringList p = placesOf(b);
        return std::any_of(a.hiddenIn.begin(), a.hiddenIn.end(), [&](const QString &h) { return p.contains(h); });
    };
    auto weight = [&](const TokensetDraft &t) {
        long sum = 0;
        for (const TokenDraft &token : t.tokens)
            sum += generality(token, general);
        return sum;
    };
    while (int(draft.tokensets.size()) > target) {
        const size_t n = draft.tokensets.size();
        std::vector<QSet<QString>> places(n);
        std::vector<long> weights(n, 0);
        std::vector<char> lineStarts(n, 0);
        for (size_t i = 0; i < n; ++i) {
            if (draft.tokensets[i].scope)
                continue;
            const QStringList p = placesOf(draft.tokensets[i]);
            places[i] = QSet<QString>(p.begin(), p.end());
            weights[i] = weight(draft.tokensets[i]);
            lineStarts[i] = startsLines(draft.tokensets[i]);
        }
        long best = -1;
        size_t bi = 0, bj = 0;
        for (size_t i = 0; i < n; ++i) {
            const TokensetDraft &a = draft.tokensets[i];
            if (a.scope)
                continue;
            for (size_t j = i + 1; j < n; ++j) {
                const TokensetDraft &b = draft.tokensets[j];
                if (b.scope || !a.looksLike(b) || a.casesensitive != b.casesensitive)
                    continue;
                if (intoColoured(a, b) || intoColoured(b, a) || hides(a, b) || hides(b, a) || lineStartsInto(places, lineStarts, i, j)
                    || lineStartsInto(places, lineStarts, j, i))
                    continue;
                const long cost = weights[j] * newPlaces(places[i], places[j]) + weights[i] * newPlaces(places[j], places[i]);
                if (best < 0 || cost < best) {
                    best = cost;
                    bi = i;
                    bj = j;
                }
            }
        }
        if (best < 0)
            return;
        const TokensetDraft &a = draft.tokensets[bi], &b = draft.tokensets[bj];
        if (const QString into = ownInto(a, b).isNull() ? ownInto(b, a) : ownInto(a, b); !into.isNull()) {
            const bool aGoes = !ownInto(a, b).isNull();
            const TokensetDraft &gone = aGoes ? a : b;
            report.dropped(gone.source, QStringLiteral("tokenset \"%1\": joined with \"%2\" it would carry that list into \"%3\", whose text it colours (%4)")
                                            .arg(gone.name, (aGoes ? b : a).name, into, why));
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(aGoes ? bi : bj));
            continue;
        }
        QString where = spreadsTo(a, b);
        const bool dropA = !where.isNull();
        if (!dropA)
            where = spreadsTo(b, a);
        if (!where.isNull()) {
            TokensetDraft &gone = draft.tokensets[dropA ? bi : bj];
            const bool words = std::any_of(gone.tokens.begin(), gone.tokens.end(), word);
            if (!words && !std::all_of(gone.tokens.begin(), gone.tokens.end(), text)) {
                const auto n = std::erase_if(gone.tokens, text);
                report.dropped(gone.source, QStringLiteral("tokenset \"%1\": %2 tokens that take punctuation or words of ordinary text; joined with \"%3\" they would take them at %4 (%5)")
                                                .arg(gone.name).arg(n).arg((dropA ? b : a).name, where, why));
                continue;
            }
            report.dropped(gone.source, QStringLiteral("tokenset \"%1\" takes %2; joined with \"%3\" it would take them at %4 (%5)")
                                            .arg(gone.name, words ? QStringLiteral("bare words") : QStringLiteral("punctuation or words of ordinary text"),
                                                 (dropA ? b : a).name, where, why));
            draft.tokensets.erase(draft.tokensets.begin() + qsizetype(dropA ? bi : bj));
            continue;
        }
        mergeInto(draft, bi, bj, report, why);
    }
}

// Too many tokensets: a scope that only borrows the look of the scope around it (an uncoloured construct
// inside a coloured one) joins the same construct's scope in its own look, so the text inside it loses
// that borrowed colour; what stands in either now stands in the one left.
void foldBorrowedScopes(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    // Far over the limit, scopes that colour nothing are opened up instead (openUpUncolouredScopes).
    if (int(draft.tokensets.size()) <= limits.tokensets || int(draft.tokensets.size()) * 2 > limits.tokensets * 3)
        return;
    for (size_t j = 0; j < draft.tokensets.size();) {
        const TokensetDraft &copy = draft.tokensets[j];
        const auto own = std::find_if(draft.tokensets.begin(), draft.tokensets.end(), [&copy](const TokensetDraft &t) {
            return t.scope && !t.borrowedLook && t.source == copy.source;
        });
        if (!copy.scope || !copy.borrowedLook || !isOwn(draft, copy) || own == draft.tokensets.end()) {
            ++j;
            continue;
        }
        const size_t i = size_t(own - draft.tokensets.begin());
        TokensetDraft from = std::move(draft.tokensets[j]);
        draft.tokensets.erase(draft.tokensets.begin() + qsizetype(j));
        TokensetDraft &into = draft.tokensets[i < j ? i : i - 1];
        for (const QString &s : std::as_const(from.validScopes)) {
            if (!into.validScopes.contains(s))
                into.validScopes += s;
        }
        rename(draft, from.name, into.name);
        report.merged(from.source, QStringLiteral("scope \"%1\" merged into \"%2\" (the same construct; a language holds %3 tokensets)")
                                       .arg(from.name, into.name)
                                       .arg(limits.tokensets));
    }
    mergeAlikeInPlace(draft, report);
}

// Two scopes of different languages of which only some starts have a look of their own: merged, the scope would
// be opened up, and what either holds would stand where either stands (a style sheet's rules in a document type).
bool mayMergeAcross(const TokensetDraft &a, const TokensetDraft &b)
{
    const bool sameStartLook = a.startLook.empty() ? b.startLook.empty()
                                                   : wholeStartLook(a) && wholeStartLook(b) && a.startLook.front().looksLike(b.startLook.front());
    return sameStartLook || a.source.section(u':', 0, 0) == b.source.section(u':', 0, 0);
}

// How many languages the language embeds (those whose constructs are not its own, nor shared definitions).
int embeddedLanguages(const LanguageDraft &draft)
{
    QSet<QString> languages;
    for (const TokensetDraft &t : draft.tokensets) {
        if (!isOwn(draft, t))
            languages.insert(t.source.section(u':', 0, 0));
    }
    return int(languages.size());
}

// Scopes that colour alike become one, those of the language itself (`own`) or those of the languages it
// embeds, the merge that changes least first: each start comes to be valid where the other scope stands,
// what is valid in either comes to be valid in both, and a scope merged with one it is valid in opens
// inside itself on its starts; each change weighed by how much ordinary text the tokens concerned may take.
// Merged in the order they come instead, an embedded scope entered on a lone `>` would join the first scope
// of the outermost level, and open on every `>` of the text. Returns what the merges cost together; with
// `oneGroup`, only the group `own` names merges, and -1 when it cannot come down to `target`; `last` receives
// what the last merge cost.
long mergeScopesByCost(LanguageDraft &draft, ConversionReport &report, const QString &why, int target, bool own, bool oneGroup = false,
                       long *last = nullptr)
{
    QHash<QString, int> known;
    long total = 0;
    bool othersFinish = false;
    while (int(draft.tokensets.size()) > target) {
        const size_t n = draft.tokensets.size();
        QHash<QString, QSet<QString>> inside;
        QHash<QString, int> weight;         // a tokenset's most general token
        QSet<QString> coloured;             // the scopes that colour what they hold
        std::vector<QSet<QString>> places(n);
        std::vector<long> starts(n, 0);     // the generality of a scope's starts together
        for (size_t i = 0; i < n; ++i) {
            const TokensetDraft &t = draft.tokensets[i];
            const QStringList p = placesOf(t);
            places[i] = QSet<QString>(p.begin(), p.end());
            for (const QString &place : p)
                inside[place].insert(t.name);
            int most = 1;
            for (const TokenDraft &token : t.tokens) {
                const int g = generality(token, known);
                most = std::max(most, g);
                starts[i] += g;
            }
            weight.insert(t.name, most);
            if (t.scope && !transparentId(t.id))
                coloured.insert(t.name);
        }
        // What is valid in `x` and not in `y`, but for the two scopes themselves. Between scopes of embedded
        // languages, a coloured scope counts four times: opened where it was not before (an HTML title's text,
        // on the `>` of a heading's tag), it colours all up to its end, not one token.
        auto contentsCost = [&](const QSet<QString> &x, const QSet<QString> &y, const QString &a, const QString &b, bool embedded) {
            long sum = 0;
            for (const QString &name : x) {
                if (!y.contains(name) && name != a && name != b)
                    sum += weight.value(name, 1) * (embedded && coloured.contains(name) ? 4 : 1);
            }
            return sum;
        };
        long bests[2] = {-1, -1};
        size_t bis[2] = {0, 0}, bjs[2] = {0, 0};
        for (size_t i = 0; i < n; ++i) {
            const TokensetDraft &a = draft.tokensets[i];
            if (!a.scope)
                continue;
            const int group = isOwn(draft, a) == own ? 0 : 1;
            const QSet<QString> ca = inside.value(a.name);
            for (size_t j = i + 1; j < n; ++j) {
                const TokensetDraft &b = draft.tokensets[j];
                if (!a.looksLike(b) || !sameScopeKind(a, b) || (isOwn(draft, b) == own ? 0 : 1) != group)
                    continue;
                // Only some starts with a look of their own: the scope would be opened up, and what either holds
                // would stand where either stands; across languages, a style sheet's rules in a document type.
                if (!mayMergeAcross(a, b))
                    continue;
                const QSet<QString> cb = inside.value(b.name);
                const long nested = (places[j].contains(a.name) ? starts[j] : 0) + (places[i].contains(b.name) ? starts[i] : 0);
                const long cost = starts[j] * newPlaces(places[i], places[j]) + starts[i] * newPlaces(places[j], places[i])
                    + contentsCost(ca, cb, a.name, b.name, !isOwn(draft, a)) + contentsCost(cb, ca, a.name, b.name, !isOwn(draft, a)) + nested;
                if (bests[group] < 0 || cost < bests[group]) {
                    bests[group] = cost;
                    bis[group] = i;
                    bjs[group] = j;
                }
            }
        }
        if (bests[0] < 0)
            return oneGroup ? -1 : total;
        int g = oneGroup ? 0 : (bests[1] >= 0 && bests[0] > kOtherGroupCheaper * bests[1] ? 1 : 0);
        // The few merges still needed, each cheap in the other group, may together cost less than this one:
        // then they go first, and the group's scopes stay apart (a Makefile's command lines and assignments,
        // against two copies of the shell's subshells).
        // Where the language's own scopes go first, this one merge also saves the other group no more than its
        // costliest needed merge: when that is cheaper, they go first too (a Makefile's command lines apart from its
        // assignments, which its rule lines joined, against four merges of the shell's copies).
        // Once a trial has shown that, the other group's merges go on to the end, as they did in the trial.
        const long needed = long(draft.tokensets.size()) - target;
        if (othersFinish && bests[1] >= 0) {
            g = 1;
        } else if (g == 0 && !oneGroup && bests[1] >= 0 && needed * bests[1] < bests[0]) {
            LanguageDraft trial = draft;
            ConversionReport unused;
            long lastOther = 0;
            const long others = mergeScopesByCost(trial, unused, why, target, !own, true, &lastOther);
            othersFinish = others >= 0 && (others < bests[0] || (own && lastOther < bests[0]));
            g = othersFinish ? 1 : 0;
        }
        total += bests[g];
        if (last)
            *last = bests[g];
        mergeInto(draft, bis[g], bjs[g], report, why);
    }
    return total;
}

// Places lost to the valid-scope limit: each scope beyond ten that a tokenset is valid in, unless it is
// valid exactly where the record's default puts it.
int lostPlaces(const LanguageDraft &draft, const Limits &limits)
{
    QSet<QString> open{QString()};
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && transparentId(t.id))
            open.insert(t.name);
    }
    int lost = 0;
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.validScopes.size() > limits.validScopes && scopeSet(t) != open)
            lost += int(t.validScopes.size()) - limits.validScopes;
    }
    return lost;
}

// A scope that colours nothing, only some of whose starts have a look of their own (m4's macro calls, whose
// name and `(` are keywords, merged with plain brackets and calls of unknown macros): its look would colour
// every start, so it is opened up, and the starts with the look become a list in it where it stood, with the
// ends paired with them: a known macro call's `)` stays a keyword, and so does any other `)` there (an
// unknown macro's; in m4 that gains more than it loses).
void openUpScopesWithLookedStarts(LanguageDraft &draft, ConversionReport &report)
{
    for (size_t i = 0; i < draft.tokensets.size();) {
        const TokensetDraft &s = draft.tokensets[i];
        if (s.scope && s.id == QLatin1String("parameterblocks") && !s.startLook.empty() && !wholeStartLook(s))
            openUp(draft, i, report, QStringLiteral("only some of its starts have a look of their own"), true);
        else
            ++i;
    }
}

// Tokensets valid in more scopes than a record holds: a scope that colours nothing and whose opening
// changes nothing (it holds just what is valid where it stands: an m4 macro's next argument, from its
// comma on) is opened up, so that the places it took go to scopes that hold other things.
void openUpScopesThatChangeNothing(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    if (lostPlaces(draft, limits) == 0)
        return;
    const QString why = QStringLiteral("a tokenset holds %1 valid scopes").arg(limits.validScopes);
    bool opened = false;
    for (size_t i = 0; i < draft.tokensets.size();) {
        const TokensetDraft &s = draft.tokensets[i];
        if (s.scope && s.id == QLatin1String("parameterblocks") && !wholeStartLook(s) && openingCost(draft, s) == 0) {
            openUp(draft, i, report, why);
            opened = true;
        } else {
            ++i;
        }
    }
    if (opened)
        mergeAlikeInPlace(draft, report);
}

// A scope that colours nothing but its start (a keyword or constant that opens a statement) takes the start's look
// as a scope where code goes on (`scopekeywords`, so what is valid around it stays valid in it), and a
// list of any single character in the text's look, the last tokenset so that every other token wins,
// keeps its contents plain. Only while a slot is free for that list.
void keepStartLooks(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    // The slots left after the splits other tokensets need, ten scopes each.
    int free = limits.tokensets - int(draft.tokensets.size());
    for (const TokensetDraft &t : draft.tokensets)
        free -= t.scope ? 0 : int(t.validScopes.size() - 1) / limits.validScopes;
    TokensetDraft plain;
    for (TokensetDraft &t : draft.tokensets) {
        if (!t.scope || t.id != QLatin1String("parameterblocks") || !wholeStartLook(t)
            || !QStringList{QStringLiteral("keywords"), QStringLiteral("valuenames")}.contains(t.startLook.front().id)
            || plain.validScopes.size() >= qsizetype(free) * limits.validScopes)
            continue;
        if (plain.validScopes.isEmpty()) {
            plain.name = draft.uniqueName(QStringLiteral("Plain text"));
            plain.id = QStringLiteral("identifiers");
            plain.source = t.source;
            plain.forecolor = t.forecolor;
            plain.backcolor = t.backcolor;
            plain.tokens.push_back({QStringLiteral("\\S"), true, QString(), {}});
        }
        const TokensetDraft &look = t.startLook.front();
        t.id = QStringLiteral("scopekeywords");
        t.forecolor = look.forecolor;
        t.backcolor = look.backcolor;
        t.fontstyle = look.fontstyle;
        // A preprocessor look keeps the word in the name, as the keywords it stands for do.
        if (look.name.contains(QLatin1String("Preprocessor")) && !t.name.contains(QLatin1String("Preprocessor"))) {
            const QString name = draft.uniqueName(QStringLiteral("Preprocessor ") + t.name);
            rename(draft, t.name, name);
            t.name = name;
        }
        plain.validScopes += t.name;
        report.approximated(t.source, QStringLiteral("scope \"%1\" takes the look of its start; \"%2\" keeps the text in it plain").arg(t.name, plain.name));
    }
    if (!plain.validScopes.isEmpty())
        draft.tokensets.push_back(std::move(plain));
}

// A scope of an embedded language at the outermost level that holds constructs of yet another embedded language (a
// document type in a page, with a document type definition's strings) stays, plain: opened up, they would colour the
// page's text.
bool spreadsForeign(const LanguageDraft &draft, const TokensetDraft &s)
{
    if (isOwn(draft, s) || !placesOf(s).contains(QString()))
        return false;
    const QString language = s.source.section(u':', 0, 0);
    return std::any_of(draft.tokensets.begin(), draft.tokensets.end(), [&](const TokensetDraft &t) {
        return t.validScopes.contains(s.name) && !isOwn(draft, t) && t.source.section(u':', 0, 0) != language;
    });
}

// A scope that colours nothing but its start and got no slot to keep that look as a scope (keepStartLooks)
// is opened up instead: its start, a shell's `test` or `export`, stays a keyword as a list where the scope
// stood, and what the scope held is valid there. As a scope it was plain, start and all.
// Not one that would spread another language's constructs (spreadsForeign).
void openUpScopesWithoutRoomForTheirLook(LanguageDraft &draft, ConversionReport &report)
{
    for (size_t i = 0; i < draft.tokensets.size();) {
        const TokensetDraft &s = draft.tokensets[i];
        if (s.scope && s.id == QLatin1String("parameterblocks") && wholeStartLook(s)
            && QStringList{QStringLiteral("keywords"), QStringLiteral("valuenames")}.contains(s.startLook.front().id)
            && !spreadsForeign(draft, s))
            openUp(draft, i, report, QStringLiteral("no slot is left to keep the look of its start"));
        else
            ++i;
    }
}

// A coloured scope takes the look of its start, under a name without the "Preprocessor" that would read as
// its old colour; `text` names the list that keeps the text in it as it was, if any. Returns the new name.
QString takeStartLook(LanguageDraft &draft, std::vector<TokensetDraft> &texts, TokensetDraft &t, ConversionReport &report, const QString &text)
{
    const TokensetDraft &look = t.startLook.front();
    const QString oldName = t.name;
    QString name = oldName;
    name.remove(QStringLiteral("Preprocessor "));
    name = draft.uniqueName(name == oldName ? name + QStringLiteral(" start") : name);
    t.id = look.id;
    t.forecolor = look.forecolor;
    t.backcolor = look.backcolor;
    t.fontstyle = look.fontstyle;
    t.name = name;
    // In place: the order of a tokenset's valid scopes decides which stay when they are too many.
    for (std::vector<TokensetDraft> *set : {&draft.tokensets, &texts}) {
        for (TokensetDraft &x : *set) {
            for (QString &v : x.validScopes) {
                if (v == oldName)
                    v = name;
            }
        }
    }
    if (text.isEmpty())
        report.approximated(t.source, QStringLiteral("scope \"%1\" (now \"%2\") takes the look of its start, the text in it too (no slot is left for the text's look)")
                                          .arg(oldName, name));
    else
        report.approximated(t.source, QStringLiteral("scope \"%1\" (now \"%2\") takes the look of its start; \"%3\" keeps the text in it as it was")
                                          .arg(oldName, name, text));
    return name;
}

// A coloured scope whose start has another look, a keyword's, a constant's or a special character's (a subshell,
// in the preprocessor's colour, opened by `$(`, a keyword; a variable opened by `${`), takes the start's look,
// and a list of any single character in the scope's own look, the last tokenset so that every other token and
// the scope's end win, keeps the text in it as it was. Only while a slot is free for that list, after the
// splits other tokensets need; or, with no slot left at all, one that two lists alike in the same places give up
// as one (the start lists of scopes opened up: a Makefile command's `for`, `case` and `[[`), which colours the same.
void keepColouredStartLooks(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    int free = limits.tokensets - int(draft.tokensets.size());
    for (const TokensetDraft &t : draft.tokensets)
        free -= t.scope ? 0 : int(t.validScopes.size() - 1) / limits.validScopes;
    std::vector<TokensetDraft> texts;
    const auto mergeTwoAlike = [&] {
        const qsizetype before = draft.tokensets.size();
        if (before + qsizetype(texts.size()) < limits.tokensets)
            return false;
        mergePass(draft, report, QStringLiteral("same colours, same scopes; a slot for the look of a scope's text"),
                  [&draft](const TokensetDraft &a, const TokensetDraft &b) { return listsAlikeInPlace(draft, a, b); }, int(before) - 1);
        return draft.tokensets.size() < size_t(before);
    };
    for (size_t k = 0; k < draft.tokensets.size(); ++k) {
        if (const TokensetDraft &t = draft.tokensets[k]; !t.scope || transparentId(t.id) || !wholeStartLook(t) || t.startLook.front().looksLike(t)
            || !QStringList{QStringLiteral("keywords"), QStringLiteral("valuenames"), QStringLiteral("escapeseqs")}.contains(t.startLook.front().id))
            continue;
        auto same = std::find_if(texts.begin(), texts.end(), [&](const TokensetDraft &x) { return x.looksLike(draft.tokensets[k]); });
        bool freed = false;
        if (same == texts.end() && int(texts.size()) >= free) {
            // A merge before this scope moves it one place down.
            const QString name = draft.tokensets[k].name;
            freed = mergeTwoAlike();
            while (draft.tokensets[k].name != name)
                --k;
        }
        TokensetDraft &t = draft.tokensets[k];
        if (same == texts.end() && int(texts.size()) >= free && !freed) {
            // No slot for the text's look: a one-line statement that only borrows the colour around it (a
            // shell's `for` or `test` in a command substitution) takes its start's look all through.
            if (t.borrowedLook && t.singleline && t.startLook.front().id == QLatin1String("keywords"))
                takeStartLook(draft, texts, t, report, QString());
            continue;
        }
        if (same == texts.end()) {
            TokensetDraft text;
            text.name = draft.uniqueName(t.name + QStringLiteral(" text"));
            text.id = t.id;
            text.source = t.source;
            text.forecolor = t.forecolor;
            text.backcolor = t.backcolor;
            text.fontstyle = t.fontstyle;
            text.tokens.push_back({QStringLiteral("\\S"), true, QString(), {}});
            texts.push_back(std::move(text));
            same = texts.end() - 1;
        }
        same->validScopes += takeStartLook(draft, texts, t, report, same->name);
    }
    for (TokensetDraft &x : texts)
        draft.tokensets.push_back(std::move(x));
}

// Valid scopes: the record's default when the tokenset is valid exactly at the outermost level and in
// every transparent scope; split in two (or cut, when no slot is free) beyond what a record holds.
void fitValidScopes(LanguageDraft &draft, ConversionReport &report, const Limits &limits)
{
    QSet<QString> open{QString()};
    for (const TokensetDraft &t : draft.tokensets) {
        if (t.scope && transparentId(t.id))
            open.insert(t.name);
    }
    for (size_t i = 0; i < draft.tokensets.size(); ++i) {
        TokensetDraft &t = draft.tokensets[i];
        if (scopeSet(t) == open) {
            t.validScopes.clear();
            continue;
        }
        if (t.validScopes.size() <= limits.validScopes)
            continue;
        QStringList rest = t.validScopes.mid(limits.validScopes);
        t.validScopes = t.validScopes.mid(0, limits.validScopes);
        if (int(draft.tokensets.size()) < limits.tokensets && !t.scope) {
            TokensetDraft copy = t;
            copy.name = draft.uniqueName(t.name);
            copy.validScopes = rest;
            report.approximated(t.source, QStringLiteral("tokenset \"%1\" is valid in %2 scopes; \"%3\" holds the last %4 of them")
                                              .arg(t.name).arg(limits.validScopes + rest.size()).arg(copy.name).arg(rest.size()));
            draft.tokensets.insert(draft.tokensets.begin() + qsizetype(i) + 1, std::move(copy));
        } else {
            report.dropped(t.source, QStringLiteral("tokenset \"%1\" is no longer valid in %2 (a tokenset holds %3 valid scopes)")
                                         .arg(t.name, rest.join(QStringLiteral(", ")))
                                         .arg(limits.validScopes));
        }
    }
}

QString tokenLine(const TokenDraft &token)
{
    QString text = tokenText(token);
    return text + kSeparator + kSeparator + (token.regexp ? QStringLiteral("True") : QStringLiteral("False")) + kSeparator
        + (token.rule.isEmpty() ? QStringLiteral("null") : token.rule);
}

QString listText(const std::vector<TokenDraft> &tokens)
{
    QStringList lines;
    for (const TokenDraft &token : tokens)
        lines += tokenLine(token);
    return lines.join(QStringLiteral("\r\n"));
}

// A token list too large for a field: guards go first (the largest guard first, from every token that
// gives way to it: small guards such as a few keywords matter as much and cost little), then tokens from
// the end. Sizes are kept per token line, so that each drop costs one line's encoding, not the list's.
void fitField(TokensetDraft &t, std::vector<TokenDraft> &tokens, ConversionReport &report, const Limits &limits)
{
    std::vector<qsizetype> sizes;
    qsizetype total = tokens.empty() ? 0 : 2 * qsizetype(tokens.size() - 1); // the line breaks between
    for (const TokenDraft &token : tokens) {
        sizes.push_back(AnsiCodec::encodedSize(tokenLine(token)));
        total += sizes.back();
    }
    if (total <= limits.fieldBytes)
        return;
    // The guards in the order they go, and how large the list is once the first k of them are gone
    // (the fewest that must go are found by halving: each try encodes the list once).
    QStringList order;
    for (const TokenDraft &token : tokens)
        order += token.guards;
    order.removeDuplicates();
    std::stable_sort(order.begin(), order.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    auto without = [&](const TokenDraft &token, const QSet<QString> &gone) {
        TokenDraft fewer = token;
        fewer.guards.removeIf([&](const QString &g) { return gone.contains(g); });
        return fewer;
    };
    auto sizeWithout = [&](qsizetype k) {
        const QSet<QString> gone(order.begin(), order.begin() + k);
        qsizetype size = 2 * qsizetype(tokens.size() - 1);
        for (const TokenDraft &token : tokens)
            size += AnsiCodec::encodedSize(tokenLine(without(token, gone)));
        return size;
    };
    qsizetype low = 0, high = order.size(); // without `low` guards the list is too large
    if (high > 0 && sizeWithout(high) <= limits.fieldBytes) {
        while (high - low > 1) {
            const qsizetype mid = (low + high) / 2;
            (sizeWithout(mid) <= limits.fieldBytes ? high : low) = mid;
        }
    }
    const QSet<QString> gone(order.begin(), order.begin() + high);
    int lessGuarded = 0;
    total = tokens.empty() ? 0 : 2 * qsizetype(tokens.size() - 1);
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].guards.removeIf([&](const QString &g) { return gone.contains(g); }) > 0) {
            ++lessGuarded;
            sizes[k] = AnsiCodec::encodedSize(tokenLine(tokens[k]));
        }
        total += sizes[k];
    }
    if (lessGuarded > 0)
        report.approximated(t.source, QStringLiteral("tokenset \"%1\": %2 tokens give way to fewer earlier patterns (the list would not fit a field)")
                                          .arg(t.name).arg(lessGuarded));
    int tokensDropped = 0;
    while (tokens.size() > 1 && total > limits.fieldBytes) {
        total -= sizes.back() + 2;
        sizes.pop_back();
        tokens.pop_back();
        ++tokensDropped;
    }
    if (tokensDropped > 0)
        report.dropped(t.source, QStringLiteral("tokenset \"%1\": the last %2 tokens (a field holds %3 bytes)")
                                     .arg(t.name).arg(tokensDropped).arg(limits.fieldBytes));
}

Tokenset record(const TokensetDraft &t)
{
    Tokenset r;
    r.name = t.name;
    r.id = t.id;
    r.type = t.scope ? QStringLiteral("scope") : QStringLiteral("list");
    r.forecolor = t.forecolor;
    r.fontstyle = t.fontstyle;
    r.inheritfrom = QStringLiteral("<none>");
    r.backcolor = t.backcolor;
    r.casesensitive = t.casesensitive;
    r.normalizecase = 0;
    r.matchbraces = 0;
    r.autoindent = 0;
    r.enabled = 1;
    r.included = 1;
    r.hidden = 0;
    r.singlelinescope = t.singleline;
    r.chain = t.chain;
    r.symmetrical = t.symmetrical;
    r.tmemberlist = QStringLiteral("<none>");
    r.tokens = listText(t.tokens);
    r.tokens2 = t.scope ? listText(t.tokens2) : QString();
    r.regexp = 1;
    r.rule = QStringLiteral("Word");
    for (int i = 0; i < 10; ++i)
        r.validscope[size_t(i)] = i < t.validScopes.size()
            ? (t.validScopes[i].isEmpty() ? QStringLiteral("NULL") : t.validScopes[i])
            : QStringLiteral("<none>");
    return r;
}

// The language's name is the base of its exported file name: characters a file name cannot hold
// become "-".
QString fileSafeName(const QString &name, ConversionReport &report)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = u'-';
    }
    if (safe != name)
        report.approximated(name, QStringLiteral("the language is named \"%1\": a file name cannot hold the name as it was").arg(safe));
    return safe;
}

// A scope opened up or merged away after others named it as a place they are valid in leaves that name
// behind. It names no tokenset, so the file never holds it (the window would flag it as broken): it goes,
// and the names after it move up.
void dropValidScopesOfNoTokenset(LanguageDraft &draft)
{
    QSet<QString> names{QString()};
    for (const TokensetDraft &t : draft.tokensets)
        names.insert(t.name);
    for (TokensetDraft &t : draft.tokensets)
        t.validScopes.removeIf([&](const QString &name) { return !names.contains(name); });
}

} // namespace

QString tokenText(const TokenDraft &token)
{
    QString text = token.text;
    QString guarded;
    if (!token.guards.isEmpty()) {
        QStringList guards;
        for (const QString &g : token.guards)
            guards += RegexText::grouped(g);
        guarded = QStringLiteral("(?!%1)").arg(guards.join(u'|'));
        text = guarded + RegexText::grouped(text);
    }
    if (!token.shown.isEmpty())
        text = QStringLiteral("(?<=%1%2)%3").arg(guarded, token.behind, token.shown);
    if (token.regexp) {
        // A token line cannot hold "::::", line breaks or blanks at either end.
        text.replace(QStringLiteral("::::"), QStringLiteral("\\:\\:\\:\\:"));
        text = RegexText::asciiOnly(text);
        if (text.startsWith(u' '))
            text = QStringLiteral("\\x20") + text.mid(1);
        if (text.endsWith(u' ') && !text.endsWith(QStringLiteral("\\ ")))
            text = text.left(text.size() - 1) + QStringLiteral("\\x20");
        else if (text.endsWith(QStringLiteral("\\ ")))
            text = text.left(text.size() - 2) + QStringLiteral("\\x20");
    }
    return text;
}

bool fit(LanguageDraft draft, const QString &sampleText, Language &out, ConversionReport &report, QString &problem,
         const Limits &limits)
{
    // Each start that has a look of its own, so that a merge with a scope without one keeps it to them.
    for (TokensetDraft &t : draft.tokensets) {
        if (!t.startLook.empty())
            t.startLook.front().tokens = t.tokens;
    }
    dropEmpty(draft, report);
    mergeAlikeInPlace(draft, report);
    foldBorrowedScopes(draft, report, limits);
    dropEmbeddedErrors(draft, report, limits);
    openUpUncolouredScopes(draft, report, limits);
    if (int(draft.tokensets.size()) > limits.tokensets) {
        mergeListsAlike(draft, report, QStringLiteral("same colours; a language holds %1 tokensets").arg(limits.tokensets), limits.tokensets);
    }
    if (int(draft.tokensets.size()) > limits.tokensets) {
        // Scopes of the language itself first, then those of the languages it embeds, each by what the
        // merge changes; then any that still colour alike, in their order. A language that embeds several
        // (a page's style sheets and scripts) merges theirs first: its own scopes tell where each is entered,
        // and merged they would carry one language into the other's places and into the text. A language
        // that tells no sources apart has all its scopes merged in their order.
        const QString why = QStringLiteral("same colours; a language holds %1 tokensets").arg(limits.tokensets);
        if (!draft.ownSources.isEmpty()) {
            const bool ownFirst = embeddedLanguages(draft) < 2;
            mergeScopesByCost(draft, report, why, limits.tokensets, ownFirst);
            mergeScopesByCost(draft, report, why, limits.tokensets, !ownFirst);
        }
        mergePass(draft, report, why, [](const TokensetDraft &a, const TokensetDraft &b) {
            return a.looksLike(b) && sameScopeKind(a, b) && mayMergeAcross(a, b);
        }, limits.tokensets);
        mergePass(draft, report, why, [](const TokensetDraft &a, const TokensetDraft &b) { return a.looksLike(b) && sameScopeKind(a, b); },
                  limits.tokensets);
    }
    if (int(draft.tokensets.size()) > limits.tokensets) {
        problem = QStringLiteral("%1 tokensets remain after merging those that colour alike; a language holds at most %2")
                      .arg(draft.tokensets.size())
                      .arg(limits.tokensets);
        return false;
    }
    openUpScopesWithLookedStarts(draft, report);
    openUpScopesThatChangeNothing(draft, report, limits);
    keepStartLooks(draft, report, limits);
    openUpScopesWithoutRoomForTheirLook(draft, report);
    keepColouredStartLooks(draft, report, limits);
    fitValidScopes(draft, report, limits);
    dropValidScopesOfNoTokenset(draft);
    for (TokensetDraft &t : draft.tokensets) {
        fitField(t, t.tokens, report, limits);
        fitField(t, t.tokens2, report, limits);
    }

    out = Language();
    out.name = fileSafeName(draft.name, report);
    out.casesensitive = 0;
    out.applycase = 0;
    out.wordchars = draft.wordchars;
    out.whitespaceasparamblock = 1;
    out.memberlist = QStringLiteral("<none>");
    out.sampletext = sampleText;
    for (size_t k = 0; k < draft.tokensets.size(); ++k)
        out.tokensets[k] = record(draft.tokensets[k]);
    return true;
}

} // namespace LanguageFitting
