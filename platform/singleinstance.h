#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Tells whether another copy of the programme runs for this user. The first copy
// holds a lock file in the runtime folder for its whole life; a lock left by a
// copy that was killed is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("quillon.lock"));
    ~SingleInstance();
    bool anotherRunning() const { return !m_owner; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_owner = false;
};
