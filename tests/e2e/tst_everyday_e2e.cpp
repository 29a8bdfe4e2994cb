#include "app/mdiform1.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "core/windowregistry.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/tabstrip.h"
#include "platform/webenginebrowser.h"
#include "sites/defaultsitesmodel.h"
#include "testenv.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QWebEngineView>
#include <QtTest>

namespace {
QByteArray page(const QByteArray &title, const QByteArray &head = QByteArray())
{
    return "<html><head><title>" + title + "</title>" + head + "</head><body><p>" + title + "</p></body></html>";
}

QByteArray redPng()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
}

// Everyday browsing with the real engine: loading feedback and the browser keys with the focus in a page.
class TestEverydayE2E : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempHome> m_home;
    mdiform1 *m_frame = nullptr;

    ChildWindow *openWindow(const QString &url)
    {
        ChildWindow *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->openNumbered(w);
        if (!PageWait::load(w->Web1, url))
            return nullptr;
        return w;
    }
    // Puts the keyboard focus inside the active window's page, where a click would.
    bool focusPage(ChildWindow *w)
    {
        auto *view = static_cast<WebEngineBrowser *>(w->Web1)->view();
        m_frame->activateWindow();
        view->setFocus();
        return QTest::qWaitFor([&] {
            return QApplication::focusWidget() && view->isAncestorOf(QApplication::focusWidget());
        }, 10000);
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        m_home = std::make_unique<TempHome>();
        BrowserControl::setFactory({});
        KeyboardState::setOverride(0);
        DefaultSitesModel::discard();
        m_frame = new mdiform1;
        m_frame->resize(1200, 800);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    }
    void cleanup()
    {
        for (QWidget *w : WindowRegistry::windows())
            if (w != m_frame)
                delete w;
        delete m_frame;
        m_home.reset();
    }

    void slowPageShowsLoadingThenItsIcon()
    {
        LoopbackServer server(QStringLiteral("127.0.0.3"));
        server.setHandler("/slow", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.body = page("Slow page", "<link rel=\"icon\" type=\"image/png\" href=\"/red.png\">");
            r.delayMs = 1500;
            return r;
        });
        server.setHandler("/red.png", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "image/png";
            r.body = redPng();
            return r;
        });
        // As after start-up: every window has settled, so pages fetch their icons.
        m_frame->windows->enablePageIconsWhenSettled();
        ChildWindow *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(w, server.url(QStringLiteral("/slow")));
        const qint64 loading = WindowManager::loadingIcon().cacheKey();
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->icon(1).cacheKey(), loading, 10000);
        QVERIFY(m_frame->loadProgress->isVisible());
        QCOMPARE(m_frame->tb->caption(1), QStringLiteral("1")); // the caption stays the Part's
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(1), QStringLiteral("Slow page"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_frame->tb->icon(1).isNull() && m_frame->tb->icon(1).cacheKey() != loading, 30000);
        const QImage shown = m_frame->tb->icon(1).pixmap(16, 16).toImage();
        QCOMPARE(QColor(shown.pixel(8, 8)), QColor(Qt::red));
        QVERIFY(!m_frame->loadProgress->isVisible());
        QVERIFY(server.count("/red.png") >= 1);
    }

    void browserKeysWorkInsideAPage()
    {
        LoopbackServer server(QStringLiteral("127.0.0.4"));
        server.setPage("/a", page("Page A"));
        server.setPage("/b", page("Page B"));
        server.setPage("/c", page("Page C"));
        ChildWindow *first = openWindow(server.url(QStringLiteral("/a")));
        QVERIFY(first);
        QVERIFY(PageWait::load(first->Web1, server.url(QStringLiteral("/b"))));
        ChildWindow *second = openWindow(server.url(QStringLiteral("/c")));
        QVERIFY(second);
        QCOMPARE(m_frame->windows->activeChild(), second);

        // Ctrl+Tab: the next window in tab order, wrapping round to window 1.
        QVERIFY(focusPage(second));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QTRY_COMPARE(m_frame->windows->activeChild(), first);
        QCOMPARE(m_frame->tb->selectedIndex(), 1);
        QCOMPARE(m_frame->addressText(), server.url(QStringLiteral("/b")));

        // F5 reloads the page.
        QVERIFY(focusPage(first));
        const int before = server.count("/b");
        QSignalSpy complete(first->Web1, &BrowserControl::DocumentComplete);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QVERIFY(complete.wait(30000));
        QCOMPARE(server.count("/b"), before + 1);

        // Alt+Left goes back.
        QVERIFY(focusPage(first));
        complete.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(complete.wait(30000));
        QTRY_COMPARE(first->Web1->LocationURL(), server.url(QStringLiteral("/a")));

        // Ctrl+L: the address bar with its whole text selected.
        QVERIFY(focusPage(first));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(m_frame->cboAddress->hasFocus());
        QCOMPARE(m_frame->cboAddress->lineEdit()->selectedText(), m_frame->addressText());

        // Ctrl+F4 closes the active window.
        QVERIFY(focusPage(first));
        QPointer<ChildWindow> closing(first);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(!closing || !closing->isVisible());
        QCOMPARE(m_frame->windows->activeChild(), second);
    }
};

QUILLON_TEST_MAIN(TestEverydayE2E)
#include "tst_everyday_e2e.moc"
