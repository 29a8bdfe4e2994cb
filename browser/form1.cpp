#include "browser/form1.h"

#include "app/browsercontrol.h"
#include "app/mdiform1.h"
#include "app/startuptrace.h"
#include "platform/coolbar.h"
#include "platform/tabstrip.h"

#include <QCloseEvent>

namespace ChildEvents {

void growTabBand(mdiform1 *frame, int twips)
{
    // The strip's height for its width: a strip not laid out yet (frame still hidden) has no real height.
    if (frame)
        frame->CoolBar2->setMinHeightTwips(mdiform1::BandTabs,
                                           CoolBar::toTwips(frame->tb->heightForWidth(frame->tb->width())) + twips);
}

// A page's title goes whole into the caption and tooltip, up to a bound: a page
// can set a title of many megabytes, which no caption needs and the window
// system should not be asked to lay out.
constexpr int MaxTitle = 4096;

void documentComplete(mdiform1 *frame, ChildWindow *window)
{
    QString title = window->Web1->LocationName().left(MaxTitle);
    // A page whose renderer died is not there any more, whatever its title says.
    if (window->Web1->rendererGone())
        title.prepend(QStringLiteral("Page stopped - "));
    window->setWindowTitle(title);
    int n = 0;
    if (frame && window->tagNumber(&n)) {
        frame->tb->setCaption(n, title.left(30));
        frame->tb->setToolTip(n, title);
    }
    // The active window's address, also when a background window completed.
    if (frame)
        if (ChildWindow *active = frame->activeChild())
            frame->setAddressText(active->Web1->LocationURL());
}

void gotFocus(mdiform1 *frame)
{
    if (!frame)
        return;
    ChildWindow *active = frame->activeChild();
    if (active && !active->Web1->LocationURL().trimmed().isEmpty())
        frame->setAddressText(active->Web1->LocationURL());
}

void connectToFrame(mdiform1 *frame, ChildWindow *window)
{
    QObject::connect(window->Web1, &BrowserControl::StatusTextChange, window, [frame](const QString &text) {
        if (frame)
            frame->setStatusText(text);
    });
    QObject::connect(window->Web1, &BrowserControl::NewWindow2, window,
                     [frame, window](BrowserControl **target, bool *cancel) {
                         if (frame && frame->newWindowHandler)
                             frame->newWindowHandler(window, target, cancel);
                     });
    growTabBand(frame, 10);
}

void makeSpareTab(mdiform1 *frame, int n)
{
    if (!frame)
        return;
    frame->tb->setCaption(n, QString());
    frame->tb->setToolTip(n, QStringLiteral("Spare Tab - Click to use..."));
}

}

form1::form1(mdiform1 *frame) : ChildWindow(Kind::Browser, QStringLiteral("form1")), m_frame(frame)
{
    resize(640, 480);
    setMouseTracking(true);
    connect(Web1, &BrowserControl::DocumentComplete, this, &form1::Web1_DocumentComplete);
    connect(Web1, &BrowserControl::GotFocus, this, &form1::Web1_GotFocus);
    ChildEvents::connectToFrame(m_frame, this);
}

void form1::Web1_DocumentComplete()
{
    StartupTrace::mark("complete", Tag.toInt());
    ChildEvents::documentComplete(m_frame, this);
}

void form1::Web1_GotFocus() { ChildEvents::gotFocus(m_frame); }

void form1::mouseMoveEvent(QMouseEvent *event)
{
    ChildWindow::mouseMoveEvent(event);
    if (!m_frame)
        return;
    ChildWindow *active = m_frame->activeChild();
    if (active && active->Web1->isVisible())
        m_frame->setAddressText(active->Web1->LocationURL());
}

void form1::closeEvent(QCloseEvent *event)
{
    ChildWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    int n = 0;
    if (Tag != QLatin1String("1") && tagNumber(&n))
        ChildEvents::makeSpareTab(m_frame, n);
}
