#include "lint/checks.h"
#include "lint/languageview.h"

#include "editorcontrol/compiledlanguagedata.h"
#include "xmlgen/references.h"
#include "xmlgen/xmltext.h"

namespace Lint {

namespace {

const QString kNone = QStringLiteral("<none>");

// Why a reference to `name` does not resolve, for a name that no included tokenset has.
QString unresolved(const Language &language, const QString &name)
{
    bool excluded = false;
    bool blanks = false;
    for (int i = 0; i < language.tokensetCount(); ++i) {
        const QString &other = language.tokensets[size_t(i)].name;
        excluded = excluded || other == name;
        blanks = blanks || (other != name && other == XmlText::trimBlanks(name));
    }
    if (excluded)
        return QStringLiteral("\"%1\" is not included in the definition").arg(name);
    if (blanks)
        return QStringLiteral("\"%1\" has blanks around the name").arg(name);
    return QStringLiteral("no tokenset is named \"%1\"").arg(name);
}

// The included tokenset a reference names, or -1.
int target(const Language &language, const QString &name)
{
    for (int i = 0; i < language.tokensetCount(); ++i) {
        const Tokenset &ts = language.tokensets[size_t(i)];
        if (ts.included == 1 && ts.name == name)
            return i;
    }
    return -1;
}

void checkSlot(const Language &language, int slot, Report &report)
{
    const Tokenset &ts = language.tokensets[size_t(slot)];
    if (ts.inheritfrom == ts.name)
        report.add(Severity::Error, "inherit-missing", ts.name, QString(),
                   QStringLiteral("inherits from itself: nothing is inherited"));
    else if (ts.inheritfrom != kNone && !TokensetExists(language, slot, ts.inheritfrom))
        report.add(Severity::Error, "inherit-missing", ts.name, QString(),
                   QStringLiteral("inherits from a tokenset that is not there: %1")
                       .arg(unresolved(language, ts.inheritfrom)));

    int named = 0;
    int self = 0;
    for (int j = 0; j < 10; ++j) {
        const QString &scope = ts.validscope[size_t(j)];
        const QString trimmed = XmlText::trimBlanks(scope);
        if (trimmed == kNone)
            continue;
        ++named;
        if (trimmed == u"NULL")
            continue;
        const int t = target(language, scope);
        if (t < 0) {
            report.add(Severity::Error, "validscope-missing", ts.name, QString(),
                       QStringLiteral("valid scope %1 is not written: %2").arg(j).arg(unresolved(language, scope)));
        } else if (t == slot) {
            ++self;
        } else if (!readsAsScope(language.tokensets[size_t(t)].type)) {
            report.add(Severity::Warning, "validscope-not-scope", ts.name, QString(),
                       QStringLiteral("valid scope %1 names the list tokenset \"%2\", which opens no scope: the "
                                      "entry has no effect")
                           .arg(j)
                           .arg(scope));
        }
    }
    if (self > 0 && self == named && readsAsScope(ts.type))
        report.add(Severity::Warning, "validscope-self", ts.name, QString(),
                   QStringLiteral("the scope is valid only inside itself, so it never opens"));
    else if (self > 0 && !readsAsScope(ts.type))
        report.add(Severity::Warning, "validscope-not-scope", ts.name, QString(),
                   QStringLiteral("a list tokenset names itself as a valid scope: the entry has no effect"));
}

// Cycles of inheritfrom among the included tokensets, each reported once at its first member.
void checkCycles(const Language &language, Report &report)
{
    const int used = language.tokensetCount();
    QVector<int> parent(used, -1);
    for (int i = 0; i < used; ++i) {
        const Tokenset &ts = language.tokensets[size_t(i)];
        if (ts.included == 1 && ts.inheritfrom != ts.name)
            parent[i] = target(language, ts.inheritfrom);
    }
    for (int i = 0; i < used; ++i) {
        QVector<int> chain{i};
        for (int at = parent[i]; at >= 0 && !chain.contains(at); at = parent[at])
            chain.append(at);
        const int last = chain.last();
        if (parent[last] != i)
            continue;
        if (*std::min_element(chain.begin(), chain.end()) != i)
            continue; // reported at its first member
        QStringList names;
        for (int at : chain)
            names << language.tokensets[size_t(at)].name;
        names << language.tokensets[size_t(i)].name;
        report.add(Severity::Error, "inherit-cycle", language.tokensets[size_t(i)].name, QString(),
                   QStringLiteral("inheritfrom goes round in a cycle: %1").arg(names.join(QStringLiteral(" -> "))));
    }
}

// Tokensets whose tokens are valid only in scopes that the text can never open.
void checkReachable(const LanguageView &view, Report &report)
{
    const CompiledLanguageData &d = view.compiled().data();
    const size_t n = d.tokensets.size();
    for (size_t t = 0; t < n; ++t) {
        const TokensetDefinition &ts = d.definition.tokensets[int(t)];
        if (ts.tokens.tokens.isEmpty() || ts.validscopes == QStringList{ts.name})
            continue;
        bool valid = false;
        for (size_t c = 0; c <= n && !valid; ++c)
            valid = view.reached(int(c)) && d.contextAt(c).valid[t];
        if (!valid)
            report.add(Severity::Warning, "unreachable-tokenset", ts.name, QString(),
                       QStringLiteral("its tokens are valid only inside scopes that never open: they never match"));
    }
}

} // namespace

void checkReferences(const LanguageView &view, Report &report)
{
    const Language &language = view.record();
    for (const ViewTokenset &t : view.tokensets())
        if (t.written >= 0)
            checkSlot(language, t.slot, report);
    checkCycles(language, report);
    checkReachable(view, report);
}

} // namespace Lint
