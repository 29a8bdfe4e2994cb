#pragma once
#include <QString>
#include <QStringList>

// The ban list: addresses that may not stay open in a popup window, kept in
// blocked.txt in the user's data folder and read from disk on every use.
//
// File format: one entry per line (CR LF written, LF or CR alone read too). Read as
// fields: a field ends at a comma or a line end; a field that starts with a double
// quote runs to the next double quote (or the line end) and loses its quotes.
// Blanks around an unquoted field and empty fields are dropped. Text is UTF-8, or the
// Windows code page in older lists, or UTF-16 when the file starts with its byte-order mark;
// a save keeps the encoding the file had.

// Reading stops after this many bytes or entries: a real list holds tens to a few
// thousand addresses, and a damaged or hostile file must not stall a popup or the dialog.
constexpr qint64 MaxBanListBytes = 4 * 1024 * 1024;
constexpr int MaxBanListEntries = 50000;

// The ban list's word on an address: no list to go by (empty or unreadable), not
// banned ("YES" in the old verdict's words), or banned ("NO").
enum class BanVerdict { NoList, NotBanned, Banned };

// Compares the address with every entry, ignoring case.
BanVerdict CheckBanList(const QString &address);

// Every entry in file order; empty when the file is missing or unreadable.
// ok (when given) is false only when a file is there but could not be read, or holds
// NUL characters (it is then not text this reader understands); partial
// (when given) is true when the file goes on past the limits above and was cut.
QStringList ReadBanList(bool *ok = nullptr, QString *error = nullptr, bool *partial = nullptr);

// Replaces the file with the entries, one a line. Entries holding a comma or
// surrounding blanks are quoted so that they read back whole. False with a reason
// when the file could not be written; the old file is then left as it was.
bool WriteBanList(const QStringList &entries, QString *error = nullptr);

// The field reader on its own, for text already in memory; cut (when given) is true
// when entries past the limit were left out.
QStringList parseBanList(const QByteArray &data, bool *cut = nullptr);
