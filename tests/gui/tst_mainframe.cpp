#include "browser/framebands.h"
#include "core/paths.h"
#include "core/settingsstore.h"
#include "core/windowregistry.h"
#include "platform/dialogs.h"
#include "favorites/favoritescommands.h"
#include "framefixture.h"
#include "programrecorder.h"
#include "platform/coolbar.h"
#include "platform/endsignals.h"
#include "tools/rotation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {
// name|caption|shortcut|check ("" none, "0", "1"); a menu line starts with "#" and ends with "hidden" if so.
const char *expectedTree[] = {
    "#mnuPDs|&Personal|hidden",
    "n1|&First Name||", "n2|&Surname||", "n3|&Email Address||", "n4|&URL||", "n5|Street &Address||",
    "n6|&City||", "n12|S&tate||", "n7|&Zip / Postcode||", "n8|Countr&y||", "n9|&Phone||", "n10|&Fax||",
    "n11|Hide &Menu||",
    "#File|&File|", "Down|&Place in tray|F2|", "NewWin|&New Window|F6|", "browser|Launch &Browser (IE)||",
    "LoadinIE|Load active window in I&E||", "CloseActiveWin|&Close Active Window||", "S|-||",
    "mnu_PageSetup|Page &Setup...||", "Print|&Print...||", "PrintAll|Print &All Open Windows||", "mnu_line|-||",
    "exit|E&xit                  Alt+F4||",
    "#mnuEdit|&Edit|", "mnu_Cut|Cut|Ctrl+X|", "mnu_Copy|Copy|Ctrl+C|", "mnu_paste|Paste|Ctrl+V|", "mnued1|-||",
    "mnu_SelAll|Select All|Ctrl+A|", "mnued2|-||", "mnu_find|Find (On this page)...|Ctrl+F|",
    "#SitesLoad|Web &Sites|", "Options|&Default Sites (1-8)...|Ctrl+U|",
    "ShowAddSites|Edit &Additional Sites (9-32)...|Ctrl+H|", "RefreshIT|Auto-Refresh||", "IE|Work Online|Ctrl+I|1",
    "#Popus|Pop&ups|", "EnDiBoxes|&Allow Popup windows||1", "Internally|&View Popup windows in IE||0",
    "Block|Block PopUps Permanently...||",
    "#mnuFavs|F&avorites|", "AddtoFavs|Add to Favorites...||", "mnu_OrganizeFavorites|Organize Favorites...||",
    "mnu_ViewFavorites|My Favorites...||",
    "#MyOptions|&Options|", "mnu_InterNetOptions|&Internet Options...||",
    "personal|Modify Personal &Details...|Ctrl+M|", "mnuIncrease|&Increase Tabs Space|Ctrl+F1|",
    "mnuDecrease|&Decrease Tabs Space|Ctrl+F2|",
    "#Go|&Go|", "GoBack|&Back||", "GoForward|&Forward||", "GoRefresh|&Refresh||", "GoHome|&Home||",
    "GoSearch|&Search||", "GoStop|S&top||",
    "#mnmail|&Mail|", "RunMail|Send &Mail...|F8|",
    "#Toolbars|&Toolbars|", "SMSFlick|Rotaview / &Advanced Toolbar|Ctrl+W|", "MT|&Hide / Show All Toolbars|F4|",
    "bis|&Built-in Sites||", "Show|Show / Hide Personal Details &Menu|Ctrl+D|",
    "#Window|&Window|", "Showallwins|Show &All Windows|F11|", "qqq|-||", "Cascade|&Cascade Windows||",
    "tilev|Tile &Vertically||", "TileH|Tile &Horizontally||", "Arrange|&Arrange Icons||",
    "#Help|&Help|", "tipday|&Tip of the Day||", "About|A&bout Quillon||",
    "#mnuBar|PopupMenu|hidden", "sendMail|Send &Mail||", "RestoreM|&Restore||", "Aboutit|&About Quillon||",
    "mnuMain|&Quit||",
};
}

class TestMainFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void menuTreeMatchesTheTable()
    {
        FrameFixture f;
        QStringList actual;
        for (QAction *top : f.frame->menuBar()->actions()) {
            actual << QStringLiteral("#%1|%2|%3").arg(top->objectName(), top->text(),
                                                     top->isVisible() ? QString() : QStringLiteral("hidden"));
            for (QAction *item : top->menu()->actions()) {
                const QString check = item->isCheckable() ? QString::number(item->isChecked()) : QString();
                actual << QStringLiteral("%1|%2|%3|%4")
                              .arg(item->objectName(), item->isSeparator() ? QStringLiteral("-") : item->text(),
                                   item->shortcut().toString(), check);
            }
        }
        QStringList expected;
        for (const char *line : expectedTree)
            expected << QString::fromUtf8(line);
        QCOMPARE(actual, expected);
    }

    // Ctrl+I keeps its check mark and leaves no outside browser open.
    void workOnlineKeepsItsCheckAndStartsNothing()
    {
        FrameFixture f;
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("rec-browser")));
        qputenv("BROWSER", "rec-browser");
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        a->Web1->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(a->Web1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(f.frame->action(QStringLiteral("IE"))->isChecked());
        // A launch that does start one: it must be the only programme seen.
        f.frame->action(QStringLiteral("LoadinIE"))->trigger();
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("http://a.test/")}));
    }

    void toolbarsCarryTheirKeysAndTips()
    {
        FrameFixture f;
        QStringList quick;
        for (QAction *a : f.frame->Quick->actions())
            quick << a->data().toString() + QLatin1Char('=') + a->toolTip();
        QCOMPARE(quick, QStringList({QStringLiteral("F=Full Screen"), QStringLiteral("R=Refresh Rate"),
                                     QStringLiteral("W=Rotaview Toolbar"), QStringLiteral("IE=Load active window in IE"),
                                     QStringLiteral("P=Print ALL open Web Windows..."),
                                     QStringLiteral("LD=Load ALL default sites..."),
                                     QStringLiteral("LA=Load ALL additional sites..."),
                                     QStringLiteral("X=Close ALL windows")}));
        QStringList go;
        for (QAction *a : f.frame->tb2->actions())
            go << a->data().toString();
        QCOMPARE(go, QStringList({QStringLiteral("New"), QStringLiteral("Back"), QStringLiteral("Forward"),
                                  QStringLiteral("Stop"), QStringLiteral("Refresh"), QStringLiteral("Home"),
                                  QStringLiteral("Favorites"), QStringLiteral("Search"), QStringLiteral("ShowAll")}));
    }

    void bandsHideAndShowAsGroups()
    {
        FrameFixture f;
        CoolBar *bar = f.frame->CoolBar1;
        QCOMPARE(bar->bandCount(), 8);
        QVERIFY(!bar->isBandVisible(3));
        bar->setBandVisible(6, false);
        f.frame->action(QStringLiteral("SMSFlick"))->trigger(); // band 4 visible: all five hide
        for (int band = 4; band <= 8; ++band)
            QVERIFY(!bar->isBandVisible(band));
        f.frame->action(QStringLiteral("SMSFlick"))->trigger();
        for (int band = 4; band <= 8; ++band)
            QVERIFY(bar->isBandVisible(band));
        f.frame->rotation->cmdHide_Click();
        QVERIFY(!bar->isBandVisible(4) && !bar->isBandVisible(8));
        f.frame->action(QStringLiteral("SMSFlick"))->trigger();
        QVERIFY(bar->isBandVisible(4) && bar->isBandVisible(8));

        // Each band bar flips on its own.
        f.frame->CoolBar2->hide();
        f.frame->action(QStringLiteral("MT"))->trigger();
        QVERIFY(f.frame->CoolBar1->isHidden() && !f.frame->CoolBar2->isHidden());
        f.frame->action(QStringLiteral("MT"))->trigger();
        QVERIFY(!f.frame->CoolBar1->isHidden() && f.frame->CoolBar2->isHidden());
    }

    void builtinBandFollowsItsSetting()
    {
        FrameFixture f;
        using namespace SettingsStore;
        f.frame->action(QStringLiteral("bis"))->trigger();
        QVERIFY(!f.frame->CoolBar2->isBandVisible(FrameBands::BandBuiltins));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Builtins"), 1), QStringLiteral("0"));
        f.frame->action(QStringLiteral("bis"))->trigger();
        QVERIFY(f.frame->CoolBar2->isBandVisible(FrameBands::BandBuiltins));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Builtins"), 1), QStringLiteral("1"));
    }

    void builtinBandThatCannotBeSavedSaysSo()
    {
        QStringList told; // outlives the frame, whose fixture takes the hook away
        FrameFixture f;
        QVERIFY(f.home->makeConfigDirUnwritable());
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q.text; });
        f.frame->action(QStringLiteral("bis"))->trigger();
        QVERIFY(!f.frame->CoolBar2->isBandVisible(FrameBands::BandBuiltins)); // as asked, for this run
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(QStringLiteral("Your choice could not be saved")), qPrintable(told[0]));
        QVERIFY(told[0].contains(Paths::settingsFile()));
    }

    void rotationSwitchesAndCaptions()
    {
        FrameFixture f;
        f.frame->Slider1->setEnabled(false);
        f.frame->Slider1->setValue(3);
        QCOMPARE(f.frame->Timer1->interval(), 3000);
        f.frame->FlickCheck13->setChecked(true);
        QVERIFY(f.frame->Timer1->isActive());
        QVERIFY(f.frame->Slider1->isEnabled());
        QCOMPARE(f.frame->FlickCheck13->text(), QStringLiteral("Rotaview (3)"));
        f.frame->Slider1->setValue(10);
        QCOMPARE(f.frame->Timer1->interval(), 10000);
        QCOMPARE(f.frame->FlickCheck13->text(), QStringLiteral("Rotaview (3)"));
        f.frame->Slider1->setValue(45);
        QCOMPARE(f.frame->Timer1->interval(), 45000);
        f.frame->FlickCheck13->setChecked(false);
        QVERIFY(!f.frame->Timer1->isActive());
        QVERIFY(!f.frame->Slider1->isEnabled());
        QCOMPARE(f.frame->FlickCheck13->text(), QStringLiteral("Rotaview"));
    }

    // Space switches rotation on and off from the keyboard; the focus stays on the box, so
    // a second Space does not land on "Search the Web Now".
    void spaceOnTheRotaviewBoxKeepsTheFocus()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QWidget *box = f.frame->FlickCheck13;
        box->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        for (const bool on : {true, false}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QCOMPARE(f.frame->FlickCheck13->isChecked(), on);
            QCOMPARE(f.frame->Timer1->isActive(), on);
            QCOMPARE(QApplication::focusWidget(), box);
        }
        QCOMPARE(f.frame->mdiArea->subWindowList().size(), 1); // no search window
    }

    void rotationTicksWalkTheWindowsWithWrapAround()
    {
        FrameFixture f;
        f.frame->rotation->Timer1_Timer(); // no window: nothing happens
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        f.frame->rotation->Timer1_Timer();
        QCOMPARE(f.frame->windows->activeChild(), a); // one window stays active
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        ChildWindow *c = f.open(QStringLiteral("http://c.test/"));
        f.frame->mdiArea->setActivationOrder(QMdiArea::CreationOrder);
        f.frame->mdiArea->setActiveSubWindow(a);
        QList<ChildWindow *> seen;
        for (int i = 0; i < 4; ++i) {
            f.frame->rotation->Timer1_Timer();
            seen << f.frame->windows->activeChild();
        }
        QCOMPARE(seen, QList<ChildWindow *>({b, c, a, b}));
    }

    // A tick while an address is being typed would move the keyboard into the next page;
    // on the frame's other controls the ticks move the windows on and the keyboard stays put.
    void rotationLeavesTheKeyboardWhereThePersonIs()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        f.open(QStringLiteral("http://b.test/"));
        f.frame->mdiArea->setActiveSubWindow(a);
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        f.frame->FlickCheck13->setChecked(true);
        a->Web1->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(a->Web1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(f.frame->cboAddress->hasFocus());
        QMetaObject::invokeMethod(f.frame->Timer1, "timeout"); // before the first key, too
        QVERIFY(f.frame->cboAddress->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));

        QMetaObject::invokeMethod(f.frame->Timer1, "timeout");
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(".test"));
        QVERIFY(f.frame->cboAddress->hasFocus());
        QCOMPARE(f.frame->addressText(), QStringLiteral("typed.test"));
        QCOMPARE(f.frame->windows->activeChild(), a);

        // Back in the page, the next tick rotates.
        a->Web1->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(a->Web1->hasFocus());
        QMetaObject::invokeMethod(f.frame->Timer1, "timeout");
        QVERIFY(f.frame->windows->activeChild() != a);

        const QList<QWidget *> controls = {f.frame->FlickCheck13, f.frame->MP3, f.frame->Slider1};
        for (QWidget *control : controls) {
            control->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), control);
            ChildWindow *before = f.frame->windows->activeChild();
            QMetaObject::invokeMethod(f.frame->Timer1, "timeout");
            QVERIFY(f.frame->windows->activeChild() != before);
            QCOMPARE(QApplication::focusWidget(), control);
        }
        // In a dialog of the programme, modal or not, the windows behind it stay where they are.
        for (const Qt::WindowModality modality : {Qt::ApplicationModal, Qt::NonModal}) {
            QDialog dialog(f.frame);
            auto *field = new QLineEdit(&dialog);
            dialog.setWindowModality(modality);
            dialog.show();
            dialog.activateWindow();
            field->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(field->hasFocus());
            ChildWindow *before = f.frame->windows->activeChild();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
            QMetaObject::invokeMethod(f.frame->Timer1, "timeout");
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("cd"));
            QCOMPARE(f.frame->windows->activeChild(), before);
            QCOMPARE(field->text(), QStringLiteral("abcd"));
        }
        f.frame->activateWindow();
        f.frame->Slider1->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), f.frame->Slider1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right); // the slider still has the keys
        QVERIFY(f.frame->Slider1->value() != 3);
    }

    void realTicksAtOneSecond()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        f.open(QStringLiteral("http://b.test/"));
        f.frame->Slider1->setValue(1);
        f.frame->FlickCheck13->setChecked(true);
        QSignalSpy ticks(f.frame->Timer1, &QTimer::timeout);
        QVERIFY(ticks.wait(5000));
        f.frame->action(QStringLiteral("Down"))->trigger(); // placing in the tray suspends rotation
        QVERIFY(!f.frame->Timer1->isActive());
        QVERIFY(f.frame->FlickCheck13->isChecked());
        QCOMPARE(FrameHost::statusText(f.frame->Status), QStringLiteral("MIN"));
        f.frame->RestoreFromTray();
        QCOMPARE(FrameHost::statusText(f.frame->Status), QStringLiteral("MAX"));
        QVERIFY(!f.frame->Timer1->isActive());
    }

    void exitUnloadsEveryWindowWithoutQuestions()
    {
        FrameFixture f;
        int asked = 0;
        Dialogs::setAskHook([&](const Dialogs::Question &) { ++asked; return false; });
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        QPointer<QWidget> dialog = new QWidget;
        WindowRegistry::add(dialog);
        dialog->show();
        QPointer<ChildWindow> guard(a);
        f.frame->unload();
        QCOMPARE(asked, 0);
        QVERIFY(!dialog->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        delete dialog;
    }

    // Asked to end from outside while Organize Favorites is open, also with its Delete
    // question up: the frame unloads without building the tree or telling about it.
    void endSignalWithOrganizeFavoritesOpen()
    {
        for (const bool questionUp : {false, true}) {
            FrameFixture f;
            QStringList told;
            Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q.title + QLatin1Char('|') + q.text; });
            QVERIFY(QDir().mkpath(Paths::favoritesDir() + QStringLiteral("/Old")));
            f.open(QStringLiteral("http://a.test/"));
            auto *favorites = f.frame->findChild<FavoritesCommands *>();
            QVERIFY(favorites);
            f.frame->action(QStringLiteral("mnu_OrganizeFavorites"))->trigger();
            QPointer<OrganizeFavoritesDialog> organize = favorites->organizeDialog();
            QVERIFY(organize && organize->isVisible());
            QSignalSpy organized(favorites, &FavoritesCommands::organized);

            EndSignals ending;
            connect(&ending, &EndSignals::endRequested, f.frame, &mdiform1::unload);
            QSignalSpy ended(&ending, &EndSignals::endRequested);
            const auto terminate = [&] { return ::kill(::getpid(), SIGTERM) == 0 && ended.wait(10000); };
            bool arrived = false;
            if (questionUp) {
                Dialogs::setAskHook([&](const Dialogs::Question &) {
                    arrived = terminate();
                    return false;
                });
                QVERIFY(organize->select(Paths::favoritesDir() + QStringLiteral("/Old")));
                organize->cmdDelete->click();
                Dialogs::setAskHook(nullptr);
            } else {
                arrived = terminate();
            }
            Dialogs::setTellHook(nullptr);
            QVERIFY(arrived);
            QCOMPARE(told, QStringList());
            QCOMPARE(organized.count(), 0);
            QVERIFY(!favorites->favs());
            QVERIFY(!organize || !organize->isVisible());
            QVERIFY(!f.frame->isVisible());
            QVERIFY(QFileInfo::exists(Paths::favoritesDir() + QStringLiteral("/Old")));
        }
    }
};

QUILLON_TEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
