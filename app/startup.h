#pragma once

// The programme from process start to its resting state in the tray.
namespace Startup {
int run(int argc, char *argv[]);
// Prepares the engine's process environment; called before the application object exists.
void prepareEnvironment();
}
