#include "app/settingsstore.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "sites/additionalsitespanel.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace SettingsStore;

namespace {
QString stored(const QString &section, const QString &key)
{
    return GetSetting(AppKey, section, key, QStringLiteral("<absent>"));
}

QPushButton *button(QWidget *panel, const char *name)
{
    return panel->findChild<QPushButton *>(QLatin1String(name));
}

const QStringList addressKeys = {"sone", "stwo", "sthree", "sfour", "sfive", "scool", "sseven", "seight",
                                 "snine", "sten", "seleven", "stwelve", "s13", "s14", "s15", "s16",
                                 "s17", "s18", "s19", "s20", "s21", "s22", "s23", "s24"};
}

class TestAdditionalSitesPanel : public QObject
{
    Q_OBJECT
    QList<Dialogs::Question> told;

private Q_SLOTS:
    void init()
    {
        told.clear();
        Dialogs::setTellHook([this](const Dialogs::Question &q) { told.append(q); });
    }
    void cleanup() { Dialogs::setTellHook({}); }

    void controlsAndTwoColumnLayout()
    {
        AdditionalSitesPanel panel;
        panel.resize(1200, panel.sizeHint().height());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.objectName(), QStringLiteral("Frame2"));
        QCOMPARE(panel.title(), QStringLiteral("Additional Sites"));
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Up to 32 sites can be downloaded automatically on startup."));
        QPushButton *save = button(&panel, "Command7");
        QPushButton *close = button(&panel, "Command6");
        QCOMPARE(save->text(), QStringLiteral("&Save"));
        QCOMPARE(close->text(), QStringLiteral("&Close"));
        QVERIFY(save->x() < close->x());

        const QList<int> left = {1, 2, 3, 7, 8, 9, 13, 14, 15, 16, 17, 18};
        const QList<int> right = {4, 5, 6, 10, 11, 12, 19, 20, 21, 22, 23, 24};
        for (int line = 0; line < 12; ++line) {
            QLineEdit *l = panel.findChild<QLineEdit *>(QStringLiteral("Site%1").arg(left[line]));
            QLineEdit *r = panel.findChild<QLineEdit *>(QStringLiteral("Site%1").arg(right[line]));
            QCheckBox *lc = panel.findChild<QCheckBox *>(QStringLiteral("Check%1").arg(left[line]));
            QVERIFY(l && r && lc);
            QCOMPARE(l->y(), r->y());
            QVERIFY(l->x() + l->width() <= r->x());
            QVERIFY(lc->x() >= l->x() + l->width());
            QVERIFY(lc->x() < r->x());
            QVERIFY(lc->text().isEmpty());
            QVERIFY(l->text().isEmpty() && !lc->isChecked());
            if (line > 0)
                QVERIFY(l->y() > panel.siteField(left[line - 1])->y());
            // Wide enough to read a typical address whole.
            QVERIFY(l->width() > l->fontMetrics().horizontalAdvance(QStringLiteral("https://www.example.com/news/")));
        }
    }

    void fitsTheFrameBand()
    {
        // The band is a full-width row above the page area of a frame about 1200 x 800.
        AdditionalSitesPanel panel;
        QVERIFY2(panel.minimumSizeHint().width() <= 1200, qPrintable(QString::number(panel.minimumSizeHint().width())));
        QVERIFY2(panel.sizeHint().height() <= 350, qPrintable(QString::number(panel.sizeHint().height())));
    }

    void saveOfOneRowTouchesStartup1Only()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c3"), QStringLiteral("0")));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sthree"), QStringLiteral("http://default.test/")));
        AdditionalSitesPanel panel;
        QSignalSpy saved(&panel, &AdditionalSitesPanel::saved);
        panel.checkBox(3)->setChecked(true);
        panel.siteField(3)->setText(QStringLiteral("http://three.test/a,b;c"));
        QTest::mouseClick(button(&panel, "Command7"), Qt::LeftButton);

        QCOMPARE(saved.size(), 1);
        QVERIFY(told.isEmpty());
        QCOMPARE(stored(QStringLiteral("Startup1"), QStringLiteral("c3")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("Startup1"), QStringLiteral("sthree")), QStringLiteral("http://three.test/a,b;c"));
        for (int row = 1; row <= 24; ++row) {
            if (row == 3)
                continue;
            QCOMPARE(stored(QStringLiteral("Startup1"), QStringLiteral("c%1").arg(row)), QStringLiteral("0"));
            QCOMPARE(stored(QStringLiteral("Startup1"), addressKeys[row - 1]), QString());
        }
        QCOMPARE(stored(QStringLiteral("Startup"), QStringLiteral("c3")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("Startup"), QStringLiteral("sthree")), QStringLiteral("http://default.test/"));
        QCOMPARE(stored(QStringLiteral("Startup"), QStringLiteral("c1")), QStringLiteral("<absent>"));
        QCOMPARE(stored(QStringLiteral("Startup"), QStringLiteral("sone")), QStringLiteral("<absent>"));
    }

    void everyRowGoesToItsOwnKeys()
    {
        TempHome home;
        AdditionalSitesPanel panel;
        for (int row = 1; row <= 24; ++row) {
            panel.setCheck(row, row % 2);
            panel.setSite(row, QStringLiteral("http://row%1.test/").arg(row));
        }
        QVERIFY(panel.save());
        for (int row = 1; row <= 24; ++row) {
            QCOMPARE(stored(QStringLiteral("Startup1"), QStringLiteral("c%1").arg(row)), QString::number(row % 2));
            QCOMPARE(stored(QStringLiteral("Startup1"), addressKeys[row - 1]), QStringLiteral("http://row%1.test/").arg(row));
        }
        // Only 1 checks a box, as only a stored 1 enables a slot.
        panel.setCheck(5, 2);
        QCOMPARE(panel.check(5), 0);
    }

    void closeWritesNothingAndKeepsEdits()
    {
        TempHome home;
        AdditionalSitesPanel panel;
        QSignalSpy closed(&panel, &AdditionalSitesPanel::closeClicked);
        QSignalSpy saved(&panel, &AdditionalSitesPanel::saved);
        panel.siteField(7)->setText(QStringLiteral("http://seven.test/"));
        QTest::mouseClick(button(&panel, "Command6"), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(saved.size(), 0);
        QVERIFY(!QFile::exists(Paths::settingsFile()));
        QCOMPARE(panel.site(7), QStringLiteral("http://seven.test/"));
    }

    void failedSaveSaysWhyAndStaysUp()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::settingsFile()));
        AdditionalSitesPanel panel;
        QSignalSpy saved(&panel, &AdditionalSitesPanel::saved);
        panel.siteField(1)->setText(QStringLiteral("http://one.test/"));
        QTest::mouseClick(button(&panel, "Command7"), Qt::LeftButton);
        QCOMPARE(saved.size(), 0);
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0].icon, QMessageBox::Warning);
        QVERIFY2(told[0].text.contains(Paths::settingsFile()), qPrintable(told[0].text));
        QCOMPARE(panel.site(1), QStringLiteral("http://one.test/"));
        QString why;
        QVERIFY(!panel.save(&why));
        QVERIFY(!why.isEmpty());
    }

    void doubleClickOpensTheFieldWhateverItsCheck()
    {
        AdditionalSitesPanel panel;
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy opened(&panel, &AdditionalSitesPanel::siteDoubleClicked);
        panel.setSite(24, QStringLiteral("http://twenty-four.test/page"));
        QVERIFY(!panel.checkBox(24)->isChecked());
        QTest::mouseDClick(panel.siteField(24), Qt::LeftButton);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0][0].toInt(), 24);
        QCOMPARE(opened[0][1].toString(), QStringLiteral("http://twenty-four.test/page"));

        // An empty field still asks for a window.
        QTest::mouseDClick(panel.siteField(9), Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[1][0].toInt(), 9);
        QCOMPARE(opened[1][1].toString(), QString());
    }

    void screenshot()
    {
        // As the frame shows it: a full-width band above the page area.
        QWidget frame;
        frame.resize(1200, 800);
        auto *layout = new QVBoxLayout(&frame);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *panel = new AdditionalSitesPanel(&frame);
        layout->addWidget(panel);
        layout->addStretch(1);
        for (int row = 1; row <= 24; row += 5) {
            panel->setSite(row, QStringLiteral("https://www.example%1.com/").arg(row));
            panel->setCheck(row, 1);
        }
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(panel->height() <= 350);
        QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS");
        if (dir.isEmpty())
            dir = QDir::tempPath() + QStringLiteral("/quillon-artifacts");
        QVERIFY(QDir().mkpath(dir));
        const QString file = dir + QStringLiteral("/additional-sites-panel.png");
        QVERIFY(panel->grab().save(file));
        qInfo("screenshot: %s", qPrintable(file));
    }
};

QUILLON_TEST_MAIN(TestAdditionalSitesPanel)
#include "tst_additionalsitespanel.moc"
