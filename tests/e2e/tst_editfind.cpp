#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/logindialog.h"
#include "testenv.h"
#include "tools/editcommands.h"
#include "tools/finddialog.h"
#include "tools/printing.h"
#include "tools/printqueue.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

namespace {
const QByteArray text = R"(<html><head><title>Fruit</title></head><body>
<p id="p">apple banana Apple cherry apple</p><input id="f" value="">
</body></html>)";
}

class TestEditFind : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    QMdiArea area;
    ChildWindow *w = nullptr;

    QVariant js(const QString &script) { return PageWait::eval(w->Web1, script); }
    static QPrintDialog *printDialog()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("printDialog"))
                return qobject_cast<QPrintDialog *>(top);
        return qApp->findChild<QPrintDialog *>();
    }
    static QString pdfText(const QString &file)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void initTestCase()
    {
        server.setPage("/fruit", text);
        area.resize(900, 600);
        area.show();
        w = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area.addSubWindow(w)->show();
        w->resize(800, 500); // the engine finds nothing in a view with no room to lay the page out
        QVERIFY(PageWait::load(w->Web1, server.url(QStringLiteral("/fruit"))));
        // Edit commands act on the page's focused frame, as after the user's click.
        area.activateWindow();
        QTRY_VERIFY(area.isActiveWindow());
        w->Web1->setFocus();
        QTRY_VERIFY(w->Web1->isAncestorOf(QApplication::focusWidget()));
    }

    void copyTakesTheSelectionOnly()
    {
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        QTRY_COMPARE(clipboard->text(), QStringLiteral("before"));
        js(QStringLiteral("window.getSelection().removeAllRanges(); true"));
        QSignalSpy changed(clipboard, &QClipboard::dataChanged);
        EditCommands::mnu_Copy(w->Web1);
        QVERIFY(!changed.wait(2000));
        QCOMPARE(clipboard->text(), QStringLiteral("before"));

        js(QStringLiteral("window.getSelection().selectAllChildren(document.getElementById('p')); true"));
        EditCommands::mnu_Copy(w->Web1);
        QTRY_COMPARE_WITH_TIMEOUT(clipboard->text().trimmed(), QStringLiteral("apple banana Apple cherry apple"), 10000);
    }

    void findCountsAndSteps()
    {
        EditCommands::mnu_find(w->Web1);
        auto *dialog = w->Web1->findChild<FindDialog *>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QSignalSpy found(dialog, &FindDialog::found);
        dialog->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("apple"));
        auto next = dialog->findChild<QPushButton *>(QStringLiteral("cmdNext"));
        auto previous = dialog->findChild<QPushButton *>(QStringLiteral("cmdPrevious"));

        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(found.wait(10000));
        QCOMPARE(found.last(), QVariantList({1, 3}));
        QCOMPARE(dialog->countText(), QStringLiteral("Match 1 of 3"));
        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(found.wait(10000));
        QCOMPARE(found.last(), QVariantList({2, 3}));
        QTest::mouseClick(previous, Qt::LeftButton);
        QVERIFY(found.wait(10000));
        QCOMPARE(found.last(), QVariantList({1, 3}));

        // Match case narrows the count: a fresh search, not the next match of the old one.
        dialog->findChild<QCheckBox *>(QStringLiteral("chkMatchCase"))->setChecked(true);
        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(found.wait(10000));
        QCOMPARE(found.last().at(1).toInt(), 2);

        dialog->findChild<QLineEdit *>(QStringLiteral("txtFind"))->setText(QStringLiteral("durian"));
        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(found.wait(10000));
        QCOMPARE(dialog->countText(), QStringLiteral("No matches"));
        dialog->close();
    }

    void printDialogPrintsThePageToTheChosenFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("chosen.pdf"));
        QSignalSpy done(PrintQueue::instance(), &PrintQueue::jobFinished);
        QStringList status;
        Printing::Print(w->Web1, nullptr, [&](const QString &s) { status << s; });
        QPrintDialog *dialog = nullptr;
        QTRY_VERIFY(dialog = printDialog());
        QVERIFY(dialog->isVisible());
        // The user picks a file as the output, then OK.
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(file);
        dialog->done(QDialog::Accepted);
        QVERIFY(done.wait(30000));
        QCOMPARE(done.last().at(0).toBool(), true);
        QVERIFY(pdfText(file).contains(QStringLiteral("banana")));
        QCOMPARE(status.size(), 1);
    }

    // The window goes (a popup closing itself) while its print dialog is open: Print says so.
    void printDialogOfAWindowThatClosedSaysSo()
    {
        auto *gone = new ChildWindow(ChildWindow::Kind::Popup, QStringLiteral("webPopup"));
        area.addSubWindow(gone)->show();
        QVERIFY(PageWait::load(gone->Web1, server.url(QStringLiteral("/fruit"))));
        QStringList status;
        Printing::Print(gone->Web1, nullptr, [&](const QString &s) { status << s; });
        QPrintDialog *dialog = nullptr;
        QTRY_VERIFY(dialog = printDialog());
        QPointer<ChildWindow> closing(gone);
        gone->close();
        QTRY_VERIFY(!closing);
        dialog->done(QDialog::Accepted);
        QCOMPARE(status, QStringList{QStringLiteral("\"Fruit\" was closed and was not printed.")});
    }

    // A popup's page closes its window while a box of the window's is up: the box goes with
    // the window, and the programme goes on with the box unanswered.
    void boxesOfAWindowThatClosedGoWithIt()
    {
        QStringList shown;
        const auto closedUnderABox = [this, &shown](QWidget *window, const std::function<void()> &openBox) {
            QPointer<QWidget> closing(window);
            QTimer closer;
            bool closed = false;
            bool outlived = false;
            connect(&closer, &QTimer::timeout, this, [&] {
                QWidget *box = QApplication::activeModalWidget();
                if (!box)
                    return;
                if (!closed) {
                    closed = true;
                    shown << box->metaObject()->className();
                    closing->close();
                } else if (!closing) {
                    outlived = true; // the box stayed after its window went
                    box->close();
                }
            });
            closer.start(20);
            openBox();
            return closed && !closing && !outlived;
        };
        const auto popup = [this] {
            auto *w = new ChildWindow(ChildWindow::Kind::Popup, QStringLiteral("webPopup"));
            area.addSubWindow(w)->show();
            return w;
        };
        const auto outside = [] {
            auto *w = new QWidget;
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
            return w;
        };

        ChildWindow *gone = popup();
        QVERIFY(PageWait::load(gone->Web1, server.url(QStringLiteral("/fruit"))));
        if (QPrinter().outputFormat() != QPrinter::NativeFormat) // no printer on this machine
            QTest::ignoreMessage(QtWarningMsg, "QPageSetupDialog: Cannot be used on non-native printers");
        const QPageLayout before = BrowserControl::sharedPageLayout();
        QVERIFY(closedUnderABox(gone, [gone] { Printing::mnu_PageSetup(gone->Web1); }));
        QVERIFY(BrowserControl::sharedPageLayout().isEquivalentTo(before));

        QWidget *w = outside();
        bool yes = true;
        QVERIFY(closedUnderABox(w, [&] { yes = Dialogs::ask(w, QString(), QStringLiteral("Send the form again?")); }));
        QVERIFY(!yes);
        w = outside();
        QVERIFY(closedUnderABox(w, [&] { Dialogs::tell(w, QString(), QStringLiteral("Done.")); }));
        w = outside();
        QString typed = QStringLiteral("unset");
        QVERIFY(closedUnderABox(w, [&] { typed = Dialogs::input(w, QString(), QStringLiteral("Name?"), QStringLiteral("x")); }));
        QCOMPARE(typed, QString());
        w = outside();
        bool given = true;
        QString user, password;
        QVERIFY(closedUnderABox(w, [&] { given = Dialogs::askLogin(w, {QStringLiteral("site"), QString()}, &user, &password); }));
        QVERIFY(!given);
        QCOMPARE(shown, QStringList({QStringLiteral("QPageSetupDialog"), QStringLiteral("QMessageBox"),
                                     QStringLiteral("QMessageBox"), QStringLiteral("QInputDialog"),
                                     QStringLiteral("QDialog")}));
    }

    void printDialogPrintsOnlyTheChosenPages()
    {
        QByteArray html = "<html><head><title>Sheets</title></head><body>";
        for (int n = 1; n <= 5; ++n)
            html += "<p style=\"break-after: page\">sheet" + QByteArray::number(n) + "</p>";
        server.setPage("/sheets", html + "</body></html>");
        auto *paged = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        QMdiSubWindow *sub = area.addSubWindow(paged);
        sub->show();
        QVERIFY(PageWait::load(paged->Web1, server.url(QStringLiteral("/sheets"))));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("some.pdf"));
        QSignalSpy done(PrintQueue::instance(), &PrintQueue::jobFinished);
        Printing::Print(paged->Web1, nullptr, {});
        QPrintDialog *dialog = nullptr;
        QTRY_VERIFY(dialog = printDialog());
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(file);
        QPageRanges ranges;
        ranges.addRange(2, 3); // "Pages from 2 to 3"
        dialog->printer()->setPageRanges(ranges);
        dialog->done(QDialog::Accepted);
        QVERIFY(done.wait(30000));
        QCOMPARE(done.last().at(0).toBool(), true);

        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        // Each page is an object "/Type /Page"; the tree that holds them is "/Type /Pages".
        QCOMPARE(QString::fromLatin1(pdf.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 2);
        const QString text = pdfText(file);
        QVERIFY(text.contains(QStringLiteral("sheet2")) && text.contains(QStringLiteral("sheet3")));
        QVERIFY(!text.contains(QStringLiteral("sheet1")) && !text.contains(QStringLiteral("sheet4")));
        delete sub;
    }
};

QUILLON_TEST_MAIN(TestEditFind)
#include "tst_editfind.moc"
