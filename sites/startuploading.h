#pragma once

class mdiform1;

// Opens the enabled start-up slots, each in a window of its own, without waiting
// for any page: all of them download in parallel.
namespace StartupLoading {
void LoadSites(mdiform1 *frame);
void LoadExtras(mdiform1 *frame);
}
