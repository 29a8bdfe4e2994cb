#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "favorites/addfavoritedialog.h"
#include "favorites/favoritescommands.h"
#include "favorites/favoritestree.h"
#include "favorites/organizefavoritesdialog.h"
#include "core/shortcutfile.h"
#include "httpserver.h"
#include "core/paths.h"
#include "testenv.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QtTest>

class TestFavoritesEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void addedFavouriteAppearsAfterOrganiseAndLoads()
    {
        TempHome home;
        LoopbackServer server;
        QVERIFY(server.isListening());
        server.setPage("/first", "<html><head><title>First Page</title></head><body>one</body></html>");
        server.setPage("/second", "<html><head><title>Second Page</title></head><body>two</body></html>");

        // A frame with one browser window on the real engine.
        QMainWindow frame;
        frame.setObjectName(QStringLiteral("mdiform1"));
        auto *mdi = new QMdiArea(&frame);
        frame.setCentralWidget(mdi);
        auto *form1 = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        mdi->addSubWindow(form1);
        form1->show();
        frame.resize(900, 700);
        frame.show();
        // The favourites window is a window of its own: the frame's current child stays current.
        FavoritesCommands commands(&frame, [mdi]() -> BrowserControl * {
            auto *child = qobject_cast<ChildWindow *>(mdi->currentSubWindow());
            return child ? child->Web1 : nullptr;
        });

        BrowserControl *web = form1->Web1;
        web->Navigate(server.url(QStringLiteral("/first")));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("First Page"), 30000);

        commands.mnu_ViewFavorites_Click();
        Favs *favs = commands.favs();
        QVERIFY(favs && favs->isVisible());
        QVERIFY(!favs->treeFavorites->node(QStringLiteral("First Page_URL")));

        commands.AddtoFavs_Click();
        AddFavoriteDialog *add = commands.addDialog();
        QVERIFY(add);
        QCOMPARE(add->txtName->text(), QStringLiteral("First Page"));
        add->cmdOK->click();
        QCOMPARE(ShortcutFile::readUrl(Paths::favoritesDir() + QStringLiteral("/First Page.url")),
                 server.url(QStringLiteral("/first")));

        // Not in the tree until the favourites are organised.
        commands.mnu_ViewFavorites_Click();
        QVERIFY(!favs->treeFavorites->node(QStringLiteral("First Page_URL")));
        commands.mnu_OrganizeFavorites_Click();
        QVERIFY(commands.organizeDialog());
        commands.organizeDialog()->cmdClose->click();
        QTreeWidgetItem *node = favs->treeFavorites->node(QStringLiteral("First Page_URL"));
        QVERIFY(node);

        web->Navigate(server.url(QStringLiteral("/second")));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Second Page"), 30000);

        commands.mnu_ViewFavorites_Click();
        QVERIFY(QTest::qWaitForWindowExposed(favs));
        FavoritesTree *tree = favs->treeFavorites;
        tree->scrollToItem(node);
        const int before = server.count("/first");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
        QTRY_VERIFY(favs->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("First Page"), 30000);
        QCOMPARE(web->LocationURL(), server.url(QStringLiteral("/first")));
        QCOMPARE(server.count("/first"), before + 1);
    }
};

QUILLON_TEST_MAIN(TestFavoritesEngine)
#include "tst_favoritesengine.moc"
