#include "browser/windowarea.h"

#include <QEvent>

bool WindowArea::eventFilter(QObject *watched, QEvent *event)
{
    // The area watches the whole programme's keys and takes Ctrl+Tab typed in any widget
    // whose chain of parents reaches it, including a page's prompt or question box (and its
    // Control release then brings another window up behind the box).
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() != window())
        return false;
    return QMdiArea::eventFilter(watched, event);
}
