#include "lint/tokenprobe.h"

#include "lint/languageview.h"

#include "editorcontrol/compiledlanguagedata.h"

namespace Lint {

namespace {

constexpr qsizetype kMaxRuleCharacters = 6;
constexpr int kMaxFramesPerScope = 3;

// The texts that may stand before (after) the token in a probe line: "" is the line start (end).
// They are chosen so that the token's own rule holds, which makes any other winner a real loss.
QStringList neighbours(const TokenRule &rule, bool before, const QString &text, const CompiledLanguage &language)
{
    QStringList texts;
    const bool restricted = before ? rule.hasLead : rule.hasTrail;
    const QString &allowed = before ? rule.lead : rule.trail;
    if (restricted) {
        if (allowed.contains(u' '))
            texts << QString(); // the line start (end) counts as a blank
        for (QChar c : allowed)
            if (texts.size() < kMaxRuleCharacters && !texts.contains(QString(c)))
                texts << QString(c);
    } else {
        texts = {QStringLiteral(" "), QString(), QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("("),
                 QStringLiteral(")"), QStringLiteral(";")};
    }
    const QChar edge = before ? text.front() : text.back();
    if (rule.word && language.isWordChar(edge.unicode()))
        texts.removeIf([&](const QString &t) { return !t.isEmpty() && language.isWordChar(t[0].unicode()); });
    if (!before || rule.column == 0)
        return texts;
    QStringList placed; // the token must begin in its column
    for (const QString &t : std::as_const(texts)) {
        if (rule.column == 1 && t.isEmpty())
            placed << t;
        else if (rule.column > 1 && !t.isEmpty())
            placed << QString(rule.column - 2, u' ') + t;
    }
    return placed;
}

} // namespace

struct TokenProbe::Target {
    QString text;
    TokenRule rule;
    bool caseSensitive = false;
    std::vector<ScopeState> states;
    int tokenset = -1;
    bool end = false; // an end token: it wins by closing its scope
};

TokenProbe::TokenProbe(const LanguageView &view)
    : view_(view), highlighter_(std::make_unique<Highlighter>(view.compiledPtr()))
{
    const std::vector<LiteralToken> &literals = view.compiled().data().literals;
    for (size_t i = 0; i < literals.size(); ++i)
        literals_.insert({literals[i].tokenset, literals[i].token}, int(i));
}

TokenProbe::~TokenProbe() = default;

TokenProbe::Result TokenProbe::startToken(int tokenset, int token)
{
    const CompiledLanguageData &d = view_.compiled().data();
    Target target;
    target.tokenset = tokenset;
    const int found = literals_.value({tokenset, token}, -1);
    if (found < 0)
        return Result{};
    const LiteralToken *literal = &d.literals[size_t(found)];
    if (const LiteralToken *same = earlierTwin(found))
        return Result{Result::Loses, StyleRun{0, int(literal->text.size()), same->tokenset, same->token,
                                              same->kind == TokenKind::ScopeStart ? StyleRun::ScopeStart : StyleRun::Token}};
    target.text = literal->text;
    target.rule = d.rules[size_t(literal->rule)];
    target.caseSensitive = literal->caseSensitive;
    if (view_.reached(0) && d.contextAt(0).valid[size_t(tokenset)])
        target.states.emplace_back();
    for (size_t k = 0; k < d.tokensets.size(); ++k) {
        if (!view_.reached(int(k) + 1) || !d.contextAt(k + 1).valid[size_t(tokenset)])
            continue;
        const std::vector<EndToken> &starts = d.tokensets[k].starts;
        for (size_t f = 0; f < starts.size() && f < kMaxFramesPerScope; ++f) {
            ScopeState state;
            state.push(ScopeState::Frame{int(k), starts[f].token});
            target.states.push_back(state);
        }
    }
    return probe(target);
}

// An earlier literal of another tokenset with the same text, a rule no stricter, and valid wherever
// this one is: it matches wherever this one does and wins the tie, so no probe is needed.
const LiteralToken *TokenProbe::earlierTwin(int literal) const
{
    const CompiledLanguageData &d = view_.compiled().data();
    const LiteralToken &t = d.literals[size_t(literal)];
    std::vector<char16_t> folded;
    quint32 hash = HashSeed;
    for (QChar c : t.text) {
        folded.push_back(foldChar(c.unicode()));
        hash = hashStep(hash, folded.back());
    }
    const LiteralTable::Slot *slot = d.table.find(hash, folded.data(), int(folded.size()));
    for (int e = 0; slot && e < slot->count; ++e) {
        const LiteralToken &s = d.literals[size_t(d.table.entries[size_t(slot->first + e)])];
        if (&s == &t)
            return nullptr;
        if (s.tokenset == t.tokenset || (s.caseSensitive && !(t.caseSensitive && s.text == t.text))
            || (s.rule != 0 && s.rule != t.rule))
            continue;
        bool covered = true;
        bool shared = false;
        for (size_t c = 0; c < d.contextCount(); ++c) {
            if (!view_.reached(int(c)) || !d.contextAt(c).valid[size_t(t.tokenset)])
                continue;
            shared = true;
            covered = covered && d.contextAt(c).valid[size_t(s.tokenset)];
        }
        if (covered && shared)
            return &s;
    }
    return nullptr;
}

TokenProbe::Result TokenProbe::endToken(int tokenset, int token)
{
    const CompiledLanguageData &d = view_.compiled().data();
    const CompiledTokenset &scope = d.tokensets[size_t(tokenset)];
    if (size_t(token) >= scope.ends.size() || scope.ends[size_t(token)].isRegexp || !view_.reached(tokenset + 1))
        return Result{};
    Target target;
    target.tokenset = tokenset;
    target.end = true;
    target.text = d.definition.tokensets[tokenset].tokens2.tokens[token].text;
    target.rule = d.rules[size_t(scope.ends[size_t(token)].rule)];
    target.caseSensitive = scope.caseSensitive;
    ScopeState state;
    state.push(ScopeState::Frame{tokenset, token});
    target.states.push_back(state);
    return probe(target);
}

TokenProbe::Result TokenProbe::probe(const Target &target)
{
    if (target.text.isEmpty() || target.states.empty())
        return Result{};
    const CompiledLanguage &language = view_.compiled();
    const QStringList before = neighbours(target.rule, true, target.text, language);
    const QStringList after = neighbours(target.rule, false, target.text, language);
    if (before.isEmpty() || after.isEmpty())
        return Result{Result::Impossible, {}};
    QStringList variants{target.text};
    if (!target.caseSensitive)
        for (const QString &v : {target.text.toLower(), target.text.toUpper()})
            if (!variants.contains(v))
                variants << v;

    Result lost;
    QVector<StyleRun> runs;
    for (const ScopeState &state : target.states) {
        bool conclusive = false;
        for (const QString &v : std::as_const(variants)) {
            for (const QString &b : before) {
                for (const QString &a : after) {
                    highlighter_->highlightLine(b + v + a, state, runs);
                    const int at = int(b.size());
                    for (const StyleRun &r : std::as_const(runs)) {
                        if (r.start > at || (r.start < at && r.start + r.length > at))
                            break; // the place was taken by a match that began earlier
                        if (r.start < at) {
                            if (r.kind == StyleRun::ScopeStart || r.kind == StyleRun::ScopeEnd)
                                break; // the neighbour changed the context
                            continue;
                        }
                        if (r.kind == StyleRun::Plain)
                            break;
                        const bool won = target.end ? (r.kind == StyleRun::ScopeEnd && r.tokenset == target.tokenset)
                                                    : (r.kind != StyleRun::ScopeEnd && r.tokenset == target.tokenset);
                        if (won)
                            return Result{Result::Wins, r};
                        conclusive = true;
                        if (lost.kind != Result::Loses)
                            lost = Result{Result::Loses, r};
                        break;
                    }
                }
            }
        }
        if (!conclusive)
            return Result{};
    }
    return lost;
}

} // namespace Lint
