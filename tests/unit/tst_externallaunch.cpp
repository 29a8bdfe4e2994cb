#include "desktop/externallaunch.h"
#include "desktop/launchcommands.h"
#include "fakebrowser.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Stands in for the desktop's programmes: every name given becomes a script on PATH
// that records its name and arguments, NUL-separated, one file per start.
class Recorder
{
public:
    Recorder()
    {
        m_savedPath = qgetenv("PATH");
        m_savedBrowser = qgetenv("BROWSER");
        m_hadBrowser = qEnvironmentVariableIsSet("BROWSER");
        QDir().mkpath(bin());
        QDir().mkpath(log());
        qputenv("PATH", bin().toLocal8Bit() + ':' + m_savedPath);
        qunsetenv("BROWSER");
    }
    ~Recorder()
    {
        qputenv("PATH", m_savedPath);
        if (m_hadBrowser)
            qputenv("BROWSER", m_savedBrowser);
        else
            qunsetenv("BROWSER");
    }
    QString bin() const { return m_dir.path() + QStringLiteral("/bin"); }
    QString log() const { return m_dir.path() + QStringLiteral("/log"); }

    void program(const QString &name)
    {
        script(name, QStringLiteral("out=\"%1/call.$$\"\n"
                                    "printf '%s\\0' \"$(basename \"$0\")\" \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n")
                         .arg(log()));
    }
    void script(const QString &name, const QString &body)
    {
        QFile f(bin() + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body.toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Each finished start as [program, arg1, arg2, ...].
    QList<QStringList> calls() const
    {
        QList<QStringList> out;
        const QStringList files = QDir(log()).entryList({QStringLiteral("call.*")}, QDir::Files, QDir::Time);
        for (const QString &name : files) {
            if (name.endsWith(QLatin1String(".part")))
                continue;
            QFile f(log() + QLatin1Char('/') + name);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            QStringList call;
            for (const QByteArray &piece : f.readAll().split('\0'))
                call.append(QString::fromUtf8(piece));
            call.removeLast(); // after the final NUL
            out.append(call);
        }
        return out;
    }
    // Waits for exactly one start and returns it.
    QStringList one() const
    {
        QList<QStringList> seen;
        const bool arrived = QTest::qWaitFor([&] { seen = calls(); return !seen.isEmpty(); }, 15000);
        Q_UNUSED(arrived)
        return seen.size() == 1 ? seen.first() : QStringList{QStringLiteral("<%1 calls>").arg(seen.size())};
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_savedPath;
    QByteArray m_savedBrowser;
    bool m_hadBrowser = false;
};

static const QString hostile = QStringLiteral("http://a.test/p?q=1&r=$(touch x);`id`|\"quoted\" 'single' *\\ %s %%");

class TestExternalLaunch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void browserVariableGetsTheAddressAsOneArgument()
    {
        Recorder rec;
        rec.program(QStringLiteral("rec-browser"));
        qputenv("BROWSER", "rec-browser");
        FakeBrowser active;
        active.Navigate(hostile);
        ExternalLaunch::LoadinIE_Click(&active);
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), hostile}));
    }

    void browserVariableWithoutPage()
    {
        Recorder rec;
        rec.program(QStringLiteral("rec-browser"));
        qputenv("BROWSER", "rec-browser --new-window %s");
        ExternalLaunch::browser_Click();
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("--new-window")}));
    }

    void browserListFallsThroughToAProgrammeThatStarts()
    {
        Recorder rec;
        rec.program(QStringLiteral("rec-browser"));
        qputenv("BROWSER", "quillon-no-such-browser:rec-browser --tab=%s");
        ExternalLaunch::openBrowser(QStringLiteral("http://b.test/"));
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("--tab=http://b.test/")}));
        qputenv("BROWSER", "quillon-no-such-browser");
        QVERIFY(!ExternalLaunch::openBrowser(QStringLiteral("http://b.test/")));
    }

    void addressGoesToXdgOpen()
    {
        Recorder rec;
        rec.program(QStringLiteral("xdg-open"));
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
        QTest::newRow("Work Online") << 3;
    }
    void noPageStartsTheDefaultBrowserEntry()
    {
        QFETCH(int, command);
        TempHome home;
        Recorder rec;
        rec.program(QStringLiteral("rec-browser"));
        rec.program(QStringLiteral("xdg-open"));
        rec.program(QStringLiteral("x-www-browser"));
        rec.script(QStringLiteral("xdg-settings"),
                   QStringLiteral("[ \"$1 $2\" = 'get default-web-browser' ] && echo rec-app.desktop\n"));
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
        else if (command == 2)
            ExternalLaunch::LoadinIE_Click(nullptr);
        else
            ExternalLaunch::IE_Click();
        QCOMPARE(rec.one(), (QStringList{QStringLiteral("rec-browser"), QStringLiteral("--private"),
                                          QStringLiteral("%done")}));
    }

    void noDefaultBrowserEntryFallsBackToTheSystemBrowser()
    {
        TempHome home;
        Recorder rec;
        rec.program(QStringLiteral("x-www-browser"));
        rec.script(QStringLiteral("xdg-settings"), QStringLiteral("echo ../../etc/passwd.desktop\n"));
        ExternalLaunch::openBrowser(QString());
        QCOMPARE(rec.one(), QStringList{QStringLiteral("x-www-browser")});
    }

    void anOptionIsNeverPassedAsAnAddress()
    {
        Recorder rec;
        rec.program(QStringLiteral("rec-browser"));
        qputenv("BROWSER", "rec-browser");
        ExternalLaunch::openBrowser(QStringLiteral("--remote-debugging-port=9"));
        QCOMPARE(rec.one(), QStringList{QStringLiteral("rec-browser")});
    }

    void mailFromMenuAndTrayIsTheSameRequest()
    {
        for (int i = 0; i < 2; ++i) {
            Recorder rec;
            rec.program(QStringLiteral("xdg-open"));
            i == 0 ? ExternalLaunch::RunMail_Click() : ExternalLaunch::sendMail_Click();
            QCOMPARE(rec.one(), (QStringList{QStringLiteral("xdg-open"), QStringLiteral("mailto:@")}));
        }
    }

    void searchTheWebNowCaptionsAndMaximises()
    {
        TempHome home;
        QWidget window;
        QString opened;
        ExternalLaunch::MP3_Click([&](const QString &address) {
            opened = address;
            return &window;
        });
        QCOMPARE(opened, ExternalLaunch::searchHomePage());
        QVERIFY(!opened.contains(QStringLiteral("%1")));
        QCOMPARE(window.windowTitle(), QStringLiteral("Advanced Search"));
        QVERIFY(window.isMaximized());
        ExternalLaunch::MP3_Click([](const QString &) { return nullptr; }); // no window: nothing to do
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
