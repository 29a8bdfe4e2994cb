#pragma once
#include <QString>

class CoolBar;
class WindowManager;

// The frame's commands that belong to the start-up sites and the catalogue.
namespace SiteCommands {
// "Edit Additional Sites (9-32)...": the active page gives way to the panel on the bar's band.
void showAdditionalSites(WindowManager *windows, CoolBar *bar);
// After the panel's Save or Close: the panel goes, the active page comes back.
void hideAdditionalSites(WindowManager *windows, CoolBar *bar);
// A double click on a panel field opens its text at once in a new window.
void openNow(WindowManager *windows, const QString &address);
// A choice from the news (true) or tool list opens that site maximised in a new window.
void openCatalogueEntry(WindowManager *windows, bool newsList, const QString &title);
}
