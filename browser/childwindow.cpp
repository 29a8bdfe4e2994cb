#include "browser/childwindow.h"

#include "app/browsercontrol.h"
#include "app/windowregistry.h"

#include <QCloseEvent>
#include <QIcon>
#include <QTimer>
#include <QVBoxLayout>

ChildWindow::ChildWindow(Kind kind, const QString &name, QWidget *parent)
    : QMdiSubWindow(parent), m_kind(kind)
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
    AutoRefreshMe = new QTimer(this);
    AutoRefreshMe->setObjectName(QStringLiteral("AutoRefreshMe"));
    AutoRefreshMe->setInterval(3000);
    connect(AutoRefreshMe, &QTimer::timeout, this, [this] {
        if (Web1)
            Web1->Refresh();
    });
    WindowRegistry::add(this);
}

ChildWindow::~ChildWindow() = default;

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
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) {
        AutoRefreshMe->stop();
        WindowRegistry::markUnloaded(this);
    }
}
