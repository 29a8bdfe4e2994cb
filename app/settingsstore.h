#pragma once
#include <QString>

// The per-user key-value store: application key, section, key, text value.
// Every save is on disk (atomically replaced) before it returns; every read
// sees what another running copy saved last.
namespace SettingsStore {

inline const QString AppKey = QStringLiteral("PellQLN21");

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
}
