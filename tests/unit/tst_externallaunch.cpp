#include "desktop/externallaunch.h"
#include "desktop/launchcommands.h"
#include "fakebrowser.h"
#include "programrecorder.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

static const QString hostile = QStringLiteral("http://a.test/p?q=1&r=$(touch x);`id`|\"quoted\" 'single' *\\ %s %%");

class TestExternalLaunch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void browserVariableGetsTheAddressAsOneArgument()
    {
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("rec-browser")));
        qputenv("BROWSER", "rec-browser");
        FakeBrowser active;
        active.Navigate(hostile);
        ExternalLaunch::LoadinIE_Click(&active);
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), hostile}));
    }

    void browserListFallsThroughToAProgrammeThatStarts()
    {
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("rec-browser")));
        qputenv("BROWSER", "quillon-no-such-browser:rec-browser --tab=%s");
        ExternalLaunch::openBrowser(QStringLiteral("http://b.test/"));
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("--tab=http://b.test/")}));
        QCOMPARE(LaunchCommands::browserCommands(QStringLiteral("b --new-window %s"), QString()),
                 (QList<QStringList>{{QStringLiteral("b"), QStringLiteral("--new-window")}})); // no page, no empty argument
        qputenv("BROWSER", "quillon-no-such-browser");
        QVERIFY(!ExternalLaunch::openBrowser(QStringLiteral("http://b.test/")));
    }

    void addressGoesToXdgOpen()
    {
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("xdg-open")));
        FakeBrowser active;
        active.Navigate(hostile);
        ExternalLaunch::LoadinIE_Click(&active);
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("xdg-open"), hostile}));
    }

    void noPageStartsTheDefaultBrowserEntry_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("Launch Browser") << 0;
        QTest::newRow("Load active window, nothing loaded") << 1;
        QTest::newRow("Load active window, no window") << 2;
    }
    void noPageStartsTheDefaultBrowserEntry()
    {
        QFETCH(int, command);
        TempHome home;
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("rec-browser")));
        QVERIFY(rec.program(QStringLiteral("xdg-open")));
        QVERIFY(rec.program(QStringLiteral("x-www-browser")));
        QVERIFY(rec.script(QStringLiteral("xdg-settings"),
                           QStringLiteral("[ \"$1 $2\" = 'get default-web-browser' ] && echo rec-app.desktop\n")));
        const QString apps = home.path() + QStringLiteral("/data/applications");
        QDir().mkpath(apps);
        QFile entry(apps + QStringLiteral("/rec-app.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Rec\nExec=\"" + rec.bin().toUtf8()
                    + "/rec-browser\" --private \"%%done\" %U\n[Desktop Action new]\nExec=wrong\n");
        entry.close();

        FakeBrowser blank;
        if (command == 0)
            ExternalLaunch::browser_Click();
        else if (command == 1)
            ExternalLaunch::LoadinIE_Click(&blank);
        else
            ExternalLaunch::LoadinIE_Click(nullptr);
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("--private"),
                                          QStringLiteral("%done")}));
    }

    void noDefaultBrowserEntryFallsBackToTheSystemBrowser()
    {
        TempHome home;
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("x-www-browser")));
        QVERIFY(rec.script(QStringLiteral("xdg-settings"), QStringLiteral("echo ../../etc/passwd.desktop\n")));
        ExternalLaunch::openBrowser(QString());
        QCOMPARE(rec.one(), QStringList{QStringLiteral("x-www-browser")});
    }

    void anOptionIsNeverPassedAsAnAddress()
    {
        ProgramRecorder rec;
        QVERIFY(rec.program(QStringLiteral("rec-browser")));
        qputenv("BROWSER", "rec-browser");
        ExternalLaunch::openBrowser(QStringLiteral("--remote-debugging-port=9"));
        QCOMPARE(rec.one(), QStringList{QStringLiteral("rec-browser")});
    }

    void mailFromMenuAndTrayIsTheSameRequest()
    {
        for (int i = 0; i < 2; ++i) {
            ProgramRecorder rec;
            QVERIFY(rec.program(QStringLiteral("xdg-open")));
            i == 0 ? ExternalLaunch::RunMail_Click() : ExternalLaunch::sendMail_Click();
            QCOMPARE(rec.one(), (QStringList{QStringLiteral("xdg-open"), QStringLiteral("mailto:@")}));
        }
    }

    void execLinesSplitLikeTheDesktopDoes()
    {
        using LaunchCommands::execArguments;
        QCOMPARE(execArguments(QStringLiteral("firefox-esr %u")), QStringList{QStringLiteral("firefox-esr")});
        QCOMPARE(execArguments(QStringLiteral("\"/opt/My Browser/run\" --a=\"x y\" %F")),
                 (QStringList{QStringLiteral("/opt/My Browser/run"), QStringLiteral("--a=x y")}));
        QCOMPARE(execArguments(QStringLiteral("sh -c \"echo \\\\$HOME\" 100%%")),
                 (QStringList{QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("echo $HOME"),
                              QStringLiteral("100%")}));
        QCOMPARE(execArguments(QString()), QStringList());
    }

    void browserVariableExpansion()
    {
        using LaunchCommands::browserCommands;
        QCOMPARE(browserCommands(QStringLiteral("a %s:b"), QStringLiteral("u")),
                 (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("u")}, {QStringLiteral("b"), QStringLiteral("u")}}));
        QCOMPARE(browserCommands(QStringLiteral("a 100%% %%s"), QStringLiteral("u")),
                 (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("100%"), QStringLiteral("%s"), QStringLiteral("u")}}));
        QCOMPARE(browserCommands(QStringLiteral("::"), QStringLiteral("u")), QList<QStringList>());
        // The address is substituted after splitting: its quotes and spaces stay inside one argument.
        QCOMPARE(browserCommands(QStringLiteral("a \"%s\""), QStringLiteral("x' 'y")),
                 (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("x' 'y")}}));
    }
};

QUILLON_TEST_MAIN(TestExternalLaunch)
#include "tst_externallaunch.moc"
