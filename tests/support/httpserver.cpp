#include "httpserver.h"

#include <QBuffer>
#include <QImage>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LoopbackServer::LoopbackServer(const QString &host, quint16 port, QObject *parent)
    : QObject(parent), m_host(host)
{
    const QHostAddress address(host);
    Q_ASSERT(address.isLoopback());
    if (address.isLoopback())
        m_server.listen(address, port);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::onConnection);
}

QByteArray LoopbackServer::picture(const QColor &colour, const char *format)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(m_host).arg(port()).arg(path);
}

void LoopbackServer::setPage(const QByteArray &path, const QByteArray &html, const QByteArray &type)
{
    setHandler(path, [html, type](const Request &) {
        Response r;
        r.body = html;
        r.contentType = type;
        return r;
    });
}

void LoopbackServer::setHandler(const QByteArray &path, Handler handler)
{
    m_handlers.insert(path, std::move(handler));
}

int LoopbackServer::count(const QByteArray &path) const
{
    int n = 0;
    for (const Request &r : m_requests)
        n += r.path == path ? 1 : 0;
    return n;
}

void LoopbackServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *buffer = new QByteArray;
        connect(socket, &QTcpSocket::disconnected, socket, [socket, buffer] {
            delete buffer;
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const int end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            buffer->clear();
            Request request;
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0);
            request.path = first.value(1);
            for (int i = 1; i < lines.size(); ++i) {
                const int colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
            }
            m_requests.append(request);
            Q_EMIT requestSeen(request.path);
            QPointer<QTcpSocket> guard(socket);
            if (m_delayMs > 0)
                QTimer::singleShot(m_delayMs, this, [this, guard, request] {
                    if (guard)
                        serve(guard, request);
                });
            else
                serve(socket, request);
        });
    }
}

void LoopbackServer::serve(QTcpSocket *socket, const Request &request)
{
    Response response;
    QByteArray path = request.path;
    auto it = m_handlers.constFind(path);
    if (it == m_handlers.constEnd())
        it = m_handlers.constFind(path.left(path.indexOf('?') < 0 ? path.size() : path.indexOf('?')));
    if (it != m_handlers.constEnd()) {
        response = (*it)(request);
    } else {
        response.status = 404;
        response.body = "<html><head><title>Not found</title></head><body>Not found</body></html>";
    }
    if (response.delayMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        const int delay = response.delayMs;
        response.delayMs = 0;
        QTimer::singleShot(delay, this, [this, guard, response] {
            if (guard)
                send(guard, response);
        });
        return;
    }
    send(socket, response);
}

void LoopbackServer::send(QTcpSocket *socket, const Response &response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status)
        + (response.status == 200 ? " OK" : " Error") + "\r\nContent-Type: " + response.contentType
        + "\r\nContent-Length: " + QByteArray::number(response.body.size());
    for (const auto &[name, value] : response.headers)
        head += "\r\n" + name + ": " + value;
    head += "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (response.cutAfter >= 0) {
        // A transfer cut off half-way: part of the promised body, then the connection goes.
        socket->write(head + response.body.left(response.cutAfter));
        socket->flush();
        socket->abort();
        return;
    }
    socket->write(head + response.body);
    socket->disconnectFromHost();
}
