#include "sites/startupslots.h"

#include "core/settingsstore.h"

namespace {

#define DEFAULT_SLOT(n, label, flag, key, absent, fallback) \
    StartupSlot{n, label, "Startup", flag, key, absent, fallback, "1"}
#define EXTRA_SLOT(row, key) StartupSlot{row + 8, "", "Startup1", "c" #row, key, "", "", "0"}

const std::array<StartupSlot, StartupSlots::DefaultCount> defaultSlots = {{
    DEFAULT_SLOT(1, "Auto News", "c1", "sone", "https://www.theregister.com/", "https://www.theregister.com/"),
    DEFAULT_SLOT(2, "Auto Tools", "c2", "stwo", "https://sourceforge.net/", "https://sourceforge.net/"),
    DEFAULT_SLOT(3, "Auto Business", "c3", "sthree", "https://mixmag.net/", "https://mixmag.net/"),
    // Slots 4 and 6 have crossed defaults: each one's empty-field fallback is the other's default.
    DEFAULT_SLOT(4, "Auto Search", "c4", "sfour", "https://www.engadget.com/", "https://duckduckgo.com/"),
    DEFAULT_SLOT(5, "Local News", "c5", "sfive", "https://www.abc.net.au/news", "https://www.abc.net.au/news"),
    DEFAULT_SLOT(6, "World News", "c6", "scool", "https://duckduckgo.com/", "https://www.engadget.com/"),
    DEFAULT_SLOT(7, "Auto Intranet", "c99", "snine", "https://www.zdnet.com/", "https://www.zdnet.com/"),
    DEFAULT_SLOT(8, "Auto Web-Mail", "c200", "szero", "https://outlook.live.com/mail/", "https://outlook.live.com/mail/"),
}};

const std::array<StartupSlot, StartupSlots::AdditionalCount> additionalSlots = {{
    EXTRA_SLOT(1, "sone"), EXTRA_SLOT(2, "stwo"), EXTRA_SLOT(3, "sthree"), EXTRA_SLOT(4, "sfour"),
    EXTRA_SLOT(5, "sfive"), EXTRA_SLOT(6, "scool"), EXTRA_SLOT(7, "sseven"), EXTRA_SLOT(8, "seight"),
    EXTRA_SLOT(9, "snine"), EXTRA_SLOT(10, "sten"), EXTRA_SLOT(11, "seleven"), EXTRA_SLOT(12, "stwelve"),
    EXTRA_SLOT(13, "s13"), EXTRA_SLOT(14, "s14"), EXTRA_SLOT(15, "s15"), EXTRA_SLOT(16, "s16"),
    EXTRA_SLOT(17, "s17"), EXTRA_SLOT(18, "s18"), EXTRA_SLOT(19, "s19"), EXTRA_SLOT(20, "s20"),
    EXTRA_SLOT(21, "s21"), EXTRA_SLOT(22, "s22"), EXTRA_SLOT(23, "s23"), EXTRA_SLOT(24, "s24"),
}};

#undef DEFAULT_SLOT
#undef EXTRA_SLOT

}

namespace StartupSlots {

const std::array<StartupSlot, DefaultCount> &defaults() { return defaultSlots; }
const std::array<StartupSlot, AdditionalCount> &additional() { return additionalSlots; }

const StartupSlot &slot(int number)
{
    Q_ASSERT(number >= 1 && number <= DefaultCount + AdditionalCount);
    return number <= DefaultCount ? defaultSlots[number - 1] : additionalSlots[number - DefaultCount - 1];
}

int readFlag(const StartupSlot &s)
{
    return SettingsStore::toInt(SettingsStore::GetSetting(SettingsStore::AppKey, QLatin1String(s.section),
                                                          QLatin1String(s.flagKey), QLatin1String(s.defaultFlag)));
}

QString readAddress(const StartupSlot &s)
{
    return SettingsStore::GetSetting(SettingsStore::AppKey, QLatin1String(s.section), QLatin1String(s.addressKey),
                                     QLatin1String(s.absentAddress));
}

}
