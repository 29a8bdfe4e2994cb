#pragma once
#include <QHash>
#include <QTreeWidget>

class FavoriteImages;

// The tree view `treeFavorites`: nodes with a unique key, a caption, an image index,
// an optional selected-image index and a tag text, found again by their key.
class FavoritesTree : public QTreeWidget
{
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1, TagRole, ImageRole, SelectedImageRole };

    explicit FavoritesTree(QWidget *parent = nullptr);

    void setImageList(FavoriteImages *images) { m_images = images; }

    // Adds a node under the node keyed parentKey (a top-level node for an empty one).
    // Fails, changing nothing, when the key is already in the tree or the parent is not.
    bool addNode(const QString &parentKey, const QString &key, const QString &caption, int image,
                 int selectedImage = -1, const QString &tag = QString());
    QTreeWidgetItem *node(const QString &key) const { return m_nodes.value(key); }
    int nodeCount() const { return int(m_nodes.size()); }
    // Removes every node.
    void clearNodes();

    static QString key(const QTreeWidgetItem *item);
    static QString tag(const QTreeWidgetItem *item);
    static int image(const QTreeWidgetItem *item);
    static int selectedImage(const QTreeWidgetItem *item);

private:
    FavoriteImages *m_images = nullptr;
    QHash<QString, QTreeWidgetItem *> m_nodes;
};
