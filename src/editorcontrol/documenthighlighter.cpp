#include "editorcontrol/documenthighlighter.h"

DocumentHighlighter::DocumentHighlighter(CompiledLanguagePtr language) : highlighter_(std::move(language)) {}

void DocumentHighlighter::setText(QStringView text)
{
    lines_ = text.toString().split(QLatin1Char('\n'));
    runs_.resize(lines_.size());
    states_.resize(lines_.size() + 1);
}

int DocumentHighlighter::replaceLines(int, int, const QStringList &)
{
    return 0;
}

int DocumentHighlighter::recolourFrom(int, int)
{
    return 0;
}
