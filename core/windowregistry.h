#pragma once
#include <QList>
#include <QWidget>

class QMdiSubWindow;

// The programme's loaded windows in opening order: the frame, browser and popup
// windows, dialogs. "Every loaded window" (close all, exit, print all) means this list.
// A window adds itself when it is made and drops out when it is destroyed.
namespace WindowRegistry {
void add(QWidget *window);
QList<QWidget *> windows();
// A window that has closed for good drops out at once, before it is destroyed.
void markUnloaded(QWidget *window);
// True once window has been marked unloaded (the frame is from the start of its unload).
bool isUnloaded(const QWidget *window);
// The window of the frame's window area that widget is in (or is), or null.
QMdiSubWindow *subWindowOf(const QWidget *widget);
}
