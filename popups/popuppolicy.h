#pragma once
#include "core/browsercontrol.h"

#include <QObject>

class ChildWindow;
class FrameHost;
class PopupFlood;
class QAction;
class WindowManager;

// What happens when a page asks for a new window: refused (EnDiBoxes off, or a
// flood), left to the browser component (Internally on), or opened as a webPopup
// with its own tab in the frame.
class PopupPolicy : public QObject
{
    Q_OBJECT
public:
    // Becomes the window manager's new-window policy. enDiBoxes and internally are the
    // "Allow PopUps" and "View Popup windows in IE" switches.
    PopupPolicy(WindowManager *windows, QAction *enDiBoxes, QAction *internally, QObject *parent = nullptr);

    BrowserControl::NewWindowAnswer NewWindowRequest(ChildWindow *from);

    // Opens the ban list dialog modally over the frame, proposing the address bar's text.
    static void showBanList(FrameHost *frame);

private:
    WindowManager *m_windows;
    QAction *m_enDiBoxes;
    QAction *m_internally;
    PopupFlood *m_flood;
};
