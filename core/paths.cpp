#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString xdg(const char *var, const QString &fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(var);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + fallbackUnderHome;
}

QString userFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    return path.isEmpty() ? QDir::homePath() : path;
}
}

namespace Paths {

QString configDir() { return xdg("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QStringLiteral("/Quillon"); }
QString dataDir() { return xdg("XDG_DATA_HOME", QStringLiteral("/.local/share")) + QStringLiteral("/Quillon"); }

QString runtimeDir()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

QString downloadsDir() { return userFolder(QStandardPaths::DownloadLocation); }
QString documentsDir() { return userFolder(QStandardPaths::DocumentsLocation); }

QString programDataDir()
{
    // Beside the executable in a build tree; the installed share folder otherwise.
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(beside + QStringLiteral("/TIPOFDAY.TXT")))
        return beside;
    // An installed tree keeps its data in share/quillon next to bin/, wherever it was installed.
    const QString shared = QDir::cleanPath(beside + QStringLiteral("/../share/quillon"));
    if (QFileInfo(shared).isDir())
        return shared;
#ifdef QUILLON_DATA_INSTALL_DIR
    return QStringLiteral(QUILLON_DATA_INSTALL_DIR);
#else
    return beside;
#endif
}

QString settingsFile() { return configDir() + QStringLiteral("/PellQLN21.ini"); }
QString internetSettingsFile() { return configDir() + QStringLiteral("/internet.ini"); }
QString banListFile() { return dataDir() + QStringLiteral("/blocked.txt"); }
QString favoritesDir() { return dataDir() + QStringLiteral("/Favorites"); }
QString tipsFile() { return programDataDir() + QStringLiteral("/TIPOFDAY.TXT"); }

bool ensureDir(const QString &path)
{
    return QDir().mkpath(path) && QFileInfo(path).isDir();
}

}
