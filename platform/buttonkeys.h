#pragma once

class QWidget;

// Dialogs that give Enter no default button, so that Enter in a text box saves
// nothing by surprise, still let Return and Enter press the button that has the
// focus, as Space does.
namespace ButtonKeys {
// Applies to every push button inside the dialog when called.
void enterPressesFocusedButton(QWidget *dialog);
}
