#pragma once
#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>

class QPageLayout;
class QPageRanges;
class QPrinter;

// The page-rendering component every browser and popup window hosts as its `Web1`.
// Windows speak to pages only through this interface; the real one wraps
// Qt WebEngine, tests use a scripted double.
class BrowserControl : public QWidget
{
    Q_OBJECT
public:
    using HResult = quint32;
    static constexpr HResult S_OK = 0;
    static constexpr HResult E_FAIL = 0x80004005u; // "no page in that direction", and other failures

    // ExecWB command numbers and options.
    enum Command { CmdPrint = 6, CmdPageSetup = 8, CmdCut = 11, CmdCopy = 12, CmdPaste = 13, CmdSelectAll = 17 };
    enum Option { OptDoDefault = 0, OptDontPromptUser = 2 };

    explicit BrowserControl(QWidget *parent = nullptr) : QWidget(parent) {}

    virtual void Navigate(const QString &address) = 0;
    // Address text as it is loaded and remembered: a tab or line break anywhere in it
    // (an address wrapped by a mail or a document) is no part of it, nor are outer blanks.
    static QString cleanAddress(const QString &text);
    // Address text as it may be shown or remembered: a password in it is for the load
    // alone (the user name stays, naming the account).
    static QString withoutPassword(const QString &address);
    virtual void GoHome() = 0;
    virtual HResult GoBack() = 0;
    virtual HResult GoForward() = 0;
    virtual void GoSearch() = 0;
    virtual void Refresh() = 0;
    // Reloads the page without ever sending a form again: a page that answered a form
    // sent with POST is fetched again from its address as a plain request.
    virtual void refreshWithoutResend() = 0;
    virtual void Stop() = 0;
    virtual HResult ExecWB(int command, int option) = 0;
    virtual QString LocationName() const = 0;
    virtual QString LocationURL() const = 0;

    // Page tools beyond the command numbers.
    using FindDone = std::function<void(int activeMatch, int numberOfMatches)>;
    using Done = std::function<void(bool ok)>;
    virtual void findText(const QString &text, bool backward, bool caseSensitive, FindDone done) = 0;
    // Empty ranges print every page. done is called once the print is over, also when the
    // control has gone in the meantime (its page is kept until then).
    virtual void printToPdf(const QString &path, const QPageLayout &layout, const QPageRanges &ranges, Done done) = 0;
    virtual void printTo(QPrinter *printer, Done done) = 0;
    // Runs a trivial script in the page and answers once it has run: a page whose own
    // script never gives way does not answer (the caller decides how long to wait).
    virtual void ping(Done answered) { answered(true); }
    // Types text into the page's focused element as keystrokes, each character as itself.
    virtual void typeText(const QString &text) = 0;
    // Zooms the page one step in (1) or out (-1), or back to its own size (0).
    virtual void zoom(int step) { Q_UNUSED(step); }
    // Loading state for the frame's feedback: whether a load runs, its progress in percent, the page's icon.
    virtual bool isLoading() const { return false; }
    virtual int loadProgress() const { return 100; }
    virtual QIcon pageIcon() const;
    // Lets pages fetch their icons; off while the start-up sites load, where they would cost time.
    static void setPageIconsEnabled(bool enabled);
    // True while the page's renderer process is gone (crashed or killed).
    virtual bool rendererGone() const { return false; }
    // Whether a page was ever shown here. A window whose first address turned out to be
    // a file, or one the control cannot show, holds none: it is blank, whatever it is named.
    virtual bool hasPage() const { return true; }
    // Whether the page's scripts may ask for new windows at all; a control that
    // cannot refuse them itself leaves this to the new-window handler.
    virtual void setScriptWindowsAllowed(bool) {}

    // What the handler of a page's request for a new window answers.
    struct NewWindowAnswer {
        enum Kind { Refuse, Outside, Host };
        Kind kind = Outside;
        BrowserControl *host = nullptr; // with Host: the control that shows the new page
        // With Outside: given the control made for the top-level window before its page
        // loads, so that the window's own new windows obey the same rules.
        std::function<void(BrowserControl *made)> adopt;
        static NewWindowAnswer refuse() { return {Refuse, nullptr, {}}; }
        // The component opens the page in a top-level window of its own, outside the frame.
        static NewWindowAnswer outside(std::function<void(BrowserControl *)> adopt = {})
        {
            return {Outside, nullptr, std::move(adopt)};
        }
        static NewWindowAnswer hostIn(BrowserControl *control) { return {Host, control, {}}; }
    };
    using NewWindowHandler = std::function<NewWindowAnswer(BrowserControl *opener)>;
    // Decides every new window this control's page asks for; without one, it opens outside.
    void setNewWindowHandler(NewWindowHandler handler) { m_newWindowHandler = std::move(handler); }
    NewWindowAnswer askForNewWindow()
    {
        return m_newWindowHandler ? m_newWindowHandler(this) : NewWindowAnswer::outside();
    }

    // The page layout "Page Setup" chose, used by every later print.
    static QPageLayout &sharedPageLayout();
    // Clears the stored pages, the cookies and the visited links of every window now, and
    // asks for what sites keep for themselves (their storage and databases) to go at the
    // next start. False, with why, when that request could not be recorded.
    static bool clearCacheAndCookies(QString *error = nullptr);

    // Makes the control every window gets; tests install a double here. The default,
    // the engine's control, is made where the engine is wrapped.
    using Factory = std::function<BrowserControl *(QWidget *parent)>;
    static BrowserControl *create(QWidget *parent);
    static void setFactory(Factory factory);
    static const Factory &factory();

Q_SIGNALS:
    void StatusTextChange(const QString &text);
    void DownloadBegin();
    void DocumentComplete();
    void GotFocus();
    // The page asked to close its window (window.close()).
    void CloseRequested();
    void LoadProgress(int percent);
    void IconChanged();

private:
    NewWindowHandler m_newWindowHandler;
};
