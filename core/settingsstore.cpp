#include "core/settingsstore.h"

#include "core/paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

namespace {

constexpr qint64 abandonedLockMs = 500;
constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;

// QSettings locks the file against other writers, merges our change into what is
// on disk now and replaces the file through a temporary one.
QSettings open(const QString &appKey)
{
    return QSettings(SettingsStore::fileFor(appKey), QSettings::IniFormat);
}

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

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
    const QFileInfo info(fileFor(appKey));
    if (info.exists() && (!info.isFile() || info.size() > MaxFileBytes))
        return defaultValue;
    QSettings settings = open(appKey);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    const QVariant value = settings.value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A value QSettings reads as a list (unquoted commas) is joined back to the text typed.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString GetSetting(const QString &appKey, const QString &section, const QString &key, int defaultValue)
{
    return GetSetting(appKey, section, key, QString::number(defaultValue));
}

bool SaveSetting(const QString &appKey, const QString &section, const QString &key,
                 const QString &value, QString *error)
{
    const QString path = fileFor(appKey);
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Paths::ensureDir(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("The folder %1 cannot be created.").arg(QFileInfo(path).absolutePath()));
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("%1 is not a file.").arg(path));
    if (info.exists() && info.size() > MaxFileBytes)
        return fail(QStringLiteral("%1 is too large to be a settings file and was left as it is.").arg(path));
    if (!info.exists()) {
        // Created private before anything is written to it: it holds personal details.
        QFile create(path);
        if (!create.open(QIODevice::WriteOnly, ownerOnly))
            return fail(QStringLiteral("%1: %2").arg(path, create.errorString()));
    }
    clearAbandonedLock(path);
    QSettings settings = open(appKey);
    // Sections are parsed when first used, and a save writes every one of them back
    // leaving out each line it could not parse (one without '=', say), yet only says
    // so afterwards. Parse them all first, so that a damaged file is left alone.
    settings.allKeys();
    if (settings.status() == QSettings::FormatError)
        return fail(QStringLiteral("%1 is damaged and was left as it is.").arg(path));
    // A file that cannot be read would be replaced by this one value alone.
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("%1 cannot be read and was left as it is.").arg(path));
    settings.setValue(keyPath(section, key), value);
    settings.sync();
    QFile::setPermissions(path, ownerOnly);
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("%1 could not be written.").arg(path));
    return true;
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
