#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

SmallDisk::SmallDisk(const QString &where, int kilobytes) : m_path(where)
{
    QDir().mkpath(where);
    m_mounted = geteuid() == 0
        && QProcess::execute(QStringLiteral("mount"),
                             {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                              QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), where})
            == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_path});
}

void SmallDisk::fill(const QString &name) const
{
    QFile f(m_path + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (f.write(block) == block.size()) {
    }
}
