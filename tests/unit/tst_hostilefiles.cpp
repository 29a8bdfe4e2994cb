#include "core/settingsstore.h"
#include "core/shortcutfile.h"
#include "platform/internetsettings.h"
#include "core/paths.h"
#include "popups/banlist.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Every file another programme or the user can write, filled with hostile content:
// each reader gives a bounded answer in bounded time, and a writer that cannot make
// sense of the file leaves it as it is.
namespace {

constexpr qint64 Huge = 100 * 1024 * 1024;
constexpr int TimeLimitMs = 5000;

enum class Shape { Bytes, HugeIni, HugeZeros, Folder, DanglingLink, Pipe };

// Puts the shape at path (the folder above is made).
bool make(const QString &path, Shape shape, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    switch (shape) {
    case Shape::Bytes: {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    case Shape::HugeIni: {
        // A file that parses, line after line, for 100 MB: the costly case for an INI reader.
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        QByteArray block;
        for (int i = 0; block.size() < 1024 * 1024; ++i)
            block += "[S" + QByteArray::number(i) + "]\nurl" + QByteArray::number(i) + "=\"http://x.test/" + QByteArray::number(i) + "\n";
        while (f.size() < Huge)
            if (f.write(block) != block.size())
                return false;
        return true;
    }
    case Shape::HugeZeros: {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.resize(Huge);
    }
    case Shape::Folder:
        return QDir().mkpath(path);
    case Shape::DanglingLink:
        return QFile::link(path + QStringLiteral(".gone"), path);
    case Shape::Pipe:
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    }
    return false;
}

void shapes()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QByteArray>("bytes");
    auto row = [](const char *name, Shape s, const QByteArray &b = QByteArray()) {
        QTest::newRow(name) << int(s) << b;
    };
    row("junk bytes", Shape::Bytes, QByteArray("\x00\xff\xfe[[[=\n==\x01garbage\n[Startup\nc1=\x80\x81", 34));
    row("NUL bytes", Shape::Bytes, QByteArray(64 * 1024, '\0'));
    row("1 MB line", Shape::Bytes, "[InternetShortcut]\nURL=" + QByteArray(1 << 20, 'a') + "\n[TypedURLs]\nurl1=" + QByteArray(1 << 20, 'b'));
    row("unbalanced quotes", Shape::Bytes, QByteArray("[InternetShortcut]\nURL=\"http://q.test/\n[TypedURLs]\nurl1=\"http://a,b\n"
                                                      "\"http://c.test/,\"\"\",x\n[Startup]\nc1=\"1\n"));
    row("invalid UTF-8", Shape::Bytes, QByteArray("[InternetShortcut]\nURL=http://\xc3\x28\xa0\xa1.test/\n[TypedURLs]\n"
                                                  "url1=http://\xed\xa0\x80\xf8\x88.test/\n[Startup]\nc1=\xff\n"));
    row("100 MB of INI", Shape::HugeIni);
    row("100 MB of zeros", Shape::HugeZeros);
    row("a folder", Shape::Folder);
    row("a dangling link", Shape::DanglingLink);
    row("a pipe nobody writes", Shape::Pipe);
}

QByteArray headOf(const QString &path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(4096);
}

}

class TestHostileFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void settingsStore_data() { shapes(); }
    void settingsStore()
    {
        QFETCH(int, shape);
        QFETCH(QByteArray, bytes);
        TempHome home;
        const QString path = Paths::settingsFile();
        QVERIFY(make(path, Shape(shape), bytes));
        const qint64 size = QFileInfo(path).size();
        const QByteArray head = headOf(path);
        QElapsedTimer clock;
        clock.start();
        const QString c1 = SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1);
        QVERIFY(c1.size() < 2 * 1024 * 1024);
        QString why;
        const bool saved = SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"),
                                                      QStringLiteral("c2"), QStringLiteral("0"), &why);
        QVERIFY2(clock.elapsed() < TimeLimitMs, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        if (!saved)
            QVERIFY(!why.isEmpty());
        if (size > SettingsStore::MaxFileBytes) {
            // Too large to be the store: defaults, and the user's file is left alone.
            QCOMPARE(c1, QStringLiteral("1"));
            QVERIFY(!saved);
            QCOMPARE(QFileInfo(path).size(), size);
            QCOMPARE(headOf(path), head);
        }
        if (saved) {
            QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), 1),
                     QStringLiteral("0"));
            QCOMPARE(QFile::permissions(path) & 0x0FFF, QFile::Permissions(QFile::ReadUser | QFile::WriteUser));
        }
    }

    void internetSettings_data() { shapes(); }
    void internetSettings()
    {
        QFETCH(int, shape);
        QFETCH(QByteArray, bytes);
        TempHome home;
        const QString path = Paths::internetSettingsFile();
        QVERIFY(make(path, Shape(shape), bytes));
        const qint64 size = QFileInfo(path).size();
        QElapsedTimer clock;
        clock.start();
        const QStringList typed = InternetSettings::typedUrls();
        QVERIFY(typed.size() <= 10000);
        QVERIFY(!InternetSettings::homePage().isNull());
        QVERIFY(InternetSettings::userAgentTokens().size() <= 20);
        const bool recorded = InternetSettings::recordTypedUrl(QStringLiteral("http://typed.test/"));
        QVERIFY2(clock.elapsed() < TimeLimitMs, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        if (size > 4 * 1024 * 1024) {
            QVERIFY(typed.isEmpty());
            QVERIFY(!recorded);
            QCOMPARE(QFileInfo(path).size(), size);
        }
        if (recorded)
            QCOMPARE(InternetSettings::typedUrls().value(0), QStringLiteral("http://typed.test/"));
    }

    void shortcutFile_data() { shapes(); }
    void shortcutFile()
    {
        QFETCH(int, shape);
        QFETCH(QByteArray, bytes);
        TempHome home;
        const QString path = Paths::favoritesDir() + QStringLiteral("/Hostile.url");
        QVERIFY(make(path, Shape(shape), bytes));
        QElapsedTimer clock;
        clock.start();
        const QString url = ShortcutFile::readUrl(path);
        QVERIFY2(clock.elapsed() < TimeLimitMs, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QVERIFY(url.size() <= ShortcutFile::MaxUrlChars);
        QVERIFY(!url.contains(QLatin1Char('\n')));
    }

    void banList_data() { shapes(); }
    void banList()
    {
        QFETCH(int, shape);
        QFETCH(QByteArray, bytes);
        TempHome home;
        QVERIFY(make(Paths::banListFile(), Shape(shape), bytes));
        QElapsedTimer clock;
        clock.start();
        bool ok = false;
        const QStringList entries = ReadBanList(&ok);
        CheckBanList(QStringLiteral("http://x.test/1"));
        QVERIFY2(clock.elapsed() < TimeLimitMs, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QVERIFY(entries.size() <= MaxBanListEntries);
        qint64 chars = 0;
        for (const QString &e : entries)
            chars += e.size();
        QVERIFY(chars <= MaxBanListBytes);
        if (Shape(shape) == Shape::Folder || Shape(shape) == Shape::Pipe)
            QVERIFY(!ok && entries.isEmpty());
    }

    // A line without '=' in a section the save does not touch: a save would write
    // every section back without that line, so it is refused and the file kept.
    void damagedLineElsewhereIsNotDroppedBySaving()
    {
        TempHome home;
        const QByteArray store = "[personal]\npdone=Zo\n127.0.0.1/\n[Startup]\nc1=0\n";
        QVERIFY(make(Paths::settingsFile(), Shape::Bytes, store));
        QString why;
        QVERIFY(!SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"),
                                            QStringLiteral("0"), &why));
        QVERIFY(why.contains(QLatin1String("damaged")));
        QCOMPARE(headOf(Paths::settingsFile()), store);
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1),
                 QStringLiteral("0"));

        const QByteArray internet = "[Main]\nStart%20Page=http://home.test/\nShow%20Tips%20at%2\n[TypedURLs]\nurl1=http://one.test/\n";
        QVERIFY(make(Paths::internetSettingsFile(), Shape::Bytes, internet));
        QVERIFY(!InternetSettings::recordTypedUrl(QStringLiteral("http://two.test/")));
        QCOMPARE(headOf(Paths::internetSettingsFile()), internet);
    }

    // Running as root reads any file whatever its mode, so an unreadable file cannot
    // be made here; as another user the store falls back to its defaults.
    void unreadableStore()
    {
        if (geteuid() == 0)
            QSKIP("root reads files whatever their mode");
        TempHome home;
        QVERIFY(make(Paths::settingsFile(), Shape::Bytes, "[Startup]\nc1=0\n"));
        QVERIFY(QFile::setPermissions(Paths::settingsFile(), QFileDevice::Permissions()));
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1),
                 QStringLiteral("1"));
        QVERIFY(!SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("1")));
    }
};

QUILLON_TEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
