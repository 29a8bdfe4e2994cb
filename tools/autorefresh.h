#pragma once
#include "tools/refreshperiod.h"

class ChildWindow;
class QWidget;

// Per-window automatic reload through the window's `AutoRefreshMe` timer.
// The timer counts as switched on even when its period is 0, which never fires.
namespace AutoRefresh {

// The command "Auto-Refresh" (and the "R" key): asks, then arms or stops the
// active window's timer. dialogParent parents the boxes.
void RefreshIT(ChildWindow *active, QWidget *dialogParent = nullptr);

// Switches the window's timer on with this period (0: on, but never fires), or off.
void switchOn(ChildWindow *window, int periodMs);
void switchOff(ChildWindow *window);

bool isOn(const ChildWindow *window);
// The period the timer holds: 0 when switched on without a usable answer.
int period(const ChildWindow *window);
}
