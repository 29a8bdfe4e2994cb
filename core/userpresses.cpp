#include "core/userpresses.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

UserPresses *UserPresses::instance()
{
    static QPointer<UserPresses> shared;
    if (!shared)
        shared = new UserPresses(QCoreApplication::instance());
    return shared;
}

UserPresses::UserPresses(QObject *parent) : QObject(parent)
{
    parent->installEventFilter(this);
}

bool UserPresses::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
    case QEvent::Drop: // a link or file let go over a page, which opens it in a window
        Q_EMIT pressed(watched->isWidgetType() ? static_cast<QWidget *>(watched) : nullptr);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
