#include "platform/windowplacement.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

QRect fitInside(const QRect &wanted, const QRect &area)
{
    if (area.isEmpty())
        return wanted;
    QRect r(wanted.topLeft(), wanted.size().boundedTo(area.size()));
    r.moveLeft(qBound(area.left(), r.left(), area.right() + 1 - r.width()));
    r.moveTop(qBound(area.top(), r.top(), area.bottom() + 1 - r.height()));
    return r;
}

void layOutUnshown(QWidget *widget)
{
    QList<QWidget *> chain;
    for (QWidget *w = widget; w; w = w->parentWidget())
        chain.prepend(w);
    // From the top down: each layout places the next widget, whose resize event then lays
    // out what is inside it (a scroll area its viewport, the window area its maximised windows).
    // Shown widgets are laid out by Qt as ever.
    for (QWidget *w : std::as_const(chain)) {
        if (w->isVisible())
            continue;
        if (w->testAttribute(Qt::WA_PendingResizeEvent)) {
            w->setAttribute(Qt::WA_PendingResizeEvent, false);
            QResizeEvent resized(w->size(), QSize());
            QCoreApplication::sendEvent(w, &resized);
        }
        if (w->layout())
            w->layout()->activate();
    }
}

QRect clampToScreens(const QRect &saved, const QList<QRect> &areas)
{
    if (areas.isEmpty())
        return saved;
    QRect best = areas.first();
    qint64 bestOverlap = 0;
    for (const QRect &area : areas) {
        const QRect common = area.intersected(saved);
        const qint64 overlap = qint64(common.width()) * common.height();
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = area;
        }
    }
    return fitInside(saved, best);
}

QList<QRect> availableAreas()
{
    QList<QRect> areas;
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (QScreen *s : screens)
        if (s != primary)
            areas.append(s->availableGeometry());
    return areas;
}

QRect availableAreaFor(const QWidget *owner)
{
    QScreen *screen = owner ? owner->screen() : nullptr;
    if (owner && owner->isVisible() && !owner->isMinimized()) {
        if (QScreen *at = QGuiApplication::screenAt(owner->frameGeometry().center()))
            screen = at;
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void placeOver(QWidget *window, const QWidget *owner)
{
    if (!window)
        return;
    const QWidget *ownerWindow = owner ? owner->window() : nullptr;
    const QRect area = availableAreaFor(ownerWindow);
    const bool ownerShown = ownerWindow && ownerWindow->isVisible() && !ownerWindow->isMinimized();
    const QPoint centre = ownerShown ? ownerWindow->frameGeometry().center() : area.center();
    QSize size = window->size();
    if (!window->testAttribute(Qt::WA_Resized))
        size = window->sizeHint().expandedTo(window->minimumSize());
    QRect r(QPoint(0, 0), size);
    r.moveCenter(centre);
    r = fitInside(r, area);
    window->setGeometry(r);
}
}
