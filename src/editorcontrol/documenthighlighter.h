#pragma once

#include "editorcontrol/highlighter.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A document held as lines with the runs and the start state of each line. An edit re-colours from
// its first line and stops at the first line whose start state is unchanged, so typing costs about
// one line unless it opens or closes a scope.
class DocumentHighlighter {
public:
    explicit DocumentHighlighter(CompiledLanguagePtr language);

    void setText(QStringView text);              // colours everything
    // Replaces `removed` lines from `first` with `added`; returns how many lines were re-coloured.
    int replaceLines(int first, int removed, const QStringList &added);

    int lineCount() const { return int(lines_.size()); }
    const QString &line(int i) const { return lines_.at(i); }
    const QVector<StyleRun> &runs(int line) const { return runs_.at(line); }
    const ScopeState &stateAtStart(int line) const { return states_.at(line); }

private:
    int recolourFrom(int first, int mustReach);

    Highlighter highlighter_;
    QStringList lines_;
    QVector<QVector<StyleRun>> runs_;
    QVector<ScopeState> states_; // states_[i]: at the start of line i; one more entry than lines
};
