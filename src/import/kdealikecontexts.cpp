#include "import/kdealikecontexts.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

namespace KdeAlikeContexts {

// "(?=M(?<vlxRest>...))GUARDS M", as a definition written by Varlex makes a rule give way: M.
QString withoutGuards(QString pattern)
{
    if (pattern.startsWith(QLatin1String("(*UCP)")))
        pattern = pattern.mid(6);
    static const QString rest = QStringLiteral("(?<vlxRest>[\\s\\S]*))");
    const qsizetype at = pattern.indexOf(rest);
    if (!pattern.startsWith(QLatin1String("(?=")) || at < 0)
        return pattern;
    const QString core = pattern.mid(3, at - 3);
    return pattern.endsWith(core) ? core : pattern;
}

namespace {

// The pops and the context a switch opens ("#pop#pop!Name"); -1: none, or one of another definition.
std::pair<int, int> target(const QString &text, const KdeDefinition &def)
{
    QString rest = text.trimmed();
    int pops = 0;
    while (rest.startsWith(QLatin1String("#pop"))) {
        ++pops;
        rest = rest.mid(4);
    }
    if (rest.startsWith(u'!'))
        rest = rest.mid(1);
    if (rest.isEmpty() || rest == QLatin1String("#stay") || rest.contains(QLatin1String("##")))
        return {pops, -1};
    return {pops, def.contextIndex.value(rest, -1)};
}

bool passesOnly(const KdeRule &include, const KdeDefinition &def, const std::vector<bool> &passing)
{
    const int to = def.contextIndex.value(include.value("context").trimmed(), -1);
    return to >= 0 && passing[size_t(to)];
}

bool endsLine(const KdeContext &context)
{
    return context.lineEndContext.trimmed() == QLatin1String("#pop");
}

QString ruleText(const KdeRule &rule)
{
    QStringList attrs;
    for (auto it = rule.attrs.cbegin(); it != rule.attrs.cend(); ++it)
        if (it.key() != QLatin1String("context"))
            attrs += it.key() + u'=' + it.value();
    attrs.sort();
    QString text = rule.type + u'(' + attrs.join(QChar(0x1F));
    for (const KdeRule &child : rule.children)
        text += ruleText(child);
    return text + u')';
}

} // namespace

bool passesOn(const KdeRule &rule)
{
    return rule.flag("lookAhead") && rule.children.empty() && rule.value("context").trimmed() == QLatin1String("#pop");
}

bool closes(const KdeRule &rule)
{
    return !rule.flag("lookAhead") && rule.value("context").trimmed() == QLatin1String("#pop");
}

QString closerKey(const KdeRule &rule)
{
    QStringList attrs;
    for (auto it = rule.attrs.cbegin(); it != rule.attrs.cend(); ++it)
        if (it.key() != QLatin1String("context") && it.key() != QLatin1String("lookAhead"))
            attrs += it.key() + u'=' + (it.key() == QLatin1String("String") ? withoutGuards(it.value()) : it.value());
    attrs.sort();
    return rule.type + u'(' + attrs.join(QChar(0x1F)) + u')';
}

bool writtenByVarlex(const KdeRule &rule)
{
    return rule.type == QLatin1String("RegExpr") && rule.value("String").startsWith(QLatin1String("(*UCP)"));
}

std::vector<int> representatives(const KdeDefinition &def, bool closerVariants)
{
    const int n = int(def.contexts.size());
    // A definition written by Varlex repeats a scope's contexts inside a single-line scope, where they
    // close at the end of the line: read back, the engine closes them with the single-line scope.
    const bool byVarlex = closerVariants && std::any_of(def.contexts.begin(), def.contexts.end(), [](const KdeContext &c) {
        return std::any_of(c.rules.begin(), c.rules.end(), writtenByVarlex);
    });
    QSet<QString> closers;
    for (const KdeContext &c : def.contexts)
        for (const KdeRule &r : c.rules)
            if (closes(r))
                closers.insert(closerKey(r));
    // A context written by Varlex that only passes on closers: a context including it is alike
    // without it.
    std::vector<bool> passing(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::vector<KdeRule> &rules = def.contexts[size_t(i)].rules;
        passing[size_t(i)] = !rules.empty() && std::all_of(rules.begin(), rules.end(), [&](const KdeRule &r) {
            return passesOn(r) && writtenByVarlex(r) && closers.contains(closerKey(r));
        });
    }
    // What each context is without the contexts it opens, and the contexts it opens, in order.
    std::vector<QString> own(static_cast<size_t>(n));
    std::vector<std::vector<int>> opens(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const KdeContext &c = def.contexts[size_t(i)];
        QString &text = own[size_t(i)];
        auto add = [&](const QString &switchText) {
            const auto [pops, to] = target(switchText, def);
            text += QStringLiteral("|%1>").arg(pops) + (to < 0 ? switchText.trimmed() : QString());
            opens[size_t(i)].push_back(to);
        };
        text = c.attribute + QChar(0x1F) + QString::number(c.dynamic);
        add(byVarlex && endsLine(c) ? QStringLiteral("#stay") : c.lineEndContext);
        add(c.lineEmptyContext);
        add(c.fallthroughContext);
        bool closed = false;
        for (const KdeRule &r : c.rules) {
            if (passesOn(r) && closers.contains(closerKey(r)))
                continue;
            if (r.type == QLatin1String("IncludeRules") && passesOnly(r, def, passing))
                continue;
            if (closerVariants && closes(r) && writtenByVarlex(r)) {
                if (!std::exchange(closed, true))
                    text += QStringLiteral("|closes");
                continue;
            }
            text += ruleText(r);
            add(r.value("context"));
        }
    }
    // Split the contexts into classes until contexts of one class open contexts of one class alike.
    std::vector<int> cls(static_cast<size_t>(n), 0);
    for (int count = 1;;) {
        QHash<QString, int> ids;
        std::vector<int> next(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            QString key = QString::number(cls[size_t(i)]) + u'|' + own[size_t(i)];
            for (int to : opens[size_t(i)])
                key += u',' + QString::number(to < 0 ? -1 : cls[size_t(to)]);
            next[size_t(i)] = int(ids.insert(key, ids.value(key, int(ids.size()))).value());
        }
        cls = std::move(next);
        if (int(ids.size()) == count)
            break;
        count = int(ids.size());
    }
    // The first of a class stands for it; of repeats that differ in where they end, one that goes on
    // over lines.
    std::vector<int> first(static_cast<size_t>(n), -1), out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int &f = first[size_t(cls[size_t(i)])];
        if (f < 0 || (endsLine(def.contexts[size_t(f)]) && !endsLine(def.contexts[size_t(i)])))
            f = i;
    }
    for (int i = 0; i < n; ++i)
        out[size_t(i)] = first[size_t(cls[size_t(i)])];
    return out;
}

} // namespace KdeAlikeContexts
