#pragma once

#include "lint/finding.h"

#include <QVector>

#include <functional>

struct Language;

namespace Lint {

class LanguageView;

// Collects the findings of one language.
class Report {
public:
    Report(QString language, QVector<Finding> &out) : language_(std::move(language)), out_(out) {}
    void add(Severity severity, const char *rule, const QString &tokenset, const QString &token,
             const QString &message);
    // Asked by long checks between their items: true once the caller wants the lint stopped.
    void setStop(std::function<bool()> stop) { stop_ = std::move(stop); }
    bool stopped() const { return stop_ && stop_(); }

private:
    QString language_;
    QVector<Finding> &out_;
    std::function<bool()> stop_;
};

// The checks, one area each (see docs/lint.md for every rule).
void checkTexts(const Language &language, Report &report);     // names, code page, XML characters, field values
void checkReferences(const LanguageView &view, Report &report); // inheritance, valid scopes, reachability
void checkRegexps(const LanguageView &view, Report &report);    // regexps that fail, match empty or backtrack
void checkTokens(const LanguageView &view, Report &report);     // empty, dead and duplicate tokens, token fields
void checkShadowing(const LanguageView &view, Report &report);  // tokens that never win, scopes that never close

} // namespace Lint
