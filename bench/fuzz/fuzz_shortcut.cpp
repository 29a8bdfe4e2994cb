// The internet-shortcut reader on an arbitrary file.
#include "fuzzfile.h"
#include "core/shortcutfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzFile::write(QStringLiteral("shortcut.url"), data, size);
    const QString url = ShortcutFile::readUrl(path);
    if (url.size() > ShortcutFile::MaxUrlChars || url.contains(QLatin1Char('\n')))
        __builtin_trap();
    ShortcutFile::readValue(path, QStringLiteral("Other"), QStringLiteral("Key"), 1);
    return 0;
}
