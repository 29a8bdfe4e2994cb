#pragma once
#include <QString>

class WindowManager;

// Back, forward, refresh, home, search and stop on the active window, from the
// Go menu (silent) and from the Go toolbar (which reports the end of the history).
namespace Navigation {
void goMenu(WindowManager *windows, const QString &item);
// Returns true when the key was one of the navigation keys it handles.
bool tb2_ButtonClick(WindowManager *windows, const QString &key);
}
