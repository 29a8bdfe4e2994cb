#pragma once
#include <QString>

class QWidget;

namespace Keystrokes {
// Sends each character of text to target as a key press and release carrying that
// character, so it arrives as typed: no character is read as a key command. A text
// longer than a few hundred characters, or holding a tab or a line break, arrives as
// input-method text instead.
void typeInto(QWidget *target, const QString &text);
}
