// The frame and its dialogs for someone who reads with a large font: start-up windows
// at their size, no control cut short, every caption whole.
#include "core/paths.h"
#include "core/settingsstore.h"
#include "desktop/trayicon.h"
#include "favorites/organizefavoritesdialog.h"
#include "framefixture.h"
#include "popups/frmban.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {
// As a desktop set to a 20 point font gives it to every programme.
const QFont largeFont(QStringLiteral("DejaVu Sans"), 20);

// Every visible control of a dialog has at least the height it asks for and a place of its
// own, every button the width of its text, and the dialog is as large as it asks to be.
void verifyRoomForEveryControl(QDialog *dialog)
{
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QString name = dialog->objectName();
    QVERIFY2(dialog->width() >= dialog->sizeHint().width() && dialog->height() >= dialog->sizeHint().height(),
             qPrintable(QStringLiteral("%1 is %2x%3, asks %4x%5").arg(name).arg(dialog->width()).arg(dialog->height())
                            .arg(dialog->sizeHint().width()).arg(dialog->sizeHint().height())));
    QList<QWidget *> placed;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (!child->isVisible() || child->parentWidget() != dialog)
            continue;
        for (QWidget *other : std::as_const(placed))
            QVERIFY2(!other->geometry().intersects(child->geometry()),
                     qPrintable(QStringLiteral("%1: %2 lies over %3").arg(name, child->objectName(), other->objectName())));
        placed << child;
        // Wrapped text needs the height of its lines at the width it has.
        const int needed = child->hasHeightForWidth() ? child->heightForWidth(child->width()) : child->sizeHint().height();
        QVERIFY2(child->height() >= needed, qPrintable(QStringLiteral("%1: %2 is %3 px high, needs %4")
                                                           .arg(name, child->objectName()).arg(child->height()).arg(needed)));
        QVERIFY2(QRect(QPoint(0, 0), dialog->size()).contains(child->geometry()),
                 qPrintable(QStringLiteral("%1: %2 lies outside").arg(name, child->objectName())));
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            const QString text = QString(button->text()).remove(QLatin1Char('&'));
            QVERIFY2(button->fontMetrics().horizontalAdvance(text) <= button->width(),
                     qPrintable(QStringLiteral("%1: \"%2\" is cut").arg(name, text)));
        }
    }
}
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

    void dialogsGiveEveryControlItsRoom()
    {
        TempHome home;
        frmBan ban(QStringLiteral("http://127.0.0.81:8810/index.html"));
        verifyRoomForEveryControl(&ban);
        if (QTest::currentTestFailed())
            return;
        // With the note that the file could not be read, in lines of its own.
        QVERIFY(QDir().mkpath(Paths::banListFile()));
        frmBan unreadable(QStringLiteral("http://x.test/"));
        QVERIFY(unreadable.lblNote->isVisibleTo(&unreadable));
        verifyRoomForEveryControl(&unreadable);
        if (QTest::currentTestFailed())
            return;

        QTemporaryDir favorites;
        QVERIFY(QDir(favorites.path()).mkpath(QStringLiteral("Folder with a long name")));
        OrganizeFavoritesDialog organize(favorites.path());
        verifyRoomForEveryControl(&organize);
        if (QTest::currentTestFailed())
            return;
        // The tree shows folder names, not a sliver beside the buttons.
        QVERIFY2(organize.treeOrganize->width() >= 20 * organize.treeOrganize->fontMetrics().averageCharWidth(),
                 qPrintable(QString::number(organize.treeOrganize->width())));
    }
};

QUILLON_TEST_MAIN(TestLargeFont)

#include "tst_largefont.moc"
