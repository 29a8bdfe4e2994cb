#include "sites/sitecommands.h"

#include "browser/childwindow.h"
#include "browser/framebands.h"
#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "platform/coolbar.h"
#include "sites/catalogue.h"

#include <QPointer>

namespace SiteCommands {

namespace {
// The page the panel covered. Another window may be active by the time the panel
// closes (a double click opens one): that page must not stay blank for good.
QPointer<BrowserControl> &coveredPage()
{
    static QPointer<BrowserControl> page;
    return page;
}
}

void showAdditionalSites(WindowManager *windows, CoolBar *bar)
{
    if (BrowserControl *page = windows->activePage()) {
        page->setVisible(false);
        coveredPage() = page;
    }
    bar->setBandVisible(FrameBands::BandExtras, true);
}

void hideAdditionalSites(WindowManager *windows, CoolBar *bar)
{
    bar->setBandVisible(FrameBands::BandExtras, false);
    if (BrowserControl *page = windows->activePage())
        page->setVisible(true);
    if (BrowserControl *covered = coveredPage())
        covered->setVisible(true);
    coveredPage() = nullptr;
}

void openNow(WindowManager *windows, const QString &address)
{
    ChildWindow *window = windows->newBrowserWindow();
    windows->openAppended(window);
    window->Web1->Navigate(address);
}

void openCatalogueEntry(WindowManager *windows, bool newsList, const QString &title)
{
    ChildWindow *window = windows->newBrowserWindow();
    windows->openNumbered(window);
    const QString address = Catalogue::lookup(newsList ? Catalogue::List::Sites : Catalogue::List::Tools, title);
    if (!address.isEmpty())
        window->Web1->Navigate(address);
    window->showMaximized();
}

}
