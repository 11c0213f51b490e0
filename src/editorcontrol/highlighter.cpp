#include "editorcontrol/highlighter.h"

struct Highlighter::Scanner {};

Highlighter::Highlighter(CompiledLanguagePtr language)
    : language_(std::move(language)), scanner_(std::make_unique<Scanner>()) {}
Highlighter::~Highlighter() = default;

ScopeState Highlighter::highlightLine(QStringView line, const ScopeState &in, QVector<StyleRun> &runs)
{
    runs.clear();
    if (!line.isEmpty())
        runs.append(StyleRun{0, int(line.size()), language_->textTokenset(), -1, StyleRun::Plain});
    return in;
}

QVector<StyleRun> Highlighter::highlightText(QStringView text, bool)
{
    QVector<StyleRun> runs;
    if (!text.isEmpty())
        runs.append(StyleRun{0, int(text.size()), language_->textTokenset(), -1, StyleRun::Plain});
    return runs;
}
