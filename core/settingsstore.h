#pragma once
#include <QString>

// The per-user key-value store: application key, section, key, text value.
// Every save is on disk (atomically replaced) before it returns; every read
// sees what another running copy saved last.
namespace SettingsStore {

inline const QString AppKey = QStringLiteral("PellQLN21");

// A store file larger than this is not read: a real one holds a few kilobytes, and
// reading a huge damaged one would stall every read. Reads then give their defaults
// and saves fail, leaving the file as it is for the user to look at.
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

QString GetSetting(const QString &appKey, const QString &section, const QString &key,
                   const QString &defaultValue);
QString GetSetting(const QString &appKey, const QString &section, const QString &key,
                   int defaultValue);
// False when the value could not be written; error then says why.
bool SaveSetting(const QString &appKey, const QString &section, const QString &key,
                 const QString &value, QString *error = nullptr);

// A stored number read as a 16-bit integer; text that is not one gives fallback.
int toInt(const QString &text, int fallback = 0);
bool isInt(const QString &text);

// The file that holds the given application key.
QString fileFor(const QString &appKey);

// A writer killed between making the lock file beside an INI file and writing its
// process id into it leaves an empty lock that the next writer would wait for
// until it grows stale (half a minute, on the user-interface thread). Removes
// such a lock once it is half a second old, waiting out the rest of that half
// second when it is younger; a lock with a process id is left to Qt, which takes
// it over when that process is gone.
void clearAbandonedLock(const QString &iniPath);
}
