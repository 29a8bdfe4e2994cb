#include "app/mdiform1.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "core/paths.h"
#include "core/settingsstore.h"
#include "favorites/addfavoritedialog.h"
#include "framefixture.h"
#include "httpserver.h"
#include "platform/internetsettings.h"
#include "platform/logindialog.h"
#include "platform/tabstrip.h"
#include "popups/webpopup.h"
#include "sites/form2.h"
#include "sites/startuploading.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QByteArray page(const QByteArray &title) { return "<html><head><title>" + title + "</title></head><body>" + title + "</body></html>"; }
}

// Addresses as people bring them to the programme: pasted from mails and documents.
class TestAddressesE2E : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempHome> m_home;
    mdiform1 *m_frame = nullptr;

    // Pastes text into the focused widget over whatever it holds, as Ctrl+V does.
    static void pasteInto(QWidget *focused, QLineEdit *edit, const QString &text)
    {
        QApplication::clipboard()->setText(text);
        edit->selectAll();
        QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
    }
    QWidget *focusAddressBar()
    {
        m_frame->activateWindow();
        m_frame->cboAddress->setFocus(Qt::MouseFocusReason);
        if (!QTest::qWaitFor([this] { return m_frame->cboAddress->hasFocus(); }))
            return nullptr;
        return QApplication::focusWidget();
    }

private Q_SLOTS:
    void init()
    {
        TestEnv::failOnUnexpectedWarnings();
        QVERIFY((m_frame = FrameFixture::newEngineFrameAtHome(m_home)));
    }
    void cleanup()
    {
        Dialogs::setLoginHook({});
        delete Form2::current();
        FrameFixture::deleteFrame(m_frame);
        m_home.reset();
    }

    // A mail wraps a long address over lines and indents it; what is loaded and
    // remembered is the address without the breaks, from the bar and from a start-up slot.
    void wrappedAddressLoadsWhatWasMeant()
    {
        LoopbackServer server(QStringLiteral("127.0.0.73"));
        server.setPage("/p3.html", page("Third"));
        const QString wanted = server.url(QStringLiteral("/p3.html"));
        const QString wrapped = QStringLiteral("  ") + server.url(QStringLiteral("/p3")) + QStringLiteral("\r\n\t.html \n");

        QWidget *bar = focusAddressBar();
        QCOMPARE(bar, m_frame->cboAddress);
        pasteInto(bar, m_frame->cboAddress->lineEdit(), wrapped);
        QVERIFY(m_frame->cboAddress->currentText().contains(QLatin1Char('\n')));
        QTest::keyClick(bar, Qt::Key_Return);
        ChildWindow *fromBar = m_frame->windows->activeChild();
        QVERIFY(fromBar);
        QTRY_COMPARE_WITH_TIMEOUT(fromBar->Web1->LocationName(), QStringLiteral("Third"), 30000);
        QCOMPARE(fromBar->Web1->LocationURL(), wanted);
        QCOMPARE(m_frame->addressText(), wanted);
        QCOMPARE(InternetSettings::typedUrls(), QStringList{wanted});

        // The slot keeps the text as it was pasted; the next start loads the address.
        Form2 *options = Form2::showOptions(m_frame);
        for (int slot = 2; slot <= 8; ++slot)
            options->check(slot)->setChecked(false);
        options->site(1)->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(options->site(1)->hasFocus());
        pasteInto(QApplication::focusWidget(), options->site(1), wrapped);
        QTest::mouseClick(options->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        QTRY_VERIFY(!Form2::current());
        QCOMPARE(SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("sone"), QString()),
                 wrapped);
        StartupLoading::LoadSites(m_frame->windows);
        ChildWindow *fromSlot = m_frame->windows->slotWindows.at(1);
        QVERIFY(fromSlot && fromSlot != fromBar);
        QTRY_COMPARE_WITH_TIMEOUT(fromSlot->Web1->LocationURL(), wanted, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(server.count("/p3.html"), 2, 30000);
        for (const LoopbackServer::Request &r : server.requests()) // nothing under a broken name
            QVERIFY2(!r.path.startsWith("/p3") || r.path == "/p3.html", r.path.constData());
    }

    // The password of a user:password@ address opens the page and is then nowhere to be
    // read: not on screen, not in the history, not in a favourite; reloading still gets in.
    void passwordServesTheLoadOnly()
    {
        const QString secret = QStringLiteral("pa55word");
        LoopbackServer server(QStringLiteral("127.0.0.73"));
        int admitted = 0;
        server.setHandler("/p3.html", [&](const LoopbackServer::Request &r) {
            LoopbackServer::Response res;
            if (r.headers.value("authorization") == "Basic " + QByteArray("user:pa55word").toBase64()) {
                ++admitted;
                res.body = "<html><body>Members only</body></html>"; // untitled: the engine names it
            } else {
                res.status = 401;
                res.headers.append(std::make_pair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"m\"")));
            }
            return res;
        });
        int boxes = 0;
        Dialogs::setLoginHook([&](const Dialogs::Login &, QString *, QString *) { ++boxes; return false; });
        const QString withUser = QStringLiteral("http://user@127.0.0.73:%1/p3.html").arg(server.port());

        QWidget *bar = focusAddressBar();
        QVERIFY(bar);
        pasteInto(bar, m_frame->cboAddress->lineEdit(),
                  QStringLiteral("http://user:%1@127.0.0.73:%2/p3.html").arg(secret).arg(server.port()));
        QTest::keyClick(bar, Qt::Key_Return);
        ChildWindow *w = m_frame->windows->activeChild();
        QVERIFY(w);
        QTRY_COMPARE_WITH_TIMEOUT(admitted, 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(w->Web1->LocationURL(), withUser, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->Web1->isLoading(), 30000);
        QCOMPARE(m_frame->addressText(), withUser);
        QCOMPARE(InternetSettings::typedUrls(), QStringList{withUser});

        // A favourite made from the page, as the menu makes it.
        m_frame->action(QStringLiteral("AddtoFavs"))->trigger();
        auto *add = m_frame->findChild<AddFavoriteDialog *>();
        QVERIFY(add && add->isVisible());
        QCOMPARE(add->url(), withUser);
        add->cmdOK->click();
        QVERIFY(QFile::exists(add->savedPath()));

        // Reloading asks the engine, which kept the credentials it was given.
        w->Web1->Refresh();
        QTRY_COMPARE_WITH_TIMEOUT(admitted, 2, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->Web1->isLoading(), 30000);
        QCOMPARE(boxes, 0);

        QStringList shown;
        for (QWidget *widget : QApplication::allWidgets()) {
            shown << widget->windowTitle() << widget->toolTip();
            if (auto *edit = qobject_cast<QLineEdit *>(widget))
                shown << edit->text();
            if (auto *label = qobject_cast<QLabel *>(widget))
                shown << label->text();
            if (auto *combo = qobject_cast<QComboBox *>(widget))
                for (int i = 0; i < combo->count(); ++i)
                    shown << combo->itemText(i);
        }
        for (int tab = 1; tab <= m_frame->tb->count(); ++tab)
            shown << m_frame->tb->caption(tab) << m_frame->tb->toolTip(tab);
        shown << w->Web1->LocationName() << w->Web1->LocationURL();
        for (const QString &text : shown)
            QVERIFY2(!text.contains(secret), qPrintable(text));
        for (const QString &dir : {Paths::configDir(), Paths::favoritesDir()}) {
            QDirIterator files(dir, QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY2(!file.readAll().contains(secret.toLatin1()), qPrintable(file.fileName()));
            }
        }
    }
    // A page saved on this machine, opened by typing its path, still shows itself whole
    // from the files beside it, but reads no other file and sends nothing out; nor does
    // it when another saved page opens it in a new window, in the frame or outside it.
    void aLocalPageKeepsToItsOwnFiles()
    {
        LoopbackServer server(QStringLiteral("127.0.0.73"));
        const QDir root(m_home->path());
        QVERIFY(root.mkpath(QStringLiteral("saved/page")));
        const auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile file(root.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write(QStringLiteral("saved/secret.txt"), "the secret");
        write(QStringLiteral("saved/page/pic.png"), LoopbackServer::picture(Qt::red));
        write(QStringLiteral("saved/page/style.css"), "body { color: rgb(1, 2, 3); }");
        write(QStringLiteral("saved/page/app.js"), "var ownScript = 'ran';");
        write(QStringLiteral("saved/page/part.html"), "<p>part</p>");
        write(QStringLiteral("saved/page/index.html"), QByteArray(R"(<html><head>
<link rel=stylesheet href="style.css"><script src="app.js"></script></head><body>
<img id=pic src="pic.png"><iframe id=part src="part.html"></iframe><iframe id=text src="../secret.txt"></iframe>
<script>
var found = [];
function read(name, body) { found.push(name + ':' + (String(body).indexOf('the secret') >= 0 ? 'read' : 'no')); }
try { var x = new XMLHttpRequest(); x.open('GET', '../secret.txt', false); x.send(); read('xhr', x.responseText); }
catch (e) { read('xhr', ''); }
var closed = new Promise(function (done) {
  try { var ws = new WebSocket('ws://)") + server.host().toLatin1() + ':' + QByteArray::number(server.port()) + QByteArray(R"(/ws'); ws.onclose = done; }
  catch (e) { done(); }
});
window.onload = function () {
  var frame = '';
  try { frame = document.getElementById('text').contentDocument.body.innerText; } catch (e) {}
  read('frame', frame);
  var own = 'own:' + (document.getElementById('pic').naturalWidth === 16) + ',' + (window.ownScript === 'ran') + ','
      + (getComputedStyle(document.body).color === 'rgb(1, 2, 3)') + ','
      + (document.getElementById('part').contentDocument.body.innerText === 'part');
  fetch('../secret.txt').then(function (r) { return r.text(); }).catch(function () { return ''; })
    .then(function (t) { read('fetch', t); return closed; }).then(function () { document.title = 'done ' + own + ' ' + found.join(' '); });
};
</script></body></html>)"));

        QWidget *bar = focusAddressBar();
        QCOMPARE(bar, m_frame->cboAddress);
        pasteInto(bar, m_frame->cboAddress->lineEdit(), root.filePath(QStringLiteral("saved/page/index.html")));
        QTest::keyClick(bar, Qt::Key_Return);
        ChildWindow *window = m_frame->windows->activeChild();
        QVERIFY(window);
        const QString keptToItsOwn = QStringLiteral("done own:true,true,true,true xhr:no frame:no fetch:no");
        QTRY_VERIFY_WITH_TIMEOUT(window->Web1->LocationName().startsWith(QLatin1String("done")), 30000);
        QCOMPARE(window->Web1->LocationName(), keptToItsOwn);

        write(QStringLiteral("saved/page/opener.html"),
              "<html><head><title>opener</title></head><body><script>window.open('index.html');</script></body></html>");
        const QString opener = QUrl::fromLocalFile(root.filePath(QStringLiteral("saved/page/opener.html"))).toString();
        window->Web1->Navigate(opener);
        QList<webPopup *> popups;
        QTRY_VERIFY_WITH_TIMEOUT(!(popups = m_frame->findChildren<webPopup *>()).isEmpty(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(popups.first()->Web1->LocationName().startsWith(QLatin1String("done")), 30000);
        QCOMPARE(popups.first()->Web1->LocationName(), keptToItsOwn);

        m_frame->action(QStringLiteral("Internally"))->setChecked(true);
        window->Web1->Navigate(opener + QStringLiteral("?outside"));
        std::unique_ptr<QWidget> outside;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     for (QWidget *w : QApplication::topLevelWidgets())
                                         if (!outside && w->objectName() == QLatin1String("outsideWindow"))
                                             outside.reset(w);
                                     return bool(outside);
                                 }()),
                                 30000);
        auto *outsideWeb = qobject_cast<BrowserControl *>(outside.get());
        QVERIFY(outsideWeb);
        QTRY_VERIFY_WITH_TIMEOUT(outsideWeb->LocationName().startsWith(QLatin1String("done")), 30000);
        QCOMPARE(outsideWeb->LocationName(), keptToItsOwn);
        QCOMPARE(server.requests().size(), 0);
    }

};

QUILLON_TEST_MAIN(TestAddressesE2E)
#include "tst_addresses_e2e.moc"
