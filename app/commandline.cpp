#include "app/commandline.h"

#include <QUrl>

namespace CommandLine {

namespace {

// The toolkit's options that take a value in the next argument, and those that take none.
const char *const toolkitWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                                        "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle", "style",
                                        "stylesheet", "session", "name", "title", "qmljsdebugger"};
const char *const toolkitFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

// 1 for a toolkit option with its value in the next argument, 0 for one complete in itself, -1 otherwise.
int toolkitOption(const QString &argument)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const bool valueAttached = equals >= 0;
    if (valueAttached)
        name.truncate(equals);
    for (const char *option : toolkitWithValue)
        if (name == QLatin1String(option))
            return valueAttached ? 0 : 1;
    for (const char *option : toolkitFlags)
        if (name == QLatin1String(option) && !valueAttached)
            return 0;
    return -1;
}

Request failure(const QString &error)
{
    Request request;
    request.action = Action::Error;
    request.error = error;
    return request;
}

}

Request parse(const QStringList &arguments, const QString &workingDirectory)
{
    Request request;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool isOption = !optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
        if (isOption) {
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
            } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
                request.action = Action::Help;
                return request;
            } else if (argument == QLatin1String("--version")) {
                request.action = Action::Version;
                return request;
            } else {
                const int takes = toolkitOption(argument);
                if (takes < 0)
                    return failure(QStringLiteral("unknown option '%1'").arg(argument));
                if (takes == 1 && ++i >= arguments.size())
                    return failure(QStringLiteral("option '%1' needs a value").arg(argument));
            }
            continue;
        }
        // An existing file relative to the working folder opens as a file; anything else as typed in a browser.
        const QUrl url = QUrl::fromUserInput(argument, workingDirectory);
        if (!url.isValid() || url.isRelative())
            return failure(QStringLiteral("not an address: '%1'").arg(argument));
        request.addresses.append(QString::fromUtf8(url.toEncoded()));
    }
    return request;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: quillon [OPTION]... [ADDRESS]...\n"
        "Open your start-up sites, each in a window of its own, then each ADDRESS (a web\n"
        "address or a local file) in a new window. If Quillon is already running, the\n"
        "running copy opens the addresses and comes to the front.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
        "\n"
        "Hold the left Control key while Quillon starts to open no start-up sites.\n");
}

QString versionText()
{
    return QStringLiteral("Quillon " QUILLON_VERSION "\n");
}

}
