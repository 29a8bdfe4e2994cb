#include "platform/addresshandover.h"
#include "platform/singleinstance.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {
// A runtime folder of this test's own, private as the desktop makes it.
struct Runtime {
    Runtime()
    {
        saved = qgetenv("XDG_RUNTIME_DIR");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    }
    ~Runtime() { qputenv("XDG_RUNTIME_DIR", saved); }
    QString lock() const { return dir.filePath(QStringLiteral("quillon.lock")); }
    QTemporaryDir dir;
    QByteArray saved;
};

bool writeFile(const QString &path, const QByteArray &bytes, int ageSeconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
}

// Runs the blocking client on a thread of its own, as a second process would, while this thread serves.
struct Sender {
    Sender(const QString &path, const QStringList &addresses)
        : thread(QThread::create([this, path, addresses] { ok = AddressHandover::send(path, addresses, 10000); }))
    {
        thread->start();
    }
    ~Sender() { thread->wait(); }
    bool finished() const { return thread->isFinished(); }
    std::atomic<bool> ok{false};
    std::unique_ptr<QThread> thread;
};
}

class TestSingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    // Whatever sits where the lock belongs, only a living copy's lock means "already running".
    void whatSitsAtTheLock_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("owner");
        QTest::addColumn<bool>("anotherRunning");
        QTest::newRow("nothing") << "none" << true << false;
        QTest::newRow("a running copy's lock") << "held" << false << true;
        QTest::newRow("a killed copy's lock") << "dead" << true << false;
        QTest::newRow("garbage") << "garbage" << true << false;
        QTest::newRow("an empty file") << "empty" << true << false;
        QTest::newRow("an empty folder") << "folder" << true << false;
        QTest::newRow("a folder with files in it") << "full folder" << false << false;
        QTest::newRow("a lock being written this instant") << "fresh" << false << true;
    }
    void whatSitsAtTheLock()
    {
        QFETCH(QString, kind);
        QFETCH(bool, owner);
        QFETCH(bool, anotherRunning);
        Runtime runtime;
        std::unique_ptr<SingleInstance> first;
        if (kind == QLatin1String("held"))
            first = std::make_unique<SingleInstance>();
        else if (kind == QLatin1String("dead"))
            QVERIFY(writeFile(runtime.lock(), "2147483000\nquillon\n" + QSysInfo::machineHostName().toUtf8() + '\n', 60));
        else if (kind == QLatin1String("garbage"))
            QVERIFY(writeFile(runtime.lock(), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), 60));
        else if (kind == QLatin1String("empty"))
            QVERIFY(writeFile(runtime.lock(), QByteArray(), 60));
        else if (kind == QLatin1String("fresh"))
            QVERIFY(writeFile(runtime.lock(), QByteArray(), 0));
        else if (kind.endsWith(QLatin1String("folder")))
            QVERIFY(QDir().mkpath(runtime.lock()));
        if (kind == QLatin1String("full folder"))
            QVERIFY(writeFile(runtime.lock() + QStringLiteral("/keep.txt"), "mine", 0));

        SingleInstance instance;
        QCOMPARE(instance.owner(), owner);
        QCOMPARE(instance.anotherRunning(), anotherRunning);
        if (owner)
            QVERIFY(QFileInfo(runtime.lock()).isFile());
        if (kind == QLatin1String("full folder"))
            QVERIFY(QFile::exists(runtime.lock() + QStringLiteral("/keep.txt")));
        if (first)
            QVERIFY(first->owner());
    }

    // A second start's addresses reach the running copy intact, in order; a socket left by
    // a killed copy does not stop the next one serving, and what is not an address is dropped.
    void addressesReachTheRunningCopy()
    {
        Runtime runtime;
        SingleInstance instance;
        QVERIFY(instance.owner());
        QCOMPARE(QFileInfo(instance.socketPath()).absolutePath(), runtime.dir.path());
        QVERIFY(writeFile(instance.socketPath(), "left by a killed copy", 60));
        AddressHandover server;
        QVERIFY(server.listen(instance.socketPath()));
        QSignalSpy received(&server, &AddressHandover::received);

        const QStringList sent = {QStringLiteral("http://127.0.0.1:8000/b?x=1&y=%C3%BC#top"),
                                  QStringLiteral("file:///tmp/page%20one.html"), QStringLiteral("relative/only"),
                                  QStringLiteral("https://xn--r8jz45g.jp/")};
        Sender sender(instance.socketPath(), sent);
        QVERIFY(received.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(sender.finished(), 10000);
        QVERIFY(sender.ok);
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(),
                 QStringList({sent[0], sent[1], sent[3]}));
    }

    // Started in the moment between the running copy taking the lock and serving.
    void aHandoverWaitsForTheCopyThatHasJustStarted()
    {
        Runtime runtime;
        SingleInstance instance;
        QVERIFY(writeFile(instance.socketPath(), "left by a killed copy", 60));
        AddressHandover server;
        QSignalSpy received(&server, &AddressHandover::received);
        Sender sender(instance.socketPath(), {QStringLiteral("http://a.example/")});
        QTimer::singleShot(AddressHandover::ServeWaitMs / 5, &server, [&] { QVERIFY(server.listen(instance.socketPath())); });
        QVERIFY(received.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(sender.finished(), 10000);
        QVERIFY(sender.ok);
    }

    void aHandoverWithNobodyOrTooMuchFails()
    {
        Runtime runtime;
        QVERIFY(!AddressHandover::send(runtime.dir.filePath(QStringLiteral("quillon.socket")),
                                       {QStringLiteral("http://a.example/")}, 2000));

        AddressHandover server;
        const QString path = runtime.dir.filePath(QStringLiteral("quillon.socket"));
        QVERIFY(server.listen(path));
        QSignalSpy received(&server, &AddressHandover::received);
        const QString huge = QStringLiteral("http://a.example/") + QString(AddressHandover::MaxMessageBytes, QLatin1Char('a'));
        Sender sender(path, {huge});
        QTRY_VERIFY_WITH_TIMEOUT(sender.finished(), 15000);
        QVERIFY(!sender.ok);
        QCOMPARE(received.size(), 0);
        QVERIFY(QFileInfo(path).permissions() & QFile::ReadOwner);
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
                 QFile::Permissions());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
