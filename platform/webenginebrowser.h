#pragma once
#include "core/browsercontrol.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QUrl>

#include <functional>

class UnseenLoadWatch;
class QWebEngineView;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineNewWindowRequest;
class QMessageBox;
class CrashCover;
class SightWatch;
class PageFullScreen;

// The browser control over Qt WebEngine.
class WebEngineBrowser : public BrowserControl
{
    Q_OBJECT
public:
    explicit WebEngineBrowser(QWidget *parent = nullptr);
    ~WebEngineBrowser() override;

    void Navigate(const QString &address) override;
    void GoHome() override;
    HResult GoBack() override;
    HResult GoForward() override;
    void GoSearch() override;
    // A page that answered a form sent with POST asks before it sends the form again.
    void Refresh() override;
    void refreshWithoutResend() override;
    void Stop() override;
    HResult ExecWB(int command, int option) override;
    QString LocationName() const override;
    QString LocationURL() const override;

    void findText(const QString &text, bool backward, bool caseSensitive, FindDone done) override;
    void printToPdf(const QString &path, const QPageLayout &layout, const QPageRanges &ranges, Done done) override;
    void printTo(QPrinter *printer, Done done) override;
    void ping(Done answered) override;
    void typeText(const QString &text) override;
    void zoom(int step) override;
    bool isLoading() const override { return m_loading; }
    int loadProgress() const override { return m_progress; }
    QIcon pageIcon() const override;
    bool rendererGone() const override { return m_rendererGone; }
    bool hasPage() const override { return m_pageShown; }
    void setScriptWindowsAllowed(bool allowed) override;

    // Gets the icon of every finished page that has none, fetched outside the engine:
    // pages that completed while the engine loaded no icons.
    static void fillMissingIcons();

    QWebEngineView *view() const { return m_view; }
    QWebEnginePage *page() const;
    // The renderer's process id (0 when none), for tests that end a renderer by id.
    qint64 rendererProcessId() const;
    // The text drawn over the page (a refused certificate, a stopped renderer), or empty.
    QString coverText() const;

    // The one profile all windows share, made on first use.
    static QWebEngineProfile *profile();
    // How long a page loading behind a hidden frame is shown to the engine at most.
    static void setUnseenLoadLimit(int ms);
    // The engine clears its HTTP cache in the background and says nothing when done; a
    // load started meanwhile can hang for good. Loads asked for in the next moments wait.
    static void holdLoadsWhileCacheClears();

    // Bounds on what a page can push at the user: dialogs (alert, confirm, prompt) one page
    // shows in a row before the rest are dropped, the pause without any that ends the row,
    // and the length of page-supplied text.
    static constexpr int DialogsPerBurst = 3;
    static constexpr int DialogPauseMs = 3000;
    static constexpr int MaxDialogText = 2000;
    static constexpr int MaxStatusText = 4096;
    // Whether the page may show one more dialog now; counts it when yes.
    bool allowDialog();
    // A dialog the page showed was answered: the pause that ends a row starts from here.
    void dialogAnswered();
    // Whether a reload nobody asked for is under way, so that the page stays unasked
    // rather than being left; clears it, as it answers for one reload only.
    bool takeUnattendedReload();
    // Shows a page's alert without waiting for it to be answered.
    void showAlert(const QUrl &origin, const QString &text);
    int dialogsShown() const { return m_dialogs; }
    int dialogsDropped() const { return m_dialogsDropped; }
    // Whether the person can see the page. A box that waits for an answer is shown only
    // then: while one is up, the engine holds up the loading of every window.
    bool inSight() const;
    // The page asked confirm() or prompt() out of sight and was answered Cancel at once.
    void questionUnseen();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    // Shows the page the request made in this control's page, under this control's request watch.
    void adoptNewWindow(QWebEngineNewWindowRequest &request);
    // Gives the page's new address (and title) as a completed page's, from the event loop.
    void movedWithin();
    // How long after moving within itself a page's new title is still taken as part of the move.
    static constexpr qint64 MovedTitleMs = 1000;
    void onFocusChanged(QWidget *old, QWidget *now);
    void showCrashCover(const QString &why);
    // Every control of this kind alive, to name those that shared a renderer.
    static QList<WebEngineBrowser *> &instances();
    // Says in the window that the engine cannot open the address, and completes as a page does.
    void showUnshowable(const QString &address);
    // Draws the text over the page, with the Reload button or without it.
    void showCover(const QString &text, bool offerReload);
    // Says in a window that never showed a page that its address is a file, and where it went.
    void showFileNote();
    void fetchMissingIcon();
    // With resendForm false, a page that answered a form is fetched again without it.
    void reload(bool resendForm);
    // The person goes somewhere: the page's dialog count starts again, and no timed reload is under way.
    void userNavigates();

    QWebEngineView *m_view = nullptr;
    PageFullScreen *m_fullScreen = nullptr;
    CrashCover *m_cover = nullptr;
    bool m_rendererGone = false;
    bool m_ending = false; // being destroyed: what the page answers late finds nothing to do
    void beginUnseenLoad();
    void endUnseenLoad();
    void sizeUnseenView(); // gives a page shown to the engine behind the tray its window's size
    // Runs `load` now, or once a cache clear has had its time.
    void whenCacheSettled(std::function<void()> load);
    UnseenLoadWatch *m_unseenWatch = nullptr;
    bool m_loadingUnseen = false; // loading behind a hidden frame, shown to the engine if busy
    int m_unseenLoads = 0;
    static int s_unseenLoadLimitMs;
    int m_loadTickets = 0; // counts loads asked for and stops: a held load runs only if still the latest
    qint64 m_rendererPid = 0; // the last renderer that drew the page, kept after it dies
    bool m_loading = false;
    bool m_completed = false; // a page has finished loading here at least once
    bool m_pageShown = false; // a page (or the engine's error page) has been shown here
    int m_fileDownload = -1; // the download the address now asked for turned into, if any
    bool m_pressedSinceLoad = false; // the person has pressed a key or button in this page
    QElapsedTimer m_movedWithin; // since the page last moved within itself
    bool m_requestPosted = false; // the last request for the page now loading sent a form (POST)
    bool m_pageFromForm = false; // the page shown answered a form sent with POST: a reload sends it again
    int m_progress = 100;
    bool m_printing = false;
    int m_printsUnderWay = 0; // to a printer or a PDF file
    bool m_unattendedReload = false; // a timed reload is under way: the page is never asked about leaving
    int m_dialogs = 0;
    int m_dialogsDropped = 0;
    QElapsedTimer m_sinceDialog; // since the page's last dialog was asked for or answered
    QPointer<QMessageBox> m_alertBox; // the page's alert now up, if any
    // Once the window comes into sight: says what was answered for the page meanwhile, and
    // loads a page whose login was cancelled out of sight again, so that the box comes now.
    void cameIntoSight();
    SightWatch *m_sight = nullptr;
    bool m_questionUnseen = false;
    bool m_loginUnseen = false;
    QString m_dialogOrigin; // scheme://host:port whose page the dialog count is for
    QIcon m_fetchedIcon; // the current page's icon fetched outside the engine, until its next load
    // The last certificate refused while the page loads (the page's own, a picture's, a
    // frame's) and the engine's reason: the window is covered only if the page itself failed.
    QUrl m_certificateUrl;
    QString m_certificateProblem;
    QString m_unshowable; // an address the engine started no load for, while its note is shown
    QString m_asked; // the address last asked for: what a window that never showed a page names
};
