#pragma once
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Fills the add and organise dialogs' trees with what is under the Favorites folder.
namespace FolderList {

enum Role { PathRole = 0x0100 + 1, IsFolderRole };

// A top-level item for root captioned rootCaption, its folders below it (and the
// shortcut files too when withShortcuts), sorted by name, all expanded.
void fill(QTreeWidget *tree, const QString &root, const QString &rootCaption, bool withShortcuts);

QString path(const QTreeWidgetItem *item);
bool isFolder(const QTreeWidgetItem *item);
// The item for path, or null.
QTreeWidgetItem *find(QTreeWidget *tree, const QString &path);

}
