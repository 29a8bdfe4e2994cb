#include "favorites/favorites.h"

#include "favorites/favoriteimages.h"
#include "favorites/favoritestree.h"
#include "core/shortcutfile.h"
#include "favorites/walkbounds.h"
#include "platform/dialogs.h"
#include "core/paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct Listing {
    QStringList shortcuts;   // file names ending in ".url" in any letter case, not folders
    QStringList folders;
};

// The file system lists in no particular order; sort by name so that the tree and the
// first-wins rule for duplicate keys do not change from one load to the next.
void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

bool list(const QString &path, Listing *out)
{
    QDir dir(path);
    if (!dir.exists() || !dir.isReadable())
        return false;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir())
            out->folders.append(name);
        else if (name.endsWith(QLatin1String(".url"), Qt::CaseInsensitive))
            out->shortcuts.append(name);
    }
    sortNames(out->shortcuts);
    sortNames(out->folders);
    return true;
}

// Keys are paths below the Favorites folder, so that the same name in two folders is two
// nodes: a folder's ends in '/', a shortcut's in "_URL"; the root is "R".
QString childKeyPrefix(const QString &folderKey)
{
    return folderKey == QLatin1String("R") ? QString() : folderKey;
}

bool isHiddenShortcutsFolder(const QString &folderKey)
{
    return folderKey.endsWith(QLatin1Char('/'))
        && folderKey.chopped(1).section(QLatin1Char('/'), -1) == Favorites::hiddenShortcutsFolder;
}

void listShortcuts(FavoritesTree *tree, const QString &path, const QStringList &names, const QString &parentKey)
{
    if (isHiddenShortcutsFolder(parentKey))
        return;
    for (const QString &name : names) {
        QString title;
        if (!Favorites::shortcutTitle(name, &title))
            continue;
        const QString address = ShortcutFile::readUrl(path + name);
        tree->addNode(parentKey, childKeyPrefix(parentKey) + title + QStringLiteral("_URL"), title,
                      FavoriteImages::Shortcut, -1, address);
    }
}

void walk(FavoritesTree *tree, QString path, const QString &parentKey, WalkBounds &bounds, int depth)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    Listing listing;
    if (!list(path, &listing))
        return;
    QStringList shortcuts;
    for (const QString &name : listing.shortcuts)
        if (bounds.take())
            shortcuts << name;
    listShortcuts(tree, path, shortcuts, parentKey);
    for (const QString &name : listing.folders) {
        // A folder reached again through a link is shown and walked once only.
        if (!bounds.enter(path + name, depth + 1))
            continue;
        const QString key = childKeyPrefix(parentKey) + name + QLatin1Char('/');
        tree->addNode(parentKey, key, name, FavoriteImages::Folder, FavoriteImages::Shortcut, path + name);
        walk(tree, path + name, key, bounds, depth + 1);
    }
}

}

namespace Favorites {

QString &FavoritesRoot()
{
    static QString root;
    return root;
}

QString GetSpecialFolder(int id, const QWidget *owner)
{
    if (!owner || id != FavoritesFolderId)
        return QString();
    const QString path = Paths::favoritesDir();
    return Paths::ensureDir(path) ? path : QString();
}

bool shortcutTitle(const QString &fileName, QString *title)
{
    const qsizetype at = fileName.indexOf(QLatin1String(".url"));
    if (at < 0)
        return false;
    if (title)
        *title = fileName.left(at);
    return true;
}

bool WalkFavoritesFolder(FavoritesTree *tree, const QString &path, const QString &parentKey)
{
    WalkBounds bounds;
    if (bounds.enter(path, 0))
        walk(tree, path, parentKey, bounds, 0);
    return !bounds.cut();
}

void LoadFavorites(FavoritesTree *tree, const QWidget *owner, QWidget *messageParent)
{
    if (!tree)
        return;
    tree->clearNodes();
    tree->update();
    FavoritesRoot() = GetSpecialFolder(FavoritesFolderId, owner);
    tree->addNode(QString(), QStringLiteral("R"), QStringLiteral("Internet Favorites"), FavoriteImages::Root);
    if (FavoritesRoot().isEmpty()) {
        // With a window open the lookup fails only on the folder itself: say which.
        const QString why = owner ? QStringLiteral("The Favorites folder %1 could not be made, or is not a folder.")
                                        .arg(QDir::toNativeSeparators(Paths::favoritesDir()))
                                  : QStringLiteral("Next time, make sure you have at least one browser window open!");
        Dialogs::tell(messageParent, QStringLiteral("Favorites Error"), QStringLiteral(" Could not load favorites! ") + why,
                      QMessageBox::Critical);
        return;
    }
    // One repaint at the end, not one per node, for large folders.
    const bool updates = tree->updatesEnabled();
    tree->setUpdatesEnabled(false);
    const bool whole = WalkFavoritesFolder(tree, FavoritesRoot(), QStringLiteral("R"));
    if (QTreeWidgetItem *root = tree->node(QStringLiteral("R")))
        root->setExpanded(true);
    tree->setUpdatesEnabled(updates);
    if (!whole)
        Dialogs::tell(messageParent, QStringLiteral("Favorites"), WalkBounds().message(), QMessageBox::Warning);
}

}
