#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Tells whether another copy of the programme runs for this user. The first copy
// holds a lock file in the runtime folder for its whole life; a lock left by a
// copy that was killed is taken over, and so is one that no copy could have
// written (garbage, or a folder in its place).
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("quillon.lock"));
    ~SingleInstance();
    bool anotherRunning() const { return m_anotherRunning; }
    // This copy holds the lock (and so serves the hand-over socket).
    bool owner() const { return m_owner; }
    // Where the running copy takes addresses from later starts: beside the lock.
    QString socketPath() const;

private:
    bool lockUnreadable() const;
    void discardUnreadableLock();

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_owner = false;
    bool m_anotherRunning = false;
};
