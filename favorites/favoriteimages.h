#pragma once
#include <QIcon>
#include <QObject>

// The favourites tree's image list: 1 folder, 2 open folder and shortcut, 4 the root.
class FavoriteImages : public QObject
{
    Q_OBJECT
public:
    enum Index { Folder = 1, Shortcut = 2, Root = 4 };

    explicit FavoriteImages(QObject *parent = nullptr);

    // The picture at index, or a null icon for an index the list does not hold.
    QIcon image(int index) const;
    // A node's icon: its image, showing selectedIndex instead while the node is selected.
    QIcon nodeIcon(int index, int selectedIndex) const;

private:
    QIcon combine(int index, int selectedIndex) const;

    QIcon m_folder;
    QIcon m_shortcut;
    QIcon m_root;
    mutable QIcon m_folderNode;
};
