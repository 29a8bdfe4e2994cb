#pragma once
#include <QString>

// Where Quillon keeps its files on a Linux desktop (XDG locations).
namespace Paths {
QString configDir();        // $XDG_CONFIG_HOME/Quillon
QString dataDir();          // $XDG_DATA_HOME/Quillon
QString runtimeDir();       // $XDG_RUNTIME_DIR (or a private temp folder)
QString downloadsDir();     // the user's download folder (or home)
QString documentsDir();     // the user's documents folder (or home)
QString programDataDir();   // read-only data shipped with the programme
QString settingsFile();     // the settings store
QString internetSettingsFile();
QString banListFile();
QString favoritesDir();
QString tipsFile();
// Makes the folder (and its parents) if missing; true when it exists afterwards.
bool ensureDir(const QString &path);
}
