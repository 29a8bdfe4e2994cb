#include "core/settingsstore.h"
#include "desktop/tipsfile.h"
#include "desktop/tipwindow.h"
#include "core/paths.h"
#include "platform/dialogs.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace SettingsStore;

namespace {
const QString missing = QStringLiteral(
    "That the TIPOFDAY.TXT file was not found? \r\n\r\n"
    "Create a text file named TIPOFDAY.TXT using NotePad with 1 tip per line. "
    "Then place it in the same directory as the application. ");

QString setting() { return GetSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Tips at Startup"), QStringLiteral("<absent>")); }
void store(const QString &v) { QVERIFY(SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Tips at Startup"), v)); }

void closeTip()
{
    if (frmTip *tip = TipOfDay::current())
        tip->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!TipOfDay::current());
}
}

class TestTipOfDay : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QByteArray &content)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("tips%1.txt").arg(++n));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return path;
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { closeTip(); }

    void windowHasItsControls()
    {
        TempHome home;
        frmTip *tip = TipOfDay::open(nullptr, file("<b>one</b>\n"));
        QVERIFY(tip && !tip->isModal());
        for (const char *name : {"Label1", "lblTipText", "Label2", "chkLoadTipsAtStartup", "cmdNextTip", "cmdOK"})
            QVERIFY2(tip->findChild<QWidget *>(QLatin1String(name)), name);
        // Markup in a tip is shown as typed.
        QCOMPARE(tip->lblTipText->text(), QStringLiteral("<b>one</b>"));
        QCOMPARE(tip->lblTipText->textFormat(), Qt::PlainText);
        tip->cmdOK->click();
        QVERIFY(tip->isHidden());
    }

    // One very long line, with and without blanks: the window keeps a size that fits the
    // screen, with its OK button inside it.
    void longTipKeepsTheWindowOnScreen()
    {
        TempHome home;
        for (const QByteArray &line : {QByteArray(4000, 'w'), QByteArray("word ").repeated(800)}) {
            frmTip *tip = TipOfDay::open(nullptr, file(line + "\n"));
            QVERIFY(QTest::qWaitForWindowExposed(tip));
            QCoreApplication::processEvents();
            QVERIFY2(tip->width() <= 800, qPrintable(QString::number(tip->width())));
            QVERIFY2(tip->height() <= 800, qPrintable(QString::number(tip->height())));
            QVERIFY(tip->rect().contains(QRect(tip->cmdOK->mapTo(tip, QPoint(0, 0)), tip->cmdOK->size())));
            QVERIFY(tip->lblTipText->text().startsWith(QString::fromLatin1(line.left(20))));
            closeTip();
        }
    }

    void missingFileShowsTheMessage()
    {
        TempHome home;
        frmTip *tip = TipOfDay::open(nullptr, m_dir.filePath(QStringLiteral("absent.txt")));
        QVERIFY(tip && tip->isVisible());
        QCOMPARE(tip->lblTipText->text(), missing);
        QVERIFY(!tip->LoadTips(QString()));
    }

    void fileShapes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{QString()};
        QTest::newRow("three lines") << QByteArray("a\r\nb\r\nc\r\n") << QStringList{"a", "b", "c"};
        QTest::newRow("LF, no final end") << QByteArray("a\n\nc") << QStringList{"a", "", "c"};
        QTest::newRow("NUL bytes") << QByteArray("a\0b\n\0\n", 6) << QStringList{"ab", ""};
        QTest::newRow("single-byte text") << QByteArray("caf\xe9 \x93<b>x</b>\x94\n") << QStringList{QStringLiteral("café “<b>x</b>”")};
        QTest::newRow("UTF-8") << QByteArray("\xef\xbb\xbf" "漢字 ü\n") << QStringList{QStringLiteral("漢字 ü")};
        // As an editor's "Unicode" save writes it, mark first, with characters beyond one byte and one unit.
        const QString wide = QStringLiteral("Καλημέρα 漢字 😀\r\nsecond\r\n");
        QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe") + QStringEncoder(QStringEncoder::Utf16LE).encode(wide)
                                   << QStringList{QStringLiteral("Καλημέρα 漢字 😀"), QStringLiteral("second")};
        QTest::newRow("UTF-16 BE") << QByteArray("\xfe\xff") + QStringEncoder(QStringEncoder::Utf16BE).encode(wide)
                                   << QStringList{QStringLiteral("Καλημέρα 漢字 😀"), QStringLiteral("second")};
    }
    void fileShapes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, tips);
        TempHome home;
        frmTip *tip = TipOfDay::open(nullptr, file(content));
        QVERIFY(tip);
        QCOMPARE(tip->tips(), tips);
        if (tips.isEmpty()) {
            QCOMPARE(tip->lblTipText->text(), QString()); // neither a tip nor the message
            tip->cmdNextTip->click();
            QCOMPARE(tip->lblTipText->text(), QString());
        } else {
            QVERIFY(tip->currentTip() >= 1 && tip->currentTip() <= tips.size());
            QCOMPARE(tip->lblTipText->text(), tips.at(tip->currentTip() - 1));
        }
    }

    void nextTipDrawsFromAllTips()
    {
        TempHome home;
        frmTip *tip = TipOfDay::open(nullptr, file("one\ntwo\nthree\n"));
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            tip->cmdNextTip->click();
            QVERIFY(tip->tips().contains(tip->lblTipText->text()));
            seen.insert(tip->lblTipText->text());
        }
        QCOMPARE(seen.size(), 3);
    }

    void hostileFilesAreBounded()
    {
        TempHome home;
        QElapsedTimer clock;
        clock.start();
        // 100 MB of nothing, and one 2 MB line.
        const QString huge = m_dir.filePath(QStringLiteral("huge.txt"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(100 * 1024 * 1024));
        }
        QStringList lines;
        QVERIFY(TipsFile::read(huge, &lines));
        QVERIFY(lines.isEmpty());
        lines.clear();
        QVERIFY(TipsFile::read(file(QByteArray(2 * 1024 * 1024, 'x')), &lines));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().size(), TipsFile::MaxLineLength);
        lines.clear();
        QVERIFY(TipsFile::read(file(QByteArray(900 * 1024, '\n')), &lines));
        QCOMPARE(lines.size(), TipsFile::MaxLines);

        // Not a file: a folder, a pipe that nobody writes to, a dangling link.
        const QString folder = m_dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkpath(folder));
        const QString pipe = m_dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString link = m_dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("gone")), link));
        for (const QString &path : {folder, pipe, link}) {
            QVERIFY2(!TipsFile::read(path, &lines), qPrintable(path));
            frmTip *tip = TipOfDay::open(nullptr, path);
            QCOMPARE(tip->lblTipText->text(), missing);
            closeTip();
        }
        QVERIFY2(clock.elapsed() < 20000, "reading hostile files took too long");
    }

    // A file longer than the read limit, cut inside a character: the lines before the cut
    // keep their accents, and the line the limit cuts is left out rather than shown broken.
    void fileCutAtTheLimitKeepsWholeLines()
    {
        const QByteArray line = QByteArray("accent \xc3\xa9 ").repeated(20) + '\n';
        const QString tip = QString::fromUtf8(line.chopped(1));
        QByteArray utf8 = "Caf\xc3\xa9 first tip\n";
        int whole = 0;
        for (; utf8.size() + line.size() < TipsFile::MaxBytes - 100; ++whole)
            utf8 += line;
        utf8 += QByteArray(TipsFile::MaxBytes - 1 - utf8.size(), 'x'); // the cut falls inside the next é
        utf8 += "\xc3\xa9 cut\n" + line.repeated(50);
        QStringList lines;
        QVERIFY(TipsFile::read(file(utf8), &lines));
        QCOMPARE(lines.size(), 1 + whole);
        QCOMPARE(lines.first(), QStringLiteral("Café first tip"));
        QCOMPARE(lines.sliced(1), QStringList(whole, tip));

        // The same in UTF-16: the limit counts bytes, so fewer lines fit, all of them whole.
        const QString text = QString::fromUtf8(utf8);
        lines.clear();
        QVERIFY(TipsFile::read(file(QByteArray("\xff\xfe") + QStringEncoder(QStringEncoder::Utf16LE).encode(text)),
                               &lines));
        QVERIFY(lines.size() > 1000 && lines.size() < whole);
        QCOMPARE(lines.first(), QStringLiteral("Café first tip"));
        QCOMPARE(lines.sliced(1), QStringList(lines.size() - 1, tip));

        // One line past the limit is kept, its characters whole though the cut splits one.
        lines.clear();
        QVERIFY(TipsFile::read(file("x" + QByteArray("\xc3\xa9").repeated(TipsFile::MaxBytes)), &lines));
        QCOMPARE(lines, QStringList{QLatin1Char('x') + QString(TipsFile::MaxLineLength - 1, QChar(0xE9))});
    }

    void shippedTipsAreWhole()
    {
        QStringList lines;
        QVERIFY(TipsFile::read(QStringLiteral(QUILLON_SOURCE_DIR "/data/TIPOFDAY.TXT"), &lines));
        QVERIFY(lines.size() >= 20);
        for (const QString &line : lines)
            QVERIFY2(!line.trimmed().isEmpty() && line.size() < 300, qPrintable(line));
    }

    void startupRule_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("shown");
        QTest::newRow("absent") << QString() << true;
        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("0") << QStringLiteral("0") << false;
        QTest::newRow("not a number") << QStringLiteral("yes") << false;
        QTest::newRow("2") << QStringLiteral("2") << false;
    }
    void startupRule()
    {
        QFETCH(QString, stored);
        QFETCH(bool, shown);
        TempHome home;
        if (!stored.isNull())
            store(stored);
        frmTip *tip = TipOfDay::showAtStartup(nullptr);
        QCOMPARE(tip != nullptr, shown);
        QCOMPARE(TipOfDay::current() != nullptr, shown);
        if (shown) {
            QVERIFY(tip->isVisible());
            QVERIFY(tip->chkLoadTipsAtStartup->isChecked());
            QCOMPARE(setting(), QStringLiteral("1")); // checking the box on load writes it
        } else {
            QCOMPARE(setting(), stored); // the store is left alone
        }
    }

    void switchOffAndBackOnFromTheMenu()
    {
        TempHome home;
        store(QStringLiteral("0"));
        // Off: the window is never made by an ordinary opening.
        QVERIFY(!TipOfDay::open(nullptr, file("a\n")));
        // "&Tip of the Day" switches it on and shows it.
        frmTip *tip = TipOfDay::tipday(nullptr);
        QVERIFY(tip && tip->isVisible());
        QCOMPARE(setting(), QStringLiteral("1"));
        // Unchecking stores "0" at once.
        tip->chkLoadTipsAtStartup->click();
        QCOMPARE(setting(), QStringLiteral("0"));
        QVERIFY(!TipOfDay::showAtStartup(nullptr) || TipOfDay::current() == tip);
        // The menu on the open window: the box and the store say on again.
        QCOMPARE(TipOfDay::tipday(nullptr), tip);
        QVERIFY(tip->chkLoadTipsAtStartup->isChecked());
        QCOMPARE(setting(), QStringLiteral("1"));
        // Closing and reopening from the menu makes a fresh, checked window.
        tip->chkLoadTipsAtStartup->click();
        tip->cmdOK->click();
        frmTip *again = TipOfDay::tipday(nullptr);
        QVERIFY(again && again != tip && again->chkLoadTipsAtStartup->isChecked());
        QCOMPARE(setting(), QStringLiteral("1"));
    }

    // A damaged store that holds the start-up display off and refuses every save: the
    // menu still shows the window, and its box says what the next start will do.
    void menuShowsTheWindowThoughTheStoreRefusesTheSwitch()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(QFileInfo(Paths::settingsFile()).path()));
        {
            QFile f(Paths::settingsFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Startup]\nShow Tips at Startup=0\n[Unclosed\n");
        }
        QVERIFY(!SaveSetting(AppKey, QStringLiteral("Startup"), QStringLiteral("Show Tips at Startup"),
                             QStringLiteral("1")));
        QVERIFY(!TipOfDay::showAtStartup(nullptr));
        frmTip *tip = TipOfDay::tipday(nullptr);
        QVERIFY(tip && tip->isVisible());
        QVERIFY(!tip->chkLoadTipsAtStartup->isChecked());
        QCOMPARE(setting(), QStringLiteral("0"));
        QCOMPARE(TipOfDay::tipday(nullptr), tip);
        QVERIFY(!tip->chkLoadTipsAtStartup->isChecked());
    }

    // A store on a read-only or full disk: unchecking says why it failed, and the box
    // goes back to what the next start will do.
    void uncheckingThatCannotBeSavedSaysSo()
    {
        TempHome home;
        QVERIFY(home.makeConfigDirUnwritable());
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q; });
        frmTip *tip = TipOfDay::open(nullptr, file("a\n"));
        QVERIFY(tip);
        QVERIFY(told.isEmpty()); // the window's own write on opening changes nothing worth saying
        tip->chkLoadTipsAtStartup->click();
        Dialogs::setTellHook(nullptr);
        QVERIFY(tip->chkLoadTipsAtStartup->isChecked());
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0].icon, QMessageBox::Warning);
        QVERIFY2(told[0].text.contains(Paths::settingsFile() + QStringLiteral(" could not be written: its folder is "
                                                                               "read-only or full")),
                 qPrintable(told[0].text));
        closeTip();
    }
};

QUILLON_TEST_MAIN(TestTipOfDay)
#include "tst_tipofday.moc"
