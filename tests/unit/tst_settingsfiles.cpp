#include "core/inifile.h"
#include "core/paths.h"
#include "core/settingsstore.h"
#include "platform/internetsettings.h"
#include "sites/startupslots.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

using namespace SettingsStore;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QString joined(const QVariant &v)
{
    return v.userType() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
}

}

// The settings files as bytes: what the toolkit's own reader made or reads stays
// readable both ways, a damaged file is never rewritten whatever read it first, and a
// save changes no byte it did not mean to.
class TestSettingsFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    void valuesRoundTripWithTheToolkitsReader_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *text : {"plain", "with space", " lead", "trail ", "a,b", "a;b", "a=b", "q\"q", "back\\slash",
                                 "tab\there", "nl\nx", "caf\xC3\xA9", "\xE6\xBC\xA2\xE5\xAD\x97", "\xF0\x9F\x98\x80",
                                 "@at", "@@two", "@String(x)", "x\x01" "a", "%20", "\\\\srv\\s \"q\";x\\", "",
                                 "Tokyo\xE3\x80\x80", "12\xC2\xA0", "\xE3\x80\x80"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void valuesRoundTripWithTheToolkitsReader()
    {
        QFETCH(QString, value);
        TempHome home;
        const QString section = QStringLiteral("Show Builtins");
        const QString key = QString::fromUtf8("p\xC3\xA9 d/one");
        QVERIFY(SaveSetting(AppKey, section, QStringLiteral("k"), value));
        QVERIFY(SaveSetting(AppKey, section, key, value));
        QSettings theirs(Paths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(theirs.status(), QSettings::NoError);
        QCOMPARE(joined(theirs.value(section + QStringLiteral("/k"))), value);
        QCOMPARE(joined(theirs.value(section + QLatin1Char('/') + key)), value);

        const QString other = fileFor(QStringLiteral("Other"));
        {
            QSettings writer(other, QSettings::IniFormat);
            writer.setValue(section + QStringLiteral("/k"), value);
        }
        QCOMPARE(GetSetting(QStringLiteral("Other"), section, QStringLiteral("k"), QStringLiteral("none")), value);
    }

    // The toolkit keeps one parsed copy of a file per process, and it reports no error
    // once anything read the file: the decision is the bytes', whoever read them first.
    void damagedFileReadFirstIsNeverRewritten()
    {
        TempHome home;
        const QByteArray store = "[personal]\npdone=Zo\n127.0.0.1/\n[Startup]\nc1=0\n";
        QVERIFY(writeFile(Paths::settingsFile(), store));
        QSettings(Paths::settingsFile(), QSettings::IniFormat).allKeys();
        QCOMPARE(GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1), QStringLiteral("0"));
        QCOMPARE(QSettings(Paths::settingsFile(), QSettings::IniFormat).status(), QSettings::NoError);
        for (int attempt = 0; attempt < 2; ++attempt) {
            QString why;
            QVERIFY(!SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("0"), &why));
            QVERIFY(why.contains(QLatin1String("damaged")));
            QCOMPARE(bytesOf(Paths::settingsFile()), store);
        }
        const QString told = checkFile(Paths::settingsFile());
        QVERIFY(told.contains(Paths::settingsFile()));
        QVERIFY(told.contains(QLatin1String("line 3")));

        const QByteArray internet = "[Main]\nStart%20Page=http://home.test/\n[TypedURLs]\nurl1=http://one.test/\nbroken\n";
        QVERIFY(writeFile(Paths::internetSettingsFile(), internet));
        QCOMPARE(InternetSettings::typedUrls(), QStringList{QStringLiteral("http://one.test/")});
        QVERIFY(!InternetSettings::recordTypedUrl(QStringLiteral("http://two.test/")));
        QVERIFY(!InternetSettings::setHomePage(QStringLiteral("http://other.test/")));
        InternetSettings::writeUserAgentToken(InternetSettings::productTokenName(), InternetSettings::productTokenData());
        QCOMPARE(bytesOf(Paths::internetSettingsFile()), internet);
        QVERIFY(!checkFile(Paths::internetSettingsFile()).isEmpty());

        // Mended by the user: saves go through again.
        QVERIFY(writeFile(Paths::settingsFile(), "[Startup]\nc1=0\n"));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("0")));
        QVERIFY(checkFile(Paths::settingsFile()).isEmpty());
    }

    void fileThatCannotBeReadIsReportedAndKept()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::settingsFile()));
        QVERIFY(checkFile(Paths::settingsFile()).contains(QLatin1String("cannot be used")));
        // Only the main store's defaults load the built-in sites.
        QVERIFY(checkFile(Paths::settingsFile()).contains(QLatin1String("built-in sites")));
        QVERIFY(QDir().mkpath(Paths::internetSettingsFile()));
        QVERIFY(!checkFile(Paths::internetSettingsFile()).contains(QLatin1String("built-in sites")));
        QVERIFY(!SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("0")));
        QVERIFY(QFileInfo(Paths::settingsFile()).isDir());
    }

    // Text in the Windows code page from an older file reads as the text it was and keeps
    // its bytes through saves of other keys; saving what is already there writes nothing.
    void bytesTheProgrammeDidNotChangeAreKept()
    {
        TempHome home;
        const QByteArray store = "; kept comment\r\n[personal]\r\npdone=Zo\xE9 O\x92" "Brien \x96 Smith\r\n"
                                 "weird = \"spaced\" ; note\r\n\r\n"
                                 "[Startup]\r\nc1=0\r\n";
        QVERIFY(writeFile(Paths::settingsFile(), store));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QString()),
                 QStringLiteral("Zo\u00e9 O\u2019Brien \u2013 Smith"));
        QCOMPARE(GetSetting(AppKey, QStringLiteral("personal"), QStringLiteral("weird"), QString()),
                 QStringLiteral("spaced"));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), QStringLiteral("1")));
        QVERIFY(SaveSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdtwo"), QStringLiteral("x")));
        QCOMPARE(bytesOf(Paths::settingsFile()),
                 QByteArray("; kept comment\r\n[personal]\r\npdone=Zo\xE9 O\x92" "Brien \x96 Smith\r\n"
                            "weird = \"spaced\" ; note\r\npdtwo=x\r\n"
                            "\r\n[Startup]\r\nc1=1\r\n"));
        const ino_t before = inodeOf(Paths::settingsFile());
        QVERIFY(SaveSetting(AppKey, QStringLiteral("personal"), QStringLiteral("pdone"),
                             QStringLiteral("Zo\u00e9 O\u2019Brien \u2013 Smith")));
        QCOMPARE(inodeOf(Paths::settingsFile()), before);

        // Every start writes the user-agent token; one already there leaves the file alone.
        const QByteArray internet = "[Main]\nStart%20Page=http://caf\xE9.test/\n\n[PostPlatform]\n"
                                    + IniFile::escapedName(InternetSettings::productTokenName()) + "="
                                    + InternetSettings::productTokenData().toUtf8() + "\n";
        QVERIFY(writeFile(Paths::internetSettingsFile(), internet));
        QCOMPARE(InternetSettings::homePage(), QStringLiteral("http://caf\u00e9.test/"));
        QVERIFY(InternetSettings::writeUserAgentToken(InternetSettings::productTokenName(),
                                                      InternetSettings::productTokenData()));
        QVERIFY(InternetSettings::recordTypedUrl(QStringLiteral("http://one.test/")));
        const QByteArray recorded = bytesOf(Paths::internetSettingsFile());
        QVERIFY(recorded.startsWith(internet));
        QVERIFY(InternetSettings::recordTypedUrl(QStringLiteral("http://one.test/")));
        QCOMPARE(bytesOf(Paths::internetSettingsFile()), recorded);
        QVERIFY(InternetSettings::recordTypedUrl(QStringLiteral("http://two.test/")));
        QCOMPARE(InternetSettings::typedUrls(), (QStringList{QStringLiteral("http://two.test/"), QStringLiteral("http://one.test/")}));
    }

    // Lines typed in an editor: a backslash that no writer makes is a backslash, one at
    // the end of a line does not swallow the next line, and a ';' inside an address is
    // part of it; a ';' after a blank still starts a comment.
    void handTypedValuesReadAsTyped()
    {
        TempHome home;
        const QByteArray typed = "[Startup]\r\n"
                                 "sone=http://h/p1.html?a=1;b=2\r\n"
                                 "stwo=\\\\fileserver\\intranet\\\r\n"
                                 "c2=0\r\n"
                                 "sthree=C:\\Program Files\\Start\\home.html ; my page\r\n"
                                 "sfour=\"a;b\" ;note\r\n";
        QVERIFY(writeFile(Paths::settingsFile(), typed));
        using StartupSlots::slot;
        QCOMPARE(StartupSlots::readAddress(slot(1)), QStringLiteral("http://h/p1.html?a=1;b=2"));
        QCOMPARE(StartupSlots::readAddress(slot(2)), QStringLiteral("\\\\fileserver\\intranet\\"));
        QCOMPARE(StartupSlots::readFlag(slot(2)), 0);
        QCOMPARE(StartupSlots::readAddress(slot(3)), QStringLiteral("C:\\Program Files\\Start\\home.html"));
        QCOMPARE(StartupSlots::readAddress(slot(4)), QStringLiteral("a;b"));
        QVERIFY(checkFile(Paths::settingsFile()).isEmpty());

        // A save adds its line after the typed ones and changes none of them.
        const QString saved = QStringLiteral("\\\\srv\\x;\"y\"\\");
        QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("sfive"), saved));
        QVERIFY(bytesOf(Paths::settingsFile()).startsWith(typed));
        QCOMPARE(StartupSlots::readAddress(slot(5)), saved);
        QCOMPARE(StartupSlots::readFlag(slot(2)), 0);
    }

    void fileOthersCanReadIsTightenedAtStart()
    {
        TempHome home;
        QVERIFY(writeFile(Paths::settingsFile(), "[Startup]\nc1=0\n"));
        QVERIFY(QFile::setPermissions(Paths::settingsFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                                 | QFile::ReadOther));
        QVERIFY(checkFile(Paths::settingsFile()).isEmpty());
        QCOMPARE(QFile::permissions(Paths::settingsFile()) & 0x0FFF, QFile::Permissions(QFile::ReadUser | QFile::WriteUser));
    }
};

QUILLON_TEST_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
