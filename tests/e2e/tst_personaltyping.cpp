#include "app/mdiform1.h"
#include "core/browsercontrol.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "framefixture.h"
#include "httpserver.h"
#include "pagewait.h"
#include "personal/form3.h"
#include "personal/personaldetails.h"
#include "personal/personalmenu.h"
#include "platform/webenginebrowser.h"
#include "popups/webpopup.h"
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

// Another site's page that takes the keyboard as soon as it opens and reports every key.
const QByteArray catchPage = R"html(<html><head><title>Catcher</title></head><body>
<input id="c" autofocus oninput="new Image().src = '/caught?' + encodeURIComponent(this.value)">
<script>document.getElementById('c').focus();</script></body></html>)html";
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

    // The real frame: its own Personal menu, popups handled as the person has them.
    struct RealFrame {
        mdiform1 *frame = FrameFixture::newEngineFrame();
        ~RealFrame() { FrameFixture::deleteFrame(frame); }
        QMenu *menu() const { return frame->findChild<QMenu *>(QStringLiteral("mnuPDs")); }
        void activate(ChildWindow *w) const { frame->windows->area()->setActiveSubWindow(w); }
    };

    static QString valueIn(BrowserControl *web, const char *id)
    {
        return PageWait::eval(web, QStringLiteral("document.getElementById('%1').value").arg(QLatin1String(id))).toString();
    }

    // Clicks into the field id of w, which is made the active window first; true once the
    // click has put the focus there (a fresh page takes input only once its first frame is up).
    static bool clickIntoFieldOf(const RealFrame &real, ChildWindow *w, const char *id = "f")
    {
        real.activate(w);
        const QVariantList box = PageWait::eval(w->Web1, QStringLiteral(
            "document.activeElement.blur();"
            "var r = document.getElementById('%1').getBoundingClientRect(); [r.left + r.width / 2, r.top + r.height / 2]")
            .arg(QLatin1String(id))).toList();
        QWidget *surface = qobject_cast<WebEngineBrowser *>(w->Web1)->view()->focusProxy();
        if (box.size() != 2 || !surface)
            return false;
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
        return QTest::qWaitFor([&] {
            return PageWait::eval(w->Web1, QStringLiteral("document.activeElement.id")).toString() == QLatin1String(id)
                && w->Web1->isAncestorOf(QApplication::focusWidget());
        }, 1000);
    }

    // Shows the Personal menu (Ctrl+D) and opens it from the menu bar.
    static bool openMenu(const RealFrame &real)
    {
        QAction *show = real.frame->findChild<QAction *>(QStringLiteral("Show"));
        if (!show || !real.menu())
            return false;
        if (!real.menu()->menuAction()->isVisible())
            show->trigger();
        QMenuBar *bar = real.frame->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(real.menu()->menuAction()).center());
        return QTest::qWaitFor([&] { return real.menu()->isVisible(); });
    }

    static void clickItem(QMenu *menu, const char *name)
    {
        QAction *action = menu->findChild<QAction *>(QLatin1String(name));
        QVERIFY(action);
        QVERIFY(menu->isVisible());
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

    // Another site's popup opens while the menu is up and takes the keyboard: the detail
    // still goes to the field the person clicked into, never to the popup.
    void aPopupThatTookTheKeyboardGetsNoDetail()
    {
        LoopbackServer other(QStringLiteral("127.0.0.207"));
        QVERIFY(other.isListening());
        other.setPage("/catch", catchPage);
        server.setPage("/opener", "<html><head><title>Opener</title></head><body><script>function openCatch() { window.open('"
                                      + other.url(QStringLiteral("/catch")).toUtf8() + "'); return 1; }</script></body></html>");
        QVERIFY(PersonalDetails::write(0, QStringLiteral("Ann Other")));

        RealFrame real;
        QVERIFY(QTest::qWaitForWindowExposed(real.frame));
        ChildWindow *a = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/form")));
        ChildWindow *b = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/opener")));
        QVERIFY(a && b);
        real.frame->activateWindow();
        QTRY_VERIFY(real.frame->isActiveWindow());
        QVERIFY(QTest::qWaitFor([&] { return clickIntoFieldOf(real, a); }, 20000));

        QVERIFY(openMenu(real));
        QCOMPARE(PageWait::eval(b->Web1, QStringLiteral("openCatch()")).toInt(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(real.frame->findChildren<webPopup *>().size(), 1, 20000);
        webPopup *popup = real.frame->findChildren<webPopup *>().constFirst();
        // The popup is up, active and holds the keyboard, with the menu still open.
        QTRY_VERIFY_WITH_TIMEOUT(PageWait::eval(popup->Web1, QStringLiteral("document.activeElement.id")).toString()
                                     == QLatin1String("c"), 20000);
        QCOMPARE(real.frame->windows->activeChild(), popup);
        QVERIFY(QApplication::focusWidget() == popup || popup->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(real.menu()->isVisible());

        clickItem(real.menu(), "n1");
        QTRY_COMPARE_WITH_TIMEOUT(valueIn(a->Web1, "f"), QStringLiteral("Ann Other"), 10000);
        QCOMPARE(real.frame->windows->activeChild(), a);
        QVERIFY(a->Web1->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(valueIn(popup->Web1, "c"), QString());
        for (const LoopbackServer::Request &r : other.requests())
            QVERIFY2(!r.path.startsWith("/caught"), r.path.constData());

        // With the popup itself chosen, its field is the one filled, as ever.
        QVERIFY(QTest::qWaitFor([&] { return clickIntoFieldOf(real, popup, "c"); }, 20000));
        QVERIFY(openMenu(real));
        clickItem(real.menu(), "n1");
        QTRY_COMPARE_WITH_TIMEOUT(valueIn(popup->Web1, "c"), QStringLiteral("Ann Other"), 10000);
        QCOMPARE(valueIn(a->Web1, "f"), QStringLiteral("Ann Other"));
    }

    // A field inside a frame from another site, clicked into by the person, is the one filled.
    void aFieldInAFrameFromAnotherSiteIsFilled()
    {
        LoopbackServer other(QStringLiteral("127.0.0.209"));
        QVERIFY(other.isListening());
        other.setPage("/inner", R"html(<html><body style="margin:0">
<input id="g" style="width:300px;height:30px;margin:0" oninput="parent.postMessage(this.value, '*')"></body></html>)html");
        server.setPage("/framed", "<html><head><title>Framed</title></head><body style=\"margin:0\">"
                                  "<iframe id=\"fr\" style=\"border:0;width:400px;height:60px\" src=\""
                                      + other.url(QStringLiteral("/inner")).toUtf8()
                                      + "\"></iframe><script>window.fromFrame = '';"
                                        "addEventListener('message', function (e) { window.fromFrame = e.data; });"
                                        "</script></body></html>");
        QVERIFY(PersonalDetails::write(2, QStringLiteral("me+tag@x.test")));

        RealFrame real;
        QVERIFY(QTest::qWaitForWindowExposed(real.frame));
        ChildWindow *a = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/framed")));
        QVERIFY(a);
        real.frame->activateWindow();
        QTRY_VERIFY(real.frame->isActiveWindow());
        QWidget *surface = qobject_cast<WebEngineBrowser *>(a->Web1)->view()->focusProxy();
        QVERIFY(surface);
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 15));
            return PageWait::eval(a->Web1, QStringLiteral("document.activeElement.id")).toString() == QLatin1String("fr");
        }()), 20000);
        QVERIFY(openMenu(real));
        clickItem(real.menu(), "n3");
        QTRY_COMPARE_WITH_TIMEOUT(PageWait::eval(a->Web1, QStringLiteral("window.fromFrame")).toString(),
                                  QStringLiteral("me+tag@x.test"), 10000);
        QVERIFY(!real.frame->statusText().startsWith(QLatin1String("Nothing was typed")));
    }

    // Alt pressed alone, then the menu's letter: the menu bar has the keyboard while the
    // menu opens, and the detail still goes to the field the person was in.
    void aMenuOpenedFromTheKeyboardTypesIntoTheField()
    {
        QVERIFY(PersonalDetails::write(0, QStringLiteral("Ann")));
        RealFrame real;
        QVERIFY(QTest::qWaitForWindowExposed(real.frame));
        ChildWindow *a = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/form")));
        QVERIFY(a);
        real.frame->activateWindow();
        QTRY_VERIFY(real.frame->isActiveWindow());
        real.frame->findChild<QAction *>(QStringLiteral("Show"))->trigger();
        QVERIFY(QTest::qWaitFor([&] { return clickIntoFieldOf(real, a); }, 20000));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
        QTRY_VERIFY(qobject_cast<QMenuBar *>(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P);
        QTRY_VERIFY(real.menu()->isVisible());
        clickItem(real.menu(), "n1");
        QTRY_COMPARE_WITH_TIMEOUT(valueIn(a->Web1, "f"), QStringLiteral("Ann"), 10000);
    }

    // When the page the person chose cannot have the keys (its window closed, or it went to
    // another site while the menu was up), nothing is typed anywhere and the status bar says why.
    void aDetailWhosePageIsGoneIsNotTyped()
    {
        LoopbackServer other(QStringLiteral("127.0.0.208"));
        QVERIFY(other.isListening());
        other.setPage("/catch", catchPage);
        QVERIFY(PersonalDetails::write(0, QStringLiteral("Ann Other")));

        RealFrame real;
        QVERIFY(QTest::qWaitForWindowExposed(real.frame));
        ChildWindow *b = FrameFixture::openLoaded(real.frame, other.url(QStringLiteral("/catch")));
        ChildWindow *a = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/form")));
        QVERIFY(a && b);
        real.frame->activateWindow();
        QTRY_VERIFY(real.frame->isActiveWindow());
        QVERIFY(QTest::qWaitFor([&] { return clickIntoFieldOf(real, a); }, 20000));

        // The chosen window closes while the menu is up: the keyboard falls to the other site's page.
        QVERIFY(openMenu(real));
        real.frame->setStatusText(QString());
        a->close();
        QTRY_COMPARE(real.frame->windows->activeChild(), b);
        clickItem(real.menu(), "n1");
        QTRY_VERIFY2(real.frame->statusText().contains(QLatin1String("closed")), qPrintable(real.frame->statusText()));
        QCOMPARE(valueIn(b->Web1, "c"), QString());

        // The chosen page itself goes to another site while the menu is up.
        ChildWindow *c = FrameFixture::openLoaded(real.frame, server.url(QStringLiteral("/form")));
        QVERIFY(c);
        QVERIFY(QTest::qWaitFor([&] { return clickIntoFieldOf(real, c); }, 20000));
        QVERIFY(openMenu(real));
        real.frame->setStatusText(QString());
        QVERIFY(PageWait::load(c->Web1, other.url(QStringLiteral("/catch"))));
        QTRY_VERIFY_WITH_TIMEOUT(PageWait::eval(c->Web1, QStringLiteral("document.activeElement.id")).toString()
                                     == QLatin1String("c"), 20000);
        clickItem(real.menu(), "n1");
        QTRY_VERIFY2(real.frame->statusText().contains(QLatin1String("another site")), qPrintable(real.frame->statusText()));
        QCOMPARE(valueIn(c->Web1, "c"), QString());
        QCOMPARE(valueIn(b->Web1, "c"), QString());
        for (const LoopbackServer::Request &r : other.requests())
            QVERIFY2(!r.path.startsWith("/caught"), r.path.constData());
    }
};

QUILLON_TEST_MAIN(TestPersonalTyping)
#include "tst_personaltyping.moc"
