// The frame's place on the desktop: its first size, and the size, position and
// maximised state it had when the programme last ended.
#include "app/mdiform1.h"

#include "core/settingsstore.h"
#include "platform/windowplacement.h"

namespace {
const QString Section = QStringLiteral("Frame");
const QString Key = QStringLiteral("Geometry");
// What the frame's controls need to show one row of everything.
constexpr QSize PreferredSize(1200, 820);
// Room for the window manager's title bar and borders around the client area: the
// frame's geometry is its client area, but the whole window has to fit the screen.
constexpr QMargins Decoration(8, 40, 8, 8);
}

QRect mdiform1::firstGeometry(const QRect &area)
{
    QRect r(QPoint(0, 0), PreferredSize.boundedTo(area.marginsRemoved(Decoration).size()));
    r.moveCenter(area.center());
    return r;
}

bool mdiform1::parseGeometry(const QString &text, QRect *rect, bool *maximized)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 5)
        return false;
    int v[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    if (v[2] < 100 || v[3] < 100 || v[2] > 100000 || v[3] > 100000 || qAbs(v[0]) > 100000 || qAbs(v[1]) > 100000)
        return false;
    *rect = QRect(v[0], v[1], v[2], v[3]);
    *maximized = v[4] == 1;
    return true;
}

QRect mdiform1::fittedToScreens(const QRect &wanted, const QList<QRect> &areas)
{
    QRect r = WindowPlacement::clampToScreens(wanted, areas);
    for (const QRect &area : areas)
        if (area.contains(r)) {
            // The title bar and the borders on the screen as well.
            r = WindowPlacement::fitInside(r, area.marginsRemoved(Decoration));
            break;
        }
    return r;
}

void mdiform1::fitToScreens()
{
    // Only a normal frame: a maximised one is placed by the window manager.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QList<QRect> areas = WindowPlacement::availableAreas();
    if (areas.isEmpty())
        return;
    const QRect r = fittedToScreens(geometry(), areas);
    if (r != geometry())
        setGeometry(r);
}

void mdiform1::restoreFrameGeometry()
{
    const QList<QRect> areas = WindowPlacement::availableAreas();
    const QRect primary = areas.isEmpty() ? QRect(0, 0, 1024, 768) : areas.first();
    QRect saved;
    bool maximized = false;
    const QString text = SettingsStore::GetSetting(SettingsStore::AppKey, Section, Key, QString());
    if (!parseGeometry(text, &saved, &maximized)) {
        setGeometry(firstGeometry(primary));
        return;
    }
    // The screens may have changed since: a smaller one, or one fewer.
    setGeometry(fittedToScreens(saved, areas));
    if (maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void mdiform1::saveFrameGeometry()
{
    const bool maximized = windowState() & Qt::WindowMaximized;
    const QRect r = maximized || isMinimized() ? normalGeometry() : geometry();
    if (!r.isValid())
        return;
    SettingsStore::SaveSetting(SettingsStore::AppKey, Section, Key,
                               QStringLiteral("%1 %2 %3 %4 %5")
                                   .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).arg(maximized ? 1 : 0));
}
