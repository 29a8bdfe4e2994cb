#include "platform/sightwatch.h"

#include "core/windowregistry.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWidget>

SightWatch::SightWatch(QWidget *widget) : QObject(widget), m_widget(widget) {}

bool SightWatch::inSight(const QWidget *widget)
{
    if (!widget->isVisible() || widget->window()->isMinimized())
        return false;
    // The other windows of an area lie behind its current one, or were put aside by the person.
    if (QMdiSubWindow *sub = WindowRegistry::subWindowOf(widget))
        return !sub->isMinimized() && sub->mdiArea() && sub->mdiArea()->currentSubWindow() == sub;
    return true;
}

void SightWatch::watch()
{
    if (m_watching)
        return;
    m_watching = true;
    m_widget->installEventFilter(this);
    m_window = m_widget->window();
    if (m_window != m_widget)
        m_window->installEventFilter(this);
    if (QMdiSubWindow *sub = WindowRegistry::subWindowOf(m_widget); sub && sub->mdiArea())
        m_activation = connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this, &SightWatch::checkSoon);
}

void SightWatch::stop()
{
    m_watching = false;
    m_widget->removeEventFilter(this);
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = nullptr;
    disconnect(m_activation);
}

bool SightWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange)
        checkSoon();
    return QObject::eventFilter(watched, event);
}

void SightWatch::checkSoon()
{
    if (m_checkQueued)
        return;
    m_checkQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_checkQueued = false;
        if (!m_watching || !inSight(m_widget))
            return;
        stop();
        Q_EMIT cameIntoSight();
    });
}
