#include "platform/singleinstance.h"

#include "core/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace {
// A copy starting this instant has made its lock but not yet written it: it gets this long.
constexpr qint64 UnwrittenLockGraceMs = 1000;
}

SingleInstance::SingleInstance(const QString &name)
    : m_path(Paths::runtimeDir() + QLatin1Char('/') + name), m_lock(std::make_unique<QLockFile>(m_path))
{
    m_lock->setStaleLockTime(0);
    m_owner = m_lock->tryLock(0);
    if (!m_owner && lockUnreadable()) {
        discardUnreadableLock();
        m_owner = m_lock->tryLock(0);
        // A lock that can be neither read nor removed says nothing about another copy.
        m_anotherRunning = !m_owner && !lockUnreadable();
        return;
    }
    m_anotherRunning = !m_owner;
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const
{
    const QFileInfo lock(m_path);
    return lock.absolutePath() + QLatin1Char('/') + lock.completeBaseName() + QStringLiteral(".socket");
}

bool SingleInstance::lockUnreadable() const
{
    qint64 pid = 0;
    QString host, application;
    if (m_lock->getLockInfo(&pid, &host, &application))
        return false;
    const QFileInfo info(m_path);
    if (!info.exists() || info.isDir())
        return true;
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    return qAbs(age) > UnwrittenLockGraceMs;
}

void SingleInstance::discardUnreadableLock()
{
    const QFileInfo info(m_path);
    if (info.isDir()) {
        QDir().rmdir(m_path); // an empty folder only: whatever a full one holds is not ours to delete
        return;
    }
    // Qt's own removal refuses a file another process holds locked; one we cannot even open cannot be held.
    if (!m_lock->removeStaleLockFile() && info.exists() && !info.isReadable())
        QFile::remove(m_path);
}
