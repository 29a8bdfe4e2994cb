#include "framefixture.h"
#include "platform/tabstrip.h"
#include "sites/form2.h"
#include "tools/finddialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

// The frame's keys beat a text field's bindings, and the wheel chooses nothing it was not given.
class TestFrameKeys : public QObject
{
    Q_OBJECT
    static void wheel(QWidget *over, int notches)
    {
        const QPointF at = QPointF(over->rect().center());
        QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { Form2::unload(); }

    void partsShortcutsWinInTheAddressBar()
    {
        FrameFixture f;
        f.frame->cboAddress->setEditText(QStringLiteral("http://kept.test/"));
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->end(false);
        QTest::keyClick(bar, Qt::Key_U, Qt::ControlModifier);
        QTRY_VERIFY(Form2::current() && Form2::current()->isVisible());
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://kept.test/"));
        Form2::unload();
        // The editing keys keep their meaning in a text field.
        bar = f.focusAddressBar();
        QVERIFY(bar);
        QTest::keyClick(bar, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(f.frame->cboAddress->lineEdit()->selectedText(), QStringLiteral("http://kept.test/"));
    }

    void browserKeysActOnTheActivePage()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://one.test/"));
        f.open(QStringLiteral("http://two.test/"));
        FakeBrowser *web = f.activeWeb();
        FrameFixture::web(f.windowTagged(QStringLiteral("2")))->Navigate(QStringLiteral("http://two.test/b"));
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->setEditText(QStringLiteral("typed"));
        QTest::keyClick(bar, Qt::Key_F5);
        QTest::keyClick(bar, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(bar, Qt::Key_Escape);
        QTest::keyClick(bar, Qt::Key_Left, Qt::AltModifier);
        QTest::keyClick(bar, Qt::Key_Right, Qt::AltModifier);
        QTest::keyClick(bar, Qt::Key_Home, Qt::AltModifier);
        QTest::keyClick(bar, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(bar, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(bar, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(web->calls.mid(2), QStringList({QStringLiteral("Refresh"), QStringLiteral("Refresh"),
                                                 QStringLiteral("Stop"), QStringLiteral("GoBack"),
                                                 QStringLiteral("GoForward"), QStringLiteral("GoHome"),
                                                 QStringLiteral("Zoom 1"), QStringLiteral("Zoom -1"),
                                                 QStringLiteral("Zoom 0")}));
        QCOMPARE(f.frame->addressText(), QStringLiteral("typed")); // none of them edited the text
        // The mouse's back and forward buttons, over the tab strip or the address bar.
        web->calls.clear();
        QTest::mouseClick(f.frame->tb, Qt::BackButton);
        QTest::mouseClick(f.frame->cboAddress, Qt::ForwardButton);
        QCOMPARE(web->calls, QStringList({QStringLiteral("GoBack"), QStringLiteral("GoForward")}));

        // Ctrl+L from the page selects the whole address.
        web->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(web));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(f.frame->cboAddress->hasFocus());
        QCOMPARE(f.frame->cboAddress->lineEdit()->selectedText(), f.frame->addressText());

        // Ctrl+T opens a numbered window, Ctrl+F4 closes the active one.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
        ChildWindow *third = f.windowTagged(QStringLiteral("3"));
        QCOMPARE(f.frame->windows->activeChild(), third);
        QPointer<ChildWindow> closing(third);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(!closing);
        QCOMPARE(f.frame->tb->toolTip(3), QStringLiteral("Spare Tab - Click to use..."));
    }

    // Escape gives up a typed address first, then stops; neither renames the frame.
    void escapeInTheAddressBarGivesUpTheTypedText()
    {
        FrameFixture f;
        f.open(QStringLiteral("http://one.test/"));
        FakeBrowser *web = f.activeWeb();
        const QString caption = f.frame->windowTitle();
        QVERIFY(f.focusAddressBar());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed-something"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("typed-something"));
        const int calls = web->calls.size();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://one.test/"));
        QCOMPARE(web->calls.size(), calls);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(web->calls.mid(calls), QStringList(QStringLiteral("Stop")));
        QCOMPARE(f.frame->windowTitle(), caption);
    }

    // Ctrl+Tab and Ctrl+Shift+Tab step one window at a time, with wrap-around. Pressed on
    // the X keyboard: its key codes give the shortcut map more than one reading of a press.
    void ctrlTabStepsThroughTheWindowsBothWays()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the X keyboard");
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        ChildWindow *c = f.open(QStringLiteral("http://c.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        c->Web1->setFocus();
        QTRY_VERIFY(c->Web1->hasFocus());
        auto press = [](const char *keys) {
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QLatin1String(keys)}), 0);
        };
        press("ctrl+Tab");
        QTRY_COMPARE(f.frame->windows->activeChild(), a);
        press("ctrl+shift+Tab");
        QTRY_COMPARE(f.frame->windows->activeChild(), c);
        press("ctrl+shift+Tab");
        QTRY_COMPARE(f.frame->windows->activeChild(), b);
        // From the address bar too, and the tab strip follows.
        QVERIFY(f.focusAddressBar());
        press("ctrl+shift+Tab");
        QTRY_COMPARE(f.frame->windows->activeChild(), a);
        QCOMPARE(f.frame->tb->selectedIndex(), 1);
    }

    // A box a page puts up (a window of its own, made over the page) keeps the keys typed
    // in it: Ctrl+Tab there leaves the windows behind it as they are.
    void ctrlTabInAPagesBoxStaysInTheBox()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the X keyboard");
        FrameFixture f;
        f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QDialog box(b->Web1); // as a page's prompt() box is made
        auto *line = new QLineEdit(&box);
        box.setModal(true);
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        line->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), line);
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+Tab"),
                                                               QStringLiteral("x")}),
                 0);
        QTRY_COMPARE(line->text(), QStringLiteral("x")); // every key before it has been handled
        QCOMPARE(f.frame->windows->activeChild(), b);
    }

    // A page's Find dialog is up only while its window is the one in front: it cannot go
    // on searching a page another window's tab hid, and it comes back with its window.
    void findGoesAndComesBackWithItsWindow()
    {
        FrameFixture f;
        ChildWindow *a = f.open(QStringLiteral("http://a.test/"));
        ChildWindow *b = f.open(QStringLiteral("http://b.test/"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QTest::mouseClick(f.frame->tb->button(1), Qt::LeftButton);
        QCOMPARE(f.frame->windows->activeChild(), a);
        a->Web1->setFocus();
        QTRY_VERIFY(a->Web1->hasFocus());

        auto findFromThePage = [](ChildWindow *w, const QString &word) -> FindDialog * {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            auto *dialog = w->Web1->findChild<FindDialog *>();
            if (!dialog || !QTest::qWaitFor([&] { return QApplication::focusWidget()
                                                          && dialog->isAncestorOf(QApplication::focusWidget()); }))
                return nullptr;
            QTest::keyClicks(QApplication::focusWidget(), word);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return dialog;
        };
        auto searches = [](ChildWindow *w) { return FrameFixture::web(w)->calls.filter(QStringLiteral("findText ")); };

        FindDialog *findA = findFromThePage(a, QStringLiteral("apple"));
        QVERIFY(findA);
        QCOMPARE(searches(a).last(), QStringLiteral("findText apple 0 0"));

        QTest::mouseClick(f.frame->tb->button(2), Qt::LeftButton);
        QCOMPARE(f.frame->windows->activeChild(), b);
        QVERIFY(!findA->isVisible());
        const int searchedA = searches(a).size();
        b->Web1->setFocus();
        QTRY_VERIFY(b->Web1->hasFocus());
        FindDialog *findB = findFromThePage(b, QStringLiteral("banana"));
        QVERIFY(findB && findB != findA);
        QCOMPARE(searches(b).last(), QStringLiteral("findText banana 0 0"));
        QCOMPARE(searches(a).size(), searchedA);

        QTest::mouseClick(f.frame->tb->button(1), Qt::LeftButton);
        QTRY_VERIFY(findA->isVisible());
        QVERIFY(!findB->isVisible());
        // One the user closed stays closed when its window comes forward again.
        findA->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
        QTest::mouseClick(f.frame->tb->button(2), Qt::LeftButton);
        QTRY_VERIFY(findB->isVisible());
        QTest::mouseClick(f.frame->tb->button(1), Qt::LeftButton);
        QVERIFY(!findB->isVisible());
        QVERIFY(!findA->isVisible());
    }

    // Enter presses the button the keys are on; in the text field it is Find Next.
    void enterInFindPressesTheFocusedButton()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FindDialog *find = FindDialog::showFor(w->Web1);
        QVERIFY(QTest::qWaitForWindowActive(find));
        QTRY_COMPARE(QApplication::focusWidget(), find->findChild<QLineEdit *>(QStringLiteral("txtFind")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("apple"));
        FakeBrowser *web = FrameFixture::web(w);
        auto enterOn = [&](const char *name, Qt::Key key) {
            if (name) {
                auto *button = find->findChild<QPushButton *>(QLatin1String(name));
                button->setFocus();
                if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == button; }))
                    return QStringLiteral("no focus on %1").arg(QLatin1String(name));
            }
            web->calls.clear();
            QTest::keyClick(QApplication::focusWidget(), key);
            return web->calls.isEmpty() ? QString() : web->calls.last();
        };
        QCOMPARE(enterOn(nullptr, Qt::Key_Return), QStringLiteral("findText apple 0 0"));
        QCOMPARE(enterOn("cmdPrevious", Qt::Key_Return), QStringLiteral("findText apple 1 0"));
        QCOMPARE(enterOn("cmdPrevious", Qt::Key_Enter), QStringLiteral("findText apple 1 0"));
        QCOMPARE(enterOn("cmdNext", Qt::Key_Return), QStringLiteral("findText apple 0 0"));
        QCOMPARE(enterOn("cmdClose", Qt::Key_Return), QStringLiteral("findText  0 0")); // the highlight goes
        QVERIFY(!find->isVisible());
    }

    void wheelOverAnUnfocusedComboChoosesNothing()
    {
        FrameFixture f;
        f.frame->additems();
        ChildWindow *w = f.open(QStringLiteral("http://one.test/"));
        f.frame->cboAddress->addItem(QStringLiteral("http://history.test/a"));
        f.frame->cboAddress->addItem(QStringLiteral("http://history.test/b"));
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        w->Web1->setFocus();
        QTRY_VERIFY(w->Web1->hasFocus());
        const QString text = f.frame->addressText();
        for (QComboBox *combo : {f.frame->cboAddress, f.frame->sites, f.frame->tools}) {
            const int index = combo->currentIndex();
            wheel(combo, -1);
            wheel(combo, 1);
            wheel(combo, -1);
            QCOMPARE(combo->currentIndex(), index);
            QVERIFY(!combo->hasFocus());
        }
        QCOMPARE(f.frame->addressText(), text);
        QCOMPARE(FrameFixture::web(w)->navigations, QStringList{QStringLiteral("http://one.test/")});
        QCOMPARE(f.frame->windows->Tabctr, qint16(1));
        QCOMPARE(f.frame->mdiArea->subWindowList().size(), 1);
    }
};

QUILLON_TEST_MAIN(TestFrameKeys)
#include "tst_framekeys.moc"
