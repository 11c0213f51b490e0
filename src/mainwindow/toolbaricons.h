#pragma once

#include <QIcon>

class QStyle;

// The pictures of the toolbar buttons, by button key: the style's standard icons where one fits,
// else a small drawn symbol, so the toolbar needs no image files.
namespace ToolbarIcons {

QIcon icon(const QString &key, const QStyle *style);

} // namespace ToolbarIcons
