#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Adds a page to the Favorites folder: the user confirms the name and picks the folder,
// and the dialog writes the shortcut file.
class AddFavoriteDialog : public QDialog
{
    Q_OBJECT
public:
    AddFavoriteDialog(const QString &url, const QString &title, const QString &favoritesRoot,
                      QWidget *parent = nullptr);

    QString url() const { return m_url; }
    // The file written by the last successful OK.
    QString savedPath() const { return m_savedPath; }

    QLabel *lblAddress = nullptr;
    QLineEdit *txtName = nullptr;
    QTreeWidget *treeFolders = nullptr;
    QPushButton *cmdNewFolder = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

public Q_SLOTS:
    // Writes the shortcut; the dialog stays open when that fails or replacing is declined.
    void accept() override;

private:
    void cmdNewFolder_Click();
    QString selectedFolder() const;

    QString m_url;
    QString m_root;
    QString m_savedPath;
};
