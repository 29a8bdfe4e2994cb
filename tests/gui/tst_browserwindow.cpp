#include "browser/addressbar.h"
#include "browser/navigation.h"
#include "browser/windowmanager.h"
#include "framefixture.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/tabbutton.h"
#include "platform/tabstrip.h"
#include "tools/printing.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProgressBar>
#include <QTextDocument>
#include <QToolButton>
#include <QPushButton>
#include <QtTest>

// Browser windows and the frame's navigation and address bar, with scripted pages.
class TestBrowserWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void longTitleIsCutOnTheTabOnly()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        const QString title = QStringLiteral("A page whose title is well over thirty characters long");
        FrameFixture::web(w)->complete(title);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(f.frame->tb->caption(1), title.left(30));
        QCOMPARE(f.frame->tb->toolTip(1), title);

        // The cut counts characters as a person sees them: an emoji (two code units) or a
        // letter with its accent is kept whole or left out, never halved.
        for (const QString &one : {QStringLiteral("\U0001F384"), QStringLiteral("e\u0301")}) {
            const QString many = QLatin1Char('x') + one.repeated(40);
            FrameFixture::web(w)->complete(many);
            QCOMPARE(f.frame->tb->caption(1), QLatin1Char('x') + one.repeated(29));
        }

        // A title is text: markup in it is shown as written, never drawn (nor its pictures loaded).
        const QString markup = QStringLiteral("<h1>Big</h1><img src=\"file:///etc/hostname\"> & <b>more</b>");
        FrameFixture::web(w)->complete(markup);
        QCOMPARE(f.frame->tb->toolTip(1), markup);
        QToolButton *tab = nullptr;
        for (TabButton *b : f.frame->tb->findChildren<TabButton *>())
            if (b->caption() == markup.left(30))
                tab = b;
        QVERIFY(tab);
        QTextDocument shown;
        shown.setHtml(tab->toolTip());
        QCOMPARE(shown.toPlainText(), markup);
    }

    void stopNamesTheFrameAfterThePageYetPrintAllSkipsTheFrame()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FrameFixture::web(w)->complete(QStringLiteral("Page A"));
        f.frame->action(QStringLiteral("GoStop"))->trigger();
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Page A"));
        QStringList asked;
        Dialogs::setAskHook([&](const Dialogs::Question &q) { asked << q.text; return false; });
        Printing::PrintAll(nullptr, [](const QString &) {});
        Dialogs::setAskHook(nullptr);
        QCOMPARE(asked, QStringList{QStringLiteral("Print Y/N: Page A")});
    }

    void lastCompletedFrameWins()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FrameFixture::web(w)->complete(QStringLiteral("Inner frame"));
        FrameFixture::web(w)->complete(QStringLiteral("Top page"));
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("Top page"));
    }

    void backgroundWindowWritesTheActiveAddress()
    {
        FrameFixture f;
        ChildWindow *back = f.open(QStringLiteral("http://background.test/"));
        f.open(QStringLiteral("http://front.test/"));
        FrameFixture::web(back)->complete(QStringLiteral("Background"));
        QCOMPARE(f.frame->addressText().left(24), QStringLiteral("http://front.test/"));
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("Background"));
    }

    void statusTextReachesPanelOne()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        Q_EMIT FrameFixture::web(w)->StatusTextChange(QStringLiteral("http://a.test/link"));
        QCOMPARE(f.frame->panel1->text(), QStringLiteral("http://a.test/link"));
        f.frame->resize(1000, 700);
        QCoreApplication::processEvents();
        QVERIFY(f.frame->panel1->width() >= f.frame->width() - 20);
    }

    void focusPutsTheActiveAddressInTheBar()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("  "));
        f.frame->setAddressText(QStringLiteral("typed"));
        Q_EMIT FrameFixture::web(w)->GotFocus();
        QCOMPARE(f.frame->addressText(), QStringLiteral("typed")); // blank address: left alone
        FrameFixture::web(w)->Navigate(QStringLiteral("http://b.test/"));
        Q_EMIT FrameFixture::web(w)->GotFocus();
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://b.test/"));
    }

    void toolbarReportsTheEndOfHistoryOnce()
    {
        FrameFixture f;
        QStringList told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q.text; });
        Navigation::tb2_ButtonClick(f.frame->windows, QStringLiteral("Back")); // no window: nothing
        QVERIFY(told.isEmpty());
        f.open(QStringLiteral("http://a.test/"));
        Navigation::goMenu(f.frame->windows, QStringLiteral("GoBack"));
        QVERIFY(told.isEmpty());
        Navigation::tb2_ButtonClick(f.frame->windows, QStringLiteral("Back"));
        QCOMPARE(told, QStringList{QStringLiteral("No more pages in the history for this Web Window!")});
        Navigation::tb2_ButtonClick(f.frame->windows, QStringLiteral("Forward"));
        QCOMPARE(told.size(), 2);
        f.activeWeb()->Navigate(QStringLiteral("http://b.test/"));
        Navigation::tb2_ButtonClick(f.frame->windows, QStringLiteral("Back"));
        QCOMPARE(told.size(), 2);
        QCOMPARE(f.activeWeb()->LocationURL(), QStringLiteral("http://a.test/"));
    }

    void menuCommandsReachTheActiveWindow()
    {
        FrameFixture f;
        f.frame->action(QStringLiteral("GoStop"))->trigger(); // no window: caption stays
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Quillon v2.1"));
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FrameFixture::web(w)->complete(QStringLiteral("Stopped page"));
        for (const char *item : {"GoRefresh", "GoHome", "GoSearch", "GoStop"})
            f.frame->action(QString::fromLatin1(item))->trigger();
        QCOMPARE(FrameFixture::web(w)->calls.mid(1),
                 QStringList({QStringLiteral("Refresh"), QStringLiteral("GoHome"), QStringLiteral("GoSearch"),
                              QStringLiteral("Stop")}));
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Stopped page"));
    }

    void newWindowGoesHome()
    {
        FrameFixture f;
        f.frame->action(QStringLiteral("NewWin"))->trigger();
        QCOMPARE(f.frame->windows->Tabctr, qint16(1));
        QCOMPARE(f.activeWeb()->calls, QStringList{QStringLiteral("GoHome")});
    }

    void closeActiveWindowKeepsTheFrameInTheTrayState()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.frame->windows->CloseActiveWin();
        QCOMPARE(f.frame->popStat->text(), QStringLiteral("Closing Active Web Window..."));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.frame->windows->childWindows().isEmpty());
    }

    // Closing the window in use goes back to the one used before it, not to the first
    // one opened; a window closed in the background changes nothing.
    void closingGoesBackToTheWindowUsedBefore()
    {
        FrameFixture f;
        ChildWindow *first = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *second = f.open(QStringLiteral("http://b.test/"));
        ChildWindow *third = f.open(QStringLiteral("http://c.test/"));
        ChildWindow *fourth = f.open(QStringLiteral("http://d.test/"));
        f.frame->tb->click(3);
        f.frame->tb->click(2);
        f.frame->action(QStringLiteral("NewWin"))->trigger();
        f.frame->windows->CloseActiveWin();
        QCOMPARE(f.frame->windows->activeChild(), second);
        f.frame->windows->CloseActiveWin();
        QCOMPARE(f.frame->windows->activeChild(), third);
        QCOMPARE(f.frame->tb->selectedIndex(), 3);
        fourth->close();
        QCOMPARE(f.frame->windows->activeChild(), third);
        f.frame->windows->CloseActiveWin();
        QCOMPARE(f.frame->windows->activeChild(), first);
        Q_UNUSED(second);
    }

    void tabsAndStatusBarShowLoading()
    {
        FrameFixture f;
        ChildWindow *back = f.open(QStringLiteral("http://back.test/"));
        ChildWindow *front = f.open(QStringLiteral("http://front.test/"));
        const qint64 loading = WindowManager::loadingIcon().cacheKey();
        QCOMPARE(f.frame->tb->icon(1).cacheKey(), loading);
        QCOMPARE(f.frame->tb->icon(2).cacheKey(), loading);
        QVERIFY(f.frame->loadProgress->isVisible());
        // Only the active window's progress reaches the status bar.
        FrameFixture::web(front)->progress(40);
        FrameFixture::web(back)->progress(90);
        QCOMPARE(f.frame->loadProgress->value(), 40);
        // The page's icon takes the loading sign's place; captions stay the Part's.
        QPixmap red(16, 16);
        red.fill(Qt::red);
        FrameFixture::web(front)->setPageIcon(QIcon(red));
        QCOMPARE(f.frame->tb->icon(2).cacheKey(), loading);
        FrameFixture::web(front)->complete(QStringLiteral("Front page"));
        QVERIFY(!f.frame->tb->icon(2).isNull());
        QVERIFY(f.frame->tb->icon(2).cacheKey() != loading);
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Front page"));
        QVERIFY(!f.frame->loadProgress->isVisible());
        // Switching to the window still loading shows its progress again.
        f.frame->tb->click(1);
        QVERIFY(f.frame->loadProgress->isVisible());
        QCOMPARE(f.frame->loadProgress->value(), 90);
        FrameFixture::web(back)->complete(QStringLiteral("Back page"));
        QVERIFY(f.frame->tb->icon(1).isNull()); // a page without an icon shows none
        // A closed window's spare tab keeps no icon.
        front->close();
        QTRY_VERIFY(f.frame->tb->icon(2).isNull());
    }
};

QUILLON_TEST_MAIN(TestBrowserWindow)
#include "tst_browserwindow.moc"
