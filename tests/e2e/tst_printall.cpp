#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/downloads.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"
#include "tools/printing.h"
#include "tools/printqueue.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QtTest>

namespace {
QByteArray page(const char *title, const char *word)
{
    return QByteArray("<html><head><title>") + title + "</title></head><body><h1>" + word +
           "</h1><p>Some text to print.</p></body></html>";
}

QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
}

class TestPrintAll : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    QMdiArea area;

    ChildWindow *open(const QByteArray &path)
    {
        auto *w = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(w)->show();
        if (!PageWait::load(w->Web1, server.url(QString::fromLatin1(path))))
            return nullptr;
        w->setWindowTitle(w->Web1->LocationName());
        return w;
    }

    // Print All with Yes to every question; the PDFs it made, and the status texts in *status.
    static QStringList printAllSayingYes(QStringList *status)
    {
        const QDir documents(PrintQueue::pdfFolder());
        const QStringList before = documents.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        Dialogs::setAskHook([](const Dialogs::Question &) { return true; });
        Printing::PrintAll(nullptr, [status](const QString &s) { *status << s; });
        Dialogs::setAskHook(nullptr);
        if (!QTest::qWaitFor([] { return !PrintQueue::instance()->isBusy(); }, 60000))
            return {QStringLiteral("(still printing)")};
        QStringList made = documents.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        for (const QString &f : before)
            made.removeOne(f);
        return made;
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void yesNoYesGivesTwoPdfFilesWithThePagesText()
    {
        QVERIFY(!PrintQueue::hasPrinter()); // this machine has none: files it is
        server.setPage("/alpha", page("Alpha page", "alphaword"));
        server.setPage("/beta", page("Beta page", "betaword"));
        server.setPage("/gamma", page("Gamma page", "gammaword"));
        server.setPage("/home", page("Quillon start", "homeword"));
        area.resize(900, 700);
        area.show();
        QVERIFY(open("/alpha"));
        QVERIFY(open("/home"));
        QVERIFY(open("/beta"));
        QVERIFY(open("/gamma"));

        const QDir documents(PrintQueue::pdfFolder());
        QVERIFY(!documents.exists() || documents.entryList(QDir::Files).isEmpty());

        QStringList asked;
        const QList<bool> answers = {true, false, true};
        Dialogs::setAskHook([&](const Dialogs::Question &q) {
            asked << q.text;
            return answers.value(asked.size() - 1, false);
        });
        QStringList status;
        Printing::PrintAll(nullptr, [&](const QString &s) { status << s; });
        Dialogs::setAskHook(nullptr);
        QCOMPARE(asked, QStringList({"Print Y/N: Alpha page", "Print Y/N: Beta page", "Print Y/N: Gamma page"}));
        QTRY_VERIFY_WITH_TIMEOUT(!PrintQueue::instance()->isBusy(), 60000);

        const QStringList files = documents.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
        QCOMPARE(files, QStringList({"Alpha page.pdf", "Gamma page.pdf"}));
        QVERIFY(pdfText(documents.filePath(files[0])).contains(QStringLiteral("alphaword")));
        const QString gamma = pdfText(documents.filePath(files[1]));
        QVERIFY(gamma.contains(QStringLiteral("gammaword")));
        QVERIFY(!gamma.contains(QStringLiteral("betaword")));
        QCOMPARE(status.size(), 2);
        QVERIFY(status[1].contains(documents.filePath(files[1])));
    }

    // A page still arriving would print as an empty sheet announced as saved.
    void aPageStillLoadingIsNotPrintedAndTheNextOneIs()
    {
        server.setHandler("/held.html", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.body = page("Held page", "heldword");
            r.delayMs = 600000; // outlasts the test: the load never ends
            return r;
        });
        server.setPage("/done", page("Done page", "doneword"));
        for (QMdiSubWindow *sub : area.subWindowList())
            delete sub;
        auto *held = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(held)->show();
        QSignalSpy asked(&server, &LoopbackServer::requestSeen);
        held->Web1->Navigate(server.url(QStringLiteral("/held.html")));
        QTRY_VERIFY_WITH_TIMEOUT(held->Web1->isLoading() && asked.count() > 0, 30000);
        QVERIFY(open("/done"));
        const QDir documents(PrintQueue::pdfFolder());
        QStringList status;
        const QStringList made = printAllSayingYes(&status);
        const QString heldUrl = server.url(QStringLiteral("/held.html"));
        QCOMPARE(made, QStringList{"Done page.pdf"});
        QVERIFY(pdfText(documents.filePath(QStringLiteral("Done page.pdf"))).contains(QStringLiteral("doneword")));
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0], QStringLiteral("\"%1\" is still loading and was not printed.").arg(heldUrl));
        QVERIFY(status[1].startsWith(QStringLiteral("\"Done page\" saved as ")));
        QVERIFY(held->Web1->isLoading());
        held->Web1->Stop();
    }

    // A window whose first address was a file stays blank: it says where the file went, and
    // printing it writes nothing. A page that had a link turn into a file keeps its page.
    void aWindowWhoseAddressWasAFileIsNotPrinted()
    {
        for (QMdiSubWindow *sub : area.subWindowList())
            delete sub;
        area.resize(900, 700);
        area.show();
        LoopbackServer files(QStringLiteral("127.0.0.121"));
        files.setPage("/report.pdf", "%PDF-1.4 not much of one", "application/pdf");
        files.setPage("/sheet.pdf", "%PDF-1.4 another", "application/pdf");
        files.setPage("/kept", page("Kept page", "keptword"));
        const QDir downloads(Downloads::folder());

        auto *file = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(file)->show();
        const QString fileUrl = files.url(QStringLiteral("/report.pdf"));
        file->Web1->Navigate(fileUrl);
        auto *web = static_cast<WebEngineBrowser *>(file->Web1);
        QTRY_VERIFY_WITH_TIMEOUT(web->coverText().contains(QStringLiteral("It was saved as")), 30000);
        QVERIFY(downloads.exists(QStringLiteral("report.pdf")));
        QVERIFY2(web->coverText().startsWith(fileUrl), qPrintable(web->coverText()));
        QVERIFY2(web->coverText().endsWith(QDir::toNativeSeparators(downloads.filePath(QStringLiteral("report.pdf")))),
                 qPrintable(web->coverText()));
        QVERIFY(!file->Web1->hasPage());

        auto *kept = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(kept)->show();
        QVERIFY(PageWait::load(kept->Web1, files.url(QStringLiteral("/kept"))));
        kept->setWindowTitle(kept->Web1->LocationName());
        kept->Web1->Navigate(files.url(QStringLiteral("/sheet.pdf")));
        QTRY_VERIFY_WITH_TIMEOUT(downloads.exists(QStringLiteral("sheet.pdf")), 30000);
        QTRY_VERIFY(!kept->Web1->isLoading());
        QCOMPARE(kept->Web1->LocationName(), QStringLiteral("Kept page"));
        QCOMPARE(static_cast<WebEngineBrowser *>(kept->Web1)->coverText(), QString());

        QStringList status;
        const QStringList made = printAllSayingYes(&status);
        QCOMPARE(made, QStringList{"Kept page.pdf"});
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0], QStringLiteral("\"%1\" has no page in it to print.").arg(fileUrl));
        QVERIFY(status[1].startsWith(QStringLiteral("\"Kept page\" saved as ")));
    }

    // A page whose script never gives way is passed over at once: the pages behind it are
    // printed, and no empty file is left in its name.
    void aHungPageIsSkippedAndTheNextOneIsPrinted()
    {
        for (QMdiSubWindow *sub : area.subWindowList())
            delete sub;
        LoopbackServer site(QStringLiteral("127.0.0.202"));
        QVERIFY(site.isListening());
        site.setPage("/hung", "<html><head><title>Fine page</title></head><body><h1>hungword</h1><script>"
                              "addEventListener('load', function () { setTimeout(function () {"
                              " document.title = 'Hung page'; for (;;) {} }, 200); });"
                              "</script></body></html>");
        auto *hung = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(hung)->show();
        QVERIFY(PageWait::load(hung->Web1, site.url(QStringLiteral("/hung"))));
        QTRY_COMPARE_WITH_TIMEOUT(hung->Web1->LocationName(), QStringLiteral("Hung page"), 30000);
        hung->setWindowTitle(hung->Web1->LocationName());
        server.setPage("/next", page("Next page", "nextword"));
        QVERIFY(open("/next"));

        QElapsedTimer took;
        took.start();
        QStringList status;
        const QStringList made = printAllSayingYes(&status);
        QVERIFY2(took.elapsed() < 30000, qPrintable(status.join(QLatin1Char('\n'))));
        const QDir documents(PrintQueue::pdfFolder());
        QCOMPARE(made, QStringList{"Next page.pdf"});
        QVERIFY(pdfText(documents.filePath(QStringLiteral("Next page.pdf"))).contains(QStringLiteral("nextword")));
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0], QStringLiteral("\"Hung page\" is not responding and was not printed."));
        QVERIFY(status[1].startsWith(QStringLiteral("\"Next page\" saved as ")));
        delete hung;
    }
};

QUILLON_TEST_MAIN(TestPrintAll)
#include "tst_printall.moc"
