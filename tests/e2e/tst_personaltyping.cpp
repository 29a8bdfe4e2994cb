#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "httpserver.h"
#include "pagewait.h"
#include "personal/form3.h"
#include "personal/personaldetails.h"
#include "personal/personalmenu.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QWebEngineView>
#include <QtTest>

namespace {
const QByteArray formPage = R"(<html><head><title>Form</title></head><body>
<input id="f" type="text" style="width:700px">
<script>
  window.keydowns = 0; window.codes = '';
  document.getElementById('f').addEventListener('keydown', function (e) { window.keydowns++; window.codes += e.keyCode + ' '; });
</script></body></html>)";
}

class TestPersonalTyping : public QObject
{
    Q_OBJECT

    TempHome home;
    LoopbackServer server;
    QMainWindow *frame = nullptr;
    ChildWindow *window = nullptr;
    PersonalMenu *personal = nullptr;

    QString fieldValue() { return PageWait::eval(window->Web1, QStringLiteral("document.getElementById('f').value")).toString(); }
    int keydowns() { return PageWait::eval(window->Web1, QStringLiteral("window.keydowns")).toInt(); }

    // Clicks into the field, as the user would before choosing a detail; true once it has the focus.
    bool clickIntoField()
    {
        const QVariantList box = PageWait::eval(window->Web1, QStringLiteral(
            "var f = document.getElementById('f'); f.value = ''; window.keydowns = 0; window.codes = '';"
            "var r = f.getBoundingClientRect(); [r.left + r.width / 2, r.top + r.height / 2]")).toList();
        QWidget *surface = qobject_cast<WebEngineBrowser *>(window->Web1)->view()->focusProxy();
        if (box.size() != 2 || !surface)
            return false;
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
        return PageWait::eval(window->Web1, QStringLiteral("document.activeElement.id")).toString() == QLatin1String("f");
    }

    void focusField()
    {
        frame->activateWindow();
        QTRY_VERIFY(frame->isActiveWindow());
        window->Web1->setFocus();
        // A fresh page takes input only once its first frame is up: click until the field has it.
        QTRY_VERIFY_WITH_TIMEOUT(clickIntoField(), 20000);
        QVERIFY(window->Web1->isAncestorOf(QApplication::focusWidget()));
    }

    // Opens the menu from the menu bar and clicks the item, as a user would.
    void pick(const QString &item)
    {
        QMenuBar *bar = frame->menuBar();
        QMenu *menu = personal->menu();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QAction *action = menu->findChild<QAction *>(item);
        QVERIFY(action);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void initTestCase()
    {
        QVERIFY(server.isListening());
        server.setPage("/form", formPage);
        frame = new QMainWindow;
        frame->setObjectName(QStringLiteral("mdiform1"));
        frame->menuBar()->addMenu(QStringLiteral("&File"));
        auto *area = new QMdiArea;
        frame->setCentralWidget(area);
        window = new ChildWindow(ChildWindow::Kind::Browser, QStringLiteral("form1"));
        area->addSubWindow(window);
        window->resize(800, 400);
        window->show();
        // The frame's hidden menu, first on the bar.
        auto *menu = new QMenu(QStringLiteral("&Personal"), frame->menuBar());
        menu->setObjectName(QStringLiteral("mnuPDs"));
        frame->menuBar()->insertMenu(frame->menuBar()->actions().first(), menu);
        menu->menuAction()->setVisible(false);
        personal = new PersonalMenu(menu, [this] { return window->Web1; }, frame);
        frame->resize(1000, 700);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(PageWait::load(window->Web1, server.url(QStringLiteral("/form"))));
    }

    void cleanupTestCase()
    {
        delete frame;
    }

    void eachItemTypesItsFieldExactly()
    {
        const QStringList values = {QStringLiteral("Zoë O'Brien-Müller 漢字 😀𠀋 +^%~{}[]"), QStringLiteral("Smith"),
                                    QStringLiteral("me+tag@x.test"), QStringLiteral("http://x.test/~me/%20a"),
                                    QStringLiteral("1 \"Quoted\" St & (rear)"), QStringLiteral("Smalltown"),
                                    QString(), QStringLiteral("2000"), QStringLiteral("Österreich"),
                                    QStringLiteral("(02) 9555-1234"), QStringLiteral("+61 2 9555 0000")};
        for (int i = 0; i < PersonalDetails::Count; ++i)
            QVERIFY(PersonalDetails::write(i, values[i]));
        personal->Show();
        QVERIFY(personal->isShown());

        for (int i = 0; i < PersonalDetails::Count; ++i) {
            const QString item = QLatin1String(PersonalDetails::fields[i].item);
            focusField();
            pick(item);
            if (values[i].isEmpty()) {
                // Nothing may arrive: another item typed next must be all the field holds.
                pick(QStringLiteral("n2"));
                QTRY_COMPARE_WITH_TIMEOUT(fieldValue(), QStringLiteral("Smith"), 10000);
                QCOMPARE(keydowns(), 5);
                continue;
            }
            QTRY_COMPARE_WITH_TIMEOUT(fieldValue(), values[i], 10000);
            // One key per character and nothing after it (no Enter, no Tab); characters
            // beyond 16 bits (the emoji) go in as text, whole.
            const QList<uint> codePoints = values[i].toUcs4();
            QCOMPARE(keydowns(), int(std::count_if(codePoints.cbegin(), codePoints.cend(), [](uint cp) { return cp <= 0xFFFF; })));
            if (values[i] == QLatin1String("Smith")) // with the codes a keyboard gives
                QCOMPARE(PageWait::eval(window->Web1, QStringLiteral("window.codes")).toString(),
                         QStringLiteral("83 77 73 84 72 "));
            QCOMPARE(PageWait::eval(window->Web1, QStringLiteral("document.activeElement.id")).toString(),
                     QStringLiteral("f"));
        }
    }

    // A very long detail arrives whole and in good time, not a key at a time; a tab arrives as itself.
    void aLongDetailArrivesWhole()
    {
        QString value;
        while (value.size() < 20000)
            value += QStringLiteral("Street 漢 +^%~{} ");
        QVERIFY(PersonalDetails::write(4, value));
        if (!personal->isShown())
            personal->Show();
        focusField();
        pick(QLatin1String(PersonalDetails::fields[4].item));
        QTRY_COMPARE_WITH_TIMEOUT(fieldValue().size(), value.size(), 20000);
        QCOMPARE(fieldValue(), value);

        // A tab in a detail is a character of the field's text, not a key that leaves it.
        QVERIFY(PersonalDetails::write(4, QStringLiteral("tab\tend")));
        focusField();
        pick(QLatin1String(PersonalDetails::fields[4].item));
        QTRY_COMPARE_WITH_TIMEOUT(fieldValue(), QStringLiteral("tab\tend"), 10000);
        QCOMPARE(PageWait::eval(window->Web1, QStringLiteral("document.activeElement.id")).toString(),
                 QStringLiteral("f"));
    }

    void detailsSavedWhileTheMenuIsShownAreTheOnesTyped()
    {
        QVERIFY(personal->isShown());
        Form3 *form = Form3::personal(frame);
        form->box(9)->setText(QStringLiteral("[03] 1234 ~5%"));
        form->Command10_Click();
        QCOMPARE(Form3::existing(), nullptr);
        focusField();
        pick(QStringLiteral("n9"));
        QTRY_COMPARE_WITH_TIMEOUT(fieldValue(), QStringLiteral("[03] 1234 ~5%"), 10000);
    }

    void hideMenuItemHidesIt()
    {
        pick(QStringLiteral("n11"));
        QVERIFY(!personal->isShown());
        QCOMPARE(fieldValue(), QStringLiteral("[03] 1234 ~5%"));
    }
};

QUILLON_TEST_MAIN(TestPersonalTyping)
#include "tst_personaltyping.moc"
