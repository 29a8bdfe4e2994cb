#include "popups/popuppolicy.h"

#include "browser/windowmanager.h"
#include "core/framehost.h"
#include "popups/frmban.h"
#include "popups/popupflood.h"
#include "popups/webpopup.h"

#include <QAction>

PopupPolicy::PopupPolicy(WindowManager *windows, QAction *enDiBoxes, QAction *internally, QObject *parent)
    : QObject(parent), m_windows(windows), m_enDiBoxes(enDiBoxes), m_internally(internally),
      m_flood(new PopupFlood(this))
{
    m_flood->setObjectName(QStringLiteral("popupFlood"));
    windows->setNewWindowPolicy([this](ChildWindow *from) { return NewWindowRequest(from); });
}

BrowserControl::NewWindowAnswer PopupPolicy::NewWindowRequest(ChildWindow *from)
{
    using Answer = BrowserControl::NewWindowAnswer;
    if (!m_enDiBoxes || !m_enDiBoxes->isChecked())
        return Answer::refuse();
    if (!m_flood->allow(from ? from->Web1 : nullptr))
        return Answer::refuse();
    // Left alone, the engine's control opens the page in a top-level browser window of
    // its own outside the frame, which lives until the user closes it.
    if (m_internally && m_internally->isChecked())
        return Answer::outside();
    auto *popup = new webPopup(m_windows);
    m_windows->openNumbered(popup);
    FrameHost *frame = m_windows->frame();
    frame->setPopStat(QStringLiteral("New Window Loaded..."));
    if (frame->inTray())
        frame->HideToTray();
    if (from && from->kind() == ChildWindow::Kind::Popup)
        popup->setFocus();
    return Answer::hostIn(popup->Web1);
}

void PopupPolicy::showBanList(FrameHost *frame)
{
    frmBan::showModal(frame ? frame->frameWidget() : nullptr, frame ? frame->addressText() : QString());
}
