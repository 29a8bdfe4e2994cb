#include "favorites/favoritesfolder.h"
#include "core/shortcutfile.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QString put(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}

class TestFavoritesFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void readsLikeTheProfileReader_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("url");
        QTest::newRow("commas, semicolons, backslashes")
            << QByteArray("[InternetShortcut]\r\nURL=http://a.test/x?a=1,2;b=\\c#d\r\n")
            << "http://a.test/x?a=1,2;b=\\c#d";
        QTest::newRow("names in any case, blanks around")
            << QByteArray("[ internetshortcut ]\nurl =  http://b.test/  \n") << "http://b.test/";
        QTest::newRow("other sections first")
            << QByteArray("[DEFAULT]\nBASEURL=http://base/\nURL=http://no/\n[InternetShortcut]\nIconFile=x\nURL=http://yes/\n")
            << "http://yes/";
        QTest::newRow("key only elsewhere") << QByteArray("[Other]\nURL=http://no/\n") << "";
        QTest::newRow("longer key is not the key")
            << QByteArray("[InternetShortcut]\nURLX=1\nURL=http://ok/\n") << "http://ok/";
        QTest::newRow("quoted") << QByteArray("[InternetShortcut]\nURL=\"http://q.test/\"\n") << "http://q.test/";
        QTest::newRow("empty value") << QByteArray("[InternetShortcut]\nURL=\nURL=http://later/\n") << "";
        QTest::newRow("NUL ends the line") << QByteArray("[InternetShortcut]\nURL=http://n\0ul/\n", 32)
                                           << "http://n";
        QTest::newRow("8-bit code page") << QByteArray("[InternetShortcut]\nURL=http://caf\xE9.test/\x93" "a\x94\n")
                                         << QStringLiteral("http://caf\u00e9.test/\u201ca\u201d");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF[InternetShortcut]\nURL=http://\xE4\xBE\x8B.test/\n")
                                        << QString::fromUtf8("http://\xE4\xBE\x8B.test/");
        QTest::newRow("UTF-16BE with BOM")
            << QByteArray("\xFE\xFF") + QStringEncoder(QStringEncoder::Utf16BE)(u"[InternetShortcut]\nURL=http://\u4f8b.test/\n")
            << QStringLiteral("http://\u4f8b.test/");
        QTest::newRow("binary junk") << QByteArray("\x00\xff[\x01]\n=\n[[[\n\x80=\x81", 16) << "";
    }

    void readsLikeTheProfileReader()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, url);
        QTemporaryDir dir;
        QCOMPARE(ShortcutFile::readUrl(put(dir.filePath("s.url"), content)), url);
    }

    void readingIsBounded()
    {
        QTemporaryDir dir;
        // A long address is read whole, one longer than any the engine loads is cut there,
        // and none that long is written.
        const QByteArray longUrl = "http://long.test/" + QByteArray(5000, 'x');
        QCOMPARE(ShortcutFile::readUrl(put(dir.filePath("long.url"), "[InternetShortcut]\nURL=" + longUrl)),
                 QString::fromLatin1(longUrl));
        const QByteArray tooLong = "http://long.test/" + QByteArray(ShortcutFile::MaxUrlChars, 'x');
        QCOMPARE(ShortcutFile::readUrl(put(dir.filePath("longer.url"), "[InternetShortcut]\nURL=" + tooLong)),
                 QString::fromLatin1(tooLong.left(ShortcutFile::MaxUrlChars)));
        QVERIFY(!ShortcutFile::writeUrl(dir.filePath("w.url"), QString::fromLatin1(tooLong)));
        QVERIFY(!QFile::exists(dir.filePath("w.url")));
        // A megabyte-long line before the section does not hide it.
        QCOMPARE(ShortcutFile::readUrl(put(dir.filePath("line.url"),
                                           QByteArray(1 << 20, 'j') + "\n[InternetShortcut]\nURL=http://after/\n")),
                 QStringLiteral("http://after/"));
        // What lies past the first few megabytes is not read at all.
        const QString huge = put(dir.filePath("huge.url"), QByteArray(6 << 20, '\n') + "[InternetShortcut]\nURL=http://far/\n");
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ShortcutFile::readUrl(huge), QString());
        qInfo("6 MB shortcut skipped in %lld ms", timer.elapsed());

        // Things that are not regular files give nothing, and a pipe does not block.
        QDir().mkdir(dir.filePath("folder.url"));
        QCOMPARE(ShortcutFile::readUrl(dir.filePath("folder.url")), QString());
        QFile::link(dir.filePath("gone"), dir.filePath("dangling.url"));
        QCOMPARE(ShortcutFile::readUrl(dir.filePath("dangling.url")), QString());
        QCOMPARE(ShortcutFile::readUrl(dir.filePath("missing.url")), QString());
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe.url")).constData(), 0600) == 0);
        QCOMPARE(ShortcutFile::readUrl(dir.filePath("pipe.url")), QString());
    }

    void writesOneAddressLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("w.url");
        QVERIFY(ShortcutFile::writeUrl(path, QStringLiteral("http://a.test/?q=1,2;x=\\y")));
        QCOMPARE(contents(path), QByteArray("[InternetShortcut]\r\nURL=http://a.test/?q=1,2;x=\\y\r\n"));
        QCOMPARE(ShortcutFile::readUrl(path), QStringLiteral("http://a.test/?q=1,2;x=\\y"));
        // A line break in the address cannot smuggle in a section or key of its own.
        QVERIFY(ShortcutFile::writeUrl(path, QStringLiteral("http://a/\r\n[InternetShortcut]\r\nURL=http://evil/")));
        QCOMPARE(contents(path).count('\n'), 2);
        QVERIFY(ShortcutFile::readUrl(path).startsWith(QStringLiteral("http://a/[InternetShortcut]")));
        QVERIFY(!ShortcutFile::writeUrl(dir.filePath("no/such/folder/x.url"), QStringLiteral("http://a/")));
    }

    void fileNamesFromTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("separators") << "a/b\\c" << "a-b-c";
        QTest::newRow("leading dots") << "..hidden" << "hidden";
        QTest::newRow("dots and blanks") << " . .x. " << "x.";
        QTest::newRow("path climb") << "../../etc/passwd" << "-..-etc-passwd";
        QTest::newRow("empty") << "" << "Untitled";
        QTest::newRow("control characters") << "line\nbreak\ttab" << "line break tab";
        // Text turned around would show "evil.exe.url" as a harmless "...lru.exe".
        QTest::newRow("direction overrides") << QStringLiteral("Report \u202Eevil.exe\u2066x\u2069") << QStringLiteral("Report _evil.exe_x_");
        QTest::newRow("unicode kept") << QString::fromUtf8("Zo\xC3\xAB \xE6\xBC\xA2 ~{}") << QString::fromUtf8("Zo\xC3\xAB \xE6\xBC\xA2 ~{}");
    }

    void fileNamesFromTitles()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(FavoritesFolder::makeFileName(title), name);
    }

    void longTitlesFitTheFileSystem()
    {
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        for (const QString &title : {QString(300, QLatin1Char('a')), QStringLiteral("x") + emoji.repeated(90)}) {
            const QString name = FavoritesFolder::makeFileName(title);
            QVERIFY(name.toUtf8().size() + 4 <= 255);
            QVERIFY(!name.back().isHighSurrogate());
        }
    }

    void savingReplacesOnlyTheLinkAskedAbout()
    {
        QTemporaryDir dir;
        QTemporaryDir outside;
        using FavoritesFolder::Result;
        const auto yes = [](const QString &) { return true; };
        // A link in the way is replaced itself; what it points at is left alone.
        const QString target = put(outside.filePath("precious.txt"), "keep me");
        QVERIFY(QFile::link(target, dir.filePath("Linked.url")));
        QCOMPARE(FavoritesFolder::saveShortcut(dir.path(), dir.path(), "Linked", "http://l/", yes), Result::Done);
        QCOMPARE(contents(target), QByteArray("keep me"));
        QCOMPARE(ShortcutFile::readUrl(dir.filePath("Linked.url")), QStringLiteral("http://l/"));
        // A folder of that name is never replaced.
        QVERIFY(QDir(dir.path()).mkdir("Taken.url"));
        QCOMPARE(FavoritesFolder::saveShortcut(dir.path(), dir.path(), "Taken", "http://t/", yes), Result::Failed);
        QVERIFY(QFileInfo(dir.filePath("Taken.url")).isDir());
    }

    void organisingStaysInside()
    {
        QTemporaryDir base;
        QTemporaryDir outside;
        const QString root = base.filePath("Favorites");
        QDir().mkpath(root);
        using FavoritesFolder::Result;
        bool answer = false;
        const auto confirm = [&](const QString &) { return answer; };

        QString folder;
        QVERIFY(FavoritesFolder::createFolder(root, root, "News", &folder));
        QVERIFY(!FavoritesFolder::createFolder(root, root, "News"));
        QVERIFY(FavoritesFolder::createFolder(root, root, "../Escape", &folder));
        QCOMPARE(folder, root + "/-Escape");
        put(root + "/A.url", "[InternetShortcut]\nURL=http://a/\n");
        put(root + "/B.url", "[InternetShortcut]\nURL=http://b/\n");
        put(root + "/Upper.URL", "[InternetShortcut]\nURL=http://u/\n");

        QString moved;
        QCOMPARE(FavoritesFolder::rename(root, root + "/A.url", "Alpha/Beta", confirm, &moved), Result::Done);
        QCOMPARE(moved, root + "/Alpha-Beta.url");
        QCOMPARE(FavoritesFolder::rename(root, root + "/Upper.URL", "Upper", confirm, &moved), Result::Done);
        QCOMPARE(moved, root + "/Upper.url"); // now found by the tree
        QCOMPARE(FavoritesFolder::rename(root, root + "/B.url", "Alpha-Beta", confirm), Result::Cancelled);
        QVERIFY(QFileInfo::exists(root + "/B.url"));
        answer = true;
        QCOMPARE(FavoritesFolder::rename(root, root + "/B.url", "Alpha-Beta", confirm), Result::Done);
        QCOMPARE(ShortcutFile::readUrl(root + "/Alpha-Beta.url"), QStringLiteral("http://b/"));
        QCOMPARE(FavoritesFolder::rename(root, root + "/-Escape", "News", confirm), Result::Failed);
        QCOMPARE(FavoritesFolder::rename(root, root + "/-Escape", "Local", confirm), Result::Done);

        QCOMPARE(FavoritesFolder::move(root, root + "/Local", root + "/News", confirm, &moved), Result::Done);
        QCOMPARE(moved, root + "/News/Local");
        QCOMPARE(FavoritesFolder::move(root, root + "/News", root + "/News/Local", confirm), Result::Failed);
        QCOMPARE(FavoritesFolder::move(root, root + "/Upper.url", outside.path(), confirm), Result::Failed);
        QVERIFY(QFile::link(outside.path(), root + "/Out"));
        QCOMPARE(FavoritesFolder::move(root, root + "/Upper.url", root + "/Out", confirm), Result::Failed);
        QCOMPARE(FavoritesFolder::move(root, root, root + "/News", confirm), Result::Failed);
        QVERIFY(QFileInfo::exists(root + "/Upper.url"));

        // Deleting a folder removes links inside it, not what they point at.
        const QString keep = put(outside.filePath("keep/file.txt"), "data");
        QVERIFY(QFile::link(outside.filePath("keep"), root + "/News/Local/link"));
        QVERIFY(FavoritesFolder::remove(root, root + "/News"));
        QVERIFY(!QFileInfo::exists(root + "/News"));
        QCOMPARE(contents(keep), QByteArray("data"));
        QVERIFY(FavoritesFolder::remove(root, root + "/Out"));
        QVERIFY(QFileInfo::exists(outside.path()));
        QVERIFY(!FavoritesFolder::remove(root, root));
        QVERIFY(!FavoritesFolder::remove(root, keep));
        QVERIFY(QFileInfo(root).isDir());
    }

    // A folder in Favorites that is a link to one elsewhere: what it holds is shown, but
    // nothing in it is deleted, renamed or moved out, nothing is made in it; the link itself
    // may be renamed or go.
    void linkedFolderContentsStayUntouched()
    {
        QTemporaryDir base;
        const QString root = base.filePath("Favorites");
        const QString shared = base.filePath("Shared");
        const QString report = put(shared + "/Sub/report.odt", "precious");
        const QString note = put(shared + "/Note.url", "[InternetShortcut]\nURL=http://n/\n");
        QVERIFY(QDir().mkpath(shared + "/Sub2"));
        QVERIFY(QDir().mkpath(root + "/Inside"));
        QVERIFY(QFile::link(shared, root + "/Work"));
        using FavoritesFolder::Result;
        const auto yes = [](const QString &) { return true; };

        QString error;
        QVERIFY(!FavoritesFolder::remove(root, root + "/Work/Sub", &error));
        QVERIFY(error.contains(QStringLiteral("\"Sub\" is in a linked folder outside Favorites")));
        QVERIFY(!FavoritesFolder::remove(root, root + "/Work/Note.url"));
        QCOMPARE(FavoritesFolder::rename(root, root + "/Work/Sub2", "Renamed", yes), Result::Failed);
        QCOMPARE(FavoritesFolder::rename(root, root + "/Work/Note.url", "Other", yes), Result::Failed);
        QCOMPARE(FavoritesFolder::move(root, root + "/Work/Sub", root + "/Inside", yes), Result::Failed);
        QCOMPARE(FavoritesFolder::move(root, root + "/Work/Note.url", root + "/Inside", yes), Result::Failed);
        // Nothing new is made in it either, in the linked folder or below it.
        const QString isLinked =
            QStringLiteral("\"Work\" is a linked folder outside Favorites and cannot be changed from here.");
        QVERIFY(!FavoritesFolder::createFolder(root, root + "/Work", "New", nullptr, &error));
        QCOMPARE(error, isLinked);
        QVERIFY(!FavoritesFolder::createFolder(root, root + "/Work/Sub2", "New", nullptr, &error));
        QVERIFY(error.startsWith(QStringLiteral("\"Sub2\" is in a linked folder outside Favorites")));
        error.clear();
        QCOMPARE(FavoritesFolder::saveShortcut(root, root + "/Work", "Note", "http://x/", yes, nullptr, &error),
                 Result::Failed);
        QCOMPARE(error, isLinked);
        QCOMPARE(FavoritesFolder::saveShortcut(root, root + "/Work/Sub2", "Page", "http://p/", yes), Result::Failed);
        QCOMPARE(ShortcutFile::readUrl(note), QStringLiteral("http://n/"));
        QVERIFY(QDir(shared + "/Sub2").isEmpty());
        QCOMPARE(contents(report), QByteArray("precious"));
        QVERIFY(QFileInfo::exists(note));
        QVERIFY(QFileInfo(shared + "/Sub2").isDir());
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"Note.url", "Sub", "Sub2"}));
        QVERIFY(QDir(root + "/Inside").isEmpty());

        // Outside its own folder nothing is renamed either.
        QCOMPARE(FavoritesFolder::rename(root, shared + "/Sub2", "Renamed", yes), Result::Failed);
        QVERIFY(QFileInfo(shared + "/Sub2").isDir());

        // A link to a folder inside Favorites leads nowhere else: changes through it stand.
        QVERIFY(QFile::link(root + "/Inside", root + "/Alias"));
        QVERIFY(FavoritesFolder::createFolder(root, root + "/Alias", "Old"));
        QCOMPARE(FavoritesFolder::rename(root, root + "/Alias/Old", "New", yes), Result::Done);
        QVERIFY(FavoritesFolder::remove(root, root + "/Alias/New"));
        QCOMPARE(FavoritesFolder::saveShortcut(root, root + "/Alias", "Page", "http://p/", yes), Result::Done);
        QVERIFY(FavoritesFolder::remove(root, root + "/Inside/Page.url"));
        QVERIFY(QDir(root + "/Inside").isEmpty());

        // Renamed, the link keeps a folder's name (no ".url") and still leads to the same
        // place; the folder it points at keeps its own name.
        QString renamed;
        QCOMPARE(FavoritesFolder::rename(root, root + "/Work", "Office", yes, &renamed), Result::Done);
        QCOMPARE(renamed, root + "/Office");
        QVERIFY(QFileInfo(renamed).isSymLink());
        QCOMPARE(QFileInfo(renamed).symLinkTarget(), shared);
        QVERIFY(!QFileInfo::exists(root + "/Work") && !QFileInfo::exists(root + "/Office.url"));

        // The link itself goes, and only the link.
        QVERIFY(FavoritesFolder::remove(root, root + "/Office"));
        QVERIFY(!QFileInfo(root + "/Office").isSymLink());
        QCOMPARE(contents(report), QByteArray("precious"));
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"Note.url", "Sub", "Sub2"}));
    }
};

QUILLON_TEST_MAIN(TestFavoritesFiles)
#include "tst_favoritesfiles.moc"
