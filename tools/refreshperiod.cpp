#include "tools/refreshperiod.h"

#include <algorithm>
#include <cmath>

namespace AutoRefresh {

int periodFromAnswer(const QString &answer, const QLocale &locale)
{
    const QString text = answer.trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    double seconds = locale.toDouble(text, &ok);
    if (!ok)
        seconds = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(seconds))
        return 0;
    const double ms = std::round(seconds * 1000.0);
    if (ms < 1 || ms > MaxPeriodMs)
        return 0;
    return std::max(MinPeriodMs, static_cast<int>(ms));
}

}
