#include "framefixture.h"

#include "platform/tabstrip.h"

#include <QtTest>

class TestOpenAddresses : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    // Addresses from the command line or a later start come after the start-up sites,
    // each numbered and tabbed like any new window, and the frame leaves the tray.
    void addressesOpenAfterTheStartupSitesAndShowTheFrame()
    {
        FrameFixture f(false);
        f.open(QStringLiteral("http://127.0.0.2/startup"));
        f.frame->HideToTray();
        QCOMPARE(f.frame->status(), FrameHost::Status::MIN);

        const QStringList given = {QStringLiteral("http://127.0.0.2/a"), QStringLiteral("file:///tmp/b%20c.html")};
        f.frame->openAddresses(given);

        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
        QCOMPARE(f.frame->tb->count(), 4); // three windows and the end tab
        for (int n = 2; n <= 3; ++n) {
            ChildWindow *w = f.windowTagged(QString::number(n));
            QVERIFY(w);
            QCOMPARE(f.frame->tb->caption(n), QString::number(n));
            QCOMPARE(FrameFixture::web(w)->navigations, QStringList{given[n - 2]});
        }
        QCOMPARE(f.frame->windows->activeChild(), f.windowTagged(QStringLiteral("3")));
        QCOMPARE(f.frame->status(), FrameHost::Status::MAX);
        QVERIFY(f.frame->isVisible());
        QVERIFY(!f.frame->isMinimized());

        // A later hand-over while the frame is on screen goes on numbering.
        f.frame->openAddresses({QStringLiteral("http://127.0.0.2/d")});
        QCOMPARE(FrameFixture::web(f.windowTagged(QStringLiteral("4")))->navigations,
                 QStringList{QStringLiteral("http://127.0.0.2/d")});
    }
};

QUILLON_TEST_MAIN(TestOpenAddresses)
#include "tst_openaddresses.moc"
