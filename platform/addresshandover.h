#pragma once
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// Carries addresses from a second start of the programme to the copy already running,
// over a local socket beside the single-instance lock that only this user can reach.
// A message is one address per line and an empty line; the running copy answers "OK".
class AddressHandover : public QObject
{
    Q_OBJECT
public:
    explicit AddressHandover(QObject *parent = nullptr);
    ~AddressHandover() override;

    // Serves at the path. Only the holder of the lock calls this, so a socket left there is stale.
    bool listen(const QString &path);
    // Gives the addresses to the copy serving at the path; true once it has taken them.
    static bool send(const QString &path, const QStringList &addresses, int timeoutMs = 20000);

    // How long a sender waits for the copy holding the lock to start serving.
    static constexpr int ServeWaitMs = 3000;
    // The most a message may hold; a longer one is dropped unanswered.
    static constexpr qint64 MaxMessageBytes = 1 << 20;

signals:
    void received(const QStringList &addresses);

private:
    void serve(QLocalSocket *socket);

    QLocalServer *m_server;
};
