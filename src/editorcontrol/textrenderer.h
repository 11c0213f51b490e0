#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// Coloured text as HTML or as ANSI terminal escapes.
namespace TextRenderer {

// A complete HTML page: the text in a <pre>, each run in a <span> with its colours and font style.
QString toHtml(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
               const QString &title = QString());

// The text with 24-bit colour escapes (SGR 38;2 / 48;2, bold, italic, underline), reset at every line end.
QString toAnsi(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language);

// The same, encoded as UTF-8 directly (for large texts: no intermediate string).
QByteArray toHtmlUtf8(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
                      const QString &title = QString());
QByteArray toAnsiUtf8(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language);

} // namespace TextRenderer
