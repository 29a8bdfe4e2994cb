#include "platform/pagefullscreen.h"

#include <QLayout>
#include <QScreen>
#include <QShortcut>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

PageFullScreen::PageFullScreen(QWebEngineView *view, QWidget *home)
    : QObject(home), m_view(view), m_home(home), m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), view))
{
    // Only in full screen: in the frame, Escape is the frame's Stop or the page's own key.
    m_escape->setContext(Qt::WindowShortcut);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this,
            [this] { m_view->page()->triggerAction(QWebEnginePage::ExitFullScreen); });
    connect(view->page(), &QWebEnginePage::fullScreenRequested, this, &PageFullScreen::onRequested);
}

PageFullScreen::~PageFullScreen()
{
    if (m_on)
        leave();
}

void PageFullScreen::onRequested(QWebEngineFullScreenRequest request)
{
    request.accept();
    if (request.toggleOn() && !m_on)
        enter();
    else if (!request.toggleOn() && m_on)
        leave();
}

void PageFullScreen::enter()
{
    m_on = true;
    const QString title = m_home->window()->windowTitle();
    m_view->setParent(nullptr, Qt::Window);
    m_view->setWindowTitle(title);
    // The window manager fills the screen on request; without one, or one that ignores
    // the request, the window is given the screen's size itself.
    if (QScreen *screen = m_home->screen())
        m_view->setGeometry(screen->geometry());
    m_view->showFullScreen();
    m_view->activateWindow();
    m_view->setFocus(Qt::OtherFocusReason);
    m_escape->setEnabled(true);
}

void PageFullScreen::leave()
{
    m_on = false;
    m_escape->setEnabled(false);
    m_view->setParent(m_home);
    if (QLayout *layout = m_home->layout())
        layout->addWidget(m_view);
    m_view->show();
    m_view->setFocus(Qt::OtherFocusReason);
}
