#include "favorites/walkbounds.h"

#include <QFileInfo>

bool WalkBounds::enter(const QString &path, int depth)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty() || m_seen.contains(real))
        return false;
    if (depth > MaxDepth || !take()) {
        m_cut = true;
        return false;
    }
    m_seen.insert(real);
    return true;
}

bool WalkBounds::take()
{
    if (m_entries >= MaxEntries) {
        m_cut = true;
        return false;
    }
    ++m_entries;
    return true;
}

QString WalkBounds::message() const
{
    return QStringLiteral("Only part of the Favorites folder is shown: it holds more than %1 entries or "
                          "folders nested deeper than %2 levels.")
        .arg(MaxEntries)
        .arg(MaxDepth);
}
