#pragma once
#include "app/processstate.h"

#include <QString>
#include <QStringList>
#include <functional>

// The ban list: addresses that may not stay open in a popup window, kept in
// blocked.txt in the user's data folder and read from disk on every use.
//
// File format: one entry per line (CR LF written, LF or CR alone read too). Read as
// fields: a field ends at a comma or a line end; a field that starts with a double
// quote runs to the next double quote (or the line end) and loses its quotes.
// Blanks around an unquoted field and empty fields are dropped.

// Reading stops after this many bytes or entries: a real list holds tens of
// addresses, and a damaged or hostile file must not stall a popup or the dialog.
constexpr qint64 MaxBanListBytes = 1024 * 1024;
constexpr int MaxBanListEntries = 10000;

// What a match does to the main frame; the frame installs it once at start.
struct BanFrameHooks {
    std::function<void(const QString &caption)> setPopStatCaption;
    std::function<bool()> frameHidden; // the frame's Status is "MIN"
    std::function<void()> hideToTray;
};
void setBanFrameHooks(BanFrameHooks hooks);

// True when the list has entries and none equals the address (ignoring case); false
// when one does or the list is empty or unreadable. Sets ProcessState::PopupVerdict:
// "YES" for a non-empty list without a match, "NO" (and tells the frame) for a match,
// and leaves it as it was for an empty list.
bool CheckBanList(const QString &address);

// Every entry in file order; empty when the file is missing or unreadable.
// ok (when given) is false only when a file is there but could not be read.
QStringList ReadBanList(bool *ok = nullptr, QString *error = nullptr);

// Replaces the file with the entries, one a line. Entries holding a comma or
// surrounding blanks are quoted so that they read back whole. False with a reason
// when the file could not be written; the old file is then left as it was.
bool WriteBanList(const QStringList &entries, QString *error = nullptr);

// The field reader on its own, for text already in memory.
QStringList parseBanList(const QByteArray &data);
