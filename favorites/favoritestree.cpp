#include "favorites/favoritestree.h"

#include "favorites/favoriteimages.h"

#include <QHeaderView>

FavoritesTree::FavoritesTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("treeFavorites"));
    setAccessibleName(QStringLiteral("Favorites"));
    setColumnCount(1);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

bool FavoritesTree::addNode(const QString &parentKey, const QString &key, const QString &caption, int image,
                            int selectedImage, const QString &tag)
{
    if (m_nodes.contains(key))
        return false;
    QTreeWidgetItem *parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = m_nodes.value(parentKey);
        if (!parent)
            return false;
    }
    auto *item = new QTreeWidgetItem(QStringList(caption));
    item->setData(0, KeyRole, key);
    item->setData(0, TagRole, tag);
    item->setData(0, ImageRole, image);
    item->setData(0, SelectedImageRole, selectedImage);
    item->setToolTip(0, caption);
    if (m_images)
        item->setIcon(0, m_images->nodeIcon(image, selectedImage));
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    m_nodes.insert(key, item);
    return true;
}

void FavoritesTree::clearNodes()
{
    m_nodes.clear();
    clear();
}

QString FavoritesTree::key(const QTreeWidgetItem *item) { return item ? item->data(0, KeyRole).toString() : QString(); }
QString FavoritesTree::tag(const QTreeWidgetItem *item) { return item ? item->data(0, TagRole).toString() : QString(); }
int FavoritesTree::image(const QTreeWidgetItem *item) { return item ? item->data(0, ImageRole).toInt() : 0; }

int FavoritesTree::selectedImage(const QTreeWidgetItem *item)
{
    return item ? item->data(0, SelectedImageRole).toInt() : -1;
}
