#include "platform/keyboardstate.h"

#include <QByteArray>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace KeyboardState {

namespace {
int overrideState = -1;
}

void setOverride(int state) { overrideState = state; }

bool leftControlDown()
{
    if (overrideState >= 0)
        return overrideState == 1;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return false;
    Display *dpy = XOpenDisplay(display.constData());
    if (!dpy)
        return false;
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    const KeyCode code = XKeysymToKeycode(dpy, XK_Control_L);
    const bool down = code != 0 && (keys[code / 8] & (1 << (code % 8)));
    XCloseDisplay(dpy);
    return down;
}

}
