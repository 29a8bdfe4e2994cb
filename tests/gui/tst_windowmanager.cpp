#include "sites/additionalsitespanel.h"
#include "browser/framebands.h"
#include "core/processstate.h"
#include "core/settingsstore.h"
#include "browser/windowmanager.h"
#include "framefixture.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/tabstrip.h"
#include "sites/defaultsitesmodel.h"
#include "sites/form2.h"
#include "sites/startuploading.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

void saveAllSlots(bool defaultsOn, int extras)
{
    using namespace SettingsStore;
    for (const char *k : {"c1", "c2", "c3", "c4", "c5", "c6", "c99", "c200"})
        SaveSetting(AppKey, QStringLiteral("Startup"), QLatin1String(k), defaultsOn ? QStringLiteral("1") : QStringLiteral("0"));
    const char *keys[] = {"sone", "stwo", "sthree", "sfour", "sfive", "scool", "snine", "szero"};
    for (int i = 0; i < 8; ++i)
        SaveSetting(AppKey, QStringLiteral("Startup"), QLatin1String(keys[i]), QStringLiteral("http://d%1.test/").arg(i + 1));
    const char *extraKeys[] = {"sone", "stwo", "sthree", "sfour", "sfive", "scool", "sseven", "seight", "snine", "sten",
                               "seleven", "stwelve", "s13", "s14", "s15", "s16", "s17", "s18", "s19", "s20", "s21",
                               "s22", "s23", "s24"};
    for (int row = 1; row <= 24; ++row) {
        SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c%1").arg(row),
                    row <= extras ? QStringLiteral("1") : QStringLiteral("0"));
        SaveSetting(AppKey, QStringLiteral("Startup1"), QLatin1String(extraKeys[row - 1]),
                    QStringLiteral("http://e%1.test/").arg(row));
    }
}
}

class TestWindowManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void openingNumbersWindowsAndTabs()
    {
        FrameFixture f;
        QCOMPARE(f.frame->tb->count(), 1); // the end tab
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        QCOMPARE(f.frame->tb->count(), 3);
        QCOMPARE(a->Tag, QStringLiteral("1"));
        QCOMPARE(b->Tag, QStringLiteral("2"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("2"));
        QCOMPARE(f.frame->tb->caption(3), QString());
        QCOMPARE(f.frame->windows->activeChild(), b);
        QCOMPARE(FrameFixture::web(b)->navigations, QStringList{QStringLiteral("http://b.test/")});
    }

    void secondOfThreeClosedThenItsSpareTabClicked()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        ChildWindow *second = f.open(QStringLiteral("http://b.test/"));
        f.open(QStringLiteral("http://c.test/"));
        FrameFixture::web(second)->complete(QStringLiteral("Second page"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Second page"));
        second->close();
        settle();
        QCOMPARE(f.frame->tb->caption(2), QString());
        QCOMPARE(f.frame->tb->toolTip(2), QStringLiteral("Spare Tab - Click to use..."));
        QCOMPARE(f.frame->tb->count(), 4);

        f.frame->tb->click(2);
        ChildWindow *fresh = f.windowTagged(QStringLiteral("2"));
        QVERIFY(fresh);
        QVERIFY(fresh != second);
        QCOMPARE(FrameFixture::web(fresh)->navigations, QStringList{QStringLiteral("about:blank")});
        QVERIFY(fresh->isMaximized());
        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
        FrameFixture::web(fresh)->complete(QStringLiteral("Blank again"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Blank again"));
    }

    void windowOneKeepsItsTabAndAClickMakesANewWindow()
    {
        FrameFixture f;
        ChildWindow *one = f.open(QStringLiteral("http://a.test/"));
        FrameFixture::web(one)->complete(QStringLiteral("First"));
        // Closed while its next page loads: the tab keeps its name but no longer says it is loading.
        one->Web1->Navigate(QStringLiteral("http://a.test/next"));
        QVERIFY(!f.frame->tb->icon(1).isNull());
        one->close();
        settle();
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("First"));
        QCOMPARE(f.frame->tb->toolTip(1), QStringLiteral("First"));
        QVERIFY(f.frame->tb->icon(1).isNull());
        f.frame->tb->click(1);
        QVERIFY(f.windowTagged(QStringLiteral("1")));
    }

    void tabClickShowsEveryWindowOfThatNumber()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        f.open(QStringLiteral("http://b.test/"));
        FrameFixture::web(a)->complete(QStringLiteral("A title that is rather longer than thirty characters"));
        f.frame->tb->click(1);
        QCOMPARE(f.frame->windows->activeChild(), a);
        QVERIFY(a->isMaximized());
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("A title that is rather longer "));
    }

    // Tab and Shift+Tab through the frame's controls reach the page in use, never another window.
    void tabKeyEntersTheActiveWindow()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        f.open(QStringLiteral("http://c.test/"));
        f.frame->tb->click(2);
        QCOMPARE(f.frame->windows->activeChild(), b);
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            QVERIFY(f.focusAddressBar());
            for (int i = 0; i < 40 && !f.frame->mdiArea->isAncestorOf(QApplication::focusWidget()); ++i)
                QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(b->Web1));
            QCOMPARE(f.frame->windows->activeChild(), b);
        }
    }

    void endTabClickOpensWindowWithoutChangingTheCounter()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.frame->tb->click(2); // the end tab
        ChildWindow *endWindow = f.windowTagged(QStringLiteral("2"));
        QVERIFY(endWindow);
        QCOMPARE(f.frame->windows->Tabctr, qint16(1));
        FrameFixture::web(endWindow)->complete(QStringLiteral("End"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("End"));
        // The next window also gets number 2: its tab goes in front and a click shows both.
        ChildWindow *next = f.open(QStringLiteral("http://c.test/"));
        QCOMPARE(next->Tag, QStringLiteral("2"));
        QCOMPARE(f.frame->tb->caption(3), QStringLiteral("End"));
        f.frame->tb->click(2);
        QCOMPARE(f.windowsTagged(QStringLiteral("2")).size(), 2);
    }

    void renameWithLeftControlAndCancel()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        KeyboardState::setOverride(1);
        QString asked;
        Dialogs::setInputHook([&](const QString &title, const QString &prompt) {
            asked = title + QLatin1Char('|') + prompt;
            return QStringLiteral("My tab");
        });
        f.frame->tb->click(1);
        QCOMPARE(asked, QStringLiteral("Tab description|Enter new Tab description"));
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("My tab"));
        Dialogs::setInputHook([](const QString &, const QString &) { return QString(); });
        f.frame->tb->click(1);
        QCOMPARE(f.frame->tb->caption(1), QString());
        QCOMPARE(f.frame->windows->activeChild(), b); // the selected window is not shown

        // A window before it goes while the box is up (a banned popup closing itself):
        // the name still goes to the window clicked.
        ChildWindow *c = f.open(QStringLiteral("http://c.test/"));
        Dialogs::setInputHook([&](const QString &, const QString &) {
            f.frame->windows->removeTab(1);
            a->Tag.clear();
            a->close();
            return QStringLiteral("Mail");
        });
        f.frame->tb->click(3);
        QCOMPARE(c->Tag, QStringLiteral("2"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Mail"));
        QVERIFY(f.frame->tb->caption(3).isEmpty());
    }

    void closeAllThenClickGivesAFreshWindow()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.open(QStringLiteral("http://b.test/"));
        f.frame->windows->closeAll();
        settle();
        QVERIFY(f.frame->windows->childWindows().isEmpty());
        QCOMPARE(f.frame->tb->count(), 3);
        QVERIFY(f.frame->isVisible()); // the frame itself stays
        f.frame->tb->click(2);
        QVERIFY(f.windowTagged(QStringLiteral("2")));
    }

    void counterStopsAt32767()
    {
        FrameFixture f;
        f.frame->windows->Tabctr = 32766;
        // Tab indices past the strip's count are refused quietly; the window still opens.
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        QCOMPARE(f.frame->windows->Tabctr, qint16(32767));
        QCOMPARE(a->Tag, QStringLiteral("32767"));
        QCOMPARE(b->Tag, QStringLiteral("32767"));
        QVERIFY(b->isVisible());
    }

    void removingAMiddleTabKeepsLaterWindowsOnTheirTabs()
    {
        FrameFixture f;
        ChildWindow *w1 = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *w2 = f.open(QStringLiteral("http://b.test/"));
        ChildWindow *w3 = f.open(QStringLiteral("http://c.test/"));
        FrameFixture::web(w3)->complete(QStringLiteral("Third"));
        f.frame->windows->removeTab(2);
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        QCOMPARE(w1->Tag, QStringLiteral("1"));
        QCOMPARE(w3->Tag, QStringLiteral("2"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Third"));
        FrameFixture::web(w3)->complete(QStringLiteral("Third again"));
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("Third again"));
        f.frame->tb->click(2);
        QCOMPARE(f.frame->windows->activeChild(), w3);
        Q_UNUSED(w2);
    }

    void tabBandHeightFollowsWindowsAndCommands()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        TabStrip *tb = f.frame->tb;
        QTRY_COMPARE(tb->height(), tb->button(1)->height());
        QCOMPARE(f.frame->CoolBar2->minHeightTwips(FrameBands::BandTabs), CoolBar::toTwips(tb->parentWidget()->height()) + 10);
        const int oneRow = tb->height();
        f.frame->action(QStringLiteral("mnuIncrease"))->trigger();
        QTRY_COMPARE(tb->height(), oneRow + CoolBar::toPixels(50));
        f.frame->action(QStringLiteral("mnuDecrease"))->trigger();
        QTRY_COMPARE(tb->height(), oneRow);
        // One row always shows.
        f.frame->action(QStringLiteral("mnuDecrease"))->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(tb->height(), oneRow);
    }

    void spareTabsNeverSwallowTheFrame()
    {
        FrameFixture f;
        f.frame->resize(800, 560);
        ChildWindow *first = f.open(QStringLiteral("http://first.test/"));
        for (int i = 0; i < 200; ++i) {
            f.frame->action(QStringLiteral("NewWin"))->trigger();
            f.frame->action(QStringLiteral("CloseActiveWin"))->trigger();
            settle();
        }
        f.frame->action(QStringLiteral("NewWin"))->trigger();
        QCoreApplication::processEvents();
        TabStrip *tb = f.frame->tb;
        QWidget *band = tb->parentWidget();
        const int oneRow = tb->button(1)->height();
        QCOMPARE(tb->count(), 203);
        QVERIFY(tb->button(203)->geometry().bottom() - tb->button(1)->geometry().top() > 6 * oneRow);
        // The frame is never made taller for the tabs, and the page keeps most of it.
        QCOMPARE(f.frame->height(), 560);
        QVERIFY(f.frame->minimumSizeHint().height() <= 560);
        QVERIFY(band->height() <= 560 / 3);
        QVERIFY(f.frame->mdiArea->height() >= 560 / 3);
        // Further rows are scrolled to; the active window's tab is in sight.
        auto inSight = [tb](int n) { return tb->rect().contains(tb->button(n)->geometry()); };
        QScrollBar *bar = tb->findChild<QScrollBar *>();
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(tb->selectedIndex(), 202);
        QVERIFY(inSight(202));
        QVERIFY(!inSight(1));
        f.frame->mdiArea->setActiveSubWindow(first);
        QCOMPARE(tb->selectedIndex(), 1);
        QVERIFY(inSight(1));
        const QPoint over = tb->rect().center();
        QWheelEvent down(over, tb->mapToGlobal(over), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(tb, &down);
        QVERIFY(!inSight(1));
        QVERIFY(tb->button(1)->geometry().bottom() < 0);

        // Decrease takes rows away, down to one; Increase gives them back up to the limit.
        const int shown = band->height();
        f.frame->action(QStringLiteral("mnuDecrease"))->trigger();
        QTRY_VERIFY(band->height() < shown);
        for (int i = 0; i < 100; ++i) {
            f.frame->action(QStringLiteral("mnuDecrease"))->trigger();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(tb->height(), oneRow);
        for (int i = 0; i < 100; ++i) {
            f.frame->action(QStringLiteral("mnuIncrease"))->trigger();
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(band->height() > 3 * oneRow);
        QVERIFY(band->height() <= 560 / 3);
        // A smaller frame takes the band down with it.
        f.frame->resize(800, 420);
        QTRY_VERIFY(band->height() <= 420 / 3);
        QCOMPARE(f.frame->height(), 420);
    }

    void windowsOpenedWhileTheFrameIsHiddenKeepTheTabBandSmall()
    {
        FrameFixture f(false);
        for (int i = 0; i < 3; ++i)
            f.open(QStringLiteral("http://s%1.test/").arg(i));
        const int oneRow = f.frame->tb->button(1)->sizeHint().height();
        QVERIFY(f.frame->CoolBar2->minHeightTwips(FrameBands::BandTabs) < CoolBar::toTwips(3 * oneRow));
    }

    void manyTabsWrapIntoRows()
    {
        FrameFixture f;
        f.frame->resize(900, 700);
        for (int i = 0; i < 40; ++i)
            f.open(QStringLiteral("http://s%1.test/").arg(i));
        QCoreApplication::processEvents();
        const int oneRow = f.frame->tb->button(1)->height();
        QVERIFY(f.frame->tb->height() > 2 * oneRow);
        // Every tab lies within the strip's width and is visible.
        for (int i = 1; i <= f.frame->tb->count(); ++i) {
            QToolButton *tab = f.frame->tb->button(i);
            QVERIFY(tab->isVisible());
            QVERIFY(tab->geometry().right() <= f.frame->tb->width());
            QVERIFY(tab->geometry().bottom() <= f.frame->tb->height());
        }
    }

    void allThirtyTwoSlotsOpenInOrder()
    {
        FrameFixture f;
        saveAllSlots(true, 24);
        f.frame->windows->Tabctr = 0;
        // The start-up timeline (what the start-up benchmark reads) gets one line per window, in tab order.
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.log"));
        qputenv("QUILLON_TRACE_LOG", trace.toLocal8Bit());
        StartupLoading::LoadSites(f.frame->windows);
        StartupLoading::LoadExtras(f.frame->windows, f.frame->panel(), ProcessState::skipstr);
        qunsetenv("QUILLON_TRACE_LOG");
        QFile log(trace);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList marks;
        for (const QByteArray &line : log.readAll().split('\n'))
            if (!line.isEmpty())
                marks << QString::fromLatin1(line.mid(line.indexOf(' ') + 1));
        QStringList expectedMarks;
        for (int n = 1; n <= 32; ++n)
            expectedMarks << QStringLiteral("navigate %1").arg(n);
        QCOMPARE(marks, expectedMarks);
        QCOMPARE(f.frame->windows->Tabctr, qint16(32));
        QCOMPARE(f.frame->tb->count(), 33);
        const int slotOrder[] = {2, 5, 4, 6, 3, 1, 8, 7};
        for (int n = 1; n <= 32; ++n) {
            ChildWindow *w = f.windowTagged(QString::number(n));
            QVERIFY2(w, qPrintable(QString::number(n)));
            const QString expected = n <= 8 ? QStringLiteral("http://d%1.test/").arg(slotOrder[n - 1])
                                            : QStringLiteral("http://e%1.test/").arg(n - 8);
            QCOMPARE(FrameFixture::web(w)->navigations, QStringList{expected});
        }
        // Fixed captions of the default slots; additional windows are maximised.
        QCOMPARE(f.windowTagged(QStringLiteral("6"))->windowTitle(), QStringLiteral("News and Information"));
        QCOMPARE(f.windowTagged(QStringLiteral("4"))->windowTitle(), QStringLiteral("International News"));
        QVERIFY(f.windowTagged(QStringLiteral("7"))->isMaximized() || f.windowTagged(QStringLiteral("32"))->isMaximized());
    }

    void emptyDefaultAddressOpensItsFallbackAndTheModelShowsIt()
    {
        FrameFixture f;
        saveAllSlots(false, 0);
        using namespace SettingsStore;
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c4"), QStringLiteral("1"));
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sfour"), QString());
        StartupLoading::LoadSites(f.frame->windows);
        ChildWindow *w = f.windowTagged(QStringLiteral("1"));
        QVERIFY(w);
        const QString fallback = QStringLiteral("https://duckduckgo.com/");
        QCOMPARE(FrameFixture::web(w)->navigations, QStringList{fallback});
        QCOMPARE(DefaultSitesModel::get().address(4), fallback);
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sfour"), QStringLiteral("x")), QString());
    }

    void loadDefaultsAgainReusesOpenWindows()
    {
        FrameFixture f;
        saveAllSlots(false, 0);
        using namespace SettingsStore;
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("1"));
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("1"));
        StartupLoading::LoadSites(f.frame->windows);
        ChildWindow *tool = f.windowTagged(QStringLiteral("1"));
        ChildWindow *news = f.windowTagged(QStringLiteral("2"));
        FrameFixture::web(tool)->complete(QStringLiteral("Tool page"));
        QCOMPARE(f.frame->tb->caption(1), QStringLiteral("Tool page"));
        news->close();
        settle();
        StartupLoading::LoadSites(f.frame->windows); // "LD"
        QCOMPARE(f.frame->windows->Tabctr, qint16(4));
        QCOMPARE(tool->Tag, QStringLiteral("3"));
        // Its old tab no longer names the page it does not show.
        QCOMPARE(f.frame->tb->caption(1), QString());
        QCOMPARE(f.frame->tb->toolTip(1), QStringLiteral("Spare Tab - Click to use..."));
        QCOMPARE(FrameFixture::web(tool)->navigations.size(), 2);
        ChildWindow *newNews = f.windowTagged(QStringLiteral("4"));
        QVERIFY(newNews && newNews != news);
    }

    void skipFlagKeepsAdditionalSitesClosedButFillsThePanel()
    {
        FrameFixture f;
        saveAllSlots(true, 3);
        ProcessState::skipstr = QStringLiteral("YES");
        f.frame->windows->Tabctr = 0;
        StartupLoading::LoadExtras(f.frame->windows, f.frame->panel(), ProcessState::skipstr);
        QCOMPARE(f.frame->windows->Tabctr, qint16(0));
        QVERIFY(f.frame->panel()->checkBox(2)->isChecked());
        QVERIFY(!f.frame->panel()->checkBox(4)->isChecked());
        QCOMPARE(f.frame->panel()->siteField(3)->text(), QStringLiteral("http://e3.test/"));
        // "LA" afterwards opens them.
        ProcessState::skipstr = QStringLiteral("NO");
        StartupLoading::LoadExtras(f.frame->windows, f.frame->panel(), ProcessState::skipstr);
        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
    }

    void addressesLongerThanALineEditsDefaultSurviveEditorsAndStartupLoading()
    {
        FrameFixture f;
        saveAllSlots(false, 0);
        using namespace SettingsStore;
        const QString longAddress = QStringLiteral("data:text/html,<title>Long</title>") + QString(40000, QLatin1Char('x'));
        for (const char *section : {"Startup", "Startup1"}) {
            SaveSetting(AppKey, QLatin1String(section), QStringLiteral("c2"), QStringLiteral("1"));
            SaveSetting(AppKey, QLatin1String(section), QStringLiteral("stwo"), longAddress);
        }
        // Saving either editor untouched writes back what it was given.
        Form2 *dialog = Form2::showOptions();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(!Form2::current());
        StartupLoading::LoadSites(f.frame->windows);
        StartupLoading::LoadExtras(f.frame->windows, f.frame->panel(), ProcessState::skipstr);
        QTest::mouseClick(f.frame->panel()->findChild<QPushButton *>(QStringLiteral("Command7")), Qt::LeftButton);
        for (const char *section : {"Startup", "Startup1"})
            QCOMPARE(GetSetting(AppKey, QLatin1String(section), QStringLiteral("stwo"), QString()).size(), longAddress.size());
        // Both windows are asked for the whole address.
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        for (const char *tag : {"1", "2"})
            QCOMPARE(FrameFixture::web(f.windowTagged(QLatin1String(tag)))->navigations.value(0).size(), longAddress.size());
    }

    void arrangementsMatch()
    {
        FrameFixture f;
        for (int i = 0; i < 3; ++i)
            f.open(QStringLiteral("http://s%1.test/").arg(i));
        f.frame->windows->tileVertically();
        QList<QRect> viaMenu;
        for (ChildWindow *w : f.frame->windows->childWindows())
            viaMenu << w->geometry();
        f.frame->windows->cascade();
        f.frame->action(QStringLiteral("Showallwins"))->trigger();
        QList<QRect> viaShowAll;
        for (ChildWindow *w : f.frame->windows->childWindows())
            viaShowAll << w->geometry();
        QCOMPARE(viaShowAll, viaMenu);
        // Side by side: equal widths, full height.
        QVERIFY(viaMenu.at(0).x() < viaMenu.at(1).x());
        QCOMPARE(viaMenu.at(0).height(), f.frame->mdiArea->viewport()->height());
    }
};

QUILLON_TEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
