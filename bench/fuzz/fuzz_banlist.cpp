// The ban list's field reader on arbitrary bytes.
#include "popups/banlist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList entries = parseBanList(bytes);
    if (entries.size() > MaxBanListEntries)
        __builtin_trap();
    for (const QString &e : entries)
        if (e.isEmpty())
            __builtin_trap(); // empty fields are dropped
    return 0;
}
