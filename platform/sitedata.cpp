#include "platform/sitedata.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

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

bool removeIfRequested(QString *error)
{
    if (!removalRequested())
        return true;
    if (!removeFrom(profileFolder(), error))
        return false;
    // Gone only once everything went: a failure is tried again at the next start.
    if (QFile::remove(requestFile()))
        return true;
    if (error)
        *error = QStringLiteral("could not remove %1").arg(requestFile());
    return false;
}

}
