#pragma once

// The programme from process start to its resting state in the tray.
namespace Startup {
int run(int argc, char *argv[]);
// Prepares the engine's process environment; called before the application object exists.
void prepareEnvironment();
// At most this many renderer processes serve all windows (unless the user's own engine flags say otherwise).
inline constexpr int RendererProcessLimit = 8;
}
