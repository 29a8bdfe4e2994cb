#pragma once
#include <QString>

class AdditionalSitesPanel;
class WindowManager;

// Opens the enabled start-up slots, each in a window of its own, without waiting
// for any page: all of them download in parallel.
namespace StartupLoading {
// The eight default slots.
void LoadSites(WindowManager *windows);
// Fills the additional-sites panel from the store and, unless skipstr is "YES",
// opens each ticked row.
void LoadExtras(WindowManager *windows, AdditionalSitesPanel *panel, const QString &skipstr);
}
