#include "app/mdiform1.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "httpserver.h"
#include "platform/tabstrip.h"
#include "platform/webenginebrowser.h"
#include "popups/banlist.h"
#include "popups/popupflood.h"
#include "popups/popuppolicy.h"
#include "popups/webpopup.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

// Popups from real pages, served on the loopback interface, in the real frame.
class TestPopups : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> home;
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<mdiform1> frame;

    form1 *openBrowser(const QString &path)
    {
        form1 *w = frame->windows->newBrowserWindow();
        frame->windows->OpenSiteWindow(w, server->url(path));
        return w;
    }
    QList<webPopup *> popups() const { return frame->findChildren<webPopup *>(); }
    static QList<QWidget *> outsideWindows()
    {
        QList<QWidget *> found;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("outsideWindow") && w->isVisible())
                found << w;
        return found;
    }
    int fetched(const QByteArray &prefix) const
    {
        int n = 0;
        for (const LoopbackServer::Request &r : server->requests())
            n += r.path.startsWith(prefix) ? 1 : 0;
        return n;
    }
    static QByteArray page(const QByteArray &title, const QByteArray &body = QByteArray())
    {
        return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        home = std::make_unique<TempHome>();
        server = std::make_unique<LoopbackServer>();
        QVERIFY(server->isListening());
        server->setPage("/pop1", page("Popup One"));
        server->setPage("/pop2", page("Popup Two"));
        server->setPage("/plain", page("Plain"));
        frame = std::make_unique<mdiform1>();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("outsideWindow"))
                delete w;
        frame.reset();
        server.reset();
        home.reset();
    }

    void scriptAndLinkEachOpenAPopupWithItsTab()
    {
        server->setPage("/opener",
                        page("Opener", "<a id=l target=_blank href='/pop2' style='position:fixed;left:0;top:0;"
                                       "right:0;bottom:0'>link</a><script>window.open('/pop1');</script>"));
        form1 *opener = openBrowser(QStringLiteral("/opener"));
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), 1, 20000);
        webPopup *first = popups().first();
        QCOMPARE(first->Tag, QStringLiteral("2"));
        QCOMPARE(frame->windows->Tabctr, qint16(2));
        QCOMPARE(frame->tb->count(), 3);
        QCOMPARE(frame->popStat->text(), QStringLiteral("New Window Loaded..."));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(2), QStringLiteral("Popup One"), 20000);
        QCOMPARE(first->windowTitle(), QStringLiteral("Popup One"));
        QCOMPARE(first->Web1->LocationURL(), server->url(QStringLiteral("/pop1")));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(1), QStringLiteral("Opener"), 20000);

        // A real click on the target=_blank link that covers the opener's page.
        frame->setPopStat(QStringLiteral("PopUps"));
        QWidget *surface = qobject_cast<WebEngineBrowser *>(opener->Web1)->view()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), 2, 20000);
        QCOMPARE(frame->windows->Tabctr, qint16(3));
        QCOMPARE(frame->tb->count(), 4);
        QCOMPARE(frame->popStat->text(), QStringLiteral("New Window Loaded..."));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(3), QStringLiteral("Popup Two"), 20000);
    }

    void switchedOffOpensNothing()
    {
        frame->action(QStringLiteral("EnDiBoxes"))->setChecked(false);
        // The page's next document shows the request has been dealt with.
        server->setPage("/opener", page("Opener", "<script>window.open('/pop1');"
                                                  "setTimeout(function () { location = '/plain'; }, 0);</script>"));
        openBrowser(QStringLiteral("/opener"));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(1), QStringLiteral("Plain"), 20000);
        QCOMPARE(popups().size(), 0);
        QCOMPARE(frame->windows->Tabctr, qint16(1));
        QCOMPARE(frame->tb->count(), 2);
        QCOMPARE(server->count("/pop1"), 0);
    }

    void internallyLeavesItToATopLevelWindow()
    {
        frame->action(QStringLiteral("Internally"))->setChecked(true);
        server->setPage("/opener", page("Opener", "<script>window.open('/pop1');</script>"));
        openBrowser(QStringLiteral("/opener"));
        QWidget *outside = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((outside = [] {
                                     for (QWidget *w : QApplication::topLevelWidgets())
                                         if (w->objectName() == QLatin1String("outsideWindow") && w->isVisible())
                                             return w;
                                     return static_cast<QWidget *>(nullptr);
                                 }()),
                                 20000);
        QTRY_COMPARE_WITH_TIMEOUT(outside->windowTitle(), QStringLiteral("Popup One"), 20000);
        QVERIFY(!frame->isAncestorOf(outside));
        QCOMPARE(popups().size(), 0);
        QCOMPARE(frame->windows->Tabctr, qint16(1));
        QCOMPARE(frame->tb->count(), 2);

        // Its page may close it, as a popup in the frame may.
        QPointer<QWidget> closing(outside);
        qobject_cast<WebEngineBrowser *>(outside)->page()->runJavaScript(QStringLiteral("window.close()"));
        QTRY_VERIFY_WITH_TIMEOUT(!closing, 20000);
    }

    // A top-level window made for a popup is held to the same switch, flood bound and
    // ban list as the frame's own windows.
    void topLevelWindowsObeyTheSamePolicy()
    {
        frame->action(QStringLiteral("Internally"))->setChecked(true);
        server->setPage("/storm", page("Storm", "<script>for (var i = 0; i < 50; ++i) window.open('/pop1?' + i);"
                                                 "document.title = 'Storm done';</script>"));
        server->setPage("/opener", page("Opener", "<script>window.open('/storm');</script>"));
        openBrowser(QStringLiteral("/opener"));
        QTRY_VERIFY_WITH_TIMEOUT(!outsideWindows().isEmpty(), 20000);
        QWidget *storm = outsideWindows().first();
        // The loop's window.open calls are answered before the title line runs.
        QTRY_COMPARE_WITH_TIMEOUT(storm->windowTitle(), QStringLiteral("Storm done"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(outsideWindows().size(), 1 + PopupFlood::PerPage, 20000);
        QVERIFY(fetched("/pop1") <= PopupFlood::PerPage);
        QCOMPARE(popups().size(), 0);

        // Allow off: the top-level window's page opens nothing more.
        frame->action(QStringLiteral("EnDiBoxes"))->setChecked(false);
        server->setPage("/once", page("Once", "<script>window.open('/pop2');document.title = 'Once done';</script>"));
        qobject_cast<WebEngineBrowser *>(storm)->Navigate(server->url(QStringLiteral("/once")));
        QTRY_COMPARE_WITH_TIMEOUT(storm->windowTitle(), QStringLiteral("Once done"), 20000);
        QCOMPARE(outsideWindows().size(), 1 + PopupFlood::PerPage);
        QCOMPARE(server->count("/pop2"), 0);

        // A banned address does not stay open there either.
        frame->action(QStringLiteral("EnDiBoxes"))->setChecked(true);
        QVERIFY(WriteBanList({server->url(QStringLiteral("/pop2"))}));
        qobject_cast<WebEngineBrowser *>(storm)->Navigate(server->url(QStringLiteral("/plain")));
        QTRY_COMPARE_WITH_TIMEOUT(storm->windowTitle(), QStringLiteral("Plain"), 20000);
        server->setPage("/again", page("Again", "<script>window.open('/pop2');</script>"));
        qobject_cast<WebEngineBrowser *>(storm)->Navigate(server->url(QStringLiteral("/again")));
        QTRY_COMPARE_WITH_TIMEOUT(server->count("/pop2"), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(frame->popStat->text(), QStringLiteral("Page Blocked! Click here to edit."), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(outsideWindows().size(), 1 + PopupFlood::PerPage, 20000);
    }

    void bannedPopupGoesAndTheWindowsAfterItKeepTheirTabs()
    {
        server->setPage("/opener", page("Opener", "<script>window.open('/pop1');</script>"));
        openBrowser(QStringLiteral("/opener"));
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), 1, 20000);
        QPointer<webPopup> popup = popups().first();
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(2), QStringLiteral("Popup One"), 20000);
        // Two windows after it; the last one is where the user is.
        QPointer<form1> third = openBrowser(QStringLiteral("/plain"));
        server->setPage("/fourth", page("Fourth"));
        QPointer<form1> fourth = openBrowser(QStringLiteral("/fourth"));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(4), QStringLiteral("Fourth"), 20000);
        QCOMPARE(frame->windows->activeChild(), fourth.data());

        // Banned now: the popup's next completed document closes it, in the background.
        QVERIFY(WriteBanList({server->url(QStringLiteral("/POP1")).toUpper()}));
        popup->Web1->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(!popup, 20000);
        QCOMPARE(frame->popStat->text(), QStringLiteral("Page Blocked! Click here to edit."));
        QCOMPARE(frame->windows->Tabctr, qint16(3));
        QCOMPARE(frame->tb->count(), 4);
        QVERIFY(third);
        QVERIFY(fourth);
        QCOMPARE(frame->windows->activeChild(), fourth.data());
        QCOMPARE(third->Tag, QStringLiteral("2"));
        QCOMPARE(fourth->Tag, QStringLiteral("3"));
        QCOMPARE(frame->tb->caption(2), QStringLiteral("Plain"));
        QCOMPARE(frame->tb->caption(3), QStringLiteral("Fourth"));
        // Still bound: the next page of window 3 titles tab 3.
        server->setPage("/again", page("Fourth Again"));
        fourth->Web1->Navigate(server->url(QStringLiteral("/again")));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(3), QStringLiteral("Fourth Again"), 20000);
    }

    void openLoopIsBounded()
    {
        server->setPage("/loop", page("Loop", "<a target=_blank href='/pop2' style='position:fixed;left:0;top:0;"
                                              "right:0;bottom:0'>link</a>"
                                              "<script>for (var i = 0; i < 300; ++i) window.open('/pop1?' + i);"
                                              "document.title = 'done';</script>"));
        form1 *opener = openBrowser(QStringLiteral("/loop"));
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(1), QStringLiteral("done"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), PopupFlood::PerPage, 20000);
        QCOMPARE(int(frame->windows->Tabctr), 1 + PopupFlood::PerPage);
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(1 + PopupFlood::PerPage), QStringLiteral("Popup One"), 20000);
        // The popups it got load at once, and the user's own click still opens a window.
        QWidget *surface = qobject_cast<WebEngineBrowser *>(opener->Web1)->view()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), PopupFlood::PerPage + 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(frame->tb->caption(2 + PopupFlood::PerPage), QStringLiteral("Popup Two"), 20000);
        // The opener's next page may open a window of its own again.
        server->setPage("/once", page("Once", "<script>window.open('/pop1');</script>"));
        opener->Web1->Navigate(server->url(QStringLiteral("/once")));
        QTRY_COMPARE_WITH_TIMEOUT(popups().size(), PopupFlood::PerPage + 2, 20000);
        int fetched = 0;
        for (const LoopbackServer::Request &r : server->requests())
            fetched += r.path.startsWith("/pop1") ? 1 : 0;
        QVERIFY(fetched <= PopupFlood::PerPage);
    }

    // A page that opens itself again in a popup a moment after it loads: every popup is a
    // new opener, yet the chain stops at the family's few windows until the user presses
    // in one of them.
    void popupChainStopsUntilTheUserPressesInIt()
    {
        server->setPage("/chain", page("Chain", "<script>setTimeout(function () { window.open('/chain');"
                                                "document.title = 'asked'; }, 200);</script>"));
        form1 *opener = openBrowser(QStringLiteral("/chain"));
        auto allAsked = [&] {
            bool asked = opener->Web1->LocationName() == QLatin1String("asked");
            for (webPopup *p : popups())
                asked = asked && p->Web1->LocationName() == QLatin1String("asked");
            return asked;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allAsked(), 60000);
        QCOMPARE(popups().size(), PopupFlood::PerFamily);

        webPopup *last = popups().last();
        QWidget *surface = qobject_cast<WebEngineBrowser *>(last->Web1)->view()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        last->Web1->Refresh();
        // More than the one window a press vouches for, and then it stops again.
        QTRY_VERIFY_WITH_TIMEOUT(popups().size() > PopupFlood::PerFamily + 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(allAsked(), 60000);
        QVERIFY(popups().size() <= 2 * PopupFlood::PerFamily + 1);
    }
};

QUILLON_TEST_MAIN(TestPopups)
#include "tst_popups.moc"
