#include "app/settingsstore.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "sites/defaultsitesmodel.h"
#include "sites/form2.h"
#include "sites/startupslots.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

using namespace SettingsStore;

namespace {
QString stored(const char *key, const QString &absent = QStringLiteral("<absent>"))
{
    return GetSetting(AppKey, QStringLiteral("Startup"), QLatin1String(key), absent);
}

QString absentAddress(int slot) { return QLatin1String(StartupSlots::slot(slot).absentAddress); }

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}
}

class TestForm2 : public QObject
{
    Q_OBJECT
    QList<Dialogs::Question> told;

private Q_SLOTS:
    void init()
    {
        DefaultSitesModel::discard();
        told.clear();
        Dialogs::setTellHook([this](const Dialogs::Question &q) { told.append(q); });
    }

    void cleanup()
    {
        if (Form2::current())
            delete Form2::current();
        DefaultSitesModel::discard();
        Dialogs::setTellHook({});
    }

    void firstOpenShowsKeyAbsentDefaultsInDialogOrder()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->objectName(), QStringLiteral("Form2"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Startup Options"));
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(DefaultSitesModel::exists());

        for (int slot = 1; slot <= 8; ++slot) {
            QVERIFY(dialog->check(slot)->isChecked());
            QCOMPARE(dialog->site(slot)->text(), absentAddress(slot));
        }
        // Crossed defaults: the gadget site in "Auto Search", the search engine in "World News".
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("site4"))->text(), QStringLiteral("https://www.engadget.com/"));
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("SiTe6"))->text(), QStringLiteral("https://duckduckgo.com/"));

        // Rows top to bottom, each label beside its own field, each check box right of it.
        const QStringList fields = {"SITE1", "SITE3", "SITE2", "site4", "SiTe6", "site5", "site99", "site200"};
        const QStringList checks = {"Check1", "Check3", "Check2", "Check4", "Check6", "Check5", "Check99", "Check200"};
        const QStringList labels = {"Auto News", "Auto Business", "Auto Tools", "Auto Search",
                                    "World News", "Local News", "Auto Intranet", "Auto Web-Mail"};
        QHash<QWidget *, QString> labelOf;
        for (QLabel *l : dialog->findChildren<QLabel *>())
            if (l->buddy())
                labelOf.insert(l->buddy(), l->text());
        int previousY = -1;
        for (int i = 0; i < fields.size(); ++i) {
            auto *field = dialog->findChild<QLineEdit *>(fields[i]);
            auto *box = dialog->findChild<QCheckBox *>(checks[i]);
            QVERIFY2(field && box, qPrintable(fields[i]));
            QCOMPARE(labelOf.value(field), labels[i]);
            QVERIFY(box->text().isEmpty());
            QVERIFY(field->y() > previousY);
            QVERIFY(box->x() > field->x() + field->width() - 1);
            previousY = field->y();
        }
        QCOMPARE(dialog->findChild<QGroupBox *>(QStringLiteral("Frame4"))->title(),
                 QStringLiteral("Auto-loading WWW pages"));
        QPushButton *save = button(dialog, "Command2");
        QPushButton *close = button(dialog, "Command1");
        QCOMPARE(save->text(), QStringLiteral("&Save"));
        QCOMPARE(close->text(), QStringLiteral("&Close"));
        QVERIFY(save->x() < close->x());
        // Opening reads but never writes the store.
        QVERIFY(!QFile::exists(Paths::settingsFile()));
        // A second opening raises the same dialog.
        QCOMPARE(Form2::showOptions(), dialog);
    }

    void saveWritesEveryKeyIncludingEmptyText()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        dialog->site(6)->clear();
        dialog->site(2)->setText(QStringLiteral("ftp://files.example.test/pub"));
        dialog->check(7)->setChecked(false);
        QPointer<Form2> guard(dialog);
        QTest::mouseClick(button(dialog, "Command2"), Qt::LeftButton);

        QVERIFY(told.isEmpty());
        QTRY_VERIFY(!guard);
        QVERIFY(!Form2::current());
        QVERIFY(!DefaultSitesModel::exists());
        const char *flags[] = {"c1", "c2", "c3", "c4", "c5", "c6", "c99", "c200"};
        for (const char *f : flags)
            QCOMPARE(stored(f), QLatin1String(qstrcmp(f, "c99") == 0 ? "0" : "1"));
        QCOMPARE(stored("scool"), QString()); // present and empty, not the key-absent default
        QCOMPARE(stored("stwo"), QStringLiteral("ftp://files.example.test/pub"));
        QCOMPARE(stored("szero"), absentAddress(8));

        dialog = Form2::showOptions();
        QCOMPARE(dialog->site(6)->text(), QString());
        QVERIFY(!dialog->check(7)->isChecked());
    }

    void closingWritesNothingAndDropsEdits_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Close button") << 0;
        QTest::newRow("window closed") << 1;
        QTest::newRow("Escape") << 2;
        QTest::newRow("closed from outside") << 3;
    }
    void closingWritesNothingAndDropsEdits()
    {
        QFETCH(int, how);
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QStringLiteral("http://one.test/")));
        // What the loader substituted for an empty address is shown until the dialog closes.
        DefaultSitesModel::get().setAddress(4, QStringLiteral("http://fallback.test/"));
        QPointer<Form2> dialog = Form2::showOptions();
        QCOMPARE(dialog->site(4)->text(), QStringLiteral("http://fallback.test/"));
        dialog->site(1)->setText(QStringLiteral("http://edited.test/"));
        dialog->check(3)->setChecked(false);

        switch (how) {
        case 0: QTest::mouseClick(button(dialog, "Command1"), Qt::LeftButton); break;
        case 1: dialog->close(); break;
        case 2: QTest::keyClick(dialog->site(1), Qt::Key_Escape); break;
        case 3: Form2::unload(); break;
        }
        QVERIFY(!Form2::current());
        QVERIFY(!DefaultSitesModel::exists());
        QTRY_VERIFY(!dialog);
        QCOMPARE(stored("sone"), QStringLiteral("http://one.test/"));
        QCOMPARE(stored("c3"), QStringLiteral("<absent>"));

        dialog = Form2::showOptions();
        QCOMPARE(dialog->site(1)->text(), QStringLiteral("http://one.test/"));
        QCOMPARE(dialog->site(4)->text(), absentAddress(4));
        QVERIFY(dialog->check(3)->isChecked());
    }

    void failedSaveSaysWhyAndKeepsTheEdits()
    {
        TempHome home;
        // A folder where the store file belongs cannot be written.
        QVERIFY(QDir().mkpath(Paths::settingsFile()));
        Form2 *dialog = Form2::showOptions();
        dialog->site(5)->setText(QStringLiteral("http://local.test/"));
        dialog->check(1)->setChecked(false);
        QTest::mouseClick(button(dialog, "Command2"), Qt::LeftButton);

        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0].icon, QMessageBox::Warning);
        QVERIFY2(told[0].text.contains(Paths::settingsFile()), qPrintable(told[0].text));
        QCOMPARE(Form2::current(), dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->site(5)->text(), QStringLiteral("http://local.test/"));
        QVERIFY(DefaultSitesModel::exists());
        QCOMPARE(DefaultSitesModel::get().address(5), QStringLiteral("http://local.test/"));
        QCOMPARE(DefaultSitesModel::get().check(1), 0);

        // Once the store can be written, the same dialog saves what was typed.
        QVERIFY(QDir().rmdir(Paths::settingsFile()));
        QPointer<Form2> guard(dialog);
        QTest::mouseClick(button(dialog, "Command2"), Qt::LeftButton);
        QTRY_VERIFY(!guard);
        QCOMPARE(told.size(), 1);
        QCOMPARE(stored("sfive"), QStringLiteral("http://local.test/"));
        QCOMPARE(stored("c1"), QStringLiteral("0"));
    }

    void storedFlagOtherThanOneShowsUnchecked()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c5"), QStringLiteral("yes")));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c200"), QStringLiteral("0")));
        Form2 *dialog = Form2::showOptions();
        QVERIFY(!dialog->check(5)->isChecked());
        QVERIFY(!dialog->check(8)->isChecked());
        QVERIFY(dialog->check(6)->isChecked());
    }

    void hoverHelpStaysUntilReplaced()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        auto hover = [](QWidget *w) {
            QEnterEvent enter(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
            QApplication::sendEvent(w, &enter);
        };
        QStatusBar *bar = dialog->findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
        QVERIFY(bar);
        hover(button(dialog, "Command1"));
        QCOMPARE(bar->currentMessage(), QStringLiteral("Close this dialog box without saving."));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button(dialog, "Command1"), &leave);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Close this dialog box without saving."));
        hover(button(dialog, "Command2"));
        QCOMPARE(bar->currentMessage(), QStringLiteral("Save current settings."));
        hover(dialog->findChild<QGroupBox *>(QStringLiteral("Frame4")));
        QCOMPARE(bar->currentMessage(),
                 QStringLiteral("Enter the URL for the pages you would like to be downloaded automatically.."));
    }

    void screenshot()
    {
        TempHome home;
        Form2 *dialog = Form2::showOptions();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QStatusBar *bar = dialog->findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
        const QString longest = QStringLiteral("Enter the URL for the pages you would like to be downloaded automatically..");
        bar->showMessage(longest);
        QVERIFY(bar->fontMetrics().horizontalAdvance(longest) < bar->width() - 8);
        // Every field shows a whole default address without scrolling.
        for (int slot = 1; slot <= 8; ++slot) {
            QLineEdit *f = dialog->site(slot);
            QVERIFY(f->fontMetrics().horizontalAdvance(f->text()) < f->width() - 8);
        }
        QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS");
        if (dir.isEmpty())
            dir = QDir::tempPath() + QStringLiteral("/quillon-artifacts");
        QVERIFY(QDir().mkpath(dir));
        const QString file = dir + QStringLiteral("/form2.png");
        QVERIFY(dialog->grab().save(file));
        qInfo("screenshot: %s", qPrintable(file));
    }
};

QUILLON_TEST_MAIN(TestForm2)
#include "tst_form2.moc"
