#pragma once

// The left Control key as the X server sees it now (the right key does not count).
// False without a display.
namespace KeyboardState {
bool leftControlDown();
// Tests fix the answer: 1 held, 0 not held, -1 ask the X server again.
void setOverride(int state);
}
