#include "desktop/trayicon.h"

#include "desktop/pictures.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

TrayIcon::TrayIcon(QObject *parent) : TrayIcon(nullptr, parent) {}

TrayIcon::TrayIcon(QMenu *existingMenu, QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("trayIcon"));

    // A menu of our own has no parent widget: it must work while the frame is hidden.
    m_ownsMenu = !existingMenu;
    mnuBar = existingMenu ? existingMenu : new QMenu(QStringLiteral("PopupMenu"));
    if (m_ownsMenu)
        mnuBar->setObjectName(QStringLiteral("mnuBar"));
    auto item = [this](const QString &name, const QString &text, Callback TrayIcon::*callback) {
        QAction *action = nullptr;
        for (QAction *existing : mnuBar->actions())
            if (existing->objectName() == name)
                action = existing;
        if (!action) {
            action = mnuBar->addAction(text);
            action->setObjectName(name);
        }
        // Queued: the callback may delete the menu, which must first finish handling the click.
        connect(action, &QAction::triggered, this, [this, callback] { run(this->*callback); }, Qt::QueuedConnection);
        return action;
    };
    sendMail = item(QStringLiteral("sendMail"), QStringLiteral("Send &Mail"), &TrayIcon::m_onMail);
    RestoreM = item(QStringLiteral("RestoreM"), QStringLiteral("&Restore"), &TrayIcon::m_onRestore);
    Aboutit = item(QStringLiteral("Aboutit"), QStringLiteral("&About Quillon"), &TrayIcon::m_onAbout);
    mnuMain = item(QStringLiteral("mnuMain"), QStringLiteral("&Quit"), &TrayIcon::m_onQuit);

    m_icon = new QSystemTrayIcon(Pictures::appIcon(), this);
    m_icon->setObjectName(QStringLiteral("pichook"));
    m_icon->setToolTip(toolTipText());
    m_icon->setContextMenu(mnuBar);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::pichook_Activated, Qt::QueuedConnection);
}

TrayIcon::~TrayIcon()
{
    m_icon->hide();
    if (m_ownsMenu)
        delete mnuBar;
}

namespace {
int availableOverride = -1;
}

bool TrayIcon::isAvailable()
{
    return availableOverride >= 0 ? availableOverride == 1 : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setAvailableOverride(int available) { availableOverride = available; }

QString TrayIcon::toolTipText() { return QStringLiteral("Quillon v2.1"); }

void TrayIcon::show() { m_icon->show(); }

void TrayIcon::hide() { m_icon->hide(); }

bool TrayIcon::isVisible() const { return m_icon->isVisible(); }

void TrayIcon::pichook_Activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        run(m_onRestore);
        break;
    default:
        break; // Context: the tray opens mnuBar itself, once
    }
}

void TrayIcon::run(const Callback &callback)
{
    // A callback that spins its own event loop must not be entered again from the icon.
    if (m_busy || !callback)
        return;
    // Quitting may delete this object from inside the callback.
    const Callback call = callback;
    const QPointer<TrayIcon> alive(this);
    m_busy = true;
    call();
    if (alive)
        m_busy = false;
}
