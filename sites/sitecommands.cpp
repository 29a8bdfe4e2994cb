#include "sites/sitecommands.h"

#include "app/browsercontrol.h"
#include "app/mdiform1.h"
#include "browser/windowmanager.h"
#include "platform/coolbar.h"
#include "platform/tabstrip.h"
#include "sites/catalogue.h"

namespace SiteCommands {

void showAdditionalSites(mdiform1 *frame)
{
    if (ChildWindow *active = frame->activeChild())
        active->Web1->setVisible(false);
    frame->CoolBar1->setBandVisible(mdiform1::BandExtras, true);
}

void hideAdditionalSites(mdiform1 *frame)
{
    frame->CoolBar1->setBandVisible(mdiform1::BandExtras, false);
    if (ChildWindow *active = frame->activeChild())
        active->Web1->setVisible(true);
}

void openNow(mdiform1 *frame, const QString &address)
{
    frame->raiseTabctr();
    // Appended after the end tab: the old end tab becomes this window's, the new one is the end tab.
    frame->tb->insertTab(frame->tb->count() + 1, QString());
    ChildWindow *window = frame->windows->newBrowserWindow();
    window->Tag = QString::number(frame->Tabctr);
    frame->showChild(window);
    window->Web1->Navigate(address);
}

void openCatalogueEntry(mdiform1 *frame, bool newsList, const QString &title)
{
    ChildWindow *window = frame->windows->newBrowserWindow();
    frame->windows->openNumbered(window);
    const QString address = Catalogue::lookup(newsList ? Catalogue::List::Sites : Catalogue::List::Tools, title);
    if (!address.isEmpty())
        window->Web1->Navigate(address);
    window->showMaximized();
}

}
