#include "app/commandline.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using CommandLine::Action;

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    // What a desktop, a shell or another programme hands over, and what becomes of it.
    void argumentsBecomeAddressesInOrder()
    {
        QTemporaryDir dir;
        for (const char *name : {"page one.html", "-dash.html"}) {
            QFile page(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        const QString here = dir.path();

        const CommandLine::Request request = CommandLine::parse(
            {QStringLiteral("https://example.org/a?b=c#d"), QStringLiteral("page one.html"),
             QStringLiteral("/no/such/file.html"), QStringLiteral("example.com"),
             QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-style=fusion"),
             QStringLiteral("--"), QStringLiteral("-dash.html")},
            here);
        QCOMPARE(request.action, Action::Run);
        QCOMPARE(request.addresses,
                 QStringList({QStringLiteral("https://example.org/a?b=c#d"),
                              QStringLiteral("file://") + here + QStringLiteral("/page%20one.html"),
                              QStringLiteral("file:///no/such/file.html"), QStringLiteral("http://example.com"),
                              // after "--" a name that looks like an option is a file like any other
                              QStringLiteral("file://") + here + QStringLiteral("/-dash.html")}));

        QVERIFY(CommandLine::parse({}, here).addresses.isEmpty());
        QCOMPARE(CommandLine::parse({}, here).action, Action::Run);
    }

    void helpVersionAndMistakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("error");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << int(Action::Help) << QString();
        QTest::newRow("short help after an address")
            << QStringList{QStringLiteral("http://a.example/"), QStringLiteral("-h")} << int(Action::Help) << QString();
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << int(Action::Version) << QString();
        QTest::newRow("unknown long") << QStringList{QStringLiteral("--bogus"), QStringLiteral("--help")}
                                      << int(Action::Error) << QStringLiteral("unknown option '--bogus'");
        QTest::newRow("unknown short") << QStringList{QStringLiteral("-x")} << int(Action::Error)
                                       << QStringLiteral("unknown option '-x'");
        QTest::newRow("toolkit option lacks its value")
            << QStringList{QStringLiteral("-display")} << int(Action::Error)
            << QStringLiteral("option '-display' needs a value");
        QTest::newRow("a flag takes no value") << QStringList{QStringLiteral("-reverse=1")} << int(Action::Error)
                                               << QStringLiteral("unknown option '-reverse=1'");
        QTest::newRow("empty address") << QStringList{QString()} << int(Action::Error)
                                       << QStringLiteral("not an address: ''");
    }
    void helpVersionAndMistakes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, error);
        const CommandLine::Request request = CommandLine::parse(arguments, QDir::tempPath());
        QCOMPARE(int(request.action), action);
        QCOMPARE(request.error, error);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
