#include "editorcontrol/documenthighlighter.h"

DocumentHighlighter::DocumentHighlighter(CompiledLanguagePtr language) : highlighter_(std::move(language)) {}

void DocumentHighlighter::setText(QStringView text)
{
    lines_.clear();
    for (int start = 0;;) {
        int end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines_.append(text.mid(start, end - start).toString());
        if (end >= text.size())
            break;
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    runs_.clear();
    runs_.resize(lines_.size());
    states_.clear();
    states_.resize(lines_.size() + 1);
    recolourFrom(0, int(lines_.size()));
}

int DocumentHighlighter::replaceLines(int first, int removed, const QStringList &added)
{
    first = qBound(0, first, int(lines_.size()));
    removed = qBound(0, removed, int(lines_.size()) - first);
    // states_[first] stays right; the old start state of the line after the block is what the
    // re-colouring compares with, so it moves to the start of that line's new place.
    const ScopeState following = states_.at(first + removed);
    lines_.remove(first, removed);
    runs_.remove(first, removed);
    states_.remove(first + 1, removed);
    for (int i = 0; i < added.size(); ++i) {
        lines_.insert(first + i, added.at(i));
        runs_.insert(first + i, QVector<StyleRun>());
    }
    if (!added.isEmpty()) {
        states_.insert(first + 1, following);
        states_.insert(first + 1, added.size() - 1, ScopeState());
    }
    return recolourFrom(first, first + int(added.size()));
}

// Colours from line `first`; past line `mustReach` it stops as soon as a line ends in the state that
// the next line already starts with.
int DocumentHighlighter::recolourFrom(int first, int mustReach)
{
    int count = 0;
    for (int i = first; i < lines_.size(); ++i) {
        ScopeState out = highlighter_.highlightLine(lines_.at(i), states_.at(i), runs_[i]);
        ++count;
        if (i + 1 >= mustReach && states_.at(i + 1) == out)
            break;
        states_[i + 1] = std::move(out);
    }
    return count;
}
