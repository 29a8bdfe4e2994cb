#include "browser/form1.h"

#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "core/framehost.h"
#include "core/startuptrace.h"

form1::form1(WindowManager *windows) : ChildWindow(Kind::Browser, QStringLiteral("form1"), windows)
{
    resize(640, 480);
    setMouseTracking(true);
    connect(Web1, &BrowserControl::DocumentComplete, this, &form1::Web1_DocumentComplete);
}

void form1::Web1_DocumentComplete()
{
    StartupTrace::mark("complete", Tag.toInt());
    if (windows())
        windows()->showCompletedPage(this);
}

void form1::mouseMoveEvent(QMouseEvent *event)
{
    ChildWindow::mouseMoveEvent(event);
    if (!windows())
        return;
    ChildWindow *active = windows()->activeChild();
    if (active && active->Web1->isVisible() && !windows()->frame()->addressBeingEdited())
        windows()->frame()->setAddressText(active->Web1->LocationURL());
}
