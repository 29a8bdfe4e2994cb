#include "core/settingsstore.h"
#include "core/paths.h"
#include "popups/banlist.h"
#include "core/shortcutfile.h"
#include "smalldisk.h"
#include "testenv.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <cstdio>

// A save killed at any moment leaves the old file or the new one, never a mix or
// a truncated one: every writer replaces its file through a temporary one.
namespace {

constexpr int Rounds = 200;
constexpr int Keys = 40;
const QString Section = QStringLiteral("Durability");

// Version v of the ban list: every entry names v, so a mix of two versions shows.
QStringList banVersion(int v)
{
    QStringList entries;
    for (int j = 0; j < 60; ++j)
        entries << QStringLiteral("http://v%1.test/entry%2/%3").arg(v).arg(j).arg(QString(40, QLatin1Char('x')));
    return entries;
}

QString storeValue(int save) { return QStringLiteral("save-%1-").arg(save) + QString(150, QLatin1Char('y')); }

// The child: saves one version after another until it is killed.
int saveForever(const QByteArray &what, int round)
{
    // A first, whole save takes over whatever the killed writer before left behind
    // (the parent times it); the kills then aim at the saves that follow.
    if (what == "banlist")
        ReadBanList();
    else if (!SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Warm"), QStringLiteral("up"), QStringLiteral("1")))
        return 2;
    std::fputs("go\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        const int v = round * 100000 + i;
        if (what == "banlist")
            WriteBanList(banVersion(v));
        else
            SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("k%1").arg(v % Keys), storeValue(v));
    }
}

// The version a ban list file holds: -1 when it is not exactly one whole version.
int banListVersion()
{
    bool ok = false;
    const QStringList entries = ReadBanList(&ok);
    if (!ok || entries.isEmpty())
        return -1;
    const QString first = entries.first();
    const int v = first.mid(8, first.indexOf(QLatin1Char('.')) - 8).toInt();
    return entries == banVersion(v) ? v : -1;
}

// Whether the store file parses and every key holds a whole value of one save.
bool storeIsWhole(QString *why)
{
    QSettings s(Paths::settingsFile(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        *why = QStringLiteral("does not parse");
        return false;
    }
    for (int j = 0; j < Keys; ++j) {
        const QString value = s.value(Section + QStringLiteral("/k%1").arg(j)).toString();
        const int save = value.section(QLatin1Char('-'), 1, 1).toInt();
        if (value != storeValue(save) || save % Keys != j) {
            *why = QStringLiteral("key k%1 holds \"%2\"").arg(j).arg(value.left(60));
            return false;
        }
    }
    return true;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

}

class TestDurability : public QObject
{
    Q_OBJECT

    // Starts a child saving, kills it a random moment after it began, and waits for it.
    void killMidSave(const QByteArray &what, int round)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILLON_SAVE_CHILD"), QString::fromLatin1(what));
        env.insert(QStringLiteral("QUILLON_SAVE_ROUND"), QString::number(round));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted(30000));
        QElapsedTimer ready;
        ready.start();
        while (!child.readAllStandardOutput().contains("go"))
            QVERIFY2(child.waitForReadyRead(30000), "the child never got to its saves");
        // Start-up and one save, even right after a writer was killed holding the lock.
        QVERIFY2(ready.elapsed() < 10000, qPrintable(QStringLiteral("round %1: %2 ms before the first save was done")
                                                        .arg(round).arg(ready.elapsed())));
        // Up to about twenty saves' time: sometimes before the first, mostly in the middle of one.
        QTimer delay;
        delay.setSingleShot(true);
        QSignalSpy fired(&delay, &QTimer::timeout);
        delay.start(int(QRandomGenerator::global()->bounded(25)));
        QVERIFY(fired.wait(30000));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void banListKilledMidSave()
    {
        TempHome home;
        QVERIFY(WriteBanList(banVersion(0)));
        int changed = 0, last = 0;
        for (int round = 1; round <= Rounds; ++round) {
            killMidSave("banlist", round);
            if (QTest::currentTestFailed())
                return;
            const int v = banListVersion();
            QVERIFY2(v >= 0, qPrintable(QStringLiteral("round %1: the ban list is not one whole version").arg(round)));
            changed += v != last ? 1 : 0;
            last = v;
        }
        qInfo("%d of %d rounds had saved something before the kill", changed, Rounds);
        QVERIFY(changed > Rounds / 2);
    }

    // A writer killed right after making the lock file leaves it empty: the next save
    // does not wait half a minute for it.
    void emptyLockLeftByAKilledWriter()
    {
        TempHome home;
        QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("a"), QStringLiteral("1")));
        QFile lock(Paths::settingsFile() + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-5), QFileDevice::FileModificationTime));
        lock.close();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("a"), QStringLiteral("2")));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, Section, QStringLiteral("a"), QString()), QStringLiteral("2"));
    }

    void settingsStoreKilledMidSave()
    {
        TempHome home;
        for (int j = 0; j < Keys; ++j)
            QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("k%1").arg(j), storeValue(j)));
        int changed = 0;
        QByteArray last;
        for (int round = 1; round <= Rounds; ++round) {
            killMidSave("store", round);
            if (QTest::currentTestFailed())
                return;
            QString why;
            QVERIFY2(storeIsWhole(&why), qPrintable(QStringLiteral("round %1: the store %2").arg(round).arg(why)));
            QFile f(Paths::settingsFile());
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray now = f.readAll();
            changed += now != last ? 1 : 0;
            last = now;
        }
        qInfo("%d of %d rounds had saved something before the kill", changed, Rounds);
        QVERIFY(changed > Rounds / 2);
        // Personal details stay private to the owner through it all.
        QCOMPARE(QFile::permissions(Paths::settingsFile()) & 0x0FFF,
                 QFile::Permissions(QFile::ReadUser | QFile::WriteUser));
        // And the store still takes an ordinary save afterwards.
        QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("after"), QStringLiteral("1")));
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, Section, QStringLiteral("after"), QString()),
                 QStringLiteral("1"));
    }
    // A save that finds the disk full says so and leaves the file it would have replaced
    // as it was, for the store, the ban list and a favourite alike.
    void aFullDiskLeavesEveryFileAsItWas()
    {
        TempHome home;
        const SmallDisk disk(home.path() + QStringLiteral("/disk"));
        if (!disk.mounted())
            QSKIP("mounting a small file system to fill needs root");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/disk/config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/disk/data")));
        for (int j = 0; j < Keys; ++j)
            QVERIFY(SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("k%1").arg(j), storeValue(j)));
        QVERIFY(WriteBanList(banVersion(1) + banVersion(2)));
        const QString favorite = home.path() + QStringLiteral("/disk/data/Index page.url");
        QVERIFY(ShortcutFile::writeUrl(favorite, QStringLiteral("http://one.test/")));
        const QByteArray store = bytesOf(Paths::settingsFile()), bans = bytesOf(Paths::banListFile()),
                         shortcut = bytesOf(favorite);
        QVERIFY(store.size() > 4096 && bans.size() > 4096);

        // One page of the disk left: room for the store's lock, not for its text or the list's.
        QFile spare(home.path() + QStringLiteral("/disk/spare"));
        QVERIFY(spare.open(QIODevice::WriteOnly) && spare.write(QByteArray(4096, 's')) == 4096);
        spare.close();
        disk.fill(QStringLiteral("filler"));
        QVERIFY(spare.remove());
        QString error;
        QVERIFY(!SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QStringLiteral("k1"), storeValue(99), &error));
        QVERIFY2(error.contains(QStringLiteral("No space left")), qPrintable(error));
        QCOMPARE(bytesOf(Paths::settingsFile()), store);
        error.clear();
        QVERIFY(!WriteBanList(banVersion(3) + banVersion(4), &error));
        QVERIFY2(error.contains(QStringLiteral("No space left")), qPrintable(error));
        QCOMPARE(bytesOf(Paths::banListFile()), bans);
        // Nothing left at all: even a favourite of a few bytes does not fit.
        disk.fill(QStringLiteral("filler2"));
        QVERIFY(!ShortcutFile::writeUrl(favorite, QStringLiteral("http://two.test/")));
        QCOMPARE(bytesOf(favorite), shortcut);
        QCOMPARE(QDir(home.path() + QStringLiteral("/disk/config/Quillon")).entryList(QDir::Files),
                 QStringList{QStringLiteral("PellQLN21.ini")});
    }
};

int main(int argc, char *argv[])
{
    const QByteArray child = qgetenv("QUILLON_SAVE_CHILD");
    if (!child.isEmpty()) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
        return saveForever(child, qEnvironmentVariableIntValue("QUILLON_SAVE_ROUND"));
    }
    TestEnv::prepareEngine();
    TestEnv::isolateHome();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    TestDurability tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_durability.moc"
