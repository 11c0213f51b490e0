#include "editorcontrol/textrenderer.h"

namespace TextRenderer {

QString toHtml(QStringView text, const QVector<StyleRun> &, const CompiledLanguage &, const QString &)
{
    return text.toString().toHtmlEscaped();
}

QString toAnsi(QStringView text, const QVector<StyleRun> &, const CompiledLanguage &)
{
    return text.toString();
}

} // namespace TextRenderer
