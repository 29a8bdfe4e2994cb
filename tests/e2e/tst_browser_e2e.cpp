#include "core/processstate.h"
#include "framefixture.h"
#include "app/mdiform1.h"
#include "core/settingsstore.h"
#include "app/startup.h"
#include "core/windowregistry.h"
#include "desktop/trayicon.h"
#include "browser/childwindow.h"
#include "browser/navigation.h"
#include "browser/windowmanager.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/internetsettings.h"
#include "platform/keyboardstate.h"
#include "platform/tabstrip.h"
#include "platform/webenginebrowser.h"
#include "sites/defaultsitesmodel.h"
#include "sites/startuploading.h"
#include "testenv.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMap>
#include <QWebEngineView>
#include <QMdiArea>
#include <QWindow>
#include <QtTest>

#include <algorithm>

namespace {
QByteArray page(const QString &title, const QByteArray &body = QByteArray())
{
    return "<html><head><title>" + title.toUtf8() + "</title></head><body>" + body + "</body></html>";
}

// Once loaded, the page's title says whether the engine saw it and at what size.
const QByteArray reportsVisibilityAndSize = "<script>addEventListener('load', () => document.title ="
                                            " document.visibilityState + ' ' + innerWidth + 'x' + innerHeight);</script>";

// A window's page size as that script reports it.
QString sizeOf(const ChildWindow *w)
{
    return QStringLiteral("%1x%2").arg(w->Web1->width()).arg(w->Web1->height());
}

// <img> tags for count pictures that the server answers after delayMs each.
QByteArray slowImages(LoopbackServer &server, const QByteArray &name, int count, int delayMs)
{
    QByteArray tags;
    for (int i = 0; i < count; ++i) {
        const QByteArray path = '/' + name + QByteArray::number(i) + ".png";
        tags += "<img src='" + path + "'>";
        server.setHandler(path, [delayMs](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "image/png";
            r.body = LoopbackServer::picture(Qt::red);
            r.delayMs = delayMs;
            return r;
        });
    }
    return tags;
}
}

// The frame with the real engine against pages served on loopback.
class TestBrowserE2E : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempHome> m_home;
    mdiform1 *m_frame = nullptr;

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        m_home = std::make_unique<TempHome>();
        m_frame = FrameFixture::newEngineFrame();
    }
    void cleanup()
    {
        TrayIcon::setAvailableOverride(-1);
        Dialogs::setTellHook({});
        FrameFixture::deleteFrame(m_frame);
        m_home.reset();
    }

    void titleStatusAndUserAgentReachTheFrame()
    {
        // The token is written at start-up and read by the engine profile when it is made.
        InternetSettings::writeUserAgentToken(InternetSettings::productTokenName(), InternetSettings::productTokenData());
        LoopbackServer server;
        QVERIFY(server.isListening());
        server.setPage("/", page(QStringLiteral("Hello from a loopback page with a long title"),
                                 "<a id='l' href='/target' style='font-size:80px'>target link</a>"
                                 "<script>setTimeout(function(){ window.status = 'scripted status'; }, 50);</script>"));
        m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), server.url());
        ChildWindow *w = m_frame->windows->activeChild();
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Hello from a loopback page with a long title"), 30000);
        QCOMPARE(m_frame->tb->caption(1), QStringLiteral("Hello from a loopback page wit"));
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->statusText(), QStringLiteral("scripted status"), 10000);

        // Hovering the link shows its address in the status bar.
        auto *web = static_cast<WebEngineBrowser *>(w->Web1);
        QWidget *surface = web->view()->focusProxy();
        QVERIFY(surface);
        int k = 0;
        auto hovered = [&] {
            QTest::mouseMove(surface, QPoint(20 + (k++ % 20), 40));
            return m_frame->statusText() == server.url(QStringLiteral("/target"));
        };
        QTRY_VERIFY_WITH_TIMEOUT(hovered(), 15000);

        const QByteArray agent = server.requests().first().headers.value("user-agent");
        QVERIFY2(agent.contains("; QLN v2.1 - quillon.example.org)"), agent.constData());
    }

    // Texts a page chooses (status, title, a hovered link's address) never make the
    // frame wider: the frame keeps the width it had, and the status text is all there.
    void longPageTextsLeaveTheFrameWidthAlone()
    {
        LoopbackServer server;
        QVERIFY(server.isListening());
        const QByteArray longPath = "/" + QByteArray(4000, 'p');
        server.setPage("/", page(QString(4000, QLatin1Char('T')),
                                 "<a href='" + longPath + "' style='font-size:80px'>long link</a>"
                                 "<script>setTimeout(function(){ window.status = '" + QByteArray(4000, 's')
                                     + "'; }, 50);</script>"));
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        const int width = m_frame->width();
        m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), server.url());
        ChildWindow *w = m_frame->windows->activeChild();
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle().size(), 4000, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->statusText(), QString(4000, QLatin1Char('s')), 10000);
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->width(), width);
        QVERIFY(m_frame->minimumSizeHint().width() <= width);

        QWidget *surface = static_cast<WebEngineBrowser *>(w->Web1)->view()->focusProxy();
        int k = 0;
        auto hovered = [&] {
            QTest::mouseMove(surface, QPoint(20 + (k++ % 20), 40));
            return m_frame->statusText() == server.url(QString::fromLatin1(longPath));
        };
        QTRY_VERIFY_WITH_TIMEOUT(hovered(), 15000);
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->width(), width);
        QVERIFY(m_frame->minimumSizeHint().width() <= width);
    }

    void backAtTheStartOfHistoryReportsOnceFromTheToolbar()
    {
        LoopbackServer server;
        server.setPage("/", page(QStringLiteral("Only page")));
        m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), server.url());
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(1), QStringLiteral("Only page"), 30000);
        int told = 0;
        Dialogs::setTellHook([&](const Dialogs::Question &q) {
            QCOMPARE(q.text, QStringLiteral("No more pages in the history for this Web Window!"));
            ++told;
        });
        Navigation::goMenu(m_frame->windows, QStringLiteral("GoBack"));
        QCOMPARE(told, 0);
        Navigation::tb2_ButtonClick(m_frame->windows, QStringLiteral("Back"));
        QCOMPARE(told, 1);
    }

    void newWindowOpensTheSavedHomePage()
    {
        LoopbackServer server(QStringLiteral("127.0.0.5"));
        server.setPage("/home", page(QStringLiteral("My home page")));
        QVERIFY(InternetSettings::setHomePage(server.url(QStringLiteral("/home"))));
        m_frame->action(QStringLiteral("NewWin"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(1), QStringLiteral("My home page"), 30000);
        QCOMPARE(server.count("/home"), 1);
    }

    void eightWindowsTiledScreenshot()
    {
        std::vector<std::unique_ptr<LoopbackServer>> servers;
        const char *colours[] = {"#e3f2fd", "#fce4ec", "#e8f5e9", "#fff8e1", "#ede7f6", "#e0f7fa", "#fbe9e7", "#f1f8e9"};
        for (int i = 0; i < 8; ++i) {
            auto server = std::make_unique<LoopbackServer>(QStringLiteral("127.0.0.%1").arg(60 + i));
            server->setPage("/", page(QStringLiteral("Window %1").arg(i + 1),
                                      QByteArray("<h1 style='font-family:sans-serif'>Site ") + QByteArray::number(i + 1)
                                          + "</h1><p>Loaded from its own loopback host.</p>")
                                     .replace("<body>", QByteArray("<body style='background:") + colours[i] + "'>"));
            m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), server->url());
            servers.push_back(std::move(server));
        }
        for (int n = 1; n <= 8; ++n)
            QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(n), QStringLiteral("Window %1").arg(n), 60000);
        m_frame->HideToTray();
        m_frame->RestoreFromTray();
        QCOMPARE(FrameHost::statusText(m_frame->Status), QStringLiteral("MAX"));
        m_frame->action(QStringLiteral("Showallwins"))->trigger();
        // The picture is taken once the pages have painted in their new sizes: two grabs agree.
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        QImage last;
        int same = 0;
        auto settled = [&] {
            const QImage now = m_frame->grab().toImage();
            same = now == last ? same + 1 : 0;
            last = now;
            return same >= 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 20000);
        const QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath());
        QDir().mkpath(dir);
        QVERIFY(last.save(dir + QStringLiteral("/frame-eight-windows-tiled.png")));
        // A grid, not eight slivers: three columns of about a third each.
        const QRect area = m_frame->mdiArea->contentsRect();
        for (ChildWindow *w : m_frame->windows->childWindows()) {
            QVERIFY(w->width() >= area.width() / 4 && w->width() <= area.width() / 2);
            QVERIFY(w->height() >= area.height() / 4);
            QVERIFY(QRect(QPoint(0, 0), area.size()).contains(w->geometry()));
        }
    }

    void startupWindowsInAnUnseenFrameAreLaidOutAtTheirSize()
    {
        // At start-up the frame goes to the tray without ever being shown. A page shown to
        // the engine while it loads there is laid out at the size its window will have,
        // whether the window is maximised (the additional sites) or not (the built-in slots).
        LoopbackServer server;
        QVERIFY(server.isListening());
        server.setPage("/", page(QStringLiteral("untitled"), slowImages(server, "img", 4, 300) + reportsVisibilityAndSize));
        using namespace SettingsStore;
        for (const char *flag : {"c2", "c3", "c4", "c5", "c6", "c99", "c200"})
            QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QLatin1String(flag), QStringLiteral("0")));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), server.url()));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("sone"), server.url()));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c1"), QStringLiteral("1")));
        FrameFixture::deleteFrame(m_frame);
        m_frame = FrameFixture::newEngineFrame(false);
        m_frame->windows->Tabctr = 0;
        StartupLoading::LoadSites(m_frame->windows);
        StartupLoading::LoadExtras(m_frame->windows, m_frame->panel(), ProcessState::skipstr);
        const QList<ChildWindow *> windows = m_frame->windows->childWindows();
        QCOMPARE(windows.size(), 2);
        for (ChildWindow *w : windows)
            QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QLatin1String("visible ")), 30000);
        QVERIFY(!m_frame->isVisible());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        for (ChildWindow *w : windows) {
            QTRY_VERIFY(w->Web1->isVisible());
            const QString seen = w->windowTitle().section(QLatin1Char(' '), 1);
            QVERIFY2(w->Web1->width() > 300 && seen == sizeOf(w),
                     qPrintable(QStringLiteral("%1 laid out at %2, shown at %3")
                                    .arg(w->isMaximized() ? "maximised" : "normal", seen, sizeOf(w))));
        }
    }

    void frameStoredMaximisedComesBackMaximisedFromTheTray()
    {
        // Qt makes the frame's native window anew when the first page view joins it; the
        // frame that waited in the tray since start-up still comes back maximised.
        QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Frame"), QStringLiteral("Geometry"),
                                           QStringLiteral("40 60 900 600 1")));
        FrameFixture::deleteFrame(m_frame);
        m_frame = new mdiform1; // as at start-up: never shown, its geometry from the store
        QVERIFY(m_frame->windowState() & Qt::WindowMaximized);
        TrayIcon::setAvailableOverride(1);
        m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), QStringLiteral("about:blank"));
        m_frame->HideToTray();
        m_frame->RestoreFromTray();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        QVERIFY(m_frame->windowHandle()->windowStates() & Qt::WindowMaximized);
        QCOMPARE(m_frame->normalGeometry().size(), QSize(900, 600));
    }

    void windowBehindTheTrayLoadsInParallelThenRestsHidden()
    {
        // The engine holds a page nobody sees to three requests at a time; a window loading
        // behind the tray gets its six images at once, as a shown one would.
        LoopbackServer server;
        QVERIFY(server.isListening());
        QElapsedTimer clock;
        QList<qint64> arrivals;
        QByteArray images;
        for (int i = 0; i < 6; ++i) {
            const QByteArray path = "/img" + QByteArray::number(i) + ".png";
            images += "<img src='" + path + "'>";
            server.setHandler(path, [&](const LoopbackServer::Request &) {
                arrivals << clock.elapsed();
                LoopbackServer::Response r;
                r.contentType = "image/png";
                r.delayMs = 1500;
                return r;
            });
        }
        server.setPage("/", page(QStringLiteral("untitled"), images + reportsVisibilityAndSize));
        server.setPage("/plain", page(QStringLiteral("untitled"), "<img src='/img0.png'>" + reportsVisibilityAndSize));
        m_frame->hide();
        clock.start();
        m_frame->windows->OpenSiteWindow(m_frame->windows->newBrowserWindow(), server.url());
        ChildWindow *w = m_frame->windows->activeChild();
        QVERIFY(w);
        QVERIFY(!w->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QLatin1String("visible ")), 30000);
        // It is laid out at the size it will be shown at, not at the size of a widget never shown.
        const QString seen = w->windowTitle().section(QLatin1Char(' '), 1);
        QVERIFY2(w->Web1->width() > 300 && seen == sizeOf(w), qPrintable(seen));
        QCOMPARE(arrivals.size(), 6);
        const int together = int(std::count_if(arrivals.begin(), arrivals.end(),
                                               [&](qint64 t) { return t < arrivals.first() + 1000; }));
        QVERIFY2(together >= 5, qPrintable(QStringLiteral("%1 of 6 requested at once").arg(together)));
        // Once complete it is hidden again, its timers held back while nobody looks.
        QTRY_COMPARE_WITH_TIMEOUT(PageWait::eval(w->Web1, QStringLiteral("document.visibilityState")).toString(),
                                  QStringLiteral("hidden"), 30000);
        // A page that asks for little is never shown to the engine at all.
        QVERIFY(PageWait::load(w->Web1, server.url(QStringLiteral("/plain"))));
        QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QLatin1String("hidden ")), 30000);

        // Shown, the window's page is visible and stays so after its next load.
        m_frame->show();
        QTRY_VERIFY(w->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(PageWait::eval(w->Web1, QStringLiteral("document.visibilityState")).toString(),
                                  QStringLiteral("visible"), 30000);
        QVERIFY(PageWait::load(w->Web1, server.url(QStringLiteral("/?again"))));
        QCOMPARE(PageWait::eval(w->Web1, QStringLiteral("document.visibilityState")).toString(), QStringLiteral("visible"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("visible ") + seen, 30000);

        // The frame back in the tray hides it as before.
        m_frame->hide();
        QTRY_COMPARE_WITH_TIMEOUT(PageWait::eval(w->Web1, QStringLiteral("document.visibilityState")).toString(),
                                  QStringLiteral("hidden"), 30000);

        // A page that does not complete is hidden again after a while all the same.
        const QByteArray stalled = slowImages(server, "stalled", 3, 120000);
        server.setPage("/stalls", page(QStringLiteral("untitled"),
                                      stalled + "<script>document.title = 'stalls';"
                                                "document.addEventListener('visibilitychange',"
                                                " () => document.title += ' ' + document.visibilityState);</script>"));
        WebEngineBrowser::setUnseenLoadLimit(4000);
        QSignalSpy complete(w->Web1, &BrowserControl::DocumentComplete);
        w->Web1->Navigate(server.url(QStringLiteral("/stalls")));
        // (The caption waits for the page to complete; the page's own title does not.)
        QTRY_COMPARE_WITH_TIMEOUT(PageWait::eval(w->Web1, QStringLiteral("document.title")).toString(),
                                  QStringLiteral("stalls visible hidden"), 30000);
        QCOMPARE(complete.count(), 0);
        WebEngineBrowser::setUnseenLoadLimit(20000);
        w->Web1->Stop();
    }

    void thirtyTwoSitesOnThirtyTwoHostsAllComplete()
    {
        using namespace SettingsStore;
        std::vector<std::unique_ptr<LoopbackServer>> servers;
        const char *defaultKeys[] = {"sone", "stwo", "sthree", "sfour", "sfive", "scool", "snine", "szero"};
        const char *extraKeys[] = {"sone", "stwo", "sthree", "sfour", "sfive", "scool", "sseven", "seight", "snine",
                                   "sten", "seleven", "stwelve", "s13", "s14", "s15", "s16", "s17", "s18", "s19",
                                   "s20", "s21", "s22", "s23", "s24"};
        for (int slot = 1; slot <= 32; ++slot) {
            auto server = std::make_unique<LoopbackServer>(QStringLiteral("127.0.0.%1").arg(slot + 10));
            QVERIFY(server->isListening());
            server->setPage("/", page(QStringLiteral("Site of slot %1").arg(slot)));
            const QString section = slot <= 8 ? QStringLiteral("Startup") : QStringLiteral("Startup1");
            const QString key = QLatin1String(slot <= 8 ? defaultKeys[slot - 1] : extraKeys[slot - 9]);
            QVERIFY(SaveSetting(AppKey, section, key, server->url()));
            if (slot > 8)
                QVERIFY(SaveSetting(AppKey, section, QStringLiteral("c%1").arg(slot - 8), QStringLiteral("1")));
            servers.push_back(std::move(server));
        }
        m_frame->windows->Tabctr = 0;
        StartupLoading::LoadSites(m_frame->windows);
        StartupLoading::LoadExtras(m_frame->windows, m_frame->panel(), ProcessState::skipstr);
        QCOMPARE(m_frame->windows->Tabctr, qint16(32));
        const int order[] = {2, 5, 4, 6, 3, 1, 8, 7};
        for (int n = 1; n <= 32; ++n) {
            const int slot = n <= 8 ? order[n - 1] : n;
            QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(n), QStringLiteral("Site of slot %1").arg(slot), 60000);
        }

        // The 32 windows share the programme's few renderer processes: a renderer crash
        // costs the windows drawn by that one process, never all of them.
        QMap<qint64, QStringList> byRenderer;
        for (ChildWindow *w : m_frame->windows->childWindows()) {
            auto *web = qobject_cast<WebEngineBrowser *>(w->Web1);
            QVERIFY(web);
            QTRY_VERIFY_WITH_TIMEOUT(web->rendererProcessId() > 0, 10000);
            byRenderer[web->rendererProcessId()] << w->Tag;
        }
        int most = 0;
        for (auto it = byRenderer.cbegin(); it != byRenderer.cend(); ++it) {
            qInfo("renderer %lld draws windows %s", it.key(), qPrintable(it.value().join(QLatin1Char(' '))));
            most = qMax(most, int(it.value().size()));
        }
        qInfo("32 windows, %d renderers, at most %d windows on one", int(byRenderer.size()), most);
        QCOMPARE(byRenderer.size(), Startup::RendererProcessLimit);
        QVERIFY(most < 32 / 2);
    }
};

QUILLON_TEST_MAIN(TestBrowserE2E)
#include "tst_browser_e2e.moc"
