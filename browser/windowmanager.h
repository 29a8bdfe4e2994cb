#pragma once
#include "browser/form1.h"
#include "core/browsercontrol.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class CoolBar;
class FrameHost;
class QMdiArea;
class QMdiSubWindow;
class TabStrip;

// The one owner of window numbering: window n carries Tag "n" and owns tab n of the
// strip, and `Tabctr` is the number of the newest tab. Opens, shows, closes and
// arranges the frame's child windows, and keeps the strip and the frame's shared
// controls in step with them.
class WindowManager : public QObject
{
    Q_OBJECT
public:
    // tabBand: the coolbar whose first band holds the tab strip.
    WindowManager(FrameHost *frame, TabStrip *tabs, CoolBar *tabBand, QMdiArea *area, QObject *parent = nullptr);

    FrameHost *frame() const { return m_frame; }
    TabStrip *tabs() const { return m_tabs; }
    QMdiArea *area() const { return m_area; }

    qint16 Tabctr = 0;
    // Default-slot windows (slot 1..8): News, Tool, Business, Search, Comic, Sift, BRintranet, WebEmail.
    std::array<QPointer<ChildWindow>, 9> slotWindows;

    form1 *newBrowserWindow();
    // The numbering step of every opener: raise Tabctr, insert tab Tabctr captioned
    // with it, tag the window and show it. Returns the window's number.
    int openNumbered(ChildWindow *window);
    // The same, but the tab goes after the end tab: the old end tab becomes the
    // window's own and the new one is the end tab.
    int openAppended(ChildWindow *window);
    void OpenSiteWindow(ChildWindow *window, const QString &address);

    // The current window, also while the frame is hidden or not the active application window.
    ChildWindow *activeChild() const;
    // The active window's browser control, or null.
    BrowserControl *activePage() const;
    QList<ChildWindow *> childWindows() const;
    // The windows carrying a tab's number (normally one; none for a spare tab).
    QList<ChildWindow *> windowsOfTab(int index) const;
    // Adds a window to the window area, shows it and makes it the active child.
    void showChild(ChildWindow *window);

    void NewWin();
    // Makes the next (step 1) or previous (step -1) window in tab order active, wrapping round.
    void activateNeighbour(int step);
    void tabClick(int index);
    void rez();
    void CloseActiveWin();
    void closeAll();
    void cascade();
    void tileHorizontally();
    void tileVertically();
    void arrangeIcons();
    void increaseTabsSpace();
    void decreaseTabsSpace();
    // Removes tab n (a banned popup's) and lowers Tabctr; the windows after it are
    // re-numbered so that window k and tab k still belong together.
    void removeTab(int n);

    // Decides what becomes of a page's request for a new window; the popup policy sets it.
    // from is the framed window asking, or null for a control outside the frame; opener
    // is the control whose page asks.
    using NewWindowPolicy = std::function<BrowserControl::NewWindowAnswer(ChildWindow *from, BrowserControl *opener)>;
    void setNewWindowPolicy(NewWindowPolicy policy) { m_newWindowPolicy = std::move(policy); }

    // What every child window does when it is made: its status text and new-window
    // requests go to the frame, and the tab band grows by 10 twips over the strip's height.
    void attach(ChildWindow *window);
    // A window's page completed: its caption and tab take the title, and the address
    // bar shows the active window's address.
    void showCompletedPage(ChildWindow *window);
    // A window's page got the focus: the address bar shows the active window's address.
    void showActiveAddress();
    // Selects the tab of the active window.
    void selectActiveTab();
    // The window's tab shows whether it loads or the page's icon, and the frame the active window's progress.
    void showLoadState(ChildWindow *window);
    // Page icons come on once every window open now has finished loading.
    void enablePageIconsWhenSettled();
    static QIcon loadingIcon();
    // Turns tab n into a spare tab.
    void makeSpareTab(int n);
    // Tab n's window closed, the tab keeping its caption: it no longer shows a loading sign.
    void leaveTabIdle(int n);
    // Around a window's close: when the active window closes, the window used before it
    // becomes active again, not the first one opened.
    void windowClosing(ChildWindow *window);
    void windowClosed(ChildWindow *window, bool closed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool raiseTabctr();
    // The window's caption: its page's title, saying so when the page stopped; its tab shows the start of it.
    static QString windowCaption(ChildWindow *window);
    static QString tabCaption(ChildWindow *window);
    void activeWindowChanged(QMdiSubWindow *window);
    // The status bar shows the progress of the (active) window while it loads; none for null.
    void showProgressOf(ChildWindow *window);
    // Moves (and if it must, shrinks) a window into the area; before the frame is first
    // shown it is only moved.
    void keepInside(QMdiSubWindow *window) const;
    // At the frame's first show: the windows opened before it fit the area it has.
    void fitStartUpWindows();
    // columnsFirst: windows fill the columns one after another (vertical tiling).
    void tile(bool columnsFirst);
    void checkIconsSettled();
    // Grows the tab band when the strip's rows no longer fit in it.
    void fitTabBand();
    // Sets the tab band's minimum height to the height of the strip's rows (in the band's
    // frame) plus the given twips.
    void growTabBand(int twips);
    // Makes the tab band, as it shows now, the given twips taller (or smaller).
    void resizeTabBand(int twips);
    // The tab band's minimum height, never above the limit.
    void setTabBand(int twips);
    // The most the tab band may take of the frame's height, in pixels.
    int tabBandLimit() const;
    // What the band's frame adds around the strip, in pixels.
    int tabBandMargins() const;

    FrameHost *m_frame;
    TabStrip *m_tabs;
    CoolBar *m_tabBand;
    QMdiArea *m_area;
    NewWindowPolicy m_newWindowPolicy;
    bool m_iconsPending = false;
    bool m_frameShown = false;             // the frame has been on the screen since it was made
    QList<QPointer<ChildWindow>> m_recent; // by last activation, the latest last
    QPointer<ChildWindow> m_closing;       // the active window while it closes
};
