#pragma once
#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Organises the Favorites folder: make folders, rename, move and delete shortcuts
// and folders. Modal; the caller rebuilds its tree when it closes.
class OrganizeFavoritesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OrganizeFavoritesDialog(const QString &favoritesRoot, QWidget *parent = nullptr);

    QTreeWidget *treeOrganize = nullptr;
    QPushButton *cmdCreateFolder = nullptr;
    QPushButton *cmdRename = nullptr;
    QPushButton *cmdMove = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdClose = nullptr;

    // Selects the item for path; false when it is not shown.
    bool select(const QString &path);
    // Moves the selected item into destination (what the folder chooser's OK does).
    void moveSelectedTo(const QString &destination);

private:
    void cmdCreateFolder_Click();
    void cmdRename_Click();
    void cmdMove_Click();
    void cmdDelete_Click();
    void refresh(const QString &selectPath);
    void updateButtons();
    bool confirmReplace(const QString &existing);
    bool mayChange(const QString &path);
    QString selectedPath() const;

    QString m_root;
};

// Picks a folder under the Favorites folder for a move.
class FolderChooser : public QDialog
{
    Q_OBJECT
public:
    FolderChooser(const QString &favoritesRoot, QWidget *parent = nullptr);

    QTreeWidget *treeFolders = nullptr;
    QString chosenFolder() const;
};
