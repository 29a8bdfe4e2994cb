#include "core/settingsstore.h"
#include "platform/dialogs.h"
#include "core/paths.h"
#include "sites/additionalsitespanel.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace SettingsStore;

namespace {
QString stored(const char *section, const QString &key)
{
    return GetSetting(AppKey, QLatin1String(section), key, QStringLiteral("<absent>"));
}
void click(QWidget *panel, const char *name) { QTest::mouseClick(panel->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton); }
}

class TestAdditionalSitesPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void saveOfOneRowTouchesStartup1Only()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sthree"), QStringLiteral("http://default.test/")));
        AdditionalSitesPanel panel;
        QSignalSpy saved(&panel, &AdditionalSitesPanel::saved);
        QSignalSpy closed(&panel, &AdditionalSitesPanel::closeClicked);
        panel.checkBox(3)->setChecked(true);
        panel.siteField(3)->setText(QStringLiteral("http://three.test/a,b;c"));
        click(&panel, "Command6");
        QCOMPARE(closed.size(), 1);
        QCOMPARE(stored("Startup1", QStringLiteral("c3")), QStringLiteral("<absent>")); // Close writes nothing
        click(&panel, "Command7");
        QCOMPARE(saved.size(), 1);
        QCOMPARE(stored("Startup1", QStringLiteral("c3")), QStringLiteral("1"));
        QCOMPARE(stored("Startup1", QStringLiteral("sthree")), QStringLiteral("http://three.test/a,b;c"));
        QCOMPARE(stored("Startup1", QStringLiteral("c24")), QStringLiteral("0"));
        QCOMPARE(stored("Startup1", QStringLiteral("s24")), QString());
        QCOMPARE(stored("Startup", QStringLiteral("sthree")), QStringLiteral("http://default.test/"));
        QCOMPARE(stored("Startup", QStringLiteral("c3")), QStringLiteral("<absent>"));
    }

    void failedSaveSaysWhyAndStaysUp()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::settingsFile())); // a folder where the store file belongs
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told.append(q); });
        AdditionalSitesPanel panel;
        QSignalSpy saved(&panel, &AdditionalSitesPanel::saved);
        panel.setSite(1, QStringLiteral("http://one.test/"));
        click(&panel, "Command7");
        Dialogs::setTellHook({});
        QCOMPARE(saved.size(), 0);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.contains(Paths::settingsFile()), qPrintable(told[0].text));
        QCOMPARE(panel.site(1), QStringLiteral("http://one.test/"));
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
        QTest::mouseDClick(panel.siteField(9), Qt::LeftButton); // empty: still asks for a window
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0], QVariantList({24, QStringLiteral("http://twenty-four.test/page")}));
        QCOMPARE(opened[1], QVariantList({9, QString()}));
    }

    void twoColumnsFitTheBand()
    {
        // As the frame shows it: a full-width band above the page area of a 1200 x 800 frame.
        QWidget frame;
        frame.resize(1200, 800);
        auto *layout = new QVBoxLayout(&frame);
        auto *panel = new AdditionalSitesPanel(&frame);
        layout->addWidget(panel);
        layout->addStretch(1);
        for (int row = 1; row <= 24; row += 5) {
            panel->setSite(row, QStringLiteral("https://www.example%1.com/news/").arg(row));
            panel->setCheck(row, 1);
        }
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY2(panel->height() <= 350, qPrintable(QString::number(panel->height())));
        const QList<int> left = {1, 2, 3, 7, 8, 9, 13, 14, 15, 16, 17, 18};
        const QList<int> right = {4, 5, 6, 10, 11, 12, 19, 20, 21, 22, 23, 24};
        for (int line = 0; line < 12; ++line) {
            QLineEdit *l = panel->findChild<QLineEdit *>(QStringLiteral("Site%1").arg(left[line]));
            QLineEdit *r = panel->findChild<QLineEdit *>(QStringLiteral("Site%1").arg(right[line]));
            QCheckBox *box = panel->findChild<QCheckBox *>(QStringLiteral("Check%1").arg(left[line]));
            QCOMPARE(l->y(), r->y());
            QVERIFY(l->x() + l->width() <= box->x() && box->x() < r->x());
            QVERIFY(line == 0 || l->y() > panel->siteField(left[line - 1])->y());
            QVERIFY(l->fontMetrics().horizontalAdvance(QStringLiteral("https://www.example.com/news/")) < l->width());
        }
        QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath() + QStringLiteral("/quillon-artifacts"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(panel->grab().save(dir + QStringLiteral("/additional-sites-panel.png")));
    }
};

QUILLON_TEST_MAIN(TestAdditionalSitesPanel)
#include "tst_additionalsitespanel.moc"
