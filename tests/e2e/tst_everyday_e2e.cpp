#include "app/mdiform1.h"
#include "framefixture.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "core/windowregistry.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/dialogs.h"
#include "platform/downloads.h"
#include "platform/downloadswindow.h"
#include "platform/keyboardstate.h"
#include "platform/logindialog.h"
#include "platform/tabstrip.h"
#include "platform/webenginebrowser.h"
#include "programrecorder.h"
#include "smalldisk.h"
#include "sites/defaultsitesmodel.h"
#include "testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTableWidget>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
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

LoopbackServer::Handler attachment(const QByteArray &disposition)
{
    return [disposition](const LoopbackServer::Request &) {
        LoopbackServer::Response r;
        r.contentType = "application/octet-stream";
        r.body = "data";
        r.headers.append(std::make_pair(QByteArray("Content-Disposition"), disposition));
        return r;
    };
}
}

// Stands in for the desktop's handler of a scheme: records what it was asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

// Everyday browsing with the real engine: loading feedback and the browser keys with the focus in a page.
class TestEverydayE2E : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempHome> m_home;
    mdiform1 *m_frame = nullptr;

    ChildWindow *openWindow(const QString &url) { return FrameFixture::openLoaded(m_frame, url); }
    // Serves a page with the body and opens it; returns its window once the page has been
    // drawn on screen, so that a click lands on it.
    ChildWindow *openDrawn(LoopbackServer &server, const QByteArray &path, const QByteArray &body)
    {
        server.setPage(path, "<html><head><title>Loading</title></head><body>" + body
                                 + "<script>requestAnimationFrame(function () { requestAnimationFrame(function () {"
                                   " document.title = 'Shown'; }); });</script></body></html>");
        ChildWindow *w = openWindow(server.url(QString::fromLatin1(path)));
        if (!w || !QTest::qWaitFor([w] { return w->Web1->LocationName() == QLatin1String("Shown"); }, 20000))
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

    // A server whose certificate the engine does not trust (self-signed).
    static bool listenUntrusted(QSslServer &server, const QString &host)
    {
        auto read = [](const char *name) {
            QFile f(QStringLiteral(QUILLON_SOURCE_DIR "/tests/support/tls/") + QLatin1String(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(read("selfsigned-cert.pem")));
        tls.setPrivateKey(QSslKey(read("selfsigned-key.pem"), QSsl::Rsa));
        server.setSslConfiguration(tls);
        return server.listen(QHostAddress(host), 0);
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        QVERIFY((m_frame = FrameFixture::newEngineFrameAtHome(m_home)));
    }
    void cleanup()
    {
        Dialogs::setLoginHook({});
        FrameFixture::deleteFrame(m_frame);
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
            r.body = LoopbackServer::picture(Qt::red);
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

    void escapeReachesThePageAndStillStops()
    {
        LoopbackServer server(QStringLiteral("127.0.0.4"));
        server.setPage("/keys", page("Keys", "<script>document.addEventListener('keydown', function (e) {"
                                             " if (e.key === 'Escape') document.title = 'Escape seen'; });</script>"));
        server.setHandler("/slow", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.body = page("Slow");
            r.delayMs = 60000;
            return r;
        });
        ChildWindow *w = openWindow(server.url(QStringLiteral("/keys")));
        QVERIFY(w);
        // A page at rest gets the key for its own use.
        QVERIFY(focusPage(w));
        QTRY_VERIFY_WITH_TIMEOUT(PageWait::eval(w->Web1, QStringLiteral("document.hasFocus()")).toBool(), 10000);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Escape seen"), 10000);
        // While a load runs, Escape stops it.
        w->Web1->Navigate(server.url(QStringLiteral("/slow")));
        QTRY_VERIFY_WITH_TIMEOUT(w->Web1->isLoading(), 10000);
        QVERIFY(focusPage(w));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!w->Web1->isLoading(), 10000);
        QCOMPARE(w->Web1->LocationURL(), server.url(QStringLiteral("/keys")));
        // A window stopped before its first page came keeps the address asked for in sight.
        const QString slow = server.url(QStringLiteral("/slow?fresh"));
        ChildWindow *fresh = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(fresh, slow);
        QTRY_VERIFY_WITH_TIMEOUT(fresh->Web1->isLoading(), 10000);
        QVERIFY(focusPage(fresh));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!fresh->Web1->isLoading(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(fresh->windowTitle(), slow, 10000);
        QCOMPARE(m_frame->tb->caption(fresh->Tag.toInt()), slow.left(30));
        QCOMPARE(m_frame->cboAddress->currentText(), slow);
    }

    // A page that moves within itself (its own history, an anchor) is followed by the
    // address bar, the caption and the tab.
    void pagesMovingWithinThemselvesAreFollowed()
    {
        LoopbackServer server(QStringLiteral("127.0.0.6"));
        server.setPage("/app", page("App"));
        ChildWindow *w = openWindow(server.url(QStringLiteral("/app")));
        QVERIFY(w);
        const int tab = w->Tag.toInt();
        PageWait::eval(w->Web1, QStringLiteral("history.pushState({}, '', '/app/two'); document.title = 'Two'; 1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->cboAddress->currentText(), server.url(QStringLiteral("/app/two")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Two"), 10000);
        QCOMPARE(m_frame->tb->caption(tab), QStringLiteral("Two"));
        PageWait::eval(w->Web1, QStringLiteral("location.hash = 'part'; 1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->cboAddress->currentText(), server.url(QStringLiteral("/app/two#part")), 10000);
        PageWait::eval(w->Web1, QStringLiteral("history.replaceState({}, '', '/app/three'); document.title = 'Three'; 1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->cboAddress->currentText(), server.url(QStringLiteral("/app/three")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Three"), 10000);
        QCOMPARE(m_frame->tb->caption(tab), QStringLiteral("Three"));
        // A title the page changes later on its own is its own affair, as before.
        PageWait::eval(w->Web1, QStringLiteral("setTimeout(function () { document.title = 'Later'; }, 1500); 1"));
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Later"), 10000);
        QCOMPARE(w->windowTitle(), QStringLiteral("Three"));
    }

    // A clicked link for another programme starts it only when the person agrees.
    void outsideLinksAreOfferedFirst()
    {
        UrlCatcher desktop;
        QDesktopServices::setUrlHandler(QStringLiteral("quillon-test"), &desktop, "open");
        const auto unset = qScopeGuard([] {
            Dialogs::setAskHook(nullptr);
            QDesktopServices::unsetUrlHandler(QStringLiteral("quillon-test"));
        });
        QList<Dialogs::Question> questions;
        bool yes = false;
        Dialogs::setAskHook([&](const Dialogs::Question &q) {
            questions << q;
            return yes;
        });
        LoopbackServer server(QStringLiteral("127.0.0.6"));
        ChildWindow *w = openDrawn(server, "/links", "<a href='quillon-test:chat?to=a'"
                                                     " style='position:fixed;left:0;top:0;right:0;bottom:0'>chat</a>");
        QVERIFY(w);
        QWidget *surface = static_cast<WebEngineBrowser *>(w->Web1)->view()->focusProxy();
        for (bool answer : {false, true}) {
            yes = answer;
            QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
            QTRY_COMPARE_WITH_TIMEOUT(questions.size(), answer ? 2 : 1, 10000);
            QVERIFY(questions.last().text.contains(QStringLiteral("quillon-test:chat?to=a")));
        }
        QTRY_COMPARE_WITH_TIMEOUT(desktop.urls, QList<QUrl>({QUrl(QStringLiteral("quillon-test:chat?to=a"))}), 10000);
        QCOMPARE(w->Web1->LocationURL(), server.url(QStringLiteral("/links")));

        // Such a link meant for a new window is offered the same way, and leaves no empty window.
        ChildWindow *other = openDrawn(server, "/blank", "<a href='quillon-test:chat?to=b' target='_blank'"
                                                         " style='position:fixed;left:0;top:0;right:0;bottom:0'>chat</a>");
        QVERIFY(other);
        const int windows = m_frame->mdiArea->subWindowList().size();
        surface = static_cast<WebEngineBrowser *>(other->Web1)->view()->focusProxy();
        yes = false;
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(questions.size(), 3, 10000);
        QVERIFY(questions.last().text.contains(QStringLiteral("quillon-test:chat?to=b")));
        QCOMPARE(m_frame->mdiArea->subWindowList().size(), windows);
        QCOMPARE(m_frame->windows->activeChild(), other);
    }

    // A player's full-screen button fills the screen; Escape, the page itself or closing the
    // window brings the view back to its window.
    void pageFullScreenComesBack()
    {
        LoopbackServer server(QStringLiteral("127.0.0.12"));
        ChildWindow *w = openDrawn(server, "/player", "<button onclick='document.documentElement.requestFullscreen()'"
                                                      " style='position:fixed;left:0;top:0;right:0;bottom:0'>Full</button>");
        QVERIFY(w);
        auto *web = static_cast<WebEngineBrowser *>(w->Web1);
        const QPointer<QWebEngineView> view = web->view();
        const auto fullScreen = [&] {
            QWidget *surface = view->focusProxy();
            QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
            return QTest::qWaitFor([&] { return view->isWindow() && view->isFullScreen(); }, 10000)
                && QTest::qWaitFor([&] { return PageWait::eval(web, QStringLiteral("!!document.fullscreenElement")).toBool(); }, 10000);
        };
        QVERIFY(fullScreen());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!view->isWindow() && view->isVisible(), 10000);
        QCOMPARE(view->parentWidget(), web);
        QTRY_VERIFY_WITH_TIMEOUT(!PageWait::eval(web, QStringLiteral("!!document.fullscreenElement")).toBool(), 10000);
        QVERIFY(fullScreen());
        PageWait::eval(web, QStringLiteral("document.exitFullscreen(), 1"));
        QTRY_VERIFY_WITH_TIMEOUT(!view->isWindow(), 10000);
        QVERIFY(fullScreen());
        w->close();
        QTRY_VERIFY_WITH_TIMEOUT(!view, 10000);
    }

    void downloadsAreSavedWholeUnderNewNames()
    {
        const QString folder = Downloads::folder();
        QVERIFY2(folder.startsWith(m_home->path()), qPrintable(folder));
        QByteArray archive(150000, Qt::Uninitialized);
        for (int i = 0; i < archive.size(); ++i)
            archive[i] = char((i * 7919) >> 3);
        LoopbackServer server(QStringLiteral("127.0.0.5"));
        server.setHandler("/file.zip", [archive](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "application/zip";
            r.body = archive;
            return r;
        });
        server.setHandler("/report", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "text/plain";
            r.body = "line one\nline two\n";
            r.headers.append(std::make_pair(QByteArray("Content-Disposition"), QByteArray("attachment; filename=\"report.txt\"")));
            return r;
        });
        server.setHandler("/broken.zip", [archive](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "application/zip";
            r.body = archive;
            r.cutAfter = 20000;
            return r;
        });
        server.setPage("/", page("Links"));
        ChildWindow *w = openWindow(server.url(QStringLiteral("/")));
        QVERIFY(w);
        auto fileBytes = [&](const QString &name) {
            QFile f(QDir(folder).filePath(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        // What the downloads said, not what the status bar holds now: the page's own status
        // text may replace it at any moment.
        QStringList said;
        QObject scope;
        connect(Downloads::instance(), &Downloads::statusText, &scope, [&](const QString &text) { said << text; });
        auto saidSo = [&](const QString &start) {
            return std::any_of(said.cbegin(), said.cend(), [&](const QString &t) { return t.startsWith(start); });
        };

        w->Web1->Navigate(server.url(QStringLiteral("/file.zip")));
        QTRY_VERIFY_WITH_TIMEOUT(saidSo(QStringLiteral("Saved file.zip in")), 30000);
        QCOMPARE(fileBytes(QStringLiteral("file.zip")), archive);
        // The same name again: a new name, the first file untouched.
        w->Web1->Navigate(server.url(QStringLiteral("/file.zip")));
        QTRY_VERIFY2_WITH_TIMEOUT(saidSo(QStringLiteral("Saved file (2).zip in")), qPrintable(said.join(QLatin1Char('\n'))), 30000);
        QCOMPARE(fileBytes(QStringLiteral("file (2).zip")), archive);
        QCOMPARE(fileBytes(QStringLiteral("file.zip")), archive);

        w->Web1->Navigate(server.url(QStringLiteral("/report")));
        QTRY_VERIFY_WITH_TIMEOUT(saidSo(QStringLiteral("Saved report.txt in")), 30000);
        QCOMPARE(fileBytes(QStringLiteral("report.txt")), QByteArray("line one\nline two\n"));

        // Cut off by the server: reported, and nothing under the final name.
        w->Web1->Navigate(server.url(QStringLiteral("/broken.zip")));
        QTRY_VERIFY2_WITH_TIMEOUT(saidSo(QStringLiteral("The download of broken.zip failed")),
                                  qPrintable(said.join(QLatin1Char('\n'))), 60000);
        QVERIFY(!QFile::exists(QDir(folder).filePath(QStringLiteral("broken.zip"))));
        QTRY_VERIFY(!QFile::exists(QDir(folder).filePath(QStringLiteral("broken.zip.part"))));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList({QStringLiteral("file (2).zip"), QStringLiteral("file.zip"), QStringLiteral("report.txt")}));

        // Ctrl+J lists this run's downloads.
        QVERIFY(focusPage(w));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_J, Qt::ControlModifier);
        QTRY_VERIFY(DownloadsWindow::current() && DownloadsWindow::current()->isVisible());
        DownloadsWindow *list = DownloadsWindow::current();
        QVERIFY(list->lstDownloads->rowCount() >= 4);
        const int last = list->lstDownloads->rowCount() - 1;
        QCOMPARE(list->lstDownloads->item(last, 0)->text(), QStringLiteral("broken.zip"));
        QVERIFY(list->lstDownloads->item(last, 2)->text().startsWith(QStringLiteral("Failed")));
        QCOMPARE(list->lstDownloads->item(last - 1, 2)->text(), QStringLiteral("Saved"));
        list->close();
    }

    // A download with nowhere to go fails with the reason and leaves nothing behind.
    void downloadsThatCannotBeWrittenSaySoAndLeaveNothing()
    {
        const QString folder = Downloads::folder();
        QVERIFY2(folder.startsWith(m_home->path()), qPrintable(folder));
        LoopbackServer server(QStringLiteral("127.0.0.5"));
        server.setHandler("/big.bin", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "application/octet-stream";
            r.body = QByteArray(300000, 'b');
            return r;
        });
        server.setPage("/", page("Links"));
        ChildWindow *w = openWindow(server.url(QStringLiteral("/")));
        QVERIFY(w);
        QStringList said;
        QObject scope;
        connect(Downloads::instance(), &Downloads::statusText, &scope, [&](const QString &text) { said << text; });
        auto saidSo = [&](const QString &start) {
            return std::any_of(said.cbegin(), said.cend(), [&](const QString &t) { return t.startsWith(start); });
        };

        // A plain file where the folder should be.
        QDir().mkpath(folder);
        QVERIFY(QDir().rename(folder, folder + QStringLiteral(".aside")));
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        w->Web1->Navigate(server.url(QStringLiteral("/big.bin")));
        QTRY_VERIFY2_WITH_TIMEOUT(saidSo(QStringLiteral("The download of big.bin failed: the folder")),
                                  qPrintable(said.join(QLatin1Char('\n'))), 30000);
        QVERIFY(!saidSo(QStringLiteral("The download of big.bin was cancelled")));
        QVERIFY(blocker.remove());
        QVERIFY(QDir().rename(folder + QStringLiteral(".aside"), folder));

        // A full disk: the engine's own working file goes too.
        const SmallDisk disk(folder, 128);
        if (!disk.mounted())
            QSKIP("mounting a small file system to fill needs root");
        disk.fill(QStringLiteral("filler"));
        said.clear();
        w->Web1->Navigate(server.url(QStringLiteral("/big.bin")));
        QTRY_VERIFY2_WITH_TIMEOUT(saidSo(QStringLiteral("The download of big.bin failed")),
                                  qPrintable(said.join(QLatin1Char('\n'))), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("filler")},
                                  10000);
    }

    // A site behind a user name and password asks for them; cancelled, the site's own refusal shows.
    void siteBehindALoginAsksForIt()
    {
        auto guarded = [](const QByteArray &realm) {
            return [realm](const LoopbackServer::Request &r) {
                LoopbackServer::Response res;
                if (r.headers.value("authorization") == "Basic " + QByteArray("ann:s3 cret").toBase64()) {
                    res.body = page("Staff page");
                } else {
                    res.status = 401;
                    res.headers.append(std::make_pair(QByteArray("WWW-Authenticate"), "Basic realm=\"" + realm + "\""));
                    res.body = page("Not for you");
                }
                return res;
            };
        };
        LoopbackServer server(QStringLiteral("127.0.0.6"));
        server.setHandler("/staff", guarded("<b>Staff</b> only"));
        QList<Dialogs::Login> asked;
        Dialogs::setLoginHook([&](const Dialogs::Login &site, QString *user, QString *password) {
            asked << site;
            *user = QStringLiteral("ann");
            *password = QStringLiteral("s3 cret");
            return true;
        });
        ChildWindow *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(w, server.url(QStringLiteral("/staff")));
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Staff page"), 30000);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().host, QStringLiteral("127.0.0.6:%1").arg(server.port()));
        QCOMPARE(asked.first().realm, QStringLiteral("<b>Staff</b> only"));

        // The real box, cancelled: the password is hidden, the realm shown as text.
        Dialogs::setLoginHook({});
        LoopbackServer other(QStringLiteral("127.0.0.7"));
        other.setHandler("/staff", guarded("<i>Back office</i>"));
        QString shown;
        bool hidden = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QLabel *label : box->findChildren<QLabel *>())
                if (label->textFormat() == Qt::PlainText)
                    shown += label->text();
            auto *password = box->findChild<QLineEdit *>(QStringLiteral("loginPassword"));
            hidden = password && password->echoMode() == QLineEdit::Password;
            box->reject();
        });
        poll.start(50);
        w->Web1->Navigate(other.url(QStringLiteral("/staff")));
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationName(), QStringLiteral("Not for you"), 30000);
        QVERIFY2(shown.contains(QStringLiteral("127.0.0.7")) && shown.contains(QStringLiteral("<i>Back office</i>")),
                 qPrintable(shown));
        QVERIFY(hidden);
        QVERIFY2(shown.contains(QStringLiteral("not encrypted")), qPrintable(shown)); // plain http
        QVERIFY(asked.first().unencrypted);
    }

    // What a site names a file loses what would break the name, and a long name is cut to
    // what the file system takes, keeping its extension.
    void downloadNamesAreMadeSafe()
    {
        const QString folder = Downloads::folder();
        LoopbackServer server(QStringLiteral("127.0.0.8"));
        server.setHandler("/odd", attachment("attachment; filename*=UTF-8''two%0Alines%07bell.txt"));
        server.setHandler("/long", attachment("attachment; filename*=UTF-8''" + QByteArray("%C3%A9").repeated(200) + ".txt"));
        server.setPage("/", page("Files"));
        ChildWindow *w = openWindow(server.url(QStringLiteral("/")));
        QVERIFY(w);
        w->Web1->Navigate(server.url(QStringLiteral("/odd")));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("two_lines_bell.txt")}, 30000);
        w->Web1->Navigate(server.url(QStringLiteral("/long")));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList({QStringLiteral("é*.txt")}, QDir::Files).size(), 1, 30000);
        const QString cut = QDir(folder).entryList({QStringLiteral("é*.txt")}, QDir::Files).value(0);
        QVERIFY2(cut.endsWith(QStringLiteral("é.txt")) && cut.toUtf8().size() > 200, qPrintable(cut));
        QFile saved(QDir(folder).filePath(cut));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("data"));
    }

    // A page that starts five downloads by itself saves one file; the others are refused
    // before anything of them is written, and the status bar says so. A click on a link
    // in the page still saves its file.
    void pageSavesOneFileByItself()
    {
        const QString folder = Downloads::folder();
        LoopbackServer server(QStringLiteral("127.0.0.9"));
        server.setHandler("/f", attachment("attachment; filename=\"f.txt\""));
        server.setPage("/many", "<html><head><title>Many</title>"
                                "<style>#l { position: fixed; left: 0; top: 0; right: 0; bottom: 0 }</style>"
                                "<script>window.onload = function () { for (var i = 0; i < 5; ++i) {"
                                " var a = document.createElement('a'); a.href = '/f?' + i; a.download = '';"
                                " document.body.appendChild(a); a.click(); } };</script></head>"
                                "<body><a id=l href='/f?click'>save</a></body></html>");
        auto fetched = [&](const QByteArray &prefix) {
            int n = 0;
            for (const LoopbackServer::Request &r : server.requests())
                n += r.path.startsWith(prefix) ? 1 : 0;
            return n;
        };
        QObject scope;
        QStringList said;
        int started = 0;
        connect(Downloads::instance(), &Downloads::statusText, &scope, [&](const QString &text) { said << text; });
        connect(Downloads::instance(), &Downloads::added, &scope, [&] { ++started; });
        auto refused = [&] { return said.filter(QStringLiteral(" was not saved: ")).size(); };
        auto files = [&] { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };

        // A key pressed outside the page just before vouches for nothing in it.
        QTest::keyClick(m_frame->tb, Qt::Key_Shift);
        ChildWindow *w = openWindow(server.url(QStringLiteral("/many")));
        QVERIFY(w);
        // Every file the server was asked for is either saved or refused, and one is saved.
        QTRY_COMPARE_WITH_TIMEOUT(fetched("/f?"), 5, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(started + refused(), 5, 30000);
        QCOMPARE(started, 1);
        QVERIFY2(said.contains(QStringLiteral("f.txt was not saved: the page started another download without a click")),
                 qPrintable(said.join(QLatin1Char('\n'))));
        QTRY_VERIFY_WITH_TIMEOUT(said.filter(QStringLiteral("Saved f.txt in")).size() == 1, 30000);
        QCOMPARE(files(), QStringList{QStringLiteral("f.txt")});

        QWidget *surface = static_cast<WebEngineBrowser *>(w->Web1)->view()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/f?click"), 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(said.filter(QStringLiteral("Saved f")).size(), 2, 30000);
        QCOMPARE(files().size(), 2);
        QCOMPARE(started, 2);
        QCOMPARE(refused(), 4);
    }

    // A window closed while the site of a file it asked for has yet to answer: the engine
    // hands the download over with the window's page gone. It is refused, nothing of it is
    // written, and the programme goes on; the same file asked for from a window that stays
    // is saved.
    void downloadOfClosedWindowIsRefused()
    {
        const QString folder = Downloads::folder();
        LoopbackServer server(QStringLiteral("127.0.0.191"));
        server.setHandler("/late.bin", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "application/octet-stream";
            r.body = QByteArray(50000, 'l');
            r.headers.append(std::make_pair(QByteArray("Content-Disposition"), QByteArray("attachment; filename=late.bin")));
            r.delayMs = 2000;
            return r;
        });
        server.setHandler("/go", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.status = 302;
            r.headers.append(std::make_pair(QByteArray("Location"), QByteArray("/late.bin")));
            return r;
        });
        QObject scope;
        QStringList said;
        connect(Downloads::instance(), &Downloads::statusText, &scope, [&](const QString &text) { said << text; });
        // Connected after the programme's own handler: sees the request as that leaves it.
        QList<QWebEngineDownloadRequest::DownloadState> handed;
        connect(WebEngineBrowser::profile(), &QWebEngineProfile::downloadRequested, &scope,
                [&](QWebEngineDownloadRequest *request) { handed << request->state(); });
        ChildWindow *w = openDrawn(server, "/links", "<a id=l download href='/go'"
                                                     " style='position:fixed;left:0;top:0;right:0;bottom:0'>save</a>");
        QVERIFY(w);
        const QPointer<QWebEngineView> view = static_cast<WebEngineBrowser *>(w->Web1)->view();
        QWidget *surface = view->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/late.bin"), 1, 30000);
        w->close();
        QTRY_VERIFY_WITH_TIMEOUT(!view, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 1, 30000);
        QCOMPARE(handed.first(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY2(said.contains(QStringLiteral("late.bin was not saved: its window was closed")),
                 qPrintable(said.join(QLatin1Char('\n'))));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());

        // The same link in a window that stays saves its file.
        w = openDrawn(server, "/links", "<a id=l download href='/go'"
                                        " style='position:fixed;left:0;top:0;right:0;bottom:0'>save</a>");
        QVERIFY(w);
        surface = static_cast<WebEngineBrowser *>(w->Web1)->view()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
        QTRY_VERIFY2_WITH_TIMEOUT(said.contains(QStringLiteral("Saved late.bin in %1").arg(QDir::toNativeSeparators(folder))),
                                  qPrintable(said.join(QLatin1Char('\n'))), 30000);
        QCOMPARE(handed.size(), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("late.bin")});
    }

    void untrustedCertificateIsRefusedAndExplained()
    {
        QSslServer server;
        QVERIFY(listenUntrusted(server, QStringLiteral("127.0.0.6")));
        int served = 0;
        connect(&server, &QTcpServer::pendingConnectionAvailable, &server, [&] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket, &served] {
                    ++served;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 52\r\n"
                                  "Connection: close\r\n\r\n<html><title>Secret</title><p>should not show</p></html>");
                    socket->disconnectFromHost();
                });
            }
        });
        ChildWindow *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->openNumbered(w);
        auto *web = static_cast<WebEngineBrowser *>(w->Web1);
        QSignalSpy complete(web, &BrowserControl::DocumentComplete);
        web->Navigate(QStringLiteral("https://127.0.0.6:%1/").arg(server.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(!web->coverText().isEmpty(), 30000);
        QVERIFY2(web->coverText().contains(QStringLiteral("The site's certificate is not trusted: 127.0.0.6")),
                 qPrintable(web->coverText()));
        QVERIFY(web->coverText().count(QLatin1Char('\n')) >= 2); // the engine's reason on a line of its own
        QCOMPARE(served, 0); // refused: no request went over the untrusted connection
        QVERIFY(web->LocationName() != QStringLiteral("Secret"));

        // A trusted page with a picture from that site shows itself, and so does the next
        // page after a picture refused once the page before had loaded.
        int refusals = 0;
        connect(web->page(), &QWebEnginePage::certificateError, this, [&refusals] { ++refusals; });
        LoopbackServer plain(QStringLiteral("127.0.0.7"));
        const QByteArray picture = QStringLiteral("https://127.0.0.6:%1/pic.png").arg(server.serverPort()).toLatin1();
        plain.setPage("/mixed", "<html><title>Mixed</title><p>shown</p><img src='" + picture + "'><script>"
                                "onload = function () { setTimeout(function () { new Image().src = '" + picture
                                    + "?late'; }, 100); };</script></html>");
        plain.setPage("/next", "<html><title>Next</title><p>shown</p></html>");
        web->Navigate(plain.url(QStringLiteral("/mixed")));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Mixed"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(refusals >= 2, 30000);
        QVERIFY2(web->coverText().isEmpty(), qPrintable(web->coverText()));
        web->Navigate(plain.url(QStringLiteral("/next")));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Next"), 30000);
        QVERIFY2(web->coverText().isEmpty(), qPrintable(web->coverText()));
        QCOMPARE(served, 0);
    }

    // Stopped while a picture still loads, a page that had one picture refused for its
    // certificate stays in sight: only a page refused itself is covered.
    void stopAfterAPictureWasRefusedKeepsThePage()
    {
        QSslServer untrusted;
        QVERIFY(listenUntrusted(untrusted, QStringLiteral("127.0.0.211")));
        LoopbackServer plain(QStringLiteral("127.0.0.212"));
        plain.setHandler("/slow.png", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "image/png";
            r.body = LoopbackServer::picture(Qt::red);
            r.delayMs = 60000;
            return r;
        });
        const QByteArray refused = QStringLiteral("https://127.0.0.211:%1/img.png").arg(untrusted.serverPort()).toLatin1();
        plain.setPage("/pictures", "<html><title>Pictures</title><p>shown</p><img src='" + refused
                                       + "'><img src='/slow.png'></html>");
        ChildWindow *w = m_frame->windows->newBrowserWindow();
        m_frame->windows->openNumbered(w);
        auto *web = static_cast<WebEngineBrowser *>(w->Web1);
        int refusals = 0;
        connect(web->page(), &QWebEnginePage::certificateError, this, [&refusals] { ++refusals; });
        web->Navigate(plain.url(QStringLiteral("/pictures")));
        QTRY_COMPARE_WITH_TIMEOUT(web->LocationName(), QStringLiteral("Pictures"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(refusals >= 1 && plain.count("/slow.png") >= 1, 30000);
        QVERIFY(web->isLoading());
        QSignalSpy complete(web, &BrowserControl::DocumentComplete);
        web->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !web->isLoading(), 30000);
        QVERIFY2(web->coverText().isEmpty(), qPrintable(web->coverText()));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pictures"));

        // The page itself refused is still covered and says why.
        web->Navigate(QStringLiteral("https://127.0.0.211:%1/").arg(untrusted.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(!web->coverText().isEmpty(), 30000);
        QVERIFY2(web->coverText().contains(QStringLiteral("The site's certificate is not trusted: 127.0.0.211")),
                 qPrintable(web->coverText()));
    }

    // Addresses the engine starts no load for: the window says so, and completes as a page does.
    void addressTheEngineCannotOpenIsExplained()
    {
        ProgramRecorder desktop; // the engine hands schemes it does not know to the desktop
        QVERIFY(desktop.program(QStringLiteral("xdg-open")));
        LoopbackServer server(QStringLiteral("127.0.0.9"));
        server.setPage("/", "<html><title>Served</title></html>");
        const QStringList addresses = {QStringLiteral("ftp://127.0.0.9/pub/"), QStringLiteral("xyz:foo"),
                                       QStringLiteral("http://"),
                                       // the engine's test addresses that end or freeze the programme
                                       QStringLiteral("chrome://gpucrash"), QStringLiteral("chrome:gpuhang"),
                                       QStringLiteral("CHROME://Kill/")};
        for (const QString &address : addresses) {
            ChildWindow *w = m_frame->windows->newBrowserWindow();
            m_frame->windows->OpenSiteWindow(w, address);
            auto *web = static_cast<WebEngineBrowser *>(w->Web1);
            const int tab = w->Tag.toInt();
            QTRY_COMPARE_WITH_TIMEOUT(m_frame->tb->caption(tab), address, 10000);
            QCOMPARE(w->windowTitle(), address);
            QVERIFY2(web->coverText().startsWith(address + QStringLiteral("\n"))
                         && web->coverText().contains(QStringLiteral("cannot be shown here")),
                     qPrintable(web->coverText()));
            QVERIFY(!web->isLoading());
        }
        // A page the engine can fetch takes the note's place.
        ChildWindow *w = m_frame->windows->activeChild();
        auto *web = static_cast<WebEngineBrowser *>(w->Web1);
        web->Navigate(server.url());
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Served"), 30000);
        QCOMPARE(web->coverText(), QString());
        QCOMPARE(web->LocationURL(), server.url());
    }

    // A picture for a person: the frame with eight windows, the last still loading.
    void eightWindowsOneLoadingPicture()
    {
        LoopbackServer server(QStringLiteral("127.0.0.7"));
        server.setHandler("/icon.png", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.contentType = "image/png";
            r.body = LoopbackServer::picture(Qt::red);
            return r;
        });
        const char *names[] = {"Morning News", "Weather", "Markets", "Search", "Comics", "Science", "Webmail"};
        const char *colours[] = {"#1565c0", "#2e7d32", "#6a1b9a", "#ef6c00", "#c62828", "#00838f", "#4e342e"};
        BrowserControl::setPageIconsEnabled(true);
        for (int i = 0; i < 7; ++i) {
            const QByteArray path = "/site" + QByteArray::number(i);
            server.setPage(path, "<html><head><title>" + QByteArray(names[i]) + "</title>"
                                 "<link rel=icon type=image/png href=/icon.png></head>"
                                 "<body style=\"font-family:sans-serif;margin:0\"><h1 style=\"background:"
                                 + QByteArray(colours[i]) + ";color:white;padding:16px;margin:0\">" + QByteArray(names[i])
                                 + "</h1><p style=\"padding:16px\">Page " + QByteArray::number(i + 1)
                                 + " of the start-up set, served on the loopback interface.</p></body></html>");
            QVERIFY(openWindow(server.url(QString::fromLatin1(path))));
        }
        server.setHandler("/slow", [](const LoopbackServer::Request &) {
            LoopbackServer::Response r;
            r.body = page("Slow");
            r.delayMs = 60000;
            return r;
        });
        ChildWindow *slow = m_frame->windows->newBrowserWindow();
        m_frame->windows->OpenSiteWindow(slow, server.url(QStringLiteral("/slow")));
        m_frame->windows->tileHorizontally();
        QTRY_COMPARE(m_frame->tb->icon(8).cacheKey(), WindowManager::loadingIcon().cacheKey());
        QTRY_VERIFY_WITH_TIMEOUT(!m_frame->tb->icon(1).isNull(), 20000);
        // The pages reach the screen a little after they complete: wait for the first one's colour.
        auto painted = [this] {
            const QImage shot = m_frame->grab().toImage();
            for (int y = 0; y < shot.height(); y += 3)
                for (int x = 0; x < shot.width(); x += 3)
                    if (shot.pixelColor(x, y) == QColor(0x1565c0) && y > m_frame->mdiArea->y())
                        return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(painted(), 20000);
        const QString dir = qEnvironmentVariable("QUILLON_ARTIFACTS", QDir::tempPath() + QStringLiteral("/quillon-artifacts"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(m_frame->grab().save(dir + QStringLiteral("/frame-eight-windows.png")));
    }
};

QUILLON_TEST_MAIN(TestEverydayE2E)
#include "tst_everyday_e2e.moc"
