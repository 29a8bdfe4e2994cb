#pragma once
#include <QString>
#include <array>

// The 32 start-up slots: 8 default slots (section "Startup") and 24 additional
// slots (section "Startup1"), with their store keys and addresses.
struct StartupSlot {
    int number;             // 1..32
    const char *label;      // row label of a default slot; empty for additional slots
    const char *section;
    const char *flagKey;
    const char *addressKey;
    const char *absentAddress;   // when the address key is absent
    const char *fallbackAddress; // used by the loader when the stored address is empty
    const char *defaultFlag;     // "1" for default slots, "0" for additional ones
};

namespace StartupSlots {
inline constexpr int DefaultCount = 8;
inline constexpr int AdditionalCount = 24;

// Slot n (1..32).
const StartupSlot &slot(int number);
// Default slots in slot order 1..8.
const std::array<StartupSlot, DefaultCount> &defaults();
// Additional slots in panel-row order (row 1 = slot 9).
const std::array<StartupSlot, AdditionalCount> &additional();

// Order in which the loader visits the default slots.
inline constexpr std::array<int, DefaultCount> LoadOrder = {2, 5, 4, 6, 3, 1, 8, 7};

// Reads an enabled flag as the loaders do: a text that is not a number is 0.
int readFlag(const StartupSlot &s);
QString readAddress(const StartupSlot &s);
}
