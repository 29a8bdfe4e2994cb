#pragma once
#include <QLocale>
#include <QString>

namespace AutoRefresh {

inline constexpr int MaxPeriodMs = 65535;
// Reloading more often than this only starts each load over before the page completes.
inline constexpr int MinPeriodMs = 1000;

// Seconds as typed (the locale's decimal separator, or a point) to a period in
// milliseconds; 0 when the text is not a number or falls outside 1-65,535 ms.
// A period under a second is raised to one second.
int periodFromAnswer(const QString &answer, const QLocale &locale = QLocale());
}
