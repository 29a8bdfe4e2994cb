#include "tools/autorefresh.h"

#include "browser/childwindow.h"
#include "platform/dialogs.h"

#include <QPointer>
#include <QTimer>

namespace {
// QTimer has no "on but never fires" state (interval 0 fires continuously),
// so the switch and the period are kept beside it.
const char onProperty[] = "autoRefreshOn";
const char periodProperty[] = "autoRefreshPeriod";
}

namespace AutoRefresh {

void switchOn(ChildWindow *window, int periodMs)
{
    if (!window || !window->AutoRefreshMe)
        return;
    QTimer *timer = window->AutoRefreshMe;
    timer->stop();
    timer->setProperty(onProperty, true);
    const int p = periodMs >= 1 && periodMs <= MaxPeriodMs ? periodMs : 0;
    timer->setProperty(periodProperty, p);
    if (p > 0) {
        timer->setInterval(p);
        timer->start();
    }
}

void switchOff(ChildWindow *window)
{
    if (!window || !window->AutoRefreshMe)
        return;
    window->AutoRefreshMe->stop();
    window->AutoRefreshMe->setProperty(onProperty, false);
}

bool isOn(const ChildWindow *window)
{
    return window && window->AutoRefreshMe && window->AutoRefreshMe->property(onProperty).toBool();
}

int period(const ChildWindow *window)
{
    if (!window || !window->AutoRefreshMe)
        return 0;
    const QVariant p = window->AutoRefreshMe->property(periodProperty);
    return p.isValid() ? p.toInt() : window->AutoRefreshMe->interval();
}

void RefreshIT(ChildWindow *active, QWidget *dialogParent)
{
    // The window may close while a box is open: hold it weakly.
    QPointer<ChildWindow> window(active);
    const QString title = window ? window->windowTitle() : QString();
    const bool yes = Dialogs::ask(dialogParent, title, QStringLiteral("Turn Auto-Refresh on for this Web Window?"),
                                  QMessageBox::Critical);
    if (!yes) {
        switchOff(window);
        return;
    }
    switchOn(window, 0);
    const QString answer =
        Dialogs::input(dialogParent, QStringLiteral("Refresh Rate"), QStringLiteral("Refresh after how many seconds 1-60?"));
    switchOn(window, periodFromAnswer(answer));
}

}
