#include "popups/popuppolicy.h"

#include "app/mdiform1.h"
#include "browser/windowmanager.h"
#include "popups/banlist.h"
#include "popups/frmban.h"
#include "popups/popupflood.h"
#include "popups/webpopup.h"

#include <QAction>
#include <QPushButton>

namespace Popups {

namespace {
bool checked(mdiform1 *frame, const char *item)
{
    const QAction *action = frame->action(QLatin1String(item));
    return action && action->isChecked();
}

PopupFlood *floodOf(mdiform1 *frame)
{
    auto *flood = frame->findChild<PopupFlood *>(QStringLiteral("popupFlood"), Qt::FindDirectChildrenOnly);
    if (!flood) {
        flood = new PopupFlood(frame);
        flood->setObjectName(QStringLiteral("popupFlood"));
    }
    return flood;
}
}

void install(mdiform1 *frame)
{
    if (!frame)
        return;
    floodOf(frame);
    frame->newWindowHandler = [frame](ChildWindow *from, BrowserControl **target, bool *cancel) {
        NewWindowRequest(frame, from, target, cancel);
    };
    QPointer<mdiform1> guard(frame);
    setBanFrameHooks({[guard](const QString &caption) { if (guard) guard->setPopStat(caption); },
                      [guard] { return guard && guard->Status == QLatin1String("MIN"); },
                      [guard] { if (guard) guard->HideToTray(); }});
    if (frame->property("popupsInstalled").toBool())
        return;
    frame->setProperty("popupsInstalled", true);
    if (QAction *block = frame->action(QStringLiteral("Block")))
        QObject::connect(block, &QAction::triggered, frame, [frame] { showBanList(frame); });
    if (frame->popStat)
        QObject::connect(frame->popStat, &QPushButton::clicked, frame, [frame] { showBanList(frame); });
}

void NewWindowRequest(mdiform1 *frame, ChildWindow *from, BrowserControl **target, bool *cancel)
{
    if (!frame || !cancel)
        return;
    if (!checked(frame, "EnDiBoxes")) {
        *cancel = true;
        return;
    }
    *cancel = false;
    if (!floodOf(frame)->allow(from ? from->Web1 : nullptr)) {
        *cancel = true;
        return;
    }
    // Left alone, the engine's control opens the page in a top-level browser window of
    // its own outside the frame (WebEngineBrowser::onNewWindowRequested), which lives
    // until the user closes it.
    if (checked(frame, "Internally"))
        return;
    auto *popup = new webPopup(frame);
    frame->windows->openNumbered(popup);
    frame->setPopStat(QStringLiteral("New Window Loaded..."));
    if (frame->Status == QLatin1String("MIN"))
        frame->HideToTray();
    if (from && from->kind() == ChildWindow::Kind::Popup)
        popup->setFocus();
    if (target)
        *target = popup->Web1;
}

void showBanList(mdiform1 *frame)
{
    frmBan::showModal(frame, frame ? frame->addressText() : QString());
}

}
