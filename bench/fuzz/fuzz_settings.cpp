// The settings store's and internet.ini's readers on an arbitrary file, and a
// save into it: the save either lands and reads back or leaves the file alone.
#include "fuzzfile.h"
#include "core/settingsstore.h"
#include "platform/internetsettings.h"
#include "core/paths.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzFile::home();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString store = Paths::settingsFile();
    FuzzFile::writeAt(store, bytes);
    SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1);
    SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QString());
    if (SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("0"))) {
        if (SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), 1) != QStringLiteral("0"))
            __builtin_trap();
    } else if (FuzzFile::read(store) != bytes) {
        __builtin_trap(); // a refused save leaves the file as it was
    }

    FuzzFile::writeAt(Paths::internetSettingsFile(), bytes);
    InternetSettings::homePage();
    InternetSettings::userAgentTokens();
    const QStringList typed = InternetSettings::typedUrls();
    for (const QString &url : typed)
        if (url.isEmpty())
            __builtin_trap();
    return 0;
}
