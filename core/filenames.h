#pragma once
#include <QChar>
#include <QString>

namespace FileNames {
// Characters a name made from a page's text must not keep: they break it across lines,
// ring a terminal, or turn its text around so that a file manager shows another extension.
bool unsafe(QChar c);
// The longest start of text whose UTF-8 takes at most bytes (file systems count names in
// bytes), never splitting a surrogate pair.
QString leftBytes(const QString &text, int bytes);
}
