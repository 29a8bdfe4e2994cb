#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace WholeFile {
// Replaces the file at path with bytes, or leaves it exactly as it was: the new text is
// written beside it and put in its place only once all of it is on the disk. On failure
// error (if given) says why in the system's words. permissions, if given, are the new
// file's from the start.
bool replace(const QString &path, const QByteArray &bytes, QString *error = nullptr,
             std::optional<QFileDevice::Permissions> permissions = std::nullopt);
}
