#include "core/windowregistry.h"

#include <QMdiSubWindow>
#include <QPointer>

namespace {
const char unloadedProperty[] = "quillonUnloaded";

QList<QPointer<QWidget>> &list()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}
}

namespace WindowRegistry {

void markUnloaded(QWidget *window)
{
    if (window)
        window->setProperty(unloadedProperty, true);
}

bool isUnloaded(const QWidget *window)
{
    return window && window->property(unloadedProperty).toBool();
}

QMdiSubWindow *subWindowOf(const QWidget *widget)
{
    for (auto *w = const_cast<QWidget *>(widget); w; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub;
    return nullptr;
}

void add(QWidget *window)
{
    if (!window)
        return;
    for (const QPointer<QWidget> &w : list())
        if (w == window)
            return;
    list().removeAll(nullptr);
    list().append(window);
}

QList<QWidget *> windows()
{
    QList<QWidget *> alive;
    for (const QPointer<QWidget> &w : list())
        if (w && !w->property(unloadedProperty).toBool())
            alive.append(w);
    return alive;
}

}
