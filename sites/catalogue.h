#pragma once
#include <QString>
#include <array>

class QComboBox;

// The built-in sites offered on the "Built-in Sites:" band: a news list and a tools list.
// Titles are what the lists show and are matched exactly, case and spaces included.
namespace Catalogue {

struct Entry {
    const char *title;
    const char *address;
};

enum class List { Sites, Tools };

inline constexpr int SitesCount = 42;
inline constexpr int ToolsCount = 34;

// The entries of each list, in the order the lists show them.
const std::array<Entry, SitesCount> &sites();
const std::array<Entry, ToolsCount> &tools();

// The address of the first entry of the list whose title is exactly title; empty when none is.
QString lookup(List list, const QString &title);

// Fills the two lists in table order, each left showing its prompt with nothing chosen.
void additems(QComboBox *sites, QComboBox *tools);

inline const QString SitesPrompt = QStringLiteral("Click for more News sites.");
inline const QString ToolsPrompt = QStringLiteral("Click for more Tool sites");
}
