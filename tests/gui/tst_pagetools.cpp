#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "browser/childwindow.h"
#include "fakebrowser.h"
#include "platform/dialogs.h"
#include "testenv.h"
#include "tools/autorefresh.h"
#include "tools/printing.h"
#include "tools/printqueue.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QTimer>
#include <QtTest>

namespace {
FakeBrowser *fake(ChildWindow *w) { return qobject_cast<FakeBrowser *>(w->Web1); }
}

class TestPageTools : public QObject
{
    Q_OBJECT

    QMdiArea *area = nullptr;

    ChildWindow *open(const QString &caption, ChildWindow::Kind kind = ChildWindow::Kind::Browser)
    {
        auto *w = new ChildWindow(kind, kind == ChildWindow::Kind::Browser ? QStringLiteral("form1")
                                                                             : QStringLiteral("webPopup"));
        w->setWindowTitle(caption);
        area->addSubWindow(w);
        w->show();
        return w;
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void initTestCase()
    {
        FakeBrowser::install();
        area = new QMdiArea;
        area->resize(800, 600);
    }
    void cleanupTestCase() { delete area; }
    void cleanup()
    {
        Dialogs::setAskHook(nullptr);
        Dialogs::setInputHook(nullptr);
        for (QMdiSubWindow *w : area->subWindowList())
            delete w;
    }

    void answersBecomePeriods_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("period");
        QTest::newRow("30 s") << "30" << "en_US" << 30000;
        QTest::newRow("fraction") << "2.5" << "en_US" << 2500;
        QTest::newRow("above the hint") << "61" << "en_US" << 61000;
        QTest::newRow("largest") << "65.535" << "en_US" << 65535;
        QTest::newRow("too long") << "66" << "en_US" << 0;
        QTest::newRow("one ms is raised to a second") << "0.001" << "en_US" << 1000;
        QTest::newRow("under a second") << "0.999" << "en_US" << 1000;
        QTest::newRow("rounds to 0") << "0.0004" << "en_US" << 0;
        QTest::newRow("zero") << "0" << "en_US" << 0;
        QTest::newRow("negative") << "-5" << "en_US" << 0;
        QTest::newRow("word") << "soon" << "en_US" << 0;
        QTest::newRow("cancelled") << "" << "en_US" << 0;
        QTest::newRow("spaces") << " 3 " << "en_US" << 3000;
        QTest::newRow("infinite") << "inf" << "en_US" << 0;
        QTest::newRow("comma locale") << "2,5" << "de_DE" << 2500;
        QTest::newRow("point in comma locale") << "2.5" << "de_DE" << 2500;
    }
    void answersBecomePeriods()
    {
        QFETCH(QString, answer);
        QFETCH(QString, locale);
        QFETCH(int, period);
        QCOMPARE(AutoRefresh::periodFromAnswer(answer, QLocale(locale)), period);
    }

    void refreshCommandArmsOnlyTheActiveWindow()
    {
        ChildWindow *a = open(QStringLiteral("News"));
        ChildWindow *b = open(QStringLiteral("Quotes"));
        QList<Dialogs::Question> asked;
        QStringList prompts;
        bool yes = true;
        QString answer = QStringLiteral("10");
        Dialogs::setAskHook([&](const Dialogs::Question &q) { asked << q; return yes; });
        Dialogs::setInputHook([&](const QString &title, const QString &prompt) {
            prompts << title + QLatin1Char('|') + prompt;
            return answer;
        });

        AutoRefresh::RefreshIT(a);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("News"));
        QCOMPARE(asked[0].text, QStringLiteral("Turn Auto-Refresh on for this Web Window?"));
        QCOMPARE(asked[0].icon, QMessageBox::Critical);
        QCOMPARE(prompts, QStringList{QStringLiteral("Refresh Rate|Refresh after how many seconds 1-60?")});
        QVERIFY(a->AutoRefreshMe->isActive());
        QCOMPARE(a->AutoRefreshMe->interval(), 10000);
        QVERIFY(!b->AutoRefreshMe->isActive());
        QVERIFY(!AutoRefresh::isOn(b));

        // Again with 20: one timer, re-armed.
        answer = QStringLiteral("20");
        AutoRefresh::RefreshIT(a);
        QCOMPARE(a->findChildren<QTimer *>().size(), 1);
        QVERIFY(a->AutoRefreshMe->isActive());
        QCOMPARE(a->AutoRefreshMe->interval(), 20000);

        // An unusable answer: switched on, yet it never fires (a 0 ms timer would spin).
        answer = QStringLiteral("66");
        AutoRefresh::RefreshIT(a);
        QVERIFY(AutoRefresh::isOn(a));
        QCOMPARE(AutoRefresh::period(a), 0);
        QVERIFY(!a->AutoRefreshMe->isActive());

        answer = QStringLiteral("5");
        AutoRefresh::RefreshIT(a);
        yes = false;
        AutoRefresh::RefreshIT(a);
        QCOMPARE(prompts.size(), 4); // No asks nothing more
        QVERIFY(!AutoRefresh::isOn(a));
        QVERIFY(!a->AutoRefreshMe->isActive());
        QCOMPARE(AutoRefresh::period(a), 5000); // the period is left as it was
    }

    void tickReloadsAndPopupsRefreshToo()
    {
        ChildWindow *popup = open(QStringLiteral("Popup"), ChildWindow::Kind::Popup);
        Dialogs::setAskHook([](const Dialogs::Question &) { return true; });
        Dialogs::setInputHook([](const QString &, const QString &) { return QStringLiteral("0.05"); });
        AutoRefresh::RefreshIT(popup);
        QCOMPARE(popup->AutoRefreshMe->interval(), 1000); // never faster than a page can load
        QTRY_VERIFY_WITH_TIMEOUT(fake(popup)->calls.count(QStringLiteral("refreshWithoutResend")) >= 2, 10000);
    }

    void noActiveWindowStillAsksAndChangesNothing()
    {
        int asked = 0, inputs = 0;
        Dialogs::setAskHook([&](const Dialogs::Question &q) { ++asked; return q.title.isEmpty(); });
        Dialogs::setInputHook([&](const QString &, const QString &) { ++inputs; return QStringLiteral("3"); });
        AutoRefresh::RefreshIT(nullptr);
        QCOMPARE(asked, 1);
        QCOMPARE(inputs, 1);
    }

    void printAllAsksForEveryWindowButQuillonOnes()
    {
        TempHome home;
        QVERIFY(!PrintQueue::hasPrinter());
        ChildWindow *one = open(QStringLiteral("One"));
        open(QStringLiteral("Quillon v2.1 lookalike"));
        ChildWindow *three = open(QStringLiteral("Three"));
        fake(open(QString()))->Navigate(QStringLiteral("http://untitled.test/")); // no title yet
        fake(one)->complete(QStringLiteral("One: a/b"));
        auto *dialog = new QDialog;
        dialog->setObjectName(QStringLiteral("Form3"));
        dialog->setWindowTitle(QStringLiteral("My Personal Details"));
        WindowRegistry::add(dialog);
        auto *sites = new QDialog;
        sites->setObjectName(QStringLiteral("Form2"));
        sites->setWindowTitle(QStringLiteral("Default Sites"));
        sites->show();
        WindowRegistry::add(sites);

        QList<Dialogs::Question> asked;
        Dialogs::setAskHook([&](const Dialogs::Question &q) { asked << q; return q.text == QLatin1String("Print Y/N: One"); });
        QStringList status;
        Printing::PrintAll(nullptr, [&](const QString &s) { status << s; });
        QStringList texts;
        for (const Dialogs::Question &q : asked) {
            QCOMPARE(q.title, QStringLiteral("Print All PAges"));
            QCOMPARE(q.icon, QMessageBox::Question);
            texts << q.text;
        }
        QCOMPARE(texts, QStringList({"Print Y/N: One", "Print Y/N: Three", "Print Y/N: http://untitled.test/",
                                   "Print Y/N: My Personal Details"}));
        QVERIFY(!sites->isVisible());
        QTRY_VERIFY(!PrintQueue::instance()->isBusy());
        // No printer here: the one Yes with a page went to a PDF named after its title.
        const QString expected = QDir(PrintQueue::pdfFolder()).filePath(QStringLiteral("One_ a_b.pdf"));
        QCOMPARE(fake(one)->calls.filter(QStringLiteral("print")), QStringList{"printToPdf " + expected});
        QVERIFY(fake(three)->calls.filter(QStringLiteral("print")).isEmpty());
        QCOMPARE(status.size(), 1);
        QVERIFY(status[0].contains(expected));
        delete dialog;
        delete sites;
    }

    // A print the engine never answers is given up: the page behind it prints, and the file
    // reserved for the given-up one does not stay behind empty.
    void unansweredPrintIsGivenUpLeavingNoEmptyFile()
    {
        TempHome home;
        ChildWindow *stuck = open(QStringLiteral("Stuck"));
        ChildWindow *next = open(QStringLiteral("Next"));
        fake(stuck)->complete(QStringLiteral("Stuck"));
        fake(next)->complete(QStringLiteral("Next"));
        fake(stuck)->answersPrints = false;
        PrintQueue::setUnansweredLimit(300);
        QStringList status;
        auto said = [&status](const QString &s) { status << s; };
        PrintQueue::instance()->enqueue(stuck->Web1, QStringLiteral("Stuck"), said);
        PrintQueue::instance()->enqueue(next->Web1, QStringLiteral("Next"), said);
        QTRY_VERIFY(!PrintQueue::instance()->isBusy());
        PrintQueue::setUnansweredLimit(180000);
        const QDir documents(PrintQueue::pdfFolder());
        QCOMPARE(fake(stuck)->calls.filter(QStringLiteral("print")),
                 QStringList{"printToPdf " + documents.filePath(QStringLiteral("Stuck.pdf"))});
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0], QStringLiteral("\"Stuck\" could not be printed."));
        QVERIFY(status[1].contains(documents.filePath(QStringLiteral("Next.pdf"))));
        // The engine may still write the file given up: a later page of that title gets
        // a name of its own, and the empty file goes when the programme ends.
        QVERIFY(documents.exists(QStringLiteral("Stuck.pdf")));
        fake(stuck)->answersPrints = true;
        PrintQueue::instance()->enqueue(stuck->Web1, QStringLiteral("Stuck"), said);
        QTRY_VERIFY(!PrintQueue::instance()->isBusy());
        QCOMPARE(fake(stuck)->calls.filter(QStringLiteral("print")).size(), 2);
        QVERIFY(fake(stuck)->calls.filter(QStringLiteral("print")).last() != fake(stuck)->calls.filter(QStringLiteral("print")).first());
        PrintQueue::instance()->programmeEnds();
        QVERIFY(!documents.exists(QStringLiteral("Stuck.pdf")));
    }

    void pdfNamesAreSafeAndNew()
    {
        QCOMPARE(PrintQueue::safeFileName(QStringLiteral("News: a/b \"c\" <d>")), QStringLiteral("News_ a_b _c_ _d_"));
        QCOMPARE(PrintQueue::safeFileName(QStringLiteral("../../etc/passwd")), QStringLiteral("_.._etc_passwd"));
        QCOMPARE(PrintQueue::safeFileName(QStringLiteral(" \t")), QStringLiteral("Page"));
        QCOMPARE(PrintQueue::safeFileName(QStringLiteral(".hidden.")), QStringLiteral("hidden"));
        QCOMPARE(PrintQueue::safeFileName(QString(300, QLatin1Char('x'))).size(), 100);
        QCOMPARE(PrintQueue::safeFileName(QStringLiteral("Zoë 漢字")), QStringLiteral("Zoë 漢字"));

        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("made/here"));
        QFile old(folder + QStringLiteral("/Page.pdf"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("keep");
        old.close();
        const QString second = PrintQueue::reservePdfFile(folder, QStringLiteral("Page"));
        QCOMPARE(second, folder + QStringLiteral("/Page (2).pdf"));
        QCOMPARE(PrintQueue::reservePdfFile(folder, QStringLiteral("Page")), folder + QStringLiteral("/Page (3).pdf"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("keep"));

        // A long title in a script of three bytes a character, or of emoji, still makes a file.
        for (const QString &title : {QString(100, QChar(0x65E5)), QString::fromUtf8("\xF0\x9F\x98\x80").repeated(70)}) {
            QStringList made;
            for (int i = 0; i < 3; ++i)
                made << PrintQueue::reservePdfFile(folder, title);
            for (const QString &path : made)
                QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
            QCOMPARE(QSet<QString>(made.begin(), made.end()).size(), 3);
        }
    }
};

QUILLON_TEST_MAIN(TestPageTools)
#include "tst_pagetools.moc"
