#include "favorites/favoritescommands.h"
#include "platform/windowplacement.h"

#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "favorites/addfavoritedialog.h"
#include "favorites/favorites.h"
#include "favorites/organizefavoritesdialog.h"
#include "platform/dialogs.h"
#include "core/paths.h"

FavoritesCommands::FavoritesCommands(QWidget *frame, Favs::ActiveBrowser activeBrowser, QObject *parent)
    : QObject(parent), m_frame(frame), m_activeBrowser(std::move(activeBrowser))
{
}

void FavoritesCommands::AddtoFavs_Click()
{
    // With no window the dialog is still offered, with an empty address and title.
    BrowserControl *browser = m_activeBrowser ? m_activeBrowser() : nullptr;
    const QString url = browser ? browser->LocationURL() : QString();
    const QString title = browser ? browser->LocationName() : QString();
    AddFavorite(url, title);
}

AddFavoriteDialog *FavoritesCommands::AddFavorite(const QString &url, const QString &title)
{
    // Adding needs no window to own a lookup: the folder is always ours to write.
    const QString root = Paths::favoritesDir();
    if (!Paths::ensureDir(root)) {
        Dialogs::tell(m_frame, QStringLiteral("Favorites Error"),
                      QStringLiteral("The Favorites folder could not be made."), QMessageBox::Critical);
        return nullptr;
    }
    if (m_add && m_add->isVisible())
        m_add->close();
    m_add = new AddFavoriteDialog(url, title, root, m_frame);
    m_add->open();
    return m_add;
}

void FavoritesCommands::mnu_OrganizeFavorites_Click()
{
    BrowserControl *browser = m_activeBrowser ? m_activeBrowser() : nullptr;
    const QString path = Favorites::GetSpecialFolder(Favorites::FavoritesFolderId, browser ? browser->window() : nullptr);
    if (path.isEmpty()) {
        // Nothing to organise; the rebuild reports the missing folder.
        rebuild();
        return;
    }
    if (m_organize && m_organize->isVisible())
        return;
    m_organize = new OrganizeFavoritesDialog(path, m_frame);
    m_organize->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_organize, &QDialog::finished, this, &FavoritesCommands::rebuild);
    m_organize->open();
}

void FavoritesCommands::mnu_ViewFavorites_Click()
{
    Favs *window = loadFavs();
    if (!window->isVisible())
        WindowPlacement::placeOver(window, m_frame);
    window->show();
    window->raise();
    window->activateWindow();
}

Favs *FavoritesCommands::loadFavs()
{
    if (!m_favs)
        m_favs = new Favs(m_activeBrowser, m_frame);
    return m_favs;
}

void FavoritesCommands::rebuild()
{
    // The organise dialog closing as the programme ends: no tree to build, and no box
    // about a missing browser window to hold up the end.
    if (!m_frame || WindowRegistry::isUnloaded(m_frame))
        return;
    // Loading the window builds the tree; build it again only if it was loaded already.
    if (m_favs)
        m_favs->LoadFavorites();
    else
        loadFavs();
    Q_EMIT organized();
}
