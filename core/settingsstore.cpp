#include "core/settingsstore.h"

#include "core/inifile.h"
#include "core/paths.h"
#include "core/wholefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace {

constexpr qint64 abandonedLockMs = 500;
constexpr int lockWaitMs = 10000;
constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;

}

namespace SettingsStore {

QString fileFor(const QString &appKey)
{
    QString safe = appKey;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return Paths::configDir() + QLatin1Char('/') + safe + QStringLiteral(".ini");
}

void clearAbandonedLock(const QString &iniPath)
{
    for (const QString &lock : {iniPath + QStringLiteral(".lock"), iniPath + QStringLiteral(".lock.rmlock")}) {
        QFileInfo info(lock);
        if (!info.isFile() || info.size() > 0)
            continue;
        // A live writer fills its lock at once; one still empty after half a second never will.
        const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
        if (age >= 0 && age < abandonedLockMs) {
            QThread::msleep(ulong(abandonedLockMs - age));
            info.refresh();
            if (!info.isFile() || info.size() > 0)
                continue;
        }
        QFile::remove(lock);
    }
}

QString GetSetting(const QString &appKey, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const IniFile file = IniFile::cached(fileFor(appKey), MaxFileBytes);
    // A damaged file still gives the values it holds; only its saves are refused.
    return file.value(section, key).value_or(defaultValue);
}

QString GetSetting(const QString &appKey, const QString &section, const QString &key, int defaultValue)
{
    return GetSetting(appKey, section, key, QString::number(defaultValue));
}

bool modifyFile(const QString &path, const std::function<void(IniFile &)> &change, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!Paths::ensureDir(folder))
        return fail(QStringLiteral("The folder %1 cannot be created.").arg(folder));
    clearAbandonedLock(path);
    // The lock QSettings takes too, so that older copies of the programme wait for this one.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError)
            return fail(QStringLiteral("%1 is being written by another program; try again.").arg(path));
        // The lock beside the file could not even be made: nothing can be written there.
        return fail(QStringLiteral("%1 could not be written: its folder is read-only or full, or you have "
                                   "no permission to write there.").arg(path));
    }
    IniFile file = IniFile::load(path, MaxFileBytes);
    if (file.state() == IniFile::State::Damaged)
        return fail(QStringLiteral("%1 is damaged (%2) and was left as it is.").arg(path, file.problem()));
    if (file.state() == IniFile::State::Unreadable)
        return fail(QStringLiteral("%1 cannot be read (%2) and was left as it is.").arg(path, file.problem()));
    change(file);
    if (!file.changed())
        return true;
    // Private from the start: the file holds personal details.
    QString why;
    if (!WholeFile::replace(path, file.bytes(), &why, ownerOnly))
        return fail(QStringLiteral("%1 could not be written: %2").arg(path, why));
    QFile::setPermissions(path, ownerOnly);
    return true;
}

bool SaveSetting(const QString &appKey, const QString &section, const QString &key,
                 const QString &value, QString *error)
{
    return modifyFile(fileFor(appKey), [&](IniFile &file) { file.setValue(section, key, value); }, error);
}

QString checkFile(const QString &path)
{
    const IniFile file = IniFile::cached(path, MaxFileBytes);
    // Made by another tool with the usual mode: it holds personal details all the same.
    const QFileInfo info(path);
    if (info.isFile() && !info.isSymLink()
        && (info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)))
        QFile::setPermissions(path, ownerOnly);
    switch (file.state()) {
    case IniFile::State::Missing:
    case IniFile::State::Ok:
        return QString();
    case IniFile::State::Damaged:
        return QStringLiteral("The settings file %1 is damaged: %2. Quillon uses the settings it can read "
                              "from it and the defaults for the rest, and leaves the file as it is: "
                              "changes to these settings are not saved until the file is mended or "
                              "removed. To keep it, copy it elsewhere first (to %1.bak, say).")
            .arg(path, file.problem());
    case IniFile::State::Unreadable:
        break;
    }
    // Only the main store's defaults decide which sites load.
    const QString defaults = path == Paths::settingsFile() ? QStringLiteral("the default settings (which load the built-in sites)")
                                                           : QStringLiteral("the default settings");
    return QStringLiteral("The settings file %1 cannot be used: %2. Quillon uses %3 and leaves the file "
                          "as it is: changes to these settings are not saved until it is mended or "
                          "removed. To keep it, copy it elsewhere first (to %1.bak, say).")
        .arg(path, file.problem(), defaults);
}

bool isInt(const QString &text)
{
    bool ok = false;
    text.trimmed().toShort(&ok);
    return ok;
}

int toInt(const QString &text, int fallback)
{
    bool ok = false;
    const short n = text.trimmed().toShort(&ok);
    return ok ? n : fallback;
}

}
