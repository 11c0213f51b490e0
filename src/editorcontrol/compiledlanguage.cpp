#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/matchkey.h"

#include <QHash>
#include <QMutex>

#include <algorithm>
#include <map>

namespace {

constexpr MatchKey OrdinaryTokens = MatchKey(1) << 40;

MatchKey tokenKey(int tokenset, int token)
{
    return OrdinaryTokens | matchKey(MatchKey(tokenset), token);
}

// Rule text: "", "word", "colN", "leadwith[X]", "trailwith[X]", joined with "|" ("leadwith[a]|trailwith[b]").
// X sits between any of the bracket pairs the token editor accepts; an unknown piece counts as "word".
TokenRule parseRule(const QString &text)
{
    TokenRule rule;
    QString rest = text.trimmed();
    while (!rest.isEmpty()) {
        // A piece ends where "|" is followed by another rule keyword, so X itself may hold "|".
        qsizetype end = rest.size();
        for (qsizetype bar = rest.indexOf(QLatin1Char('|')); bar >= 0; bar = rest.indexOf(QLatin1Char('|'), bar + 1)) {
            const QStringView after = QStringView(rest).mid(bar + 1).trimmed();
            if (after.startsWith(u"word", Qt::CaseInsensitive) || after.startsWith(u"col", Qt::CaseInsensitive)
                || after.startsWith(u"leadwith", Qt::CaseInsensitive) || after.startsWith(u"trailwith", Qt::CaseInsensitive)) {
                end = bar;
                break;
            }
        }
        const QString piece = rest.left(end).trimmed();
        rest = end < rest.size() ? rest.mid(end + 1).trimmed() : QString();
        const QString lower = piece.toLower();
        auto bracketed = [&](int keywordLength) {
            // The character after the keyword opens, the last one closes.
            return piece.size() >= keywordLength + 2 ? piece.mid(keywordLength + 1, piece.size() - keywordLength - 2)
                                                     : QString();
        };
        if (lower.isEmpty() || lower == QLatin1String("null")) {
            continue;
        } else if (lower.startsWith(QLatin1String("leadwith"))) {
            rule.hasLead = true;
            rule.lead = bracketed(8);
        } else if (lower.startsWith(QLatin1String("trailwith"))) {
            rule.hasTrail = true;
            rule.trail = bracketed(9);
        } else if (lower.startsWith(QLatin1String("col"))) {
            bool ok = false;
            const int n = lower.mid(3).trimmed().toInt(&ok);
            rule.column = ok && n > 0 ? n : 1; // "col" and "col0" name the first column
        } else {
            rule.word = true;
        }
    }
    for (auto [set, ascii] : {std::pair{&rule.lead, rule.leadAscii}, std::pair{&rule.trail, rule.trailAscii}})
        for (QChar c : *set)
            if (c.unicode() < 128)
                ascii[c.unicode() >> 6] |= quint64(1) << (c.unicode() & 63);
    return rule;
}

void resolveColour(const CompiledLanguageData &d, int tokenset, int textTokenset, qint32 TokensetDefinition::*field,
                   qint32 TokensetStyle::*out, TokensetStyle &style)
{
    // Own colour, then along the inheritfrom chain, then the "text" tokenset; -1 is the pane's default.
    const auto &sets = d.definition.tokensets;
    QVector<int> seen;
    int t = tokenset;
    while (t >= 0 && !seen.contains(t)) {
        seen.append(t);
        const qint32 value = sets[t].*field;
        if (value >= 0) {
            style.*out = value;
            return;
        }
        t = -1;
        const QString &parent = sets[seen.last()].inheritfrom;
        if (!parent.isEmpty()) {
            for (int i = 0; i < sets.size(); ++i)
                if (sets[i].name == parent) {
                    t = i;
                    break;
                }
        }
    }
    if (textTokenset >= 0 && !seen.contains(textTokenset)) {
        const qint32 value = sets[textTokenset].*field;
        if (value >= 0)
            style.*out = value;
    }
}

QString regexpProblem(const LanguageDefinition &def, const TokensetDefinition &set, const TokenDefinition &token,
                      const QString &error)
{
    return QStringLiteral("%1: tokenset \"%2\", token \"%3\": invalid regular expression: %4")
        .arg(def.fileName, set.name, token.text, error);
}

// The text a regexp token stands for when it is plain text ("kw1") that compares as a literal does:
// case-sensitive, or ASCII only (where the regexp engine's caseless matching and case folding agree).
std::optional<QString> plainTextOf(const QString &pattern, bool caseSensitive)
{
    std::optional<QString> text = PatternAnalysis::plainText(pattern);
    if (text && !caseSensitive)
        for (QChar c : *text)
            if (c.unicode() >= 128)
                return std::nullopt;
    return text;
}

// A text that folding leaves alone is shared, not copied: most tokens of a large language.
QString folded(const QString &text)
{
    QString key = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = foldChar(text.at(i).unicode());
        if (c != text.at(i).unicode())
            key[i] = QChar(c);
    }
    return key;
}

// Fills a table from keys (folded texts) and their entries in priority order.
void buildTable(LiteralTable &table, const QStringList &order, const QHash<QString, std::vector<int>> &groups)
{
    quint32 size = 16;
    while (size < quint32(order.size()) * 2 + 1)
        size <<= 1;
    table.slots.assign(size, LiteralTable::Slot{});
    table.mask = size - 1;
    for (const QString &key : order) {
        quint32 h = HashSeed;
        for (QChar c : key)
            h = hashStep(h, c.unicode());
        quint32 i = h & table.mask;
        while (table.slots[i].keyLength >= 0)
            i = (i + 1) & table.mask;
        LiteralTable::Slot &slot = table.slots[i];
        slot.hash = h;
        slot.keyLength = int(key.size());
        slot.keyStart = int(table.keys.size());
        for (QChar c : key)
            table.keys.push_back(c.unicode());
        const std::vector<int> &members = groups[key];
        slot.first = int(table.entries.size());
        slot.count = int(members.size());
        table.entries.insert(table.entries.end(), members.begin(), members.end());
        table.maxLength = std::max(table.maxLength, slot.keyLength);
    }
}

// Where only literals and prefixes begin with character b (below 128), none of them b alone but at
// most one regexp token's prefix: that token is the sole one wherever the next character is none of
// the second characters of the others (when it is of fixed ways and held to no rule), or nothing is.
void soleBySecond(const CompiledLanguageData &d, ContextData &c, int b)
{
    const char16_t f = foldChar(char16_t(b));
    int sole = -1;
    for (int r = 0; r < int(d.regexpTokens.size()); ++r) {
        const RegexpToken &rt = d.regexpTokens[size_t(r)];
        if (!c.valid[size_t(rt.tokenset)] || !rt.required.isEmpty() || rt.prefix.size() != 1
            || foldChar(rt.prefix.at(0).unicode()) != f || (rt.caseSensitive && rt.prefix.at(0) != QChar(b)))
            continue;
        if (sole >= 0)
            return;
        sole = r;
    }
    if (sole < 0 || (d.regexpTokens[size_t(sole)].rule == 0 && d.regexps[size_t(d.regexpTokens[size_t(sole)].regexp)].direct == 2)) {
        c.soleSecond[b] = sole;
        c.soleSimple[b] = kSoleSecond;
    }
}

// Where several regexp tokens may begin with character b in context c: when all but one simple
// token ask for a character before the place (a lookbehind the regexp is checked for first, or a
// rule leadwith that is looked at before the regexp is tried), that one is the sole token at any
// place whose character before is none of theirs.
void soleUnlessAfter(const CompiledLanguageData &d, ContextData &c, int b)
{
    int sole = -1;
    quint64 after[2] = {0, 0};
    struct Gated {
        int token;
        quint64 before[2];
        bool leadOnly; // simple, held to its leadwith alone
    };
    std::vector<Gated> gates;
    for (int i = c.byFirstStart[b]; i < c.byFirstStart[b + 1]; ++i) {
        const int r = c.byFirst[size_t(i)];
        const RegexpToken &rt = d.regexpTokens[size_t(r)];
        const Regexp &re = d.regexps[size_t(rt.regexp)];
        const TokenRule &rule = d.rules[size_t(rt.rule)];
        quint64 before[2] = {~quint64(0), ~quint64(0)};
        bool gated = false;
        if (rt.ruleAtStart && rule.hasLead && rule.column == 0) {
            before[0] &= rule.leadAscii[0];
            before[1] &= rule.leadAscii[1];
            gated = true;
        }
        if (re.charsBefore && !re.direct) {
            before[0] &= re.charsBefore->ascii[0];
            before[1] &= re.charsBefore->ascii[1];
            gated = true;
        }
        if (gated) {
            after[0] |= before[0];
            after[1] |= before[1];
            gates.push_back({r, {before[0], before[1]}, re.simple && !re.charsBefore && !rule.word && !rule.hasTrail});
        } else if (sole < 0 && re.simple) {
            sole = r;
        } else {
            return;
        }
    }
    if (sole < 0)
        return;
    c.soleSimple[b] = -2 - sole;
    c.soleAfter[b][0] = after[0];
    c.soleAfter[b][1] = after[1];
    // After a character of its own leadwith, a simple token held to that alone is the one that counts
    // when it comes first and takes the same characters after the first as the sole one: their
    // matches are of one length, and the earlier wins.
    // Where the character before is one of its leadwith and of no other's.
    for (const Gated &g : gates) {
        quint64 mask[2] = {g.before[0], g.before[1]};
        for (const Gated &h : gates)
            if (&h != &g) {
                mask[0] &= ~h.before[0];
                mask[1] &= ~h.before[1];
            }
        if (!g.leadOnly || (mask[0] == 0 && mask[1] == 0))
            continue;
        const RegexpToken &lead = d.regexpTokens[size_t(g.token)], &other = d.regexpTokens[size_t(sole)];
        const PatternAnalysis::SimplePattern &a = *d.regexps[size_t(lead.regexp)].simple;
        const PatternAnalysis::SimplePattern &o = *d.regexps[size_t(other.regexp)].simple;
        auto same = [](const PatternAnalysis::CharClass &x, const PatternAnalysis::CharClass &y) {
            return x.ascii[0] == y.ascii[0] && x.ascii[1] == y.ascii[1] && x.word == y.word && x.digit == y.digit
                   && x.space == y.space && x.notWord == y.notWord && x.notDigit == y.notDigit && x.notSpace == y.notSpace
                   && x.ranges == y.ranges && x.negated == y.negated;
        };
        if (lead.key < other.key && a.restMinimum == o.restMinimum && a.caseless == o.caseless && same(a.rest, o.rest)
            && ((a.firstAscii[b >> 6] >> (b & 63)) & 1) && ((o.firstAscii[b >> 6] >> (b & 63)) & 1)) {
            c.soleLead[b] = g.token;
            c.soleLeadBefore[b][0] = mask[0];
            c.soleLeadBefore[b][1] = mask[1];
            break;
        }
    }
}

} // namespace

const LiteralTable::Slot *LiteralTable::find(quint32 hash, const char16_t *folded, int length) const
{
    if (slots.empty())
        return nullptr;
    for (quint32 i = hash & mask;; i = (i + 1) & mask) {
        const Slot &s = slots[i];
        if (s.keyLength < 0)
            return nullptr;
        if (s.hash == hash && s.keyLength == length) {
            // Keys are short: compared here rather than by a call.
            const char16_t *key = keys.data() + s.keyStart;
            int i = 0;
            while (i < length && folded[i] == key[i])
                ++i;
            if (i == length)
                return &s;
        }
    }
}

CompiledLanguage::CompiledLanguage() : d(std::make_unique<CompiledLanguageData>()) {}
CompiledLanguage::~CompiledLanguage() = default;

std::shared_ptr<const CompiledLanguage> CompiledLanguage::compile(const LanguageDefinition &definition, bool shortcuts)
{
    std::shared_ptr<CompiledLanguage> language(new CompiledLanguage);
    CompiledLanguageData &d = *language->d;
    d.definition = definition;
    const auto &sets = d.definition.tokensets;
    const int n = int(sets.size());

    QHash<QString, int> byName;
    for (int i = n - 1; i >= 0; --i)
        byName.insert(sets[i].name, i); // the first of equal names wins

    // The "text" tokenset: id 1 without tokens of its own, else any id 1.
    for (int pass = 0; pass < 2 && d.textTokenset < 0; ++pass)
        for (int i = 0; i < n; ++i)
            if (sets[i].id == TokensetIds::Text
                && (pass == 1 || (sets[i].tokens.tokens.isEmpty() && sets[i].tokens2.tokens.isEmpty()))) {
                d.textTokenset = i;
                break;
            }

    for (int i = 0; i < n; ++i)
        if (!sets[i].inheritfrom.isEmpty() && !byName.contains(sets[i].inheritfrom))
            d.problems << QStringLiteral("%1: tokenset \"%2\" inherits from \"%3\", which is not a tokenset")
                              .arg(d.definition.fileName, sets[i].name, sets[i].inheritfrom);

    // Styles.
    d.styles.resize(n);
    for (int i = 0; i < n; ++i) {
        TokensetStyle &s = d.styles[i];
        resolveColour(d, i, d.textTokenset, &TokensetDefinition::forecolor, &TokensetStyle::fore, s);
        resolveColour(d, i, d.textTokenset, &TokensetDefinition::backcolor, &TokensetStyle::back, s);
        const int fs = sets[i].fontstyle;
        s.bold = fs == 1 || fs == 3;
        s.italic = fs == 2 || fs == 3;
        s.underline = fs == 4;
        s.hyperlink = sets[i].id == TokensetIds::Hyperlinks;
    }
    if (d.textTokenset >= 0)
        d.defaultStyle = d.styles[d.textTokenset];

    QString wordCharsProblem;
    d.wordChars = WordChars::forClass(d.definition.wordchars, &wordCharsProblem);
    if (!wordCharsProblem.isEmpty())
        d.problems << QStringLiteral("%1: wordchars \"%2\" is not a valid character class: %3")
                          .arg(d.definition.fileName, d.definition.wordchars, wordCharsProblem);

    d.rules.push_back(TokenRule{});
    QHash<QString, int> ruleIndex;
    ruleIndex.insert(QString(), 0);
    auto ruleOf = [&](const QString &text) {
        const QString key = text.trimmed().toLower() == QLatin1String("null") ? QString() : text.trimmed();
        auto it = ruleIndex.constFind(key);
        if (it != ruleIndex.constEnd())
            return *it;
        const int index = int(d.rules.size());
        d.rules.push_back(parseRule(key));
        ruleIndex.insert(key, index);
        return index;
    };

    std::map<std::array<quint64, 4>, int> gateIndex;
    auto compileRegexp = [&](int tokenset, int k, const TokenDefinition &token, bool caseSensitive, bool endToken) {
        QString error;
        Regexp r;
        r.pattern = CompiledPattern::get(token.text, !caseSensitive, &error);
        if (!r.pattern) {
            d.problems << regexpProblem(d.definition, sets[tokenset], token, error);
            return -1;
        }
        if (shortcuts) {
            r.simple = PatternAnalysis::simplePattern(token.text, !caseSensitive);
            r.direct = r.simple ? 1 : 0;
            if (!r.simple) {
                r.firstChars = PatternAnalysis::firstChars(token.text, !caseSensitive);
                r.charsBefore = PatternAnalysis::charsBefore(token.text, !caseSensitive);
                NativePattern::Analysis analysis = NativePattern::analyse(token.text, !caseSensitive);
                r.native = std::move(analysis.native);
                r.direct = r.native && r.native->fixed() && !r.native->fixedRuns() ? 2 : 0;
                for (const NativePattern::Gate &g : analysis.gates) {
                    const auto [it, added] = gateIndex.emplace(
                        std::array<quint64, 4>{g.scan[0], g.scan[1], g.stop[0], g.stop[1]}, int(d.gates.size()));
                    if (added)
                        d.gates.push_back(g);
                    if (r.gateCount < 2)
                        r.gates[r.gateCount++] = it->second;
                }
                QStringList texts;
                texts.prepend(PatternAnalysis::requiredText(token.text, !caseSensitive, kMaxRequiredText, &texts));
                // A text the match begins with is there wherever the regexp is tried by its prefix.
                const QString prefix = PatternAnalysis::literalPrefix(token.text, !caseSensitive, kMaxRequiredText).text;
                for (const QString &text : std::as_const(texts)) {
                    if (text.isEmpty() || prefix.startsWith(text, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive))
                        continue;
                    RequiredText &q = r.required.emplace_back(RequiredText{text, -1});
                    for (qsizetype i = 0; i < text.size() && q.anchor < 0; ++i)
                        if (caseSensitive || (text[i].unicode() < 128 && !text[i].isLetter()))
                            q.anchor = int(i);
                }
                r.requiredCase = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
                r.gateSearch = r.gateCount > 0 && !prefix.isEmpty();
                if (r.required.empty() && prefix.isEmpty()) {
                    r.requiredChars = PatternAnalysis::requiredChars(token.text, !caseSensitive);
                    // Of no use where the first character of every match is one of them.
                    const PatternAnalysis::FirstChars &q = *(r.requiredChars ? r.requiredChars : r.firstChars);
                    if (r.requiredChars && r.firstChars && !(r.firstChars->ascii[0] & ~q.ascii[0])
                        && !(r.firstChars->ascii[1] & ~q.ascii[1]) && (!r.firstChars->nonAscii || q.nonAscii))
                        r.requiredChars.reset();
                    r.requiredCharsFirst = r.requiredChars && r.native && r.native->hasLazy();
                    if (r.requiredChars) {
                        int count = 0;
                        for (char16_t u = 0; u < 128; ++u)
                            if (r.requiredChars->test(u) && count++ < 4)
                                r.requiredUnits[count - 1] = u;
                        r.requiredUnitCount = std::min(count, 5);
                        for (int k = count; k > 0 && k < 4; ++k)
                            r.requiredUnits[k] = r.requiredUnits[0]; // the spare places look for the first again
                    }
                }
            }
        }
        r.searchStart = PatternAnalysis::usesSearchStart(token.text);
        r.wordRule = d.rules[size_t(ruleOf(token.rule))].word;
        if (shortcuts && r.wordRule)
            r.matchChars = PatternAnalysis::matchChars(token.text, !caseSensitive);
        for (char16_t u = 0; u < 128 && r.matchChars && !r.narrowMatch; ++u)
            r.narrowMatch = d.isWordUnit(u) && !r.matchChars->test(u);
        if (shortcuts)
            if (auto run = PatternAnalysis::endRun(token.text, !caseSensitive)) {
                auto held = PatternAnalysis::matchChars(token.text, !caseSensitive);
                if (held && !(run->ascii[0] & held->ascii[0]) && !(run->ascii[1] & held->ascii[1])) {
                    r.endRun = run;
                    r.endMatch = held;
                }
            }
        r.nativeFirst = r.requiredCharsFirst || r.endRun;
        r.tokenset = tokenset;
        r.token = k;
        r.endToken = endToken;
        d.regexps.push_back(std::move(r));
        return int(d.regexps.size()) - 1;
    };
    // A regexp token that is plain text is matched as a literal (only with the shortcuts on, so that
    // the tests can compare both).
    auto plainText = [&](const TokenDefinition &token, bool caseSensitive) -> std::optional<QString> {
        if (!token.regexp)
            return token.text;
        return shortcuts ? plainTextOf(token.text, caseSensitive) : std::nullopt;
    };

    // Tokensets and the contexts they are valid in.
    d.tokensets.resize(n);
    std::vector<std::vector<char>> valid(size_t(n) + 1, std::vector<char>(size_t(n), 0));
    for (int i = 0; i < n; ++i) {
        CompiledTokenset &t = d.tokensets[i];
        const TokensetDefinition &s = sets[i];
        t.name = s.name;
        t.id = s.id;
        t.scope = s.scope;
        t.caseSensitive = s.casesensitive || d.definition.casesensitive;
        t.singleLine = s.singlelinescope;
        t.chain = s.chain;
        t.symmetrical = s.symmetrical;
        t.transparent = s.scope && (s.id == TokensetIds::ScopeKeywords || s.id == TokensetIds::ParameterBlocks);
    }
    for (int i = 0; i < n; ++i) {
        const TokensetDefinition &s = sets[i];
        if (s.validscopes.isEmpty()) {
            valid[0][i] = 1;
            for (int j = 0; j < n; ++j)
                if (d.tokensets[j].transparent)
                    valid[size_t(j) + 1][i] = 1;
            continue;
        }
        for (const QString &scope : s.validscopes) {
            if (scope.isEmpty()) {
                valid[0][i] = 1;
                continue;
            }
            const int j = byName.value(scope, -1);
            if (j < 0)
                d.problems << QStringLiteral("%1: tokenset \"%2\" names the valid scope \"%3\", which is not a tokenset")
                                  .arg(d.definition.fileName, s.name, scope);
            else if (sets[j].scope)
                valid[size_t(j) + 1][i] = 1;
        }
    }

    // Tokens.
    for (int i = 0; i < n; ++i) {
        const TokensetDefinition &s = sets[i];
        CompiledTokenset &t = d.tokensets[i];
        const TokenKind kind = s.scope ? TokenKind::ScopeStart : TokenKind::List;
        for (int k = 0; k < s.tokens.tokens.size(); ++k) {
            const TokenDefinition &token = s.tokens.tokens[k];
            if (token.text.isEmpty())
                continue;
            const int rule = ruleOf(token.rule);
            if (const std::optional<QString> text = plainText(token, t.caseSensitive)) {
                d.literals.push_back(LiteralToken{*text, t.caseSensitive, i, k, rule, kind, tokenKey(i, k)});
                if (s.scope)
                    t.starts.push_back(EndToken{false, -1, t.caseSensitive ? *text : folded(*text), t.caseSensitive, rule, k});
                continue;
            }
            const int re = compileRegexp(i, k, token, t.caseSensitive, false);
            if (re < 0)
                continue;
            RegexpToken rt{re, i, k, rule, kind, tokenKey(i, k), QString(), t.caseSensitive};
            rt.ruleAtStart = shortcuts && (d.rules[size_t(rule)].hasLead || d.rules[size_t(rule)].column > 0);
            if (shortcuts && !d.regexps[size_t(re)].simple && !d.regexps[size_t(re)].searchStart) {
                const PatternAnalysis::Prefix prefix = PatternAnalysis::literalPrefix(token.text, !t.caseSensitive,
                                                                                      kMaxRegexpPrefix);
                rt.prefix = prefix.text;
                rt.afterPrefix = prefix.next;
                rt.mayEndAfterPrefix = prefix.restMayBeEmpty;
                rt.wordEndAfterPrefix = !prefix.text.isEmpty() && d.rules[size_t(rule)].word
                                        && d.wordChars->containsUnit(prefix.text.back().unicode());
                if (rt.prefix.isEmpty())
                    rt.required = PatternAnalysis::requiredText(token.text, !t.caseSensitive, kMaxRequiredText);
                if (rt.required.size() < kMinRequiredText)
                    rt.required.clear();
            }
            d.regexpTokens.push_back(rt);
            if (s.scope)
                t.starts.push_back(EndToken{true, re, QString(), t.caseSensitive, rule, k});
        }
        if (!s.scope)
            continue;
        for (int k = 0; k < s.tokens2.tokens.size(); ++k) {
            const TokenDefinition &token = s.tokens2.tokens[k];
            const int rule = ruleOf(token.rule);
            if (token.text.isEmpty()) {
                t.ends.push_back(EndToken{false, -1, QString(), true, rule, k}); // keeps the indices; never matches
                continue;
            }
            if (const std::optional<QString> text = plainText(token, t.caseSensitive)) {
                t.ends.push_back(EndToken{false, -1, t.caseSensitive ? *text : folded(*text), t.caseSensitive, rule, k});
                continue;
            }
            const int re = compileRegexp(i, k, token, t.caseSensitive, true);
            t.ends.push_back(EndToken{true, re, QString(), t.caseSensitive, rule, k});
        }
    }
    d.limitReported.assign(d.regexps.size(), 0);

    // A native matcher that never backtracks reads the run a gate would read, at about the gate's cost:
    // its gates are kept only where other regexps share them (and so the reading).
    {
        std::vector<int> users(d.gates.size(), 0);
        for (const Regexp &r : d.regexps)
            for (int g = 0; g < r.gateCount; ++g)
                ++users[size_t(r.gates[g])];
        for (Regexp &r : d.regexps) {
            if (!r.native || r.native->mayBacktrack())
                continue;
            int kept = 0;
            for (int g = 0; g < r.gateCount; ++g)
                if (users[size_t(r.gates[g])] > 1)
                    r.gates[kept++] = r.gates[g];
            r.gateCount = kept;
        }
    }

    // What the closers of each scope may begin with.
    for (CompiledTokenset &t : d.tokensets) {
        auto add = [&](const EndToken &e) {
            PatternAnalysis::FirstChars &fc = t.closerChars;
            if (!e.isRegexp) {
                if (e.text.isEmpty())
                    return;
                const char16_t c = e.text.at(0).unicode(); // folded when not case sensitive
                const QChar first(c);
                const QChar variants[] = {first, first.toUpper(), first.toLower(), first.toTitleCase()};
                for (QChar v : variants) {
                    if (v.unicode() < 128)
                        fc.ascii[v.unicode() >> 6] |= quint64(1) << (v.unicode() & 63);
                    else
                        fc.nonAscii = true;
                }
                if (!e.caseSensitive)
                    fc.nonAscii = true; // letters that fold onto ASCII ones
                return;
            }
            if (e.regexp < 0)
                return;
            const Regexp &r = d.regexps[size_t(e.regexp)];
            if (r.simple) {
                for (int c = 0; c < 128; ++c)
                    if (r.simple->first.contains(char32_t(c), r.simple->caseless))
                        fc.ascii[c >> 6] |= quint64(1) << (c & 63);
                fc.nonAscii = true;
            } else if (r.firstChars) {
                fc.ascii[0] |= r.firstChars->ascii[0];
                fc.ascii[1] |= r.firstChars->ascii[1];
                fc.nonAscii = fc.nonAscii || r.firstChars->nonAscii;
            } else {
                fc.ascii[0] = fc.ascii[1] = ~quint64(0);
                fc.nonAscii = true;
            }
        };
        for (const EndToken &e : t.ends)
            add(e);
        if (t.symmetrical)
            for (const EndToken &e : t.starts)
                add(e);
        if (!shortcuts) {
            t.closerChars.ascii[0] = t.closerChars.ascii[1] = ~quint64(0);
            t.closerChars.nonAscii = true;
        }
    }

    // The literal table, keyed by folded text; and the table of regexp prefixes.
    {
        QHash<QString, std::vector<int>> groups;
        QStringList order;
        auto add = [&](const QString &text, int entry) {
            const QString key = folded(text);
            auto it = groups.find(key);
            if (it == groups.end()) {
                order << key;
                it = groups.insert(key, {});
            }
            it->push_back(entry); // entries come in priority order
        };
        for (int li = 0; li < int(d.literals.size()); ++li)
            add(d.literals[size_t(li)].text, li);
        buildTable(d.table, order, groups);
        groups.clear();
        order.clear();
        for (int r = 0; r < int(d.regexpTokens.size()); ++r)
            if (!d.regexpTokens[size_t(r)].prefix.isEmpty())
                add(d.regexpTokens[size_t(r)].prefix, r);
        buildTable(d.prefixTable, order, groups);
        groups.clear();
        order.clear();
        for (int r = 0; r < int(d.regexpTokens.size()); ++r)
            if (!d.regexpTokens[size_t(r)].required.isEmpty())
                add(d.regexpTokens[size_t(r)].required, r);
        if (order.size() < kMinRequiredTokens) {
            for (RegexpToken &rt : d.regexpTokens)
                rt.required.clear();
        } else {
            buildTable(d.requiredTable, order, groups);
            for (const QString &key : std::as_const(order)) {
                const char16_t first = key.at(0).unicode();
                if (first < 128)
                    d.requiredFirst.ascii[first >> 6] |= quint64(1) << (first & 63);
                else
                    d.requiredFirst.nonAscii = true;
            }
        }
    }

    // Contexts: one per distinct set of valid tokensets.
    d.contextOf.assign(size_t(n) + 1, 0);
    {
        std::map<std::vector<char>, int> seen;
        for (size_t i = 0; i <= size_t(n); ++i) {
            const auto [it, added] = seen.emplace(valid[i], int(d.contexts.size()));
            if (added) {
                d.contexts.emplace_back();
                d.contexts.back().valid = valid[i];
            }
            d.contextOf[i] = it->second;
        }
    }
    const auto bucketOf = [](char16_t folded) { return folded < 128 ? int(folded) : 128; };
    quint64 word[2] = {0, 0}; // the word characters below 128
    for (char16_t u = 0; u < 128; ++u)
        if (d.isWordUnit(u))
            word[u >> 6] |= quint64(1) << (u & 63);
    for (ContextData &c : d.contexts) {
        bool anyLiteral[kBuckets] = {};
        bool prefixesAtWordStart[kBuckets];
        std::fill(std::begin(c.literalsAtWordStart), std::end(c.literalsAtWordStart), true);
        std::fill(std::begin(c.literalsAllWord), std::end(c.literalsAllWord), shortcuts);
        std::fill(std::begin(prefixesAtWordStart), std::end(prefixesAtWordStart), true);
        auto addLength = [](std::vector<int> &lengths, int length) {
            if (std::find(lengths.begin(), lengths.end(), length) == lengths.end())
                lengths.push_back(length);
        };
        auto addSecond = [&c](int bucket, const QString &text) {
            if (text.size() < 2)
                return;
            c.secondsFilter[bucket] = true;
            // Below 128 only capitals fold, to small letters; nothing there folds to a character from 128 up.
            const char16_t second = foldChar(text.at(1).unicode());
            for (const char16_t ch : {second, char16_t(second - 32)})
                if (ch < 128 && foldChar(ch) == second)
                    c.seconds[bucket][ch >> 6] |= quint64(1) << (ch & 63);
        };
        for (const LiteralToken &lit : d.literals) {
            if (!c.valid[size_t(lit.tokenset)])
                continue;
            const int bucket = bucketOf(foldChar(lit.text.at(0).unicode()));
            addLength(c.lengths[bucket], int(lit.text.size()));
            addSecond(bucket, lit.text);
            anyLiteral[bucket] = true;
            if (!(d.rules[size_t(lit.rule)].word && d.wordChars->at(reinterpret_cast<const char16_t *>(lit.text.utf16()), lit.text.size(), 0)))
                c.literalsAtWordStart[bucket] = false;
            for (const QChar u : lit.text) {
                const char16_t f = foldChar(u.unicode());
                if (QChar::isSurrogate(f) || !d.isWordUnit(f))
                    c.literalsAllWord[bucket] = false;
            }
        }
        for (int b = 0; b < kBuckets; ++b) {
            std::sort(c.lengths[b].begin(), c.lengths[b].end(), std::greater<int>());
            if (!anyLiteral[b])
                c.literalsAtWordStart[b] = c.literalsAllWord[b] = false;
        }

        // Regexp tokens valid here, by what their matches may begin with; those with a required text
        // apart, tried on the lines that hold it.
        std::vector<int> bucketLists[kBuckets];
        PatternAnalysis::FirstChars requiredStarts;
        bool requiredWord = true;
        for (int r = 0; r < int(d.regexpTokens.size()); ++r) {
            const RegexpToken &rt = d.regexpTokens[size_t(r)];
            if (!c.valid[size_t(rt.tokenset)])
                continue;
            const Regexp &re = d.regexps[size_t(rt.regexp)];
            if (!rt.required.isEmpty()) {
                c.required = true;
                requiredWord = requiredWord && d.rules[size_t(rt.rule)].word;
                if (re.firstChars) {
                    requiredStarts.ascii[0] |= re.firstChars->ascii[0];
                    requiredStarts.ascii[1] |= re.firstChars->ascii[1];
                } else {
                    requiredStarts.ascii[0] = requiredStarts.ascii[1] = ~quint64(0);
                }
            } else if (!rt.prefix.isEmpty()) {
                const int bucket = bucketOf(foldChar(rt.prefix.at(0).unicode()));
                addLength(c.prefixLengths[bucket], int(rt.prefix.size()));
                addSecond(bucket, rt.prefix);
                if (!(d.rules[size_t(rt.rule)].word && d.wordChars->at(reinterpret_cast<const char16_t *>(rt.prefix.utf16()), rt.prefix.size(), 0)))
                    prefixesAtWordStart[bucket] = false;
            } else if (re.simple || re.firstChars) {
                for (int ch = 0; ch < 128; ++ch)
                    if (re.simple ? re.simple->first.contains(char32_t(ch), re.simple->caseless)
                                  : re.firstChars->test(char16_t(ch)))
                        bucketLists[ch].push_back(r);
                if (re.simple || re.firstChars->nonAscii)
                    bucketLists[128].push_back(r);
            } else {
                c.anyFirst.push_back(r);
            }
        }
        for (int b = 0; b < kBuckets; ++b) {
            c.secondsFilter[b] = c.secondsFilter[b] && !c.literalsAllWord[b] && shortcuts;
            std::sort(c.prefixLengths[b].begin(), c.prefixLengths[b].end(), std::greater<int>());
            c.byFirstStart[b] = int(c.byFirst.size());
            c.byFirst.insert(c.byFirst.end(), bucketLists[b].begin(), bucketLists[b].end());
        }
        c.byFirstStart[kBuckets] = int(c.byFirst.size());

        // Shortcuts by the raw character (ASCII only: a character beyond may fold onto an ASCII one):
        // literals and prefixes are bucketed by the folded character, other regexps by the raw one.
        bool anyFirstAtWordStart = true;
        for (int r : c.anyFirst)
            anyFirstAtWordStart = anyFirstAtWordStart && d.rules[size_t(d.regexpTokens[size_t(r)].rule)].word;
        // Whether the regexps that may begin with b are only of fixed ways that each end the word they
        // begin at (their characters after it go into wordRegexpsAfter).
        auto regexpsEndWords = [&](int b) {
            if (!c.anyFirst.empty() || requiredStarts.test(char16_t(b)))
                return false;
            quint64 after[2] = {0, 0};
            for (int i = c.byFirstStart[b]; i < c.byFirstStart[b + 1]; ++i) {
                const Regexp &re = d.regexps[size_t(d.regexpTokens[size_t(c.byFirst[size_t(i)])].regexp)];
                if (!re.native || !re.native->endsWords(word, after))
                    return false;
            }
            c.wordRegexpsAfter[0] |= after[0];
            c.wordRegexpsAfter[1] |= after[1];
            c.wordRegexps = true;
            return true;
        };
        for (int b = 0; b < 128; ++b) {
            const int f = foldChar(char16_t(b));
            const bool noRegexp = c.byFirstStart[b] == c.byFirstStart[b + 1] && c.anyFirst.empty()
                                  && !requiredStarts.test(char16_t(b));
            c.nothingStarts[b] = shortcuts && c.lengths[f].empty() && c.prefixLengths[f].empty() && noRegexp;
            bool wordOnly = d.isWordUnit(char16_t(b)) && (c.lengths[f].empty() || c.literalsAtWordStart[f])
                            && (c.prefixLengths[f].empty() || prefixesAtWordStart[f]) && anyFirstAtWordStart
                            && (!requiredStarts.test(char16_t(b)) || requiredWord);
            for (int i = c.byFirstStart[b]; i < c.byFirstStart[b + 1]; ++i)
                if (!d.rules[size_t(d.regexpTokens[size_t(c.byFirst[size_t(i)])].rule)].word)
                    wordOnly = false;
            c.wordStartsOnly[b] = wordOnly && shortcuts;
            // Not where a regexp answered at once at each place (simple, or of fixed ways) may begin:
            // such a one is never ruled out for the rest of a line; nor one held to what stands
            // before it, which is seldom searched for and so seldom known to be out.
            auto mayDie = [&](int r) {
                const Regexp &re = d.regexps[size_t(d.regexpTokens[size_t(r)].regexp)];
                return !re.direct && !re.charsBefore;
            };
            bool allMayDie = std::all_of(c.anyFirst.begin(), c.anyFirst.end(), mayDie);
            for (int i = c.byFirstStart[b]; i < c.byFirstStart[b + 1]; ++i)
                allMayDie = allMayDie && mayDie(c.byFirst[size_t(i)]);
            c.regexpsOnly[b] = shortcuts && c.lengths[f].empty() && c.prefixLengths[f].empty() && !noRegexp
                               && !requiredStarts.test(char16_t(b)) && allMayDie;
            const bool one = c.lengths[f].empty() && c.prefixLengths[f].empty() && c.anyFirst.empty()
                             && !requiredStarts.test(char16_t(b)) && c.byFirstStart[b + 1] - c.byFirstStart[b] == 1;
            const int r = one ? c.byFirst[size_t(c.byFirstStart[b])] : -1;
            c.wordLiteralsOnly[b] = shortcuts && d.isWordUnit(char16_t(b)) && !c.lengths[f].empty() && c.literalsAtWordStart[f]
                                    && c.literalsAllWord[f] && c.prefixLengths[f].empty()
                                    && (noRegexp || regexpsEndWords(b));
            c.soleSimple[b] = shortcuts && r >= 0 && d.regexps[size_t(d.regexpTokens[size_t(r)].regexp)].simple ? r : -1;
            c.soleLead[b] = -1;
            if (c.soleSimple[b] >= 0) {
                const RegexpToken &rt = d.regexpTokens[size_t(r)];
                c.soleOneChar[b] = d.regexps[size_t(rt.regexp)].simple->restMinimum < 0 && rt.rule == 0 && rt.kind == TokenKind::List;
            }
            if (shortcuts && r < 0 && c.lengths[f].empty() && c.prefixLengths[f].empty() && c.anyFirst.empty()
                && !requiredStarts.test(char16_t(b)))
                soleUnlessAfter(d, c, b);
            c.soleLiteral[b] = -1;
            c.soleSecond[b] = -1;
            auto holds = [](const std::vector<int> &lengths, int length) {
                return std::find(lengths.begin(), lengths.end(), length) != lengths.end();
            };
            if (shortcuts && c.soleSimple[b] == -1 && noRegexp && !c.required && c.secondsFilter[f]
                && !holds(c.lengths[f], 1))
                soleBySecond(d, c, b);
            if (shortcuts && noRegexp && c.prefixLengths[f].empty() && c.lengths[f] == std::vector<int>{1}) {
                const char16_t key = char16_t(f);
                if (const LiteralTable::Slot *slot = d.table.find(hashStep(HashSeed, key), &key, 1)) {
                    for (int e = 0; e < slot->count; ++e) {
                        const int i = d.table.entries[size_t(slot->first + e)];
                        const LiteralToken &lit = d.literals[size_t(i)];
                        if (c.valid[size_t(lit.tokenset)] && (!lit.caseSensitive || lit.text.at(0) == QChar(b))) {
                            c.soleLiteral[b] = lit.rule == 0 ? i : -1;
                            break;
                        }
                    }
                }
            }
        }
        c.soleSimple[128] = c.soleLiteral[128] = c.soleLead[128] = c.soleSecond[128] = -1;
        // Whether no token may begin with a character from 128 up: nothing in bucket 128 but simple
        // patterns whose first class takes no such character, and no literal or prefix in the buckets
        // of the ASCII letters that one of them folds to.
        bool beyond = !c.lengths[128].empty() || !c.prefixLengths[128].empty() || !c.anyFirst.empty() || c.required;
        for (const char16_t u : PatternAnalysis::kFoldsToAscii)
            if (const char16_t f = foldChar(u); f < 128)
                beyond = beyond || !c.lengths[f].empty() || !c.prefixLengths[f].empty();
        for (int i = c.byFirstStart[128]; i < c.byFirstStart[129] && !beyond; ++i) {
            const Regexp &re = d.regexps[size_t(d.regexpTokens[size_t(c.byFirst[size_t(i)])].regexp)];
            beyond = !re.simple || re.simple->first.takesBeyondAscii(re.simple->caseless);
        }
        c.nothingBeyondAscii = shortcuts && !beyond;
        // Characters grouped by their list of regexp tokens; each group's first character stands for it.
        std::vector<int> groupOf(128, -1), firsts;
        for (int b = 0; b < 128; ++b) {
            if (!c.regexpsOnly[b])
                continue;
            auto list = [&](int x) { return std::pair(c.byFirst.begin() + c.byFirstStart[x], c.byFirst.begin() + c.byFirstStart[x + 1]); };
            size_t g = 0;
            while (g < firsts.size() && !std::equal(list(b).first, list(b).second, list(firsts[g]).first, list(firsts[g]).second))
                ++g;
            if (g == firsts.size())
                firsts.push_back(b);
            groupOf[size_t(b)] = int(g);
        }
        for (int b = 0; b < 128; ++b)
            for (int e = 0; e < 128 && groupOf[size_t(b)] >= 0; ++e)
                if (groupOf[size_t(e)] == groupOf[size_t(b)])
                    c.sameRegexps[b][e >> 6] |= quint64(1) << (e & 63);
    }
    return language;
}

QString CompiledLanguageData::noteLimitHit(int regexp) const
{
    QMutexLocker lock(&limitMutex);
    if (limitReported[size_t(regexp)])
        return QString();
    limitReported[size_t(regexp)] = 1;
    const Regexp &r = regexps[size_t(regexp)];
    const TokensetDefinition &set = definition.tokensets[r.tokenset];
    const TokenListDefinition &list = r.endToken ? set.tokens2 : set.tokens;
    const QString message =
        QStringLiteral("%1: tokenset \"%2\", %3 \"%4\": the regular expression needs too many steps to match "
                       "(it backtracks without end); it counts as no match where that happens")
            .arg(definition.fileName, set.name, r.endToken ? QStringLiteral("end token") : QStringLiteral("token"),
                 list.tokens[r.token].text);
    limitProblems << message;
    return message;
}

const LanguageDefinition &CompiledLanguage::definition() const { return d->definition; }
QStringList CompiledLanguage::problems() const { return d->problems; }
int CompiledLanguage::tokensetCount() const { return int(d->definition.tokensets.size()); }
QString CompiledLanguage::tokensetName(int tokenset) const { return d->definition.tokensets.at(tokenset).name; }

int CompiledLanguage::indexOf(const QString &name) const
{
    for (int i = 0; i < tokensetCount(); ++i)
        if (d->definition.tokensets.at(i).name == name)
            return i;
    return -1;
}

bool CompiledLanguage::isScope(int tokenset) const { return d->definition.tokensets.at(tokenset).scope; }
bool CompiledLanguage::matchBraces(int tokenset) const { return d->definition.tokensets.at(tokenset).matchbraces; }

const TokensetStyle &CompiledLanguage::style(int tokenset) const
{
    return tokenset < 0 || tokenset >= d->styles.size() ? d->defaultStyle : d->styles.at(tokenset);
}

int CompiledLanguage::textTokenset() const { return d->textTokenset; }
const TokensetStyle &CompiledLanguage::defaultStyle() const { return d->defaultStyle; }

bool CompiledLanguage::isWordChar(char32_t c) const
{
    return d->wordChars->contains(c);
}

QStringList CompiledLanguage::matchLimitProblems() const
{
    QMutexLocker lock(&d->limitMutex);
    return d->limitProblems;
}
