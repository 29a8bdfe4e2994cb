// The auto-refresh answer parser on arbitrary text, in two locales.
#include "tools/refreshperiod.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString texts[] = {QString::fromUtf8(bytes), QString::fromLatin1(bytes)};
    const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)};
    for (const QString &text : texts)
        for (const QLocale &locale : locales) {
            const int period = AutoRefresh::periodFromAnswer(text, locale);
            if (period != 0 && (period < AutoRefresh::MinPeriodMs || period > AutoRefresh::MaxPeriodMs))
                __builtin_trap(); // only 0 or a period the timer can hold
        }
    return 0;
}
