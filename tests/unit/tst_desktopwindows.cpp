#include "desktop/aboutwindow.h"
#include "desktop/splashwindow.h"
#include "desktop/trayicon.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestDesktopWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void trayMenuHasItsItemsInOrder()
    {
        TrayIcon tray;
        QCOMPARE(tray.menu()->objectName(), QStringLiteral("mnuBar"));
        QCOMPARE(tray.menu()->title(), QStringLiteral("PopupMenu"));
        QCOMPARE(tray.icon()->contextMenu(), tray.menu());
        QCOMPARE(tray.icon()->toolTip(), QStringLiteral("Quillon v2.1"));
        QVERIFY(!tray.icon()->icon().isNull());
        QStringList names, texts;
        for (QAction *a : tray.menu()->actions()) {
            names << a->objectName();
            texts << a->text();
        }
        QCOMPARE(names, (QStringList{"sendMail", "RestoreM", "Aboutit", "mnuMain"}));
        QCOMPARE(texts, (QStringList{"Send &Mail", "&Restore", "&About Quillon", "&Quit"}));
        QVERIFY(!tray.isVisible());
    }

    void trayAdoptsTheFramesMenu()
    {
        QMenu frameMenu(QStringLiteral("PopupMenu"));
        QAction *restore = frameMenu.addAction(QStringLiteral("&Restore"));
        restore->setObjectName(QStringLiteral("RestoreM"));
        int restores = 0;
        {
            TrayIcon tray(&frameMenu, nullptr);
            QCOMPARE(tray.RestoreM, restore);
            QCOMPARE(frameMenu.actions().size(), 4);
            tray.setOnRestore([&] { ++restores; });
            restore->trigger();
            QTRY_COMPARE(restores, 1);
        }
        QCOMPARE(frameMenu.actions().size(), 4); // the frame's menu outlives the tray
    }

    void trayItemsAndClicksRunTheirCallbacks()
    {
        TrayIcon tray;
        QStringList log;
        tray.setOnRestore([&] { log << "restore"; });
        tray.setOnQuit([&] { log << "quit"; });
        tray.setOnMail([&] { log << "mail"; });
        tray.setOnAbout([&] { log << "about"; });
        tray.sendMail->trigger();
        tray.RestoreM->trigger();
        tray.Aboutit->trigger();
        tray.mnuMain->trigger();
        QVERIFY(log.isEmpty()); // run once the menu has finished with the click
        QTRY_COMPARE(log, (QStringList{"mail", "restore", "about", "quit"}));

        log.clear();
        Q_EMIT tray.icon()->activated(QSystemTrayIcon::Trigger);
        Q_EMIT tray.icon()->activated(QSystemTrayIcon::DoubleClick);
        Q_EMIT tray.icon()->activated(QSystemTrayIcon::Context); // the tray shows the menu itself
        Q_EMIT tray.icon()->activated(QSystemTrayIcon::MiddleClick);
        QTRY_COMPARE(log, (QStringList{"restore", "restore"}));
    }

    void trayIgnoresClicksWhileACallbackRuns()
    {
        TrayIcon tray;
        int restores = 0;
        tray.setOnRestore([&] {
            ++restores;
            // A click arriving while a callback spins its own event loop is dropped.
            Q_EMIT tray.icon()->activated(QSystemTrayIcon::Trigger);
            QCoreApplication::processEvents();
        });
        Q_EMIT tray.icon()->activated(QSystemTrayIcon::Trigger);
        QTRY_COMPARE(restores, 1);
        QCoreApplication::processEvents();
        QCOMPARE(restores, 1);
        tray.pichook_Activated(QSystemTrayIcon::DoubleClick); // the mark is cleared afterwards
        QCOMPARE(restores, 2);
    }

    void quitMayDeleteTheTray()
    {
        QPointer<TrayIcon> tray = new TrayIcon;
        tray->setOnQuit([&] { delete tray.data(); });
        tray->mnuMain->trigger();
        QTRY_VERIFY(!tray);
        TrayIcon bare; // no callbacks: items do nothing
        bare.RestoreM->trigger();
        bare.pichook_Activated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
    }

    void aboutFromTheTrayStandsAlone()
    {
        QWidget frame; // hidden in the tray
        frmAboutIt *about = AboutWindow::showModeless(&frame);
        QVERIFY(about);
        QCOMPARE(about->objectName(), QStringLiteral("frmAboutIt"));
        QCOMPARE(about->windowTitle(), QStringLiteral("What About It?"));
        QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
        QCOMPARE(about->findChild<QPushButton *>(QStringLiteral("Command1"))->text(), QStringLiteral("&OK"));
        QVERIFY(about->isVisible());
        QVERIFY(!frame.isVisible());
        QCOMPARE(about->windowModality(), Qt::NonModal);
        QCOMPARE(AboutWindow::showModeless(&frame), about); // one at a time

        QPointer<frmAboutIt> old = about;
        about->Command1->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old); // destroyed; the next opening makes it afresh
        QVERIFY(!AboutWindow::current());
    }

    void aboutFromHelpBlocksTheFrame()
    {
        QWidget frame;
        frame.show();
        frmAboutIt *about = AboutWindow::showModal(&frame);
        QCOMPARE(about->windowModality(), Qt::ApplicationModal);
        QTRY_COMPARE(QApplication::activeModalWidget(), about);
        about->Command1->click();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void splashClosesOnItsTimerAndSaysSo()
    {
        QPointer<splash> window = new splash;
        QCOMPARE(window->objectName(), QStringLiteral("splash"));
        QVERIFY(!window->Image2->pixmap().isNull());
        QCOMPARE(window->Timer1->interval(), 20000);
        QVERIFY(window->Timer1->isSingleShot());
        QVERIFY(window->Timer1->isActive()); // running from creation, before showing
        window->show();
        bool hiddenWhenTold = false;
        connect(window, &splash::timedOut, this, [&] { hiddenWhenTold = window && !window->isVisible(); });
        QSignalSpy spy(window, &splash::timedOut);
        window->Timer1->start(20);
        QVERIFY(spy.wait(10000));
        QVERIFY(hiddenWhenTold);
        QTRY_VERIFY(!window);
        QCOMPARE(spy.count(), 1);
    }
};

QUILLON_TEST_MAIN(TestDesktopWindows)
#include "tst_desktopwindows.moc"
