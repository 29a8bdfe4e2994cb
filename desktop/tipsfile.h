#pragma once
#include <QString>
#include <QStringList>

// The tips file: plain text, one tip per line, empty lines included, in file order.
namespace TipsFile {

inline constexpr qint64 MaxBytes = 1024 * 1024;   // more than any tips file needs
inline constexpr int MaxLines = 10000;
inline constexpr int MaxLineLength = 4000;

// False when there is no regular file at path or it cannot be opened. Reads at most
// MaxBytes, less a last line the limit cuts (unless it is the only one); UTF-16 or UTF-8
// by a byte-order mark, else UTF-8 when valid, else the Windows code page; CR LF or LF
// line ends.
bool read(const QString &path, QStringList *lines);

}
