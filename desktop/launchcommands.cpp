#include "desktop/launchcommands.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr qint64 maxDesktopEntryBytes = 256 * 1024; // real entries are a few kilobytes

// Expands "%s" and "%%" in one argument; hadAddress is set when "%s" occurs.
QString expand(const QString &arg, const QString &address, bool *hadAddress)
{
    QString out;
    for (int i = 0; i < arg.size(); ++i) {
        if (arg.at(i) == QLatin1Char('%') && i + 1 < arg.size()) {
            const QChar next = arg.at(i + 1);
            if (next == QLatin1Char('s')) {
                out += address;
                *hadAddress = true;
                ++i;
                continue;
            }
            if (next == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += arg.at(i);
    }
    return out;
}

// Undoes the escapes every desktop-entry string value may hold.
QString unescapeValue(const QString &value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar c = value.at(++i);
            if (c == QLatin1Char('s'))
                out += QLatin1Char(' ');
            else if (c == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (c == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else if (c == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else if (c == QLatin1Char('\\'))
                out += QLatin1Char('\\');
            else
                out += QLatin1Char('\\') + QString(c);
            continue;
        }
        out += value.at(i);
    }
    return out;
}

// Drops the field codes of one Exec argument; "%%" is a literal percent sign.
QString dropFieldCodes(const QString &arg)
{
    QString out;
    for (int i = 0; i < arg.size(); ++i) {
        if (arg.at(i) == QLatin1Char('%') && i + 1 < arg.size()) {
            if (arg.at(++i) == QLatin1Char('%'))
                out += QLatin1Char('%');
            continue;
        }
        out += arg.at(i);
    }
    return out;
}

}

namespace LaunchCommands {

QList<QStringList> browserCommands(const QString &browserVariable, const QString &address)
{
    QList<QStringList> commands;
    const QStringList parts = browserVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList words = QProcess::splitCommand(part);
        if (words.isEmpty())
            continue;
        QStringList command;
        bool hadAddress = false;
        for (const QString &word : words) {
            const QString arg = expand(word, address, &hadAddress);
            // "%s" alone with no address would hand the browser an empty page name.
            if (arg.isEmpty() && word == QLatin1String("%s"))
                continue;
            command.append(arg);
        }
        if (command.isEmpty() || command.first().isEmpty())
            continue;
        if (!hadAddress && !address.isEmpty())
            command.append(address);
        commands.append(command);
    }
    return commands;
}

QStringList execArguments(const QString &exec)
{
    const QString value = unescapeValue(exec);
    QStringList args;
    QString current;
    bool inQuotes = false;
    bool started = false;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\') && i + 1 < value.size()
                       && QStringLiteral("\"`$\\").contains(value.at(i + 1))) {
                current += value.at(++i);
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            started = true;
        } else if (c.isSpace()) {
            if (started)
                args.append(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        args.append(current);

    QStringList out;
    for (const QString &arg : std::as_const(args)) {
        const QString kept = dropFieldCodes(arg);
        // An argument that was only a field code (%u, %F, ...) goes away entirely.
        if (kept.isEmpty() && !arg.isEmpty())
            continue;
        out.append(kept);
    }
    return out;
}

QString desktopEntryFile(const QString &desktopId)
{
    const QString id = desktopId.trimmed();
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('/'))
        || id.startsWith(QLatin1Char('.')) || id.size() > 255)
        return QString();
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : folders) {
        // An id "vendor-app.desktop" may also live as "vendor/app.desktop".
        QStringList candidates = {folder + QLatin1Char('/') + id};
        const int dash = id.indexOf(QLatin1Char('-'));
        if (dash > 0)
            candidates.append(folder + QLatin1Char('/') + id.left(dash) + QLatin1Char('/') + id.mid(dash + 1));
        for (const QString &path : std::as_const(candidates))
            if (QFileInfo(path).isFile())
                return path;
    }
    return QString();
}

QString desktopEntryExec(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxDesktopEntryBytes)
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray data = file.read(maxDesktopEntryBytes);
    bool inEntry = false;
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || !line.startsWith(QLatin1String("Exec")))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == QLatin1String("Exec"))
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

}
