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

    // from is the framed window asking (null outside the frame); opener the control
    // whose page asks, from's own when not given.
    BrowserControl::NewWindowAnswer NewWindowRequest(ChildWindow *from, BrowserControl *opener = nullptr);

    // Opens the ban list dialog modally over the frame, proposing the address bar's text.
    static void showBanList(FrameHost *frame);

private:
    // A top-level window the component made: its popups and its address obey the same rules.
    void adoptOutside(BrowserControl *made);

    WindowManager *m_windows;
    QAction *m_enDiBoxes;
    QAction *m_internally;
    PopupFlood *m_flood;
};
