#include "platform/windowhints.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace WindowHints {

void mapNormally(QWidget *window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *dpy = x11 ? x11->display() : nullptr;
    // No native window yet: Qt makes it with the state the widget has.
    const WId id = window->internalWinId();
    if (!dpy || !id)
        return;
    XWMHints *hints = XGetWMHints(dpy, id);
    if (!hints)
        return;
    if ((hints->flags & StateHint) && hints->initial_state == IconicState) {
        hints->initial_state = NormalState;
        XSetWMHints(dpy, id, hints);
        // The server must hold the new hint before the window manager sees the map.
        XSync(dpy, False);
    }
    XFree(hints);
}

}
