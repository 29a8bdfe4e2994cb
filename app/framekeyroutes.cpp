// The keys people press in a browser, beside the menus' own shortcuts.
#include "app/framekeys.h"
#include "app/mdiform1.h"

#include "browser/addressbar.h"
#include "browser/navigation.h"
#include "browser/windowmanager.h"
#include "core/browsercontrol.h"
#include "platform/downloads.h"

#include <QAction>

void mdiform1::routeKeys()
{
    keys = new FrameKeys(this);
    // A text field keeps its editing keys; every other shortcut of the menus is the frame's.
    const QStringList editing = {QStringLiteral("mnu_Cut"), QStringLiteral("mnu_Copy"), QStringLiteral("mnu_paste"),
                                 QStringLiteral("mnu_SelAll"), QStringLiteral("mnu_find")};
    for (QAction *a : std::as_const(menus.actions))
        if (!editing.contains(a->objectName()))
            keys->claim(a);

    using K = QKeySequence;
    auto key = [this](const char *name, const QList<QKeySequence> &sequences, auto handler, bool pagesAtRest = false) {
        connect(keys->addKey(QString::fromLatin1(name), sequences, pagesAtRest), &QAction::triggered, this, handler);
    };
    auto go = [this](const char *item) { Navigation::goMenu(windows, QString::fromLatin1(item)); };
    auto zoom = [this](int step) {
        if (BrowserControl *web = activePage())
            web->zoom(step);
    };
    key("keyAddress", {K(Qt::CTRL | Qt::Key_L), K(Qt::ALT | Qt::Key_D)}, [this] { addressBar->focusAndSelect(); });
    key("keyRefresh", {K(Qt::Key_F5), K(Qt::CTRL | Qt::Key_R)}, [go] { go("GoRefresh"); });
    // Pages use Escape themselves (closing their dialogs, leaving a field): in a page it stops only a load.
    // In the address bar it first gives up what was typed. Unlike the Stop item it leaves the caption.
    key("keyStop", {K(Qt::Key_Escape)}, [this] {
        if (addressBar->cancelEdit())
            return;
        if (BrowserControl *web = activePage())
            web->Stop();
    }, true);
    key("keyBack", {K(Qt::ALT | Qt::Key_Left)}, [go] { go("GoBack"); });
    key("keyForward", {K(Qt::ALT | Qt::Key_Right)}, [go] { go("GoForward"); });
    key("keyHome", {K(Qt::ALT | Qt::Key_Home)}, [go] { go("GoHome"); });
    key("keyNewWindow", {K(Qt::CTRL | Qt::Key_T)}, [this] { windows->NewWin(); });
    key("keyCloseWindow", {K(Qt::CTRL | Qt::Key_F4)}, [this] { windows->CloseActiveWin(); });
    key("keyPrint", {K(Qt::CTRL | Qt::Key_P)}, [this] {
        if (QAction *print = action(QStringLiteral("Print")))
            print->trigger();
    });
    key("keyNextWindow", {K(Qt::CTRL | Qt::Key_Tab)}, [this] { windows->activateNeighbour(1); });
    // One sequence only: the keyboard map reads a Ctrl+Shift+Tab press as Ctrl+Backtab and as
    // Ctrl+Shift+Tab, so a second sequence makes one press match twice and do nothing.
    key("keyPreviousWindow", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}, [this] { windows->activateNeighbour(-1); });
    key("keyDownloads", {K(Qt::CTRL | Qt::Key_J), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Y)},
        [this] { Downloads::instance()->showWindow(this); });
    key("keyZoomIn", {K(Qt::CTRL | Qt::Key_Plus), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal)}, [zoom] { zoom(1); });
    key("keyZoomOut", {K(Qt::CTRL | Qt::Key_Minus)}, [zoom] { zoom(-1); });
    connect(keys, &FrameKeys::historyButton, this, [go](bool forward) { go(forward ? "GoForward" : "GoBack"); });
    key("keyZoomReset", {K(Qt::CTRL | Qt::Key_0)}, [zoom] { zoom(0); });
}
