// Routes every menu item, toolbar key and band control of the frame to the code that owns it.
#include "app/mdiform1.h"

#include "app/browsercontrol.h"
#include "app/processstate.h"
#include "app/settingsstore.h"
#include "browser/addressbar.h"
#include "favorites/favoritescommands.h"
#include "browser/childwindow.h"
#include "browser/navigation.h"
#include "browser/windowmanager.h"
#include "platform/coolbar.h"
#include "platform/tabstrip.h"
#include "sites/additionalsitespanel.h"
#include "sites/catalogue.h"
#include "sites/form2.h"
#include "sites/sitecommands.h"
#include "sites/startuploading.h"
#include "tools/rotation.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

void mdiform1::additems() { Catalogue::additems(sites, tools); }

void mdiform1::routeCommands()
{
    auto on = [this](const char *name, auto handler) {
        if (QAction *a = action(QString::fromLatin1(name)))
            connect(a, &QAction::triggered, this, handler);
    };

    // File
    on("Down", [this] {
        Timer1->stop();
        HideToTray();
    });
    on("NewWin", [this] { windows->NewWin(); });
    on("CloseActiveWin", [this] { windows->CloseActiveWin(); });
    on("exit", [this] { unload(); });

    // Web Sites: "Work Online" keeps its check mark whatever happens.
    if (QAction *ie = action(QStringLiteral("IE")))
        connect(ie, &QAction::toggled, ie, [ie] { ie->setChecked(true); });

    // Web Sites
    on("Options", [this] { Form2::showOptions(this); });
    on("ShowAddSites", [this] { SiteCommands::showAdditionalSites(this); });
    connect(m_panel, &AdditionalSitesPanel::saved, this, [this] { SiteCommands::hideAdditionalSites(this); });
    connect(m_panel, &AdditionalSitesPanel::closeClicked, this, [this] { SiteCommands::hideAdditionalSites(this); });
    connect(m_panel, &AdditionalSitesPanel::siteDoubleClicked, this,
            [this](int, const QString &text) { SiteCommands::openNow(this, text); });
    connect(sites, qOverload<int>(&QComboBox::activated), this,
            [this] { SiteCommands::openCatalogueEntry(this, true, sites->currentText()); });
    connect(tools, qOverload<int>(&QComboBox::activated), this,
            [this] { SiteCommands::openCatalogueEntry(this, false, tools->currentText()); });

    // Favorites
    auto *favorites = new FavoritesCommands(this, [this]() -> BrowserControl * {
        ChildWindow *child = activeChild();
        return child ? child->Web1 : nullptr;
    }, this);
    on("AddtoFavs", [favorites] { favorites->AddtoFavs_Click(); });
    on("mnu_OrganizeFavorites", [favorites] { favorites->mnu_OrganizeFavorites_Click(); });
    on("mnu_ViewFavorites", [favorites] { favorites->mnu_ViewFavorites_Click(); });

    // Options
    on("mnuIncrease", [this] { windows->increaseTabsSpace(); });
    on("mnuDecrease", [this] { windows->decreaseTabsSpace(); });

    // Go
    for (const char *item : {"GoBack", "GoForward", "GoRefresh", "GoHome", "GoSearch", "GoStop"}) {
        const QString name = QString::fromLatin1(item);
        on(item, [this, name] { Navigation::goMenu(this, name); });
    }

    // Toolbars
    on("SMSFlick", [this] { rotation->SMSFlick_Click(); });
    on("MT", [this] {
        CoolBar1->setVisible(CoolBar1->isHidden());
        CoolBar2->setVisible(CoolBar2->isHidden());
    });
    on("bis", [this] {
        const bool show = !CoolBar2->isBandVisible(BandBuiltins);
        CoolBar2->setBandVisible(BandBuiltins, show);
        SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("Show Builtins"),
                                   show ? QStringLiteral("1") : QStringLiteral("0"));
    });

    // Window
    on("Showallwins", [this] { windows->tileVertically(); });
    on("Cascade", [this] { windows->cascade(); });
    on("tilev", [this] { windows->tileVertically(); });
    on("TileH", [this] { windows->tileHorizontally(); });
    on("Arrange", [this] { windows->arrangeIcons(); });

    // Tray menu
    on("RestoreM", [this] { RestoreFromTray(); });
    on("mnuMain", [this] {
        RestoreFromTray();
        unload();
    });

    // Go toolbar
    connect(tb2, &QToolBar::actionTriggered, this, [this](QAction *a) {
        const QString key = a->data().toString();
        if (key == QLatin1String("Favorites")) {
            if (QAction *show = action(QStringLiteral("mnu_ViewFavorites")))
                show->trigger();
            return;
        }
        Navigation::tb2_ButtonClick(this, key);
    });

    // Advanced toolbar
    connect(Quick, &QToolBar::actionTriggered, this, [this](QAction *a) {
        const QString key = a->data().toString();
        const std::pair<const char *, const char *> asMenu[] = {
            {"F", "MT"}, {"R", "RefreshIT"}, {"W", "SMSFlick"}, {"IE", "LoadinIE"}, {"P", "PrintAll"}};
        for (const auto &[k, item] : asMenu)
            if (key == QLatin1String(k))
                if (QAction *menuItem = action(QString::fromLatin1(item)))
                    menuItem->trigger();
        if (key == QLatin1String("LD"))
            StartupLoading::LoadSites(this);
        else if (key == QLatin1String("LA")) {
            ProcessState::skipstr = QStringLiteral("NO");
            StartupLoading::LoadExtras(this);
        } else if (key == QLatin1String("X"))
            windows->closeAll();
    });

    connect(tb, &TabStrip::tabClicked, windows, &WindowManager::tabClick);
    connect(cmdHide, &QPushButton::clicked, rotation, &Rotation::cmdHide_Click);
}
