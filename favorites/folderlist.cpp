#include "favorites/folderlist.h"

#include "favorites/favoritesfolder.h"
#include "favorites/walkbounds.h"

#include <QApplication>
#include <QDir>
#include <QStyle>
#include <QTreeWidget>

namespace {

void addChildren(QTreeWidgetItem *parent, const QString &dirPath, bool withShortcuts, WalkBounds &bounds, int depth)
{
    QDir dir(dirPath);
    const QDir::SortFlags sort = QDir::Name | QDir::IgnoreCase;
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, sort);
    const QIcon folderIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    for (const QFileInfo &info : folders) {
        // The filter also lets through pipes, devices and dangling links: folders only.
        if (!info.isDir() || !bounds.enter(info.filePath(), depth + 1))
            continue;
        auto *item = new QTreeWidgetItem(parent, QStringList(info.fileName()));
        item->setIcon(0, folderIcon);
        item->setData(0, FolderList::PathRole, info.filePath());
        item->setData(0, FolderList::IsFolderRole, true);
        addChildren(item, info.filePath(), withShortcuts, bounds, depth + 1);
    }
    if (withShortcuts) {
        const QIcon fileIcon = QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon);
        const QFileInfoList files =
            dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, sort);
        for (const QFileInfo &info : files) {
            if (!FavoritesFolder::isShortcutName(info.fileName()) || !bounds.take())
                continue;
            // Shown without the extension, as the user named it.
            auto *item = new QTreeWidgetItem(parent, QStringList(info.fileName().chopped(4)));
            item->setIcon(0, fileIcon);
            item->setData(0, FolderList::PathRole, info.filePath());
            item->setData(0, FolderList::IsFolderRole, false);
        }
    }
}

QTreeWidgetItem *findUnder(QTreeWidgetItem *item, const QString &path)
{
    if (FolderList::path(item) == path)
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem *found = findUnder(item->child(i), path))
            return found;
    return nullptr;
}

}

namespace FolderList {

void fill(QTreeWidget *tree, const QString &root, const QString &rootCaption, bool withShortcuts)
{
    tree->clear();
    auto *top = new QTreeWidgetItem(tree, QStringList(rootCaption));
    top->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
    top->setData(0, PathRole, QDir::cleanPath(root));
    top->setData(0, IsFolderRole, true);
    WalkBounds bounds;
    if (bounds.enter(root, 0))
        addChildren(top, QDir::cleanPath(root), withShortcuts, bounds, 0);
    if (bounds.cut()) {
        // Said in the tree itself: the dialogs refill it after every change.
        auto *note = new QTreeWidgetItem(top, QStringList(bounds.message()));
        note->setFlags(Qt::NoItemFlags);
        note->setToolTip(0, bounds.message());
    }
    // The first level open: a deep tree opened whole pushes its names out of the dialog.
    tree->expandToDepth(0);
}

QString path(const QTreeWidgetItem *item) { return item ? item->data(0, PathRole).toString() : QString(); }
bool isFolder(const QTreeWidgetItem *item) { return item && item->data(0, IsFolderRole).toBool(); }

QTreeWidgetItem *find(QTreeWidget *tree, const QString &path)
{
    const QString wanted = QDir::cleanPath(path);
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (QTreeWidgetItem *found = findUnder(tree->topLevelItem(i), wanted))
            return found;
    return nullptr;
}

}
