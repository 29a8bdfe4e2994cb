#include "app/mdiform1.h"
#include "core/processstate.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "desktop/trayicon.h"
#include "fakebrowser.h"
#include "platform/tabstrip.h"
#include "popups/banlist.h"
#include "popups/frmban.h"
#include "popups/popupflood.h"
#include "popups/popuppolicy.h"
#include "popups/webpopup.h"
#include "sites/additionalsitespanel.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

// The popup policy and window inside the real frame, with scripted pages.
class TestPopupPolicy : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> home;
    std::unique_ptr<mdiform1> frame;

    form1 *openBrowser(const QString &address)
    {
        form1 *w = frame->windows->newBrowserWindow();
        frame->windows->OpenSiteWindow(w, address);
        return w;
    }
    static FakeBrowser *web(ChildWindow *w) { return static_cast<FakeBrowser *>(w->Web1); }
    // A page in `from` asks for a window; returns the popup placed for it, if any.
    webPopup *request(ChildWindow *from, bool *cancelled = nullptr)
    {
        QWidget *w = web(from)->requestNewWindow(cancelled);
        while (w && !qobject_cast<webPopup *>(w))
            w = w->parentWidget();
        return qobject_cast<webPopup *>(w);
    }
    QList<webPopup *> popups() const { return frame->findChildren<webPopup *>(); }

private Q_SLOTS:
    void initTestCase() { FakeBrowser::install(); }
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        home = std::make_unique<TempHome>();
        frame = std::make_unique<mdiform1>();
        frame->show();
    }
    void cleanup()
    {
        TrayIcon::setAvailableOverride(-1);
        frame.reset();
        home.reset();
    }

    void grantedRequestOpensANumberedPopup()
    {
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        bool cancelled = true;
        webPopup *popup = request(opener, &cancelled);
        QVERIFY(popup);
        QVERIFY(!cancelled);
        QCOMPARE(popup->objectName(), QStringLiteral("webPopup"));
        QCOMPARE(popup->windowTitle(), QStringLiteral("New Window (PopUp)"));
        QCOMPARE(popup->Tag, QStringLiteral("2"));
        QCOMPARE(frame->windows->Tabctr, qint16(2));
        QCOMPARE(frame->tb->count(), 3);
        QCOMPARE(frame->tb->caption(2), QStringLiteral("2"));
        QCOMPARE(frame->popStat->text(), QStringLiteral("New Window Loaded..."));
        QCOMPARE(frame->windows->activeChild(), popup);

        const QString title = QStringLiteral("A popup whose title runs well past thirty characters");
        web(popup)->Navigate(QStringLiteral("http://pop.test/"));
        web(popup)->complete(title);
        QCOMPARE(popup->windowTitle(), title);
        QCOMPARE(frame->tb->caption(2), title.left(30));
        QCOMPARE(frame->tb->toolTip(2), title);
        QCOMPARE(frame->addressText(), QStringLiteral("http://pop.test/"));

        // An ordinary close leaves a spare tab; the count stays.
        popup->close();
        QCOMPARE(frame->tb->caption(2), QString());
        QCOMPARE(frame->tb->toolTip(2), QStringLiteral("Spare Tab - Click to use..."));
        QCOMPARE(frame->windows->Tabctr, qint16(2));
    }

    void switchesDecide()
    {
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        webPopup *first = request(opener);
        QVERIFY(first);
        frame->action(QStringLiteral("EnDiBoxes"))->trigger(); // off
        frame->action(QStringLiteral("Internally"))->trigger(); // on: still refused
        bool cancelled = false;
        QVERIFY(!request(opener, &cancelled));
        QVERIFY(cancelled);
        QCOMPARE(frame->windows->Tabctr, qint16(2));
        QVERIFY(first); // turning popups off closes nothing
        QCOMPARE(popups().size(), 1);
        const QString status = frame->statusText(); // a page's own request is refused without a word
        // A window the person asks for in the page (a link opened in a new window) is refused
        // with a word of why.
        QTest::mouseClick(opener->Web1, Qt::LeftButton);
        QVERIFY(!request(opener, &cancelled));
        QVERIFY(cancelled);
        QVERIFY(status != frame->statusText());
        QVERIFY(frame->statusText().contains(QStringLiteral("Allow Popup windows")));

        frame->action(QStringLiteral("EnDiBoxes"))->trigger(); // on, with Internally on
        QVERIFY(!request(opener, &cancelled));
        QVERIFY(!cancelled); // left to the browser component
        QCOMPARE(frame->windows->Tabctr, qint16(2));
        QCOMPARE(frame->tb->count(), 3);
    }

    void popupOfAPopupTakesTheFocus()
    {
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        webPopup *first = request(opener);
        QVERIFY(first);
        web(opener)->setFocus();
        webPopup *second = request(first);
        QVERIFY(second);
        QCOMPARE(second->Tag, QStringLiteral("3"));
        QTRY_VERIFY(second->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == second);
    }

    void windowOneKeepsItsTab()
    {
        webPopup *popup = nullptr;
        {
            // A popup opened while no window is numbered gets number 1.
            auto *holder = new form1(frame->windows);
            frame->windows->showChild(holder);
            popup = request(holder);
        }
        QVERIFY(popup);
        QCOMPARE(popup->Tag, QStringLiteral("1"));
        web(popup)->complete(QStringLiteral("Kept"));
        popup->close();
        QCOMPARE(frame->tb->caption(1), QStringLiteral("Kept"));
        QCOMPARE(frame->tb->toolTip(1), QStringLiteral("Kept"));
    }

    void bannedBackgroundPopupClosesOnlyItself()
    {
        QVERIFY(WriteBanList({QStringLiteral("http://x.test/"), QStringLiteral("HTTP://Ads.Test/Pop")}));
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        QPointer<webPopup> banned = request(opener);
        QVERIFY(banned);
        QPointer<form1> later = openBrowser(QStringLiteral("http://later.test/"));
        QPointer<webPopup> ordinary = request(opener);
        web(later)->complete(QStringLiteral("Later"));
        frame->windows->showChild(later); // the user is looking at another window
        QCOMPARE(later->Tag, QStringLiteral("3"));
        QCOMPARE(ordinary->Tag, QStringLiteral("4"));

        web(banned)->Navigate(QStringLiteral("http://ads.test/pop"));
        web(banned)->complete(QStringLiteral("Ad"));
        QTRY_VERIFY(!banned);
        QVERIFY(later); // the active window is not the one that completed
        QVERIFY(ordinary);
        QCOMPARE(frame->windows->activeChild(), later.data());
        QCOMPARE(frame->popStat->text(), QStringLiteral("Page Blocked! Click here to edit."));
        QCOMPARE(frame->windows->Tabctr, qint16(3));
        QCOMPARE(frame->tb->count(), 4);
        // The windows after it moved down with their tabs.
        QCOMPARE(later->Tag, QStringLiteral("2"));
        QCOMPARE(frame->tb->caption(2), QStringLiteral("Later"));
        QCOMPARE(ordinary->Tag, QStringLiteral("3"));

        // The verdict a ban left does not keep a later ordinary close from freeing its tab.
        ordinary->close();
        QCOMPARE(frame->tb->toolTip(3), QStringLiteral("Spare Tab - Click to use..."));
        QCOMPARE(frame->tb->caption(2), QStringLiteral("Later"));
    }

    void allowedPopupStaysAndHiddenFrameStaysHidden()
    {
        QVERIFY(WriteBanList({QStringLiteral("http://ads.test/")}));
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        frame->HideToTray();
        QPointer<webPopup> popup = request(opener);
        QVERIFY(popup);
        QCOMPARE(FrameHost::statusText(frame->Status), QStringLiteral("MIN"));
        QVERIFY(!frame->isVisible() || frame->isMinimized());
        web(popup)->Navigate(QStringLiteral("http://ads.test/page"));
        web(popup)->complete(QStringLiteral("Fine"));
        QCOMPARE(CheckBanList(web(popup)->LocationURL()), BanVerdict::NotBanned);
        QVERIFY(popup);
        web(popup)->Navigate(QStringLiteral("http://ADS.test/")); // a hidden frame loading: no close
        web(popup)->complete(QStringLiteral("Banned"));
        QTRY_VERIFY(!popup);
        QVERIFY(!frame->isVisible() || frame->isMinimized());
    }

    void onlyThePageItselfClosesThePopup()
    {
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        QPointer<webPopup> popup = request(opener);
        QVERIFY(popup);
        // The additional-sites panel sets the popup's page aside: a click on the blank
        // window and a load leave the window as it is, and Close gives the page back.
        frame->action(QStringLiteral("ShowAddSites"))->trigger();
        QVERIFY(popup->Web1->isHidden());
        QTest::mouseClick(popup, Qt::LeftButton);
        web(popup)->Navigate(QStringLiteral("http://c.test/"));
        QVERIFY(popup && popup->isVisible());
        emit frame->panel()->closeClicked();
        QVERIFY(!popup->Web1->isHidden());

        Q_EMIT popup->Web1->CloseRequested(); // window.close() in the page
        QTRY_VERIFY(!popup);
        QCOMPARE(frame->tb->toolTip(2), QStringLiteral("Spare Tab - Click to use..."));
    }

    // A popup that closes itself while the frame waits in the tray hands the frame back to
    // the window that opened it, as it does on screen.
    void aPopupClosedInTheTrayGoesBackToItsOpener()
    {
        TrayIcon::setAvailableOverride(1);
        openBrowser(QStringLiteral("http://a.test/"));
        form1 *opener = openBrowser(QStringLiteral("http://b.test/"));
        QPointer<webPopup> popup = request(opener);
        QVERIFY(popup);
        QCOMPARE(frame->windows->activeChild(), popup.data());
        frame->HideToTray();
        QVERIFY(!frame->isVisible());
        Q_EMIT popup->Web1->CloseRequested(); // window.close() in the page
        QTRY_VERIFY(!popup);
        QCOMPARE(frame->windows->activeChild(), opener);
        frame->RestoreFromTray();
        QCOMPARE(frame->windows->activeChild(), opener);
        QCOMPARE(frame->tb->selectedIndex(), 2);
    }

    void unsolicitedPopupsAreBounded()
    {
        form1 *opener = openBrowser(QStringLiteral("http://a.test/"));
        int granted = 0;
        for (int i = 0; i < 50; ++i) {
            bool cancelled = false;
            if (request(opener, &cancelled))
                ++granted;
            else
                QVERIFY(cancelled);
        }
        QCOMPARE(granted, PopupFlood::PerPage);
        // A new page in the opener may open its own few again.
        web(opener)->Navigate(QStringLiteral("http://a.test/next"));
        for (int i = 0; i < PopupFlood::PerPage; ++i)
            QVERIFY(request(opener));
        QVERIFY(!request(opener));
        // A press elsewhere, in another page or the frame, vouches for nothing here.
        form1 *elsewhere = openBrowser(QStringLiteral("http://b.test/"));
        QTest::mouseClick(elsewhere->Web1, Qt::LeftButton);
        QTest::mouseClick(frame->cboAddress, Qt::LeftButton);
        QVERIFY(!request(opener));
        // A press of the user's in the page vouches for one more window, not two.
        QTest::mouseClick(opener->Web1, Qt::LeftButton);
        QVERIFY(request(opener));
        QVERIFY(!request(opener));
        // So does a link or file dropped onto the page, which the engine opens in a window.
        struct TakesDrops : QObject {
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::DragEnter || e->type() == QEvent::Drop)
                    e->accept();
                return e->type() == QEvent::DragEnter || e->type() == QEvent::Drop;
            }
        } view; // what the engine's view does with a drop
        opener->Web1->setAcceptDrops(true);
        opener->Web1->installEventFilter(&view);
        QMimeData dropped;
        dropped.setUrls({QUrl(QStringLiteral("http://c.test/"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(opener->Web1, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(opener->Web1, &drop);
        QVERIFY(request(opener));
        QVERIFY(!request(opener));
        QCOMPARE(popups().size(), 2 * PopupFlood::PerPage + 2);

        // Across all pages, no more than PerWindow in the time window.
        for (int i = 0; i < 20; ++i) {
            form1 *other = openBrowser(QStringLiteral("http://o.test/%1").arg(i));
            for (int k = 0; k < PopupFlood::PerPage; ++k)
                request(other);
        }
        QVERIFY(popups().size() <= PopupFlood::PerWindow + 2);
    }

    void blockAndPopStatOpenTheDialog()
    {
        QVERIFY(WriteBanList({QStringLiteral("http://old.test/")}));
        frame->setAddressText(QStringLiteral("http://shown.test/"));
        QStringList seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *d = qobject_cast<frmBan *>(QApplication::activeModalWidget());
            if (!d)
                return;
            seen << d->txtBan->text();
            d->close();
        });
        poll.start(20);
        frame->action(QStringLiteral("Block"))->trigger();
        QTest::mouseClick(frame->popStat, Qt::LeftButton);
        QCOMPARE(seen, QStringList(2, QStringLiteral("http://shown.test/")));
        QCOMPARE(ReadBanList(), QStringList{QStringLiteral("http://old.test/")});
    }
};

QUILLON_TEST_MAIN(TestPopupPolicy)
#include "tst_popuppolicy.moc"
