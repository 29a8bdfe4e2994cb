#include "app/startup.h"
#include "app/mdiform1.h"
#include "app/stallwatch.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "httpserver.h"
#include "platform/tabstrip.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"
#include "tools/finddialog.h"
#include "tools/printqueue.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QWebEngineView>
#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/types.h>

namespace {

QByteArray page(const QByteArray &title, const QByteArray &body = QByteArray())
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

WebEngineBrowser *engine(ChildWindow *w) { return qobject_cast<WebEngineBrowser *>(w->Web1); }

// Lets the event loop run for ms, without sleeping the thread.
void runFor(int ms)
{
    QTimer done;
    done.setSingleShot(true);
    QSignalSpy spy(&done, &QTimer::timeout);
    done.start(ms);
    QVERIFY(spy.wait(ms + 30000));
}

}

// Pages that crash or flood, in the real frame with the real engine: the frame
// keeps answering and the other windows keep working.
class TestResilience : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<LoopbackServer> m_server;
    std::unique_ptr<mdiform1> m_frame;
    std::unique_ptr<StallWatch> m_stalls;

    form1 *open(const QString &path)
    {
        form1 *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(w, m_server->url(path));
        return w;
    }
    int tabOf(ChildWindow *w)
    {
        int n = -1;
        w->tagNumber(&n);
        return n;
    }
    // Closes every box a page puts up, modal or not, as a person clicking it away would, and counts them.
    void dismissBoxes(QTimer &closer, int &boxes)
    {
        connect(&closer, &QTimer::timeout, this, [&boxes] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                    ++boxes;
                    box->reject();
                }
            }
        });
        closer.start(20);
    }
    // Another window loads a fresh page: the rest of the programme works.
    void checkStillWorking(const QByteArray &tag)
    {
        m_server->setPage("/fresh" + tag, page("Fresh " + tag));
        form1 *w = open(QStringLiteral("/fresh") + QString::fromLatin1(tag));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Fresh ") + QString::fromLatin1(tag), 30000);
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        m_home = std::make_unique<TempHome>();
        m_server = std::make_unique<LoopbackServer>();
        QVERIFY(m_server->isListening());
        m_frame = std::make_unique<mdiform1>();
        m_frame->resize(1200, 800);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        m_stalls = std::make_unique<StallWatch>(50);
    }
    void cleanup()
    {
        // The frame answered a timer within a second all through the test.
        const qint64 worst = m_stalls->worstMs();
        m_stalls.reset();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("outsideWindow"))
                delete w;
        m_frame.reset();
        m_server.reset();
        m_home.reset();
        QVERIFY2(worst < 1000, qPrintable(QStringLiteral("event loop stalled %1 ms").arg(worst)));
    }

    void killedRendererLeavesOtherWindowsWorking()
    {
        const QList<QByteArray> names = {"One", "Two", "Three"};
        QList<form1 *> windows;
        for (const QByteArray &name : names) {
            m_server->setPage("/" + name, page("Page " + name, "<input id=i>"));
            windows << open(QStringLiteral("/") + QString::fromLatin1(name));
        }
        for (int i = 0; i < 3; ++i)
            QTRY_COMPARE_WITH_TIMEOUT(windows[i]->windowTitle(), QStringLiteral("Page ") + QString::fromLatin1(names[i]), 30000);
        QList<qint64> pids;
        for (form1 *w : windows) {
            QTRY_VERIFY_WITH_TIMEOUT(engine(w)->rendererProcessId() > 0, 10000);
            pids << engine(w)->rendererProcessId();
        }
        // Window "Two" loses its renderer, and with it every window that shares it.
        const qint64 victim = pids[1];
        QList<int> sharing, others;
        for (int i = 0; i < 3; ++i)
            (pids[i] == victim ? sharing : others) << i;
        auto list = [&](const QList<int> &which) {
            QStringList text;
            for (int i : which)
                text << QString::fromLatin1(names[i]);
            return text.join(QLatin1Char(' '));
        };
        qInfo("renderer %lld drew windows: %s; the others: %s", victim, qPrintable(list(sharing)),
              qPrintable(list(others)));
        QCOMPARE(::kill(pid_t(victim), SIGKILL), 0);

        for (int i : sharing) {
            WebEngineBrowser *web = engine(windows[i]);
            QTRY_VERIFY_WITH_TIMEOUT(web->rendererGone(), 20000);
            auto *cover = web->findChild<QWidget *>(QStringLiteral("crashCover"));
            QVERIFY(cover);
            QTRY_VERIFY(cover->isVisible());
            QCOMPARE(cover->geometry(), web->rect());
            QVERIFY(cover->findChild<QPushButton *>(QStringLiteral("crashReload"))->isVisible());
            // The cover names the other windows that stopped with it, or says there were none.
            const QString said = cover->findChild<QLabel *>()->text();
            for (int j : sharing)
                if (j != i)
                    QVERIFY2(said.contains(QStringLiteral("\"Page ") + QString::fromLatin1(names[j]) + QLatin1Char('"')),
                             qPrintable(said));
            QCOMPARE(said.contains(QLatin1String("not affected")), sharing.size() == 1);
            // The caption and tab no longer claim the page is there.
            QTRY_VERIFY(windows[i]->windowTitle().startsWith(QLatin1String("Page stopped")));
            QVERIFY(m_frame->tb->caption(tabOf(windows[i])).startsWith(QLatin1String("Page stopped")));
            // The cover follows the window's size.
            windows[i]->resize(windows[i]->size() + QSize(40, 30));
            QTRY_COMPARE(cover->geometry(), web->rect());
        }
        for (int i : others) {
            QVERIFY(!engine(windows[i])->rendererGone());
            m_server->setPage("/next" + names[i], page("Next " + names[i]));
            windows[i]->Web1->Navigate(m_server->url(QStringLiteral("/next") + QString::fromLatin1(names[i])));
            QTRY_COMPARE_WITH_TIMEOUT(windows[i]->windowTitle(), QStringLiteral("Next ") + QString::fromLatin1(names[i]), 30000);
        }
        checkStillWorking("after-kill");

        // Its tab, clicked, goes on saying the page stopped; a search says at once that there
        // is nothing to search.
        const int two = tabOf(windows[1]);
        m_frame->tb->click(two);
        QCOMPARE(m_frame->windows->activeChild(), static_cast<ChildWindow *>(windows[1]));
        QCOMPARE(m_frame->tb->caption(two), QStringLiteral("Page stopped - Page Two"));
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("Page stopped - Page Two"));
        FindDialog *find = FindDialog::showFor(windows[1]->Web1);
        QVERIFY(find);
        find->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("Two"));
        find->findNext();
        QVERIFY2(find->countText().contains(QLatin1String("nothing to search")), qPrintable(find->countText()));
        find->close();

        // The cover's button brings the page back in a new renderer.
        WebEngineBrowser *web = engine(windows[1]);
        auto *reload = web->findChild<QPushButton *>(QStringLiteral("crashReload"));
        QTest::mouseClick(reload, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(windows[1]->windowTitle(), QStringLiteral("Page Two"), 30000);
        QVERIFY(!web->rendererGone());
        QVERIFY(!web->findChild<QWidget *>(QStringLiteral("crashCover"))->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(web->rendererProcessId() > 0, 10000);
        QVERIFY(web->rendererProcessId() != victim);
        QCOMPARE(m_frame->tb->caption(tabOf(windows[1])), QStringLiteral("Page Two"));
    }

    // More windows than renderers: a killed renderer's windows each name the others.
    void sharedRendererCoverNamesTheOtherWindows()
    {
        QList<form1 *> windows;
        for (int i = 0; i < Startup::RendererProcessLimit + 2; ++i) {
            const QByteArray name = "Shared" + QByteArray::number(i);
            m_server->setPage("/" + name, page("Page " + name));
            windows << open(QStringLiteral("/") + QString::fromLatin1(name));
        }
        QHash<qint64, QList<int>> byRenderer;
        for (int i = 0; i < windows.size(); ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(windows[i]->windowTitle(), QStringLiteral("Page Shared%1").arg(i), 30000);
            QTRY_VERIFY_WITH_TIMEOUT(engine(windows[i])->rendererProcessId() > 0, 10000);
            byRenderer[engine(windows[i])->rendererProcessId()] << i;
        }
        qint64 victim = 0;
        for (auto it = byRenderer.cbegin(); it != byRenderer.cend(); ++it)
            if (it.value().size() > 1)
                victim = it.key();
        QVERIFY(victim > 0);
        const QList<int> sharing = byRenderer.value(victim);
        QCOMPARE(::kill(pid_t(victim), SIGKILL), 0);
        for (int i : sharing) {
            WebEngineBrowser *web = engine(windows[i]);
            QTRY_VERIFY_WITH_TIMEOUT(web->rendererGone(), 20000);
            const QLabel *text = web->findChild<QWidget *>(QStringLiteral("crashCover"))->findChild<QLabel *>();
            QCOMPARE(text->textFormat(), Qt::PlainText); // page titles are shown as they are, never as markup
            const QString said = text->text();
            QVERIFY2(!said.contains(QLatin1String("not affected")), qPrintable(said));
            for (int j : sharing)
                QCOMPARE(said.contains(QStringLiteral("\"Page Shared%1\"").arg(j)), j != i);
        }
    }

    void alertLoopShowsAFewBoxesOnly()
    {
        m_server->setPage("/alerts", page("Alerts", "<script>for (var i = 0; i < 400; ++i) alert('flood ' + i);"
                                                    "var c = confirm('sure?'); var p = prompt('name?', 'x');"
                                                    "document.title = 'after ' + c + ' ' + p;</script>"));
        int boxes = 0;
        QTimer closer;
        dismissBoxes(closer, boxes);
        form1 *w = open(QStringLiteral("/alerts"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("after false null"), 60000);
        QVERIFY(engine(w)->dialogsShown() <= WebEngineBrowser::DialogsPerBurst);
        QVERIFY(boxes <= WebEngineBrowser::DialogsPerBurst);
        checkStillWorking("after-alerts");
    }

    void alertsAcrossSelfReloadsStayBounded()
    {
        int loads = 0;
        m_server->setHandler("/again", [&](const LoopbackServer::Request &) {
            ++loads;
            LoopbackServer::Response r;
            r.body = page("Again", "<script>alert('again'); location.reload();</script>");
            return r;
        });
        int boxes = 0;
        QTimer closer;
        dismissBoxes(closer, boxes);
        form1 *w = open(QStringLiteral("/again"));
        QTRY_VERIFY_WITH_TIMEOUT(loads >= 10, 60000);
        QVERIFY(boxes <= WebEngineBrowser::DialogsPerBurst);
        // The user's own reload is a fresh start for the page's dialogs, bounded again.
        const int before = boxes;
        w->Web1->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(boxes > before, 30000);
        const int reloaded = loads;
        QTRY_VERIFY_WITH_TIMEOUT(loads >= reloaded + 10, 60000);
        QVERIFY(boxes <= before + WebEngineBrowser::DialogsPerBurst);
        w->close();
    }

    void hugeTitleIsBoundedInCaptionsAndTabs()
    {
        m_server->setPage("/title", page("Short", "<script>document.title = 'T'.repeat(50 * 1024 * 1024);</script>"));
        form1 *w = open(QStringLiteral("/title"));
        const int n = tabOf(w);
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(n), QString(30, QLatin1Char('T')), 60000);
        QVERIFY(w->windowTitle().size() <= 4096);
        QVERIFY(w->windowTitle().startsWith(QLatin1String("TTTT")));
        QVERIFY(m_frame->tb->toolTip(n).size() <= 4096);
        QVERIFY(w->Web1->LocationName().size() <= 4096);
        checkStillWorking("after-title");
    }

    void reloadLoopKeepsTheFrameAnswering()
    {
        int loads = 0;
        m_server->setHandler("/reload", [&](const LoopbackServer::Request &) {
            ++loads;
            LoopbackServer::Response r;
            r.body = page("Reloading", "<script>location.reload();</script>");
            return r;
        });
        form1 *w = open(QStringLiteral("/reload"));
        QTRY_VERIFY_WITH_TIMEOUT(loads >= 20, 60000);
        checkStillWorking("during-reloads");
        QPointer<form1> gone(w);
        w->close();
        QTRY_VERIFY_WITH_TIMEOUT(!gone, 10000);
    }

    void scriptThatNeverReturnsLeavesTheFrameAnswering()
    {
        m_server->setPage("/hang", page("Hang", "<script>setTimeout(function () { document.title = 'Hung';"
                                                "for (;;) {} }, 50);</script>"));
        form1 *w = open(QStringLiteral("/hang"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Hang"), 30000);
        runFor(3000);
        checkStillWorking("during-hang");
        // A page of the same site in another window, and closing the hung window.
        form1 *same = open(QStringLiteral("/freshduring-hang"));
        QTRY_COMPARE_WITH_TIMEOUT(same->windowTitle(), QStringLiteral("Fresh during-hang"), 30000);
        QPointer<form1> gone(w);
        w->close();
        QTRY_VERIFY_WITH_TIMEOUT(!gone, 10000);
        checkStillWorking("after-hang");
    }

    // A page that hangs, or whose renderer died, answers the scripts it was asked to run
    // (auto-refresh asking whether its fields hold typed text) only as it is destroyed:
    // closing its window, as the programme's end does, must not crash on those answers.
    void closingAWindowWithScriptsUnanswered()
    {
        m_server->setPage("/busy", page("Busy", "<script>setTimeout(function () { document.title = 'Hung';"
                                                "setTimeout(function () { for (;;) {} }, 100); }, 1500);</script>"));
        form1 *w = open(QStringLiteral("/busy"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Busy"), 30000);
        WebEngineBrowser *web = engine(w);
        QWidget *surface = web->view()->focusProxy();
        QVERIFY(surface);
        // The person has pressed in the page, which then hangs: a tick asks the page and waits.
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, 40));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Hung"), 30000);
        runFor(500);
        for (int tick = 0; tick < 3; ++tick)
            web->refreshWithoutResend();
        QPointer<form1> gone(w);
        w->close();
        QTRY_VERIFY_WITH_TIMEOUT(!gone, 10000);
        checkStillWorking("after-unanswered");
    }

    // A window closed while its page is being printed goes; the programme stays.
    void closingAWindowWhileItPrints()
    {
        QByteArray body;
        for (int i = 0; i < 400; ++i)
            body += "<p>Line " + QByteArray::number(i) + " of a page long enough to take a while to print.</p>";
        m_server->setPage("/long", page("Long", body));
        int printedAfterClose = 0;
        for (const int delay : {0, 10, 30, 60, 120}) {
            form1 *w = open(QStringLiteral("/long"));
            QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Long"), 30000);
            auto printer = std::make_shared<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(m_home->path() + QStringLiteral("/long-%1.pdf").arg(delay));
            QStringList said;
            PrintQueue::instance()->enqueue(w->Web1, QStringLiteral("Long"),
                                            [&said](const QString &text) { said << text; }, printer);
            QPointer<form1> gone(w);
            QTimer::singleShot(delay, w, &QWidget::close);
            QTRY_VERIFY_WITH_TIMEOUT(!gone, 10000);
            // The page is kept until its print is done, and the person is told how it went.
            QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), 30000);
            const QString pdf = printer->outputFileName();
            // Closed before its page answered whether it can be printed, it is not.
            if (said == QStringList(QStringLiteral("\"Long\" was closed and was not printed."))) {
                QVERIFY(!QFile::exists(pdf));
                continue;
            }
            QCOMPARE(said, QStringList(QStringLiteral("\"Long\" saved as %1").arg(pdf)));
            QVERIFY(QFileInfo(pdf).size() > 0);
            ++printedAfterClose;
        }
        QVERIFY(printedAfterClose > 0);
        checkStillWorking("after-print");

        // Ending mid-print: the file reserved for the page is not left behind empty.
        form1 *w = open(QStringLiteral("/long"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Long"), 30000);
        QSignalSpy finished(PrintQueue::instance(), &PrintQueue::jobFinished);
        PrintQueue::instance()->enqueue(w->Web1, QStringLiteral("Long"), nullptr);
        const QString reserved = QDir(PrintQueue::pdfFolder()).filePath(QStringLiteral("Long.pdf"));
        // Reserved once the page answers, written when the engine is done.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(reserved), 10000);
        PrintQueue::instance()->giveUpReserved();
        QVERIFY(!QFile::exists(reserved));
        QVERIFY(finished.wait(30000)); // the engine's late answer finds nothing to remove
    }

    // The engine ends the whole programme when a renderer dies during a print. A page whose
    // script holds its renderer is not printed, and its renderer then dying costs only it.
    void blockedPageIsNotPrintedAndSurvivesItsRendererDying()
    {
        LoopbackServer site(QStringLiteral("127.0.0.201"));
        QVERIFY(site.isListening());
        site.setPage("/blocked", page("Loaded", "<p>text</p><script>addEventListener('load', function () {"
                                                " setTimeout(function () { document.title = 'Blocked';"
                                                " var end = Date.now() + 20000; while (Date.now() < end) {} }, 200); });"
                                                "</script>"));
        form1 *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(w, site.url(QStringLiteral("/blocked")));
        WebEngineBrowser *web = engine(w);
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Blocked"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(web->rendererProcessId() > 0, 10000);

        auto printer = std::make_shared<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = m_home->path() + QStringLiteral("/blocked.pdf");
        printer->setOutputFileName(pdf);
        QStringList said;
        PrintQueue::instance()->enqueue(w->Web1, QStringLiteral("Blocked"),
                                        [&said](const QString &text) { said << text; }, printer);
        // The renderer dies while the print waits on it.
        QCOMPARE(::kill(pid_t(web->rendererProcessId()), SIGSEGV), 0);
        QTRY_VERIFY_WITH_TIMEOUT(web->rendererGone(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), 10000);
        QCOMPARE(said, QStringList(QStringLiteral("\"Blocked\" is not responding and was not printed.")));
        QVERIFY(!PrintQueue::instance()->isBusy());
        QVERIFY(!QFile::exists(pdf));
        checkStillWorking("after-blocked-print");
    }

    // A timed reload that comes while the page is being printed: the print is saved whole,
    // the page is fetched again, and the programme stays.
    void refreshTickDuringAPrint()
    {
        LoopbackServer site(QStringLiteral("127.0.0.203"));
        QVERIFY(site.isListening());
        QByteArray body;
        for (int i = 0; i < 400; ++i)
            body += "<p>Line " + QByteArray::number(i) + " of a page long enough to take a while to print.</p>";
        int fetched = 0;
        site.setHandler("/long", [&](const LoopbackServer::Request &) {
            ++fetched;
            LoopbackServer::Response r;
            r.body = page("Long", body);
            return r;
        });
        form1 *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(w, site.url(QStringLiteral("/long")));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Long"), 30000);
        int printed = 0;
        for (const int delay : {0, 10, 30, 60, 120, 250}) {
            const int before = fetched;
            auto printer = std::make_shared<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            const QString pdf = m_home->path() + QStringLiteral("/tick-%1.pdf").arg(delay);
            printer->setOutputFileName(pdf);
            QStringList said;
            PrintQueue::instance()->enqueue(w->Web1, QStringLiteral("Long"),
                                            [&said](const QString &text) { said << text; }, printer);
            QTimer::singleShot(delay, w, [w] { w->Web1->refreshWithoutResend(); });
            QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), 30000);
            // A reload that came before the page answered leaves it loading, not printed.
            if (said == QStringList(QStringLiteral("\"Long\" is still loading and was not printed."))) {
                QVERIFY(!QFile::exists(pdf));
            } else {
                QCOMPARE(said, QStringList(QStringLiteral("\"Long\" saved as %1").arg(pdf)));
                QVERIFY(QFileInfo(pdf).size() > 0);
                ++printed;
            }
            // The reload still comes, once the print is done.
            QTRY_VERIFY_WITH_TIMEOUT(fetched > before, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(!w->Web1->isLoading(), 30000);
        }
        QVERIFY(printed > 0);
        checkStillWorking("after-tick-print");
    }
};

QUILLON_TEST_MAIN(TestResilience)
#include "tst_resilience.moc"
