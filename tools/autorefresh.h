#pragma once
#include <QLocale>
#include <QString>

class ChildWindow;
class QWidget;

// Per-window automatic reload through the window's `AutoRefreshMe` timer.
// The timer counts as switched on even when its period is 0, which never fires.
namespace AutoRefresh {

// The command "Auto-Refresh" (and the "R" key): asks, then arms or stops the
// active window's timer. dialogParent parents the boxes.
void RefreshIT(ChildWindow *active, QWidget *dialogParent = nullptr);

// Seconds as typed (the locale's decimal separator, or a point) to a period in
// milliseconds; 0 when the text is not a number or falls outside 1-65,535 ms.
int periodFromAnswer(const QString &answer, const QLocale &locale = QLocale());

// Switches the window's timer on with this period (0: on, but never fires), or off.
void switchOn(ChildWindow *window, int periodMs);
void switchOff(ChildWindow *window);

bool isOn(const ChildWindow *window);
// The period the timer holds: 0 when switched on without a usable answer.
int period(const ChildWindow *window);
}
