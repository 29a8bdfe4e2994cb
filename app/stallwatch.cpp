#include "app/stallwatch.h"

StallWatch::StallWatch(int intervalMs, QObject *parent) : QObject(parent), m_interval(intervalMs)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StallWatch::tick);
    m_clock.start();
    m_timer.start();
}

StallWatch::~StallWatch()
{
    if (m_log.isOpen()) {
        m_log.write(QByteArray::number(m_clock.elapsed()) + " worst " + QByteArray::number(m_worst) + '\n');
        m_log.close();
    }
}

StallWatch *StallWatch::fromEnvironment(QObject *parent)
{
    const QString path = qEnvironmentVariable("QUILLON_STALL_LOG");
    if (path.isEmpty())
        return nullptr;
    auto *watch = new StallWatch(100, parent);
    watch->logTo(path);
    return watch;
}

bool StallWatch::logTo(const QString &path, int thresholdMs)
{
    m_threshold = thresholdMs;
    m_log.setFileName(path);
    return m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void StallWatch::tick()
{
    const qint64 now = m_clock.elapsed();
    const qint64 late = now - m_last - m_interval;
    m_last = now;
    if (late > m_worst)
        m_worst = late;
    if (late >= m_threshold && m_log.isOpen())
        m_log.write(QByteArray::number(now) + " stall " + QByteArray::number(late) + '\n');
}
