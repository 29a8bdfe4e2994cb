#pragma once
#include <QChar>

namespace FileNames {
// Characters a name made from a page's text must not keep: they break it across lines,
// ring a terminal, or turn its text around so that a file manager shows another extension.
bool unsafe(QChar c);
}
