#include "platform/sitedata.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// Matches the name the shared profile is made with.
const QString StorageName = QStringLiteral("Quillon");

// Removes path without following any symbolic link: a link is removed as a link.
bool removeTree(const QString &path, QStringList *left)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir()) {
        if (!info.isSymLink() && !info.exists())
            return true;
        if (QFile::remove(path))
            return true;
        left->append(path);
        return false;
    }
    bool ok = true;
    QDirIterator entries(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext())
        ok = removeTree(entries.next(), left) && ok;
    if (ok && !QDir().rmdir(path)) {
        left->append(path);
        ok = false;
    }
    return ok;
}

// The profile's folders that hold what sites keep; nothing else in it is touched.
QStringList storageFolders()
{
    return {QStringLiteral("Local Storage"), QStringLiteral("Session Storage"), QStringLiteral("IndexedDB"),
            QStringLiteral("Service Worker"), QStringLiteral("databases"),      QStringLiteral("File System"),
            QStringLiteral("blob_storage"),   QStringLiteral("WebStorage"),     QStringLiteral("QuotaManager"),
            QStringLiteral("QuotaManager-journal")};
}

// Removes the storage folders under profile.
bool removeFrom(const QString &profile, QString *error)
{
    QStringList left;
    for (const QString &name : storageFolders())
        removeTree(profile + QLatin1Char('/') + name, &left);
    if (left.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("could not remove %1").arg(left.join(QStringLiteral(", ")));
    return false;
}
}

namespace SiteData {

QString profileFolder()
{
    // The engine's own default: the application's data folder, then QtWebEngine/<name>.
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.") + QCoreApplication::applicationName();
    return base + QStringLiteral("/QtWebEngine/") + StorageName;
}

QString requestFile() { return profileFolder() + QStringLiteral(".delete-site-data"); }

bool requestRemoval(QString *error)
{
    const QString path = requestFile();
    QString why;
    if (!QDir().mkpath(QFileInfo(path).path())) {
        why = QStringLiteral("the folder %1 could not be made").arg(QFileInfo(path).path());
    } else {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)
            || file.write("Sites' data is deleted when Quillon next starts.\n") < 0 || !file.commit())
            why = QStringLiteral("%1: %2").arg(path, file.errorString());
    }
    if (why.isEmpty())
        return true;
    if (error)
        *error = why;
    return false;
}

bool removalRequested()
{
    const QFileInfo request(requestFile());
    return request.exists() || request.isSymLink();
}

namespace {
struct Hold {
    QString path;
    int fd = -1;
};
Hold &held()
{
    static Hold hold;
    return hold;
}
}

QString inUseFile() { return profileFolder() + QStringLiteral(".in-use"); }

bool holdProfile()
{
    Hold &hold = held();
    const QString path = inUseFile();
    if (hold.fd >= 0 && hold.path == path)
        return true;
    if (hold.fd >= 0)
        ::close(hold.fd);
    hold = {};
    QDir().mkpath(QFileInfo(path).path());
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    // Not waiting: a start that holds it alone only deletes a few folders.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    hold = {path, fd};
    return true;
}

bool removeIfRequested(QString *error)
{
    if (!removalRequested())
        return true;
    if (!holdProfile()) {
        if (error)
            *error = QStringLiteral("%1 could not be locked").arg(inUseFile());
        return false;
    }
    // Another copy has the profile open: its files go at a start that holds it alone.
    const int fd = held().fd;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return true;
    bool ok = removeFrom(profileFolder(), error);
    // Gone only once everything went: a failure is tried again at the next start.
    if (ok && !QFile::remove(requestFile())) {
        if (error)
            *error = QStringLiteral("could not remove %1").arg(requestFile());
        ok = false;
    }
    ::flock(fd, LOCK_SH);
    return ok;
}

}
