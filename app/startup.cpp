#include "app/startup.h"

#include "app/mdiform1.h"
#include "core/processstate.h"
#include "core/resources.h"
#include "core/settingsstore.h"
#include "app/stallwatch.h"
#include "core/startuptrace.h"
#include "desktop/splashwindow.h"
#include "desktop/tipwindow.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/singleinstance.h"

#include <QApplication>
#include <QIcon>

namespace Startup {

void prepareEnvironment()
{
    // One renderer process per window makes 32 processes compete with the frame for the
    // processor at start-up. Eight renderers load 32 sites about a third sooner in a
    // third of the memory; a renderer crash then costs the few windows sharing it.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--renderer-process-limit") && !flags.contains("--single-process")
        && !flags.contains("--process-per-"))
        flags += " --renderer-process-limit=" + QByteArray::number(RendererProcessLimit);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

int run(int argc, char *argv[])
{
    StartupTrace::mark("main");
    prepareEnvironment();
    QApplication app(argc, argv);
    StartupTrace::mark("application");
    Resources::load();
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    // The frame lives in the tray with no window on screen; only its unload ends the programme.
    QApplication::setQuitOnLastWindowClosed(false);
    StallWatch::fromEnvironment(&app); // opt-in log of event-loop stalls (QUILLON_STALL_LOG)

    if (KeyboardState::leftControlDown()) {
        ProcessState::skipstr = QStringLiteral("YES");
        Dialogs::tell(nullptr, QString(), QStringLiteral("No sites will be loaded - Left-CTRL was held down!"));
    }

    SingleInstance instance;

    // The splash window is made first, its twenty seconds counting from now; loading
    // it loads the frame, which runs to its end (windows requested, frame in the tray)
    // before the splash is shown.
    auto *welcome = new splash;
    auto *frame = new mdiform1;
    StartupTrace::mark("frame");
    if (!frame->MDIForm_Load(instance.anotherRunning())) {
        delete welcome;
        delete frame;
        return 0;
    }
    StartupTrace::mark("loaded");
    QObject::connect(welcome, &splash::timedOut, [] { TipOfDay::showAtStartup(nullptr); });
    welcome->show();
    const int result = app.exec();
    delete frame;
    return result;
}

}
