// The engine's side of the browser-control interface: the control every window
// gets unless a test installed another, and the engine-wide operations.
#include "core/browsercontrol.h"
#include "platform/webenginebrowser.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

BrowserControl *BrowserControl::create(QWidget *parent)
{
    if (const Factory &f = factory())
        return f(parent);
    return new WebEngineBrowser(parent);
}

void BrowserControl::clearCacheAndCookies()
{
    QWebEngineProfile *profile = WebEngineBrowser::profile();
    profile->clearHttpCache();
    profile->cookieStore()->deleteAllCookies();
}
