#include "platform/dialogs.h"
#include "core/paths.h"
#include "popups/banlist.h"
#include "popups/frmban.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

class TestFrmBan : public QObject
{
    Q_OBJECT

    static QStringList items(const frmBan &d)
    {
        QStringList out;
        for (int i = 0; i < d.lstBan->count(); ++i)
            out << d.lstBan->item(i)->text();
        return out;
    }
    static QWidget *nextTabStop(QWidget *w)
    {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }
    static QByteArray fileBytes()
    {
        QFile f(Paths::banListFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void writeFile(const QByteArray &bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(Paths::banListFile()).absolutePath()));
        QFile f(Paths::banListFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { Dialogs::setTellHook({}); }

    void loadsFileAndAddressWithItsLayout()
    {
        TempHome home;
        QVERIFY(WriteBanList({QStringLiteral("http://b.test/"), QStringLiteral("http://a.test/")}));
        frmBan d(QStringLiteral("http://now.test/page"));
        QCOMPARE(d.objectName(), QStringLiteral("frmBan"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Ban List - Restricted PopUps"));
        QCOMPARE(items(d), (QStringList{QStringLiteral("http://b.test/"), QStringLiteral("http://a.test/")}));
        QCOMPARE(d.txtBan->text(), QStringLiteral("http://now.test/page"));
        QCOMPARE(d.lbl->text(), QStringLiteral("Add To Ban List:"));
        QCOMPARE(d.cmdAdd->text(), QStringLiteral("&Add"));
        QCOMPARE(d.cmdDel->text(), QStringLiteral("&Delete"));
        QCOMPARE(d.cmdOK->text(), QStringLiteral("&OK"));
        // Twips at 96 dpi: 15 to a pixel.
        QCOMPARE(d.txtBan->geometry(), QRect(8, 40, 297, 19));
        QCOMPARE(d.cmdOK->geometry(), QRect(192, 88, 57, 25));
        QCOMPARE(d.lstBan->geometry(), QRect(8, 144, 649, 186));
        QCOMPARE(d.font().family(), QStringLiteral("Verdana"));
        QCOMPARE(d.lstBan->font().family(), QStringLiteral("Arial"));
        QWidget *chain[] = {d.lstBan, d.cmdDel, d.cmdAdd, d.txtBan, d.cmdOK};
        for (int i = 0; i + 1 < 5; ++i)
            QCOMPARE(nextTabStop(chain[i]), chain[i + 1]);
    }

    void missingOrBrokenFileStillFillsTheTextBox()
    {
        TempHome home;
        QVERIFY(QDir().mkpath(Paths::banListFile()));
        frmBan d(QStringLiteral("http://x.test/"));
        QCOMPARE(d.lstBan->count(), 0);
        QCOMPARE(d.txtBan->text(), QStringLiteral("http://x.test/"));
    }

    void addAppendsTextUnchanged()
    {
        TempHome home;
        frmBan d{QString()};
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QCOMPARE(d.lstBan->count(), 0);
        d.txtBan->setText(QStringLiteral(" http://Dup.test/ "));
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QCOMPARE(items(d), QStringList(2, QStringLiteral(" http://Dup.test/ ")));
        QCOMPARE(d.txtBan->text(), QStringLiteral(" http://Dup.test/ "));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(ReadBanList(), QStringList(2, QStringLiteral(" http://Dup.test/ ")));
    }

    // Enter in the text box does nothing; on a button with the focus it presses that button.
    void enterPressesOnlyAFocusedButton()
    {
        TempHome home;
        frmBan d(QStringLiteral("http://pop.test/"));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        auto focus = [](QWidget *w) {
            w->setFocus(Qt::TabFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), w);
        };
        focus(d.txtBan);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(d.isVisible());
        QCOMPARE(d.lstBan->count(), 0);
        focus(d.cmdAdd);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(items(d), QStringList(QStringLiteral("http://pop.test/")));
        focus(d.cmdOK);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(ReadBanList(), QStringList(QStringLiteral("http://pop.test/")));
    }

    void deleteRemovesSelectionThenSelectsFirst()
    {
        TempHome home;
        QVERIFY(WriteBanList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        frmBan d{QString()};
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.lstBan->clearSelection();
        d.cmdOK->setFocus();
        QTest::mouseClick(d.cmdDel, Qt::LeftButton);
        QCOMPARE(d.lstBan->count(), 3); // nothing selected, nothing removed
        QCOMPARE(d.lstBan->selectedItems().value(0), d.lstBan->item(0));
        QTRY_COMPARE(QApplication::focusWidget(), d.lstBan);

        d.lstBan->setCurrentRow(1);
        QTest::mouseClick(d.cmdDel, Qt::LeftButton);
        QCOMPARE(items(d), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(d.lstBan->currentRow(), 0);

        QTest::mouseClick(d.cmdDel, Qt::LeftButton);
        QTest::mouseClick(d.cmdDel, Qt::LeftButton);
        QCOMPARE(d.lstBan->count(), 0);
        QVERIFY(d.lstBan->selectedItems().isEmpty());
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(fileBytes(), QByteArray()); // an empty list bans nothing
    }

    void closingWithoutOkKeepsTheFile()
    {
        TempHome home;
        QVERIFY(WriteBanList({QStringLiteral("http://keep.test/")}));
        const QByteArray before = fileBytes();
        {
            frmBan d(QStringLiteral("http://new.test/"));
            d.show();
            QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
            d.lstBan->setCurrentRow(0);
            QTest::mouseClick(d.cmdDel, Qt::LeftButton);
            d.close();
            QCOMPARE(d.result(), int(QDialog::Rejected));
        }
        QCOMPARE(fileBytes(), before);
        frmBan again{QString()};
        QCOMPARE(items(again), QStringList{QStringLiteral("http://keep.test/")});
    }

    // A list longer than the reader takes, or one that cannot be read, shows what it can
    // and says so; OK keeps the file and the user's edits.
    void partialOrUnreadableListIsNeverReplaced()
    {
        TempHome home;
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q; });
        QByteArray big;
        for (int i = 0; i < MaxBanListEntries + 5; ++i)
            big += "http://e" + QByteArray::number(i) + ".test/\r\n";
        QDir().mkpath(QFileInfo(Paths::banListFile()).absolutePath());
        QFile f(Paths::banListFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(big);
        f.close();
        {
            frmBan d(QStringLiteral("http://new.test/"));
            d.show();
            QCOMPARE(d.lstBan->count(), MaxBanListEntries);
            QVERIFY(d.lblNote->isVisible());
            QMetaObject::invokeMethod(d.cmdAdd, "click");
            QMetaObject::invokeMethod(d.cmdOK, "click");
            QCOMPARE(told.size(), 1);
            QVERIFY(told.first().text.contains(QLatin1String("not saved")));
            QVERIFY(d.isVisible());
            QCOMPARE(d.lstBan->item(d.lstBan->count() - 1)->text(), QStringLiteral("http://new.test/"));
            QCOMPARE(fileBytes(), big);
        }

        // Under the limits the same dialog saves as before.
        big.truncate(big.indexOf("http://e100.test/"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(big);
        f.close();
        {
            frmBan d(QStringLiteral("http://new.test/"));
            QVERIFY(d.lblNote->isHidden());
        }

        QVERIFY(QFile::remove(Paths::banListFile()));
        QVERIFY(QDir().mkpath(Paths::banListFile()));
        told.clear();
        frmBan d(QStringLiteral("http://new.test/"));
        d.show();
        QVERIFY(d.lblNote->isVisible());
        QVERIFY(d.lblNote->text().contains(QLatin1String("could not be read")));
        QMetaObject::invokeMethod(d.cmdAdd, "click");
        QMetaObject::invokeMethod(d.cmdOK, "click");
        QCOMPARE(told.size(), 1);
        QVERIFY(d.isVisible());
        QVERIFY(QFileInfo(Paths::banListFile()).isDir());
    }

    // A list saved with a byte-order mark elsewhere reads as its text, bans, and is saved
    // back in its own encoding; other files holding NUL bytes are shown empty and kept.
    void listWithByteOrderMarkKeepsItsEncoding()
    {
        TempHome home;
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q; });
        const QString added = QStringLiteral("http://new.test/\u00fc");
        for (auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf8}) {
            QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
            const QByteArray before = encoder(QStringLiteral("\"http://a.test/,b\"\r\nhttp://b.test/\u6f22\r\n"));
            writeFile(before);
            QCOMPARE(CheckBanList(QStringLiteral("HTTP://B.test/\u6f22")), BanVerdict::Banned);
            frmBan d(added);
            QCOMPARE(items(d), (QStringList{QStringLiteral("http://a.test/,b"), QStringLiteral("http://b.test/\u6f22")}));
            QMetaObject::invokeMethod(d.cmdAdd, "click");
            QMetaObject::invokeMethod(d.cmdOK, "click");
            QCOMPARE(fileBytes(), before + QByteArray(encoder(added + QStringLiteral("\r\n"))));
        }
        const QByteArray noMark = QStringEncoder(QStringConverter::Utf16LE)(QStringLiteral("http://a.test/\r\n"));
        writeFile(noMark);
        frmBan d(added);
        QCOMPARE(d.lstBan->count(), 0);
        QMetaObject::invokeMethod(d.cmdAdd, "click");
        QMetaObject::invokeMethod(d.cmdOK, "click");
        QVERIFY(!d.lblNote->text().isEmpty() && told.size() == 1);
        QCOMPARE(fileBytes(), noMark);
    }

    // Lines another writer added while the dialog was open survive its OK, after the
    // dialog's own; the lines deleted in the dialog stay deleted.
    void okKeepsLinesAddedOnDiskMeanwhile()
    {
        TempHome home;
        const QString a = QStringLiteral("http://a.test/"), b = QStringLiteral("http://b.test/"),
                      mine = QStringLiteral("http://mine.test/"), theirs = QStringLiteral("http://theirs.test/");
        QVERIFY(WriteBanList({a, b}));
        frmBan d(mine);
        d.lstBan->setCurrentRow(0);
        QTest::mouseClick(d.cmdDel, Qt::LeftButton);
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QVERIFY(WriteBanList({a, theirs, b, mine}));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(ReadBanList(), (QStringList{b, mine, theirs}));
    }

    void failedWriteSaysWhyAndKeepsTheEdits()
    {
        TempHome home;
        QList<Dialogs::Question> told;
        Dialogs::setTellHook([&](const Dialogs::Question &q) { told << q; });
        frmBan d(QStringLiteral("http://x.test/"));
        d.show();
        QTest::mouseClick(d.cmdAdd, Qt::LeftButton);
        QVERIFY(QDir().mkpath(Paths::banListFile())); // the file cannot be replaced
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first().text.contains(Paths::banListFile()));
        QVERIFY(d.isVisible());
        QCOMPARE(items(d), QStringList{QStringLiteral("http://x.test/")});

        QVERIFY(QDir().rmdir(Paths::banListFile())); // fixed: OK now saves and closes
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(ReadBanList(), QStringList{QStringLiteral("http://x.test/")});
    }
};

QUILLON_TEST_MAIN(TestFrmBan)
#include "tst_frmban.moc"
