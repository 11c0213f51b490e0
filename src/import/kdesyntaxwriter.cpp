#include "import/kdesyntaxwriter.h"
#include "editorcontrol/compiledlanguagedata.h"
#include "xmlgen/xmltext.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <deque>
#include <map>

namespace {

using PatternAnalysis::FirstChars;

// Beyond this many contexts the transparent scopes a context remembers are cut back.
constexpr int kMaxContexts = 4000;

QString attr(const QString &value) { return XmlText::escapeAttribute(value); }

QString hex(char32_t c) { return QStringLiteral("\\x{%1}").arg(quint32(c), 0, 16); }

// A literal text as a regular expression: letters, digits and "_" as they are, ASCII punctuation
// behind a backslash, everything else as \x{..} (a line break or a control character cannot stand in
// an XML attribute as it is).
QString escapeLiteral(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += hex(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            return QStringLiteral("(?!)"); // a broken pair matches no text
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_') {
            out += QChar(u);
        } else if (u > 32 && u < 127) {
            out += QLatin1Char('\\');
            out += QChar(u);
        } else {
            out += hex(u);
        }
    }
    return out;
}

// A set of characters ("leadwith[...]") as a class; an empty set matches nothing.
QString characterClass(const QString &chars)
{
    if (chars.isEmpty())
        return QStringLiteral("(?!)");
    QString out = QStringLiteral("[");
    for (QChar c : chars)
        out += QChar::isSurrogate(c.unicode()) ? QStringLiteral("\\x{fffd}") : hex(c.unicode());
    return out + QLatin1Char(']');
}

// A pattern that cannot be copied into a larger expression: it refers to its own groups by number
// or name, names a group (which may not be named twice), or begins with a verb such as (*UCP).
bool standsAlone(const QString &pattern)
{
    static const QRegularExpression refers(
        QStringLiteral(R"(\\(?:[1-9]|g|k)|\(\?(?:P[=>]|&|R\)|[+-]?[0-9])|\(\?P?<[A-Za-z_]|\(\?'|^\(\*)"));
    return refers.match(pattern).hasMatch();
}

void addChar(FirstChars &fc, char16_t c, bool caseless)
{
    auto one = [&fc](char16_t u) {
        if (u < 128)
            fc.ascii[u >> 6] |= quint64(1) << (u & 63);
        else
            fc.nonAscii = true;
    };
    one(c);
    if (caseless) {
        one(QChar::toLower(c));
        one(QChar::toUpper(c));
        const char16_t f = QChar::toCaseFolded(c);
        if (f == u'k' || f == u's' || c >= 128)
            fc.nonAscii = true; // the Kelvin sign and the long s fold onto ASCII letters
    }
}

bool intersects(const std::optional<FirstChars> &a, const std::optional<FirstChars> &b)
{
    if (!a || !b)
        return true;
    return (a->ascii[0] & b->ascii[0]) || (a->ascii[1] & b->ascii[1]) || (a->nonAscii && b->nonAscii);
}

QString folded(const QString &text)
{
    return text.toCaseFolded();
}

// One rule of a context: the match of a token (or a group of literal tokens that colour and act
// alike) with every condition of its rule folded in.
struct Candidate {
    QString match;
    bool guardable = true;           // may be copied into the look-ahead of other rules
    std::optional<FirstChars> first; // what it may begin with; nullopt: anything
    bool literal = false;
    QStringList texts;               // the folded literals, sorted, when `literal`
    int tokenset = -1;               // the attribute
    int pushTokenset = -1;           // a scope start: the scope it opens and its closer class
    int pushClass = -1;
    bool closes = false;             // a closer of the innermost scope: closes its context
    bool passes = false;             // a closer of an enclosing scope: closes this context without
                                     // taking the text, so that the next context out sees it again
};

// Whether b can match strictly further than a at some position (or as far, with `orEqual`).
bool canOutrun(const Candidate &a, const Candidate &b, bool orEqual = false)
{
    if (!intersects(a.first, b.first))
        return false;
    if (!a.literal || !b.literal)
        return true;
    for (const QString &t : a.texts) {
        auto it = std::lower_bound(b.texts.begin(), b.texts.end(), t);
        for (; it != b.texts.end() && it->startsWith(t); ++it)
            if (it->size() > t.size() || orEqual)
                return true;
    }
    return false;
}

// What a context stands for: the innermost open scope (with the class of the token that opened it:
// which closers apply), whether a single-line scope is open further out, and the closers of enclosing
// scopes that chain through the transparent scopes between. Which of those scopes a closer belongs to
// does not matter here: any of them closes this context and leaves the text to the next one out.
struct Key {
    int top = -1;
    int cls = -1;
    bool inSingle = false;
    QStringList chain; // matches of the chained closers, sorted

    QString text() const
    {
        return QStringLiteral("%1/%2/%3/").arg(top).arg(cls).arg(inSingle) + chain.join(QChar(0));
    }
};

class Writer {
public:
    Writer(const CompiledLanguage &language, const KdeSyntaxWriter::Options &options)
        : lang(language), d(language.data()), options(options)
    {
        const QString classText = d.definition.wordchars.isEmpty() ? QStringLiteral("[\\w]") : d.definition.wordchars;
        wordClass = QStringLiteral("(?:%1)").arg(classText);
        if (!QRegularExpression(QStringLiteral("(?<=%1)").arg(wordClass)).isValid()) {
            if (QRegularExpression(QStringLiteral("(?:%1)+").arg(classText)).isValid())
                notes << QStringLiteral("the word characters %1 cannot be looked behind at; [\\w] stands in for them")
                             .arg(classText);
            wordClass = QStringLiteral("[\\w]");
        }
        // The engine's second try for rule word uses the class as written; one that does not compile
        // gives no second try.
        retryClass = classText;
        if (!QRegularExpression(QStringLiteral("(?<!%1)").arg(retryClass)).isValid())
            retryClass.clear();
        buildTokenCandidates();
    }

    KdeSyntaxWriter::Result run();

private:
    QString notWordEdge() const { return QStringLiteral("(?!(?<=%1)(?=%1))").arg(wordClass); }

    QString before(const TokenRule &r) const
    {
        QString s;
        if (r.word)
            s += notWordEdge();
        if (r.column == 1)
            s += QLatin1Char('^');
        else if (r.column > 1)
            s += QStringLiteral("(?<=^[\\s\\S]{%1})").arg(r.column - 1);
        if (r.hasLead)
            s += r.lead.contains(QLatin1Char(' ')) ? QStringLiteral("(?:(?<=%1)|^)").arg(characterClass(r.lead))
                                                   : QStringLiteral("(?<=%1)").arg(characterClass(r.lead));
        return s;
    }

    QString after(const TokenRule &r) const
    {
        QString s;
        if (r.word)
            s += notWordEdge();
        if (r.hasTrail)
            s += r.trail.contains(QLatin1Char(' '))
                     ? QStringLiteral("(?:(?=%1)|(?![\\s\\S]))").arg(characterClass(r.trail))
                     : QStringLiteral("(?=%1)").arg(characterClass(r.trail));
        return s;
    }

    static QString caseGroup(const QString &inner, bool caseless)
    {
        return (caseless ? QStringLiteral("(?i:") : QStringLiteral("(?:")) + inner + QLatin1Char(')');
    }

    // Literal texts with one rule: the longest that meets the rule, as the engine takes it.
    Candidate literals(QStringList texts, bool caseless, int rule) const
    {
        Candidate c;
        std::sort(texts.begin(), texts.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        texts.removeDuplicates();
        QStringList escaped;
        FirstChars fc;
        for (const QString &t : texts) {
            escaped << escapeLiteral(t);
            addChar(fc, t.at(0).unicode(), caseless);
            c.texts << folded(t);
        }
        c.texts.sort();
        const TokenRule &r = d.rules[size_t(rule)];
        c.match = QStringLiteral("(?>%1%2%3)").arg(before(r), caseGroup(escaped.join(QLatin1Char('|')), caseless), after(r));
        c.first = fc;
        c.literal = true;
        return c;
    }

    // A regexp token: its preferred match when that meets the rule; for rule word, else the preferred
    // match that ends where a word may end.
    Candidate regexp(const QString &pattern, bool caseless, int rule) const
    {
        Candidate c;
        const TokenRule &r = d.rules[size_t(rule)];
        c.guardable = !standsAlone(pattern);
        const QString first = QStringLiteral("%1(?>%2)%3").arg(before(r), caseGroup(pattern, caseless), after(r));
        if (r.word && c.guardable && !retryClass.isEmpty()) {
            const QString retry = caseGroup(QStringLiteral("(?:%1)(?:(?<!%2)|(?!%2))").arg(pattern, retryClass), caseless);
            c.match = QStringLiteral("(?>%1|%2(?>%3)%4)").arg(first, before(r), retry, after(r));
        } else {
            c.match = QStringLiteral("(?>%1)").arg(first);
        }
        c.first = PatternAnalysis::firstChars(pattern, caseless);
        return c;
    }

    Candidate closer(const EndToken &e, bool caseless) const
    {
        if (e.isRegexp)
            return regexp(d.regexps[size_t(e.regexp)].pattern->pattern(), caseless, e.rule);
        return literals({e.text}, caseless, e.rule);
    }

    int closerClass(int tokenset, int token) const
    {
        const CompiledTokenset &t = d.tokensets[size_t(tokenset)];
        if (!t.scope)
            return -1;
        if (t.symmetrical)
            return token;
        return token < int(t.ends.size()) ? token : -1;
    }

    void buildTokenCandidates();
    std::vector<Candidate> closers(int tokenset, int cls) const;
    std::vector<Candidate> candidates(const Key &key) const;
    Key child(const Key &parent, int tokenset, int cls) const;
    QString contextName(const Key &key);
    // A tokenset's name as contexts are named after it: no "##", which would name another definition.
    QString contextBase(int tokenset) const
    {
        QString base = d.definition.tokensets[tokenset].name;
        for (QChar &c : base)
            if (!c.isLetterOrNumber() && c != u' ' && c != u'_' && c != u'-' && c != u'.')
                c = u'_';
        return base.trimmed();
    }
    QString itemName(int tokenset) const
    {
        return tokenset < 0 || tokenset >= int(items.size()) ? fallbackItem : items[size_t(tokenset)];
    }
    // A later rule of a context, and whether it wins where it matches as far.
    struct Rival {
        const Candidate *candidate;
        bool winsTies;
    };
    QString rule(const Candidate &c, const std::vector<Rival> &later);
    QString rule(const Candidate &c, const std::vector<Candidate> &all, size_t index);
    QString cachedRule(const Key &key, const std::vector<Candidate> &all, const std::vector<size_t> &order, size_t at,
                       size_t firstOwn);
    QString ruleXml(const Key &key, const Candidate &c, const QString &pattern);
    QString contextXml(const Key &key);
    QString sharedRules(const Key &key, const QString &rules);
    void planSharing();
    void nameItems();

    const CompiledLanguage &lang;
    const CompiledLanguageData &d;
    KdeSyntaxWriter::Options options;
    QString wordClass;
    QString retryClass;
    QStringList notes;
    // Per tokenset, its tokens' rules in the order of their first token.
    std::vector<std::vector<Candidate>> tokenCandidates;
    QStringList items;
    QString fallbackItem;
    std::map<QString, QString> contextNames;
    mutable QHash<QString, Candidate> closerByMatch;
    std::deque<Key> pending;
    bool tooMany = false;
    // Scopes whose tokens' rules are written once, in contexts the scope's contexts include: those
    // opened in more than one way (closer classes, chained closers, inside a single-line scope or not).
    std::vector<bool> shared;
    QHash<QString, QString> rulesByKey;     // a rule's regular expression, by what it is made of
    QHash<QString, QString> sharedByRules;  // the context that holds a run of rules, by those rules
    QStringList sharedContexts;
};

void Writer::buildTokenCandidates()
{
    const int n = int(d.tokensets.size());
    tokenCandidates.assign(size_t(n), {});
    // Literal tokens of one tokenset, closer class and rule go into one rule; each keeps its first
    // token's place.
    struct Group {
        int firstToken;
        int cls;
        int rule;
        bool caseless;
        QStringList texts;
    };
    std::vector<std::vector<Group>> groups(static_cast<size_t>(n));
    std::vector<std::vector<std::pair<int, Candidate>>> ordered(static_cast<size_t>(n));
    for (const LiteralToken &lit : d.literals) {
        const int cls = closerClass(lit.tokenset, lit.token);
        auto &list = groups[size_t(lit.tokenset)];
        auto it = std::find_if(list.begin(), list.end(),
                               [&](const Group &g) { return g.cls == cls && g.rule == lit.rule; });
        if (it == list.end())
            list.push_back(Group{lit.token, cls, lit.rule, !lit.caseSensitive, {lit.text}});
        else
            it->texts << lit.text;
    }
    for (int t = 0; t < n; ++t) {
        for (const Group &g : groups[size_t(t)]) {
            Candidate c = literals(g.texts, g.caseless, g.rule);
            c.pushClass = g.cls;
            ordered[size_t(t)].push_back({g.firstToken, c});
        }
    }
    for (const RegexpToken &rt : d.regexpTokens) {
        Candidate c = regexp(d.regexps[size_t(rt.regexp)].pattern->pattern(), !rt.caseSensitive, rt.rule);
        c.pushClass = closerClass(rt.tokenset, rt.token);
        ordered[size_t(rt.tokenset)].push_back({rt.token, c});
    }
    for (int t = 0; t < n; ++t) {
        auto &list = ordered[size_t(t)];
        std::stable_sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &[token, c] : list) {
            c.tokenset = t;
            if (d.tokensets[size_t(t)].scope)
                c.pushTokenset = t;
            else
                c.pushClass = -1;
            tokenCandidates[size_t(t)].push_back(c);
        }
    }
}

std::vector<Candidate> Writer::closers(int tokenset, int cls) const
{
    std::vector<Candidate> out;
    const CompiledTokenset &t = d.tokensets[size_t(tokenset)];
    auto add = [&](const EndToken &e) {
        if ((e.isRegexp && e.regexp < 0) || (!e.isRegexp && e.text.isEmpty()))
            return;
        Candidate c = closer(e, !e.caseSensitive);
        c.tokenset = tokenset;
        out.push_back(c);
    };
    if (t.symmetrical) {
        for (const EndToken &e : t.starts)
            if (e.token == cls)
                add(e);
    } else if (cls >= 0 && cls < int(t.ends.size())) {
        add(t.ends[size_t(cls)]);
    } else {
        for (const EndToken &e : t.ends)
            add(e);
    }
    return out;
}

// The rules of a context: the closers of the scopes chained to it, which give way to the innermost
// scope's closers where those match as far (the engine ranks these first); then in the order the
// engine ranks equal matches, the closers of the innermost scope and the tokens valid here. Chained
// closers first, the rules after them are the same whatever scopes the context is opened in (so a
// reader can tell contexts that differ only in them apart). A token that repeats an earlier token
// can never win and is left out; one that repeats a closer never wins either but is kept, so that the
// tokens are the same in every context of the scope, whichever of its closers it has.
std::vector<Candidate> Writer::candidates(const Key &key) const
{
    std::vector<Candidate> out;
    if (key.top >= 0) {
        std::vector<Candidate> own = closers(key.top, key.cls);
        for (const QString &match : key.chain) {
            if (std::none_of(own.begin(), own.end(), [&match](const Candidate &c) { return c.match == match; })) {
                Candidate c = closerByMatch.value(match);
                c.passes = true;
                out.push_back(std::move(c));
            }
        }
        for (Candidate &c : own) {
            c.closes = true;
            out.push_back(std::move(c));
        }
    }
    const ContextData &context = d.context(key.top);
    for (int t = 0; t < int(d.tokensets.size()); ++t)
        if (context.valid[size_t(t)])
            out.insert(out.end(), tokenCandidates[size_t(t)].begin(), tokenCandidates[size_t(t)].end());
    QSet<QString> seen;
    std::vector<Candidate> unique;
    for (Candidate &c : out) {
        const QString id = (c.closes ? QStringLiteral("c") : QStringLiteral("t")) + c.match;
        if (c.passes || !seen.contains(id)) {
            if (!c.passes)
                seen.insert(id);
            unique.push_back(std::move(c));
        }
    }
    return unique;
}

Key Writer::child(const Key &parent, int tokenset, int cls) const
{
    Key k;
    k.top = tokenset;
    k.cls = cls;
    const CompiledTokenset &t = d.tokensets[size_t(tokenset)];
    // A single-line scope ends at the line end and so does all it opens, wherever it is opened.
    k.inSingle = !t.singleLine && (parent.inSingle || (parent.top >= 0 && d.tokensets[size_t(parent.top)].singleLine));
    if (parent.top < 0 || !t.transparent)
        return k;
    const CompiledTokenset &p = d.tokensets[size_t(parent.top)];
    if (p.chain)
        for (const Candidate &c : closers(parent.top, parent.cls)) {
            closerByMatch.insert(c.match, c);
            k.chain << c.match;
        }
    if (p.transparent)
        k.chain << parent.chain;
    // A closer chained to a scope that chains its own closers too, and that one of them repeats, is
    // one of its own closers in this context and in all it opens.
    if (t.chain)
        for (const Candidate &c : closers(tokenset, cls))
            k.chain.removeAll(c.match);
    k.chain.sort();
    k.chain.removeDuplicates();
    return k;
}

QString Writer::contextName(const Key &key)
{
    QString text = key.text();
    auto it = contextNames.find(text);
    if (it != contextNames.end())
        return it->second;
    if (contextNames.size() >= size_t(kMaxContexts) && !key.chain.isEmpty()) {
        // Scopes that nest in too many ways: further contexts forget the closers chained to them.
        if (!tooMany)
            notes << QStringLiteral("the scopes nest in too many ways: beyond %1 contexts, closers of enclosing "
                                    "scopes do not close inner ones").arg(kMaxContexts);
        tooMany = true;
        Key plain = key;
        plain.chain.clear();
        return contextName(plain);
    }
    QString name;
    if (key.top < 0) {
        name = QStringLiteral("Outer");
    } else {
        name = QStringLiteral("%1 %2").arg(contextNames.size()).arg(contextBase(key.top));
    }
    contextNames.emplace(text, name);
    pending.push_back(key);
    return name;
}

// One rule: its match, given way to every later rule that could match further. The look-ahead keeps
// what follows this rule's match; a later rule outruns it when that is not left after its own match
// (a closer of the innermost scope after a chained closer: when less than that is left). Chained
// closers do not give way to each other: whichever is taken, the context closes and leaves the text
// to the one below, so the rule is the same in every context of the scope whatever else is chained.
QString Writer::rule(const Candidate &c, const std::vector<Candidate> &all, size_t index)
{
    std::vector<Rival> later;
    for (size_t j = index + 1; j < all.size(); ++j)
        if (!all[j].passes)
            later.push_back({&all[j], c.passes && all[j].closes});
    return rule(c, later);
}

QString Writer::rule(const Candidate &c, const std::vector<Rival> &later)
{
    QString guards;
    if (c.guardable)
        for (const Rival &r : later)
            if (r.candidate->guardable && canOutrun(c, *r.candidate, r.winsTies))
                guards += QStringLiteral("(?!%1(?![\\s\\S]%2?\\k<vlxRest>(?![\\s\\S])))")
                              .arg(r.candidate->match, r.winsTies ? QStringLiteral("+") : QStringLiteral("*"));
    const QString pattern = guards.isEmpty()
                                ? QStringLiteral("(*UCP)%1").arg(c.match)
                                : QStringLiteral("(*UCP)(?=%1(?<vlxRest>[\\s\\S]*))%2%1").arg(c.match, guards);
    if (QRegularExpression(pattern).isValid())
        return pattern;
    const QString alone = QStringLiteral("(*UCP)%1").arg(c.match);
    notes << QStringLiteral("tokenset \"%1\": a rule that cannot look ahead at the others (%2) does not give way to longer "
                            "matches")
                 .arg(d.definition.tokensets[c.tokenset].name, QRegularExpression(pattern).errorString());
    return QRegularExpression(alone).isValid() ? alone : QStringLiteral("(?!)");
}

// The scopes opened in more than one way: their contexts differ in their closers and in the scopes
// their transparent scopes chain to, not in their tokens, which are then written once.
void Writer::planSharing()
{
    shared.assign(d.tokensets.size(), false);
    std::vector<int> ways(d.tokensets.size(), 0);
    QSet<QString> seen{Key{}.text()};
    std::deque<Key> todo{Key{}};
    while (!todo.empty()) {
        const Key key = todo.front();
        todo.pop_front();
        if (key.top >= 0)
            ++ways[size_t(key.top)];
        for (const Candidate &c : candidates(key)) {
            if (c.closes || c.passes || c.pushTokenset < 0)
                continue;
            Key k = child(key, c.pushTokenset, c.pushClass);
            if (seen.size() >= kMaxContexts)
                k.chain.clear(); // as contextName() cuts them
            if (!seen.contains(k.text())) {
                seen.insert(k.text());
                todo.push_back(k);
            }
        }
    }
    for (size_t t = 0; t < ways.size(); ++t)
        shared[t] = ways[t] > 1;
}

// A rule's regular expression, made once for all the contexts of a scope that hold it: the rules
// after the chained closers are the same for one scope and closer class, and a chained closer gives
// way to those rules only. The rules come in `order`; a rival that came first in the engine's order
// of ties wins where it matches as far.
QString Writer::cachedRule(const Key &key, const std::vector<Candidate> &all, const std::vector<size_t> &order, size_t at,
                           size_t firstOwn)
{
    const size_t index = order[at];
    const Candidate &c = all[index];
    const QString id = c.passes ? QStringLiteral("p/%1/%2/%3").arg(key.top).arg(key.cls).arg(c.match)
                                : QStringLiteral("r/%1/%2/%3").arg(key.top).arg(key.cls).arg(index - firstOwn);
    auto it = rulesByKey.find(id);
    if (it == rulesByKey.end()) {
        std::vector<Rival> later;
        for (size_t k = at + 1; k < order.size(); ++k)
            if (!all[order[k]].passes)
                later.push_back({&all[order[k]], (c.passes && all[order[k]].closes) || order[k] < index});
        it = rulesByKey.insert(id, attr(rule(c, later)));
    }
    return it.value();
}

QString Writer::ruleXml(const Key &key, const Candidate &c, const QString &pattern)
{
    QString target = QStringLiteral("#stay");
    if (c.closes || c.passes)
        target = QStringLiteral("#pop");
    else if (c.pushTokenset >= 0)
        target = contextName(child(key, c.pushTokenset, c.pushClass));
    return QStringLiteral("        <RegExpr attribute=\"%1\" context=\"%2\" String=\"%3\"%4/>\n")
        .arg(attr(itemName(c.tokenset)), attr(target), pattern, c.passes ? QStringLiteral(" lookAhead=\"1\"") : QString());
}

// An IncludeRules of the context that holds these rules, made the first time they are met.
QString Writer::sharedRules(const Key &key, const QString &rules)
{
    if (rules.isEmpty())
        return QString();
    auto it = sharedByRules.find(rules);
    if (it == sharedByRules.end()) {
        // ":" never stands in the name of a context of a scope.
        const QString name = QStringLiteral("%1:rules %2").arg(contextBase(key.top)).arg(sharedByRules.size());
        it = sharedByRules.insert(rules, name);
        // Its attribute colours nothing (it is only included): one no scope's context has, whichever
        // scopes include it, so that a reader finds it alike for each and like none of theirs.
        sharedContexts << QStringLiteral("      <context name=\"%1\" attribute=\"%2\" lineEndContext=\"#stay\">\n")
                              .arg(attr(name), attr(fallbackItem))
                          + rules + QStringLiteral("      </context>\n");
    }
    return QStringLiteral("        <IncludeRules context=\"%1\"/>\n").arg(attr(it.value()));
}

// A context: the chained closers and the scope's own closers, then its tokens. For a scope opened in
// more than one way these are included from contexts written once. The rules that open a transparent
// scope come last: the closers chained to that scope depend on this context's, yet many contexts
// open the same ones, so they too are included, from a context per run of such rules.
QString Writer::contextXml(const Key &key)
{
    const bool single = key.top >= 0 && (key.inSingle || d.tokensets[size_t(key.top)].singleLine);
    const int attribute = key.top >= 0 ? key.top : lang.textTokenset();
    QString out = QStringLiteral("      <context name=\"%1\" attribute=\"%2\" lineEndContext=\"%3\">\n")
                      .arg(attr(contextName(key)), attr(itemName(attribute)),
                           single ? QStringLiteral("#pop") : QStringLiteral("#stay"));
    const std::vector<Candidate> all = candidates(key);
    if (key.top < 0 || !shared[size_t(key.top)]) {
        for (size_t i = 0; i < all.size(); ++i)
            out += ruleXml(key, all[i], attr(rule(all[i], all, i)));
        return out + QStringLiteral("      </context>\n");
    }
    // The closers, then the tokens the scope's contexts share, then the rules that open a transparent
    // scope: what the closers chained to that scope are depends on this context. Written last, those
    // rules need not be looked ahead at by the shared ones but the other way round.
    const CompiledTokenset &top = d.tokensets[size_t(key.top)];
    auto part = [&](const Candidate &c) {
        if (c.passes || c.closes)
            return 0;
        const bool opensTransparent = c.pushTokenset >= 0 && d.tokensets[size_t(c.pushTokenset)].transparent;
        return opensTransparent && (top.chain || top.transparent) ? 2 : 1;
    };
    std::vector<size_t> order;
    for (int p = 0; p < 3; ++p)
        for (size_t i = 0; i < all.size(); ++i)
            if (part(all[i]) == p)
                order.push_back(i);
    const size_t firstOwn = size_t(std::count_if(all.begin(), all.end(), [](const Candidate &c) { return c.passes; }));
    // Each chained closer, the scope's own closers, the shared tokens and the rules that open a
    // transparent scope are each included from a context of their own: the same for every context
    // that holds them.
    QString run;
    int runKind = -1;
    for (size_t at = 0; at < order.size(); ++at) {
        const Candidate &c = all[order[at]];
        const QString line = ruleXml(key, c, cachedRule(key, all, order, at, firstOwn));
        const int kind = c.passes ? 0 : c.closes ? 1 : part(c) + 1; // 3: opens a transparent scope
        if (kind != runKind || kind == 0) {
            out += sharedRules(key, run);
            run.clear();
        }
        runKind = kind;
        run += line;
    }
    out += sharedRules(key, run);
    return out + QStringLiteral("      </context>\n");
}

void Writer::nameItems()
{
    QSet<QString> used;
    auto unique = [&used](const QString &name) {
        QString candidate = name;
        for (int k = 2; used.contains(candidate); ++k)
            candidate = QStringLiteral("%1 (%2)").arg(name).arg(k);
        used.insert(candidate);
        return candidate;
    };
    for (const TokensetDefinition &t : d.definition.tokensets)
        items << unique(t.name);
    fallbackItem = unique(QStringLiteral("Normal Text"));
}

QString colour(qint32 bgr)
{
    return QStringLiteral("#%1%2%3")
        .arg(bgr & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// The KDE default style nearest to what a tokenset id colours, so that themes still apply.
QString defaultStyle(int id)
{
    static const char *const styles[] = {
        "dsNormal",   "dsDecVal",    "dsKeyword",   "dsOperator",  "dsNormal",         "dsComment",
        "dsComment",  "dsString",    "dsKeyword",   "dsNormal",    "dsChar",           "dsKeyword",
        "dsOthers",   "dsOthers",    "dsOthers",    "dsVariable",  "dsSpecialChar",    "dsChar",
        "dsNormal",   "dsAttribute", "dsAttribute", "dsAttribute", "dsVariable",       "dsKeyword",
        "dsVerbatimString", "dsPreprocessor", "dsConstant", "dsNormal", "dsOperator", "dsNormal",
        "dsOperator"};
    return id >= 1 && id <= int(std::size(styles)) ? QString::fromLatin1(styles[id - 1]) : QStringLiteral("dsNormal");
}

// Contexts that act alike are one: the same attributes and rules, where the contexts the rules lead to
// or include act alike in turn. A scope nested in many ways reaches such contexts by different closers
// chained to it (one that its own closer repeats, say). A context that is only included (all but the
// first `opened`) is alike only with another such. The first of each kind is kept.
QStringList mergeAlikeContexts(const QStringList &contexts, qsizetype opened)
{
    static const QRegularExpression named(QStringLiteral("^ *<context name=\"([^\"]*)\""));
    static const QRegularExpression reference(QStringLiteral("context=\"([^\"]*)\""));
    const qsizetype n = contexts.size();
    QHash<QString, qsizetype> index;
    std::vector<qsizetype> nameEnd(static_cast<size_t>(n), 0);
    for (qsizetype i = 0; i < n; ++i) {
        const QRegularExpressionMatch m = named.match(contexts[i]);
        index.insert(m.captured(1), i);
        nameEnd[size_t(i)] = m.capturedEnd(1);
    }
    // Each context's text without its name and the contexts it refers to, and those, in order.
    QHash<QString, int> bodyIds;
    std::vector<int> body(static_cast<size_t>(n));
    std::vector<std::vector<qsizetype>> targets(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i) {
        const QString &text = contexts[i];
        QString shape = i < opened ? QStringLiteral("o") : QStringLiteral("i");
        qsizetype from = nameEnd[size_t(i)];
        for (auto it = reference.globalMatch(text, from); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const qsizetype to = index.value(m.captured(1), -1);
            if (to < 0)
                continue;
            shape += QStringView(text).mid(from, m.capturedStart(1) - from);
            targets[size_t(i)].push_back(to);
            from = m.capturedEnd(1);
        }
        shape += QStringView(text).mid(from);
        body[size_t(i)] = bodyIds.insert(shape, bodyIds.value(shape, int(bodyIds.size()))).value();
    }
    std::vector<int> kind(static_cast<size_t>(n), 0);
    for (int count = 1;;) {
        QHash<QString, int> ids;
        std::vector<int> next(static_cast<size_t>(n));
        for (qsizetype i = 0; i < n; ++i) {
            QString key = QStringLiteral("%1|%2").arg(kind[size_t(i)]).arg(body[size_t(i)]);
            for (const qsizetype to : targets[size_t(i)])
                key += u',' + QString::number(kind[size_t(to)]);
            next[size_t(i)] = ids.insert(key, ids.value(key, int(ids.size()))).value();
        }
        kind = std::move(next);
        if (int(ids.size()) == count)
            break;
        count = int(ids.size());
    }
    std::vector<qsizetype> first(static_cast<size_t>(n), -1);
    for (qsizetype i = 0; i < n; ++i)
        if (first[size_t(kind[size_t(i)])] < 0)
            first[size_t(kind[size_t(i)])] = i;
    QStringList names(index.size());
    for (auto it = index.cbegin(); it != index.cend(); ++it)
        names[it.value()] = it.key();
    QStringList out;
    for (qsizetype i = 0; i < n; ++i) {
        if (first[size_t(kind[size_t(i)])] != i)
            continue;
        const QString &text = contexts[i];
        QString kept;
        qsizetype from = 0;
        for (auto it = reference.globalMatch(text, nameEnd[size_t(i)]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const qsizetype to = index.value(m.captured(1), -1);
            if (to < 0)
                continue;
            kept += QStringView(text).mid(from, m.capturedStart(1) - from);
            kept += names[first[size_t(kind[size_t(to)])]];
            from = m.capturedEnd(1);
        }
        out << kept + text.mid(from);
    }
    return out;
}

KdeSyntaxWriter::Result Writer::run()
{
    nameItems();
    KdeSyntaxWriter::Result result;
    QStringList written;
    contextName(Key{});
    planSharing();
    while (!pending.empty()) {
        const Key key = pending.front();
        pending.pop_front();
        written << contextXml(key);
    }
    const qsizetype opened = written.size();
    written << sharedContexts;
    written = mergeAlikeContexts(written, opened);
    result.contexts = int(written.size());
    const QString contexts = written.join(QString());
    for (const auto &list : tokenCandidates)
        for (const Candidate &c : list)
            if (!c.guardable)
                notes << QStringLiteral("tokenset \"%1\": a regexp that refers to its own groups or begins with a verb "
                                        "does not give way to longer matches")
                             .arg(d.definition.tokensets[c.tokenset].name);
    notes.removeDuplicates();

    // Each item says all of its look, so that no theme changes what Varlex shows: a tokenset without a
    // colour of its own shows in the text colour of the pane, which is KDE's normal text (dsNormal); a
    // background is written where it is not the pane's white, whatever the text tokenset's is.
    QString itemXml;
    auto item = [&](const QString &name, int id, const TokensetStyle &s) {
        itemXml += QStringLiteral("      <itemData name=\"%1\" defStyleNum=\"%2\"")
                       .arg(attr(name), s.fore < 0 ? QStringLiteral("dsNormal") : defaultStyle(id));
        if (s.fore >= 0)
            itemXml += QStringLiteral(" color=\"%1\"").arg(colour(s.fore));
        if (s.back >= 0 && (s.back & 0xFFFFFF) != 0xFFFFFF)
            itemXml += QStringLiteral(" backgroundColor=\"%1\"").arg(colour(s.back));
        itemXml += QStringLiteral(" bold=\"%1\" italic=\"%2\" underline=\"%3\"")
                       .arg(int(s.bold))
                       .arg(int(s.italic))
                       .arg(int(s.underline || s.hyperlink));
        itemXml += QStringLiteral(" spellChecking=\"false\"/>\n");
    };
    for (int t = 0; t < int(d.tokensets.size()); ++t)
        item(itemName(t), d.definition.tokensets[t].id, lang.style(t));
    item(fallbackItem, 1, lang.defaultStyle());

    // Word characters: KDE's delimiters less those that are word characters here, plus the printable
    // ASCII characters that are not.
    const QString kdeDelimiters = QStringLiteral(".():!+,-<=>%&*/;?[]^{|}~\\");
    QString weak, additional;
    for (char16_t c = 33; c < 127; ++c) {
        const bool word = lang.isWordChar(c);
        if (kdeDelimiters.contains(QChar(c)) && word)
            weak += QChar(c);
        else if (!kdeDelimiters.contains(QChar(c)) && !word)
            additional += QChar(c);
    }

    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE language>\n");
    out += QStringLiteral("<!-- Written by Varlex from the language \"%1\". -->\n")
               .arg(XmlText::escapeMarkup(d.definition.name).replace(QStringLiteral("--"), QStringLiteral("- -")));
    out += QStringLiteral("<language name=\"%1\" section=\"Other\" version=\"%2\" kateversion=\"5.0\" extensions=\"%3\" "
                          "casesensitive=\"%4\" author=\"\" license=\"\">\n")
               .arg(attr(d.definition.name))
               .arg(options.version)
               .arg(attr(options.extensions))
               .arg(d.definition.casesensitive ? 1 : 0);
    out += QStringLiteral("  <highlighting>\n    <contexts>\n");
    out += contexts;
    out += QStringLiteral("    </contexts>\n    <itemDatas>\n");
    out += itemXml;
    out += QStringLiteral("    </itemDatas>\n  </highlighting>\n  <general>\n");
    out += QStringLiteral("    <keywords casesensitive=\"%1\" weakDeliminator=\"%2\" additionalDeliminator=\"%3\"/>\n")
               .arg(d.definition.casesensitive ? 1 : 0)
               .arg(attr(weak), attr(additional));
    out += QStringLiteral("  </general>\n</language>\n");
    result.xml = out.toUtf8();
    result.notes = notes;
    return result;
}

} // namespace

namespace KdeSyntaxWriter {

Result write(const CompiledLanguage &language, const Options &options)
{
    Writer writer(language, options);
    return writer.run();
}

QString fileName(const QString &languageName)
{
    QString base = languageName.toLower();
    for (QChar &c : base)
        if (!c.isLetterOrNumber() && c != u'+' && c != u'-' && c != u'_')
            c = u'_';
    return base + QStringLiteral(".xml");
}

} // namespace KdeSyntaxWriter
