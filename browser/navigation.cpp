#include "browser/navigation.h"

#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "core/framehost.h"
#include "platform/dialogs.h"

#include <QWidget>

namespace {

// Runs one navigation call on the active window; false when there was none.
bool call(WindowManager *windows, const QString &what, BrowserControl::HResult *result)
{
    BrowserControl *web = windows->activePage();
    if (!web)
        return false;
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

void goMenu(WindowManager *windows, const QString &item)
{
    const QString what = item.mid(2); // "GoBack" -> "Back"
    BrowserControl::HResult result;
    call(windows, what, &result);
    if (what == QLatin1String("Stop"))
        if (BrowserControl *web = windows->activePage())
            windows->frame()->frameWidget()->setWindowTitle(web->LocationName());
}

bool tb2_ButtonClick(WindowManager *windows, const QString &key)
{
    if (key == QLatin1String("New")) {
        windows->NewWin();
        return true;
    }
    if (key == QLatin1String("ShowAll")) {
        windows->tileVertically();
        return true;
    }
    static const QStringList calls = {QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("Refresh"),
                                      QStringLiteral("Home"), QStringLiteral("Search"), QStringLiteral("Stop")};
    if (!calls.contains(key))
        return false;
    BrowserControl::HResult result = BrowserControl::S_OK;
    if (call(windows, key, &result) && result == BrowserControl::E_FAIL)
        Dialogs::tell(windows->frame()->frameWidget(), QString(), QStringLiteral("No more pages in the history for this Web Window!"));
    return true;
}

}
