#include "sites/startuploading.h"

#include "core/browsercontrol.h"
#include "core/shortcutfile.h"
#include "core/settingsstore.h"
#include "core/startuptrace.h"
#include "browser/form1.h"
#include "sites/additionalsitespanel.h"
#include "browser/windowmanager.h"
#include "sites/defaultsitesmodel.h"
#include "sites/startupslots.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

struct SlotRule {
    int slot;
    const char *fallbackCaption; // caption when the fallback address was used
    const char *caption;         // caption otherwise; "" none, "?" the active page's title
    bool maximizeUnlessFallback;
};

// In the order the loader visits them.
const SlotRule rules[] = {
    {2, "Tools / Software", "?", false},
    {5, "", "", false},
    {4, "", "", false},
    {6, "International News", "International News", false},
    {3, "Business / Finance", "Business / Finance", false},
    {1, "News and Information", "News and Information", false},
    {8, "Your Web-Based Email", "Your Web-Based Email", true},
    {7, "Your Intranet Site", "Your Intranet Site", true},
};

}

namespace StartupLoading {

void LoadSites(WindowManager *windows)
{
    DefaultSitesModel &model = DefaultSitesModel::get();
    for (const SlotRule &rule : rules) {
        if (model.check(rule.slot) != 1)
            continue;
        // The slot's own window while it is open; a new one once the user closed it.
        QPointer<ChildWindow> &ref = windows->slotWindows.at(rule.slot);
        if (!ref)
            ref = windows->newBrowserWindow();
        ChildWindow *window = ref;
        const int tab = windows->openNumbered(window);
        QString caption;
        if (model.address(rule.slot).isEmpty()) {
            const QString fallback = QString::fromLatin1(StartupSlots::slot(rule.slot).fallbackAddress);
            model.setAddress(rule.slot, fallback);
            window->Web1->Navigate(fallback);
            caption = QString::fromLatin1(rule.fallbackCaption);
        } else {
            if (rule.maximizeUnlessFallback)
                window->showMaximized();
            window->Web1->Navigate(ShortcutFile::addressToOpen(model.address(rule.slot)));
            caption = QString::fromLatin1(rule.caption);
            if (caption == QLatin1String("?")) {
                ChildWindow *active = windows->activeChild();
                caption = active ? active->Web1->LocationName() : QString();
            }
        }
        if (!caption.isEmpty() || rule.caption[0] == '?')
            window->setWindowTitle(caption);
        StartupTrace::mark("navigate", tab);
    }
}

void LoadExtras(WindowManager *windows, AdditionalSitesPanel *panel, const QString &skipstr)
{
    const auto &extra = StartupSlots::additional();
    for (int row = 1; row <= StartupSlots::AdditionalCount; ++row)
        if (QCheckBox *check = panel->checkBox(row))
            check->setChecked(StartupSlots::readFlag(extra[row - 1]) == 1);
    QStringList addresses;
    for (const StartupSlot &s : extra)
        addresses << StartupSlots::readAddress(s);
    for (int row = 1; row <= StartupSlots::AdditionalCount; ++row) {
        QLineEdit *site = panel->siteField(row);
        if (site)
            site->setText(addresses.at(row - 1));
        QCheckBox *check = panel->checkBox(row);
        if (check && check->isChecked() && skipstr != QLatin1String("YES")) {
            ChildWindow *window = windows->newBrowserWindow();
            windows->OpenSiteWindow(window, site ? ShortcutFile::addressToOpen(site->text()) : QString());
            window->showMaximized();
            StartupTrace::mark("navigate", window->Tag.toInt());
        }
    }
}

}
