#pragma once
#include <QString>

class QWidget;

namespace Keystrokes {
// Sends each character of text to target as a key press and release carrying that
// character, so it arrives as typed: no character is read as a key command.
void typeInto(QWidget *target, const QString &text);
}
