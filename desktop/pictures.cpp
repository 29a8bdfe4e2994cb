#include "desktop/pictures.h"

#include "core/resources.h"

namespace Pictures {

QIcon appIcon()
{
    Resources::load();
    return QIcon(QStringLiteral(":/icons/quillon.svg"));
}

QPixmap picture(const QString &resource, const QSize &size)
{
    Resources::load();
    return QIcon(resource).pixmap(size);
}

}
