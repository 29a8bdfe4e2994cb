#pragma once
#include <QLocale>
#include <QString>

namespace AutoRefresh {

inline constexpr int MaxPeriodMs = 65535;

// Seconds as typed (the locale's decimal separator, or a point) to a period in
// milliseconds; 0 when the text is not a number or falls outside 1-65,535 ms.
int periodFromAnswer(const QString &answer, const QLocale &locale = QLocale());
}
