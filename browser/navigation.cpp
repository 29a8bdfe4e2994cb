#include "browser/navigation.h"

#include "app/browsercontrol.h"
#include "app/mdiform1.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "platform/dialogs.h"

namespace {

// Runs one navigation call on the active window; false when there was none.
bool call(mdiform1 *frame, const QString &what, BrowserControl::HResult *result)
{
    ChildWindow *active = frame->activeChild();
    if (!active)
        return false;
    BrowserControl *web = active->Web1;
    BrowserControl::HResult r = BrowserControl::S_OK;
    if (what == QLatin1String("Back"))
        r = web->GoBack();
    else if (what == QLatin1String("Forward"))
        r = web->GoForward();
    else if (what == QLatin1String("Refresh"))
        web->Refresh();
    else if (what == QLatin1String("Home"))
        web->GoHome();
    else if (what == QLatin1String("Search"))
        web->GoSearch();
    else if (what == QLatin1String("Stop"))
        web->Stop();
    *result = r;
    return true;
}

}

namespace Navigation {

void goMenu(mdiform1 *frame, const QString &item)
{
    const QString what = item.mid(2); // "GoBack" -> "Back"
    BrowserControl::HResult result;
    call(frame, what, &result);
    if (what == QLatin1String("Stop"))
        if (ChildWindow *active = frame->activeChild())
            frame->setWindowTitle(active->Web1->LocationName());
}

bool tb2_ButtonClick(mdiform1 *frame, const QString &key)
{
    if (key == QLatin1String("New")) {
        frame->windows->NewWin();
        return true;
    }
    if (key == QLatin1String("ShowAll")) {
        frame->windows->tileVertically();
        return true;
    }
    static const QStringList calls = {QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("Refresh"),
                                      QStringLiteral("Home"), QStringLiteral("Search"), QStringLiteral("Stop")};
    if (!calls.contains(key))
        return false;
    BrowserControl::HResult result = BrowserControl::S_OK;
    if (call(frame, key, &result) && result == BrowserControl::E_FAIL)
        Dialogs::tell(frame, QString(), QStringLiteral("No more pages in the history for this Web Window!"));
    return true;
}

}
