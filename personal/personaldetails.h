#pragma once
#include <QString>
#include <QStringList>
#include <array>

// The user's own contact details: eleven free-text fields kept in section
// "personal" of the settings store, stored exactly as typed.
namespace PersonalDetails {

struct Field {
    const char *key;       // store key
    const char *label;     // label in the dialog
    const char *box;       // the dialog's text box
    const char *item;      // the "&Personal" menu item that types it
    const char *caption;   // that item's caption
};

inline constexpr int Count = 11;
extern const std::array<Field, Count> fields;

inline const QString Section = QStringLiteral("personal");

// The stored value of field i (0-based, in the order above); "" when missing.
QString read(int i);
// All eleven stored values, in field order.
QStringList readAll();
// Writes field i; false with the reason in *error when it cannot be written.
bool write(int i, const QString &value, QString *error = nullptr);
// Writes field i only when its key is absent, so a value saved meanwhile by another
// running copy is kept; false with the reason in *error when it cannot be written.
bool writeIfAbsent(int i, const QString &value, QString *error = nullptr);
}
