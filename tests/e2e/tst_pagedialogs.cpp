#include "app/mdiform1.h"
#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "framefixture.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/logindialog.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWebEngineView>
#include <QtTest>

namespace {

QByteArray page(const QByteArray &title, const QByteArray &body = QByteArray())
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// Every message box up, modal or not.
QList<QMessageBox *> boxesUp()
{
    QList<QMessageBox *> up;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            up << box;
    return up;
}

}

// The boxes pages put up (alert, confirm, prompt, leaving the page), with the real engine.
class TestPageDialogs : public QObject
{
    Q_OBJECT

    LoopbackServer server;

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { Dialogs::setLoginHook({}); }

    // An alert needs no answer: neither its own page nor another window waits for it.
    void alertHoldsUpNoPage()
    {
        server.setPage("/alert", page("Alert", "<script>alert('one'); alert('two <b>x</b>');"
                                               "document.title = 'Went on';</script>"));
        server.setPage("/other", page("Other"));
        WebEngineBrowser alerting, other;
        alerting.show();
        other.show();
        QSignalSpy otherDone(&other, &BrowserControl::DocumentComplete);

        // Driven from a timer: a box running a loop of its own would hold this function's stack.
        QPointer<QMessageBox> box;
        QElapsedTimer sinceBox;
        int boxCount = 0;
        QString text;
        bool otherLoadedMeanwhile = false, plain = false, finished = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!box) {
                if (boxesUp().isEmpty())
                    return;
                box = boxesUp().first();
                sinceBox.start();
                other.Navigate(server.url(QStringLiteral("/other")));
                return;
            }
            const bool bothOn = otherDone.count() > 0 && alerting.LocationName() == QLatin1String("Went on");
            if (!bothOn && !sinceBox.hasExpired(10000))
                return;
            otherLoadedMeanwhile = bothOn && box->isVisible();
            boxCount = int(boxesUp().size());
            text = box->text();
            plain = box->textFormat() == Qt::PlainText;
            box->done(QMessageBox::Ok);
            watch.stop();
            finished = true;
        });
        watch.start(20);
        alerting.Navigate(server.url(QStringLiteral("/alert")));
        QTRY_VERIFY_WITH_TIMEOUT(finished, 60000);
        QVERIFY(otherLoadedMeanwhile);
        QCOMPARE(boxCount, 1);
        QCOMPARE(text, QStringLiteral("two <b>x</b>"));
        QVERIFY(plain);
    }

    // A page asking again and again is held back for a moment, never for good, and says
    // so; leaving a page is always asked, however many boxes it has shown.
    void boxesComeBackAfterAPause()
    {
        server.setPage("/items", page("Items", "<a id=next href=/other>next</a><script>var deleted = 0;"
                                               "function del() { if (confirm('Delete item?')) ++deleted; return deleted; }"
                                               "addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = ''; });"
                                               "</script>"));
        server.setPage("/other", page("Other"));
        WebEngineBrowser web;
        web.resize(600, 400);
        web.show();
        QStringList asked;
        QTimer agree; // clicks OK on every box, as a person saying yes would
        connect(&agree, &QTimer::timeout, this, [&asked] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->button(QMessageBox::Ok)) {
                asked << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        agree.start(20);
        QVERIFY(PageWait::load(&web, server.url(QStringLiteral("/items"))));
        const QString del = QStringLiteral("del()");
        constexpr int burst = WebEngineBrowser::DialogsPerBurst;
        for (int i = 1; i <= burst; ++i)
            QCOMPARE(PageWait::eval(&web, del).toInt(), i);
        QSignalSpy status(&web, &BrowserControl::StatusTextChange);
        QCOMPARE(PageWait::eval(&web, del).toInt(), burst);
        QVERIFY(!status.isEmpty());

        QTimer pause;
        pause.setSingleShot(true);
        QSignalSpy paused(&pause, &QTimer::timeout);
        pause.start(WebEngineBrowser::DialogPauseMs + 500);
        QVERIFY(paused.wait(30000));
        for (int i = 1; i <= burst; ++i)
            QCOMPARE(PageWait::eval(&web, del).toInt(), burst + i);
        QCOMPARE(asked, QStringList(2 * burst, QStringLiteral("Delete item?")));

        // The engine asks before leaving only a page the person has used.
        QWidget *surface = web.view()->focusProxy();
        QTRY_VERIFY_WITH_TIMEOUT((QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(300, 300)),
                                  PageWait::eval(&web, QStringLiteral("navigator.userActivation.hasBeenActive")).toBool()),
                                 20000);
        PageWait::eval(&web, QStringLiteral("document.getElementById('next').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(web.LocationName(), QStringLiteral("Other"), 20000);
        QCOMPARE(asked.size(), 2 * burst + 1);
    }

    // At start-up the frame is in the tray: a page asking a question there is answered
    // Cancel at once, so nothing waits on a box nobody sees. The person hears of it when
    // the window is brought into sight, and a page in sight asks with its box.
    void questionsOutOfSightAreCancelled()
    {
        TempHome home;
        mdiform1 *frame = FrameFixture::newEngineFrame(false);
        server.setPage("/asks", page("Asks", "<script>function ask() {"
                                             "document.title = confirm('Go on?') + ' ' + prompt('Name?', 'x'); }"
                                             "ask();</script>"));
        server.setPage("/other", page("Other"));
        int boxes = 0;
        QTimer closer; // cancels any box, as a person would, so that a box never stalls the test
        connect(&closer, &QTimer::timeout, this, [&boxes] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++boxes;
                box->reject();
            }
        });
        closer.start(20);
        ChildWindow *asking = frame->windows->newBrowserWindow();
        frame->windows->OpenSiteWindow(asking, server.url(QStringLiteral("/asks")));
        ChildWindow *other = frame->windows->newBrowserWindow();
        frame->windows->OpenSiteWindow(other, server.url(QStringLiteral("/other")));
        QTRY_COMPARE_WITH_TIMEOUT(asking->Web1->LocationName(), QStringLiteral("false null"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(other->Web1->LocationName(), QStringLiteral("Other"), 30000);
        QCOMPARE(boxes, 0);

        QSignalSpy told(asking->Web1, &BrowserControl::StatusTextChange);
        frame->show(); // out of the tray, with the other window in front
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(told.isEmpty());
        frame->windows->area()->setActiveSubWindow(asking);
        QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 10000);
        QVERIFY2(told.last().first().toString().contains(QLatin1String("Cancel")), qPrintable(told.last().first().toString()));
        PageWait::eval(asking->Web1, QStringLiteral("document.title = ''; setTimeout(ask, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(asking->Web1->LocationName(), QStringLiteral("false null"), 30000);
        QCOMPARE(boxes, 2);
        FrameFixture::deleteFrame(frame);
    }

    // A login asked for out of sight is cancelled at once, the site's refusal showing; it
    // is asked for once when the window comes into sight, and only that once.
    void loginOutOfSightIsAskedInSight()
    {
        server.setHandler("/staff", [](const LoopbackServer::Request &r) {
            LoopbackServer::Response res;
            if (r.headers.value("authorization") == "Basic " + QByteArray("ann:pw").toBase64()) {
                res.body = page("Staff page");
            } else {
                res.status = 401;
                res.headers.append(std::make_pair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Staff\"")));
                res.body = page("Not for you");
            }
            return res;
        });
        int asked = 0;
        Dialogs::setLoginHook([&asked](const Dialogs::Login &, QString *user, QString *password) {
            ++asked;
            *user = QStringLiteral("ann");
            *password = QStringLiteral("pw");
            return true;
        });
        TempHome home;
        mdiform1 *frame = FrameFixture::newEngineFrame(false);
        ChildWindow *w = frame->windows->newBrowserWindow();
        frame->windows->OpenSiteWindow(w, server.url(QStringLiteral("/staff")));
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Not for you"), 30000);
        QCOMPARE(asked, 0);
        frame->show();
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Staff page"), 30000);
        QCOMPARE(asked, 1);
        // Back to the tray and out again: the page is not fetched again.
        const int fetched = server.count("/staff");
        frame->hide();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(PageWait::eval(w->Web1, QStringLiteral("document.title")).toString(), QStringLiteral("Staff page"));
        QCOMPARE(server.count("/staff"), fetched);
        FrameFixture::deleteFrame(frame);
    }

    // A page's question and default answer are its own words: shown and sent back as they
    // are, under the site's name alone (never the address with its query and login).
    void questionsKeepThePagesWords()
    {
        server.setPage("/ask", page("Ask", "<script>function ask() {"
                                           "var name = prompt('Name & age <b>', 'a&b');"
                                           "var sure = confirm('Sure & <i>certain</i>?');"
                                           "document.title = name + ' ' + sure; }</script>"));
        WebEngineBrowser web;
        web.show();
        QUrl address(server.url(QStringLiteral("/ask?q=1")));
        address.setUserInfo(QStringLiteral("ann:s3cret"));
        QVERIFY(PageWait::load(&web, address.toString()));
        QStringList seen;
        QTimer answer; // says OK to each box, as a person would, leaving the line as filled
        connect(&answer, &QTimer::timeout, this, [&seen] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            QStringList said{box->windowTitle()};
            for (QLabel *label : box->findChildren<QLabel *>())
                if (label->textFormat() == Qt::PlainText && !label->text().isEmpty())
                    said << label->text();
            if (auto *line = box->findChild<QLineEdit *>())
                said << line->text();
            seen << said.join(QLatin1Char('|'));
            box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        answer.start(20);
        PageWait::eval(&web, QStringLiteral("setTimeout(ask, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(web.LocationName(), QStringLiteral("a&b true"), 30000);
        const QString title = QStringLiteral("%1 says|").arg(server.host());
        QCOMPARE(seen, QStringList({title + QStringLiteral("Name & age <b>|a&b"),
                                    title + QStringLiteral("Sure & <i>certain</i>?")}));
    }

    // The programme offers no notifications or location: a page asking for
    // them is told no at once instead of waiting for good.
    void featureRequestsAreRefused()
    {
        server.setPage("/ask", page("Ask"));
        WebEngineBrowser web;
        web.show();
        QVERIFY(PageWait::load(&web, server.url(QStringLiteral("/ask"))));
        PageWait::eval(&web, QStringLiteral(
            "var said = [];"
            "function done(what) { said.push(String(what)); if (said.length == 2) document.title = said.sort().join(' '); }"
            "Notification.requestPermission().then(done);"
            "navigator.geolocation.getCurrentPosition(function () { done('located'); }, function (e) { done('geo' + e.code); });"));
        QTRY_COMPARE_WITH_TIMEOUT(web.LocationName(), QStringLiteral("denied geo1"), 30000);
    }
};

QUILLON_TEST_MAIN(TestPageDialogs)
#include "tst_pagedialogs.moc"
