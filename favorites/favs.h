#pragma once
#include <QMainWindow>
#include <functional>

class BrowserControl;
class FavoriteImages;
class FavoritesTree;
class QAction;
class QTimer;
class QTreeWidgetItem;

// The favourites window `Favs`: a separate window (not a child of the main frame)
// showing the favourites tree. Made loaded: constructing it builds the tree.
class Favs : public QMainWindow
{
    Q_OBJECT
public:
    // The control of the main frame's active child window, or null when there is none.
    using ActiveBrowser = std::function<BrowserControl *()>;

    explicit Favs(ActiveBrowser activeBrowser, QWidget *parent = nullptr);

    FavoritesTree *treeFavorites = nullptr;
    FavoriteImages *imgTreeFavorites = nullptr;
    QAction *Close = nullptr;

    // Empties the tree and builds it again from the Favorites folder.
    void LoadFavorites();
    // A click on a shortcut loads it at once; the window goes when a double-click would be over.
    void treeFavorites_NodeClick(QTreeWidgetItem *node);

    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    bool openShortcut(QTreeWidgetItem *node);

    ActiveBrowser m_activeBrowser;
    QTimer *m_hideAfterClick = nullptr;
};
