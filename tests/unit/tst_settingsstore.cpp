#include "core/settingsstore.h"
#include "platform/internetsettings.h"
#include "core/paths.h"
#include "testenv.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace SettingsStore;

class TestSettingsStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void emptyStoreGivesDefaults()
    {
        TempHome home;
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1), QStringLiteral("1"));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QString()), QString());
        QVERIFY(!QFile::exists(Paths::settingsFile())); // reading never creates the file
    }

    void emptyStringIsAPresentValue()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QString()));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QStringLiteral("http://x/")),
                 QString());
    }

    void sameKeyInTwoSectionsIsTwoSettings()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c1"), QStringLiteral("1")));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("0")),
                 QStringLiteral("0"));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("0")));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("c1"), 0), QStringLiteral("1"));
    }

    void valuesKeepTheirText()
    {
        TempHome home;
        const QStringList values = {QStringLiteral("http://a.test/?x=1,2;y=\"q\""), QStringLiteral("@home"),
                                    QStringLiteral("Zoë O'Brien-Müller 漢字 +^%~{}[]"), QStringLiteral("  padded  "),
                                    QStringLiteral("back\\slash")};
        for (const QString &v : values) {
            QVERIFY(SaveSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), v));
            QCOMPARE(GetSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QString()), v);
        }
        // Keys with spaces are stored percent-encoded, as the desktop's INI files do.
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Builtins"), QStringLiteral("0")));
        QFile f(Paths::settingsFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("Show%20Builtins=0"));
    }

    void fileIsPrivateToItsOwner()
    {
        TempHome home;
        QVERIFY(SaveSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdten"), QStringLiteral("555")));
        QCOMPARE(QFile::permissions(Paths::settingsFile()) & 0x0FFF,
                 QFile::Permissions(QFile::ReadUser | QFile::WriteUser));
    }

    void corruptOrUnreadableFileGivesDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        static const char junk[] = "\x00\xff\xfe[[[=\n==\x01garbage\n[Startup\nc1";
        QTest::newRow("junk") << QByteArray(junk, sizeof(junk) - 1);
        QTest::newRow("nul bytes") << QByteArray(4096, '\0');
        QTest::newRow("invalid utf8") << QByteArray("[Startup]\nsone=\xc3\x28\xa0\xa1\n");
        QTest::newRow("long line") << QByteArray("[Startup]\nsone=") + QByteArray(1 << 20, 'a');
    }
    void corruptOrUnreadableFileGivesDefaults()
    {
        QFETCH(QByteArray, content);
        TempHome home;
        Paths::ensureDir(Paths::configDir());
        QFile f(Paths::settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const QString c1 = GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1);
        QVERIFY(c1 == QStringLiteral("1") || isInt(c1) || c1.isEmpty());
        // A save either lands or says why; it never crashes.
        QString why;
        if (!SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("0"), &why))
            QVERIFY(!why.isEmpty());
    }

    void directoryInPlaceOfTheFile()
    {
        TempHome home;
        QDir().mkpath(Paths::settingsFile());
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1), QStringLiteral("1"));
        QString why;
        QVERIFY(!SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("0"), &why));
        QVERIFY(why.contains(Paths::settingsFile()));
    }

    void numbersConvertLikeTheReaderExpects()
    {
        QCOMPARE(toInt(QStringLiteral("1")), 1);
        QCOMPARE(toInt(QStringLiteral(" 0 ")), 0);
        QCOMPARE(toInt(QStringLiteral("yes")), 0);
        QCOMPARE(toInt(QStringLiteral("70000")), 0); // beyond 16 bits
        QCOMPARE(toInt(QStringLiteral("-3")), -3);
    }

    // Two processes saving different keys at the same time: both values survive.
    void concurrentWritersFromTwoProcesses()
    {
        TempHome home;
        const QString self = QCoreApplication::applicationFilePath();
        QList<QProcess *> writers;
        for (int w = 0; w < 2; ++w) {
            auto *p = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QUILLON_STORE_WRITER"), QString::number(w));
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"));
            p->setProcessEnvironment(env);
            p->start(self, {});
            writers << p;
        }
        for (QProcess *p : writers) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        for (int w = 0; w < 2; ++w)
            for (int i = 0; i < 40; ++i)
                QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("w%1k%2").arg(w).arg(i), QString()),
                         QStringLiteral("v%1").arg(i));
    }

    void typedHistoryStopsAtTheFirstGap()
    {
        TempHome home;
        Paths::ensureDir(Paths::configDir());
        QFile f(Paths::internetSettingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[TypedURLs]\nurl1=http://one.test/\nurl2=http://two.test/\nurl3=http://three.test/\nurl5=http://five.test/\n");
        f.close();
        QCOMPARE(InternetSettings::typedUrls(),
                 QStringList({QStringLiteral("http://one.test/"), QStringLiteral("http://two.test/"),
                              QStringLiteral("http://three.test/")}));
    }

    void typedHistoryRecordsNewestFirstWithoutDuplicates()
    {
        TempHome home;
        for (int i = 0; i < 30; ++i)
            QVERIFY(InternetSettings::recordTypedUrl(QStringLiteral("http://s%1.test/").arg(i)));
        QVERIFY(InternetSettings::recordTypedUrl(QStringLiteral("http://s20.test/")));
        const QStringList list = InternetSettings::typedUrls();
        QCOMPARE(list.size(), InternetSettings::MaxTypedUrls);
        QCOMPARE(list.first(), QStringLiteral("http://s20.test/"));
        QCOMPARE(list.at(1), QStringLiteral("http://s29.test/"));
        QCOMPARE(list.count(QStringLiteral("http://s20.test/")), 1);
    }

    void userAgentTokensGoInsideTheComment()
    {
        const QString agent = QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36");
        const QString once = InternetSettings::withTokens(agent, {QStringLiteral("QLN v2.1 - q.test")});
        QCOMPARE(once, QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; QLN v2.1 - q.test) AppleWebKit/537.36"));
        QCOMPARE(InternetSettings::withTokens(once, {QStringLiteral("QLN v2.1 - q.test")}), once);
    }
};

static int writerMain(int id)
{
    for (int i = 0; i < 40; ++i)
        if (!SaveSetting(AppKey, QStringLiteral("Startup1"), QStringLiteral("w%1k%2").arg(id).arg(i), QStringLiteral("v%1").arg(i)))
            return 1;
    return 0;
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QUILLON_STORE_WRITER")) {
        QCoreApplication app(argc, argv);
        return writerMain(qEnvironmentVariableIntValue("QUILLON_STORE_WRITER"));
    }
    TestEnv::prepareEngine();
    TestEnv::isolateHome();
    QApplication app(argc, argv);
    TestSettingsStore tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_settingsstore.moc"
