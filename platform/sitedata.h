#pragma once
#include <QString>

// What sites keep for themselves in the engine's profile: local and session storage,
// databases, service workers. The engine offers no call to clear it, and deleting its
// files while the engine has them open corrupts them; so a deletion asked for now is
// recorded in a file beside the profile and done at the next start, before the profile
// is made.
namespace SiteData {
// The folder the shared profile keeps its data in (where the engine puts it by default).
QString profileFolder();
// The file that records a deletion asked for; its presence is the request.
QString requestFile();
// Records that the sites' data goes at the next start; false, with why, when it could not be.
bool requestRemoval(QString *error = nullptr);
bool removalRequested();
// Removes the sites' data from the profile when asked for; the request stays if anything
// is left, to be tried again at the next start. Only the profile's folders of sites' data
// go, and a symbolic link among them goes as a link: nothing it points at is touched.
// Call only before the engine opens the profile, and only when no other copy of the
// programme may have it open.
bool removeIfRequested(QString *error = nullptr);
}
