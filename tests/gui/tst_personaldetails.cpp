#include "app/menutree.h"
#include "core/settingsstore.h"
#include "fakebrowser.h"
#include "framefixture.h"
#include "personal/form3.h"
#include "personal/personaldetails.h"
#include "personal/personalmenu.h"
#include "platform/dialogs.h"
#include "core/paths.h"
#include "testenv.h"
#include "tools/finddialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
QString stored(const char *key)
{
    return SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("personal"), QLatin1String(key),
                                     QStringLiteral("<missing>"));
}

// Form3 goes away with deleteLater: let it happen before the next check.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}

class TestPersonalDetails : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup()
    {
        if (Form3 *f = Form3::existing())
            delete f;
        Dialogs::setTellHook(nullptr);
    }

    void emptyStoreOpensEmptyInFieldOrder()
    {
        TempHome home;
        QMainWindow frame;
        Form3 *form = Form3::personal(&frame);
        QVERIFY(form->isVisible());
        QVERIFY(form->isModal());
        QCOMPARE(form->windowTitle(), QStringLiteral("My Personal Details"));
        const QStringList boxes = {"first", "family", "email", "url", "street", "city",
                                   "state", "zip", "country", "Phone", "Fax"};
        const QStringList labels = {"First Name:", "Family Name:", "Email Address:", "URL:", "Street Address:",
                                    "City / Suburb:", "State:", "Zip / Post Code:", "Country:", "Phone:", "Fax:"};
        QWidget *w = form->findChild<QLineEdit *>(QStringLiteral("first"));
        for (int i = 0; i < boxes.size(); ++i) {
            auto *box = form->findChild<QLineEdit *>(boxes[i]);
            QVERIFY2(box, qPrintable(boxes[i]));
            QVERIFY(box->text().isEmpty());
            QCOMPARE(box, w); // tab order follows the table
            auto *label = form->findChild<QLabel *>(QStringLiteral("lbl") + boxes[i]);
            QCOMPARE(label->text(), labels[i]);
            QCOMPARE(label->buddy(), box);
            w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus))
                w = w->nextInFocusChain();
        }
        QCOMPARE(w->objectName(), QStringLiteral("Command10"));
        // Reading never creates the store.
        QVERIFY(!QFile::exists(Paths::settingsFile()));
    }

    void saveWritesEveryFieldExactlyAndDiscardsTheDialog()
    {
        TempHome home;
        QMainWindow frame;
        Form3 *form = Form3::personal(&frame);
        const QStringList values = {QStringLiteral("Zoë O'Brien-Müller 漢字 +^%~{}[]"), QString(),
                                    QStringLiteral("a&b@x.test"), QStringLiteral("http://x.test/~me/%20a"),
                                    QStringLiteral("  1 \"Quoted\" St  "), QStringLiteral("Smalltown, North"),
                                    QString(), QStringLiteral("2000"), QStringLiteral("Österreich"),
                                    QStringLiteral("(02) 9555-1234"), QStringLiteral("back\\slash")};
        for (int i = 0; i < values.size(); ++i)
            form->box(i)->setText(values[i]);
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("Command10")), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(Form3::existing(), nullptr);
        QPointer<Form3> gone(form);
        settle();
        QVERIFY(!gone);

        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(stored(PersonalDetails::fields[i].key), values[i]); // empty ones are present, not missing
        const QFile::Permissions mode = QFile::permissions(Paths::settingsFile());
        QVERIFY(mode.testFlag(QFile::ReadOwner) && mode.testFlag(QFile::WriteOwner));
        QCOMPARE(int(mode & 0x00FF), 0); // nothing for group or others

        form = Form3::personal(&frame);
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(form->value(i), values[i]);
    }

    void closeDropsEdits()
    {
        TempHome home;
        QVERIFY(PersonalDetails::write(0, QStringLiteral("Ann")));
        QMainWindow frame;
        Form3 *form = Form3::personal(&frame);
        QCOMPARE(form->value(0), QStringLiteral("Ann"));
        form->box(0)->setText(QStringLiteral("Bob"));
        form->box(9)->setText(QStringLiteral("555"));
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("Command11")), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(Form3::existing(), nullptr);
        settle();
        QCOMPARE(stored("pdone"), QStringLiteral("Ann"));
        QCOMPARE(stored("pdten"), QStringLiteral("<missing>"));
        QCOMPARE(Form3::personal(&frame)->value(0), QStringLiteral("Ann"));

        // Escape and the window's close box are Close too.
        Form3::existing()->box(0)->setText(QStringLiteral("Cy"));
        QTest::keyClick(Form3::existing(), Qt::Key_Escape);
        QCOMPARE(Form3::existing(), nullptr);
        QCOMPARE(stored("pdone"), QStringLiteral("Ann"));
    }

    // Enter in a box saves nothing by surprise; Enter on Save saves.
    void enterSavesOnlyFromTheSaveButton()
    {
        TempHome home;
        QMainWindow frame;
        Form3 *form = Form3::personal(&frame);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->activateWindow();
        form->box(0)->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), form->box(0));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Dee"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Form3::existing(), form);
        QCOMPARE(stored("pdone"), QStringLiteral("<missing>"));
        QWidget *save = form->findChild<QPushButton *>(QStringLiteral("Command10"));
        save->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), save);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Form3::existing(), nullptr);
        settle();
        QCOMPARE(stored("pdone"), QStringLiteral("Dee"));
    }

    void unwritableStoreSaysWhyAndKeepsTheEdits()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::settingsFile())); // a folder where the file should be
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q; });
        QMainWindow frame;
        Form3 *form = Form3::personal(&frame);
        form->box(0)->setText(QStringLiteral("Ann"));
        form->Command10_Click();
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].text.contains(QStringLiteral("could not be saved")));
        QVERIFY(told[0].text.contains(Paths::settingsFile())); // the reason names the file
        QCOMPARE(told[0].icon, QMessageBox::Warning);
        QCOMPARE(Form3::existing(), form);
        QVERIFY(form->isVisible());
        QCOMPARE(form->value(0), QStringLiteral("Ann"));

        // Once the cause is gone, Save goes through.
        QVERIFY(QDir().rmdir(Paths::settingsFile()));
        form->Command10_Click();
        QCOMPARE(told.size(), 1);
        QCOMPARE(Form3::existing(), nullptr);
        QCOMPARE(stored("pdone"), QStringLiteral("Ann"));
    }

    void menuIsFirstHiddenAndToggles()
    {
        TempHome home;
        QMainWindow frame;
        const MenuTree tree = buildMenuTree(frame.menuBar());
        PersonalMenu personal(tree.menus.value(QStringLiteral("mnuPDs")), [] { return nullptr; }, &frame);
        QMenu *menu = frame.menuBar()->findChild<QMenu *>(QStringLiteral("mnuPDs"));
        QCOMPARE(menu, personal.menu());
        QCOMPARE(frame.menuBar()->actions().first(), menu->menuAction());
        QCOMPARE(menu->title(), QStringLiteral("&Personal"));
        QStringList names, captions;
        for (QAction *a : menu->actions()) {
            names << a->objectName();
            captions << a->text();
        }
        QCOMPARE(names, QStringList({"n1", "n2", "n3", "n4", "n5", "n6", "n12", "n7", "n8", "n9", "n10", "n11"}));
        QCOMPARE(captions, QStringList({"&First Name", "&Surname", "&Email Address", "&URL", "Street &Address", "&City",
                                        "S&tate", "&Zip / Postcode", "Countr&y", "&Phone", "&Fax", "Hide &Menu"}));

        QVERIFY(!menu->menuAction()->isVisible());
        personal.Show();
        QVERIFY(menu->menuAction()->isVisible());
        personal.Show();
        QVERIFY(!menu->menuAction()->isVisible());
        personal.Show();
        QVERIFY(personal.isShown());
        menu->findChild<QAction *>(QStringLiteral("n11"))->trigger();
        QVERIFY(!personal.isShown());
        personal.Show();
        QVERIFY(personal.isShown());
    }

    void showingTheMenuReloadsTheDetails()
    {
        TempHome home;
        QMainWindow frame;
        const MenuTree tree = buildMenuTree(frame.menuBar());
        PersonalMenu personal(tree.menus.value(QStringLiteral("mnuPDs")), [] { return nullptr; }, &frame);
        QVERIFY(PersonalDetails::write(6, QStringLiteral("NSW")));
        personal.Show();
        Form3 *hidden = Form3::existing();
        QVERIFY(hidden);
        QVERIFY(!hidden->isVisible());
        QCOMPARE(hidden->value(6), QStringLiteral("NSW"));

        QVERIFY(PersonalDetails::write(6, QStringLiteral("Vic")));
        personal.Show(); // hides: values untouched
        QCOMPARE(hidden->value(6), QStringLiteral("NSW"));
        personal.Show();
        QCOMPARE(Form3::existing(), hidden);
        QCOMPARE(hidden->value(6), QStringLiteral("Vic"));
        // Opening the dialog now shows that same instance.
        QCOMPARE(Form3::personal(&frame), hidden);
    }

    // Another running copy saves while this one holds the dialog hidden (Ctrl+D) and
    // then open (Ctrl+M): its values are shown, and Save keeps those it did not touch.
    void dialogShowsAndKeepsWhatAnotherCopySaved()
    {
        FrameFixture f;
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        auto keys = [](Qt::Key key) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : QApplication::activeWindow(), key, Qt::ControlModifier);
        };
        keys(Qt::Key_D);
        QVERIFY(Form3::existing());
        QVERIFY(PersonalDetails::write(0, QStringLiteral("Ann")));
        QVERIFY(PersonalDetails::write(9, QStringLiteral("555-1234")));

        keys(Qt::Key_M);
        Form3 *form = Form3::existing();
        QTRY_VERIFY(form->isVisible());
        QCOMPARE(form->value(0), QStringLiteral("Ann"));
        QCOMPARE(form->value(9), QStringLiteral("555-1234"));
        form->box(0)->selectAll();
        QTest::keyClicks(form->box(0), QStringLiteral("Bea"));
        QVERIFY(PersonalDetails::write(2, QStringLiteral("ann@x.test"))); // saved while the dialog is open
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("Command10")), Qt::LeftButton);
        QCOMPARE(Form3::existing(), nullptr);
        QCOMPARE(stored("pdone"), QStringLiteral("Bea"));
        QCOMPARE(stored("pdthree"), QStringLiteral("ann@x.test"));
        QCOMPARE(stored("pdten"), QStringLiteral("555-1234"));
        QCOMPARE(stored("pdeleven"), QString()); // untouched and absent: stored empty, as before
    }

    void takesOverTheFramesOwnMenu()
    {
        TempHome home;
        QVERIFY(PersonalDetails::write(9, QStringLiteral("(02) 9555-1234")));
        QMainWindow frame;
        QMenu *menu = frame.menuBar()->addMenu(QStringLiteral("&Personal"));
        for (const char *name : {"n1", "n2", "n3", "n4", "n5", "n6", "n12", "n7", "n8", "n9", "n10", "n11"})
            menu->addAction(QLatin1String(name))->setObjectName(QLatin1String(name));
        auto *web = new FakeBrowser;
        frame.setCentralWidget(web);
        PersonalMenu personal(menu, [web] { return web; }, &frame);
        QCOMPARE(menu->actions().size(), 12); // nothing added twice
        menu->findChild<QAction *>(QStringLiteral("n9"))->trigger();
        QVERIFY(web->typed.isEmpty()); // typed once the menu has closed, not inside it
        QTRY_COMPARE(web->typed, QStringLiteral("(02) 9555-1234"));
    }

    void typingGoesToTheFocusedWidget()
    {
        TempHome home;
        FakeBrowser::install();
        QMainWindow frame;
        auto *web = new FakeBrowser;
        auto *address = new QLineEdit;
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        layout->addWidget(address);
        layout->addWidget(web);
        frame.setCentralWidget(central);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        QTRY_VERIFY(frame.isActiveWindow());

        const QString value = QStringLiteral("Zoë +^%~{}[] 漢字 😀");
        web->setFocus();
        QTRY_VERIFY(web->hasFocus());
        PersonalMenu::typeIntoFocus(value, nullptr);
        QCOMPARE(web->typed, value);

        address->setFocus();
        QTRY_VERIFY(address->hasFocus());
        PersonalMenu::typeIntoFocus(value, web);
        QCOMPARE(address->text(), value);
        QCOMPARE(web->typed, value); // not typed twice

        PersonalMenu::typeIntoFocus(QString(), web);
        QCOMPARE(address->text(), value);

        // A dialog the control owns is not its page.
        FindDialog *find = FindDialog::showFor(web);
        auto *box = find->findChild<QLineEdit *>(QStringLiteral("txtFind"));
        find->activateWindow();
        QTRY_VERIFY(box->hasFocus());
        PersonalMenu::typeIntoFocus(QStringLiteral("x+y"), web);
        QCOMPARE(box->text(), QStringLiteral("x+y"));
        QCOMPARE(web->typed, value);
        BrowserControl::setFactory(nullptr);
    }
};

QUILLON_TEST_MAIN(TestPersonalDetails)
#include "tst_personaldetails.moc"
