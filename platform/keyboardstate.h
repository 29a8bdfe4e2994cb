#pragma once

// The left Control key as the X server sees it now (the right key does not count).
// False without a display.
namespace KeyboardState {
bool leftControlDown();
}
