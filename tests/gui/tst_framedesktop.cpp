// The frame as it sits on a desktop: tray or none, tiling many windows, its size
// and place, and the tab strip as people and screen readers meet it.
#include "browser/framebands.h"
#include "core/settingsstore.h"
#include "core/processstate.h"
#include "desktop/splashwindow.h"
#include "desktop/trayicon.h"
#include "framefixture.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "tools/rotation.h"
#include "platform/tabstrip.h"
#include "platform/windowplacement.h"
#include "sites/startupslots.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {
QString artifactsDir()
{
    const QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath() + QStringLiteral("/quillon-artifacts"));
    QDir().mkpath(dir);
    return dir;
}

void openTitled(FrameFixture &f, int count)
{
    for (int i = 1; i <= count; ++i) {
        ChildWindow *w = f.open(QStringLiteral("http://site%1.test/").arg(i));
        FrameFixture::web(w)->complete(i % 3 ? QStringLiteral("Site %1 - the news of the day").arg(i)
                                             : QStringLiteral("S%1").arg(i));
    }
}
}

class TestFrameDesktop : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { TrayIcon::setAvailableOverride(-1); }

    void restoredFromTheTaskBarTheFrameStaysRestored()
    {
        TrayIcon::setAvailableOverride(0);
        FrameFixture f;
        f.frame->HideToTray();
        QVERIFY(f.frame->isVisible());
        QVERIFY(f.frame->isMinimized());
        // The window manager brings it back: that is a restore from the tray.
        f.frame->setWindowState(f.frame->windowState() & ~Qt::WindowMinimized);
        QCOMPARE(FrameHost::statusText(f.frame->Status), QStringLiteral("MAX"));
        f.frame->action(QStringLiteral("NewWin"))->trigger();
        f.frame->windows->CloseActiveWin();
        QVERIFY(!f.frame->isMinimized());
        QVERIFY(f.frame->isVisible());
    }

    void aTrayThatComesAndGoesIsFollowed()
    {
        TrayIcon::setAvailableOverride(0);
        FrameFixture f;
        f.frame->HideToTray();
        QVERIFY(f.frame->isMinimized());
        auto *icon = f.frame->findChild<QSystemTrayIcon *>(QStringLiteral("pichook"));
        QVERIFY(!icon || !icon->isVisible());

        TrayIcon::setAvailableOverride(1); // a panel with a tray starts
        QTRY_VERIFY_WITH_TIMEOUT(!f.frame->isVisible(), 10000);
        icon = f.frame->findChild<QSystemTrayIcon *>(QStringLiteral("pichook"));
        QVERIFY(icon && icon->isVisible());

        TrayIcon::setAvailableOverride(0); // and goes away again: the frame must not be lost
        QTRY_VERIFY_WITH_TIMEOUT(f.frame->isVisible(), 10000);
        QVERIFY(f.frame->isMinimized());
        QVERIFY(!icon->isVisible());
        QCOMPARE(FrameHost::statusText(f.frame->Status), QStringLiteral("MIN"));
        f.frame->RestoreFromTray();
        QCOMPARE(FrameHost::statusText(f.frame->Status), QStringLiteral("MAX"));
        QVERIFY(!f.frame->isMinimized());
    }

    // The favourites window goes to the tray with the frame and comes back with it.
    void theFramesOwnWindowsGoToTheTrayWithIt()
    {
        TrayIcon::setAvailableOverride(1);
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.frame->action(QStringLiteral("mnu_ViewFavorites"))->trigger();
        auto *favs = f.frame->findChild<QWidget *>(QStringLiteral("Favs"));
        QVERIFY(favs && favs->isVisible());
        f.frame->action(QStringLiteral("Down"))->trigger(); // "&Place in tray"
        QVERIFY(!f.frame->isVisible());
        QVERIFY(!favs->isVisible());
        f.frame->RestoreFromTray();
        QVERIFY(f.frame->isVisible());
        QVERIFY(favs->isVisible());
    }

    void manyWindowsTileIntoAReadableGrid_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("windows");
        QTest::addColumn<double>("fraction"); // of the area's width and height each window keeps at least
        QTest::newRow("Show All, 32") << "Showallwins" << 32 << 1.0 / 7;
        QTest::newRow("Tile Vertically, 32") << "tilev" << 32 << 1.0 / 7;
        QTest::newRow("Tile Horizontally, 32") << "TileH" << 32 << 1.0 / 7;
        QTest::newRow("Cascade, 32") << "Cascade" << 32 << 0.5;
        QTest::newRow("Cascade, 8") << "Cascade" << 8 << 0.5;
        QTest::newRow("Tile Vertically, 3: strips") << "tilev" << 3 << 1.0 / 3;
    }
    void manyWindowsTileIntoAReadableGrid()
    {
        QFETCH(QString, command);
        QFETCH(int, windows);
        QFETCH(double, fraction);
        FrameFixture f;
        f.frame->resize(1200, 820);
        openTitled(f, windows);
        // The tab rows settle, and with them the area.
        QTRY_COMPARE(f.frame->CoolBar2->height(), f.frame->CoolBar2->sizeHint().height());
        QMdiSubWindow *active = f.frame->mdiArea->subWindowList(QMdiArea::CreationOrder).at(windows / 2);
        f.frame->mdiArea->setActiveSubWindow(active);
        f.frame->action(command)->trigger();
        QCoreApplication::processEvents();
        const QSize area = f.frame->mdiArea->viewport()->size();
        QVERIFY(area.width() > 400 && area.height() > 200);
        const QList<QMdiSubWindow *> list = f.frame->mdiArea->subWindowList();
        QCOMPARE(list.size(), windows);
        QSet<QPoint> corners;
        for (QMdiSubWindow *w : list) {
            const QRect r = w->geometry();
            QVERIFY2(QRect(QPoint(0, 0), area).contains(r), qPrintable(QStringLiteral("%1,%2 %3x%4 outside")
                                                                          .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
            QVERIFY(r.width() >= area.width() * fraction - 1);
            QVERIFY(r.height() >= area.height() * fraction - 1);
            corners.insert(r.topLeft());
        }
        if (command != QLatin1String("Cascade")) {
            QCOMPARE(corners.size(), windows); // tiles do not overlap one another's corners
        }
        // The window the user was in stays active, and in front of any it overlaps.
        QCOMPARE(f.frame->mdiArea->activeSubWindow(), active);
        QCOMPARE(f.frame->mdiArea->subWindowList(QMdiArea::StackingOrder).last(), active);
        if (command == QLatin1String("Cascade") ? windows == 8 : command == QLatin1String("Showallwins"))
            QVERIFY(f.frame->grab().save(artifactsDir() + QStringLiteral("/%1-%2-windows.png").arg(command).arg(windows)));
    }

    void frameGeometryIsKeptAndFittedToTheScreens()
    {
        FrameFixture f;
        const QRect screen = WindowPlacement::availableAreas().first();
        QVERIFY(screen.contains(f.frame->geometry())); // the first size fits
        f.frame->setGeometry(QRect(screen.topLeft() + QPoint(60, 70), QSize(900, 600)));
        f.frame->saveFrameGeometry();
        {
            mdiform1 next;
            QCOMPARE(next.geometry(), QRect(screen.topLeft() + QPoint(60, 70), QSize(900, 600)));
            QVERIFY(!next.isMaximized());
        }
        // Saved on a larger screen, maximised: today's screen is smaller.
        SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"),
                                   QStringLiteral("2500 1400 2400 1600 1"));
        {
            mdiform1 next;
            QVERIFY(screen.contains(next.geometry()));
            QVERIFY(next.windowState() & Qt::WindowMaximized);
        }
        // A damaged value gives the first size.
        SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"),
                                   QStringLiteral("12 x 9"));
        {
            mdiform1 next;
            QCOMPARE(next.geometry(), mdiform1::firstGeometry(screen));
        }
    }

    void startUpLeavesTheFrameItsSavedSize()
    {
        // The additional-sites panel shows while start-up loads: taller than this frame.
        FrameFixture f(false);
        SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"),
                                   QStringLiteral("60 70 760 340 0"));
        f.frame->restoreFrameGeometry();
        QCOMPARE(f.frame->size(), QSize(760, 340));
        QVERIFY(f.frame->MDIForm_Load(false));
        QVERIFY(f.frame->windows->Tabctr > 0);
        QCOMPARE(f.frame->size(), QSize(760, 340));
    }

    // Start-up opens its windows in a frame never shown: the tab band is sized for the
    // rows the tabs take at the frame's width, not at the width of an earlier layout.
    void startUpSizesTheTabBandForItsRows()
    {
        FrameFixture f(false);
        using namespace SettingsStore;
        const QStringList keys{"sone", "stwo", "sthree", "sfour", "sfive", "scool", "sseven", "seight"};
        for (int i = 0; i < keys.size(); ++i) {
            SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c%1").arg(i + 1), QStringLiteral("1"));
            SaveSetting(AppKey, QStringLiteral("Startup1"), keys[i], QStringLiteral("http://x%1.test/").arg(i));
        }
        SaveSetting(AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"), QStringLiteral("60 70 1200 820 0"));
        f.frame->restoreFrameGeometry();
        QVERIFY(f.frame->MDIForm_Load(false));
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame));
        TabStrip *tb = f.frame->tb;
        const int rows = tb->rowsHeight(tb->width());
        QVERIFY2(rows < 3 * tb->rowHeight(), qPrintable(QString::number(rows)));
        QVERIFY2(tb->height() >= rows && tb->height() <= rows + 2,
                 qPrintable(QStringLiteral("rows %1, strip %2").arg(rows).arg(tb->height())));
    }

    // The last start-up window fills the second row and pushes the end tab onto a third: the
    // band has room for it, though the frame was hidden when the row began.
    void startUpGivesTheEndTabARowOfItsOwn()
    {
        FrameFixture f(false);
        using namespace SettingsStore;
        SaveSetting(AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"), QStringLiteral("60 70 1200 820 0"));
        f.frame->restoreFrameGeometry();
        TabStrip *tb = f.frame->tb;
        WindowPlacement::layOutUnshown(tb);
        // The captioned tabs a row holds, with the strip's scroll bar showing beside them.
        const int perRow = (tb->width() - 20) / (tb->captionedTabWidth() + 2);
        QVERIFY(perRow >= 4 && 2 * perRow <= 32);
        for (int i = 1; i <= 32; ++i) {
            const StartupSlot &slot = StartupSlots::slot(i);
            SaveSetting(AppKey, QLatin1String(slot.section), QLatin1String(slot.flagKey), i <= 2 * perRow ? "1" : "0");
            SaveSetting(AppKey, QLatin1String(slot.section), QLatin1String(slot.addressKey),
                        QStringLiteral("http://x%1.test/").arg(i));
        }
        QVERIFY(f.frame->MDIForm_Load(false));
        QCOMPARE(f.frame->windows->Tabctr, 2 * perRow);
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame));
        const int rows = tb->rowsHeight(tb->width());
        QVERIFY2(rows > 2 * tb->rowHeight(), qPrintable(QString::number(rows)));
        QVERIFY2(tb->height() >= rows, qPrintable(QStringLiteral("rows %1, strip %2").arg(rows).arg(tb->height())));
    }

    // The screen became smaller while the frame waited in the tray: it comes back onto it.
    void aFrameRestoredFromTheTrayComesBackOnTheScreen()
    {
        TrayIcon::setAvailableOverride(1);
        FrameFixture f;
        const QRect area = WindowPlacement::availableAreas().first();
        f.frame->action(QStringLiteral("Down"))->trigger(); // "&Place in tray"
        QVERIFY(!f.frame->isVisible());
        f.frame->setGeometry(area.right() - 300, area.top() + 100, 1200, 820); // where a wider screen had room
        f.frame->RestoreFromTray();
        QVERIFY(f.frame->isVisible());
        QVERIFY2(area.contains(f.frame->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(f.frame->x()).arg(f.frame->y())
                                                                   .arg(f.frame->width()).arg(f.frame->height())));
    }

    void placementFitsScreensThatExistNow()
    {
        const QRect left(0, 0, 1600, 1000), right(1600, 0, 1066, 666);
        // On the screen that is gone: to the one left, whole.
        QVERIFY(left.contains(WindowPlacement::clampToScreens(QRect(3000, 100, 800, 600), {left})));
        // Mostly on the smaller right screen and larger than it: shrunk onto it.
        const QRect r = WindowPlacement::clampToScreens(QRect(1500, 50, 1800, 1230), {left, right});
        QVERIFY(right.contains(r));
        QCOMPARE(r.size(), right.size());
        // A 1600x1000 screen at scale 1.5 is 1066x666: the first size fits inside it.
        QVERIFY(right.contains(mdiform1::firstGeometry(right)));
    }

    void selectedTabFollowsTheActiveWindow()
    {
        FrameFixture f;
        QList<ChildWindow *> w;
        for (int i = 1; i <= 4; ++i) {
            w << f.open(QStringLiteral("http://s%1.test/").arg(i));
            QCOMPARE(f.frame->tb->selectedIndex(), i); // a new window
        }
        f.frame->tb->click(2);
        QCOMPARE(f.frame->tb->selectedIndex(), 2);
        f.frame->mdiArea->activateNextSubWindow(); // what Ctrl+Tab does
        QCOMPARE(f.frame->tb->selectedIndex(), f.frame->windows->activeChild()->Tag.toInt());
        f.frame->action(QStringLiteral("NewWin"))->trigger(); // F6
        QCOMPARE(f.frame->tb->selectedIndex(), 5);
        f.frame->windows->CloseActiveWin();
        QTRY_VERIFY(f.frame->windows->activeChild());
        QCOMPARE(f.frame->tb->selectedIndex(), f.frame->windows->activeChild()->Tag.toInt());
        const int before = f.frame->tb->selectedIndex();
        f.frame->rotation->Timer1_Timer(); // a rotation tick
        QVERIFY(f.frame->tb->selectedIndex() != before);
        QCOMPARE(f.frame->tb->selectedIndex(), f.frame->windows->activeChild()->Tag.toInt());
        f.frame->action(QStringLiteral("Showallwins"))->trigger();
        QCOMPARE(f.frame->tb->selectedIndex(), f.frame->windows->activeChild()->Tag.toInt());
    }

    void stripAndToolbarsReadWellToAScreenReader()
    {
        FrameFixture f;
        openTitled(f, 2);
        f.frame->windows->makeSpareTab(1);
        f.frame->tb->setToolTip(2, QStringLiteral("The whole title of page two"));
        QAccessibleInterface *strip = QAccessible::queryAccessibleInterface(f.frame->tb);
        QVERIFY(strip);
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QCOMPARE(strip->childCount(), f.frame->tb->count());
        QAccessibleInterface *tab = QAccessible::queryAccessibleInterface(f.frame->tb->button(2));
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), f.frame->tb->caption(2));
        QCOMPARE(tab->text(QAccessible::Description), QStringLiteral("The whole title of page two"));
        QVERIFY(tab->state().selected);
        QVERIFY(!tab->state().checkable);
        QAccessibleInterface *first = QAccessible::queryAccessibleInterface(f.frame->tb->button(1));
        QVERIFY(!first->state().selected);
        first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(first->state().selected);
        QCOMPARE(f.frame->tb->selectedIndex(), 1);

        QCOMPARE(QAccessible::queryAccessibleInterface(f.frame)->text(QAccessible::Name), f.frame->windowTitle());
        for (QToolBar *bar : {f.frame->tb2, f.frame->Quick})
            for (QAction *a : bar->actions()) {
                QAccessibleInterface *button = QAccessible::queryAccessibleInterface(bar->widgetForAction(a));
                QVERIFY2(button->text(QAccessible::Name).size() > 2, qPrintable(a->objectName()));
            }
    }

    void tabsKeepTheirRowsAndTheStripShrinksBack()
    {
        FrameFixture f;
        f.frame->resize(1200, 820);
        for (int i = 1; i <= 32; ++i)
            f.open(QStringLiteral("http://s%1.test/").arg(i));
        QCoreApplication::processEvents();
        QList<QRect> places;
        for (int i = 1; i <= 32; ++i)
            places << f.frame->tb->button(i)->geometry();
        // Titles of every length arrive: no tab moves.
        for (ChildWindow *w : f.frame->windows->childWindows())
            FrameFixture::web(w)->complete(QString(w->Tag.toInt() * 3, QLatin1Char('W')));
        QCoreApplication::processEvents();
        for (int i = 1; i <= 32; ++i)
            QCOMPARE(f.frame->tb->button(i)->geometry(), places[i - 1]);
        const int rowHeight = f.frame->tb->button(1)->height();
        QVERIFY(f.frame->tb->height() > 2 * rowHeight);

        f.frame->windows->closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(f.frame->tb->height() < 2 * rowHeight);
        QVERIFY(f.frame->CoolBar2->minHeightTwips(FrameBands::BandTabs) < CoolBar::toTwips(2 * rowHeight));
    }

    void thirtyTwoTabsStayReadableAt1200()
    {
        FrameFixture f;
        f.frame->resize(1200, 820);
        openTitled(f, 32);
        const QIcon icon = f.frame->windowIcon();
        for (int i = 1; i <= 32; i += 2)
            f.frame->tb->setIcon(i, icon);
        f.frame->tb->click(5);
        QCoreApplication::processEvents();
        const int rowHeight = f.frame->tb->button(1)->height();
        QVERIFY(f.frame->tb->height() <= 6 * rowHeight);
        for (int i = 1; i <= 32; ++i) {
            QToolButton *tab = f.frame->tb->button(i);
            QVERIFY(tab->width() >= f.frame->tb->captionedTabWidth());
            QVERIFY(tab->geometry().right() < f.frame->tb->width());
        }
        QVERIFY(f.frame->grab().save(artifactsDir() + QStringLiteral("/tabs-32-at-1200.png")));
    }

    void popupsAndBoxesOpenWhereTheyCanBeSeen()
    {
        FrameFixture f;
        f.frame->resize(800, 560);
        ChildWindow *opener = f.open(QStringLiteral("http://a.test/"));
        QCoreApplication::processEvents();
        const QRect area(QPoint(0, 0), f.frame->mdiArea->viewport()->size());
        for (int i = 0; i < 3; ++i) { // within the popup flood bound
            QWidget *w = FrameFixture::web(opener)->requestNewWindow();
            while (w && !qobject_cast<QMdiSubWindow *>(w))
                w = w->parentWidget();
            QVERIFY2(w, qPrintable(QString::number(i)));
            QVERIFY(area.contains(w->geometry()));
        }

        // A box with no parent given opens over the active frame, inside the screen.
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QRect box;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                box = shown->geometry();
                shown->close();
            }
        });
        poll.start(20);
        Dialogs::tell(nullptr, QStringLiteral("Favorites Error"), QStringLiteral("Could not load favorites!"),
                      QMessageBox::Critical);
        QVERIFY(box.isValid());
        QVERIFY(f.frame->frameGeometry().contains(box.center()));
        QVERIFY(WindowPlacement::availableAreaFor(f.frame).contains(box));

        // Its owner hidden in the tray: the middle of the screen, not a corner.
        TrayIcon::setAvailableOverride(1);
        f.frame->HideToTray();
        QVERIFY(!f.frame->isVisible());
        box = QRect();
        Dialogs::tell(f.frame, QStringLiteral("Favorites Error"), QStringLiteral("Could not load favorites!"),
                      QMessageBox::Critical);
        const QRect screen = WindowPlacement::availableAreaFor(nullptr);
        QVERIFY(screen.contains(box));
        QVERIFY((box.center() - screen.center()).manhattanLength() < 40);
    }

    void aLeftControlStartSaysThatNothingLoads()
    {
        FrameFixture f(false);
        ProcessState::skipstr = QStringLiteral("YES");
        QVERIFY(f.frame->MDIForm_Load(false));
        QCOMPARE(f.frame->windows->Tabctr, qint16(0));
        QVERIFY(!f.frame->statusText().contains(QStringLiteral("Loading")));
        QVERIFY(splash::wordsText().contains(QStringLiteral("no start-up sites")));
        ProcessState::skipstr.clear();
        QVERIFY(splash::wordsText().startsWith(QStringLiteral("Loading")));
    }

    void aStartWithNoSiteEnabledSaysSo()
    {
        FrameFixture f(false);
        for (const char *flag : {"c1", "c2", "c3", "c4", "c5", "c6", "c99", "c200"})
            QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QLatin1String(flag),
                                               QStringLiteral("0")));
        QVERIFY(f.frame->MDIForm_Load(false));
        QCOMPARE(f.frame->windows->Tabctr, qint16(0));
        QCOMPARE(f.frame->statusText(), QStringLiteral("Ready - no start-up sites are enabled"));
    }

    void hidingTheToolbarsLeavesTheFocusWithTheActivePage()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        f.frame->cboAddress->setFocus();
        QTRY_VERIFY(f.frame->cboAddress->isAncestorOf(QApplication::focusWidget())
                    || QApplication::focusWidget() == f.frame->cboAddress);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
        QVERIFY(f.frame->CoolBar1->isHidden());
        QCOMPARE(f.frame->windows->activeChild(), b);
        QVERIFY(b->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(!a->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
        QVERIFY(f.frame->CoolBar1->isVisible());
    }
};

QUILLON_TEST_MAIN(TestFrameDesktop)
#include "tst_framedesktop.moc"
