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
// Every copy of the programme that runs holds the profile (a shared lock on this file,
// released when it ends), so that a start can tell whether any other copy has it open,
// also one that went on beside a running copy.
QString inUseFile();
bool holdProfile();
// Removes the sites' data from the profile when asked for; the request stays if anything
// is left, to be tried again at the next start. Only the profile's folders of sites' data
// go, and a symbolic link among them goes as a link: nothing it points at is touched.
// Call only before the engine opens the profile; while another copy holds the profile,
// nothing goes and the request stays.
bool removeIfRequested(QString *error = nullptr);
}
