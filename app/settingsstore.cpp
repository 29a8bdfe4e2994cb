#include "app/settingsstore.h"

#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

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

QString GetSetting(const QString &appKey, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const QFileInfo info(fileFor(appKey));
    if (info.exists() && !info.isFile())
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
    if (!info.exists()) {
        // Created private before anything is written to it: it holds personal details.
        QFile create(path);
        if (!create.open(QIODevice::WriteOnly, ownerOnly))
            return fail(QStringLiteral("%1: %2").arg(path, create.errorString()));
    }
    QSettings settings = open(appKey);
    if (settings.status() == QSettings::FormatError)
        return fail(QStringLiteral("%1 is damaged and was left as it is.").arg(path));
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
