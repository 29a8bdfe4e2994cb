#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// How the desktop's programmes are found and their command lines built. Every
// result is an argument list for QProcess: no shell ever sees an address.
namespace LaunchCommands {

// The commands of a $BROWSER value (a colon-separated list, tried in order), each
// split into program and arguments. "%s" stands for the address and "%%" for "%";
// a command without "%s" gets the address as its last argument. With no address,
// a "%s" argument is dropped.
QList<QStringList> browserCommands(const QString &browserVariable, const QString &address);

// The argument list of a desktop entry's Exec value with its field codes dropped.
QStringList execArguments(const QString &exec);

// The desktop entry file of a desktop id ("firefox-esr.desktop") in the
// applications folders, or empty text when there is none or the id is not one.
QString desktopEntryFile(const QString &desktopId);

// The Exec value of the [Desktop Entry] group of a desktop entry file; empty when unreadable.
QString desktopEntryExec(const QString &path);

}
