#include "browser/windowmanager.h"

#include "browser/form1.h"
#include "browser/framebands.h"
#include "core/framehost.h"
#include "core/textcut.h"
#include "core/windowregistry.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/tabstrip.h"
#include "platform/windowplacement.h"

#include <QEvent>
#include <QLayout>
#include <QMdiArea>
#include <QTimer>
#include <QtMath>

#include <cmath>

#include <algorithm>

namespace {
// A page's title goes whole into the caption and tooltip, up to a bound: a page
// can set a title of many megabytes, which no caption needs and the window
// system should not be asked to lay out.
constexpr int MaxTitle = 4096;
}

WindowManager::WindowManager(FrameHost *frame, TabStrip *tabs, CoolBar *tabBand, QMdiArea *area, QObject *parent)
    : QObject(parent), m_frame(frame), m_tabs(tabs), m_tabBand(tabBand), m_area(area)
{
    connect(tabs, &TabStrip::rowsOverflow, this, &WindowManager::fitTabBand);
    connect(area, &QMdiArea::subWindowActivated, this, &WindowManager::activeWindowChanged);
    // A frame made smaller takes its tab band down with it.
    tabBand->window()->installEventFilter(this);
}

bool WindowManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_tabBand->window())
        setTabBand(m_tabBand->minHeightTwips(FrameBands::BandTabs));
    if (event->type() == QEvent::Show && watched == m_tabBand->window() && !m_frameShown) {
        m_frameShown = true;
        fitStartUpWindows();
    }
    return QObject::eventFilter(watched, event);
}

void WindowManager::fitStartUpWindows()
{
    // The layouts above the area may still hold the room of the start-up panel, which is
    // gone: they give the area its size first, as they would in a moment.
    QList<QWidget *> chain;
    for (QWidget *w = m_area; w; w = w->parentWidget())
        chain.prepend(w);
    for (QWidget *w : std::as_const(chain))
        if (w->layout())
            w->layout()->activate();
    for (ChildWindow *window : childWindows())
        keepInside(window);
}

void WindowManager::activeWindowChanged(QMdiSubWindow *w)
{
    // However another window became active (tab, key, close, new window, rotation), the bar
    // shows its address, its tab is selected and the status bar shows its progress.
    auto *window = qobject_cast<ChildWindow *>(w);
    if (window)
        m_frame->setAddressText(window->Web1->LocationURL());
    // What the area picks while the active window closes is not a choice of the user's.
    if (window && !m_closing) {
        m_recent.removeAll(window);
        m_recent.removeAll(nullptr);
        m_recent.append(window);
    }
    showProgressOf(window);
    selectActiveTab();
}

void WindowManager::showProgressOf(ChildWindow *window)
{
    m_frame->setLoadProgress(window && window->Web1->isLoading() ? window->Web1->loadProgress() : -1);
}

void WindowManager::selectActiveTab()
{
    int n = 0;
    if (ChildWindow *active = activeChild(); active && active->tagNumber(&n))
        m_tabs->select(n);
}

form1 *WindowManager::newBrowserWindow() { return new form1(this); }

bool WindowManager::raiseTabctr()
{
    if (Tabctr >= 32767)
        return false;
    ++Tabctr;
    return true;
}

int WindowManager::openNumbered(ChildWindow *window)
{
    raiseTabctr();
    const int n = Tabctr;
    m_tabs->insertTab(n, QString::number(n));
    // A window given a new number ("Load ALL default sites" again) leaves its old tab
    // spare: that tab no longer shows it, and must not go on naming its page.
    int old = 0;
    if (window->tagNumber(&old) && old < n)
        makeSpareTab(old);
    window->Tag = QString::number(n);
    showChild(window);
    return n;
}

int WindowManager::openAppended(ChildWindow *window)
{
    raiseTabctr();
    m_tabs->insertTab(m_tabs->count() + 1, QString());
    window->Tag = QString::number(Tabctr);
    showChild(window);
    return Tabctr;
}

void WindowManager::OpenSiteWindow(ChildWindow *window, const QString &address)
{
    openNumbered(window);
    window->Web1->Navigate(address);
}

ChildWindow *WindowManager::activeChild() const
{
    return qobject_cast<ChildWindow *>(m_area->currentSubWindow());
}

BrowserControl *WindowManager::activePage() const
{
    ChildWindow *active = activeChild();
    return active ? active->Web1 : nullptr;
}

QList<ChildWindow *> WindowManager::childWindows() const
{
    QList<ChildWindow *> list;
    for (QMdiSubWindow *w : m_area->subWindowList(QMdiArea::CreationOrder))
        if (auto *child = qobject_cast<ChildWindow *>(w))
            list.append(child);
    return list;
}

void WindowManager::showChild(ChildWindow *window)
{
    if (!window)
        return;
    // A frame that starts in the tray has never laid out its window area: the area would
    // place and fit its windows in 100 x 30 px.
    WindowPlacement::layOutUnshown(m_area->viewport());
    if (window->mdiArea() != m_area)
        m_area->addSubWindow(window);
    window->show();
    keepInside(window);
    m_area->setActiveSubWindow(window);
}

void WindowManager::keepInside(QMdiSubWindow *window) const
{
    const QRect area(QPoint(0, 0), m_area->viewport()->size());
    if (area.isEmpty() || window->isMaximized() || window->isMinimized() || area.contains(window->geometry()))
        return;
    // The area's placement of a new window may leave it partly outside. A frame never shown
    // has its area only as high as the bands leave it while start-up shows the additional-sites
    // panel (a strip, at a large font): a window opened then is moved but keeps its size until
    // the frame's first show fits it to the area it really has.
    const QRect room = m_frameShown ? area : QRect(area.topLeft(), area.size().expandedTo(window->size()));
    window->setGeometry(WindowPlacement::fitInside(window->geometry(), room));
}

void WindowManager::NewWin()
{
    ChildWindow *window = newBrowserWindow();
    openNumbered(window);
    window->Web1->GoHome();
    if (m_frame->inTray())
        m_frame->HideToTray();
}

void WindowManager::activateNeighbour(int step)
{
    QList<std::pair<int, ChildWindow *>> ordered;
    for (ChildWindow *w : childWindows()) {
        int n = 0;
        if (w->tagNumber(&n) && !w->isHidden())
            ordered.append({n, w});
    }
    if (ordered.isEmpty())
        return;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    int at = -1;
    for (int i = 0; i < ordered.size(); ++i)
        if (ordered.at(i).second == activeChild())
            at = i;
    const int size = ordered.size();
    const int next = at < 0 ? (step > 0 ? 0 : size - 1) : ((at + step) % size + size) % size;
    const auto &[n, window] = ordered.at(next);
    showChild(window);
    m_tabs->select(n);
}

QList<ChildWindow *> WindowManager::windowsOfTab(int index) const
{
    const QString tag = QString::number(index);
    QList<ChildWindow *> list;
    for (QWidget *w : WindowRegistry::windows())
        if (auto *window = qobject_cast<ChildWindow *>(w); window && window->Tag == tag)
            list.append(window);
    return list;
}

void WindowManager::tabClick(int index)
{
    if (KeyboardState::leftControlDown()) {
        // The box runs an event loop: a popup closed meanwhile renumbers the tabs after its
        // own, so the name goes to the tab of the window clicked, wherever it is by then.
        const QList<ChildWindow *> tagged = windowsOfTab(index);
        QPointer<ChildWindow> named = tagged.isEmpty() ? nullptr : tagged.last();
        const bool spare = !named;
        const int tabs = m_tabs->count();
        const QString caption = Dialogs::input(m_frame->frameWidget(), QStringLiteral("Tab description"),
                                               QStringLiteral("Enter new Tab description"));
        int now = index;
        if (spare ? m_tabs->count() == tabs : named && named->tagNumber(&now))
            m_tabs->setCaption(now, caption);
        selectActiveTab(); // renaming shows no other window
        return;
    }
    const QList<ChildWindow *> tagged = windowsOfTab(index);
    for (ChildWindow *window : tagged) {
        showChild(window);
        window->showMaximized();
        m_tabs->setCaption(index, tabCaption(window));
        rez();
    }
    if (tagged.isEmpty()) {
        // A spare tab: a fresh window takes its number without raising Tabctr.
        ChildWindow *window = newBrowserWindow();
        window->Tag = QString::number(index);
        showChild(window);
        window->Web1->Navigate(QStringLiteral("about:blank"));
        window->showMaximized();
    }
    if (ChildWindow *active = activeChild())
        active->Web1->setVisible(true);
}

void WindowManager::rez()
{
    ChildWindow *active = activeChild();
    if (!active || active->isMaximized())
        return;
    active->setGeometry(QRect(QPoint(0, 0), m_area->viewport()->size()));
}

void WindowManager::CloseActiveWin()
{
    m_frame->setPopStat(QStringLiteral("Closing Active Web Window..."));
    // Closing a window activates another; a frame in the tray must stay there.
    if (m_frame->inTray())
        m_frame->HideToTray();
    if (ChildWindow *active = activeChild())
        active->close();
}

void WindowManager::closeAll()
{
    QWidget *frameWindow = m_frame->frameWidget();
    for (QWidget *w : WindowRegistry::windows())
        if (w != frameWindow && w->objectName() != QLatin1String("mdiform1"))
            w->close();
}

namespace {
QList<QMdiSubWindow *> tileable(QMdiArea *area)
{
    QList<QMdiSubWindow *> list;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            list.append(w);
    return list;
}

// Arranged windows fit, so the scroll bars of the arrangement before go: use their room too.
QSize arrangeableSize(QMdiArea *area) { return area->contentsRect().size(); }

// Splits length into parts shares with no pixel lost; returns share i as [start, end).
std::pair<int, int> share(int length, int parts, int i)
{
    return {length * i / parts, length * (i + 1) / parts};
}
}

void WindowManager::cascade()
{
    QList<QMdiSubWindow *> list = tileable(m_area);
    if (list.isEmpty())
        return;
    // The active window goes last, so that it lies in front of the others.
    if (QMdiSubWindow *active = m_area->activeSubWindow(); list.removeOne(active))
        list.append(active);
    const QSize area = arrangeableSize(m_area);
    // Every window keeps two thirds of the area, readable whatever the count; the
    // offsets start over at the top left before a window would leave the area.
    const QSize size(qMax(area.width() * 2 / 3, 1), qMax(area.height() * 2 / 3, 1));
    const int step = qMax(m_area->fontMetrics().height() + 8, 16);
    const int room = qMin(area.width() - size.width(), area.height() - size.height());
    const int places = qMax(room / step, 0) + 1;
    for (int i = 0; i < list.size(); ++i) {
        QMdiSubWindow *w = list.at(i);
        w->showNormal();
        const int offset = (i % places) * step;
        w->setGeometry(QRect(QPoint(offset, offset), size));
        w->raise();
    }
}

void WindowManager::tile(bool columnsFirst)
{
    const QList<QMdiSubWindow *> list = tileable(m_area);
    if (list.isEmpty())
        return;
    const QSize area = arrangeableSize(m_area);
    const int n = list.size();
    // Strips for two or three windows; beyond that a grid near the square root of the
    // count, as the platform tiles, so that 32 windows are not 32 slivers.
    int lines = n <= 3 ? n : qCeil(std::sqrt(double(n)));
    const int perLine = (n + lines - 1) / lines;
    lines = (n + perLine - 1) / perLine;
    for (int i = 0; i < n; ++i) {
        const int line = i / perLine;
        // The last line may hold fewer windows: they share its whole length.
        const int inLine = line == lines - 1 ? n - line * perLine : perLine;
        const int pos = i % perLine;
        QRect r;
        if (columnsFirst) {
            const auto [x0, x1] = share(area.width(), lines, line);
            const auto [y0, y1] = share(area.height(), inLine, pos);
            r = QRect(x0, y0, x1 - x0, y1 - y0);
        } else {
            const auto [y0, y1] = share(area.height(), lines, line);
            const auto [x0, x1] = share(area.width(), inLine, pos);
            r = QRect(x0, y0, x1 - x0, y1 - y0);
        }
        QMdiSubWindow *w = list.at(i);
        w->showNormal();
        w->setGeometry(r);
    }
}

void WindowManager::tileHorizontally() { tile(false); }
void WindowManager::tileVertically() { tile(true); }

void WindowManager::arrangeIcons()
{
    // Minimised windows line up along the bottom edge, left to right.
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow *w : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x > 0 && x + s.width() > m_area->viewport()->width())
            x = 0;
        w->move(x, bottom - s.height());
        x += s.width();
    }
}

int WindowManager::tabBandMargins() const
{
    QWidget *band = m_tabs->parentWidget();
    return band ? qMax(0, band->sizeHint().height() - m_tabs->sizeHint().height()) : 0;
}

int WindowManager::tabBandLimit() const
{
    // However many rows there are, the page keeps most of the frame: further rows are
    // scrolled to. One row always shows.
    return qMax(m_tabs->rowHeight() + tabBandMargins(), m_tabBand->window()->height() / 3);
}

void WindowManager::setTabBand(int twips)
{
    m_tabBand->setMinHeightTwips(FrameBands::BandTabs, qMin(twips, CoolBar::toTwips(tabBandLimit())));
}

void WindowManager::growTabBand(int twips)
{
    // The height of the strip's rows for its width, in the band's frame. In a frame that
    // was never shown the strip keeps the width of an earlier layout (more rows) until it
    // is laid out as showing would lay it out.
    WindowPlacement::layOutUnshown(m_tabs);
    setTabBand(CoolBar::toTwips(m_tabs->rowsHeight(m_tabs->width()) + tabBandMargins()) + twips);
}

void WindowManager::fitTabBand()
{
    // A tab that starts a new row would be out of sight until the next window loads. That
    // holds in a frame never shown too: a window's tab goes in after its window asked for
    // the band's rows, and may push the end tab onto a row of its own.
    WindowPlacement::layOutUnshown(m_tabs);
    if (m_tabs->rowsHeight(m_tabs->width()) > m_tabs->height())
        growTabBand(10);
}

void WindowManager::resizeTabBand(int twips)
{
    // From the band as it shows (its rows may be scrolled), so that each step is seen.
    QWidget *band = m_tabs->parentWidget();
    const int shown = m_tabs->isVisible() && band ? band->height() : m_tabs->rowsHeight(m_tabs->width()) + tabBandMargins();
    setTabBand(CoolBar::toTwips(shown) + twips);
}

void WindowManager::increaseTabsSpace() { resizeTabBand(50); }
void WindowManager::decreaseTabsSpace() { resizeTabBand(-50); }

void WindowManager::removeTab(int n)
{
    if (!m_tabs->removeTab(n))
        return;
    if (Tabctr > 0)
        --Tabctr;
    // Tabs after n moved one place left: their windows follow them.
    for (QWidget *w : WindowRegistry::windows()) {
        auto *window = qobject_cast<ChildWindow *>(w);
        int k = 0;
        if (window && window->tagNumber(&k) && k > n)
            window->Tag = QString::number(k - 1);
    }
    selectActiveTab();
}

void WindowManager::attach(ChildWindow *window)
{
    connect(window->Web1, &BrowserControl::StatusTextChange, this,
            [this](const QString &text) { m_frame->setStatusText(text); });
    QPointer<ChildWindow> from(window);
    QPointer<WindowManager> self(this);
    window->Web1->setNewWindowHandler([self, from](BrowserControl *opener) {
        if (!self || !self->m_newWindowPolicy)
            return BrowserControl::NewWindowAnswer::outside();
        return self->m_newWindowPolicy(from, opener);
    });
    growTabBand(10);
    connect(window->Web1, &BrowserControl::DownloadBegin, window, [this, window] { showLoadState(window); });
    connect(window->Web1, &BrowserControl::IconChanged, window, [this, window] { showLoadState(window); });
    connect(window->Web1, &BrowserControl::DocumentComplete, window, [this, window] {
        showLoadState(window);
        checkIconsSettled();
    });
    connect(window->Web1, &BrowserControl::LoadProgress, window, [this, window] {
        if (window == activeChild())
            showProgressOf(window);
    });
}

QIcon WindowManager::loadingIcon()
{
    static const QIcon icon(QStringLiteral(":/icons/loading.svg"));
    return icon;
}

void WindowManager::showLoadState(ChildWindow *window)
{
    const bool loading = window->Web1->isLoading();
    int n = 0;
    if (window->tagNumber(&n))
        m_tabs->setIcon(n, loading ? loadingIcon() : window->Web1->pageIcon());
    if (window == activeChild())
        showProgressOf(window);
}

void WindowManager::enablePageIconsWhenSettled()
{
    m_iconsPending = true;
    checkIconsSettled();
}

void WindowManager::checkIconsSettled()
{
    if (!m_iconsPending)
        return;
    for (ChildWindow *w : childWindows())
        if (w->Web1->isLoading() && !WindowRegistry::isUnloaded(w))
            return;
    m_iconsPending = false;
    BrowserControl::setPageIconsEnabled(true);
}

QString WindowManager::windowCaption(ChildWindow *window)
{
    QString title = TextCut::left(window->Web1->LocationName(), MaxTitle);
    // A page whose renderer died is not there any more, whatever its title says.
    if (window->Web1->rendererGone())
        title.prepend(QStringLiteral("Page stopped - "));
    return title;
}

QString WindowManager::tabCaption(ChildWindow *window) { return TextCut::left(windowCaption(window), 30); }

void WindowManager::showCompletedPage(ChildWindow *window)
{
    const QString title = windowCaption(window);
    window->setWindowTitle(title);
    int n = 0;
    if (window->tagNumber(&n)) {
        m_tabs->setCaption(n, tabCaption(window));
        m_tabs->setToolTip(n, title);
    }
    // The active window's address, also when a background window completed; never over what the user is typing.
    if (ChildWindow *active = activeChild(); active && !m_frame->addressBeingEdited())
        m_frame->setAddressText(active->Web1->LocationURL());
}

void WindowManager::showActiveAddress()
{
    ChildWindow *active = activeChild();
    if (active && !active->Web1->LocationURL().trimmed().isEmpty())
        m_frame->setAddressText(active->Web1->LocationURL());
}

void WindowManager::windowClosing(ChildWindow *window)
{
    if (window == activeChild())
        m_closing = window;
}

void WindowManager::windowClosed(ChildWindow *window, bool closed)
{
    const bool wasActive = m_closing == window;
    m_closing = nullptr;
    if (!closed)
        return;
    m_recent.removeAll(window);
    m_recent.removeAll(nullptr);
    // The last window still loading may be the one that closed; it counts as closed once
    // its close has run to the end.
    QTimer::singleShot(0, this, &WindowManager::checkIconsSettled);
    // Visible to the area, not on screen: a frame waiting in the tray shows none of its
    // windows, and it comes back with the one the person used before.
    if (wasActive && !m_recent.isEmpty() && m_recent.last()->isVisibleTo(m_area))
        m_area->setActiveSubWindow(m_recent.last());
}

void WindowManager::leaveTabIdle(int n)
{
    if (m_tabs->icon(n).cacheKey() == loadingIcon().cacheKey())
        m_tabs->setIcon(n, QIcon());
}

void WindowManager::makeSpareTab(int n)
{
    m_tabs->setCaption(n, QString());
    m_tabs->setIcon(n, QIcon());
    m_tabs->setToolTip(n, QStringLiteral("Spare Tab - Click to use..."));
    // A spare tab is narrow: the band gives back the rows the strip no longer needs.
    growTabBand(10);
}
