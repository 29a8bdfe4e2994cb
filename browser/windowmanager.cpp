#include "browser/windowmanager.h"

#include "app/browsercontrol.h"
#include "app/mdiform1.h"
#include "app/windowregistry.h"
#include "browser/form1.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/tabstrip.h"

#include <QMdiArea>
#include <QPushButton>

WindowManager::WindowManager(mdiform1 *frame) : QObject(frame), m_frame(frame) {}

form1 *WindowManager::newBrowserWindow() { return new form1(m_frame); }

int WindowManager::openNumbered(ChildWindow *window)
{
    m_frame->raiseTabctr();
    const int n = m_frame->Tabctr;
    m_frame->tb->insertTab(n, QString::number(n));
    window->Tag = QString::number(n);
    m_frame->showChild(window);
    return n;
}

void WindowManager::OpenSiteWindow(ChildWindow *window, const QString &address)
{
    openNumbered(window);
    window->Web1->Navigate(address);
}

void WindowManager::NewWin()
{
    ChildWindow *window = newBrowserWindow();
    openNumbered(window);
    window->Web1->GoHome();
    if (m_frame->Status == QLatin1String("MIN"))
        m_frame->HideToTray();
}

void WindowManager::tabClick(int index)
{
    TabStrip *tb = m_frame->tb;
    if (KeyboardState::leftControlDown()) {
        tb->setCaption(index, Dialogs::input(m_frame, QStringLiteral("Tab description"),
                                             QStringLiteral("Enter new Tab description")));
        return;
    }
    const QString tag = QString::number(index);
    bool matched = false;
    for (QWidget *w : WindowRegistry::windows()) {
        auto *window = qobject_cast<ChildWindow *>(w);
        if (!window || window->Tag != tag)
            continue;
        matched = true;
        m_frame->showChild(window);
        window->showMaximized();
        tb->setCaption(index, window->Web1->LocationName().left(30));
        rez();
    }
    if (!matched) {
        ChildWindow *window = newBrowserWindow();
        window->Tag = tag;
        m_frame->showChild(window);
        window->Web1->Navigate(QStringLiteral("about:blank"));
        window->showMaximized();
    }
    if (ChildWindow *active = m_frame->activeChild())
        active->Web1->setVisible(true);
}

void WindowManager::rez()
{
    ChildWindow *active = m_frame->activeChild();
    if (!active || active->isMaximized())
        return;
    active->setGeometry(QRect(QPoint(0, 0), m_frame->mdiArea->viewport()->size()));
}

void WindowManager::CloseActiveWin()
{
    m_frame->setPopStat(QStringLiteral("Closing Active Web Window..."));
    if (m_frame->Status == QLatin1String("MIN"))
        m_frame->HideToTray();
    if (ChildWindow *active = m_frame->activeChild())
        active->close();
}

void WindowManager::closeAll()
{
    for (QWidget *w : WindowRegistry::windows())
        if (w != m_frame && w->objectName() != QLatin1String("mdiform1"))
            w->close();
}

void WindowManager::cascade() { m_frame->mdiArea->cascadeSubWindows(); }

namespace {
QList<QMdiSubWindow *> tileable(QMdiArea *area)
{
    QList<QMdiSubWindow *> list;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            list.append(w);
    return list;
}

// Side by side (vertical) or one above the other (horizontal), in equal shares.
void tile(QMdiArea *area, bool sideBySide)
{
    const QList<QMdiSubWindow *> list = tileable(area);
    if (list.isEmpty())
        return;
    const QSize size = area->viewport()->size();
    const int n = list.size();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = list.at(i);
        w->showNormal();
        if (sideBySide) {
            const int x0 = size.width() * i / n, x1 = size.width() * (i + 1) / n;
            w->setGeometry(x0, 0, x1 - x0, size.height());
        } else {
            const int y0 = size.height() * i / n, y1 = size.height() * (i + 1) / n;
            w->setGeometry(0, y0, size.width(), y1 - y0);
        }
    }
}
}

void WindowManager::tileHorizontally() { tile(m_frame->mdiArea, false); }
void WindowManager::tileVertically() { tile(m_frame->mdiArea, true); }

void WindowManager::arrangeIcons()
{
    // Minimised windows line up along the bottom edge, left to right.
    QMdiArea *area = m_frame->mdiArea;
    int x = 0;
    const int bottom = area->viewport()->height();
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x > 0 && x + s.width() > area->viewport()->width())
            x = 0;
        w->move(x, bottom - s.height());
        x += s.width();
    }
}

void WindowManager::increaseTabsSpace() { ChildEvents::growTabBand(m_frame, 50); }
void WindowManager::decreaseTabsSpace() { ChildEvents::growTabBand(m_frame, -50); }

void WindowManager::removeTab(int n)
{
    if (!m_frame->tb->removeTab(n))
        return;
    if (m_frame->Tabctr > 0)
        --m_frame->Tabctr;
    // Tabs after n moved one place left: their windows follow them.
    for (QWidget *w : WindowRegistry::windows()) {
        auto *window = qobject_cast<ChildWindow *>(w);
        int k = 0;
        if (window && window->tagNumber(&k) && k > n)
            window->Tag = QString::number(k - 1);
    }
}
