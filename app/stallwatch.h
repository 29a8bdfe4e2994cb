#pragma once
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

// Measures how late the user-interface thread answers a timer: a timer set every
// interval that fires much later means the event loop was stalled that long.
// The worst stall is kept; with a log file, each stall over the threshold is
// written there as a line "<ms since start> stall <ms>", and the worst so far is
// kept in the file's last "worst" line when the watch ends.
class StallWatch : public QObject
{
    Q_OBJECT
public:
    explicit StallWatch(int intervalMs = 100, QObject *parent = nullptr);
    ~StallWatch() override;

    // Starts a watch logging to the file named by QUILLON_STALL_LOG, when that is set;
    // returns it (owned by parent), or nullptr when the variable is not set.
    static StallWatch *fromEnvironment(QObject *parent);

    bool logTo(const QString &path, int thresholdMs = 200);
    qint64 worstMs() const { return m_worst; }
    void reset() { m_worst = 0; m_last = m_clock.elapsed(); }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_worst = 0;
    int m_interval;
    int m_threshold = 200;
    QFile m_log;
};
