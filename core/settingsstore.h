#pragma once
#include <QString>

#include <functional>

class IniFile;

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

// A change to an INI file made under its lock on what is on disk now. A file that is
// damaged, cannot be read or is too large is never written: false, and error says why.
// Lines the change does not touch keep their bytes; an unchanged file is not written.
bool modifyFile(const QString &path, const std::function<void(IniFile &)> &change, QString *error = nullptr);

// What is wrong with the INI file at path, in a sentence naming it, or empty text when
// it is sound or absent. Tightens a file that others may read to its owner alone.
QString checkFile(const QString &path);

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
