// Routes every menu item, toolbar key and band control of the frame to the code that owns it.
#include "app/mdiform1.h"

#include "browser/framebands.h"
#include "core/browsercontrol.h"
#include "core/processstate.h"
#include "core/settingsstore.h"
#include "browser/addressbar.h"
#include "desktop/aboutwindow.h"
#include "desktop/externallaunch.h"
#include "desktop/internetoptions.h"
#include "desktop/tipwindow.h"
#include "favorites/favoritescommands.h"
#include "personal/form3.h"
#include "personal/personalmenu.h"
#include "popups/popuppolicy.h"
#include "tools/autorefresh.h"
#include "tools/editcommands.h"
#include "tools/printing.h"
#include "browser/childwindow.h"
#include "browser/navigation.h"
#include "browser/windowmanager.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/tabstrip.h"
#include "sites/additionalsitespanel.h"
#include "sites/catalogue.h"
#include "sites/form2.h"
#include "sites/sitecommands.h"
#include "sites/startuploading.h"
#include "tools/rotation.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

using namespace FrameBands;

void mdiform1::additems() { Catalogue::additems(sites, tools); }

BrowserControl *mdiform1::activePage() const { return windows->activePage(); }

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
    if (QAction *ie = action(QStringLiteral("IE"))) {
        connect(ie, &QAction::toggled, ie, [ie] { ie->setChecked(true); });
        connect(ie, &QAction::triggered, this, [] { ExternalLaunch::IE_Click(); });
    }

    // Web Sites
    on("Options", [this] { Form2::showOptions(this); });
    on("ShowAddSites", [this] { SiteCommands::showAdditionalSites(windows, CoolBar1, m_panel); });
    connect(m_panel, &AdditionalSitesPanel::saved, this,
            [this] { SiteCommands::hideAdditionalSites(windows, CoolBar1, m_panel); });
    connect(m_panel, &AdditionalSitesPanel::closeClicked, this,
            [this] { SiteCommands::hideAdditionalSites(windows, CoolBar1, m_panel); });
    connect(m_panel, &AdditionalSitesPanel::siteDoubleClicked, this,
            [this](int, const QString &text) { SiteCommands::openNow(windows, text); });
    connect(sites, qOverload<int>(&QComboBox::activated), this,
            [this] { SiteCommands::openCatalogueEntry(windows, true, sites->currentText()); });
    connect(tools, qOverload<int>(&QComboBox::activated), this,
            [this] { SiteCommands::openCatalogueEntry(windows, false, tools->currentText()); });

    // Page tools and personal details act on the active window's page.
    auto web = [this] { return activePage(); };
    auto status = [this](const QString &text) { setStatusText(text); };
    auto *personalMenu = new PersonalMenu(menu(QStringLiteral("mnuPDs")), web, this, status);
    on("Show", [personalMenu] { personalMenu->Show(); });
    on("personal", [this] { Form3::personal(this); });
    on("RefreshIT", [this] { AutoRefresh::RefreshIT(windows->activeChild(), this); });
    on("mnu_PageSetup", [web] { Printing::mnu_PageSetup(web()); });
    on("Print", [this, web, status] { Printing::Print(web(), this, status); });
    on("PrintAll", [this, status] { Printing::PrintAll(this, status); });
    on("mnu_Cut", [web] { EditCommands::mnu_Cut(web()); });
    on("mnu_Copy", [web] { EditCommands::mnu_Copy(web()); });
    on("mnu_paste", [web] { EditCommands::mnu_paste(web()); });
    on("mnu_SelAll", [web] { EditCommands::mnu_SelAll(web()); });
    on("mnu_find", [web] { EditCommands::mnu_find(web()); });

    // Popups: the new-window policy, the ban list dialog from "Block" and popStat.
    popups = new PopupPolicy(windows, action(QStringLiteral("EnDiBoxes")), action(QStringLiteral("Internally")), this);
    on("Block", [this] { PopupPolicy::showBanList(this); });
    connect(popStat, &QPushButton::clicked, this, [this] { PopupPolicy::showBanList(this); });

    // Favorites
    auto *favorites = new FavoritesCommands(this, web, this);
    on("AddtoFavs", [favorites] { favorites->AddtoFavs_Click(); });
    on("mnu_OrganizeFavorites", [favorites] { favorites->mnu_OrganizeFavorites_Click(); });
    on("mnu_ViewFavorites", [favorites] { favorites->mnu_ViewFavorites_Click(); });

    // Options
    on("mnuIncrease", [this] { windows->increaseTabsSpace(); });
    on("mnuDecrease", [this] { windows->decreaseTabsSpace(); });

    // Go
    for (const char *item : {"GoBack", "GoForward", "GoRefresh", "GoHome", "GoSearch", "GoStop"}) {
        const QString name = QString::fromLatin1(item);
        on(item, [this, name] { Navigation::goMenu(windows, name); });
    }

    // Toolbars
    on("SMSFlick", [this] { rotation->SMSFlick_Click(); });
    on("MT", [this] {
        // Focus in a bar about to hide would pass to some other window's page: the active window keeps it.
        const QPointer<ChildWindow> active = windows->activeChild();
        CoolBar1->setVisible(CoolBar1->isHidden());
        CoolBar2->setVisible(CoolBar2->isHidden());
        QWidget *focus = QApplication::focusWidget();
        if (active && (!focus || !focus->isVisible() || !active->isAncestorOf(focus))) {
            mdiArea->setActiveSubWindow(active);
            active->Web1->setFocus(Qt::ShortcutFocusReason);
        }
    });
    on("bis", [this] {
        const bool show = !CoolBar2->isBandVisible(BandBuiltins);
        CoolBar2->setBandVisible(BandBuiltins, show);
        QString error;
        // The band keeps its new state for this run; the user must know the next start will not.
        if (!SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"),
                                        QStringLiteral("Show Builtins"), show ? QStringLiteral("1") : QStringLiteral("0"),
                                        &error))
            Dialogs::tell(this, QString(),
                          QStringLiteral("Your choice could not be saved: the next start will not remember it.\n\n")
                              + error,
                          QMessageBox::Warning);
    });

    // Window
    on("Showallwins", [this] { windows->tileVertically(); });
    on("Cascade", [this] { windows->cascade(); });
    on("tilev", [this] { windows->tileVertically(); });
    on("TileH", [this] { windows->tileHorizontally(); });
    on("Arrange", [this] { windows->arrangeIcons(); });

    // Outside programmes, internet options, help
    on("browser", [] { ExternalLaunch::browser_Click(); });
    on("LoadinIE", [web] { ExternalLaunch::LoadinIE_Click(web()); });
    on("RunMail", [] { ExternalLaunch::RunMail_Click(); });
    on("mnu_InterNetOptions", [this] {
        ExternalLaunch::mnu_InterNetOptions_Click(this);
        // Clear History empties the address bar's list as well, not only the settings file.
        if (InternetOptionsDialog *panel = InternetOptionsDialog::current())
            connect(panel, &InternetOptionsDialog::historyCleared, addressBar, &AddressBar::clearHist,
                    Qt::UniqueConnection);
    });
    on("tipday", [this] { TipOfDay::tipday(this); });
    on("About", [this] { AboutWindow::showModal(this); });
    connect(MP3, &QPushButton::clicked, this, [this] {
        ExternalLaunch::MP3_Click([this](const QString &address) -> QWidget * {
            ChildWindow *window = windows->newBrowserWindow();
            windows->OpenSiteWindow(window, address);
            return window;
        });
    });

    // Go toolbar
    connect(tb2, &QToolBar::actionTriggered, this, [this](QAction *a) {
        const QString key = a->data().toString();
        if (key == QLatin1String("Favorites")) {
            if (QAction *show = action(QStringLiteral("mnu_ViewFavorites")))
                show->trigger();
            return;
        }
        Navigation::tb2_ButtonClick(windows, key);
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
            StartupLoading::LoadSites(windows);
        else if (key == QLatin1String("LA")) {
            ProcessState::skipstr = QStringLiteral("NO");
            StartupLoading::LoadExtras(windows, m_panel, ProcessState::skipstr);
        } else if (key == QLatin1String("X"))
            windows->closeAll();
    });

    connect(tb, &TabStrip::tabClicked, windows, &WindowManager::tabClick);
    connect(cmdHide, &QPushButton::clicked, rotation, &Rotation::cmdHide_Click);
}
