// The settings store's and internet.ini's readers on an arbitrary file, and saves
// into it: a file found damaged after it was read is never changed by any save; a
// save into a sound file lands, reads back and keeps the other keys' values.
#include "fuzzfile.h"
#include "core/inifile.h"
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
    const QString c1 = SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1);
    SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QString());
    const bool damaged = !SettingsStore::checkFile(store).isEmpty();
    if (damaged != (IniFile::fromBytes(bytes).state() != IniFile::State::Ok))
        __builtin_trap(); // the verdict is the bytes', whatever was read before
    if (SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), QStringLiteral("0"))) {
        if (damaged)
            __builtin_trap(); // a damaged file was rewritten
        if (SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c2"), 1) != QStringLiteral("0"))
            __builtin_trap();
        if (SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"), QStringLiteral("c1"), 1) != c1)
            __builtin_trap(); // another key's value changed
    } else if (FuzzFile::read(store) != bytes) {
        __builtin_trap(); // a refused save leaves the file as it was
    }
    if (damaged) {
        SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("personal"), QStringLiteral("pdone"), QStringLiteral("x"));
        if (FuzzFile::read(store) != bytes)
            __builtin_trap();
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
