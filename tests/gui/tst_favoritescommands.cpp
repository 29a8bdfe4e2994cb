#include "fakebrowser.h"
#include "favorites/addfavoritedialog.h"
#include "favorites/favoritescommands.h"
#include "favorites/favoritestree.h"
#include "favorites/favs.h"
#include "favorites/folderlist.h"
#include "favorites/organizefavoritesdialog.h"
#include "core/shortcutfile.h"
#include "platform/dialogs.h"
#include "core/paths.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

namespace {

// A frame stand-in with one active page, and answers for every box the commands raise.
struct Fixture {
    TempHome home;
    QWidget frame;
    FakeBrowser browser;
    bool hasBrowser = true;
    FavoritesCommands commands{&frame, [this]() -> BrowserControl * { return hasBrowser ? &browser : nullptr; }};
    QStringList told;
    QStringList asked;
    bool answer = false;
    QStringList inputs;
    QString fav;

    Fixture()
    {
        fav = Paths::favoritesDir() + QLatin1Char('/');
        Dialogs::setTellHook([this](const Dialogs::Question &q) { told << q.title + QLatin1Char('|') + q.text; });
        Dialogs::setAskHook([this](const Dialogs::Question &q) { asked << q.text; return answer; });
        Dialogs::setInputHook([this](const QString &, const QString &) { return inputs.isEmpty() ? QString() : inputs.takeFirst(); });
    }
    ~Fixture()
    {
        Dialogs::setTellHook(nullptr);
        Dialogs::setAskHook(nullptr);
        Dialogs::setInputHook(nullptr);
    }

    void page(const QString &url, const QString &title)
    {
        browser.Navigate(url);
        browser.complete(title);
    }

    AddFavoriteDialog *add()
    {
        commands.AddtoFavs_Click();
        return commands.addDialog();
    }

    QStringList shownTitles()
    {
        QStringList out;
        const FavoritesTree *tree = commands.favs()->treeFavorites;
        QTreeWidgetItemIterator it(const_cast<FavoritesTree *>(tree));
        for (; *it; ++it)
            if (FavoritesTree::key(*it).endsWith(QLatin1String("_URL")))
                out << (*it)->text(0);
        return out;
    }
};

}

class TestFavoritesCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void addDialogOffersThePageAndWritesAShortcut()
    {
        Fixture f;
        const QString url = QStringLiteral("data:text/html,<h1>x=1,2</h1>");
        f.page(url, QStringLiteral("Daily/News"));
        AddFavoriteDialog *dialog = f.add();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->objectName(), QStringLiteral("frmAddFavorite"));
        QCOMPARE(dialog->txtName->text(), QStringLiteral("Daily/News"));
        QTextDocument tip; // the address as written, never drawn as markup
        tip.setHtml(dialog->lblAddress->toolTip());
        QCOMPARE(tip.toPlainText(), url);

        // A new folder made from the dialog becomes the chosen one.
        f.inputs << QStringLiteral("Work");
        dialog->cmdNewFolder->click();
        QVERIFY(QFileInfo(f.fav + "Work").isDir());
        QCOMPARE(FolderList::path(dialog->treeFolders->currentItem()), f.fav + "Work");
        // One inside it: the tree opens its first level only, yet the chosen folder shows.
        f.inputs << QStringLiteral("Deep");
        dialog->cmdNewFolder->click();
        QTreeWidgetItem *deep = dialog->treeFolders->currentItem();
        QCOMPARE(FolderList::path(deep), f.fav + "Work/Deep");
        for (QTreeWidgetItem *p = deep->parent(); p; p = p->parent())
            QVERIFY(p->isExpanded());
        dialog->cmdOK->click();
        QTRY_VERIFY(!f.commands.addDialog());
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Work/Deep/Daily-News.url"), url);
        QVERIFY(f.told.isEmpty());
        QVERIFY(!f.commands.favs()); // adding loads no tree
    }

    // A page with a long address added from the Add dialog opens whole from the tree.
    void aLongAddressOpensWholeFromTheTree()
    {
        Fixture f;
        const QString url = QStringLiteral("http://long.test/?q=") + QString(3000, QLatin1Char('x'));
        f.page(url, QStringLiteral("Long"));
        f.add()->cmdOK->click();
        QTRY_VERIFY(!f.commands.addDialog());
        f.commands.mnu_ViewFavorites_Click();
        Favs *favs = f.commands.favs();
        QVERIFY(favs);
        QVERIFY(QTest::qWaitForWindowExposed(favs));
        QTreeWidgetItem *node = favs->treeFavorites->node("Long_URL");
        QVERIFY(node);
        QTest::mouseClick(favs->treeFavorites->viewport(), Qt::LeftButton, {},
                          favs->treeFavorites->visualItemRect(node).center());
        QCOMPARE(f.browser.navigations, QStringList({url, url}));
        QTRY_VERIFY(favs->isHidden());
    }

    void addDialogAsksBeforeReplacing()
    {
        Fixture f;
        QDir().mkpath(f.fav);
        ShortcutFile::writeUrl(f.fav + "Site.url", QStringLiteral("http://old/"));
        f.page(QStringLiteral("http://new/"), QStringLiteral("Site"));
        AddFavoriteDialog *dialog = f.add();
        dialog->cmdOK->click();
        QCOMPARE(f.asked.size(), 1);
        QVERIFY(f.asked.first().contains(QStringLiteral("\"Site\"")));
        QVERIFY(dialog->isVisible()); // declined: stays open for another name
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Site.url"), QStringLiteral("http://old/"));
        dialog->txtName->setText(QStringLiteral("Site 2"));
        dialog->cmdOK->click();
        QTRY_VERIFY(!f.commands.addDialog());
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Site 2.url"), QStringLiteral("http://new/"));

        f.answer = true;
        f.add()->cmdOK->click();
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Site.url"), QStringLiteral("http://new/"));
    }

    void addWithoutTitleOrWindow()
    {
        Fixture f;
        f.page(QStringLiteral("http://untitled.test/"), QString());
        AddFavoriteDialog *dialog = f.add();
        QCOMPARE(dialog->txtName->text(), QString());
        QCOMPARE(dialog->url(), QStringLiteral("http://untitled.test/"));
        dialog->cmdOK->click();
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Untitled.url"), QStringLiteral("http://untitled.test/"));

        f.hasBrowser = false;
        dialog = f.add();
        QVERIFY(dialog);
        QCOMPARE(dialog->url(), QString());
        QVERIFY(!dialog->cmdOK->isEnabled()); // a favorite that opens nothing is never written
        dialog->txtName->setText(QStringLiteral("Nothing"));
        dialog->activateWindow();
        QTRY_VERIFY(dialog->txtName->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!QFile::exists(f.fav + "Nothing.url"));
        dialog->cmdCancel->click();
        QTRY_VERIFY(!f.commands.addDialog());
    }

    void organiseButtons()
    {
        Fixture f;
        QDir().mkpath(f.fav + "Old");
        ShortcutFile::writeUrl(f.fav + "A.url", QStringLiteral("http://a/"));
        ShortcutFile::writeUrl(f.fav + "B.url", QStringLiteral("http://b/"));
        ShortcutFile::writeUrl(f.fav + "C.url", QStringLiteral("http://c/"));
        f.commands.mnu_OrganizeFavorites_Click();
        OrganizeFavoritesDialog *d = f.commands.organizeDialog();
        QVERIFY(d);
        QCOMPARE(d->objectName(), QStringLiteral("frmOrganizeFavorites"));
        QVERIFY(!d->cmdDelete->isEnabled()); // the Favorites folder itself is selected

        f.inputs << QStringLiteral("Reading");
        d->cmdCreateFolder->click();
        QVERIFY(QFileInfo(f.fav + "Reading").isDir());

        QVERIFY(d->select(f.fav + "A.url"));
        f.inputs << QStringLiteral("Apple");
        d->cmdRename->click();
        QVERIFY(QFileInfo::exists(f.fav + "Apple.url"));

        // Renaming onto an existing favourite asks first; declined, both stay.
        QVERIFY(d->select(f.fav + "B.url"));
        f.inputs << QStringLiteral("Apple");
        d->cmdRename->click();
        QCOMPARE(f.asked.size(), 1);
        QVERIFY(QFileInfo::exists(f.fav + "B.url"));

        QVERIFY(d->select(f.fav + "B.url"));
        d->cmdMove->click();
        auto *chooser = d->findChild<FolderChooser *>(QStringLiteral("frmChooseFolder"));
        QVERIFY(chooser && chooser->isVisible());
        chooser->treeFolders->setCurrentItem(FolderList::find(chooser->treeFolders, f.fav + "Reading"));
        chooser->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QVERIFY(QFileInfo::exists(f.fav + "Reading/B.url"));

        QVERIFY(d->select(f.fav + "Old"));
        f.answer = false;
        d->cmdDelete->click();
        QVERIFY(QFileInfo::exists(f.fav + "Old"));
        f.answer = true;
        d->cmdDelete->click();
        QVERIFY(!QFileInfo::exists(f.fav + "Old"));

        QSignalSpy organized(&f.commands, &FavoritesCommands::organized);
        d->cmdClose->click();
        QCOMPARE(organized.count(), 1);
        Favs *favs = f.commands.favs();
        QVERIFY(favs);
        QVERIFY(!favs->isVisible()); // organising loads the window without showing it
        QCOMPARE(f.shownTitles(), QStringList({"Apple", "C", "B"}));
        QVERIFY(favs->treeFavorites->node("Reading/"));
        QVERIFY(!favs->treeFavorites->node("Old/"));
    }

    // A linked folder's contents are listed, but the dialog says why it leaves them alone
    // before asking anything; the link itself is deleted as any item is.
    void organiseLeavesALinkedFoldersContentsAlone()
    {
        Fixture f;
        QTemporaryDir outside;
        QVERIFY(QDir().mkpath(f.fav));
        QVERIFY(QDir().mkpath(outside.filePath("Sub")));
        QFile report(outside.filePath("Sub/report.odt"));
        QVERIFY(report.open(QIODevice::WriteOnly));
        report.close();
        QVERIFY(QFile::link(outside.path(), f.fav + "Work"));
        f.commands.mnu_OrganizeFavorites_Click();
        OrganizeFavoritesDialog *d = f.commands.organizeDialog();
        QVERIFY(d);

        for (QPushButton *button : {d->cmdDelete, d->cmdRename, d->cmdMove, d->cmdCreateFolder}) {
            QVERIFY(d->select(f.fav + "Work/Sub"));
            f.told.clear();
            f.answer = true;
            f.inputs = QStringList({QStringLiteral("Renamed")});
            button->click();
            QCOMPARE(f.told, QStringList(QStringLiteral("|\"Sub\" is in a linked folder outside Favorites and "
                                                        "cannot be changed from here.")));
            QVERIFY(f.asked.isEmpty());
            QCOMPARE(f.inputs.size(), 1);
            QVERIFY(!d->findChild<FolderChooser *>());
            QVERIFY(QFileInfo::exists(outside.filePath("Sub/report.odt")));
            QCOMPARE(QDir(outside.filePath("Sub")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList("report.odt"));
        }
        // Nor is a folder made in the linked folder itself.
        QVERIFY(d->select(f.fav + "Work"));
        f.told.clear();
        d->cmdCreateFolder->click();
        QCOMPARE(f.told, QStringList(QStringLiteral("|\"Work\" is a linked folder outside Favorites and "
                                                    "cannot be changed from here.")));
        QCOMPARE(f.inputs.size(), 1);
        QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList("Sub"));

        // The link is renamed as a folder is, and the folder it leads to keeps its name.
        QVERIFY(d->select(f.fav + "Work"));
        f.told.clear();
        f.inputs = QStringList({QStringLiteral("Office")});
        d->cmdRename->click();
        QVERIFY(f.told.isEmpty());
        QCOMPARE(QFileInfo(f.fav + "Office").symLinkTarget(), outside.path());
        QVERIFY(!QFileInfo::exists(f.fav + "Office.url"));
        QVERIFY(FolderList::isFolder(d->treeOrganize->currentItem()));
        QCOMPARE(FolderList::path(d->treeOrganize->currentItem()), f.fav + "Office");

        d->cmdDelete->click();
        QCOMPARE(f.asked.size(), 1);
        QVERIFY(f.told.isEmpty());
        QVERIFY(!QFileInfo(f.fav + "Office").isSymLink());
        QVERIFY(QFileInfo::exists(outside.filePath("Sub/report.odt")));
        d->reject();
    }

    // Saving a page or making a folder through a linked folder would write outside
    // Favorites: refused with the reason, the dialog stays open for another folder.
    void addDialogWritesNothingThroughALinkedFolder()
    {
        Fixture f;
        QTemporaryDir outside;
        QVERIFY(QDir().mkpath(f.fav + "Inside"));
        QVERIFY(QDir().mkpath(outside.filePath("Sub")));
        QVERIFY(QFile::link(outside.path(), f.fav + "Work"));
        QVERIFY(QFile::link(f.fav + "Inside", f.fav + "Alias"));
        f.page(QStringLiteral("http://page.test/"), QStringLiteral("Page"));
        AddFavoriteDialog *dialog = f.add();
        QVERIFY(dialog);

        const QStringList refusals = {
            QStringLiteral("|\"Work\" is a linked folder outside Favorites and cannot be changed from here."),
            QStringLiteral("|\"Sub\" is in a linked folder outside Favorites and cannot be changed from here.")};
        const QStringList folders = {f.fav + "Work", f.fav + "Work/Sub"};
        for (int i = 0; i < folders.size(); ++i) {
            QTreeWidgetItem *item = FolderList::find(dialog->treeFolders, folders[i]);
            QVERIFY(item);
            dialog->treeFolders->setCurrentItem(item);
            f.told.clear();
            f.inputs = QStringList({QStringLiteral("New")});
            dialog->cmdNewFolder->click();
            QCOMPARE(f.inputs.size(), 1); // refused before the name is asked
            dialog->cmdOK->click();
            QCOMPARE(f.told, QStringList({refusals[i], refusals[i]}));
            QVERIFY(f.asked.isEmpty());
            QVERIFY(dialog->isVisible());
        }
        QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList("Sub"));
        QVERIFY(QDir(outside.filePath("Sub")).isEmpty());

        // A link that leads to a folder inside Favorites takes new items as that folder does.
        dialog->treeFolders->setCurrentItem(FolderList::find(dialog->treeFolders, f.fav + "Alias"));
        f.told.clear();
        f.inputs = QStringList({QStringLiteral("New")});
        dialog->cmdNewFolder->click();
        QVERIFY(QFileInfo(f.fav + "Inside/New").isDir());
        dialog->cmdOK->click();
        QTRY_VERIFY(!f.commands.addDialog());
        QCOMPARE(ShortcutFile::readUrl(f.fav + "Inside/New/Page.url"), QStringLiteral("http://page.test/"));
        QVERIFY(f.told.isEmpty());
    }

    void organiseWithoutBrowserWindow()
    {
        Fixture f;
        f.hasBrowser = false;
        f.commands.mnu_OrganizeFavorites_Click();
        QVERIFY(!f.commands.organizeDialog());
        // The window is loaded for the rebuild, and the failure is reported once.
        QCOMPARE(f.told.size(), 1);
        QVERIFY(f.told.first().startsWith(QStringLiteral("Favorites Error| Could not load favorites! ")));
        QVERIFY(f.commands.favs());
        QCOMPARE(f.commands.favs()->treeFavorites->nodeCount(), 1);

        f.commands.mnu_ViewFavorites_Click();
        QCOMPARE(f.told.size(), 1); // shown as it was built
    }

    // With a window open, the only cause left is the folder itself: the message names it.
    void favoritesFolderThatIsAFileIsNamed()
    {
        Fixture f;
        QVERIFY(QDir().mkpath(QFileInfo(Paths::favoritesDir()).path()));
        QFile blocker(Paths::favoritesDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.commands.mnu_OrganizeFavorites_Click();
        QVERIFY(!f.commands.organizeDialog());
        QCOMPARE(f.told, QStringList(QStringLiteral("Favorites Error| Could not load favorites! The Favorites folder "
                                                    "%1 could not be made, or is not a folder.")
                                         .arg(Paths::favoritesDir())));
    }

    void folderListsHoldRealFoldersOnly()
    {
        Fixture f;
        QVERIFY(QDir().mkpath(f.fav + "Real"));
        QCOMPARE(::mkfifo(QFile::encodeName(f.fav + "pipe.url").constData(), 0600), 0);
        f.commands.mnu_OrganizeFavorites_Click();
        OrganizeFavoritesDialog *organize = f.commands.organizeDialog();
        QVERIFY(FolderList::isFolder(FolderList::find(organize->treeOrganize, f.fav + "Real")));
        QVERIFY(!FolderList::isFolder(FolderList::find(organize->treeOrganize, f.fav + "pipe.url")));
        organize->reject();
        AddFavoriteDialog *dialog = f.add();
        QVERIFY(FolderList::find(dialog->treeFolders, f.fav + "Real"));
        QVERIFY(!FolderList::find(dialog->treeFolders, f.fav + "pipe.url"));
    }
};

QUILLON_TEST_MAIN(TestFavoritesCommands)
#include "tst_favoritescommands.moc"
