#pragma once
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The programme's pictures, from the resources built into quillon_core.
namespace Pictures {
// The application icon ":/icons/quillon.svg".
QIcon appIcon();
// A picture from the resources, drawn at size.
QPixmap picture(const QString &resource, const QSize &size);
}
