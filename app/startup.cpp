#include "app/startup.h"

#include "app/mdiform1.h"
#include "app/processstate.h"
#include "app/settingsstore.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "platform/singleinstance.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QTimer>

static void loadResources() { Q_INIT_RESOURCE(quillon); }

namespace Startup {

void prepareEnvironment() {}

int run(int argc, char *argv[])
{
    prepareEnvironment();
    QApplication app(argc, argv);
    loadResources();
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    // The frame lives in the tray with no window on screen; only its unload ends the programme.
    QApplication::setQuitOnLastWindowClosed(false);

    if (KeyboardState::leftControlDown()) {
        ProcessState::skipstr = QStringLiteral("YES");
        Dialogs::tell(nullptr, QString(), QStringLiteral("No sites will be loaded - Left-CTRL was held down!"));
    }

    SingleInstance instance;

    // The splash window is made first; loading it loads the frame, which runs to its end
    // (windows requested, frame in the tray) before the splash is shown.
    auto *splash = new QLabel;
    splash->setObjectName(QStringLiteral("splash"));
    splash->setWindowFlags(Qt::SplashScreen);
    splash->setWindowTitle(QStringLiteral("Welcome to Quillon"));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setPixmap(QIcon(QStringLiteral(":/icons/quillon.svg")).pixmap(256, 256));
    auto *splashTimer = new QTimer(splash);
    splashTimer->setObjectName(QStringLiteral("Timer1"));
    splashTimer->setSingleShot(true);
    splashTimer->start(20000);

    auto *frame = new mdiform1;
    if (!frame->MDIForm_Load(instance.anotherRunning())) {
        delete splash;
        delete frame;
        return 0;
    }
    QObject::connect(splashTimer, &QTimer::timeout, splash, [splash] { splash->close(); });
    splash->show();
    const int result = app.exec();
    delete frame;
    return result;
}

}
