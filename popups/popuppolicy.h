#pragma once

class BrowserControl;
class ChildWindow;
class mdiform1;

// The popup control's part of the main frame: what happens when a page asks for a
// new window, what a banned popup does to the frame, and the ban list dialog.
namespace Popups {

// Wires it all into the frame once: the new-window handler, the frame updates of a
// ban, "Block PopUps Permanently..." and the popStat button. Safe to call again.
void install(mdiform1 *frame);

// The new-window policy: refuse (EnDiBoxes off, or a flood), leave the window to the
// browser component (Internally on), or open a webPopup with its own tab in the frame.
void NewWindowRequest(mdiform1 *frame, ChildWindow *from, BrowserControl **target, bool *cancel);

// Opens the ban list dialog modally over the frame, proposing the address bar's text.
void showBanList(mdiform1 *frame);
}
