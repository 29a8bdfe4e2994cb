#include "desktop/externallaunch.h"

#include "core/browsercontrol.h"
#include "desktop/internetoptions.h"
#include "desktop/launchcommands.h"
#include "platform/internetsettings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

namespace {

constexpr int defaultBrowserQueryMs = 5000;

bool start(const QStringList &command)
{
    if (command.isEmpty() || command.first().isEmpty())
        return false;
    return QProcess::startDetached(command.first(), command.mid(1));
}

// Debian's own choice of browser, used when the desktop names none we can start.
bool startSystemBrowser()
{
    return start({QStringLiteral("x-www-browser")});
}

// xdg-open needs an address, so an empty browser is the desktop's default browser
// entry started directly: ask xdg-settings for it without blocking, run its Exec line.
void startDefaultBrowserWithoutPage()
{
    auto *query = new QProcess(QCoreApplication::instance());
    auto *limit = new QTimer(query);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, query, [query] { query->kill(); });
    QObject::connect(query, &QProcess::finished, query, [query](int code, QProcess::ExitStatus status) {
        query->deleteLater();
        bool started = false;
        if (status == QProcess::NormalExit && code == 0) {
            const QString id = QString::fromUtf8(query->readAllStandardOutput().left(1024)).section(QLatin1Char('\n'), 0, 0);
            const QString entry = LaunchCommands::desktopEntryFile(id);
            if (!entry.isEmpty())
                started = start(LaunchCommands::execArguments(LaunchCommands::desktopEntryExec(entry)));
        }
        if (!started)
            startSystemBrowser();
    });
    QObject::connect(query, &QProcess::errorOccurred, query, [query](QProcess::ProcessError error) {
        // A crash or timeout also ends in finished(), which falls back itself.
        if (error == QProcess::FailedToStart) {
            query->deleteLater();
            startSystemBrowser();
        }
    });
    query->setStandardInputFile(QProcess::nullDevice());
    query->start(QStringLiteral("xdg-settings"), {QStringLiteral("get"), QStringLiteral("default-web-browser")});
    limit->start(defaultBrowserQueryMs);
}

}

namespace ExternalLaunch {

bool openBrowser(const QString &address)
{
    // Anything starting with '-' would read as an option to the browser, not a page.
    const QString page = address.startsWith(QLatin1Char('-')) ? QString() : address;
    const QString variable = qEnvironmentVariable("BROWSER");
    if (!variable.trimmed().isEmpty()) {
        for (const QStringList &command : LaunchCommands::browserCommands(variable, page))
            if (start(command))
                return true;
        return false;
    }
    if (!page.isEmpty())
        return start({QStringLiteral("xdg-open"), page}) || start({QStringLiteral("x-www-browser"), page});
    startDefaultBrowserWithoutPage();
    return true;
}

bool openMail()
{
    return start({QStringLiteral("xdg-open"), QStringLiteral("mailto:@")});
}

void browser_Click() { openBrowser(); }

void LoadinIE_Click(const BrowserControl *active)
{
    QString address = active ? active->LocationURL().trimmed() : QString();
    // A window that has loaded nothing shows the blank page; that is no page to hand over.
    if (address == QLatin1String("about:blank"))
        address.clear();
    openBrowser(address);
}

void IE_Click()
{
    // The outside browser was started only to be switched to online working and hidden
    // again; the desktop's browsers have no offline mode, so there is nothing to start.
}

void RunMail_Click() { openMail(); }
void sendMail_Click() { openMail(); }

void mnu_InterNetOptions_Click(QWidget *parent) { InternetOptionsDialog::open(parent); }

QString searchHomePage()
{
    return InternetSettings::searchPageToOpen();
}

void MP3_Click(const std::function<QWidget *(const QString &address)> &openSiteWindow)
{
    if (!openSiteWindow)
        return;
    QWidget *window = openSiteWindow(searchHomePage());
    if (!window)
        return;
    window->setWindowTitle(QStringLiteral("Advanced Search"));
    window->showMaximized();
}

}
