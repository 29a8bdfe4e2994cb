#pragma once

class BrowserControl;

// The "&Edit" menu on the active window's browser control; each does nothing without one.
namespace EditCommands {
void mnu_Cut(BrowserControl *web);
void mnu_Copy(BrowserControl *web);
void mnu_paste(BrowserControl *web);
void mnu_SelAll(BrowserControl *web);
// "Find (On this page)...": the control's find dialog.
void mnu_find(BrowserControl *web);
}
