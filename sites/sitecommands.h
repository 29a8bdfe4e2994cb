#pragma once
#include <QString>

class AdditionalSitesPanel;
class CoolBar;
class WindowManager;

// The frame's commands that belong to the start-up sites and the catalogue.
namespace SiteCommands {
// "Edit Additional Sites (9-32)...": the active page gives way to the panel on the bar's
// band, and the keyboard goes to the panel's first field.
void showAdditionalSites(WindowManager *windows, CoolBar *bar, AdditionalSitesPanel *panel);
// After the panel's Save or Close: the panel goes, the active page comes back with the keyboard.
void hideAdditionalSites(WindowManager *windows, CoolBar *bar, AdditionalSitesPanel *panel);
// A double click on a panel field opens its text at once in a new window.
void openNow(WindowManager *windows, const QString &address);
// A choice from the news (true) or tool list opens that site maximised in a new window.
void openCatalogueEntry(WindowManager *windows, bool newsList, const QString &title);
}
