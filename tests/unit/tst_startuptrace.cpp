#include "core/startuptrace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "testenv.h"

#include <QtTest>

#include <ctime>

namespace {
double monotonicNow()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
}

class TestStartupTrace : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnv::failOnUnexpectedWarnings(); }
    void cleanup() { qunsetenv("QUILLON_TRACE_LOG"); }

    // The benchmark lays these lines beside its own CLOCK_MONOTONIC readings, so the
    // times must come from that clock, in order, and each line must stand alone.
    void marksAreLinesOnTheMonotonicClock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.log"));
        qputenv("QUILLON_TRACE_LOG", path.toLocal8Bit());
        const double before = monotonicNow();
        StartupTrace::mark("main");
        StartupTrace::mark("navigate", 7);
        StartupTrace::mark("complete", 0);
        const double after = monotonicNow();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.last().isEmpty());
        const QList<QByteArray> expected = {"main", "navigate 7", "complete 0"};
        double previous = before;
        for (int i = 0; i < 3; ++i) {
            const int space = lines[i].indexOf(' ');
            bool ok = false;
            const double t = lines[i].left(space).toDouble(&ok);
            QVERIFY(ok);
            QVERIFY2(t >= previous - 1e-6 && t <= after + 1e-6, lines[i].constData());
            previous = t;
            QCOMPARE(lines[i].mid(space + 1), expected[i]);
        }
    }

    void nothingIsWrittenWithoutTheVariableOrAWritablePlace()
    {
        QTemporaryDir dir;
        StartupTrace::mark("main");
        QVERIFY(QDir(dir.path()).isEmpty());
        qputenv("QUILLON_TRACE_LOG", dir.filePath(QStringLiteral("missing/trace.log")).toLocal8Bit());
        StartupTrace::mark("main"); // a folder that does not exist: ignored, no crash
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing"))));
    }
};

QTEST_GUILESS_MAIN(TestStartupTrace)
#include "tst_startuptrace.moc"
