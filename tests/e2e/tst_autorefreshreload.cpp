#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"
#include "tools/autorefresh.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <csignal>

#include <sys/types.h>

class TestAutoRefreshReload : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    QMdiArea area;
    ChildWindow *a = nullptr;
    ChildWindow *b = nullptr;

    void refresh(ChildWindow *w, bool yes, const QString &answer)
    {
        Dialogs::setAskHook([yes](const Dialogs::Question &) { return yes; });
        Dialogs::setInputHook([answer](const QString &, const QString &) { return answer; });
        AutoRefresh::RefreshIT(w);
    }

    // True when no request for path arrives within ms.
    bool quietFor(const QByteArray &path, int ms)
    {
        const int before = server.count(path);
        QSignalSpy seen(&server, &LoopbackServer::requestSeen);
        seen.wait(ms);
        return server.count(path) == before;
    }

    int posts(const QByteArray &path) const
    {
        int n = 0;
        for (const LoopbackServer::Request &r : server.requests())
            n += r.method == "POST" && r.path == path ? 1 : 0;
        return n;
    }

    // Sends the page's form number `form` as a person would, and waits for its answer.
    bool submit(BrowserControl *web, int form)
    {
        if (!PageWait::load(web, server.url(QStringLiteral("/form"))))
            return false;
        // A tick's reload may have been under way: wait for the form page itself.
        const bool ready = QTest::qWaitFor([web] {
            return !web->isLoading() && PageWait::eval(web, QStringLiteral("document.forms.length")).toInt() == 2;
        }, 30000);
        if (!ready)
            return false;
        QSignalSpy done(web, &BrowserControl::DocumentComplete);
        PageWait::eval(web, QStringLiteral("document.forms[%1].submit()").arg(form));
        return done.wait(30000);
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void initTestCase()
    {
        server.setPage("/a", "<html><head><title>A</title></head><body>a</body></html>");
        server.setPage("/b", "<html><head><title>B</title></head><body>b</body></html>");
        area.resize(800, 600);
        area.show();
        a = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        b = new ChildWindow(ChildWindow::Kind::Popup, QStringLiteral("webPopup"));
        area.addSubWindow(a)->show();
        area.addSubWindow(b)->show();
        QVERIFY(PageWait::load(a->Web1, server.url(QStringLiteral("/a"))));
        QVERIFY(PageWait::load(b->Web1, server.url(QStringLiteral("/b"))));
    }

    void oneSecondReloadsAboutOnceASecond()
    {
        const int bBefore = server.count("/b");
        const int start = server.count("/a");
        QElapsedTimer clock;
        clock.start();
        refresh(a, true, QStringLiteral("1"));
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/a") >= start + 4, 15000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed > 3500 && elapsed < 6500, qPrintable(QString::number(elapsed)));
        QCOMPARE(server.count("/b"), bBefore); // the other window keeps still
    }

    void noStopsItAtOnce()
    {
        QVERIFY(a->AutoRefreshMe->isActive());
        refresh(a, false, QString());
        QVERIFY(quietFor("/a", 2500));
    }

    void unusableAnswersGiveNoReloads()
    {
        for (const QString &answer : {QStringLiteral("66"), QStringLiteral("often")}) {
            refresh(b, true, answer);
            QVERIFY(AutoRefresh::isOn(b));
            QVERIFY2(quietFor("/b", 2000), qPrintable(answer));
        }
    }

    void aFormIsNeverSentAgainUnasked()
    {
        // An order answered in place, and a comment answered with a redirect to a plain page.
        server.setPage("/form", "<html><body><form method=post action=/order><input name=item value=tea></form>"
                                "<form method=post action=/comment><input name=text value=hi></form></body></html>");
        server.setHandler("/order", [](const LoopbackServer::Request &r) {
            LoopbackServer::Response answer;
            answer.body = "<html><head><title>Order</title></head><body>" + r.method + "</body></html>";
            return answer;
        });
        server.setHandler("/comment", [](const LoopbackServer::Request &) {
            LoopbackServer::Response answer;
            answer.status = 303;
            answer.headers.append(std::pair<QByteArray, QByteArray>("Location", "/thanks"));
            return answer;
        });
        server.setPage("/thanks", "<html><head><title>Thanks</title></head><body>thanks</body></html>");

        QVERIFY(submit(a->Web1, 0));
        QCOMPARE(posts("/order"), 1);
        refresh(a, true, QStringLiteral("0.3"));
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/order") >= 4, 15000); // the ticks fetch the order page...
        refresh(a, false, QString());
        QCOMPARE(posts("/order"), 1); // ...and never send the order again

        QList<Dialogs::Question> asked;
        bool again = false;
        Dialogs::setAskHook([&](const Dialogs::Question &q) {
            asked << q;
            return again;
        });
        QVERIFY(submit(a->Web1, 0));
        QCOMPARE(posts("/order"), 2);
        a->Web1->Refresh();
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].text.contains(QStringLiteral("Send the form again?")));
        QVERIFY(quietFor("/order", 2000));
        again = true;
        QSignalSpy resent(a->Web1, &BrowserControl::DocumentComplete);
        a->Web1->Refresh();
        QCOMPARE(asked.size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(posts("/order"), 3, 15000);
        QVERIFY(!resent.isEmpty() || resent.wait(30000));
        // Reload from the page's own menu asks as well.
        again = false;
        QWebEnginePage *page = qobject_cast<WebEngineBrowser *>(a->Web1)->view()->page();
        page->action(QWebEnginePage::Reload)->trigger();
        QCOMPARE(asked.size(), 3);
        QVERIFY(quietFor("/order", 2000));

        // The page a redirect led to is a plain page: refreshed at once, the comment not sent.
        QVERIFY(submit(a->Web1, 1));
        QCOMPARE(a->Web1->LocationURL(), server.url(QStringLiteral("/thanks")));
        const int thanks = server.count("/thanks");
        QSignalSpy done(a->Web1, &BrowserControl::DocumentComplete);
        a->Web1->Refresh();
        QVERIFY(done.wait(30000));
        QCOMPARE(asked.size(), 3);
        QCOMPARE(server.count("/thanks"), thanks + 1);
        QCOMPARE(posts("/comment"), 1);

        // The same in a window the page opened, hosted in one of the programme's windows or
        // left to stand outside them.
        QPointer<ChildWindow> hosting;
        const auto host = [&](BrowserControl *) {
            hosting = new ChildWindow(ChildWindow::Kind::Popup, QStringLiteral("webPopup"));
            area.addSubWindow(hosting)->show();
            return BrowserControl::NewWindowAnswer::hostIn(hosting->Web1);
        };
        const auto outside = [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("outsideWindow"))
                    return qobject_cast<BrowserControl *>(w);
            return static_cast<BrowserControl *>(nullptr);
        };
        for (const bool hosted : {true, false}) {
            a->Web1->setNewWindowHandler(hosted ? BrowserControl::NewWindowHandler(host) : BrowserControl::NewWindowHandler());
            PageWait::eval(a->Web1, QStringLiteral("window.open('/b'); true"));
            BrowserControl *popup = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((popup = hosted ? (hosting ? hosting->Web1 : nullptr) : outside())
                                         && popup->LocationName() == QLatin1String("B"),
                                     30000);
            const int sent = posts("/order");
            QVERIFY(submit(popup, 0));
            QCOMPARE(posts("/order"), sent + 1);
            const int questions = asked.size();
            popup->Refresh();
            QCOMPARE(asked.size(), questions + 1);
            QVERIFY(quietFor("/order", 2000));
            delete (hosted ? static_cast<QWidget *>(hosting.data()) : popup);
        }
        a->Web1->setNewWindowHandler({});
    }

    // A draft typed into a page that asks before it is left: the ticks leave it alone
    // without a word, the person's own Refresh still asks.
    void aTimedReloadKeepsADraftUnasked()
    {
        server.setPage("/draft", "<html><body><textarea id=d style='width:100%;height:300px'></textarea><script>"
                                 "addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = ''; });"
                                 "</script></body></html>");
        QVERIFY(PageWait::load(b->Web1, server.url(QStringLiteral("/draft"))));
        b->resize(600, 400);
        area.activateWindow();
        area.setActiveSubWindow(b);
        QTRY_VERIFY(area.isActiveWindow());
        const QString field = QStringLiteral("document.activeElement.id");
        QWidget *surface = qobject_cast<WebEngineBrowser *>(b->Web1)->view()->focusProxy();
        QTRY_VERIFY_WITH_TIMEOUT((QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(50, 50)),
                                  PageWait::eval(b->Web1, field).toString() == QLatin1String("d")),
                                 20000);
        b->Web1->typeText(QStringLiteral("draft"));
        const QString draft = QStringLiteral("document.getElementById('d').value");
        QTRY_COMPARE(PageWait::eval(b->Web1, draft).toString(), QStringLiteral("draft"));

        int asked = 0;
        QTimer stay; // answers Cancel, as a person keeping the draft would
        connect(&stay, &QTimer::timeout, this, [&asked] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++asked;
                box->reject();
            }
        });
        stay.start(20);
        refresh(b, true, QStringLiteral("0.3"));
        QVERIFY(quietFor("/draft", 2500));
        QCOMPARE(asked, 0);
        refresh(b, false, QString());
        QCOMPARE(PageWait::eval(b->Web1, draft).toString(), QStringLiteral("draft"));

        b->Web1->Refresh();
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, 10000);
        QCOMPARE(PageWait::eval(b->Web1, draft).toString(), QStringLiteral("draft"));
    }

    // Text typed into a plain form (no question before leaving): the ticks wait while the
    // fields hold it, and go on once the person has cleared them.
    void aTimedReloadKeepsTextTypedIntoAForm()
    {
        // In the other window: the draft page before would ask before it is left.
        server.setPage("/plain", "<html><body><input id=d style='width:100%;height:200px'></body></html>");
        QVERIFY(PageWait::load(a->Web1, server.url(QStringLiteral("/plain"))));
        a->resize(600, 400);
        area.activateWindow();
        area.setActiveSubWindow(a);
        QTRY_VERIFY(area.isActiveWindow());
        QWidget *surface = qobject_cast<WebEngineBrowser *>(a->Web1)->view()->focusProxy();
        QTRY_VERIFY_WITH_TIMEOUT((QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(50, 50)),
                                  PageWait::eval(a->Web1, QStringLiteral("document.activeElement.id")).toString()
                                      == QLatin1String("d")),
                                 20000);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("half a sentence"));
        const QString typed = QStringLiteral("document.getElementById('d').value");
        QTRY_COMPARE(PageWait::eval(a->Web1, typed).toString(), QStringLiteral("half a sentence"));

        refresh(a, true, QStringLiteral("0.3"));
        QVERIFY(quietFor("/plain", 2500));
        QCOMPARE(PageWait::eval(a->Web1, typed).toString(), QStringLiteral("half a sentence"));
        PageWait::eval(a->Web1, QStringLiteral("document.getElementById('d').value = ''"));
        QVERIFY(!quietFor("/plain", 5000));
        refresh(a, false, QString());
    }

    // A page whose renderer was ended holds nothing typed any more: the ticks bring it back,
    // also when the person had pressed in it before.
    void aPageWhoseRendererDiedComesBack()
    {
        server.setPage("/lost", "<html><head><title>Lost</title></head><body style='height:400px'>lost</body></html>");
        QVERIFY(PageWait::load(a->Web1, server.url(QStringLiteral("/lost"))));
        area.activateWindow();
        area.setActiveSubWindow(a);
        auto *web = qobject_cast<WebEngineBrowser *>(a->Web1);
        QTest::mouseClick(web->view()->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        QTRY_VERIFY_WITH_TIMEOUT(web->rendererProcessId() > 0, 10000);
        QCOMPARE(::kill(pid_t(web->rendererProcessId()), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(web->rendererGone(), 20000);
        const int before = server.count("/lost");
        refresh(a, true, QStringLiteral("0.3"));
        QTRY_VERIFY_WITH_TIMEOUT(server.count("/lost") > before, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!web->rendererGone() && web->LocationName() == QLatin1String("Lost"), 20000);
        refresh(a, false, QString());
    }

    void cleanupTestCase()
    {
        Dialogs::setAskHook(nullptr);
        Dialogs::setInputHook(nullptr);
    }
};

QUILLON_TEST_MAIN(TestAutoRefreshReload)
#include "tst_autorefreshreload.moc"
