#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/regexcache.h"

#include <QHash>
#include <QMutex>

#include <algorithm>

namespace {

constexpr MatchKey OrdinaryTokens = MatchKey(1) << 40;

MatchKey tokenKey(int tokenset, int token)
{
    return OrdinaryTokens | (MatchKey(tokenset) << 21) | MatchKey(token);
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
                      const QRegularExpression &re)
{
    return QStringLiteral("%1: tokenset \"%2\", token \"%3\": invalid regular expression: %4")
        .arg(def.fileName, set.name, token.text, re.errorString());
}

// The word characters of a wordchars class: the class tested once against every BMP character.
// Tables are kept by class text, since every reload of a language asks for the same one.
std::shared_ptr<const std::vector<quint8>> wordCharTable(const QString &wordchars, QStringList &problems,
                                                         const QString &fileName)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const std::vector<quint8>>> tables;
    QMutexLocker lock(&mutex);
    if (auto it = tables.constFind(wordchars); it != tables.constEnd())
        return *it;

    auto table = std::make_shared<std::vector<quint8>>(8192, 0);
    QRegularExpression wc(QStringLiteral("(?:%1)+").arg(wordchars), QRegularExpression::UseUnicodePropertiesOption);
    const bool usable = !wordchars.isEmpty() && wc.isValid();
    if (!usable) {
        if (!wordchars.isEmpty())
            problems << QStringLiteral("%1: wordchars \"%2\" is not a valid character class: %3")
                            .arg(fileName, wordchars, wc.errorString());
        wc = QRegularExpression(QStringLiteral("[\\w]+"), QRegularExpression::UseUnicodePropertiesOption);
    }
    QString all;
    all.reserve(65536);
    for (int c = 1; c < 65536; ++c)
        all.append((c >= 0xD800 && c < 0xE000) ? QChar(u' ') : QChar(char16_t(c)));
    for (auto it = wc.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        for (qsizetype i = m.capturedStart(); i < m.capturedEnd(); ++i) {
            const int c = int(i) + 1;
            (*table)[size_t(c >> 3)] |= quint8(1u << (c & 7));
        }
    }
    for (int c = 0xD800; c < 0xE000; ++c) // characters beyond the BMP are mostly letters
        (*table)[size_t(c >> 3)] |= quint8(1u << (c & 7));
    if (usable) { // a class that does not compile is reported at every load
        if (tables.size() >= 64)
            tables.clear();
        tables.insert(wordchars, table);
    }
    return table;
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
        if (s.hash == hash && s.keyLength == length
            && std::equal(folded, folded + length, keys.begin() + s.keyStart))
            return &s;
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

    d.wordChars = wordCharTable(d.definition.wordchars, d.problems, d.definition.fileName);

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

    auto compileRegexp = [&](const TokensetDefinition &set, const TokenDefinition &token, bool caseSensitive) {
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (!caseSensitive)
            options |= QRegularExpression::CaseInsensitiveOption;
        // Shared with the reader, which compiled the same pattern while checking it.
        const QRegularExpression re = RegexCache::get(token.text, options);
        if (!re.isValid()) {
            d.problems << regexpProblem(d.definition, set, token, re);
            return -1;
        }
        d.regexps.push_back(re);
        // With rule word, the pattern gets a second form that only ends where a word may end, tried
        // when its preferred match ends inside a word: "#(if|ifdef)" then colours "#ifdef" whole.
        QRegularExpression retry;
        if (d.rules[size_t(ruleOf(token.rule))].word) {
            const QString &w = d.definition.wordchars.isEmpty() ? QStringLiteral("[\\w]") : d.definition.wordchars;
            retry = RegexCache::get(QStringLiteral("(?:%1)(?:(?<!%2)|(?!%2))").arg(token.text, w), options);
        }
        d.wordEndRetry.push_back(retry.isValid() && !retry.pattern().isEmpty() ? retry : QRegularExpression());
        d.hasWordEndRetry.push_back(retry.isValid() && !retry.pattern().isEmpty());
        d.simple.push_back(shortcuts ? PatternAnalysis::simplePattern(token.text, !caseSensitive) : std::nullopt);
        d.firstChars.push_back(d.simple.back() || !shortcuts ? std::nullopt
                                                             : PatternAnalysis::firstChars(token.text, !caseSensitive));
        return int(d.regexps.size()) - 1;
    };

    // Tokensets and the contexts they are valid in.
    d.tokensets.resize(n);
    d.contexts.resize(size_t(n) + 1);
    for (auto &c : d.contexts)
        c.valid.assign(size_t(n), 0);
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
            d.contexts[0].valid[i] = 1;
            for (int j = 0; j < n; ++j)
                if (d.tokensets[j].transparent)
                    d.contexts[size_t(j) + 1].valid[i] = 1;
            continue;
        }
        for (const QString &scope : s.validscopes) {
            if (scope.isEmpty()) {
                d.contexts[0].valid[i] = 1;
                continue;
            }
            const int j = byName.value(scope, -1);
            if (j < 0)
                d.problems << QStringLiteral("%1: tokenset \"%2\" names the valid scope \"%3\", which is not a tokenset")
                                  .arg(d.definition.fileName, s.name, scope);
            else if (sets[j].scope)
                d.contexts[size_t(j) + 1].valid[i] = 1;
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
            if (token.regexp) {
                const int re = compileRegexp(s, token, t.caseSensitive);
                if (re < 0)
                    continue;
                d.regexpTokens.push_back(RegexpToken{re, i, k, rule, kind, tokenKey(i, k)});
                if (s.scope)
                    t.starts.push_back(EndToken{true, re, QString(), t.caseSensitive, rule, k});
            } else {
                d.literals.push_back(LiteralToken{token.text, t.caseSensitive, i, k, rule, kind, tokenKey(i, k)});
                if (s.scope) {
                    QString text = token.text;
                    if (!t.caseSensitive)
                        for (QChar &c : text)
                            c = QChar(foldChar(c.unicode()));
                    t.starts.push_back(EndToken{false, -1, text, t.caseSensitive, rule, k});
                }
            }
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
            if (token.regexp) {
                const int re = compileRegexp(s, token, t.caseSensitive);
                t.ends.push_back(EndToken{true, re, QString(), t.caseSensitive, rule, k});
            } else {
                QString text = token.text;
                if (!t.caseSensitive)
                    for (QChar &c : text)
                        c = QChar(foldChar(c.unicode()));
                t.ends.push_back(EndToken{false, -1, text, t.caseSensitive, rule, k});
            }
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
            if (const auto &sp = d.simple[size_t(e.regexp)]) {
                for (int c = 0; c < 128; ++c)
                    if (sp->first.contains(char16_t(c), sp->caseless))
                        fc.ascii[c >> 6] |= quint64(1) << (c & 63);
                fc.nonAscii = true;
            } else if (const auto &first = d.firstChars[size_t(e.regexp)]) {
                fc.ascii[0] |= first->ascii[0];
                fc.ascii[1] |= first->ascii[1];
                fc.nonAscii = fc.nonAscii || first->nonAscii;
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

    // The literal hash table, keyed by folded text.
    {
        QHash<QString, std::vector<int>> groups;
        QStringList order;
        for (int li = 0; li < int(d.literals.size()); ++li) {
            QString key = d.literals[li].text;
            for (QChar &c : key)
                c = QChar(foldChar(c.unicode()));
            auto it = groups.find(key);
            if (it == groups.end()) {
                order << key;
                it = groups.insert(key, {});
            }
            it->push_back(li); // literals were added in priority order
        }
        LiteralTable &table = d.table;
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

    // Per context: literal lengths by first character, and the regexp tokens valid there.
    for (ContextData &c : d.contexts) {
        bool anyInBucket[129] = {};
        std::fill(std::begin(c.literalsAtWordStart), std::end(c.literalsAtWordStart), true);
        for (const LiteralToken &lit : d.literals) {
            if (!c.valid[lit.tokenset])
                continue;
            const char16_t first = foldChar(lit.text.at(0).unicode());
            const int bucket = first < 128 ? first : 128;
            auto &lengths = c.lengths[bucket];
            if (std::find(lengths.begin(), lengths.end(), int(lit.text.size())) == lengths.end())
                lengths.push_back(int(lit.text.size()));
            anyInBucket[bucket] = true;
            if (!(d.rules[lit.rule].word && d.isWord(lit.text.at(0).unicode())))
                c.literalsAtWordStart[bucket] = false;
        }
        for (int b = 0; b < 129; ++b) {
            std::sort(c.lengths[b].begin(), c.lengths[b].end(), std::greater<int>());
            if (!anyInBucket[b])
                c.literalsAtWordStart[b] = false;
        }
        std::vector<int> valid;
        for (int r = 0; r < int(d.regexpTokens.size()); ++r)
            if (c.valid[d.regexpTokens[r].tokenset])
                valid.push_back(r);
        std::sort(valid.begin(), valid.end(), [&](int a, int b) { return d.regexpTokens[a].key < d.regexpTokens[b].key; });
        for (int r : valid) {
            const int re = d.regexpTokens[size_t(r)].regexp;
            const auto &simple = d.simple[size_t(re)];
            const auto &first = d.firstChars[size_t(re)];
            for (int ch = 0; ch < 128; ++ch) {
                const bool may = simple ? simple->first.contains(char16_t(ch), simple->caseless)
                                        : (!first || first->test(char16_t(ch)));
                if (may)
                    c.regexpsByFirst[ch].push_back(r);
            }
            c.regexpsByFirst[128].push_back(r);
        }
        // Shortcuts by the raw character (ASCII only: a character beyond may fold onto an ASCII one):
        // literals are bucketed by the folded character, regexps by the raw one.
        for (int b = 0; b < 128; ++b) {
            const int lit = foldChar(char16_t(b));
            c.nothingStarts[b] = c.lengths[lit].empty() && c.regexpsByFirst[b].empty();
            bool wordOnly = d.isWord(char16_t(b)) && (c.lengths[lit].empty() || c.literalsAtWordStart[lit]);
            for (int r : c.regexpsByFirst[b])
                if (!d.rules[size_t(d.regexpTokens[size_t(r)].rule)].word)
                    wordOnly = false;
            c.wordStartsOnly[b] = wordOnly && shortcuts;
            c.nothingStarts[b] = c.nothingStarts[b] && shortcuts;
        }
    }
    return language;
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
    if (c > 0xFFFF)
        return true;
    return d->isWord(char16_t(c));
}
