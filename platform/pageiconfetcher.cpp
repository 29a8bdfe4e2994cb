#include "platform/pageiconfetcher.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>

bool PageIconFetcher::isWeb(const QUrl &url)
{
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

PageIconFetcher *PageIconFetcher::instance()
{
    static QPointer<PageIconFetcher> shared;
    if (!shared)
        shared = new PageIconFetcher(qApp);
    return shared;
}

PageIconFetcher::PageIconFetcher(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

void PageIconFetcher::fetch(const QUrl &url, QObject *context, std::function<void(const QIcon &)> done)
{
    if (!isWeb(url)) {
        done(QIcon());
        return;
    }
    auto it = m_waiting.find(url);
    if (it == m_waiting.end()) {
        it = m_waiting.insert(url, {});
        m_queue.append(url);
    }
    it->append({context, std::move(done)});
    startNext();
}

void PageIconFetcher::startNext()
{
    while (m_running < MaxRunning && !m_queue.isEmpty()) {
        QNetworkRequest request(m_queue.takeFirst());
        request.setTransferTimeout(TimeoutMs);
        if (!m_userAgent.isEmpty())
            request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
        // Each step of a redirect is checked: never off http/https.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        request.setMaximumRedirectsAllowed(5);
        QNetworkReply *reply = m_network->get(request);
        reply->setProperty("asked", request.url());
        ++m_running;
        connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl &to) {
            if (isWeb(to))
                Q_EMIT reply->redirectAllowed();
            else
                reply->abort();
        });
        // A huge "icon" is not read to its end.
        connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
            if (received > MaxBytes || total > MaxBytes)
                reply->abort();
        });
        connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
    }
}

void PageIconFetcher::finish(QNetworkReply *reply)
{
    reply->deleteLater();
    --m_running;
    QIcon icon;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200) {
        QByteArray bytes = reply->read(MaxBytes + 1);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        // A small file can still claim a huge picture: look at its size before decoding it.
        const QSize size = reader.size();
        const bool tooBig = size.isValid() && (size.width() > MaxSide || size.height() > MaxSide);
        if (bytes.size() <= MaxBytes && !tooBig) {
            const QImage image = reader.read();
            if (!image.isNull())
                icon = QIcon(QPixmap::fromImage(image));
        }
    }
    const QList<Waiter> waiters = m_waiting.take(reply->property("asked").toUrl());
    for (const Waiter &w : waiters)
        if (w.context)
            w.done(icon);
    startNext();
}
