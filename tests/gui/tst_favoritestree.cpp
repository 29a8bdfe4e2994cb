#include "fakebrowser.h"
#include "favorites/favoriteimages.h"
#include "favorites/favorites.h"
#include "favorites/favoritestree.h"
#include "favorites/favs.h"
#include "favorites/folderlist.h"
#include "favorites/organizefavoritesdialog.h"
#include "favorites/walkbounds.h"
#include "core/shortcutfile.h"
#include "platform/dialogs.h"
#include "core/paths.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace {

void shortcut(const QString &path, const QString &url)
{
    QVERIFY2(QFileInfo(path).dir().mkpath(QStringLiteral(".")), qPrintable(path));
    QVERIFY2(ShortcutFile::writeUrl(path, url), qPrintable(path));
}

QStringList captions(const QTreeWidgetItem *item)
{
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

// Every tree test works on a fresh Favorites folder and a window built over it.
struct Fixture {
    TempHome home;
    FakeBrowser browser;
    QStringList errors;
    QString fav;

    Fixture()
    {
        fav = Paths::favoritesDir() + QLatin1Char('/');
        QDir().mkpath(fav);
        Dialogs::setTellHook([this](const Dialogs::Question &q) { errors << q.title + QLatin1Char('|') + q.text; });
    }
    ~Fixture() { Dialogs::setTellHook(nullptr); }

    Favs *open(bool withBrowser = true)
    {
        return new Favs([this, withBrowser]() -> BrowserControl * { return withBrowser ? &browser : nullptr; });
    }
};

}

class TestFavoritesTree : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void nestedFoldersInListingOrder()
    {
        Fixture f;
        shortcut(f.fav + "A.url", "http://a.test/");
        shortcut(f.fav + "News/B.url", "http://b.test/");
        shortcut(f.fav + "News/Local/C.url", "http://c.test/");
        shortcut(f.fav + "News/Alpha/D.url", "http://d.test/");
        QScopedPointer<Favs> w(f.open());
        FavoritesTree *tree = w->treeFavorites;

        QCOMPARE(w->objectName(), QStringLiteral("Favs"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Your Favorites"));
        QCOMPARE(tree->objectName(), QStringLiteral("treeFavorites"));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(FavoritesTree::key(root), QStringLiteral("R"));
        QCOMPARE(root->text(0), QStringLiteral("Internet Favorites"));
        QCOMPARE(FavoritesTree::image(root), 4);
        QVERIFY(root->isExpanded());
        QCOMPARE(captions(root), QStringList({"A", "News"}));

        QTreeWidgetItem *a = tree->node("A_URL");
        QCOMPARE(FavoritesTree::tag(a), QStringLiteral("http://a.test/"));
        QCOMPARE(FavoritesTree::image(a), 2);
        QCOMPARE(FavoritesTree::selectedImage(a), -1);

        QTreeWidgetItem *news = tree->node("News/");
        QCOMPARE(FavoritesTree::tag(news), f.fav + "News");
        QCOMPARE(FavoritesTree::image(news), 1);
        QCOMPARE(FavoritesTree::selectedImage(news), 2);
        QVERIFY(!news->isExpanded());
        // Shortcuts first, then each subfolder with its whole subtree, folders by name.
        QCOMPARE(captions(news), QStringList({"B", "Alpha", "Local"}));
        QCOMPARE(captions(tree->node("News/Local/")), QStringList({"C"}));
        QCOMPARE(tree->node("News/Local/C_URL")->parent(), tree->node("News/Local/"));
        QVERIFY(f.errors.isEmpty());

        // A rebuild starts from nothing and reads the disk again.
        QFile::remove(f.fav + "News/B.url");
        shortcut(f.fav + "Z.url", "http://z.test/");
        w->LoadFavorites();
        QCOMPARE(captions(tree->topLevelItem(0)), QStringList({"A", "Z", "News"}));
        QVERIFY(!tree->node("News/B_URL"));
        QCOMPARE(tree->nodeCount(), 8);
    }

    // Names repeat across folders; each shortcut and folder is a node of its own and
    // opens its own address.
    void sameNamesInDifferentFolders()
    {
        Fixture f;
        shortcut(f.fav + "B.url", "http://top-b.test/");
        shortcut(f.fav + "News/B.url", "http://news-b.test/");
        shortcut(f.fav + "Alpha/Shared/One.url", "http://alpha-one.test/");
        shortcut(f.fav + "Beta/Shared/One.url", "http://beta-one.test/");
        // Folders named like the root's key and like a shortcut's key.
        shortcut(f.fav + "R/Three.url", "http://three.test/");
        shortcut(f.fav + "X.url", "http://x.test/");
        shortcut(f.fav + "X_URL/X.url", "http://inner-x.test/");
        QScopedPointer<Favs> w(f.open());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        FavoritesTree *tree = w->treeFavorites;
        tree->expandAll();

        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(captions(root), QStringList({"B", "X", "Alpha", "Beta", "News", "R", "X_URL"}));
        for (int i = 2; i < root->childCount(); ++i)
            QCOMPARE(root->child(i)->childCount(), 1);
        QCOMPARE(captions(root->child(2)->child(0)), QStringList({"One"}));
        QCOMPARE(captions(root->child(3)->child(0)), QStringList({"One"}));

        QList<QTreeWidgetItem *> shortcuts;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if (FavoritesTree::image(*it) == FavoriteImages::Shortcut)
                shortcuts << *it;
        for (QTreeWidgetItem *node : shortcuts) {
            w->show();
            tree->scrollToItem(node);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
            QTRY_VERIFY(w->isHidden());
        }
        QCOMPARE(f.browser.navigations,
                 QStringList({"http://top-b.test/", "http://x.test/", "http://alpha-one.test/", "http://beta-one.test/",
                              "http://news-b.test/", "http://three.test/", "http://inner-x.test/"}));
        QVERIFY(f.errors.isEmpty());
    }

    void fileNameRules()
    {
        Fixture f;
        shortcut(f.fav + "Upper.URL", "http://upper.test/");
        shortcut(f.fav + "Mixed.Url", "http://mixed.test/");
        shortcut(f.fav + "my.url.backup.url", "http://my.test/");
        shortcut(f.fav + "notes.txt", "http://txt.test/");
        QFile noKey(f.fav + "NoKey.url");
        QVERIFY(noKey.open(QIODevice::WriteOnly));
        noKey.write("[InternetShortcut]\r\nIconIndex=1\r\n[Other]\r\nURL=http://wrong.test/\r\n");
        noKey.close();
        QVERIFY(QDir().mkdir(f.fav + "folder.url")); // a folder is never a shortcut
        QVERIFY(QFile::link(f.fav + "missing-target", f.fav + "Dangling.url"));
        QScopedPointer<Favs> w(f.open());
        FavoritesTree *tree = w->treeFavorites;

        QVERIFY(!tree->node("Upper_URL"));
        QVERIFY(!tree->node("Mixed_URL"));
        QVERIFY(!tree->node("notes.txt_URL"));
        QCOMPARE(FavoritesTree::tag(tree->node("my_URL")), QStringLiteral("http://my.test/"));
        QCOMPARE(tree->node("my_URL")->text(0), QStringLiteral("my"));
        QVERIFY(tree->node("NoKey_URL"));
        QCOMPARE(FavoritesTree::tag(tree->node("NoKey_URL")), QString());
        QVERIFY(tree->node("Dangling_URL"));
        QCOMPARE(FavoritesTree::tag(tree->node("Dangling_URL")), QString());
        QCOMPARE(FavoritesTree::image(tree->node("folder.url/")), 1);
    }

    void hiddenShortcutsFolder()
    {
        Fixture f;
        shortcut(f.fav + "RI Vovediravor/Secret.url", "http://secret.test/");
        shortcut(f.fav + "RI Vovediravor/Inner/Open.url", "http://open.test/");
        shortcut(f.fav + "ri vovediravor/Lower.url", "http://lower.test/");
        shortcut(f.fav + "Deeper/RI Vovediravor/Nested.url", "http://nested.test/");
        QScopedPointer<Favs> w(f.open());
        FavoritesTree *tree = w->treeFavorites;
        QVERIFY(tree->node("RI Vovediravor/"));
        QVERIFY(!tree->node("RI Vovediravor/Secret_URL"));
        QCOMPARE(tree->node("RI Vovediravor/Inner/Open_URL")->parent(), tree->node("RI Vovediravor/Inner/"));
        QVERIFY(tree->node("Deeper/RI Vovediravor/"));
        QCOMPARE(captions(tree->node("Deeper/RI Vovediravor/")), QStringList());
        QVERIFY(tree->node("ri vovediravor/Lower_URL")); // the name is matched exactly
    }

    void foldersThatCannotBeWalked()
    {
        Fixture f;
        shortcut(f.fav + "Good/G.url", "http://g.test/");
        // Running as root, permission bits do not stop a listing: use things that are not
        // listable folders at all, and a link back to an ancestor that would never end.
        QVERIFY(QFile::link(f.fav + "nowhere", f.fav + "Dangling"));
        QFile plain(f.fav + "NotAFolder");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QFile::link(f.fav, f.fav + "Good/Loop"));
        shortcut(f.fav + "Good/Sub/S.url", "http://s.test/");
        QScopedPointer<Favs> w(f.open());
        FavoritesTree *tree = w->treeFavorites;
        QVERIFY(!tree->node("Dangling/"));
        QVERIFY(!tree->node("NotAFolder/"));
        QVERIFY(!tree->node("Good/Loop/")); // the root, already shown
        QCOMPARE(tree->node("Good/Sub/S_URL")->parent(), tree->node("Good/Sub/"));
        QCOMPARE(tree->node("Good/G_URL")->parent(), tree->node("Good/"));
    }

    // 25 folders each holding two links to the next: 2^24 paths from a few kilobytes.
    // Each real folder is walked and shown once, by the tree and by both dialogs.
    void branchingLinksAreWalkedOnce()
    {
        Fixture f;
        for (int i = 0; i < 25; ++i)
            QVERIFY(QDir().mkpath(f.fav + QStringLiteral("real/F%1").arg(i)));
        for (int i = 0; i + 1 < 25; ++i)
            for (const char *name : {"a", "b"})
                QVERIFY(QFile::link(f.fav + QStringLiteral("real/F%1").arg(i + 1),
                                    f.fav + QStringLiteral("real/F%1/").arg(i) + QLatin1String(name) + QString::number(i)));
        shortcut(f.fav + "real/F24/Deep.url", "http://deep.test/");
        // Walking every path would take hours; the limit only tells a hang from a walk.
        constexpr qint64 HangMs = 10000;
        QElapsedTimer timer;
        timer.start();
        QScopedPointer<Favs> w(f.open());
        QVERIFY2(timer.elapsed() < HangMs, qPrintable(QString::number(timer.elapsed())));
        FavoritesTree *tree = w->treeFavorites;
        int folders = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            folders += FavoritesTree::image(*it) == 1 ? 1 : 0;
        QCOMPARE(folders, 26); // real, F0 and the 24 reached through links
        QString deep = QStringLiteral("real/F0/");
        for (int i = 0; i + 1 < 25; ++i)
            deep += QStringLiteral("a%1/").arg(i); // the first link to each folder is the one walked
        QVERIFY(tree->node(deep + "Deep_URL"));
        QVERIFY(f.errors.isEmpty());

        timer.restart();
        OrganizeFavoritesDialog organize(Paths::favoritesDir());
        QVERIFY2(timer.elapsed() < HangMs, qPrintable(QString::number(timer.elapsed())));
        auto *list = organize.findChild<QTreeWidget *>(QStringLiteral("treeOrganize"));
        QVERIFY(list);
        int shown = 0;
        for (QTreeWidgetItemIterator it(list); *it; ++it)
            shown += FolderList::isFolder(*it) ? 1 : 0;
        QCOMPARE(shown, 27); // with the root's own item
    }

    // Past the bounds the walk stops and says so.
    void walkStopsAtItsBounds()
    {
        Fixture f;
        QString path = f.fav;
        for (int level = 1; level <= WalkBounds::MaxDepth + 5; ++level)
            path += QStringLiteral("L%1/").arg(level);
        QVERIFY(QDir().mkpath(path));
        QScopedPointer<Favs> w(f.open());
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(f.errors.first().contains(QString::number(WalkBounds::MaxDepth)));
        int depth = 0;
        for (QTreeWidgetItem *node = w->treeFavorites->topLevelItem(0); node && node->childCount(); node = node->child(0))
            ++depth;
        QCOMPARE(depth, WalkBounds::MaxDepth);
    }

    void deepFolders()
    {
        Fixture f;
        QString path = f.fav;
        for (int level = 1; level <= 30; ++level)
            path += QStringLiteral("L%1/").arg(level);
        shortcut(path + "Bottom.url", "http://bottom.test/");
        QScopedPointer<Favs> w(f.open());
        QTreeWidgetItem *node = w->treeFavorites->node(path.mid(f.fav.size()) + "Bottom_URL");
        QVERIFY(node);
        int depth = 0;
        while ((node = node->parent()))
            ++depth;
        QCOMPARE(depth, 31);
    }

    void manyShortcutsInOneFolder()
    {
        Fixture f;
        // Plain writes: the atomic writer's flush to disk would only slow the set-up.
        for (int i = 0; i < 2000; ++i) {
            QFile file(f.fav + QStringLiteral("Site %1.url").arg(i, 4, 10, QLatin1Char('0')));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("[InternetShortcut]\r\nURL=http://site%1.test/\r\n").arg(i).toLatin1());
        }
        QScopedPointer<Favs> w(f.open());
        QElapsedTimer timer;
        timer.start();
        w->LoadFavorites();
        qInfo("2000 shortcuts loaded in %lld ms", timer.elapsed());
        QCOMPARE(w->treeFavorites->topLevelItem(0)->childCount(), 2000);
        QCOMPARE(w->treeFavorites->topLevelItem(0)->child(1999)->text(0), QStringLiteral("Site 1999"));
        QCOMPARE(FavoritesTree::tag(w->treeFavorites->node("Site 1999_URL")), QStringLiteral("http://site1999.test/"));
    }

    void noBrowserWindowOrNoFolder()
    {
        Fixture f;
        shortcut(f.fav + "A.url", "http://a.test/");
        QScopedPointer<Favs> w(f.open(false));
        const QString message = QStringLiteral("Favorites Error| Could not load favorites! Next time, make sure you "
                                               "have at least one browser window open!");
        QCOMPARE(f.errors, QStringList(message));
        QCOMPARE(w->treeFavorites->topLevelItemCount(), 1);
        QCOMPARE(w->treeFavorites->topLevelItem(0)->childCount(), 0);
        QVERIFY(!w->treeFavorites->topLevelItem(0)->isExpanded());
        QVERIFY(Favorites::FavoritesRoot().isEmpty());

        // With a window but a plain file where the folder should be, the lookup fails too.
        QVERIFY(QDir(f.fav).removeRecursively());
        QFile blocker(Paths::favoritesDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(Favorites::GetSpecialFolder(6, &f.browser), QString());
        QScopedPointer<Favs> w2(f.open());
        QCOMPARE(f.errors.size(), 2);
        QCOMPARE(w2->treeFavorites->nodeCount(), 1);
    }

    void specialFolderIsMadeOnFirstUse()
    {
        TempHome home;
        FakeBrowser browser;
        QVERIFY(!QFileInfo::exists(Paths::favoritesDir()));
        QCOMPARE(Favorites::GetSpecialFolder(6, &browser), Paths::favoritesDir());
        QVERIFY(QFileInfo(Paths::favoritesDir()).isDir());
        QCOMPARE(Favorites::GetSpecialFolder(5, &browser), QString());
    }

    void nodeClick()
    {
        Fixture f;
        shortcut(f.fav + "A.url", "http://a.test/");
        shortcut(f.fav + "Docs_URL/B.url", "http://b.test/");
        // Saved by other programs: UTF-16 with its byte-order mark, and an empty file.
        QFile wide(f.fav + "Wide.url");
        QVERIFY(wide.open(QIODevice::WriteOnly));
        wide.write("\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE)(u"[InternetShortcut]\r\nURL=http://wide.test/\r\n"));
        wide.close();
        QFile empty(f.fav + "Empty.url");
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QPointer<Favs> w(f.open());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        FavoritesTree *tree = w->treeFavorites;

        // Folders and the root only open and close; a shortcut with no address leaves
        // the page in front alone.
        for (const char *key : {"R", "Docs_URL/", "Empty_URL"}) {
            tree->scrollToItem(tree->node(key));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->node(key)).center());
            QVERIFY(w->isVisible());
        }
        QVERIFY(f.browser.navigations.isEmpty());

        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->node("A_URL")).center());
        QCOMPARE(f.browser.navigations, QStringList("http://a.test/"));
        QTRY_VERIFY(w->isHidden());

        // Shown again it is the same window with the same tree, not reread.
        shortcut(f.fav + "New.url", "http://new.test/");
        w->show();
        QVERIFY(!tree->node("New_URL"));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->node("Wide_URL")).center());
        QCOMPARE(f.browser.navigations, QStringList({"http://a.test/", "http://wide.test/"}));
        w->show();

        // Close in the menu hides; it does not unload.
        w->Close->trigger();
        QVERIFY(w);
        QVERIFY(w->isHidden());

        // With no active window a shortcut loads nothing, and the window still hides.
        w->show();
        delete w;
        QScopedPointer<Favs> lone(f.open(false));
        f.errors.clear();
        lone->show();
        lone->treeFavorites->addNode("R", "X_URL", "X", 2, -1, "http://x.test/");
        lone->treeFavorites_NodeClick(lone->treeFavorites->node("X_URL"));
        QCOMPARE(f.browser.navigations.size(), 2);
        QTRY_VERIFY(lone->isHidden());
    }

    // From the keyboard: Enter on a shortcut opens it as a click does, Escape closes as Close does.
    void enterOpensAndEscapeCloses()
    {
        Fixture f;
        shortcut(f.fav + "A.url", "http://a.test/");
        QScopedPointer<Favs> w(f.open());
        auto activate = [&w] {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.data()));
            w->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), w.data());
            w->treeFavorites->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), w->treeFavorites);
        };
        activate();
        FavoritesTree *tree = w->treeFavorites;
        tree->setCurrentItem(tree->node("R"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the root only opens and closes
        QVERIFY(w->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(tree->currentItem(), tree->node("A_URL"));
        QVERIFY(f.browser.navigations.isEmpty()); // moving onto a shortcut opens nothing
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.browser.navigations, QStringList("http://a.test/"));
        QVERIFY(w->isHidden());

        w.reset(f.open()); // a window shown again is not made active under a bare X server
        activate();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(w->isHidden());
        QCOMPARE(f.browser.navigations.size(), 1);
    }

    // A shortcut double-clicked as in a file manager, over a link of the page behind:
    // it opens once, and the second click stays in the window instead of following the link.
    void doubleClickOpensOnceAndClicksNothingBeneath()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the X pointer");
        Fixture f;
        shortcut(f.fav + "A.url", "http://a.test/");
        QPushButton link(QStringLiteral("a link of the page behind"));
        link.setGeometry(100, 100, 700, 700);
        link.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link));
        QScopedPointer<Favs> w(f.open());
        w->move(200, 200);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        FavoritesTree *tree = w->treeFavorites;
        const QPoint at = tree->viewport()->mapToGlobal(tree->visualItemRect(tree->node("A_URL")).center());
        QVERIFY(QRect(link.mapToGlobal(QPoint(0, 0)), link.size()).contains(at));
        QSignalSpy linkPressed(&link, &QPushButton::pressed);
        QSignalSpy doubleClicked(tree, &QTreeWidget::itemDoubleClicked);

        // Clicked while the programme runs on, as a person's clicks come: each one is
        // handled before the next arrives.
        const int gap = qMin(110, QApplication::doubleClickInterval() / 2);
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                       QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                       QStringLiteral("--delay"), QString::number(gap), QStringLiteral("1")});
        QTRY_COMPARE(xdotool.state(), QProcess::NotRunning);
        QCOMPARE(xdotool.exitCode(), 0);
        // The second click lands somewhere: on the shortcut, or on the link if the window has gone.
        QTRY_VERIFY(doubleClicked.count() + linkPressed.count() > 0);
        QCOMPARE(linkPressed.count(), 0);
        QCOMPARE(doubleClicked.count(), 1);
        QTRY_VERIFY(w->isHidden());
        QCOMPARE(f.browser.navigations, QStringList("http://a.test/"));
    }

    void layoutFollowsTheWindow()
    {
        Fixture f;
        QScopedPointer<Favs> w(f.open());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.data()));
        w->resize(400, 500);
        QTRY_COMPARE(w->frameGeometry().size().width() >= 400, true);
        FavoritesTree *tree = w->treeFavorites;
        const int outerWidth = w->frameGeometry().width();
        QTRY_COMPARE(tree->y(), 0);
        // 100 twips at 96 dpi are 6.67 pixels.
        QTRY_COMPARE(tree->width(), qMin(outerWidth - 7, w->centralWidget()->width() - tree->x()));
        QVERIFY(tree->geometry().bottom() <= w->centralWidget()->height());
        QVERIFY(tree->height() > w->centralWidget()->height() - 20);

        // Too small for the rule: no size goes negative.
        w->resize(3, 3);
        QApplication::processEvents();
        QVERIFY(tree->width() >= 0 && tree->height() >= 0);
    }
};

QUILLON_TEST_MAIN(TestFavoritesTree)
#include "tst_favoritestree.moc"
