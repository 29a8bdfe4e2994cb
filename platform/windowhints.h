#pragma once

class QWidget;

// What a top-level window asks of the window manager, beyond what Qt keeps up to date.
namespace WindowHints {
// The next time the window is mapped, the window manager shows it rather than
// minimising it. Qt leaves the X11 initial state at Iconic once the window was
// minimised, even after the window manager restored it, so a window hidden and
// shown again would otherwise come back minimised. Does nothing off X11.
void mapNormally(QWidget *window);
}
