#pragma once
#include <QString>
#include <functional>

class BrowserControl;
class QWidget;

// The "&File" menu's print commands on the active window's browser control.
namespace Printing {

// Writes a line to the frame's status bar.
using Status = std::function<void(const QString &)>;

// "Page &Setup...": the control's page setup; later prints use what it chose.
void mnu_PageSetup(BrowserControl *web);
// "&Print...": the print dialog for the page, then prints as chosen there.
void Print(BrowserControl *web, QWidget *dialogParent, Status status);
// "Print &All Open Windows" (and the "P" key): asks for every open window in
// opening order and prints those answered Yes without a dialog, one after another.
void PrintAll(QWidget *dialogParent, Status status);
}
