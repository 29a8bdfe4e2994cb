#pragma once
#include <QString>

// Internet-shortcut files (*.url): an INI section "InternetShortcut" with a key "URL".
namespace ShortcutFile {

// Reads one value the way the desktop's private-profile reader does: section and key
// matched without regard to case, the value is the rest of its line (trimmed, one pair
// of enclosing quotes dropped) and at most maxChars - 1 characters. Commas, semicolons
// and backslashes in values are plain text. The empty text when the file, the section
// or the key is missing or unreadable; only regular files are opened, and at most
// the first few megabytes of them are looked at.
QString readValue(const QString &path, const QString &section, const QString &key, int maxChars = 2048);

// The longest address a shortcut keeps: the longest the engine loads.
inline constexpr int MaxUrlChars = 2 * 1024 * 1024;

// The address a shortcut file points at ("InternetShortcut"/"URL"), whole up to MaxUrlChars.
QString readUrl(const QString &path);

// The address to open for one the user gave (typed, a start-up site, the command line):
// a shortcut file on this machine stands for the address it holds, as in the favourites.
// Anything else, and a shortcut that holds no address, is given back as it is.
QString addressToOpen(const QString &address);

// Writes a shortcut file atomically; line breaks in the address are dropped so that it
// cannot add keys of its own. False when the file could not be written, or the address
// is longer than MaxUrlChars and would not be read back whole.
bool writeUrl(const QString &path, const QString &url);

}
