#pragma once
#include <QString>

// A file system of its own, small enough to fill: a tmpfs mounted for a test, which needs
// root (mounted() says whether it is there); unmounted again when the object goes.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &where, int kilobytes = 256);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    // Writes a new file of that name until the disk takes no more.
    void fill(const QString &name) const;

private:
    QString m_path;
    bool m_mounted = false;
};
