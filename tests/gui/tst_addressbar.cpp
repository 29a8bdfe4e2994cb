#include "browser/addressbar.h"
#include "framefixture.h"
#include "platform/internetsettings.h"
#include "core/paths.h"
#include "platform/tabstrip.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

class TestAddressBar : public QObject
{
    Q_OBJECT
    static QStringList items(QComboBox *c)
    {
        QStringList list;
        for (int i = 0; i < c->count(); ++i)
            list << c->itemText(i);
        return list;
    }
    static void writeHistory(const QByteArray &ini)
    {
        Paths::ensureDir(Paths::configDir());
        QFile f(Paths::internetSettingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
    }

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void historyStopsAtTheFirstMissingValue()
    {
        FrameFixture f;
        writeHistory("[TypedURLs]\nurl0=http://zero.test/\nurl1=http://one.test/\nurl2=http://two.test/\n"
                     "url3=http://three.test/\nurl5=http://five.test/\n");
        f.frame->addressBar->GetHist();
        QCOMPARE(items(f.frame->cboAddress),
                 QStringList({QStringLiteral("http://zero.test/"), QStringLiteral("http://one.test/"),
                              QStringLiteral("http://two.test/"), QStringLiteral("http://three.test/")}));
        QCOMPARE(f.frame->cboAddress->currentText(), QStringLiteral("http://"));
    }

    void typingCompletesWithTheRestSelected()
    {
        FrameFixture f;
        f.frame->cboAddress->addItem(QStringLiteral("http://www.Example.test/news"));
        QLineEdit *edit = f.frame->cboAddress->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("ht"));
        QCOMPARE(edit->text(), QStringLiteral("http://www.Example.test/news"));
        QCOMPARE(edit->selectionStart(), 2);
        QCOMPARE(edit->selectedText(), QStringLiteral("tp://www.Example.test/news"));
        // Typing goes on over the selection; the case of what was typed stays, the rest comes from the entry.
        QTest::keyClicks(edit, QStringLiteral("TP://WWW.E"));
        QCOMPARE(edit->text(), QStringLiteral("htTP://WWW.Example.test/news"));
        QCOMPARE(edit->selectedText(), QStringLiteral("xample.test/news"));
    }

    void programmeSetTextAlsoCompletes()
    {
        FrameFixture f;
        f.frame->cboAddress->addItem(QStringLiteral("http://a.test/longer/page"));
        f.frame->setAddressText(QStringLiteral("http://a.test/"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://a.test/longer/page"));
        QCOMPARE(f.frame->cboAddress->lineEdit()->selectedText(), QStringLiteral("longer/page"));
    }

    void choosingAnEntryNavigatesAndAppendsIt()
    {
        FrameFixture f;
        f.frame->cboAddress->addItem(QStringLiteral("http://pick.test/"));
        f.frame->addressBar->cboAddress_Click(0); // no window: only appended
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        f.frame->addressBar->cboAddress_Click(0);
        QCOMPARE(items(f.frame->cboAddress).count(QStringLiteral("http://pick.test/")), 3);
        QCOMPARE(FrameFixture::web(w)->navigations.last(), QStringLiteral("http://pick.test/"));
    }

    void enterOpensANewWindowAndRemembersTheAddress()
    {
        FrameFixture f;
        ChildWindow *first = f.open(QStringLiteral("http://same.test/"));
        QLineEdit *edit = f.frame->cboAddress->lineEdit();
        edit->setText(QStringLiteral("http://same.test/"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        ChildWindow *second = f.windowTagged(QStringLiteral("2"));
        QVERIFY(second && second != first);
        QCOMPARE(f.frame->windows->activeChild(), second);
        QCOMPARE(FrameFixture::web(second)->navigations, QStringList{QStringLiteral("http://same.test/")});
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("2"));
        QCOMPARE(f.frame->cboAddress->count(), 0); // the list itself is not changed
        QCOMPARE(InternetSettings::typedUrls(), QStringList{QStringLiteral("http://same.test/")});
    }
};

QUILLON_TEST_MAIN(TestAddressBar)
#include "tst_addressbar.moc"
