#include "browser/childwindow.h"

#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "core/windowregistry.h"

#include <QCloseEvent>
#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

ChildWindow::ChildWindow(Kind kind, const QString &name, WindowManager *windows)
    : QMdiSubWindow(nullptr), m_kind(kind), m_windows(windows)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setWidget(client);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    Web1 = BrowserControl::create(client);
    Web1->setObjectName(QStringLiteral("Web1"));
    layout->addWidget(Web1);
    // The frame's own keys close and move between windows; the window menu's copies would make them ambiguous.
    if (QMenu *menu = systemMenu())
        for (QAction *a : menu->actions())
            a->setShortcuts({});
    AutoRefreshMe = new QTimer(this);
    AutoRefreshMe->setObjectName(QStringLiteral("AutoRefreshMe"));
    AutoRefreshMe->setInterval(3000);
    // Nobody is there to ask on a tick: a page that answered a form is fetched again
    // without sending the form.
    connect(AutoRefreshMe, &QTimer::timeout, this, [this] {
        if (Web1)
            Web1->refreshWithoutResend();
    });
    if (windows) {
        windows->attach(this);
        connect(Web1, &BrowserControl::GotFocus, this, [this] {
            if (m_windows)
                m_windows->showActiveAddress();
        });
    }
    WindowRegistry::add(this);
}

ChildWindow::~ChildWindow() = default;

WindowManager *ChildWindow::windows() const { return m_windows.data(); }

bool ChildWindow::tagNumber(int *n) const
{
    bool ok = false;
    const short value = Tag.toShort(&ok);
    if (ok && n)
        *n = value;
    return ok;
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    if (m_windows)
        m_windows->windowClosing(this);
    QMdiSubWindow::closeEvent(event);
    if (m_windows)
        m_windows->windowClosed(this, event->isAccepted());
    if (!event->isAccepted())
        return;
    AutoRefreshMe->stop();
    WindowRegistry::markUnloaded(this);
    // Tab 1 keeps the name of the page window 1 showed last.
    int n = 0;
    if (!m_tabGone && m_windows && tagNumber(&n)) {
        if (Tag != QLatin1String("1"))
            m_windows->makeSpareTab(n);
        else
            m_windows->leaveTabIdle(n);
    }
}
