#pragma once

#include <QIcon>

class QPalette;
class QStyle;

// The pictures of the toolbar buttons, by button key: the desktop's icon theme where it has the
// icon; else the style's standard icons where one fits, or a small symbol drawn in colours that
// stand out on the palette's window colour, so the toolbar needs no image files.
namespace ToolbarIcons {

QIcon icon(const QString &key, const QStyle *style, const QPalette &palette);

} // namespace ToolbarIcons
