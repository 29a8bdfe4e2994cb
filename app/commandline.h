#pragma once
#include <QString>
#include <QStringList>

// What the programme was asked to do on its command line: `quillon [OPTION]... [ADDRESS]...`.
namespace CommandLine {

enum class Action { Run, Help, Version, Error };

struct Request {
    Action action = Action::Run;
    // Full addresses, in the order given; local paths become file: addresses.
    QStringList addresses;
    // What was wrong, for Action::Error.
    QString error;
};

// Reads the arguments after the programme's name. The toolkit's own options
// (-platform, -display, -style, ...) are passed over: the application object takes them.
Request parse(const QStringList &arguments, const QString &workingDirectory);

QString helpText();
QString versionText();

// Exit status for a command line that could not be understood.
inline constexpr int UsageError = 2;

}
