#include "popups/webpopup.h"

#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "core/framehost.h"
#include "popups/banlist.h"

webPopup::webPopup(WindowManager *windows) : ChildWindow(Kind::Popup, QStringLiteral("webPopup"), windows)
{
    setWindowTitle(QStringLiteral("New Window (PopUp)"));
    resize(640, 480);
    setMouseTracking(true);
    // Web1 fills the client area through the base window's layout, so it follows resizes.
    connect(Web1, &BrowserControl::DocumentComplete, this, &webPopup::Web1_DocumentComplete);
    connect(Web1, &BrowserControl::DownloadBegin, this, &webPopup::Web1_DownloadBegin);
    // A page closing its own window (window.close()) makes the control invisible.
    connect(Web1, &BrowserControl::CloseRequested, this, [this] {
        m_pageClosed = true;
        Web1->hide();
        visibilityWatch();
    });
}

void webPopup::visibilityWatch()
{
    // The control's own visibility: a frame hidden in the tray hides it only indirectly.
    // Only the page's own close counts: the frame also sets a page aside for a while
    // (the additional-sites panel covers it), and that must not lose the window.
    if (m_pageClosed && Web1->isHidden())
        close();
}

void webPopup::mousePressEvent(QMouseEvent *event)
{
    ChildWindow::mousePressEvent(event);
    visibilityWatch();
}

void webPopup::mouseMoveEvent(QMouseEvent *event)
{
    ChildWindow::mouseMoveEvent(event);
    visibilityWatch();
}

void webPopup::Web1_DownloadBegin() { visibilityWatch(); }

void webPopup::Web1_DocumentComplete()
{
    WindowManager *manager = windows();
    if (manager)
        manager->showCompletedPage(this);
    // This window's own address: the active child may be another window entirely.
    if (CheckBanList(Web1->LocationURL()) != BanVerdict::Banned || m_banned)
        return;
    m_banned = true;
    if (manager) {
        FrameHost *frame = manager->frame();
        frame->setPopStat(QStringLiteral("Page Blocked! Click here to edit."));
        if (frame->inTray())
            frame->HideToTray();
        int n = 0;
        if (tagNumber(&n))
            manager->removeTab(n); // the windows after it follow their tabs
    }
    setTabGone();
    Tag.clear(); // its number now belongs to the next window
    close();
}
