#include "sites/sitecommands.h"

#include "browser/childwindow.h"
#include "browser/framebands.h"
#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "core/shortcutfile.h"
#include "platform/coolbar.h"
#include "sites/additionalsitespanel.h"
#include "sites/catalogue.h"

#include <QLineEdit>
#include <QList>
#include <QPointer>

namespace SiteCommands {

namespace {
// Every page the panel covered. Another window may be active by the time the panel
// closes (a double click opens one, a tab click and Ctrl+H again covers a second page):
// none of them may stay blank for good.
QList<QPointer<BrowserControl>> &coveredPages()
{
    static QList<QPointer<BrowserControl>> pages;
    return pages;
}
}

void showAdditionalSites(WindowManager *windows, CoolBar *bar, AdditionalSitesPanel *panel)
{
    if (BrowserControl *page = windows->activePage()) {
        page->setVisible(false);
        if (!coveredPages().contains(page))
            coveredPages().append(page);
    }
    bar->setBandVisible(FrameBands::BandExtras, true);
    // The keyboard may have been in the page just hidden: the panel is what it edits now.
    panel->siteField(1)->setFocus(Qt::OtherFocusReason);
}

void hideAdditionalSites(WindowManager *windows, CoolBar *bar, AdditionalSitesPanel *panel)
{
    QWidget *focus = panel->window()->focusWidget();
    const bool panelHadFocus = !focus || panel->isAncestorOf(focus);
    bar->setBandVisible(FrameBands::BandExtras, false);
    if (BrowserControl *page = windows->activePage())
        page->setVisible(true);
    for (const QPointer<BrowserControl> &covered : std::as_const(coveredPages())) {
        if (covered)
            covered->setVisible(true);
    }
    coveredPages().clear();
    // The keyboard leaves the hidden panel for the page in front, not the next control in line.
    if (BrowserControl *page = windows->activePage(); page && panelHadFocus)
        page->setFocus(Qt::OtherFocusReason);
}

void openNow(WindowManager *windows, const QString &address)
{
    ChildWindow *window = windows->newBrowserWindow();
    windows->openAppended(window);
    window->Web1->Navigate(ShortcutFile::addressToOpen(address));
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
