#include "tools/editcommands.h"

#include "core/browsercontrol.h"
#include "tools/finddialog.h"

namespace {
void exec(BrowserControl *web, BrowserControl::Command command)
{
    if (web)
        web->ExecWB(command, BrowserControl::OptDoDefault);
}
}

namespace EditCommands {
void mnu_Cut(BrowserControl *web) { exec(web, BrowserControl::CmdCut); }
void mnu_Copy(BrowserControl *web) { exec(web, BrowserControl::CmdCopy); }
void mnu_paste(BrowserControl *web) { exec(web, BrowserControl::CmdPaste); }
void mnu_SelAll(BrowserControl *web) { exec(web, BrowserControl::CmdSelectAll); }

void mnu_find(BrowserControl *web)
{
    if (web)
        FindDialog::showFor(web);
}
}
