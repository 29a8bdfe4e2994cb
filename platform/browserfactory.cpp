// The engine's side of the browser-control interface: the control every window
// gets unless a test installed another, and the engine-wide operations.
#include "core/browsercontrol.h"
#include "platform/sitedata.h"
#include "platform/webenginebrowser.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

BrowserControl *BrowserControl::create(QWidget *parent)
{
    if (const Factory &f = factory())
        return f(parent);
    return new WebEngineBrowser(parent);
}

bool BrowserControl::clearCacheAndCookies(QString *error)
{
    // What sites keep for themselves cannot go while the engine has it open: asked for now,
    // it goes at the next start.
    const bool requested = SiteData::requestRemoval(error);
    QWebEngineProfile *profile = WebEngineBrowser::profile();
    profile->clearHttpCache();
    WebEngineBrowser::holdLoadsWhileCacheClears();
    profile->cookieStore()->deleteAllCookies();
    profile->clearAllVisitedLinks();
    return requested;
}

QIcon BrowserControl::pageIcon() const { return QIcon(); }

void BrowserControl::setPageIconsEnabled(bool enabled)
{
    // A scripted control stands in for the engine: leave the engine unstarted.
    if (factory())
        return;
    WebEngineBrowser::profile()->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, enabled);
    // Pages that finished while icons were off would otherwise wait for their next load.
    if (enabled)
        WebEngineBrowser::fillMissingIcons();
}
