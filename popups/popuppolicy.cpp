#include "popups/popuppolicy.h"

#include "browser/windowmanager.h"
#include "core/framehost.h"
#include "popups/banlist.h"
#include "popups/frmban.h"
#include "popups/popupflood.h"
#include "popups/webpopup.h"

#include <QAction>
#include <QPointer>

PopupPolicy::PopupPolicy(WindowManager *windows, QAction *enDiBoxes, QAction *internally, QObject *parent)
    : QObject(parent), m_windows(windows), m_enDiBoxes(enDiBoxes), m_internally(internally),
      m_flood(new PopupFlood(this))
{
    m_flood->setObjectName(QStringLiteral("popupFlood"));
    windows->setNewWindowPolicy(
        [this](ChildWindow *from, BrowserControl *opener) { return NewWindowRequest(from, opener); });
}

BrowserControl::NewWindowAnswer PopupPolicy::NewWindowRequest(ChildWindow *from, BrowserControl *opener)
{
    using Answer = BrowserControl::NewWindowAnswer;
    if (!opener && from)
        opener = from->Web1;
    if (!m_enDiBoxes || !m_enDiBoxes->isChecked()) {
        // A window the user asked for (a link opened in a new window, a link dropped on the
        // page) would otherwise not come, without a word.
        if (m_flood->pressedJustNow(opener))
            m_windows->frame()->setStatusText(QStringLiteral(
                "The new window was not opened: popup windows are turned off (Popups, Allow Popup windows)."));
        return Answer::refuse();
    }
    if (!m_flood->allow(opener))
        return Answer::refuse();
    // Left alone, the engine's control opens the page in a top-level browser window of
    // its own outside the frame, which lives until the user closes it; its own popups
    // come back here, counted by the same flood bound.
    if (m_internally && m_internally->isChecked())
        return Answer::outside([this, opener = QPointer<BrowserControl>(opener)](BrowserControl *made) {
            m_flood->joinFamily(opener, made);
            adoptOutside(made);
        });
    auto *popup = new webPopup(m_windows);
    m_windows->openNumbered(popup);
    m_flood->joinFamily(opener, popup->Web1);
    FrameHost *frame = m_windows->frame();
    frame->setPopStat(QStringLiteral("New Window Loaded..."));
    if (frame->inTray())
        frame->HideToTray();
    if (from && from->kind() == ChildWindow::Kind::Popup)
        popup->setFocus();
    return Answer::hostIn(popup->Web1);
}

void PopupPolicy::adoptOutside(BrowserControl *made)
{
    QPointer<PopupPolicy> self(this);
    made->setNewWindowHandler([self](BrowserControl *opener) {
        return self ? self->NewWindowRequest(nullptr, opener) : BrowserControl::NewWindowAnswer::refuse();
    });
    // A banned address may not stay open outside the frame either.
    connect(made, &BrowserControl::DocumentComplete, this, [this, made] {
        if (CheckBanList(made->LocationURL()) != BanVerdict::Banned)
            return;
        m_windows->frame()->setPopStat(QStringLiteral("Page Blocked! Click here to edit."));
        made->window()->close();
    });
}

void PopupPolicy::showBanList(FrameHost *frame)
{
    frmBan::showModal(frame ? frame->frameWidget() : nullptr, frame ? frame->addressText() : QString());
}
