#include "favorites/organizefavoritesdialog.h"

#include "core/windowregistry.h"
#include "favorites/favoritesfolder.h"
#include "favorites/folderlist.h"
#include "platform/dialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString rootCaption = QStringLiteral("Favorites");

QString shownName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return FavoritesFolder::isShortcutName(name) ? name.chopped(4) : name;
}
}

OrganizeFavoritesDialog::OrganizeFavoritesDialog(const QString &favoritesRoot, QWidget *parent)
    : QDialog(parent), m_root(QDir::cleanPath(favoritesRoot))
{
    setObjectName(QStringLiteral("frmOrganizeFavorites"));
    setWindowTitle(QStringLiteral("Organize Favorites"));
    setModal(true);

    auto *layout = new QHBoxLayout(this);
    treeOrganize = new QTreeWidget(this);
    treeOrganize->setObjectName(QStringLiteral("treeOrganize"));
    treeOrganize->setHeaderHidden(true);
    treeOrganize->setAccessibleName(QStringLiteral("Favorites"));
    // Names of about 25 characters stay readable however large the font: the buttons
    // beside the tree must not take its room.
    treeOrganize->setMinimumWidth(25 * treeOrganize->fontMetrics().averageCharWidth());
    layout->addWidget(treeOrganize, 1);

    auto *side = new QVBoxLayout;
    auto *hint = new QLabel(QStringLiteral("Select a favorite or a folder, then choose what to do with it."), this);
    hint->setWordWrap(true);
    side->addWidget(hint);
    const auto button = [this, side](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        side->addWidget(b);
        return b;
    };
    cmdCreateFolder = button(QStringLiteral("&Create Folder..."), "cmdCreateFolder");
    cmdRename = button(QStringLiteral("&Rename..."), "cmdRename");
    cmdMove = button(QStringLiteral("&Move to Folder..."), "cmdMove");
    cmdDelete = button(QStringLiteral("&Delete"), "cmdDelete");
    side->addStretch();
    cmdClose = button(QStringLiteral("Close"), "cmdClose");
    layout->addLayout(side);

    connect(cmdCreateFolder, &QPushButton::clicked, this, &OrganizeFavoritesDialog::cmdCreateFolder_Click);
    connect(cmdRename, &QPushButton::clicked, this, &OrganizeFavoritesDialog::cmdRename_Click);
    connect(cmdMove, &QPushButton::clicked, this, &OrganizeFavoritesDialog::cmdMove_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &OrganizeFavoritesDialog::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(treeOrganize, &QTreeWidget::currentItemChanged, this, &OrganizeFavoritesDialog::updateButtons);

    refresh(m_root);
    resize(QSize(520, 400).expandedTo(sizeHint()));
    WindowRegistry::add(this);
}

QString OrganizeFavoritesDialog::selectedPath() const { return FolderList::path(treeOrganize->currentItem()); }

bool OrganizeFavoritesDialog::select(const QString &path)
{
    QTreeWidgetItem *item = FolderList::find(treeOrganize, path);
    if (item)
        treeOrganize->setCurrentItem(item);
    return item;
}

void OrganizeFavoritesDialog::refresh(const QString &selectPath)
{
    FolderList::fill(treeOrganize, m_root, rootCaption, true);
    if (!select(selectPath))
        treeOrganize->setCurrentItem(treeOrganize->topLevelItem(0));
    updateButtons();
}

void OrganizeFavoritesDialog::updateButtons()
{
    // The Favorites folder itself stays where it is.
    const QString path = selectedPath();
    const bool item = !path.isEmpty() && path != m_root;
    cmdRename->setEnabled(item);
    cmdMove->setEnabled(item);
    cmdDelete->setEnabled(item);
}

bool OrganizeFavoritesDialog::confirmReplace(const QString &existing)
{
    return Dialogs::ask(this, QString(),
                        QStringLiteral("There is already a favorite named \"%1\" there.\nDo you want to replace it?")
                            .arg(shownName(existing)),
                        QMessageBox::Warning);
}

bool OrganizeFavoritesDialog::mayChange(const QString &path)
{
    // Said before any question, so that nobody is asked about a change that will not be made.
    QString error;
    if (FavoritesFolder::mayChange(m_root, path, &error))
        return true;
    Dialogs::tell(this, QString(), error, QMessageBox::Warning);
    return false;
}

void OrganizeFavoritesDialog::cmdCreateFolder_Click()
{
    // New folders go inside the selected folder, or beside the selected shortcut.
    QTreeWidgetItem *current = treeOrganize->currentItem();
    QString parent = m_root;
    if (current)
        parent = FolderList::isFolder(current) ? FolderList::path(current) : QFileInfo(FolderList::path(current)).path();
    QString error;
    if (!FavoritesFolder::mayAddTo(m_root, parent, &error)) {
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
        return;
    }
    const QString name = Dialogs::input(this, QStringLiteral("Create Folder"), QStringLiteral("Name of the new folder:"));
    if (name.trimmed().isEmpty())
        return;
    QString made;
    if (!FavoritesFolder::createFolder(m_root, parent, name, &made, &error))
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
    refresh(made);
}

void OrganizeFavoritesDialog::cmdRename_Click()
{
    const QString path = selectedPath();
    if (path.isEmpty() || path == m_root || !mayChange(path))
        return;
    const QString name =
        Dialogs::input(this, QStringLiteral("Rename"), QStringLiteral("New name:"), shownName(path));
    if (name.trimmed().isEmpty())
        return;
    QString renamed;
    QString error;
    const auto result = FavoritesFolder::rename(
        m_root, path, name, [this](const QString &existing) { return confirmReplace(existing); }, &renamed, &error);
    if (result == FavoritesFolder::Result::Failed)
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
    refresh(result == FavoritesFolder::Result::Done ? renamed : path);
}

void OrganizeFavoritesDialog::cmdMove_Click()
{
    if (selectedPath().isEmpty() || selectedPath() == m_root || !mayChange(selectedPath()))
        return;
    auto *chooser = new FolderChooser(m_root, this);
    connect(chooser, &QDialog::accepted, this, [this, chooser] { moveSelectedTo(chooser->chosenFolder()); });
    chooser->open();
}

void OrganizeFavoritesDialog::moveSelectedTo(const QString &destination)
{
    const QString path = selectedPath();
    if (path.isEmpty() || path == m_root || destination.isEmpty())
        return;
    QString moved;
    QString error;
    const auto result = FavoritesFolder::move(
        m_root, path, destination, [this](const QString &existing) { return confirmReplace(existing); }, &moved,
        &error);
    if (result == FavoritesFolder::Result::Failed)
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
    refresh(result == FavoritesFolder::Result::Done ? moved : path);
}

void OrganizeFavoritesDialog::cmdDelete_Click()
{
    const QString path = selectedPath();
    if (path.isEmpty() || path == m_root || !mayChange(path))
        return;
    const bool folder = FolderList::isFolder(treeOrganize->currentItem());
    const QString question = folder
        ? QStringLiteral("Are you sure you want to delete the folder \"%1\" and everything in it?")
        : QStringLiteral("Are you sure you want to delete \"%1\"?");
    if (!Dialogs::ask(this, QStringLiteral("Delete"), question.arg(shownName(path)), QMessageBox::Warning))
        return;
    QString error;
    if (!FavoritesFolder::remove(m_root, path, &error))
        Dialogs::tell(this, QString(), error, QMessageBox::Warning);
    refresh(QFileInfo(path).path());
}

FolderChooser::FolderChooser(const QString &favoritesRoot, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChooseFolder"));
    setWindowTitle(QStringLiteral("Move to Folder"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Move the selected item to:"), this);
    layout->addWidget(label);
    treeFolders = new QTreeWidget(this);
    treeFolders->setObjectName(QStringLiteral("treeFolders"));
    treeFolders->setHeaderHidden(true);
    label->setBuddy(treeFolders);
    treeFolders->setAccessibleName(QStringLiteral("Move to folder"));
    layout->addWidget(treeFolders, 1);
    FolderList::fill(treeFolders, favoritesRoot, rootCaption, false);
    treeFolders->setCurrentItem(treeFolders->topLevelItem(0));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(treeFolders, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(320, 360);
    WindowRegistry::add(this);
}

QString FolderChooser::chosenFolder() const { return FolderList::path(treeFolders->currentItem()); }
