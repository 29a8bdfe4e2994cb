// The frame and its dialogs for someone who reads with a large font: start-up windows
// at their size, no control cut short, every caption whole.
#include "core/settingsstore.h"
#include "desktop/trayicon.h"
#include "framefixture.h"

#include <QMdiArea>
#include <QtTest>

namespace {
// As a desktop set to a 20 point font gives it to every programme.
const QFont largeFont(QStringLiteral("DejaVu Sans"), 20);
}

class TestLargeFont : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(largeFont); }
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { TrayIcon::setAvailableOverride(-1); }

    // While start-up opens its windows, the additional-sites panel takes most of the height
    // of the frame, which has never been shown: the windows still come out at their own size.
    void startUpWindowsKeepTheirSize()
    {
        TrayIcon::setAvailableOverride(1);
        FrameFixture f(false);
        using namespace SettingsStore;
        const QStringList flags{"c1", "c2", "c3", "c4", "c5", "c6", "c99", "c200"};
        for (const QString &flag : flags)
            SaveSetting(AppKey, QStringLiteral("Startup"), flag, flags.indexOf(flag) < 2 ? "1" : "0");
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QStringLiteral("http://one.test/"));
        SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("stwo"), QStringLiteral("http://two.test/"));
        f.frame->restoreFrameGeometry();
        QVERIFY(f.frame->MDIForm_Load(false));
        QCOMPARE(f.frame->windows->childWindows().size(), 2);
        QVERIFY(!f.frame->isVisible());
        QList<QPoint> opened;
        for (ChildWindow *w : f.frame->windows->childWindows())
            opened << w->pos();
        f.frame->RestoreFromTray();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame));

        const QSize area = f.frame->findChild<QMdiArea *>()->viewport()->size();
        QVERIFY2(area.height() >= 200, qPrintable(QString::number(area.height())));
        // What a window opened now gets.
        ChildWindow *later = f.open(QStringLiteral("http://later.test/"));
        const QSize normal = later->size();
        QCOMPARE(normal, QSize(640, 480).boundedTo(area));
        const QList<ChildWindow *> startUp = f.frame->windows->childWindows().mid(0, 2);
        for (ChildWindow *w : startUp) {
            QCOMPARE(w->pos(), opened.takeFirst());
            QVERIFY2(w->size() == normal, qPrintable(QStringLiteral("window %1 is %2x%3 in %4x%5").arg(w->Tag)
                                                         .arg(w->width()).arg(w->height())
                                                         .arg(area.width()).arg(area.height())));
            QVERIFY(QRect(QPoint(0, 0), area).contains(w->geometry()));
        }
    }
};

QUILLON_TEST_MAIN(TestLargeFont)

#include "tst_largefont.moc"
