#include "popups/popupflood.h"

#include "core/browsercontrol.h"
#include "core/userpresses.h"

#include <QWidget>

namespace {
// Every refused window.open still costs the page's renderer a window it then throws
// away; a loop of hundreds stalls the popups it did get for minutes. Once refused, the
// engine itself turns down the page's further unsolicited windows, cheaply, until the
// opener loads its next page. Clicks on links still open windows.
void letPageOpenWindows(BrowserControl *opener, bool allowed)
{
    if (opener)
        opener->setScriptWindowsAllowed(allowed);
}
}

PopupFlood::PopupFlood(QObject *parent) : QObject(parent)
{
    m_clock.start();
    connect(UserPresses::instance(), &UserPresses::pressed, this, &PopupFlood::onPressed);
}

void PopupFlood::onPressed(QWidget *target)
{
    // The user is at this page, and at one of its family's windows: what it opens next
    // is seen.
    for (QWidget *w = target; w; w = w->parentWidget())
        if (auto *control = qobject_cast<BrowserControl *>(w)) {
            m_pressedIn = control;
            m_pressedAt = m_clock.elapsed();
            if (const auto family = m_families.value(control))
                family->unsolicited = 0;
            break;
        }
}

bool PopupFlood::pressedJustNow(BrowserControl *opener) const
{
    return opener && m_pressedIn == opener && m_clock.elapsed() - m_pressedAt <= UserInputMs;
}

bool PopupFlood::allow(BrowserControl *opener)
{
    const qint64 now = m_clock.elapsed();
    if (pressedJustNow(opener)) {
        m_pressedIn = nullptr;
        return true;
    }
    while (!m_recent.isEmpty() && now - m_recent.first() > WindowMs)
        m_recent.removeFirst();
    if (opener && !m_perOpener.contains(opener)) {
        connect(opener, &BrowserControl::DownloadBegin, this, [this, opener] {
            if (m_perOpener.value(opener) > PerPage)
                letPageOpenWindows(opener, true);
            m_perOpener[opener] = 0;
        });
        connect(opener, &QObject::destroyed, this, [this, opener] { m_perOpener.remove(opener); });
    }
    int &count = m_perOpener[opener];
    Family *family = opener ? familyOf(opener).get() : nullptr;
    if (count >= PerPage || m_recent.size() >= PerWindow || (family && family->unsolicited >= PerFamily)) {
        count = PerPage + 1; // marks the page as turned down
        letPageOpenWindows(opener, false);
        return false;
    }
    ++count;
    if (family)
        ++family->unsolicited;
    m_recent.append(now);
    return true;
}

void PopupFlood::track(BrowserControl *control)
{
    if (m_families.contains(control))
        return;
    m_families.insert(control, std::make_shared<Family>());
    connect(control, &QObject::destroyed, this, [this, control] { m_families.remove(control); });
}

std::shared_ptr<PopupFlood::Family> &PopupFlood::familyOf(BrowserControl *control)
{
    track(control);
    return m_families[control];
}

void PopupFlood::joinFamily(BrowserControl *opener, BrowserControl *made)
{
    if (!opener || !made || opener == made)
        return;
    const std::shared_ptr<Family> family = familyOf(opener);
    familyOf(made) = family;
}
