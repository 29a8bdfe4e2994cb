#pragma once
#include <QList>
#include <QRect>

class QWidget;

// Where top-level windows go on the desktop: over their owner and never partly
// off the screens that exist.
namespace WindowPlacement {

// wanted moved (and shrunk if it must be) so that it lies wholly inside area.
QRect fitInside(const QRect &wanted, const QRect &area);
// A stored frame rectangle made to fit the screens there are now: it goes to the
// screen it overlaps most (the first when it overlaps none) and fits inside it.
QRect clampToScreens(const QRect &saved, const QList<QRect> &availableAreas);
// The available areas of every screen, in the order the platform lists them.
QList<QRect> availableAreas();
// The available area of the screen the owner is on (the primary screen without one).
QRect availableAreaFor(const QWidget *owner);
// Gives a widget that has not been shown since it was made or resized, and every widget
// it lies in, the geometry their layouts give them, as showing them would, without showing
// them: a frame that starts in the tray has its window area laid out at its real size,
// not at the 100 x 30 px Qt starts widgets at. Widgets inside this one are left as they are.
void layOutUnshown(QWidget *widget);
// Centres a top-level window over its owner's window, inside the available area of
// the owner's screen; with no visible owner, on the screen's centre.
void placeOver(QWidget *window, const QWidget *owner);
}
