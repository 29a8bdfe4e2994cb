#include "desktop/pictures.h"

// The resources live in a static library: nothing pulls them in unless named here.
// (Q_INIT_RESOURCE must stand outside any namespace.)
static bool loadQuillonResources()
{
    Q_INIT_RESOURCE(quillon);
    return true;
}

static void ensureResources()
{
    static const bool loaded = loadQuillonResources();
    Q_UNUSED(loaded)
}

namespace Pictures {

QIcon appIcon()
{
    ensureResources();
    return QIcon(QStringLiteral(":/icons/quillon.svg"));
}

QPixmap picture(const QString &resource, const QSize &size)
{
    ensureResources();
    return QIcon(resource).pixmap(size);
}

}
