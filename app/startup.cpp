#include "app/startup.h"

#include "app/commandline.h"
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
#include "platform/addresshandover.h"
#include "platform/endsignals.h"
#include "platform/singleinstance.h"
#include "platform/sitedata.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPointer>

#include <cstdio>
#include <optional>

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

void removeSiteDataIfAsked(const SingleInstance &instance)
{
    // Every copy holds the profile while it runs, also one that goes on beside another.
    SiteData::holdProfile();
    // Another copy may have the profile open: its files go at a start with no other copy.
    if (!instance.owner() || instance.anotherRunning())
        return;
    QString error;
    if (!SiteData::removeIfRequested(&error))
        qWarning("quillon: sites' data was not all deleted, tried again at the next start: %s", qPrintable(error));
}

namespace {
void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
}

int run(int argc, char *argv[])
{
    StartupTrace::mark("main");
    // Read before the application object exists: help and version need no display, no engine and no lock.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine::Request request = CommandLine::parse(arguments, QDir::currentPath());
    switch (request.action) {
    case CommandLine::Action::Help:
        print(stdout, CommandLine::helpText());
        return 0;
    case CommandLine::Action::Version:
        print(stdout, CommandLine::versionText());
        return 0;
    case CommandLine::Action::Error:
        print(stderr, QStringLiteral("quillon: %1\nTry 'quillon --help' for more information.\n").arg(request.error));
        return CommandLine::UsageError;
    case CommandLine::Action::Run:
        break;
    }

    prepareEnvironment();
    // Made after the application object but released after it: the lock is held until the
    // engine has closed the profile's files, which a next start may delete.
    std::optional<SingleInstance> lock;
    QApplication app(argc, argv);
    StartupTrace::mark("application");
    Resources::load();
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    // The frame lives in the tray with no window on screen; only its unload ends the programme.
    QApplication::setQuitOnLastWindowClosed(false);
    StallWatch::fromEnvironment(&app); // opt-in log of event-loop stalls (QUILLON_STALL_LOG)

    const SingleInstance &instance = lock.emplace();
    // A start with addresses while a copy runs hands them over and ends; if that copy
    // cannot take them, this start goes on as any second start does.
    if (instance.anotherRunning() && !request.addresses.isEmpty()
        && AddressHandover::send(instance.socketPath(), request.addresses))
        return 0;

    // Addresses that arrive before the frame has loaded wait for it, behind the command line's own.
    QStringList waiting = request.addresses;
    QPointer<mdiform1> loadedFrame;
    AddressHandover handover;
    if (instance.owner()) {
        QObject::connect(&handover, &AddressHandover::received, [&waiting, &loadedFrame](const QStringList &addresses) {
            if (loadedFrame)
                loadedFrame->openAddresses(addresses);
            else
                waiting += addresses;
        });
        handover.listen(instance.socketPath());
    }

    removeSiteDataIfAsked(instance);

    if (KeyboardState::leftControlDown()) {
        ProcessState::skipstr = QStringLiteral("YES");
        Dialogs::tell(nullptr, QString(), QStringLiteral("No sites will be loaded - Left-CTRL was held down!"));
    }

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
    loadedFrame = frame;
    // Asked to end from outside (logout, shutdown, kill): end as Exit does, so that what
    // Exit keeps is kept.
    EndSignals ending;
    QObject::connect(&ending, &EndSignals::endRequested, frame, &mdiform1::unload);
    if (!waiting.isEmpty())
        frame->openAddresses(waiting);
    QObject::connect(welcome, &splash::timedOut, [] { TipOfDay::showAtStartup(nullptr); });
    welcome->show();
    const int result = app.exec();
    delete frame;
    return result;
}

}
