#include "browser/addressbar.h"
#include "desktop/internetoptions.h"
#include "framefixture.h"
#include "platform/internetsettings.h"
#include "core/paths.h"
#include "platform/tabstrip.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
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

    // Drags the data over the middle of the bar's text and lets go there, as the mouse does;
    // returns the action the drop was taken with (IgnoreAction when refused).
    static Qt::DropAction drop(QLineEdit *edit, QMimeData *mime, Qt::DropActions offered)
    {
        const QPointF at = QPointF(edit->rect().center());
        QDragEnterEvent enter(at.toPoint(), offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent move(at.toPoint(), offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &move);
        QDropEvent drop(at, offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
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

    // Options > Internet Options > Clear History: the bar neither lists nor completes the old addresses.
    void clearingTheHistoryEmptiesTheList()
    {
        FrameFixture f;
        writeHistory("[TypedURLs]\nurl1=http://one.test/\nurl2=http://two.test/\n");
        f.frame->addressBar->GetHist();
        f.frame->action(QStringLiteral("mnu_InterNetOptions"))->trigger();
        InternetOptionsDialog *panel = InternetOptionsDialog::current();
        QVERIFY(panel && panel->isVisible());
        panel->cmdClearHistory->click();
        panel->close();
        QCOMPARE(items(f.frame->cboAddress), QStringList());
        QCOMPARE(f.frame->cboAddress->currentText(), QStringLiteral("http://"));
        QLineEdit *edit = f.frame->cboAddress->lineEdit();
        QTest::keyClicks(edit, QStringLiteral("o"));
        QCOMPARE(edit->text(), QStringLiteral("http://o"));
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

    void windowsAddressIsShownExactly()
    {
        FrameFixture f;
        f.frame->cboAddress->addItem(QStringLiteral("http://a.test/longer/page"));
        ChildWindow *w = f.open(QStringLiteral("http://a.test/"));
        FrameFixture::web(w)->complete(QStringLiteral("A"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://a.test/"));
        QVERIFY(!f.frame->cboAddress->lineEdit()->hasSelectedText());
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
        // A value past a gap in the history is not shown, and recording keeps it.
        writeHistory("[TypedURLs]\nurl1=http://old.test/\nurl3=http://past-gap.test/\n");
        ChildWindow *first = f.open(QStringLiteral("http://same.test/"));
        // An equal list entry: Enter still opens a new window instead of choosing the entry.
        f.frame->cboAddress->addItem(QStringLiteral("http://same.test/"));
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->clear();
        QTest::keyClicks(bar, QStringLiteral("http://same.test/"));
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        ChildWindow *second = f.windowTagged(QStringLiteral("2"));
        QVERIFY(second && second != first);
        QCOMPARE(f.frame->windows->activeChild(), second);
        QCOMPARE(FrameFixture::web(second)->navigations, QStringList{QStringLiteral("http://same.test/")});
        QCOMPARE(FrameFixture::web(first)->navigations, QStringList{QStringLiteral("http://same.test/")});
        QCOMPARE(f.frame->tb->caption(2), QStringLiteral("2"));
        QCOMPARE(f.frame->cboAddress->count(), 1); // the list itself is not changed
        QCOMPARE(InternetSettings::typedUrls(),
                 QStringList({QStringLiteral("http://same.test/"), QStringLiteral("http://old.test/"),
                              QStringLiteral("http://past-gap.test/")}));

        // The keypad's Enter does the same.
        bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->selectAll();
        QTest::keyClicks(bar, QStringLiteral("127.0.0.5/x"));
        QTest::keyClick(bar, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.frame->windows->Tabctr, qint16(3));
        QCOMPARE(FrameFixture::web(f.windowTagged(QStringLiteral("3")))->navigations,
                 QStringList{QStringLiteral("127.0.0.5/x")});
        QCOMPARE(f.frame->addressText(), QStringLiteral("127.0.0.5/x")); // the bar shows what is loading
    }

    void wordsAreSearchedAndAddressesOpened()
    {
        const QString search = QStringLiteral("http://127.0.0.1:9/find?q=%s");
        QCOMPARE(AddressBar::addressFor(QStringLiteral("example.org"), search), QStringLiteral("example.org"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("localhost:8000"), search), QStringLiteral("localhost:8000"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("127.0.0.5/x"), search), QStringLiteral("127.0.0.5/x"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("http://"), search), QString());
        QCOMPARE(AddressBar::addressFor(QStringLiteral(" HTTPS:// "), search), QString());
        QCOMPARE(AddressBar::addressFor(QStringLiteral("about:blank"), search), QStringLiteral("about:blank"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("localhost/app"), search), QStringLiteral("localhost/app"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("/tmp/page.html"), search), QStringLiteral("/tmp/page.html"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("quillon"), search),
                 QStringLiteral("http://127.0.0.1:9/find?q=quillon"));
        // Blanks make words even when a dot follows; what is searched for is encoded.
        QCOMPARE(AddressBar::addressFor(QStringLiteral(" what is a.b & c? "), search),
                 QStringLiteral("http://127.0.0.1:9/find?q=what%20is%20a.b%20%26%20c%3F"));
        // Line breaks pasted with the text: gone from an address, a blank between words.
        QCOMPARE(AddressBar::addressFor(QStringLiteral(" example.org/long\n-name\t"), search),
                 QStringLiteral("example.org/long-name"));
        QCOMPARE(AddressBar::addressFor(QStringLiteral("two\r\nwords"), search),
                 QStringLiteral("http://127.0.0.1:9/find?q=two%20words"));
        // A template without a place for the words leaves the text as typed.
        QCOMPARE(AddressBar::addressFor(QStringLiteral("quillon"), QStringLiteral("http://x.test/")),
                 QStringLiteral("quillon"));

        FrameFixture f;
        writeHistory("[Main]\nSearch%20Address=http://127.0.0.1:9/find?q=%s\n");
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->clear();
        QTest::keyClicks(bar, QStringLiteral("two words"));
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(f.activeWeb()->navigations, QStringList{QStringLiteral("http://127.0.0.1:9/find?q=two%20words")});
        QVERIFY(InternetSettings::typedUrls().isEmpty()); // a search is no typed address
    }

    void deletingDoesNotCompleteAgain()
    {
        FrameFixture f;
        f.frame->cboAddress->addItem(QStringLiteral("http://a.test/longer"));
        QLineEdit *edit = f.frame->cboAddress->lineEdit();
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        edit->clear();
        QTest::keyClicks(bar, QStringLiteral("http://a.test/"));
        QCOMPARE(edit->text(), QStringLiteral("http://a.test/longer"));
        QTest::keyClick(bar, Qt::Key_Backspace); // removes the completed part
        QCOMPARE(edit->text(), QStringLiteral("http://a.test/"));
        QVERIFY(!edit->hasSelectedText());
        QTest::keyClick(bar, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("http://a.test"));
        QTest::keyClick(bar, Qt::Key_Home);
        QTest::keyClick(bar, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("ttp://a.test"));
        // Typing completes again.
        edit->clear();
        QTest::keyClicks(bar, QStringLiteral("http://a.test/l"));
        QCOMPARE(edit->text(), QStringLiteral("http://a.test/longer"));
    }

    void backgroundPageLeavesTypedTextAlone()
    {
        FrameFixture f;
        ChildWindow *back = f.open(QStringLiteral("http://back.test/"));
        ChildWindow *front = f.open(QStringLiteral("http://front.test/"));
        QCOMPARE(f.frame->windows->activeChild(), front);
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        f.frame->cboAddress->lineEdit()->clear();
        QTest::keyClicks(bar, QStringLiteral("my.typ"));
        FrameFixture::web(back)->complete(QStringLiteral("Back"));
        FrameFixture::web(front)->complete(QStringLiteral("Front"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("my.typ"));
        // Once the user leaves the bar, completions write the active window's address again.
        front->Web1->setFocus();
        QTRY_VERIFY(!f.frame->cboAddress->hasFocus());
        FrameFixture::web(back)->complete(QStringLiteral("Back"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://front.test/"));
        // Focus in the bar without typing: the text still follows the pages.
        QVERIFY(f.focusAddressBar());
        FrameFixture::web(front)->Navigate(QStringLiteral("http://front.test/2"));
        FrameFixture::web(front)->complete(QStringLiteral("Front 2"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://front.test/2"));
    }

    // A link dragged from a page, a file from the file manager, or an address as text:
    // dropped on the bar, the address takes the place of the whole text, ready for Enter.
    void droppedAddressReplacesTheText()
    {
        FrameFixture f;
        ChildWindow *w = f.open(QStringLiteral("http://127.0.0.131:8860/index.html"));
        FrameFixture::web(w)->complete(QStringLiteral("Index"));
        QLineEdit *edit = f.frame->cboAddress->lineEdit();
        QCOMPARE(edit->text(), QStringLiteral("http://127.0.0.131:8860/index.html"));

        QMimeData link;
        link.setUrls({QUrl(QStringLiteral("http://127.0.0.131:8860/two.html"))});
        link.setText(QStringLiteral("LINK TO TWO"));
        QCOMPARE(drop(edit, &link, Qt::CopyAction | Qt::LinkAction), Qt::CopyAction);
        QCOMPARE(edit->text(), QStringLiteral("http://127.0.0.131:8860/two.html"));

        // A file offered to be moved is only copied from: it stays where it was.
        const QString file = QDir::temp().filePath(QStringLiteral("local.html"));
        QMimeData local;
        local.setUrls({QUrl::fromLocalFile(file)});
        local.setText(QUrl::fromLocalFile(file).toString());
        QCOMPARE(drop(edit, &local, Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
        QCOMPARE(edit->text(), QUrl::fromLocalFile(file).toString());

        QMimeData text;
        text.setText(QStringLiteral(" http://127.0.0.131:8860/three.html\n"));
        QCOMPARE(drop(edit, &text, Qt::CopyAction), Qt::CopyAction);
        QCOMPARE(edit->text(), QStringLiteral("http://127.0.0.131:8860/three.html"));

        // Nothing to read as an address: refused, the text stays.
        QMimeData picture;
        picture.setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
        QCOMPARE(drop(edit, &picture, Qt::CopyAction), Qt::IgnoreAction);
        QCOMPARE(edit->text(), QStringLiteral("http://127.0.0.131:8860/three.html"));

        // The dropped address is kept while the page completes, and Enter opens it.
        QTRY_VERIFY(f.frame->cboAddress->hasFocus() || edit->hasFocus());
        FrameFixture::web(w)->complete(QStringLiteral("Index"));
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://127.0.0.131:8860/three.html"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.frame->windows->Tabctr, qint16(2));
        QCOMPARE(f.activeWeb()->navigations, QStringList{QStringLiteral("http://127.0.0.131:8860/three.html")});
    }

    void barFollowsTheActiveWindow()
    {
        FrameFixture f;
        ChildWindow *one = f.open(QStringLiteral("http://one.test/"));
        ChildWindow *two = f.open(QStringLiteral("http://two.test/"));
        ChildWindow *three = f.open(QStringLiteral("http://three.test/"));
        f.frame->tb->click(1);
        QCOMPARE(f.frame->windows->activeChild(), one);
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://one.test/"));
        // Ctrl+Tab goes on in tab order with the tab highlight, wherever the focus is.
        QWidget *bar = f.focusAddressBar();
        QVERIFY(bar);
        QTest::keyClick(bar, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(f.frame->windows->activeChild(), two);
        QCOMPARE(f.frame->tb->selectedIndex(), 2);
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://two.test/"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.frame->windows->activeChild(), three); // wraps round
        QCOMPARE(f.frame->tb->selectedIndex(), 3);
        QCOMPARE(f.frame->addressText(), QStringLiteral("http://three.test/"));
        // Closing the active window shows the address of the one that takes its place.
        three->close();
        QTRY_VERIFY(f.frame->windows->activeChild() && f.frame->windows->activeChild() != three);
        QCOMPARE(f.frame->addressText(), f.frame->windows->activeChild()->Web1->LocationURL());
        // A new window from the menu shows its own (still empty) address, not the last one's.
        f.frame->windows->NewWin();
        QCOMPARE(f.frame->addressText(), QString());
    }
};

QUILLON_TEST_MAIN(TestAddressBar)
#include "tst_addressbar.moc"
