#pragma once

class SingleInstance;

// The programme from process start to its resting state in the tray.
namespace Startup {
int run(int argc, char *argv[]);
// Prepares the engine's process environment; called before the application object exists.
void prepareEnvironment();
// Deletes what sites keep for themselves when a deletion was asked for in an earlier run;
// done before the engine opens the profile, and only by the one copy that runs.
void removeSiteDataIfAsked(const SingleInstance &instance);
// At most this many renderer processes serve all windows (unless the user's own engine flags say otherwise).
inline constexpr int RendererProcessLimit = 8;
}
