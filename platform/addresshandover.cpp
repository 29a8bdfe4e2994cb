#include "platform/addresshandover.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {
// A client that connects and says nothing is dropped after this long.
constexpr int IdleLimitMs = 10000;
}

AddressHandover::AddressHandover(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
}

AddressHandover::~AddressHandover() = default;

bool AddressHandover::listen(const QString &path)
{
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void AddressHandover::serve(QLocalSocket *socket)
{
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(IdleLimitMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        if (buffer->size() > MaxMessageBytes) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        // The message ends with an empty line; it is the whole of an empty message.
        qsizetype end = buffer->startsWith('\n') ? 0 : buffer->indexOf("\n\n");
        if (end < 0)
            return;
        QStringList addresses;
        for (const QByteArray &line : buffer->left(end).split('\n')) {
            const QUrl url(QString::fromUtf8(line), QUrl::StrictMode);
            if (url.isValid() && !url.isRelative())
                addresses.append(QString::fromUtf8(url.toEncoded()));
        }
        buffer->clear();
        socket->write("OK\n");
        socket->flush();
        socket->disconnectFromServer();
        if (!addresses.isEmpty())
            emit received(addresses);
    });
}

bool AddressHandover::send(const QString &path, const QStringList &addresses, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // A copy that has just taken the lock serves a moment later: until then the socket is
    // missing, or one left by a killed copy refuses. Tried again for a while, this start
    // hands its addresses over rather than asking whether to run a second copy.
    const QDeadlineTimer serving(qMin(timeoutMs, ServeWaitMs));
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (serving.hasExpired())
            return false;
        QThread::msleep(50);
    }
    QByteArray message;
    for (const QString &address : addresses)
        if (!address.contains(QLatin1Char('\n')) && !address.contains(QLatin1Char('\r')) && !address.isEmpty())
            message += address.toUtf8() + '\n';
    message += '\n';
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    while (!socket.canReadLine())
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    return socket.readLine() == "OK\n";
}
