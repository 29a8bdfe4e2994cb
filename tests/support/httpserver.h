#pragma once
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <functional>

// A small HTTP/1.1 server on a loopback address for end-to-end tests.
// Pages are registered by path; every request is logged and signalled.
class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray path;                    // with its query
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };
    struct Response {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers; // extra header lines
        int cutAfter = -1; // when >= 0: the connection drops after this many bytes of the body
        int delayMs = 0;   // this response only: waits before answering
    };
    using Handler = std::function<Response(const Request &)>;

    // A 16 x 16 picture of one colour, encoded in the given format (as QImage names it).
    static QByteArray picture(const QColor &colour, const char *format = "PNG");

    // host must be a 127.x.y.z address; port 0 picks a free one.
    explicit LoopbackServer(const QString &host = QStringLiteral("127.0.0.1"), quint16 port = 0,
                            QObject *parent = nullptr);

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString host() const { return m_host; }
    // "http://host:port" + path
    QString url(const QString &path = QStringLiteral("/")) const;

    void setPage(const QByteArray &path, const QByteArray &html, const QByteArray &type = "text/html; charset=utf-8");
    void setHandler(const QByteArray &path, Handler handler);
    void setDelayMs(int ms) { m_delayMs = ms; }

    QList<Request> requests() const { return m_requests; }
    int count(const QByteArray &path) const;

Q_SIGNALS:
    void requestSeen(const QByteArray &path);

private:
    void onConnection();
    void serve(class QTcpSocket *socket, const Request &request);
    void send(class QTcpSocket *socket, const Response &response);

    QTcpServer m_server;
    QString m_host;
    QHash<QByteArray, Handler> m_handlers;
    QList<Request> m_requests;
    int m_delayMs = 0;
};
