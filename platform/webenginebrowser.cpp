#include "platform/webenginebrowser.h"
#include "platform/windowplacement.h"

#include "core/startuptrace.h"
#include "core/userpresses.h"
#include "platform/downloads.h"
#include "platform/internetsettings.h"
#include "platform/keystrokes.h"
#include "platform/localpages.h"
#include "platform/outsidelinks.h"
#include "platform/pageiconfetcher.h"
#include "platform/dialogs.h"
#include "platform/logindialog.h"
#include "platform/pagefullscreen.h"
#include "platform/sightwatch.h"

#include <QApplication>
#include <QAuthenticator>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWindow>

namespace {

// The page's own icon link, resolved against the page; run apart from the page's scripts.
const char iconLinkScript[] = R"JS(
(function () {
  var link = document.querySelector('link[rel~="icon" i][href]');
  return link ? String(link.href) : '';
})();
)JS";

const QString statusMarker = QStringLiteral("\x01quillon-status:");

// Page scripts' window.status reaches us through the console, marked.
const char statusScript[] = R"JS(
(function () {
  var text = '';
  try {
    Object.defineProperty(window, 'status', {
      configurable: true,
      get: function () { return text; },
      set: function (v) { text = String(v); console.log('\u0001quillon-status:' + text.slice(0, 4096)); }
    });
  } catch (e) {}
})();
)JS";

// The title of the boxes a page puts up: the site that asks, never its path, query or login.
QString saysTitle(const QUrl &origin)
{
    const QString site = origin.host().isEmpty() ? origin.toString(QUrl::RemoveUserInfo) : origin.host();
    return QStringLiteral("%1 says").arg(site.left(200));
}

class Page : public QWebEnginePage
{
public:
    Page(QWebEngineProfile *profile, WebEngineBrowser *owner) : QWebEnginePage(profile, owner), m_owner(owner) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &) override
    {
        if (m_owner && message.startsWith(statusMarker))
            Q_EMIT m_owner->StatusTextChange(message.mid(statusMarker.size()));
    }

    // The desktop would start another programme for such a link at once: it is offered instead.
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (!m_owner)
            return false; // kept only to finish printing
        if (OutsideLinks::engineShows(url))
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        if (type == NavigationTypeLinkClicked)
            OutsideLinks::offer(m_owner, url);
        return false;
    }

    // The page's own menu (and the view's back, forward and reload) goes the way of the
    // toolbar: a form's answer is not sent again unasked, and loads wait out a cache clear.
    // The control itself triggers these through the engine's own handling.
    void triggerAction(WebAction action, bool checked) override
    {
        switch (m_owner ? action : NoWebAction) {
        case Reload:
        case ReloadAndBypassCache:
            m_owner->Refresh();
            return;
        case Back:
            m_owner->GoBack();
            return;
        case Forward:
            m_owner->GoForward();
            return;
        default:
            QWebEnginePage::triggerAction(action, checked);
        }
    }

    // A page calling confirm() or prompt() in a loop would put up one modal box after
    // another: after a few in a row from one page the rest are dropped, and their text is
    // bounded. An alert needs no answer and waits for none (see showAlert).
    void javaScriptAlert(const QUrl &origin, const QString &msg) override
    {
        if (m_owner)
            m_owner->showAlert(origin, msg.left(WebEngineBrowser::MaxDialogText));
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override
    {
        // The engine asks before leaving a page with a leave-page handler through here, with
        // its own text (a page's confirm() in the same words passes as one). Leaving is the
        // person's choice: never bounded, never refused.
        // A reload nobody asked for stays on the page: whatever is typed there is kept.
        if (!m_owner)
            return false;
        if (msg == leavePagePrompt())
            return !m_owner->takeUnattendedReload() && Dialogs::confirm(m_owner, saysTitle(origin), msg);
        return bounded([&] {
            return Dialogs::confirm(m_owner, saysTitle(origin), msg.left(WebEngineBrowser::MaxDialogText));
        });
    }
    // The default answer is the page's data: it comes back as given when left alone.
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue, QString *result) override
    {
        return bounded([&] {
            return Dialogs::prompt(m_owner, saysTitle(origin), msg.left(WebEngineBrowser::MaxDialogText), defaultValue,
                                   result);
        });
    }

private:
    static QString leavePagePrompt()
    {
        return QCoreApplication::translate("QWebEnginePage", "Are you sure you want to leave this page? "
                                                             "Changes that you made may not be saved.");
    }
    // Shows a box the page asked for, if the page's bound allows it.
    bool bounded(const std::function<bool()> &show)
    {
        // A page out of sight is answered as if cancelled, as a box nobody sees would hold
        // up every other window until it was found.
        if (!m_owner)
            return false;
        if (!m_owner->inSight()) {
            m_owner->questionUnseen();
            return false;
        }
        if (!m_owner->allowDialog())
            return false;
        QPointer<WebEngineBrowser> owner(m_owner); // the box runs an event loop: the window may close
        const bool answer = show();
        if (owner)
            owner->dialogAnswered();
        return answer;
    }

    // Null once the window has closed and the page is kept only to finish a print.
    QPointer<WebEngineBrowser> m_owner;
};

// Whether the engine starts a load for the address at all. For ftp: (it has no FTP), a
// scheme it does not know, or http:// with no host, load() does nothing and says nothing.
bool engineLoads(const QUrl &url)
{
    if (url.isEmpty())
        return true; // about:blank
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return OutsideLinks::engineShows(url);
}

// The engine's own test addresses, which crash or hang on purpose: its drawing runs in the
// programme's process, so some of them end or freeze the whole programme, and the others
// every window sharing the page's process. None is loaded.
bool engineTestAddress(const QUrl &url)
{
    static const QSet<QString> hosts = {
        QStringLiteral("badcastcrash"), QStringLiteral("checkcrash"), QStringLiteral("crash"),
        QStringLiteral("crashdump"), QStringLiteral("delayeduithreadhang"), QStringLiteral("gpuclean"),
        QStringLiteral("gpucrash"), QStringLiteral("gpuhang"), QStringLiteral("gpu-java-crash"),
        QStringLiteral("hang"), QStringLiteral("inducebrowsercrashforrealz"),
        QStringLiteral("inducebrowserdcheckforrealz"), QStringLiteral("inducebrowserheapcorruption"),
        QStringLiteral("kill"), QStringLiteral("memory-exhaust"), QStringLiteral("memory-pressure-critical"),
        QStringLiteral("memory-pressure-moderate"), QStringLiteral("ppapiflashcrash"),
        QStringLiteral("ppapiflashslow"), QStringLiteral("quit"), QStringLiteral("restart"),
        QStringLiteral("shorthang"), QStringLiteral("uithreadhang")};
    if (url.scheme().compare(QLatin1String("chrome"), Qt::CaseInsensitive) != 0)
        return false;
    // "chrome:gpucrash" is the same address to the engine as "chrome://gpucrash/".
    QString host = url.host();
    if (host.isEmpty())
        host = url.path().section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty);
    return hosts.contains(host.toLower());
}

QString originOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
        .toString();
}

}

// Drawn over a page whose renderer process died, with a way to bring it back.
class CrashCover : public QWidget
{
public:
    explicit CrashCover(WebEngineBrowser *owner) : QWidget(owner)
    {
        setObjectName(QStringLiteral("crashCover"));
        setAutoFillBackground(true);
        auto *layout = new QVBoxLayout(this);
        layout->addStretch();
        m_text = new QLabel(this);
        m_text->setAlignment(Qt::AlignCenter);
        m_text->setWordWrap(true);
        m_text->setTextFormat(Qt::PlainText); // holds page titles and addresses
        layout->addWidget(m_text);
        auto *reload = new QPushButton(QStringLiteral("&Reload this page"), this);
        reload->setObjectName(QStringLiteral("crashReload"));
        layout->addWidget(reload, 0, Qt::AlignCenter);
        layout->addStretch();
        connect(reload, &QPushButton::clicked, owner, &WebEngineBrowser::Refresh);
    }
    void setText(const QString &t) { m_text->setText(t); }
    void setReloadVisible(bool visible) { findChild<QPushButton *>(QStringLiteral("crashReload"))->setVisible(visible); }
    QString text() const { return m_text->text(); }

private:
    QLabel *m_text;
};

// The engine lets a page that is not visible have only three requests in flight, which
// makes a start-up window behind the tray load its resources in waves. The watch counts
// a page's requests while it loads unseen; at the third the page is shown to the engine
// until it completes. Pages that ask for fewer are never shown, so never painted.
// It also tells whether each request for the page itself sends a form (POST): a
// redirect comes through again with the method it goes on with, and keeps a page opened
// from a file to what it is made of.
class UnseenLoadWatch : public QWebEngineUrlRequestInterceptor
{
public:
    static constexpr int HiddenPageRequests = 3;

    UnseenLoadWatch(QObject *parent, QWebEnginePage *page, std::function<void()> onBusy,
                    std::function<void(bool posted)> onPageRequest)
        : QWebEngineUrlRequestInterceptor(parent), m_page(page), m_onBusy(std::move(onBusy)),
          m_onPageRequest(std::move(onPageRequest))
    {
    }
    void arm()
    {
        m_armed = true;
        m_requests = 0;
    }
    void disarm() { m_armed = false; }

    // Called on the user-interface thread, before the request goes out.
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (LocalPages::refused(info)) {
            info.block(true);
            return;
        }
        // A document's address may turn out to be a file, which the engine hands over only
        // once the site answers, perhaps after this page has gone.
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
            || info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame)
            Downloads::instance()->noteAsked(m_page, info.requestUrl());
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            m_onPageRequest(info.requestMethod() == "POST");
            return;
        }
        if (!m_armed)
            return;
        if (++m_requests >= HiddenPageRequests) {
            m_armed = false;
            QMetaObject::invokeMethod(parent(), m_onBusy, Qt::QueuedConnection);
        }
    }

private:
    QWebEnginePage *m_page;
    std::function<void()> m_onBusy;
    std::function<void(bool)> m_onPageRequest;
    bool m_armed = false;
    int m_requests = 0;
};

int WebEngineBrowser::s_unseenLoadLimitMs = 20000;

QWebEngineProfile *WebEngineBrowser::profile()
{
    static QPointer<QWebEngineProfile> shared;
    if (!shared) {
        shared = new QWebEngineProfile(QStringLiteral("Quillon"), qApp);
        // No page icons while the start-up sites load, where each would add a request; the frame turns them on after.
        shared->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        // Pages may fill the screen when the person asks (a video player's button).
        shared->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
        shared->setHttpUserAgent(InternetSettings::withTokens(shared->httpUserAgent(),
                                                             InternetSettings::userAgentTokens()));
        StartupTrace::mark("engine");
        Downloads::instance()->watch(shared);
        QWebEngineScript status;
        status.setName(QStringLiteral("quillon-status"));
        status.setInjectionPoint(QWebEngineScript::DocumentCreation);
        status.setWorldId(QWebEngineScript::MainWorld);
        status.setRunsOnSubFrames(true);
        status.setSourceCode(QString::fromLatin1(statusScript));
        shared->scripts()->insert(status);
    }
    return shared;
}

WebEngineBrowser::WebEngineBrowser(QWidget *parent)
    : BrowserControl(parent)
{
    setObjectName(QStringLiteral("Web1"));
    instances().append(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    auto *page = new Page(profile(), this);
    m_unseenWatch = new UnseenLoadWatch(this, page, [this] {
        if (m_loadingUnseen && !m_view->isVisible() && !m_view->page()->isVisible()) {
            sizeUnseenView();
            m_view->page()->setVisible(true);
        }
    }, [this](bool posted) { m_requestPosted = posted; });
    page->setUrlRequestInterceptor(m_unseenWatch);
    m_view->setPage(page);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    m_fullScreen = new PageFullScreen(m_view, this);
    // Presses in the page: a page the person has worked in is asked before a timed reload.
    connect(UserPresses::instance(), &UserPresses::pressed, this, [this](QWidget *target) {
        if (target && (target == m_view || m_view->isAncestorOf(target)))
            m_pressedSinceLoad = true;
    });
    m_sight = new SightWatch(this);
    connect(m_sight, &SightWatch::cameIntoSight, this, &WebEngineBrowser::cameIntoSight);

    connect(page, &QWebEnginePage::linkHovered, this,
            [this](const QString &url) { Q_EMIT StatusTextChange(url.left(MaxStatusText)); });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        if (m_cover)
            m_cover->hide();
        m_unshowable.clear();
        m_certificateUrl.clear(); // a picture refused on the page before is not this page's
        m_certificateProblem.clear();
        m_rendererGone = false;
        m_loading = true;
        m_pressedSinceLoad = false;
        m_progress = 0;
        m_fetchedIcon = QIcon(); // the new page brings its own
        m_fileDownload = -1;
        Q_EMIT DownloadBegin();
    });
    // Whether reloading would send a form again is decided by the page that is shown: a
    // load that was stopped or turned into a download leaves the page before it in place.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_requestPosted = false; // schemes the engine does not ask about bring no form
            return;
        }
        // The page's own certificate refused: the window says why instead of showing it.
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
            && info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain) {
            const QString why = m_certificateUrl.host() == info.url().host() && !m_certificateProblem.isEmpty()
                ? m_certificateProblem
                : info.errorString();
            showCover(QStringLiteral("The site's certificate is not trusted: %1\n%2\nQuillon did not open the page.")
                          .arg(info.url().host(), why)
                          .left(2000),
                      false);
        }
        const bool shown = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
            || (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
                && (info.isErrorPage() || info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain));
        if (shown) {
            m_pageFromForm = m_requestPosted;
            m_pageShown = true;
        }
    });
    // An address that is a file leaves a window that showed no page before blank: the window
    // says where the file went. One that shows a page keeps showing it.
    connect(Downloads::instance(), &Downloads::addressIsFile, this, [this, page](QWebEnginePage *from, int index) {
        if (from != page || m_pageShown)
            return;
        m_fileDownload = index;
        showFileNote();
    });
    connect(Downloads::instance(), &Downloads::changed, this, [this](int index) {
        if (index == m_fileDownload)
            showFileNote();
    });
    // A page that reloads itself, or moves within its own site, keeps its dialog
    // count: only another site, or the user's own navigation, starts a fresh one.
    connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        const QString origin = originOf(url);
        if (origin != m_dialogOrigin) {
            m_dialogOrigin = origin;
            m_dialogs = 0;
        }
        // A page that moves within itself (a link to an anchor, an application's own
        // history) loads nothing and so never completes: its new address is given as a
        // completed page's is, and so is the title its script gives it right after.
        if (m_completed && !m_loading) {
            m_movedWithin.start();
            movedWithin();
        }
    });
    connect(page, &QWebEnginePage::titleChanged, this, [this] {
        if (m_completed && !m_loading && m_movedWithin.isValid() && m_movedWithin.elapsed() < MovedTitleMs)
            movedWithin();
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int percent) {
        m_progress = percent;
        Q_EMIT LoadProgress(percent);
    });
    connect(page, &QWebEnginePage::iconChanged, this, &BrowserControl::IconChanged);
    // A certificate the engine does not trust is refused, and the page says why when it is
    // the page's own; a picture or frame refused leaves the page it is on to show.
    connect(page, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
        error.rejectCertificate();
        m_certificateUrl = error.url();
        m_certificateProblem = error.description();
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this, page] {
        endUnseenLoad();
        m_unattendedReload = false;
        if (page->renderProcessPid() > 0)
            m_rendererPid = page->renderProcessPid();
        m_loading = false;
        m_completed = true;
        m_progress = 100;
        Q_EMIT DocumentComplete();
    });
    // A site that wants a user name and password; cancelled, the page shows the site's refusal.
    // Out of sight it is cancelled at once (a box would hold up every window's loading) and
    // asked for once the person can see the window.
    connect(page, &QWebEnginePage::authenticationRequired, this, [this](const QUrl &url, QAuthenticator *auth) {
        if (!inSight()) {
            *auth = QAuthenticator();
            m_loginUnseen = true;
            m_sight->watch();
            return;
        }
        QString user, password;
        const QString host = url.port() < 0 ? url.host() : QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
        QPointer<WebEngineBrowser> self(this);
        const bool given = Dialogs::askLogin(window(), {host, auth->realm(), url.scheme() == QLatin1String("http")},
                                             &user, &password);
        if (!self)
            return; // the page went with its window while the box was up
        if (given) {
            auth->setUser(user);
            auth->setPassword(password);
        } else {
            *auth = QAuthenticator(); // a null answer cancels
        }
    });
    // The programme offers pages none of these (notifications, location, camera, microphone,
    // the screen): a request left unanswered keeps the page waiting for good, so each is refused.
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            [page](const QUrl &origin, QWebEnginePage::Feature feature) {
                page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebEngineBrowser::onNewWindowRequested);
    connect(page, &QWebEnginePage::windowCloseRequested, this, &BrowserControl::CloseRequested);
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) {
        if (pid > 0)
            m_rendererPid = pid;
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                m_rendererGone = true;
                m_loading = false;
                const QString why = status == QWebEnginePage::KilledTerminationStatus
                    ? QStringLiteral("was ended by the system")
                    : QStringLiteral("stopped unexpectedly (code %1)").arg(code);
                showCrashCover(why);
                // The window's caption and tab say the page stopped, not that it is there.
                Q_EMIT DocumentComplete();
            });
    connect(qApp, &QApplication::focusChanged, this, &WebEngineBrowser::onFocusChanged);
}

WebEngineBrowser::~WebEngineBrowser()
{
    m_ending = true;
    delete m_fullScreen; // a view in full screen comes back to go with its window
    instances().removeAll(this);
    disconnect(qApp, nullptr, this, nullptr); // focus moves as the children go
    // The page goes first, while this control is whole: a page that hangs or whose renderer
    // died answers the scripts it was asked to run only as it is destroyed, and left to the
    // children's turn those answers would reach a control already half gone.
    QWebEnginePage *shown = m_view->page();
    shown->setUrlRequestInterceptor(nullptr); // no request reaches the watch from here on
    disconnect(shown, nullptr, this, nullptr);
    if (m_printsUnderWay > 0) {
        // The engine ends the whole programme if a page goes while it is being printed: the
        // page and its view stay, out of sight and on their own, until the print is done.
        QWebEngineView *view = m_view;
        view->setParent(nullptr);
        shown->setParent(view);
        shown->action(QWebEnginePage::Stop)->trigger();
        connect(shown, &QWebEnginePage::pdfPrintingFinished, view, &QObject::deleteLater);
        connect(view, &QWebEngineView::printFinished, view, &QObject::deleteLater);
        connect(qApp, &QCoreApplication::aboutToQuit, view, [view] { delete view; });
        return;
    }
    delete shown;
}

QList<WebEngineBrowser *> &WebEngineBrowser::instances()
{
    static QList<WebEngineBrowser *> all;
    return all;
}

QWebEnginePage *WebEngineBrowser::page() const { return m_view->page(); }

qint64 WebEngineBrowser::rendererProcessId() const { return page()->renderProcessPid(); }

void WebEngineBrowser::showCrashCover(const QString &why)
{
    // Windows share renderers: the others it drew stopped with it.
    QStringList sharing;
    for (const WebEngineBrowser *other : instances())
        if (other != this && m_rendererPid > 0 && other->m_rendererPid == m_rendererPid)
            sharing << QLatin1Char('"') + (other->LocationName().isEmpty() ? other->LocationURL() : other->LocationName()).left(60)
                    + QLatin1Char('"');
    QString others = QStringLiteral("Other windows are not affected.");
    if (sharing.size() == 1) {
        others = QStringLiteral("It also drew the window showing %1, which stopped too.").arg(sharing.first());
    } else if (!sharing.isEmpty()) {
        const qsizetype named = qMin<qsizetype>(sharing.size(), 5);
        QString list = QStringList(sharing.mid(0, named)).join(QStringLiteral(", "));
        if (sharing.size() > named)
            list += QStringLiteral(" and %1 more").arg(sharing.size() - named);
        others = QStringLiteral("It also drew %1 other windows, which stopped too: %2.").arg(sharing.size()).arg(list);
    }
    showCover(QStringLiteral("The page %1 could not be shown: the process drawing it %2.\n%3")
                  .arg(LocationURL().left(300), why, others),
              true);
    Q_EMIT StatusTextChange(QStringLiteral("A page stopped working: ") + LocationURL().left(300));
}

void WebEngineBrowser::showCover(const QString &text, bool offerReload)
{
    if (!m_cover)
        m_cover = new CrashCover(this);
    m_cover->setText(text);
    m_cover->setReloadVisible(offerReload);
    m_cover->setGeometry(rect());
    m_cover->show();
    m_cover->raise();
}

void WebEngineBrowser::showFileNote()
{
    const QList<Downloads::Item> &items = Downloads::instance()->items();
    if (m_pageShown || m_fileDownload < 0 || m_fileDownload >= items.size())
        return;
    const Downloads::Item &item = items.at(m_fileDownload);
    QString what;
    switch (item.state) {
    case Downloads::State::Running:
        what = QStringLiteral("It is being saved as\n%1").arg(QDir::toNativeSeparators(item.path()));
        break;
    case Downloads::State::Saved:
        what = QStringLiteral("It was saved as\n%1").arg(QDir::toNativeSeparators(item.path()));
        break;
    case Downloads::State::Failed:
        what = QStringLiteral("It could not be saved: %1.").arg(item.error);
        break;
    case Downloads::State::Cancelled:
        what = QStringLiteral("Its download was cancelled.");
        break;
    }
    showCover(QStringLiteral("%1\n\nThis address is a file, not a page. %2").arg(LocationURL().left(2000), what), false);
}

void WebEngineBrowser::showUnshowable(const QString &address)
{
    // Kept as it is shown and named: without a password, which serves no load here.
    const QString shown = withoutPassword(address);
    m_unshowable = shown;
    m_loading = false;
    m_progress = 100;
    showCover(QStringLiteral("%1\n\nThis address cannot be shown here.").arg(shown.left(2000)), false);
    // Completed as a page is, after Navigate has returned, so the caption and tab name it.
    QTimer::singleShot(0, this, [this, shown] {
        if (m_unshowable == shown)
            Q_EMIT DocumentComplete();
    });
}

QString WebEngineBrowser::coverText() const
{
    return m_cover && m_cover->isVisible() ? m_cover->text() : QString();
}

bool WebEngineBrowser::allowDialog()
{
    // A page that asked for none for a moment has its full share again: a script asking in
    // a loop is held back for as long as it keeps asking, a person is asked again after a
    // short pause, and is told why meanwhile.
    if (m_sinceDialog.isValid() && m_sinceDialog.hasExpired(DialogPauseMs))
        m_dialogs = 0;
    m_sinceDialog.start();
    if (m_dialogs >= DialogsPerBurst) {
        ++m_dialogsDropped;
        Q_EMIT StatusTextChange(QStringLiteral("The page asked for more messages in a row than are shown. "
                                               "It can ask again after a few seconds."));
        return false;
    }
    ++m_dialogs;
    return true;
}

void WebEngineBrowser::dialogAnswered() { m_sinceDialog.start(); }

void WebEngineBrowser::showAlert(const QUrl &origin, const QString &text)
{
    // A modal box here would run its own event loop inside the engine's call, holding up
    // the engine's work for every window until answered. One box per page: a later alert
    // while it is up takes its place.
    if (m_alertBox && m_alertBox->isVisible()) {
        m_alertBox->setText(text);
        return;
    }
    if (!allowDialog())
        return;
    m_alertBox = Dialogs::notice(this, saysTitle(origin), text);
    if (m_alertBox)
        connect(m_alertBox, &QDialog::finished, this, &WebEngineBrowser::dialogAnswered);
}

bool WebEngineBrowser::inSight() const { return SightWatch::inSight(this); }

void WebEngineBrowser::questionUnseen()
{
    m_questionUnseen = true;
    m_sight->watch();
}

void WebEngineBrowser::cameIntoSight()
{
    if (std::exchange(m_questionUnseen, false))
        Q_EMIT StatusTextChange(QStringLiteral("This page asked a question while out of sight: it was answered Cancel."));
    // Once per cancelled login: asked out of sight again, it waits for the next time.
    if (std::exchange(m_loginUnseen, false))
        refreshWithoutResend();
}

void WebEngineBrowser::resizeEvent(QResizeEvent *event)
{
    BrowserControl::resizeEvent(event);
    if (m_cover)
        m_cover->setGeometry(rect());
}

namespace {
// Time the engine is given to clear its HTTP cache before loads go on (it was done
// within 1.5 s in every run measured).
constexpr int CacheClearMs = 2000;
QDeadlineTimer cacheClearEnds;
} // namespace

void WebEngineBrowser::holdLoadsWhileCacheClears() { cacheClearEnds = QDeadlineTimer(CacheClearMs); }

void WebEngineBrowser::whenCacheSettled(std::function<void()> load)
{
    const int ticket = ++m_loadTickets; // a later load, or Stop, drops this one
    if (cacheClearEnds.hasExpired()) {
        load();
        return;
    }
    QTimer::singleShot(int(cacheClearEnds.remainingTime()), this, [this, ticket, load] {
        if (ticket == m_loadTickets)
            load();
    });
}

void WebEngineBrowser::Navigate(const QString &address)
{
    userNavigates();
    const QString text = cleanAddress(address);
    const QUrl url = QUrl::fromUserInput(text, QDir::currentPath());
    m_asked = url.toString(QUrl::RemovePassword);
    whenCacheSettled([this, url, text] {
        m_unshowable.clear();
        if (engineTestAddress(url)) {
            showUnshowable(text);
            return;
        }
        Downloads::instance()->expectFrom(page(), url);
        // Asked all the same, as for any address; the page refuses what would go to another programme.
        m_view->load(url);
        if (!engineLoads(url)) {
            showUnshowable(text);
            return;
        }
        if (!m_view->isVisible())
            beginUnseenLoad();
    });
}

void WebEngineBrowser::beginUnseenLoad()
{
    // Loading behind a hidden frame: shown to the engine once the page asks for more than
    // a hidden page may (see UnseenLoadWatch), hidden again (its timers and animations held
    // back) once complete. A page that never completes (a stalled resource, endless
    // loading) is hidden again after a while, so that it cannot keep its timers running
    // behind the tray.
    m_unseenWatch->arm();
    m_loadingUnseen = true;
    const int load = ++m_unseenLoads;
    QTimer::singleShot(s_unseenLoadLimitMs, this, [this, load] {
        if (load == m_unseenLoads)
            endUnseenLoad();
    });
}

void WebEngineBrowser::sizeUnseenView()
{
    // A widget that was never shown is never laid out, so a page shown to the engine
    // behind the tray would be laid out at 100 x 30 px, the size Qt starts widgets at: its
    // scripts, media queries and srcsets would choose for that. The frame and the widgets
    // down to the view are laid out as showing would lay them out, then the engine's item
    // inside the view's quick widget is given the view's size; that item, not the widget,
    // tells the engine its size (how Qt WebEngine 6.4 arranges its view; tst_browser_e2e
    // notices if that changes). A resize event on the quick widget would do it too, but
    // makes every hidden window allocate its picture. Pages never shown to the engine are
    // left as they are: a size costs each its frame buffer, and they are laid out only
    // once the frame is shown, at the size they get then.
    WindowPlacement::layOutUnshown(m_view);
    auto *quick = qobject_cast<QQuickWidget *>(m_view->focusProxy());
    if (!quick || !quick->rootObject())
        return;
    const QSize size = m_view->size();
    for (QQuickItem *item : quick->rootObject()->childItems())
        item->setSize(size);
}

void WebEngineBrowser::endUnseenLoad()
{
    m_unseenWatch->disarm();
    if (!m_loadingUnseen)
        return;
    m_loadingUnseen = false;
    if (!m_view->isVisible() && m_view->page()->isVisible())
        m_view->page()->setVisible(false);
}

void WebEngineBrowser::setUnseenLoadLimit(int ms) { s_unseenLoadLimitMs = ms; }

void WebEngineBrowser::GoHome() { Navigate(InternetSettings::homePage()); }

void WebEngineBrowser::GoSearch()
{
    Navigate(InternetSettings::searchPageToOpen());
}

BrowserControl::HResult WebEngineBrowser::GoBack()
{
    userNavigates();
    if (!m_view->history()->canGoBack())
        return E_FAIL;
    whenCacheSettled([this] { page()->QWebEnginePage::triggerAction(QWebEnginePage::Back); });
    return S_OK;
}

BrowserControl::HResult WebEngineBrowser::GoForward()
{
    userNavigates();
    if (!m_view->history()->canGoForward())
        return E_FAIL;
    whenCacheSettled([this] { page()->QWebEnginePage::triggerAction(QWebEnginePage::Forward); });
    return S_OK;
}

void WebEngineBrowser::Refresh()
{
    m_unattendedReload = false;
    if (m_pageFromForm) {
        // The engine would send the form again without a word: an order or a message twice.
        QPointer<WebEngineBrowser> self(this);
        const bool again = Dialogs::ask(window(), QString(),
                                        QStringLiteral("This page is the answer to a form. Refreshing it sends the "
                                                       "form again, which may repeat what it did (an order, a "
                                                       "payment, a message).\n\nSend the form again?"),
                                        QMessageBox::Warning);
        if (!self || !again)
            return;
    }
    reload(true);
}

void WebEngineBrowser::userNavigates()
{
    m_dialogs = 0;
    m_unattendedReload = false;
    m_questionUnseen = false; // about the page being left
    m_loginUnseen = false;
}

namespace {
// Whether the page holds something the person changed in its fields: a value, a box ticked,
// a choice made, or an editable area in use. Frames of other sites cannot be looked into.
const char editedFieldsScript[] = R"JS((function () {
  function edited(doc) {
    for (const e of doc.querySelectorAll('input, textarea')) {
      if (['hidden', 'submit', 'button', 'reset', 'image', 'file'].includes(e.type)) continue;
      if (e.type === 'checkbox' || e.type === 'radio') { if (e.checked !== e.defaultChecked) return true; }
      else if (e.value !== e.defaultValue) return true;
    }
    for (const s of doc.querySelectorAll('select'))
      for (const o of s.options) if (o.selected !== o.defaultSelected) return true;
    if (doc.activeElement && doc.activeElement.isContentEditable) return true;
    for (const f of doc.querySelectorAll('iframe, frame')) {
      try { if (f.contentDocument && edited(f.contentDocument)) return true; } catch (e) {}
    }
    return false;
  }
  return edited(document);
})())JS";
}

void WebEngineBrowser::refreshWithoutResend()
{
    // A timed reload would throw away what the person has typed into the page: while its
    // fields hold their work, the ticks leave it alone. Only a page the person has pressed
    // in is looked at, so that fields its own script fills keep nothing from refreshing.
    // A page whose renderer died holds nothing typed any more, and could not be asked.
    if (!m_pressedSinceLoad || m_loading || m_rendererGone) {
        m_unattendedReload = true;
        reload(false);
        return;
    }
    const QUrl at = page()->url();
    page()->runJavaScript(QString::fromLatin1(editedFieldsScript), QWebEngineScript::ApplicationWorld,
                          [self = QPointer<WebEngineBrowser>(this), at](const QVariant &edited) {
                              if (!self || self->m_ending || self->m_loading || self->page()->url() != at)
                                  return;
                              if (edited.toBool()) {
                                  if (self->inSight())
                                      Q_EMIT self->StatusTextChange(
                                          QStringLiteral("Auto-refresh waits while this page holds what you typed."));
                                  return;
                              }
                              self->m_unattendedReload = true;
                              self->reload(false);
                          });
}

bool WebEngineBrowser::takeUnattendedReload() { return std::exchange(m_unattendedReload, false); }

void WebEngineBrowser::reload(bool resendForm)
{
    m_dialogs = 0;
    if (!m_unshowable.isEmpty()) {
        Navigate(m_unshowable); // the page under the note is not the one asked for
        return;
    }
    if (m_cover)
        m_cover->hide();
    if (m_pageFromForm && !resendForm) {
        // The page's address is fetched again as a plain request; the form stays unsent.
        const QUrl url = m_view->url();
        whenCacheSettled([this, url] { m_view->load(url); });
    } else {
        whenCacheSettled([this] { page()->QWebEnginePage::triggerAction(QWebEnginePage::Reload); });
    }
}

void WebEngineBrowser::Stop()
{
    m_unattendedReload = false;
    ++m_loadTickets; // a load waiting for a cache clear is dropped too
    m_view->stop();
}

void WebEngineBrowser::zoom(int step)
{
    // The steps people know from other browsers, within the engine's bounds of 25% to 500%.
    static const double steps[] = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0, 5.0};
    const double now = m_view->zoomFactor();
    double next = 1.0;
    if (step > 0) {
        next = steps[std::size(steps) - 1];
        for (double s : steps)
            if (s > now + 0.001) { next = s; break; }
    } else if (step < 0) {
        next = steps[0];
        for (double s : steps)
            if (s < now - 0.001) next = s;
    }
    m_view->setZoomFactor(next);
}

BrowserControl::HResult WebEngineBrowser::ExecWB(int command, int option)
{
    switch (command) {
    case CmdCut: m_view->triggerPageAction(QWebEnginePage::Cut); return S_OK;
    case CmdCopy: m_view->triggerPageAction(QWebEnginePage::Copy); return S_OK;
    case CmdPaste: m_view->triggerPageAction(QWebEnginePage::Paste); return S_OK;
    case CmdSelectAll: m_view->triggerPageAction(QWebEnginePage::SelectAll); return S_OK;
    case CmdPageSetup: {
        // A popup's page can close its window while the dialog is up. This dialog reads its
        // own fields once it is answered, so it must not go with the window: it belongs to
        // no widget, stays over the window, and is cancelled when the window goes.
        QPrinter printer;
        printer.setPageLayout(BrowserControl::sharedPageLayout());
        QPageSetupDialog dialog(&printer);
        dialog.winId();
        if (QWindow *owner = window()->windowHandle())
            dialog.windowHandle()->setTransientParent(owner);
        WindowPlacement::placeOver(&dialog, window());
        connect(this, &QObject::destroyed, &dialog, &QDialog::reject);
        QPointer<WebEngineBrowser> self(this);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        if (self && accepted)
            BrowserControl::sharedPageLayout() = printer.pageLayout();
        return S_OK;
    }
    case CmdPrint: {
        // A page still arriving would print as an empty sheet.
        if (m_printing || m_loading)
            return E_FAIL;
        auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer->setPageLayout(BrowserControl::sharedPageLayout());
        if (option != OptDontPromptUser) {
            // Gone with the window or cancelled: nothing to print.
            if (!Dialogs::runOwned(new QPrintDialog(printer.get(), this), QDialog::Accepted))
                return S_OK;
        } else if (QPrinterInfo::availablePrinters().isEmpty()) {
            return E_FAIL;
        }
        if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
            // The engine's own PDF keeps the text; a PDF printer would get pictures of the pages.
            printToPdf(printer->outputFileName(), printer->pageLayout(), printer->pageRanges(), nullptr);
            return S_OK;
        }
        printTo(printer.get(), [printer](bool) {});
        return S_OK;
    }
    default:
        return E_FAIL;
    }
}

QIcon WebEngineBrowser::pageIcon() const
{
    const QIcon own = page()->icon();
    return own.isNull() ? m_fetchedIcon : own;
}

void WebEngineBrowser::fillMissingIcons()
{
    PageIconFetcher::instance()->setUserAgent(profile()->httpUserAgent().toUtf8());
    for (WebEngineBrowser *browser : instances())
        browser->fetchMissingIcon();
}

void WebEngineBrowser::fetchMissingIcon()
{
    const QUrl pageUrl = page()->url();
    if (m_loading || m_rendererGone || !pageIcon().isNull() || !PageIconFetcher::isWeb(pageUrl))
        return;
    // A dead renderer runs this at destruction: nothing from this stack, and the control may be gone.
    QPointer<WebEngineBrowser> self(this);
    page()->runJavaScript(QString::fromLatin1(iconLinkScript), QWebEngineScript::ApplicationWorld,
                          [self, pageUrl](const QVariant &result) {
        if (!self || self->m_ending || self->m_loading || self->page()->url() != pageUrl)
            return;
        QUrl icon(result.toString());
        if (!PageIconFetcher::isWeb(icon))
            icon = pageUrl.resolved(QUrl(QStringLiteral("/favicon.ico")));
        icon.setUserInfo(QString());
        PageIconFetcher::instance()->fetch(icon, self, [self, pageUrl](const QIcon &fetched) {
            // Only for the page it was asked for, and never over the engine's own.
            if (!self || fetched.isNull() || self->m_loading || self->page()->url() != pageUrl
                || !self->page()->icon().isNull())
                return;
            self->m_fetchedIcon = fetched;
            Q_EMIT self->IconChanged();
        });
    });
}

QString WebEngineBrowser::LocationName() const
{
    // Everything that shows the title (captions, tabs, favourites) gets a bounded one.
    if (!m_unshowable.isEmpty())
        return m_unshowable.left(MaxStatusText);
    // A window whose first page was stopped before it came is named by what was asked for.
    const QString title = m_view->title();
    return (title.isEmpty() && m_view->url().isEmpty() ? m_asked : title).left(MaxStatusText);
}

QString WebEngineBrowser::LocationURL() const
{
    // Never with the password of a user:password@ address: what this returns is shown and
    // kept (address bar, history, favourites). The engine keeps the credentials for reloads.
    if (!m_unshowable.isEmpty())
        return m_unshowable;
    const QUrl url = m_view->url();
    return url.isEmpty() ? m_asked : url.toString(QUrl::RemovePassword);
}

void WebEngineBrowser::findText(const QString &text, bool backward, bool caseSensitive, FindDone done)
{
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    if (caseSensitive)
        flags |= QWebEnginePage::FindCaseSensitively;
    m_view->findText(text, flags, [done](const QWebEngineFindTextResult &result) {
        if (done)
            done(result.activeMatch(), result.numberOfMatches());
    });
}

// The answers are taken on the page and the view, which outlive a window closed mid-print.
void WebEngineBrowser::printToPdf(const QString &path, const QPageLayout &layout, const QPageRanges &ranges, Done done)
{
    ++m_printsUnderWay;
    auto *conn = new QMetaObject::Connection;
    *conn = connect(page(), &QWebEnginePage::pdfPrintingFinished, page(),
                    [self = QPointer<WebEngineBrowser>(this), conn, path, done](const QString &file, bool ok) {
                        if (file != path)
                            return;
                        QObject::disconnect(*conn);
                        delete conn;
                        if (self)
                            --self->m_printsUnderWay;
                        if (done)
                            done(ok);
                    });
    page()->printToPdf(path, layout, ranges);
}

void WebEngineBrowser::printTo(QPrinter *printer, Done done)
{
    if (m_printing) {
        if (done)
            done(false);
        return;
    }
    m_printing = true;
    ++m_printsUnderWay;
    auto *conn = new QMetaObject::Connection;
    // The answer holds the printer the view paints into: it stays as long as the view.
    *conn = connect(m_view, &QWebEngineView::printFinished, m_view,
                    [self = QPointer<WebEngineBrowser>(this), conn, done](bool ok) {
                        QObject::disconnect(*conn);
                        delete conn;
                        if (self) {
                            self->m_printing = false;
                            --self->m_printsUnderWay;
                        }
                        if (done)
                            done(ok);
                    });
    m_view->print(printer);
}

void WebEngineBrowser::ping(Done answered)
{
    // A hung page answers only as it is destroyed, perhaps after this control has gone.
    page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self = QPointer<WebEngineBrowser>(this), answered](const QVariant &) {
                              if (self && !self->m_ending && answered)
                                  answered(true);
                          });
}

void WebEngineBrowser::typeText(const QString &text)
{
    Keystrokes::typeInto(m_view->focusProxy(), text);
}

void WebEngineBrowser::movedWithin()
{
    QTimer::singleShot(0, this, [this] {
        if (!m_loading)
            Q_EMIT DocumentComplete();
    });
}

void WebEngineBrowser::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    // A link for another programme (mail, chat) meant for a new window: the new window
    // would stay empty, as its page refuses the address. Offered as a click on it in the
    // page is, when the person asked for it.
    if (!request.requestedUrl().isEmpty() && !OutsideLinks::engineShows(request.requestedUrl())) {
        if (request.isUserInitiated())
            OutsideLinks::offer(this, request.requestedUrl());
        return;
    }
    const NewWindowAnswer answer = askForNewWindow();
    if (answer.kind == NewWindowAnswer::Refuse)
        return;
    if (answer.kind == NewWindowAnswer::Host) {
        // A host that is not an engine view cannot take a live page.
        if (auto *host = qobject_cast<WebEngineBrowser *>(answer.host))
            host->adoptNewWindow(request);
        return;
    }
    // Nobody in the frame hosts it: the component opens it as a top-level window of
    // its own, outside the frame, that lives until the user closes it.
    auto *outside = new WebEngineBrowser(nullptr);
    outside->setAttribute(Qt::WA_DeleteOnClose);
    outside->setObjectName(QStringLiteral("outsideWindow"));
    outside->setWindowTitle(QStringLiteral("Quillon - New Window"));
    outside->resize(request.requestedGeometry().size().expandedTo(QSize(800, 600)));
    connect(outside, &BrowserControl::DocumentComplete, outside,
            [outside] { outside->setWindowTitle(outside->LocationName()); });
    connect(outside, &BrowserControl::CloseRequested, outside, &QWidget::close);
    if (answer.adopt)
        answer.adopt(outside);
    WindowPlacement::placeOver(outside, window());
    outside->show();
    outside->adoptNewWindow(request);
}

void WebEngineBrowser::adoptNewWindow(QWebEngineNewWindowRequest &request)
{
    request.openIn(page());
    // The page now runs on what the engine made for the new window, which knows nothing of
    // the watch set on the page before: without it the page would read local files and
    // send them out, and reloading would send a form again unasked.
    page()->setUrlRequestInterceptor(m_unseenWatch);
}

void WebEngineBrowser::onFocusChanged(QWidget *old, QWidget *now)
{
    if (!now || !m_view->isAncestorOf(now))
        return;
    if (old && m_view->isAncestorOf(old))
        return;
    Q_EMIT GotFocus();
}

void WebEngineBrowser::setScriptWindowsAllowed(bool allowed)
{
    page()->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, allowed);
}
