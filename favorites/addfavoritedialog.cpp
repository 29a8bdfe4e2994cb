#include "favorites/addfavoritedialog.h"

#include "core/windowregistry.h"
#include "favorites/favoritesfolder.h"
#include "favorites/folderlist.h"
#include "platform/dialogs.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

AddFavoriteDialog::AddFavoriteDialog(const QString &url, const QString &title, const QString &favoritesRoot,
                                     QWidget *parent)
    : QDialog(parent), m_url(url), m_root(favoritesRoot)
{
    setObjectName(QStringLiteral("frmAddFavorite"));
    setWindowTitle(QStringLiteral("Add Favorite"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Add this page to your Favorites:"), this));
    lblAddress = new QLabel(this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setTextFormat(Qt::PlainText);
    // With no window there is no page: a favorite without an address would open nothing.
    const bool noPage = url.trimmed().isEmpty();
    lblAddress->setText(noPage ? QStringLiteral("There is no page to add: no web window is open.")
                               : fontMetrics().elidedText(url, Qt::ElideMiddle, 400));
    lblAddress->setToolTip(Qt::convertFromPlainText(url, Qt::WhiteSpaceNormal)); // a data: address may hold markup
    layout->addWidget(lblAddress);

    auto *form = new QFormLayout;
    txtName = new QLineEdit(title, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    form->addRow(QStringLiteral("&Name:"), txtName);
    layout->addLayout(form);

    auto *createIn = new QHBoxLayout;
    auto *createInLabel = new QLabel(QStringLiteral("Create in:"), this);
    createIn->addWidget(createInLabel, 1);
    cmdNewFolder = new QPushButton(QStringLiteral("New &Folder..."), this);
    cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    cmdNewFolder->setAutoDefault(false);
    createIn->addWidget(cmdNewFolder);
    layout->addLayout(createIn);

    treeFolders = new QTreeWidget(this);
    treeFolders->setObjectName(QStringLiteral("treeFolders"));
    treeFolders->setHeaderHidden(true);
    createInLabel->setBuddy(treeFolders);
    // A tree takes no name from its label: a screen reader is told it here.
    treeFolders->setAccessibleName(QStringLiteral("Create in"));
    layout->addWidget(treeFolders, 1);
    FolderList::fill(treeFolders, m_root, QStringLiteral("Favorites"), false);
    treeFolders->setCurrentItem(treeFolders->topLevelItem(0));

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setEnabled(!noPage);
    cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &AddFavoriteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdNewFolder, &QPushButton::clicked, this, &AddFavoriteDialog::cmdNewFolder_Click);
    txtName->selectAll();
    txtName->setFocus();
    resize(420, 380);
    WindowRegistry::add(this);
}

QString AddFavoriteDialog::selectedFolder() const
{
    const QString path = FolderList::path(treeFolders->currentItem());
    return path.isEmpty() ? m_root : path;
}

void AddFavoriteDialog::cmdNewFolder_Click()
{
    // Said before the name is asked: nothing is made through a link to a folder outside.
    QString error;
    if (!FavoritesFolder::mayAddTo(m_root, selectedFolder(), &error)) {
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
        return;
    }
    const QString name = Dialogs::input(this, QStringLiteral("New Folder"), QStringLiteral("Name of the new folder:"));
    if (name.trimmed().isEmpty())
        return;
    QString made;
    if (!FavoritesFolder::createFolder(m_root, selectedFolder(), name, &made, &error)) {
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
        return;
    }
    FolderList::fill(treeFolders, m_root, QStringLiteral("Favorites"), false);
    if (QTreeWidgetItem *item = FolderList::find(treeFolders, made))
        treeFolders->setCurrentItem(item);
}

void AddFavoriteDialog::accept()
{
    if (!cmdOK->isEnabled()) // Enter in the name field with no page to add
        return;
    QString error;
    QString path;
    const auto confirm = [this](const QString &existing) {
        return Dialogs::ask(this, QString(),
                            QStringLiteral("A favorite named \"%1\" already exists in this folder.\n"
                                           "Do you want to replace it?")
                                .arg(QFileInfo(existing).completeBaseName()),
                            QMessageBox::Warning);
    };
    switch (FavoritesFolder::saveShortcut(m_root, selectedFolder(), txtName->text(), m_url, confirm, &path, &error)) {
    case FavoritesFolder::Result::Done:
        m_savedPath = path;
        QDialog::accept();
        break;
    case FavoritesFolder::Result::Cancelled:
        break;
    case FavoritesFolder::Result::Failed:
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
        break;
    }
}
