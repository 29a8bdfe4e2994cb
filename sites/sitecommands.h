#pragma once
#include <QString>

class mdiform1;

// The frame's commands that belong to the start-up sites and the catalogue.
namespace SiteCommands {
// "Edit Additional Sites (9-32)...": the active page gives way to the panel.
void showAdditionalSites(mdiform1 *frame);
// After the panel's Save or Close: the panel goes, the active page comes back.
void hideAdditionalSites(mdiform1 *frame);
// A double click on a panel field opens its text at once in a new window.
void openNow(mdiform1 *frame, const QString &address);
// A choice from the news (true) or tool list opens that site maximised in a new window.
void openCatalogueEntry(mdiform1 *frame, bool newsList, const QString &title);
}
