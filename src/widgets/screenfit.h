#pragma once

#include <QList>
#include <QRect>

class QWidget;

// Keeps a window where the user can reach it. Stored window positions outlive the screens they were
// made on (a monitor unplugged, settings edited by hand) and a window placed beside another may
// land past the screen's edge: such a window is moved onto the nearest screen, and shrunk when it
// is larger than that screen. A window that shows enough of itself stays exactly where it is.
namespace ScreenFit {

// Enough of a window shows when one screen holds this much of its title strip and height (or all
// of it, for a smaller window).
constexpr int kMinVisibleWidth = 200;
constexpr int kMinVisibleHeight = 100;
constexpr int kTitleStrip = 30;

// Where a window with the outer rectangle frame goes, given the usable areas of the screens.
QRect place(const QRect &frame, const QList<QRect> &screens);

// A size no larger than twice the screens' usable areas together: a stored size of a million pixels
// would otherwise be allocated before the window could be fitted. A window somewhat larger than the
// screen (left so on a larger monitor) keeps its size, as its place is kept while enough of it shows.
QSize fitSize(const QSize &size);

// Moves (and resizes) a top-level window after its geometry was set, using the available areas of
// the current screens. The stored values the geometry came from are not touched.
void keepVisible(QWidget *window);

} // namespace ScreenFit
