#pragma once
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineDownloadRequest;
class QWidget;

// Files the engine cannot show (archives, attachments, "Save link") are saved into the
// user's download folder under a name that never replaces a file, written under a
// temporary name until complete. Keeps the downloads of this run for the Downloads window.
// A page may save a file without the user asking (a "your download starts shortly"
// page), but only UnaskedPerPage in any UnaskedWindowMs: the rest it starts by itself are
// refused, so that a page cannot fill the disk unseen. What the user asked for goes
// ahead: an address the programme loads that turns out to be a file, and the next
// download of a page the user pressed in (a link, "Save link"), however long its site
// takes to answer. A download the engine names no page for is never taken as the user's.
class Downloads : public QObject
{
    Q_OBJECT
public:
    enum class State { Running, Saved, Failed, Cancelled };
    struct Item {
        QString name;   // the file's final name
        QString folder;
        qint64 received = 0;
        qint64 total = -1;
        State state = State::Running;
        QString error;
        std::function<void()> cancel;
        QString path() const { return folder + QLatin1Char('/') + name; }
        QString partPath() const; // where it is written until complete
    };

    static constexpr int UnaskedPerPage = 1;
    static constexpr qint64 UnaskedWindowMs = 30000;

    static Downloads *instance();
    // The engine's profile whose downloads this handles.
    void watch(QWebEngineProfile *profile);
    // The programme loads url in page for the user: when it turns out to be a file, the
    // user asked for it.
    void expectFrom(QWebEnginePage *page, const QUrl &url);
    // page asks for url as a document (its own, a frame's; a redirect's target too). The
    // engine may hand over a download of that address after page has been closed.
    void noteAsked(QWebEnginePage *page, const QUrl &url);

    const QList<Item> &items() const { return m_items; }
    void cancel(int index);
    // The Downloads window, made on first use.
    void showWindow(QWidget *parent);

    static QString folder();
    // name in folder when free, else "name (2).ext", "name (3).ext", ...; also avoids names in reserved.
    static QString uniqueName(const QString &folder, const QString &name, const QStringList &reserved = {});
    static QString safeName(const QString &suggested);

Q_SIGNALS:
    void statusText(const QString &text);
    void changed(int index);
    void added(int index);
    // An address the programme loaded in page turned out to be a file: index is its download.
    void addressIsFile(QWebEnginePage *page, int index);

private:
    Downloads();
    struct PageState {
        QUrl expected;          // the address the programme loads there, until it shows a page
        bool pressed = false;   // the user pressed in the page since its last download
        QList<qint64> unasked;  // times of downloads it started by itself, within UnaskedWindowMs
        QStringList asked;      // the documents it asked for last, the latest at the end
    };
    static constexpr int AskedPerPage = 128;
    static constexpr int AskedByClosedPages = 1024;
    PageState &stateOf(QWebEnginePage *page);
    // The page a download was started in, null if the engine names none; false when that
    // page has been closed.
    bool pageOf(QWebEngineDownloadRequest *request, QWebEnginePage **page);
    void onPressed(QWidget *target);
    // Whether a download of url that page (null: unknown) starts now may go ahead; counts it
    // when yes. asked: whether url is the address the programme loaded there.
    bool allowFrom(QWebEnginePage *page, const QUrl &url, bool *asked);
    void onRequested(QWebEngineDownloadRequest *request);
    void follow(int index, QWebEngineDownloadRequest *request);
    void finish(int index, QWebEngineDownloadRequest *request);
    void fail(int index, const QString &why);
    QStringList reservedNames() const;

    QList<Item> m_items;
    QHash<quint32, int> m_byId;
    QHash<QWebEnginePage *, PageState> m_pages;
    QStringList m_askedByClosed; // what pages since closed asked for, the latest at the end
    QElapsedTimer m_clock;
};
