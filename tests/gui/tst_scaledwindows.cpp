// The frame and the windows with pictures on a screen scaled by 1.5: nothing off
// the screen, nothing cut. Leaves pictures in the artifacts folder for a person.
#include "desktop/aboutwindow.h"
#include "desktop/splashwindow.h"
#include "desktop/tipwindow.h"
#include "framefixture.h"
#include "platform/windowplacement.h"

#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QtTest>

namespace {
QString artifactsDir()
{
    const QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath() + QStringLiteral("/quillon-artifacts"));
    QDir().mkpath(dir);
    return dir;
}

// Light text near the right edge of a picture means words run off it.
bool textTouchesRightEdge(const QImage &image, int margin)
{
    for (int x = image.width() - margin; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qRed(image.pixel(x, y)) > 150)
                return true;
    return false;
}

// Every visible child lies wholly inside the window and every wrapped label has its height.
void verifyNothingCut(QWidget *window)
{
    const QRect inside = window->rect();
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!child->isVisible())
            continue;
        const QRect r(child->mapTo(window, QPoint(0, 0)), child->size());
        QVERIFY2(inside.contains(r), qPrintable(child->objectName() + QStringLiteral(" is cut")));
        if (auto *label = qobject_cast<QLabel *>(child); label && label->wordWrap())
            QVERIFY2(label->height() >= label->heightForWidth(label->width()) - 1,
                     qPrintable(label->objectName() + QStringLiteral(" is clipped")));
    }
}
}

class TestScaledWindows : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    void frameFitsTheScaledScreen()
    {
        QCOMPARE(qApp->devicePixelRatio(), 1.5);
        FrameFixture f;
        const QRect screen = WindowPlacement::availableAreaFor(f.frame);
        QVERIFY(screen.contains(f.frame->geometry()));
        QVERIFY(f.frame->statusBar()->geometry().bottom() < f.frame->height());
    }

    void picturesAndTipsAreWhole()
    {
        TempHome home;
        auto *welcome = new splash;
        welcome->show();
        QVERIFY(QTest::qWaitForWindowExposed(welcome));
        QVERIFY(welcome->grab().save(artifactsDir() + QStringLiteral("/splash-scale-1.5.png")));
        welcome->close();

        frmAboutIt *about = AboutWindow::showModeless(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY(about->grab().save(artifactsDir() + QStringLiteral("/about-scale-1.5.png")));
        QVERIFY(!textTouchesRightEdge(about->Image1->pixmap().toImage(), 10));
        verifyNothingCut(about);
        about->close();

        QTemporaryDir dir;
        const QString tips = dir.filePath(QStringLiteral("TIPOFDAY.TXT"));
        QFile file(tips);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("A tip long enough to wrap over several lines of the tip window, so that the window must "
                              "give it the room it needs at any scale rather than cut its lower lines away. ").repeated(2));
        file.close();
        frmTip *tip = TipOfDay::open(nullptr, tips);
        QVERIFY(tip);
        QVERIFY(QTest::qWaitForWindowExposed(tip));
        QVERIFY(tip->grab().save(artifactsDir() + QStringLiteral("/tip-scale-1.5.png")));
        verifyNothingCut(tip);
        QVERIFY(WindowPlacement::availableAreaFor(tip).contains(tip->geometry()));
        tip->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.5");
    TestEnv::prepareEngine();
    TestEnv::isolateHome();
    TestEnv::recordOutsidePrograms();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestScaledWindows tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_scaledwindows.moc"
