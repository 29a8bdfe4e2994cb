#include "platform/singleinstance.h"

#include "core/paths.h"

#include <QLockFile>

SingleInstance::SingleInstance(const QString &name)
    : m_lock(std::make_unique<QLockFile>(Paths::runtimeDir() + QLatin1Char('/') + name))
{
    m_lock->setStaleLockTime(0);
    m_owner = m_lock->tryLock(0);
}

SingleInstance::~SingleInstance() = default;
