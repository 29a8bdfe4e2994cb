#include "core/browsercontrol.h"
#include "httpserver.h"
#include "pagewait.h"
#include "platform/webenginebrowser.h"
#include "testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

namespace {

QByteArray page(const QByteArray &title, const QByteArray &body = QByteArray())
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// Every message box up, modal or not.
QList<QMessageBox *> boxesUp()
{
    QList<QMessageBox *> up;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            up << box;
    return up;
}

}

// The boxes pages put up (alert, confirm, prompt, leaving the page), with the real engine.
class TestPageDialogs : public QObject
{
    Q_OBJECT

    LoopbackServer server;

private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }

    // An alert needs no answer: neither its own page nor another window waits for it.
    void alertHoldsUpNoPage()
    {
        server.setPage("/alert", page("Alert", "<script>alert('one'); alert('two <b>x</b>');"
                                               "document.title = 'Went on';</script>"));
        server.setPage("/other", page("Other"));
        WebEngineBrowser alerting, other;
        alerting.show();
        other.show();
        QSignalSpy otherDone(&other, &BrowserControl::DocumentComplete);

        // Driven from a timer: a box running a loop of its own would hold this function's stack.
        QPointer<QMessageBox> box;
        QElapsedTimer sinceBox;
        int boxCount = 0;
        QString text;
        bool otherLoadedMeanwhile = false, plain = false, finished = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!box) {
                if (boxesUp().isEmpty())
                    return;
                box = boxesUp().first();
                sinceBox.start();
                other.Navigate(server.url(QStringLiteral("/other")));
                return;
            }
            const bool bothOn = otherDone.count() > 0 && alerting.LocationName() == QLatin1String("Went on");
            if (!bothOn && !sinceBox.hasExpired(10000))
                return;
            otherLoadedMeanwhile = bothOn && box->isVisible();
            boxCount = int(boxesUp().size());
            text = box->text();
            plain = box->textFormat() == Qt::PlainText;
            box->done(QMessageBox::Ok);
            watch.stop();
            finished = true;
        });
        watch.start(20);
        alerting.Navigate(server.url(QStringLiteral("/alert")));
        QTRY_VERIFY_WITH_TIMEOUT(finished, 60000);
        QVERIFY(otherLoadedMeanwhile);
        QCOMPARE(boxCount, 1);
        QCOMPARE(text, QStringLiteral("two <b>x</b>"));
        QVERIFY(plain);
    }
};

QUILLON_TEST_MAIN(TestPageDialogs)
#include "tst_pagedialogs.moc"
