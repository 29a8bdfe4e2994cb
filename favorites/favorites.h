#pragma once
#include <QString>

class FavoritesTree;
class QWidget;

// Builds the favourites tree from the Internet-shortcut files under the user's
// Favorites folder.
namespace Favorites {

constexpr int FavoritesFolderId = 6;
// Shortcuts directly inside a folder of this name are never shown.
inline const QString hiddenShortcutsFolder = QStringLiteral("RI Vovediravor");

// The path of the Favorites folder found by the last load; empty when the lookup failed.
QString &FavoritesRoot();

// The path of a special folder, made on first use, or the empty text. The lookup is
// owned by the active browser window: without one (owner null) it cannot be made.
QString GetSpecialFolder(int id, const QWidget *owner);

// Empties and rebuilds the tree. owner is the active browser window (or null);
// messageParent carries the error box shown when the folder cannot be found.
void LoadFavorites(FavoritesTree *tree, const QWidget *owner, QWidget *messageParent);

// Adds a folder's shortcuts, then each subfolder with its whole subtree, under the
// node keyed parentKey, within the bounds of one walk; false when it stopped short.
bool WalkFavoritesFolder(FavoritesTree *tree, const QString &path, const QString &parentKey);

// The title a shortcut file name gives: the name before its first ".url" (exact case);
// false when the name holds no ".url".
bool shortcutTitle(const QString &fileName, QString *title);

}
