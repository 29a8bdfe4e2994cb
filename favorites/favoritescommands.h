#pragma once
#include "favorites/favs.h"

#include <QObject>
#include <QPointer>

#include "favorites/addfavoritedialog.h"
#include "favorites/organizefavoritesdialog.h"

// The main frame's three favourites commands. The frame owns one of these and calls
// its handlers from the menu items of the same names.
class FavoritesCommands : public QObject
{
    Q_OBJECT
public:
    // frame owns the dialogs and the favourites window; activeBrowser gives the control
    // of the frame's active child window, or null when there is none.
    FavoritesCommands(QWidget *frame, Favs::ActiveBrowser activeBrowser, QObject *parent = nullptr);

    // "Add to Favorites...": offers the active page's address and title to the add dialog.
    void AddtoFavs_Click();
    // "Organize Favorites...": the organise dialog over the frame, then a rebuild of the tree.
    void mnu_OrganizeFavorites_Click();
    // "My Favorites...": shows the favourites window, not modal.
    void mnu_ViewFavorites_Click();

    // The add dialog for an address and title (what AddtoFavs_Click opens).
    AddFavoriteDialog *AddFavorite(const QString &url, const QString &title);

    // The favourites window if it is loaded, else null.
    Favs *favs() const { return m_favs; }
    AddFavoriteDialog *addDialog() const { return m_add; }
    OrganizeFavoritesDialog *organizeDialog() const { return m_organize; }

Q_SIGNALS:
    // The tree has been rebuilt after organising.
    void organized();

private:
    Favs *loadFavs();
    void rebuild();

    QPointer<QWidget> m_frame;
    Favs::ActiveBrowser m_activeBrowser;
    QPointer<Favs> m_favs;
    QPointer<AddFavoriteDialog> m_add;
    QPointer<OrganizeFavoritesDialog> m_organize;
};
