#include "app/mdiform1.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "core/windowregistry.h"
#include "framefixture.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/pageiconfetcher.h"
#include "platform/tabstrip.h"
#include "testenv.h"

#include <QtTest>

namespace {
LoopbackServer::Handler picture(QColor colour, const char *format, const QByteArray &type)
{
    const QByteArray bytes = LoopbackServer::picture(colour, format);
    return [bytes, type](const LoopbackServer::Request &) {
        LoopbackServer::Response r;
        r.contentType = type;
        r.body = bytes;
        return r;
    };
}
}

// Page icons of windows that finished while the engine loaded none, as the start-up sites do.
class TestPageIconsE2E : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempHome> m_home;
    mdiform1 *m_frame = nullptr;

    ChildWindow *openWindow(const QString &url) { return FrameFixture::openLoaded(m_frame, url); }
    QIcon tabIcon(ChildWindow *w)
    {
        int n = 0;
        return w->tagNumber(&n) ? m_frame->tb->icon(n) : QIcon();
    }
    static QColor centre(const QIcon &icon) { return icon.pixmap(16, 16).toImage().pixelColor(8, 8); }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        QVERIFY((m_frame = FrameFixture::newEngineFrameAtHome(m_home)));
    }
    void cleanup()
    {
        FrameFixture::deleteFrame(m_frame);
        m_home.reset();
    }

    void pagesFinishedBeforeIconsGetThemAfter()
    {
        LoopbackServer site(QStringLiteral("127.0.0.8"));
        site.setPage("/pages/linked", "<html><head><title>Linked</title>"
                                      "<link rel=\"Shortcut Icon\" href=\"img/mark.png\"></head><body>x</body></html>");
        site.setHandler("/pages/img/mark.png", picture(Qt::blue, "PNG", "image/png"));
        site.setPage("/plain", "<html><head><title>Plain</title></head><body>x</body></html>");
        site.setHandler("/favicon.ico", picture(Qt::green, "ICO", "image/x-icon"));
        LoopbackServer bare(QStringLiteral("127.0.0.9"));
        bare.setPage("/bare", "<html><head><title>Bare</title></head><body>x</body></html>");

        // As at start-up: the pages complete while the engine loads no icons.
        BrowserControl::setPageIconsEnabled(false);
        ChildWindow *linked = openWindow(site.url(QStringLiteral("/pages/linked")));
        ChildWindow *plain = openWindow(site.url(QStringLiteral("/plain")));
        ChildWindow *none = openWindow(bare.url(QStringLiteral("/bare")));
        QVERIFY(linked && plain && none);
        QVERIFY(tabIcon(linked).isNull() && tabIcon(plain).isNull());
        QCOMPARE(site.count("/pages/img/mark.png") + site.count("/favicon.ico"), 0);

        m_frame->windows->enablePageIconsWhenSettled();
        QTRY_VERIFY_WITH_TIMEOUT(!tabIcon(linked).isNull() && !tabIcon(plain).isNull(), 30000);
        QCOMPARE(centre(tabIcon(linked)), QColor(Qt::blue)); // the page's own link, not the site's default
        QCOMPARE(centre(tabIcon(plain)), QColor(Qt::green));
        QCOMPARE(site.count("/pages/img/mark.png"), 1);

        // A site with no icon anywhere: asked once, quietly left without one.
        QTRY_VERIFY_WITH_TIMEOUT(bare.count("/favicon.ico") >= 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(PageIconFetcher::instance()->pending(), 0, 30000);
        QVERIFY(tabIcon(none).isNull());
        QVERIFY(!tabIcon(plain).isNull());

        // The next real load brings its own icon, or none: the fetched one does not stay.
        QVERIFY(PageWait::load(plain->Web1, bare.url(QStringLiteral("/bare"))));
        QTRY_VERIFY_WITH_TIMEOUT(tabIcon(plain).isNull(), 10000);
    }

    void closingTheLastWindowStillLoadingLetsIconsCome()
    {
        LoopbackServer site(QStringLiteral("127.0.0.10"));
        site.setPage("/done", "<html><head><title>Done</title>"
                              "<link rel=\"icon\" href=\"/mark.png\"></head><body>x</body></html>");
        site.setHandler("/mark.png", picture(Qt::blue, "PNG", "image/png"));
        site.setHandler("/slow", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.body = "<title>Slow</title>";
            r.delayMs = 120000;
            return r;
        });

        BrowserControl::setPageIconsEnabled(false);
        ChildWindow *done = openWindow(site.url(QStringLiteral("/done")));
        QVERIFY(done);
        ChildWindow *slow = m_frame->windows->newBrowserWindow();
        m_frame->windows->openNumbered(slow);
        slow->Web1->Navigate(site.url(QStringLiteral("/slow")));
        QTRY_VERIFY_WITH_TIMEOUT(site.count("/slow") == 1 && slow->Web1->isLoading(), 30000);
        m_frame->windows->enablePageIconsWhenSettled();
        QVERIFY(tabIcon(done).isNull()); // a window still loads

        slow->close();
        QTRY_VERIFY_WITH_TIMEOUT(!tabIcon(done).isNull(), 30000);
        QCOMPARE(centre(tabIcon(done)), QColor(Qt::blue));
    }
};

QUILLON_TEST_MAIN(TestPageIconsE2E)
#include "tst_pageicons_e2e.moc"
