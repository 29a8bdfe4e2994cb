#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "testenv.h"
#include "tools/autorefresh.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QtTest>

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

    void cleanupTestCase()
    {
        Dialogs::setAskHook(nullptr);
        Dialogs::setInputHook(nullptr);
    }
};

QUILLON_TEST_MAIN(TestAutoRefreshReload)
#include "tst_autorefreshreload.moc"
