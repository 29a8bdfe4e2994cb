#include "browser/framebands.h"
#include "core/settingsstore.h"
#include "framefixture.h"
#include "platform/coolbar.h"
#include "platform/tabstrip.h"
#include "sites/additionalsitespanel.h"
#include "sites/catalogue.h"
#include "sites/sitecommands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QCheckBox>
#include <QtTest>

// The frame's site commands: the additional-sites band and the catalogue lists.
class TestSiteCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void panelShowsOverTheActivePageAndGivesItBack()
    {
        FrameFixture f;
        ChildWindow *first = f.open(QStringLiteral("http://a.test/"));
        f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
        QVERIFY(f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
        QVERIFY(first->Web1->isHidden());

        // A double click opens the field's text even with its box unchecked; that window is now active.
        f.frame->panel()->setSite(24, QStringLiteral("http://twenty-four.test/"));
        QVERIFY(!f.frame->panel()->checkBox(24)->isChecked());
        QTest::mouseDClick(f.frame->panel()->siteField(24), Qt::LeftButton);
        ChildWindow *opened = f.frame->windows->activeChild();
        QVERIFY(opened != first);
        QCOMPARE(opened->Tag, QStringLiteral("2"));
        QCOMPARE(FrameFixture::web(opened)->navigations, QStringList{QStringLiteral("http://twenty-four.test/")});
        QCOMPARE(f.frame->tb->count(), 3); // the old end tab became window 2's, a new end tab follows
        QCOMPARE(f.frame->tb->caption(2), QString());

        // Close gives the band back to the page of the window active now, and to the page it covered.
        opened->Web1->hide();
        emit f.frame->panel()->closeClicked();
        QVERIFY(!f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
        QVERIFY(!opened->Web1->isHidden());
        QVERIFY(!first->Web1->isHidden());
    }

    // Shown over one window, then over another after a tab click: Close and Save give
    // both pages back, not only the one in front.
    void panelGivesBackEveryPageItCovered()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        for (const char *button : {"Command6", "Command7"}) {
            f.frame->tb->click(b->Tag.toInt());
            QCOMPARE(f.frame->windows->activeChild(), b);
            f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
            QVERIFY(b->Web1->isHidden());
            f.frame->tb->click(a->Tag.toInt());
            QCOMPARE(f.frame->windows->activeChild(), a);
            f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
            QVERIFY(a->Web1->isHidden());
            QTest::mouseClick(f.frame->panel()->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
            QVERIFY(!f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
            QVERIFY2(!a->Web1->isHidden(), button);
            QVERIFY2(!b->Web1->isHidden(), button);
        }
        // A covered window closed meanwhile is simply gone from the list.
        f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
        f.frame->windows->CloseActiveWin();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        emit f.frame->panel()->closeClicked();
        QVERIFY(!b->Web1->isHidden());
    }

    // Ctrl+H from the page puts the keyboard in the panel's first field; Save and Close give it back.
    void panelTakesTheKeyboardAndGivesItBack()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        w->Web1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), w->Web1);
        AdditionalSitesPanel *panel = f.frame->panel();
        for (const char *button : {"Command7", "Command6"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier);
            QVERIFY(f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
            QCOMPARE(QApplication::focusWidget(), panel->siteField(1));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
            QWidget *press = panel->findChild<QPushButton *>(QLatin1String(button));
            press->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QVERIFY(!f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
            QCOMPARE(QApplication::focusWidget(), w->Web1);
        }
        QCOMPARE(panel->site(1), QStringLiteral("xx"));
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup1"), QStringLiteral("sone"),
                                           QString()), QStringLiteral("x"));
        // Alt+S saves from any field, though the menu bar's "Web &Sites" has the same key.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("y"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
        QVERIFY(!f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup1"), QStringLiteral("sone"),
                                           QString()), QStringLiteral("xxy"));
    }

    void panelSaveTouchesOnlyTheAdditionalSection()
    {
        FrameFixture f;
        using namespace SettingsStore;
        f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
        f.frame->panel()->setCheck(3, 1);
        f.frame->panel()->setSite(3, QStringLiteral("http://three.test/"));
        QTest::mouseClick(f.frame->panel()->findChild<QPushButton *>(QStringLiteral("Command7")), Qt::LeftButton);
        QVERIFY(!f.frame->CoolBar1->isBandVisible(FrameBands::BandExtras));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c3"), 0), QStringLiteral("1"));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("sthree"), QString()),
                 QStringLiteral("http://three.test/"));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sthree"), QStringLiteral("absent")),
                 QStringLiteral("absent"));
    }

    void catalogueChoiceOpensAMaximisedWindow()
    {
        FrameFixture f;
        f.frame->additems();
        const int index = f.frame->sites->findText(QStringLiteral("R E U T E R S"));
        QVERIFY(index >= 0);
        f.frame->sites->setCurrentIndex(index);
        emit f.frame->sites->activated(index);
        ChildWindow *w = f.frame->windows->activeChild();
        QVERIFY(w);
        QVERIFY(w->isMaximized());
        QCOMPARE(FrameFixture::web(w)->navigations,
                 QStringList{Catalogue::lookup(Catalogue::List::Sites, QStringLiteral("R E U T E R S"))});
        // A title the list does not hold leaves the new window blank, still shown.
        SiteCommands::openCatalogueEntry(f.frame->windows, true, QStringLiteral("r e u t e r s"));
        QVERIFY(FrameFixture::web(f.frame->windows->activeChild())->navigations.isEmpty());
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
    }

    void panelIsReadableAtTheFramesDefaultSize()
    {
        FrameFixture f;
        f.frame->resize(1200, 820);
        f.open(QStringLiteral("http://a.test/"));
        f.frame->action(QStringLiteral("ShowAddSites"))->trigger();
        QCoreApplication::processEvents();
        for (int row = 1; row <= 24; ++row) {
            QLineEdit *site = f.frame->panel()->siteField(row);
            QVERIFY(site->isVisible());
            QVERIFY2(site->width() >= 200, qPrintable(QString::number(site->width())));
        }
        QVERIFY(f.frame->mdiArea->height() > 150); // pages still have room below the band
        const QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath());
        QDir().mkpath(dir);
        QVERIFY(f.frame->grab().save(dir + QStringLiteral("/frame-with-additional-sites.png")));
    }
};

QUILLON_TEST_MAIN(TestSiteCommands)
#include "tst_sitecommands.moc"
