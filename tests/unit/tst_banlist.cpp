#include "core/paths.h"
#include "popups/banlist.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestBanList : public QObject
{
    Q_OBJECT

    static void writeRaw(const QByteArray &bytes)
    {
        QVERIFY(Paths::ensureDir(Paths::dataDir()));
        QFile f(Paths::banListFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    static QByteArray readRaw()
    {
        QFile f(Paths::banListFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
    }

    void missingOrEmptyFileBansNothing()
    {
        TempHome home;
        bool ok = false;
        QVERIFY(ReadBanList(&ok).isEmpty());
        QVERIFY(ok);
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NoList);
        QVERIFY(!QFile::exists(Paths::banListFile())); // reading never makes the file

        writeRaw(QByteArray());
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NoList);
        writeRaw("\r\n\r\n , ,\"\"\r\n");
        QVERIFY(ReadBanList().isEmpty());
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NoList);
    }

    void matchIgnoresCase()
    {
        TempHome home;
        writeRaw("http://other.test/\r\nHTTP://Ads.Test/Pop\r\n");
        QCOMPARE(CheckBanList(QStringLiteral("http://ads.test/pop")), BanVerdict::Banned);
        QCOMPARE(CheckBanList(QStringLiteral("http://ADS.test/POP")), BanVerdict::Banned);
    }

    void onlyTheWholeAddressMatches()
    {
        TempHome home;
        writeRaw("http://ads.test/a\r\nhttp://ads.test/a/b/\r\nads.test\r\n");
        QCOMPARE(CheckBanList(QStringLiteral("http://ads.test/a/b")), BanVerdict::NotBanned);
        QCOMPARE(CheckBanList(QStringLiteral("http://ads.test/")), BanVerdict::NotBanned);
    }

    void fieldRules()
    {
        TempHome home;
        // Quotes, commas, blanks, CR LF, LF alone, CR alone, junk after a closing quote.
        writeRaw("\"http://q.test/a,b\",plain\n  spaced  \r\"c\"junk,d\r\"unclosed, still\nlast");
        const QStringList expected = {QStringLiteral("http://q.test/a,b"), QStringLiteral("plain"),
                                      QStringLiteral("spaced"), QStringLiteral("c"), QStringLiteral("d"),
                                      QStringLiteral("unclosed, still"), QStringLiteral("last")};
        QCOMPARE(ReadBanList(), expected);
        // An entry quoted by hand matches the unquoted address.
        QCOMPARE(CheckBanList(QStringLiteral("http://Q.test/a,b")), BanVerdict::Banned);
    }

    void entriesRoundTrip()
    {
        TempHome home;
        const QStringList entries = {QStringLiteral("http://a.test/?q=1,2"), QStringLiteral("http://b.test/"),
                                     QStringLiteral(" padded "), QStringLiteral("http://ü.test/漢"),
                                     QStringLiteral("http://b.test/")};
        QString error;
        QVERIFY2(WriteBanList(entries, &error), qPrintable(error));
        QCOMPARE(readRaw(), QByteArray("\"http://a.test/?q=1,2\"\r\nhttp://b.test/\r\n\" padded \"\r\n"
                                       "http://\xc3\xbc.test/\xe6\xbc\xa2\r\nhttp://b.test/\r\n"));
        QCOMPARE(ReadBanList(), entries);
        // No temporary file is left beside it.
        QCOMPARE(QDir(Paths::dataDir()).entryList(QDir::Files), QStringList{QStringLiteral("blocked.txt")});

        // A line break cannot split an entry; an empty list empties the file.
        QVERIFY(WriteBanList({QStringLiteral("http://c.test/\r\nx")}));
        QCOMPARE(ReadBanList(), QStringList{QStringLiteral("http://c.test/x")});
        QVERIFY(WriteBanList({}));
        QCOMPARE(readRaw(), QByteArray());

        // Files written before quoting keep reading as they did.
        writeRaw("http://a.test/?q=1,2\r\n");
        QCOMPARE(ReadBanList(), (QStringList{QStringLiteral("http://a.test/?q=1"), QStringLiteral("2")}));
    }

    void hostileFilesGiveBoundedAnswers()
    {
        TempHome home;
        QByteArray junk(5 * 1024 * 1024, '\0');
        auto *rng = QRandomGenerator::global();
        for (char &c : junk) {
            const quint32 r = rng->bounded(16);
            c = r == 0 ? '"' : r == 1 ? ',' : r == 2 ? '\0' : r == 3 ? '\n' : char(rng->bounded(256));
        }
        junk.prepend("\"an unbalanced quote ");
        writeRaw(junk);
        QElapsedTimer timer;
        timer.start();
        const QStringList entries = ReadBanList();
        QVERIFY(entries.size() <= MaxBanListEntries);
        qsizetype total = 0;
        for (const QString &e : entries)
            total += e.size();
        QVERIFY(total <= MaxBanListBytes);
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NotBanned);
        QVERIFY(timer.elapsed() < 5000);

        // One enormous unterminated quoted field: cut at the limit, never a crash.
        writeRaw("\"" + QByteArray(3 * 1024 * 1024, 'a'));
        QVERIFY(ReadBanList().size() <= 1);

        // Many tiny entries stop at the entry limit.
        QByteArray many;
        for (int i = 0; i < MaxBanListEntries + 500; ++i)
            many += "x" + QByteArray::number(i) + ",";
        writeRaw(many);
        QCOMPARE(ReadBanList().size(), MaxBanListEntries);
    }

    void notAFileIsUnreadable()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::banListFile())); // a directory in its place
        bool ok = true;
        QString error;
        QVERIFY(ReadBanList(&ok, &error).isEmpty());
        QVERIFY(!ok);
        QVERIFY(error.contains(Paths::banListFile()));
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NoList);
        QVERIFY(!WriteBanList({QStringLiteral("http://a.test/")}, &error));
        QVERIFY(error.contains(Paths::banListFile()));

        // A pipe in its place must not block the reader.
        QVERIFY(QDir().rmdir(Paths::banListFile()));
        QCOMPARE(mkfifo(QFile::encodeName(Paths::banListFile()).constData(), 0600), 0);
        QVERIFY(ReadBanList(&ok).isEmpty());
        QVERIFY(!ok);
    }

    void unreadableFileBansNothing()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not apply to root");
        TempHome home;
        writeRaw("http://a.test/\r\n");
        QVERIFY(QFile::setPermissions(Paths::banListFile(), QFileDevice::WriteOwner));
        bool ok = true;
        QVERIFY(ReadBanList(&ok).isEmpty());
        QVERIFY(!ok);
        QCOMPARE(CheckBanList(QStringLiteral("http://a.test/")), BanVerdict::NoList);
    }

    // An older list in the Windows code page reads as its text and keeps its bytes when
    // an entry is added.
    void olderCodePageListKeepsItsBytes()
    {
        const QByteArray old = "http://caf\xE9.test/O\x92" "Brien\x96x\r\nhttp://b.test/\r\n";
        writeRaw(old);
        QStringList entries = ReadBanList();
        QCOMPARE(entries.first(), QStringLiteral("http://caf\u00e9.test/O\u2019Brien\u2013x"));
        QVERIFY(CheckBanList(QStringLiteral("http://CAF\u00c9.test/o\u2019brien\u2013x")) == BanVerdict::Banned);
        entries << QStringLiteral("http://new.test/");
        QVERIFY(WriteBanList(entries));
        QCOMPARE(readRaw(), old + "http://new.test/\r\n");
    }

    void partialListSaysSo()
    {
        QByteArray text;
        for (int i = 0; i <= MaxBanListEntries; ++i)
            text += "e" + QByteArray::number(i) + "\n";
        writeRaw(text);
        bool ok = false, partial = false;
        QCOMPARE(ReadBanList(&ok, nullptr, &partial).size(), MaxBanListEntries);
        QVERIFY(ok && partial);
        writeRaw(text.left(text.lastIndexOf("e")) + "\n\n , \n");
        ReadBanList(&ok, nullptr, &partial);
        QVERIFY(ok && !partial);
        writeRaw(QByteArray(MaxBanListBytes + 10, 'x'));
        ReadBanList(&ok, nullptr, &partial);
        QVERIFY(ok && partial);
    }
};

QUILLON_TEST_MAIN(TestBanList)
#include "tst_banlist.moc"
