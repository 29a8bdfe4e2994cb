#include "popups/webpopup.h"

#include "app/browsercontrol.h"
#include "app/mdiform1.h"
#include "app/processstate.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "platform/webenginebrowser.h"
#include "popups/banlist.h"

#include <QCloseEvent>
#include <QWebEnginePage>

webPopup::webPopup(mdiform1 *frame) : ChildWindow(Kind::Popup, QStringLiteral("webPopup")), m_frame(frame)
{
    setWindowTitle(QStringLiteral("New Window (PopUp)"));
    resize(640, 480);
    setMouseTracking(true);
    // Web1 fills the client area through the base window's layout, so it follows resizes.
    connect(Web1, &BrowserControl::DocumentComplete, this, &webPopup::Web1_DocumentComplete);
    connect(Web1, &BrowserControl::DownloadBegin, this, &webPopup::Web1_DownloadBegin);
    connect(Web1, &BrowserControl::GotFocus, this, [this] { ChildEvents::gotFocus(m_frame); });
    // A page closing its own window (window.close()) makes the control invisible.
    if (auto *engine = qobject_cast<WebEngineBrowser *>(Web1))
        connect(engine->page(), &QWebEnginePage::windowCloseRequested, this, [this] {
            Web1->hide();
            visibilityWatch();
        });
    ChildEvents::connectToFrame(m_frame, this);
}

void webPopup::visibilityWatch()
{
    // The control's own visibility: a frame hidden in the tray hides it only indirectly.
    if (Web1->isHidden())
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
    ChildEvents::documentComplete(m_frame, this);
    QString &verdict = ProcessState::PopupVerdict;
    verdict.clear();
    // This window's own address: the active child may be another window entirely.
    CheckBanList(Web1->LocationURL());
    if (verdict != QLatin1String("NO") || m_banned)
        return;
    m_banned = true;
    int n = 0;
    if (m_frame && tagNumber(&n))
        m_frame->windows->removeTab(n); // the windows after it follow their tabs
    Tag.clear(); // its number now belongs to the next window
    close();
}

void webPopup::closeEvent(QCloseEvent *event)
{
    ChildWindow::closeEvent(event);
    if (!event->isAccepted() || m_banned)
        return;
    int n = 0;
    if (Tag != QLatin1String("1") && tagNumber(&n))
        ChildEvents::makeSpareTab(m_frame, n);
}
