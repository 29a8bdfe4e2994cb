#pragma once
#include "browser/childwindow.h"

// A window a page asked for, opened inside the frame with a tab of its own. Like a
// browser window, and in addition it closes itself when its address is banned.
class webPopup : public ChildWindow
{
    Q_OBJECT
public:
    explicit webPopup(WindowManager *windows);

    // Closes the window when its page has closed itself and its control is no longer visible.
    void visibilityWatch();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Web1_DocumentComplete();
    void Web1_DownloadBegin();

    bool m_pageClosed = false; // the page asked to close its window
    bool m_banned = false; // closing because its address is banned: its tab is gone already
};
