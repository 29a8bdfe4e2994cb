#include "framefixture.h"

#include "app/commandline.h"
#include "core/shortcutfile.h"
#include "platform/tabstrip.h"
#include "sites/defaultsitesmodel.h"
#include "sites/startuploading.h"
#include "sites/startupslots.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestOpenAddresses : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    // Addresses from the command line or a later start come after the start-up sites,
    // each numbered and tabbed like any new window, and the frame leaves the tray.
    void addressesOpenAfterTheStartupSitesAndShowTheFrame()
    {
        FrameFixture f(false);
        f.open(QStringLiteral("http://127.0.0.2/startup"));
        f.frame->HideToTray();
        QCOMPARE(f.frame->status(), FrameHost::Status::MIN);

        const QStringList given = {QStringLiteral("http://127.0.0.2/a"), QStringLiteral("file:///tmp/b%20c.html")};
        f.frame->openAddresses(given);

        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
        QCOMPARE(f.frame->tb->count(), 4); // three windows and the end tab
        for (int n = 2; n <= 3; ++n) {
            ChildWindow *w = f.windowTagged(QString::number(n));
            QVERIFY(w);
            QCOMPARE(f.frame->tb->caption(n), QString::number(n));
            QCOMPARE(FrameFixture::web(w)->navigations, QStringList{given[n - 2]});
        }
        QCOMPARE(f.frame->windows->activeChild(), f.windowTagged(QStringLiteral("3")));
        QCOMPARE(f.frame->status(), FrameHost::Status::MAX);
        QVERIFY(f.frame->isVisible());
        QVERIFY(!f.frame->isMinimized());

        // A later hand-over while the frame is on screen goes on numbering.
        f.frame->openAddresses({QStringLiteral("http://127.0.0.2/d")});
        QCOMPARE(FrameFixture::web(f.windowTagged(QStringLiteral("4")))->navigations,
                 QStringList{QStringLiteral("http://127.0.0.2/d")});
    }

    // A shortcut file given as an address (on the command line, typed, as a start-up site)
    // opens the address it holds, as it does from the favourites, instead of being saved.
    void shortcutFilesOpenTheAddressTheyHold()
    {
        FrameFixture f;
        QTemporaryDir dir;
        const QString news = dir.filePath(QStringLiteral("News.url"));
        QVERIFY(ShortcutFile::writeUrl(news, QStringLiteral("http://127.0.0.2/news")));
        auto put = [&](const QString &name, const QByteArray &bytes) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
        };
        // One from another system, named in capitals and read relative to the working folder.
        const QString old = put(QStringLiteral("Old Site.URL"),
                                "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://127.0.0.2/old\r\n");
        QVERIFY(!old.isEmpty());
        auto navigations = [&f](int n) { return FrameFixture::web(f.windowTagged(QString::number(n)))->navigations; };

        const CommandLine::Request request = CommandLine::parse({news, QStringLiteral("Old Site.URL")}, dir.path());
        QCOMPARE(request.addresses.size(), 2);
        f.frame->openAddresses(request.addresses);
        QCOMPARE(navigations(1), QStringList{QStringLiteral("http://127.0.0.2/news")});
        QCOMPARE(navigations(2), QStringList{QStringLiteral("http://127.0.0.2/old")});

        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->clear();
        QTest::keyClicks(bar, news);
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(navigations(3), QStringList{QStringLiteral("http://127.0.0.2/news")});
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://127.0.0.2/news"));

        DefaultSitesModel &model = DefaultSitesModel::get();
        for (int slot = 1; slot <= StartupSlots::DefaultCount; ++slot)
            model.setCheck(slot, slot == 2 ? 1 : 0);
        model.setAddress(2, old);
        StartupLoading::LoadSites(f.frame->windows);
        QCOMPARE(navigations(4), QStringList{QStringLiteral("http://127.0.0.2/old")});

        // Anything else goes as given: a shortcut with no address, another file, a web address.
        const QString empty = put(QStringLiteral("Empty.url"), "[InternetShortcut]\r\n");
        const QString page = put(QStringLiteral("page.html"), "<p>page</p>");
        for (const QString &given : {empty, page, QStringLiteral("http://127.0.0.2/a.url"), dir.filePath("Gone.url")})
            QCOMPARE(ShortcutFile::addressToOpen(given), given);
    }
};

QUILLON_TEST_MAIN(TestOpenAddresses)
#include "tst_openaddresses.moc"
