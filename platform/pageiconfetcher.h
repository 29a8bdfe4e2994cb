#pragma once
#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches page icons outside the engine, for pages that finished while the engine
// loaded none. Bounded: http/https only, a few at once, a size cap and a timeout.
class PageIconFetcher : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 MaxBytes = 256 * 1024;
    static constexpr int MaxRunning = 4;
    static constexpr int TimeoutMs = 15000;
    static constexpr int MaxSide = 512;

    static PageIconFetcher *instance();
    // Only http and https addresses are fetched (and followed through redirects).
    static bool isWeb(const QUrl &url);
    // Calls done with the icon at url (null when there is none) unless context is gone by then.
    // Several asks for one address share one fetch.
    void fetch(const QUrl &url, QObject *context, std::function<void(const QIcon &)> done);
    // Sent with every fetch, so sites see the same browser as in the pages.
    void setUserAgent(const QByteArray &agent) { m_userAgent = agent; }
    // Fetches queued or running, for tests that wait for quiet.
    int pending() const { return int(m_waiting.size()); }

private:
    explicit PageIconFetcher(QObject *parent);
    struct Waiter {
        QPointer<QObject> context;
        std::function<void(const QIcon &)> done;
    };
    void startNext();
    void finish(QNetworkReply *reply);

    QNetworkAccessManager *m_network;
    QHash<QUrl, QList<Waiter>> m_waiting; // every address asked for and not yet answered
    QList<QUrl> m_queue;                  // those of them not yet started
    int m_running = 0;
    QByteArray m_userAgent;
};
