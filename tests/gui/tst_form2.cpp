#include "core/settingsstore.h"
#include "platform/dialogs.h"
#include "core/paths.h"
#include "sites/defaultsitesmodel.h"
#include "sites/form2.h"
#include "sites/startupslots.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

using namespace SettingsStore;

namespace {
QString stored(const char *key) { return GetSetting(AppKey, QStringLiteral("Startup"), QLatin1String(key), QStringLiteral("<absent>")); }
QString absentAddress(int slot) { return QLatin1String(StartupSlots::slot(slot).absentAddress); }
void click(QWidget *dialog, const char *name) { QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton); }
}

class TestForm2 : public QObject
{
    Q_OBJECT
    QList<Dialogs::Question> told;

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        DefaultSitesModel::discard();
        told.clear();
        Dialogs::setTellHook([this](const Dialogs::Question &q) { told.append(q); });
    }
    void cleanup()
    {
        delete Form2::current();
        DefaultSitesModel::discard();
        Dialogs::setTellHook({});
    }

    void firstOpenShowsKeyAbsentDefaultsInDialogOrder()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        QVERIFY(dialog->isVisible() && dialog->isModal());
        // Crossed defaults: the gadget site in "Auto Search", the search engine in "World News".
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("site4"))->text(), QStringLiteral("https://www.engadget.com/"));
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("SiTe6"))->text(), QStringLiteral("https://duckduckgo.com/"));
        const QStringList fields = {"SITE1", "SITE3", "SITE2", "site4", "SiTe6", "site5", "site99", "site200"};
        const QStringList labels = {"Auto News", "Auto Business", "Auto Tools", "Auto Search",
                                    "World News", "Local News", "Auto Intranet", "Auto Web-Mail"};
        const QList<int> slotOf = {1, 3, 2, 4, 6, 5, 7, 8};
        QHash<QWidget *, QString> labelOf;
        for (QLabel *l : dialog->findChildren<QLabel *>())
            labelOf.insert(l->buddy(), l->text());
        int previousY = -1;
        for (int i = 0; i < fields.size(); ++i) {
            QLineEdit *field = dialog->findChild<QLineEdit *>(fields[i]);
            QCOMPARE(field, dialog->site(slotOf[i]));
            QCOMPARE(dialog->check(slotOf[i])->objectName(), QStringLiteral("Check%1").arg(fields[i].mid(4)));
            QCOMPARE(labelOf.value(field), labels[i]);
            QCOMPARE(field->text(), absentAddress(slotOf[i]));
            QVERIFY(dialog->check(slotOf[i])->isChecked());
            QVERIFY(field->y() > previousY);
            previousY = field->y();
        }
        QVERIFY(!QFile::exists(Paths::settingsFile())); // opening never writes
        QCOMPARE(Form2::showOptions(), dialog);           // a second opening raises the same one
    }

    void saveWritesEveryKeyIncludingEmptyText()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        dialog->site(6)->clear();
        dialog->check(7)->setChecked(false);
        click(dialog, "Command2");
        QVERIFY(told.isEmpty());
        QVERIFY(!Form2::current() && !DefaultSitesModel::exists());
        for (const char *f : {"c1", "c2", "c3", "c4", "c5", "c6", "c200"})
            QCOMPARE(stored(f), QStringLiteral("1"));
        QCOMPARE(stored("c99"), QStringLiteral("0"));
        QCOMPARE(stored("scool"), QString()); // present and empty, not the key-absent default
        QCOMPARE(stored("szero"), absentAddress(8));
        QCOMPARE(Form2::showOptions()->site(6)->text(), QString());
    }

    void closingWritesNothingAndDropsEdits_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Close button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("closed from outside") << 2;
    }
    void closingWritesNothingAndDropsEdits()
    {
        QFETCH(int, how);
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QStringLiteral("http://one.test/")));
        // What the loader substituted for an empty address shows until the dialog closes.
        DefaultSitesModel::get().setAddress(4, QStringLiteral("http://fallback.test/"));
        Form2 *dialog = Form2::showOptions();
        QCOMPARE(dialog->site(4)->text(), QStringLiteral("http://fallback.test/"));
        dialog->site(1)->setText(QStringLiteral("http://edited.test/"));
        how == 0 ? click(dialog, "Command1") : how == 1 ? QTest::keyClick(dialog->site(1), Qt::Key_Escape) : Form2::unload();
        QVERIFY(!Form2::current() && !DefaultSitesModel::exists());
        QCOMPARE(stored("sone"), QStringLiteral("http://one.test/"));
        QCOMPARE(stored("sfour"), QStringLiteral("<absent>"));
        dialog = Form2::showOptions();
        QCOMPARE(dialog->site(1)->text(), QStringLiteral("http://one.test/"));
        QCOMPARE(dialog->site(4)->text(), absentAddress(4));
    }

    // Enter on the focused Close button closes without saving, as a click does.
    void enterPressesTheFocusedButton()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->activateWindow();
        dialog->site(1)->setText(QStringLiteral("http://edited.test/"));
        QWidget *close = dialog->findChild<QPushButton *>(QStringLiteral("Command1"));
        close->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!Form2::current());
        QCOMPARE(stored("sone"), QStringLiteral("<absent>"));
    }

    void failedSaveSaysWhyAndKeepsTheEdits()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::settingsFile())); // a folder where the store file belongs
        Form2 *dialog = Form2::showOptions();
        dialog->site(5)->setText(QStringLiteral("http://local.test/"));
        click(dialog, "Command2");
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.contains(Paths::settingsFile()), qPrintable(told[0].text));
        QVERIFY(Form2::current() == dialog && dialog->isVisible());
        QCOMPARE(dialog->site(5)->text(), QStringLiteral("http://local.test/"));
        QCOMPARE(DefaultSitesModel::get().address(5), QStringLiteral("http://local.test/"));
        // Once the store can be written, the same dialog saves what was typed.
        QVERIFY(QDir().rmdir(Paths::settingsFile()));
        click(dialog, "Command2");
        QVERIFY(!Form2::current());
        QCOMPARE(stored("sfive"), QStringLiteral("http://local.test/"));
    }

    void hoverHelpAndScreenshot()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QStatusBar *bar = dialog->statusBar();
        auto hover = [&](const char *name) {
            QWidget *w = dialog->findChild<QWidget *>(QLatin1String(name));
            QEnterEvent enter(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
            QApplication::sendEvent(w, &enter);
            return bar->currentMessage();
        };
        QCOMPARE(hover("Command1"), QStringLiteral("Close this dialog box without saving."));
        QCOMPARE(hover("Command2"), QStringLiteral("Save current settings."));
        QCOMPARE(hover("SITE1"), QStringLiteral("Save current settings.")); // stays until another hover
        const QString longest = hover("Frame4");
        QCOMPARE(longest, QStringLiteral("Enter the URL for the pages you would like to be downloaded automatically.."));
        QVERIFY(bar->fontMetrics().horizontalAdvance(longest) < bar->width() - 8);

        QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath() + QStringLiteral("/quillon-artifacts"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(dialog->grab().save(dir + QStringLiteral("/form2.png")));
    }
};

QUILLON_TEST_MAIN(TestForm2)
#include "tst_form2.moc"
